// What a user waits for in the real M450UI.dll, measured under Wine: the DLL's start-up, a sheet
// opening, the event dialog, one step of a slider on the Download and Watermark pages, and the
// language switch with sheets of two printers open. The sheets are opened by the host core and
// driven by the page-test harness, as the Windows tests do; every figure is elapsed time from
// the user's action to the end of the painting it causes.
//
//   m450_wine_bench.exe [RUNS]
//
// prints one line per figure for scripts/bench: key, what, unit, goal, the runs' samples.
// The start-up figures come from child processes (the same program, "--startup-child"): each
// loads the DLLs as a printing application's process does the first time.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "download_page_ids.h"
#include "event_dialog_ids.h"
#include "harness.h"
#include "layout_page_ids.h"
#include "logo_test_images.h"
#include "operation_page_ids.h"
#include "platform/printoem.h"
#include "watermark_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::ChooseFile;
using m450test::DialogCatcher;
using m450test::LanguageFiles;
using m450test::LanguageFolder;
using m450test::LanguageRegistry;
using m450test::PageDriver;
using m450test::SheetDriver;
using m450test::TempFile;

// ---- measuring ------------------------------------------------------------------------------

double Now() {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

void Print(const char* key, const char* what, const char* unit, const char* goal, const std::vector<double>& samples) {
    std::printf("%s\t%s\t%s\t%s\t", key, what, unit, goal);
    for (size_t i = 0; i < samples.size(); ++i)
        std::printf(i ? " %.4f" : "%.4f", samples[i]);
    std::printf("\n");
    std::fflush(stdout);
}

// Runs what is posted and queued for the thread, then paints whatever is still invalid: what a
// user sees once the program has caught up.
void Settle(HWND window) {
    MSG message;
    for (int i = 0; i < 10000 && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// Lets the machine run the thread's messages for a while, untimed.
void Rest(DWORD milliseconds) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    MSG message;
    while (GetTickCount64() < end) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(1);
    }
}

// The M450UI.dll of the printer's installed driver (in the printer-driver directory).
std::wstring InstalledPluginPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(m450test::InstalledPluginModule(), path, MAX_PATH);
    return path;
}

m450host::SessionOptions InstalledSession() {
    m450host::SessionOptions options;
    options.installedDriver = true;
    return options;
}

std::wstring ThisProgram() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring Beside(const std::wstring& file) {
    const std::wstring self = ThisProgram();
    return self.substr(0, self.find_last_of(L"\\/") + 1) + file;
}

// ---- start-up, in a child process ---------------------------------------------------------

// The system libraries a printing application has loaded by the time its print dialog loads
// the driver's plug-in.
constexpr const wchar_t* kApplicationLibraries[] = {L"user32.dll",   L"gdi32.dll",   L"comctl32.dll",
                                                    L"comdlg32.dll", L"shell32.dll", L"winspool.drv",
                                                    L"advapi32.dll", L"ole32.dll",   L"shlwapi.dll"};

// Writes made through the plug-in's imports while it starts.
int g_fileWrites = 0;
int g_registryWrites = 0;

decltype(&CreateFileW) g_createFile = nullptr;
decltype(&CopyFileW) g_copyFile = nullptr;
decltype(&CreateDirectoryW) g_createDirectory = nullptr;
decltype(&DeleteFileW) g_deleteFile = nullptr;
decltype(&WriteFile) g_writeFile = nullptr;
decltype(&WritePrivateProfileStringW) g_writeProfile = nullptr;
decltype(&RegSetValueExW) g_setValue = nullptr;

HANDLE WINAPI CountedCreateFile(LPCWSTR name,
                                DWORD access,
                                DWORD share,
                                LPSECURITY_ATTRIBUTES security,
                                DWORD disposition,
                                DWORD flags,
                                HANDLE templateFile) {
    if ((access & (GENERIC_WRITE | FILE_WRITE_DATA | FILE_APPEND_DATA)) != 0 || disposition != OPEN_EXISTING)
        ++g_fileWrites;
    return g_createFile(name, access, share, security, disposition, flags, templateFile);
}
BOOL WINAPI CountedCopyFile(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    ++g_fileWrites;
    return g_copyFile(from, to, failIfExists);
}
BOOL WINAPI CountedCreateDirectory(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
    ++g_fileWrites;
    return g_createDirectory(path, security);
}
BOOL WINAPI CountedDeleteFile(LPCWSTR path) {
    ++g_fileWrites;
    return g_deleteFile(path);
}
BOOL WINAPI CountedWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    ++g_fileWrites;
    return g_writeFile(file, data, size, written, overlapped);
}
BOOL WINAPI CountedWriteProfile(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR file) {
    ++g_fileWrites;
    return g_writeProfile(section, key, text, file);
}
LSTATUS WINAPI CountedSetValue(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    ++g_registryWrites;
    return g_setValue(key, name, reserved, type, data, size);
}

struct CountedImport {
    const char* dll;
    const char* name;
    void* replacement;
    void** original;
};

// Points the module's imports of these functions at the counting ones, through the harness's
// import patch; they count while the patches live.
std::vector<m450test::ImportPatch> CountImports(HMODULE module, std::initializer_list<CountedImport> imports) {
    std::vector<m450test::ImportPatch> patches;
    for (const CountedImport& counted : imports) {
        const std::vector<void**> slots = m450test::ImportSlots(module, counted.dll, counted.name);
        if (slots.empty())
            continue;
        *counted.original = *slots.front();  // before the first counted call can come
        patches.emplace_back(module, counted.dll, counted.name, counted.replacement);
    }
    return patches;
}

// Prints "trivial-load plugin-load get-class-object file-writes registry-writes".
int StartupChild(const std::wstring& plugin, const std::wstring& trivial) {
    for (const wchar_t* library : kApplicationLibraries)
        LoadLibraryW(library);
    double start = Now();
    const HMODULE trivialModule = LoadLibraryW(trivial.c_str());
    const double trivialLoad = Now() - start;
    start = Now();
    const HMODULE module = LoadLibraryW(plugin.c_str());
    const double pluginLoad = Now() - start;
    if (trivialModule == nullptr || module == nullptr)
        return 1;
    const std::vector<m450test::ImportPatch> counting = CountImports(
        module, {
                    {"KERNEL32.dll", "CreateFileW", reinterpret_cast<void*>(&CountedCreateFile),
                     reinterpret_cast<void**>(&g_createFile)},
                    {"KERNEL32.dll", "CopyFileW", reinterpret_cast<void*>(&CountedCopyFile),
                     reinterpret_cast<void**>(&g_copyFile)},
                    {"KERNEL32.dll", "CreateDirectoryW", reinterpret_cast<void*>(&CountedCreateDirectory),
                     reinterpret_cast<void**>(&g_createDirectory)},
                    {"KERNEL32.dll", "DeleteFileW", reinterpret_cast<void*>(&CountedDeleteFile),
                     reinterpret_cast<void**>(&g_deleteFile)},
                    {"KERNEL32.dll", "WriteFile", reinterpret_cast<void*>(&CountedWriteFile),
                     reinterpret_cast<void**>(&g_writeFile)},
                    {"KERNEL32.dll", "WritePrivateProfileStringW", reinterpret_cast<void*>(&CountedWriteProfile),
                     reinterpret_cast<void**>(&g_writeProfile)},
                    {"ADVAPI32.dll", "RegSetValueExW", reinterpret_cast<void*>(&CountedSetValue),
                     reinterpret_cast<void**>(&g_setValue)},
                });
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    const auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    if (getClassObject == nullptr)
        return 1;
    void* factory = nullptr;
    start = Now();
    const HRESULT got = getClassObject(CLSID_M450UI, IID_IClassFactory, &factory);
    const double firstClassObject = Now() - start;
    if (FAILED(got))
        return 1;
    static_cast<IUnknown*>(factory)->Release();
    std::printf("%.4f %.4f %.4f %d %d\n", trivialLoad, pluginLoad, firstClassObject, g_fileWrites, g_registryWrites);
    return 0;
}

struct StartupRun {
    double trivialLoad = 0, pluginLoad = 0, firstClassObject = 0;
    int fileWrites = 0, registryWrites = 0;
};

std::optional<StartupRun> RunStartupChild() {
    const std::optional<m450test::ProgramRun> child =
        m450test::RunProgram(L"\"" + ThisProgram() + L"\" --startup-child \"" + InstalledPluginPath() + L"\" \"" +
                             Beside(L"m450_trivial.dll") + L"\"");
    StartupRun run;
    if (!child || child->exitCode != 0 ||
        std::sscanf(child->output.c_str(), "%lf %lf %lf %d %d", &run.trivialLoad, &run.pluginLoad,
                    &run.firstClassObject, &run.fileWrites, &run.registryWrites) != 5)
        return std::nullopt;
    return run;
}

constexpr const wchar_t* kLanguageFiles[] = {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"};

// A user's first run: no language key, no per-user files. Then a later process of the same user,
// whose per-user files the first one made current.
bool MeasureStartup(int runs) {
    std::vector<double> trivial, plugin, firstRun, later, laterWrites, firstWrites;
    for (int run = 0; run < runs; ++run) {
        {
            LanguageRegistry registry;
            LanguageFiles userFiles;
            registry.RemoveKey();
            for (const wchar_t* file : kLanguageFiles)
                userFiles.Remove(LanguageFolder::PerUser, file);
            const std::optional<StartupRun> first = RunStartupChild();
            const std::optional<StartupRun> next = RunStartupChild();
            if (!first || !next) {
                std::fprintf(stderr, "a start-up child failed\n");
                return false;
            }
            trivial.push_back(first->trivialLoad);
            trivial.push_back(next->trivialLoad);
            plugin.push_back(first->pluginLoad);
            plugin.push_back(next->pluginLoad);
            firstRun.push_back(first->firstClassObject);
            firstWrites.push_back(first->fileWrites);
            later.push_back(next->firstClassObject);
            laterWrites.push_back(next->fileWrites);
        }
    }
    Print("startup.trivial", "LoadLibrary + DllMain, a trivial DLL", "ms", "", trivial);
    Print("startup.load", "LoadLibrary + DllMain, M450UI.dll", "ms", "median<=3x:startup.trivial", plugin);
    Print("startup.first", "first DllGetClassObject, a user's first run", "ms", "median<=10", firstRun);
    Print("startup.first.writes", "  files written by it", "count", "", firstWrites);
    Print("startup.later", "first DllGetClassObject, a later process", "ms", "median<=10", later);
    Print("startup.later.writes", "  files written by it", "count", "max<=0", laterWrites);
    return true;
}

// ---- sheets ---------------------------------------------------------------------------------

// Every session and sheet of the benchmark goes through the installed driver: the plug-in its
// .ini names in the printer-driver directory, the option items of its GPD.
m450test::SheetOptions Installed() {
    m450test::SheetOptions options;
    options.installedDriver = true;
    return options;
}

// From the user's request to the first of our pages painted: the host makes its session with
// the plug-in, opens the sheet, and the plug-in's first page is shown.
bool MeasureSheetOpening(SheetKind kind, int runs) {
    std::vector<double> samples;
    for (int run = 0; run <= runs; ++run) {
        std::wstring error;
        const double start = Now();
        std::unique_ptr<m450host::HostSession> session = m450host::HostSession::Create(InstalledSession(), &error);
        const HWND sheet = session != nullptr ? session->OpenModeless(kind) : nullptr;
        if (sheet == nullptr) {
            std::fwprintf(stderr, L"the sheet did not open: %ls\n", error.c_str());
            return false;
        }
        PropSheet_SetCurSel(sheet, nullptr, static_cast<int>(session->hostPageCount()));
        Settle(sheet);
        const double took = Now() - start;
        if (run > 0)  // the first opening of the process also registers window classes
            samples.push_back(took);
        session->CloseSheet();
        Rest(20);
    }
    if (kind == SheetKind::Document)
        Print("sheet.document", "document sheet: open until \"Main\" is painted", "ms", "median<=60", samples);
    else
        Print("sheet.device", "device sheet: open until \"Utility\" is painted", "ms", "median<=60", samples);
    return true;
}

// The event dialog reports to the sheet, its owner, when its modal loop first waits for the
// user; it is then painted and ended.
double g_dialogPainted = 0;
LRESULT CALLBACK WatchDialogIdle(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX && g_dialogPainted == 0) {
        const auto dialog = reinterpret_cast<HWND>(lParam);
        RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        g_dialogPainted = Now();
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

bool MeasureEventDialog(int runs) {
    SheetDriver sheet(SheetKind::Document, Installed());
    PageDriver page = sheet.ShowPage(L"Operation");
    if (!page) {
        std::fwprintf(stderr, L"no Operation page: %ls\n", sheet.error().c_str());
        return false;
    }
    SetWindowSubclass(sheet.sheet(), &WatchDialogIdle, 1, 0);
    std::vector<double> samples;
    for (int run = 0; run <= runs; ++run) {
        g_dialogPainted = 0;
        const double start = Now();
        page.Click(IDC_OPERATION_END_DOC_BUTTON);
        if (g_dialogPainted == 0) {
            std::fprintf(stderr, "the event dialog did not open\n");
            return false;
        }
        if (run > 0)
            samples.push_back(g_dialogPainted - start);
        Rest(10);
    }
    RemoveWindowSubclass(sheet.sheet(), &WatchDialogIdle, 1);
    Print("dialog.event", "event dialog: open until painted", "ms", "median<=30", samples);
    return true;
}

// One slider step as the keyboard makes it (the message, the page's repaint, and the painting
// of whatever the repaint left invalid). The slider walks ten steps one way, ten back, starting
// away from the end it stands at.
std::vector<double> SliderSteps(PageDriver& page, int slider, int runs) {
    const HWND trackbar = page.Control(slider);
    const bool atTop = SendMessageW(trackbar, TBM_GETPOS, 0, 0) >= SendMessageW(trackbar, TBM_GETRANGEMAX, 0, 0);
    std::vector<double> samples;
    for (int run = 0; run <= runs; ++run) {
        const int step = ((run / 10) % 2 == 0) != atTop ? 1 : -1;
        const double start = Now();
        page.MoveTrackbar(slider, step);
        Settle(page.hwnd());
        if (run > 0)
            samples.push_back(Now() - start);
    }
    return samples;
}

// Waits until the file's bytes are on the disk. Files of many megabytes written just before
// a measurement are otherwise still being written out during it, and every write the pages make
// then waits for the disk: steps took 8 ms longer now and then.
void FlushToDisk(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FlushFileBuffers(file);
    CloseHandle(file);
}

// The pictures the pages are given, written only when they are not there as they should be.
bool WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    if (m450host::ReadFileBytes(path) == bytes)
        return true;
    if (!m450host::WriteFileBytes(path, bytes))
        return false;
    FlushToDisk(path);
    return true;
}

constexpr const char* kStepGoal = "median<=8;p95<=16";

// The second printer of the language switch, as the two-printer tests name it.
constexpr wchar_t kSecondPrinter[] = L"KVL-M450 Kitchen";

bool MeasureDownloadSteps(int runs) {
    const std::wstring logo = TempFile(L"m450-bench-logo.bmp");
    if (!WriteBytes(logo, m450::test::PhotoLikeBitmap24(1024, 768)))
        return false;
    SheetDriver sheet(SheetKind::Device, Installed());
    PageDriver page = sheet.ShowPage(L"Download");
    if (!page)
        return false;
    {
        DialogCatcher catcher;
        catcher.Then(ChooseFile(logo));
        page.Click(IDC_DOWNLOAD_LOGO_ADD_BUTTON);
    }
    page.ClickRow(IDC_DOWNLOAD_LOGO_LIST, 0);
    if (!page.Click(IDC_DOWNLOAD_MONO_RADIO))
        return false;
    constexpr int kMethods[] = {IDC_DOWNLOAD_HALFTONE_NONE_RADIO, IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO,
                                IDC_DOWNLOAD_HALFTONE_DITHER_M4_RADIO, IDC_DOWNLOAD_HALFTONE_DIFFUSE_RADIO};
    constexpr const char* kKeys[] = {"step.download.mono0", "step.download.mono1", "step.download.mono2",
                                     "step.download.mono3"};
    constexpr const char* kWhat[] = {"Download \"Transformation\" \"None\": contrast step",
                                     "Download \"Transformation\" \"Dither M3\": contrast step",
                                     "Download \"Transformation\" \"Dither M4\": contrast step",
                                     "Download \"Transformation\" \"Error Diffuse\": contrast step"};
    for (int method = 0; method < 4; ++method) {
        if (!page.Click(kMethods[method])) {
            std::fprintf(stderr, "method %d cannot be chosen\n", method);
            return false;
        }
        Settle(page.hwnd());
        Print(kKeys[method], kWhat[method], "ms", kStepGoal, SliderSteps(page, IDC_DOWNLOAD_CONTRAST_SLIDER, runs));
    }
    if (!page.Click(IDC_DOWNLOAD_GRAY_RADIO))
        return false;
    Settle(page.hwnd());
    Print("step.download.gray", "Download \"Gray\": contrast step", "ms", kStepGoal,
          SliderSteps(page, IDC_DOWNLOAD_CONTRAST_SLIDER, runs));
    return true;
}

// "Image Water Mark" or "Text Water Mark", answering the note about text printed as graphics.
bool ChooseWatermarkKind(PageDriver& page, int radio) {
    DialogCatcher catcher;
    return page.Click(radio);
}

bool MeasureWatermarkSteps(int runs) {
    // Just under the page's 10 MiB: 2048 × 1706 pixels of 3 bytes.
    const std::wstring picture = TempFile(L"m450-bench-watermark.bmp");
    if (!WriteBytes(picture, m450::test::PhotoLikeBitmap24(2048, 1706)))
        return false;
    {
        SheetDriver sheet(SheetKind::Document, Installed());
        PageDriver page = sheet.ShowPage(L"Water Mark");
        if (!page || !ChooseWatermarkKind(page, IDC_WATERMARK_TEXT_RADIO))
            return false;
        Settle(page.hwnd());
        Print("step.watermark.text", "Watermark text: angle step", "ms", kStepGoal,
              SliderSteps(page, IDC_WATERMARK_ANGLE_SLIDER, runs));
    }
    SheetDriver sheet(SheetKind::Document, Installed());
    PageDriver page = sheet.ShowPage(L"Water Mark");
    if (!page || !ChooseWatermarkKind(page, IDC_WATERMARK_IMAGE_RADIO))
        return false;
    {
        DialogCatcher catcher;
        catcher.Then(ChooseFile(picture));
        page.Click(IDC_WATERMARK_BROWSE_BUTTON);
    }
    Settle(page.hwnd());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    FlushToDisk(std::wstring(temp) + m450host::kDefaultPrinterName + L"1.bmp");  // the page's copy of the picture
    if (page.Text(IDC_WATERMARK_BITMAP_EDIT) != picture) {
        std::fprintf(stderr, "the watermark picture was not taken\n");
        return false;
    }
    Print("step.watermark.image", "Watermark 10 MiB image: brightness step", "ms", kStepGoal,
          SliderSteps(page, IDC_WATERMARK_BRIGHTNESS_SLIDER, runs));
    Print("step.watermark.image.size", "Watermark 10 MiB image: size step", "ms", kStepGoal,
          SliderSteps(page, IDC_WATERMARK_SIZE_SLIDER, runs));
    return true;
}

// The language chosen on the Layout page of one printer's document sheet and applied, with the
// document and device sheets of two printers open: until every sheet has caught up and painted.
bool MeasureLanguageSwitch(int runs) {
    m450test::SheetOptions kitchen;
    kitchen.printerName = kSecondPrinter;
    kitchen.installedDriver = true;
    SheetDriver document(SheetKind::Document, Installed());
    SheetDriver device(SheetKind::Device, Installed());
    SheetDriver kitchenDocument(SheetKind::Document, kitchen);
    SheetDriver kitchenDevice(SheetKind::Device, kitchen);
    const HWND sheets[] = {document.sheet(), device.sheet(), kitchenDocument.sheet(), kitchenDevice.sheet()};
    if (std::find(std::begin(sheets), std::end(sheets), nullptr) != std::end(sheets)) {
        std::fprintf(stderr, "the four sheets did not open\n");
        return false;
    }
    device.ShowPage(L"Download");
    kitchenDevice.ShowPage(L"Download");
    kitchenDocument.ShowPage(L"Main");
    PageDriver layout = document.ShowPage(L"Main");
    if (!layout)
        return false;
    std::vector<double> samples;
    for (int run = 0; run <= runs; ++run) {
        const wchar_t* language = run % 2 == 0 ? L"\u7B80\u4F53\u4E2D\u6587" : L"English";  // 简体中文
        if (!layout.Choose(IDC_LAYOUT_LANGUAGE_COMBO, language)) {
            std::fprintf(stderr, "no language entry to choose\n");
            return false;
        }
        Settle(document.sheet());
        const double start = Now();
        PropSheet_Apply(document.sheet());
        for (const HWND sheet : sheets)
            Settle(sheet);
        if (run > 0)
            samples.push_back(Now() - start);
    }
    Print("language.switch", "language switch, four sheets of two printers open", "ms", "median<=200", samples);
    return true;
}

// ---- the machine, for reading the figures above ------------------------------------------
// Every figure under Wine is mostly round trips: to the wineserver for each window, property,
// message and wait, to the X server for each drawing. Their cost is the machine's, not the
// DLL's, and on virtual machines it varies several times over from one machine to the next
// (a wake-up on another processor is the dear part). Two figures of the same run tell it: one
// round trip between two threads through the wineserver (an event set and waited for each way),
// and the event dialog's own template made, shown and painted by Wine under the DLL's
// activation context with a procedure that does nothing: the lower bound of the event dialog's
// figure, since Wine resolves every control's class through that context again.

DWORD WINAPI AnswerEvents(void* parameter) {
    const auto* events = static_cast<HANDLE*>(parameter);
    while (WaitForSingleObject(events[0], INFINITE) == WAIT_OBJECT_0 &&
           WaitForSingleObject(events[2], 0) != WAIT_OBJECT_0)
        SetEvent(events[1]);
    return 0;
}

bool MeasureRoundTrip(int runs) {
    constexpr int kTripsPerRun = 200;
    HANDLE events[3] = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr),
                        CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, &AnswerEvents, events, 0, nullptr);
    std::vector<double> samples;
    for (int run = 0; thread && run <= runs; ++run) {
        const double start = Now();
        for (int trip = 0; trip < kTripsPerRun; ++trip) {
            SetEvent(events[0]);
            WaitForSingleObject(events[1], INFINITE);
        }
        if (run > 0)
            samples.push_back((Now() - start) * 1000.0 / kTripsPerRun);
    }
    if (thread) {
        SetEvent(events[2]);
        SetEvent(events[0]);
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
    for (HANDLE event : events)
        CloseHandle(event);
    if (samples.empty())
        return false;
    Print("machine.roundtrip", "machine: a wineserver round trip between two threads", "us", "", samples);
    return true;
}

INT_PTR CALLBACK DoNothing(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

bool MeasureBareEventDialog(int runs) {
    const std::wstring path = InstalledPluginPath();
    HMODULE plugin = LoadLibraryW(path.c_str());
    if (!plugin) {
        std::fprintf(stderr, "cannot load M450UI.dll\n");
        return false;
    }
    // Made as the DLL makes its own: from its isolation manifest, resource 2.
    ACTCTXW request{};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(2);
    const HANDLE context = CreateActCtxW(&request);
    ULONG_PTR cookie = 0;
    const bool active = context != INVALID_HANDLE_VALUE && ActivateActCtx(context, &cookie);
    std::vector<double> samples;
    for (int run = 0; active && run <= runs; ++run) {
        const double start = Now();
        HWND dialog = CreateDialogParamW(plugin, MAKEINTRESOURCEW(IDD_EVENT_DIALOG), nullptr, &DoNothing, 0);
        if (!dialog)
            break;
        ShowWindow(dialog, SW_SHOW);
        Settle(dialog);
        const double painted = Now();
        DestroyWindow(dialog);
        if (run > 0)
            samples.push_back(painted - start);
        Rest(10);
    }
    if (active)
        DeactivateActCtx(0, cookie);
    if (context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context);
    FreeLibrary(plugin);
    if (samples.empty()) {
        std::fprintf(stderr, "the event dialog's template made no dialog under the DLL's activation context\n");
        return false;
    }
    Print("machine.bare.dialog", "machine: the event dialog's template alone, made and painted by Wine", "ms", "",
          samples);
    return true;
}

int Bench(int runs) {
    m450test::PrinterFixture printer;
    m450test::PrinterFixture secondPrinter(kSecondPrinter);
    if (!printer.ok() || !secondPrinter.ok()) {
        std::fwprintf(stderr, L"%ls%ls\n", printer.error().c_str(), secondPrinter.error().c_str());
        return 1;
    }
    LanguageRegistry registry;
    LanguageFiles files;
    for (const LanguageFolder folder : {LanguageFolder::PerUser, LanguageFolder::Driver}) {
        for (const wchar_t* file : kLanguageFiles)
            files.InstallFromSource(folder, file, std::wstring(L"lang/") + file);
    }
    if (!MeasureStartup(runs))
        return 1;
    registry.Set(m450test::kLanguageValue, L"ENG_M450.res");
    registry.Set(m450test::kFirstRunValue, L"FALSE");
    const bool measured = MeasureSheetOpening(SheetKind::Document, runs) &&
                          MeasureSheetOpening(SheetKind::Device, runs) && MeasureEventDialog(runs) &&
                          MeasureDownloadSteps(runs) && MeasureWatermarkSteps(runs) && MeasureLanguageSwitch(runs) &&
                          MeasureRoundTrip(runs) && MeasureBareEventDialog(runs);
    return measured ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wstring(argv[1]) == L"--startup-child")
        return StartupChild(argv[2], argv[3]);
    const int runs = argc >= 2 ? std::max(1, _wtoi(argv[1])) : 30;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return Bench(runs);
}
