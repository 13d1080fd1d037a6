// m450host: an ordinary application that opens the KVL-M450's sheets as a POS application does
// (DocumentPropertiesW with a prompt; Printer Properties through compstui and the driver's
// configuration module, where Wine's PrinterPropertiesW does nothing), takes pictures of every
// page, and installs the driver package and a printer on a file port. With --dll it opens the
// sheets itself through the host part, on another build of the DLL.
//
//   m450host prefs [--printer NAME] [--load-devmode FILE] [--save-devmode FILE] [--dll PATH]
//   m450host props [--printer NAME] [--dll PATH]
//   m450host shots DIR [--printer NAME] [--dll PATH]
//   m450host install-printer PORTFILE [--printer NAME]
#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <compstui.h>
#include <winspool.h>

#include <optional>
#include <span>

#include "host_core.h"
#include "screenshot.h"
#include "uicore/config_module.h"

namespace {

using m450host::HostSession;
using m450host::SheetKind;

constexpr char kUsage[] =
    "usage: m450host prefs [--printer NAME] [--load-devmode FILE] [--save-devmode FILE] [--dll PATH]\n"
    "       m450host props [--printer NAME] [--dll PATH]\n"
    "       m450host shots DIR [--printer NAME] [--dll PATH]\n"
    "       m450host install-printer PORTFILE [--printer NAME]\n";

void Print(FILE* stream, const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, narrow.data(), length, nullptr, nullptr);
    std::fputs((narrow + "\n").c_str(), stream);
    std::fflush(stream);
}

int Fail(const std::wstring& message) {
    Print(stderr, L"m450host: " + message);
    return 1;
}

// The command's positional arguments and its --name VALUE options.
struct Arguments {
    std::vector<std::wstring> positional;
    std::map<std::wstring, std::wstring> options;

    std::wstring Option(const std::wstring& name, const std::wstring& fallback = {}) const {
        const auto found = options.find(name);
        return found != options.end() ? found->second : fallback;
    }
};

bool ParseArguments(int argc, wchar_t** argv, Arguments* arguments) {
    static const std::vector<std::wstring> kKnown = {L"--printer", L"--load-devmode", L"--save-devmode", L"--dll"};
    for (int i = 2; i < argc; ++i) {
        const std::wstring argument = argv[i];
        if (argument.rfind(L"--", 0) != 0) {
            arguments->positional.push_back(argument);
            continue;
        }
        if (std::find(kKnown.begin(), kKnown.end(), argument) == kKnown.end() || i + 1 >= argc)
            return false;
        arguments->options[argument] = argv[++i];
    }
    return true;
}

// The direct path (shots, or --dll): the host part loads the plug-in itself, by default the one
// the printer's installed driver names.
std::unique_ptr<HostSession> OpenSession(const Arguments& arguments, std::wstring* error) {
    m450host::SessionOptions options;
    options.dllPath = arguments.Option(L"--dll");
    options.installedDriver = options.dllPath.empty();
    options.printerName = arguments.Option(L"--printer", m450host::kDefaultPrinterName);
    return HostSession::Create(options, error);
}

int RunSheetDirectly(SheetKind kind, const Arguments& arguments) {
    std::wstring error;
    auto session = OpenSession(arguments, &error);
    if (session == nullptr)
        return Fail(error);
    const std::wstring load = arguments.Option(L"--load-devmode");
    if (!load.empty() && !session->LoadRecord(load, &error))
        return Fail(error);
    if (session->RunModal(kind) < 0)
        return Fail(L"the property sheet could not be shown");
    const std::wstring save = arguments.Option(L"--save-devmode");
    if (save.empty())
        return 0;
    // Apply commits the settings as OK does; a sheet cancelled without Apply leaves no record.
    if (!session->sheetApplied()) {
        Print(stdout, L"not applied: " + save + L" left as it was");
        return 0;
    }
    if (!session->SaveRecord(save))
        return Fail(L"cannot write " + save);
    Print(stdout, L"saved the private record (" + std::to_wstring(session->record().size()) + L" bytes) to " + save);
    return 0;
}

// A device mode of the printer's driver: its defaults, or a saved record merged into them.
std::optional<std::vector<uint8_t>> DocumentDevMode(HANDLE printer,
                                                    std::wstring& name,
                                                    const std::wstring& load,
                                                    std::wstring* error) {
    const LONG size = DocumentPropertiesW(nullptr, printer, name.data(), nullptr, nullptr, 0);
    if (size < static_cast<LONG>(sizeof(DEVMODEW))) {
        *error = m450host::ErrorText(L"DocumentPropertiesW (the size)", GetLastError());
        return std::nullopt;
    }
    std::vector<uint8_t> defaults(static_cast<size_t>(size));
    auto* devMode = reinterpret_cast<DEVMODEW*>(defaults.data());
    if (DocumentPropertiesW(nullptr, printer, name.data(), devMode, nullptr, DM_OUT_BUFFER) < 0) {
        *error = m450host::ErrorText(L"DocumentPropertiesW (the defaults)", GetLastError());
        return std::nullopt;
    }
    if (load.empty())
        return defaults;
    const auto record = m450host::ReadFileBytes(m450host::WindowsPath(load));
    const size_t recordAt = m450host::RecordOffset(devMode, defaults.size());
    if (!record || recordAt == 0 || record->size() > 0xFFFF - sizeof(m450host::CorePrivate)) {
        *error = L"cannot read " + load + L" as a record of this printer";
        return std::nullopt;
    }
    // The saved record in place of the default one; the driver merges it into its defaults.
    std::vector<uint8_t> stored(defaults.begin(), defaults.begin() + static_cast<ptrdiff_t>(recordAt));
    stored.insert(stored.end(), record->begin(), record->end());
    reinterpret_cast<DEVMODEW*>(stored.data())->dmDriverExtra =
        static_cast<WORD>(sizeof(m450host::CorePrivate) + record->size());
    std::vector<uint8_t> merged(defaults.size());
    if (DocumentPropertiesW(nullptr, printer, name.data(), reinterpret_cast<DEVMODEW*>(merged.data()),
                            reinterpret_cast<DEVMODEW*>(stored.data()), DM_IN_BUFFER | DM_OUT_BUFFER) < 0) {
        *error = L"the driver refused the record in " + load;
        return std::nullopt;
    }
    return merged;
}

// The printer --printer names (the demo's first printer without it), open while the object
// lives; a null handle and the error when it cannot be opened.
struct NamedPrinter {
    explicit NamedPrinter(const Arguments& arguments)
        : name(arguments.Option(L"--printer", m450host::kDefaultPrinterName)) {
        if (!OpenPrinterW(name.data(), &handle, nullptr)) {
            handle = nullptr;
            error = m450host::ErrorText(L"OpenPrinterW(" + name + L")", GetLastError());
        }
    }
    ~NamedPrinter() {
        if (handle != nullptr)
            ClosePrinter(handle);
    }
    NamedPrinter(const NamedPrinter&) = delete;
    NamedPrinter& operator=(const NamedPrinter&) = delete;

    std::wstring name;
    HANDLE handle = nullptr;
    std::wstring error;
};

// Printing Preferences as an application opens them: DocumentPropertiesW with a prompt.
int RunPreferences(const Arguments& arguments) {
    NamedPrinter printer(arguments);
    if (printer.handle == nullptr)
        return Fail(printer.error);
    std::wstring error;
    const auto before = DocumentDevMode(printer.handle, printer.name, arguments.Option(L"--load-devmode"), &error);
    if (!before)
        return Fail(error);
    std::vector<uint8_t> after(before->size());
    std::vector<uint8_t> in = *before;
    const LONG shown =
        DocumentPropertiesW(nullptr, printer.handle, printer.name.data(), reinterpret_cast<DEVMODEW*>(after.data()),
                            reinterpret_cast<DEVMODEW*>(in.data()), DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT);
    if (shown < 0)
        return Fail(L"the property sheet could not be shown");
    const std::wstring save = arguments.Option(L"--save-devmode");
    if (save.empty())
        return 0;
    // The driver gives back what OK or Apply left; a sheet cancelled without Apply gives back
    // what went in.
    const size_t recordAt = m450host::RecordOffset(reinterpret_cast<const DEVMODEW*>(after.data()), after.size());
    if (recordAt == 0)
        return Fail(L"the driver gave back no record");
    if (after == *before) {
        Print(stdout, L"not changed: " + save + L" left as it was");
        return 0;
    }
    const std::span<const uint8_t> record(after.data() + recordAt, after.size() - recordAt);
    if (!m450host::WriteFileBytes(m450host::WindowsPath(save), record))
        return Fail(L"cannot write " + save);
    Print(stdout, L"saved the private record (" + std::to_wstring(record.size()) + L" bytes) to " + save);
    return 0;
}

struct DeviceSheetContext {
    DrvPropertySheetsFunction sheets = nullptr;
    DEVICEPROPERTYHEADER* header = nullptr;
    std::wstring title;
};

// What winspool's PrinterPropertiesW does on Windows (Wine's is a stub): compstui's sheet with
// the configuration module's DrvDevicePropertySheets added to it.
LONG CALLBACK DevicePropertiesCallback(PPROPSHEETUI_INFO info, LPARAM lParam) {
    auto* context = reinterpret_cast<DeviceSheetContext*>(info->lParamInit);
    if (info->Reason == PROPSHEETUI_REASON_INIT) {
        if (!info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                                   reinterpret_cast<LPARAM>(context->sheets),
                                   reinterpret_cast<LPARAM>(context->header)))
            return ERR_CPSUI_GETLASTERROR;
    } else if (info->Reason == PROPSHEETUI_REASON_GET_INFO_HEADER && lParam != 0) {
        auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        header->pTitle = context->title.data();
        header->Flags = PSUIHDRF_EXACT_PTITLE;
    }
    return CPSUI_OK;
}

int RunPrinterProperties(const Arguments& arguments) {
    NamedPrinter printer(arguments);
    if (printer.handle == nullptr)
        return Fail(printer.error);
    m450host::InstalledDriverFiles files;
    std::wstring error;
    HMODULE module = nullptr;
    if (m450host::FindInstalledDriverFiles(printer.handle, &files, &error))
        module = LoadLibraryW(files.configFile.c_str());
    DeviceSheetContext context;
    if (module != nullptr)
        context.sheets = reinterpret_cast<DrvPropertySheetsFunction>(
            reinterpret_cast<void*>(GetProcAddress(module, "DrvDevicePropertySheets")));
    if (context.sheets == nullptr) {
        if (module != nullptr)
            FreeLibrary(module);
        return Fail(error.empty() ? L"the driver's configuration module has no DrvDevicePropertySheets" : error);
    }
    DEVICEPROPERTYHEADER header{sizeof(header), 0, printer.handle, printer.name.data()};
    context.header = &header;
    context.title = m450host::SheetTitle(SheetKind::Device, printer.name);
    DWORD result = 0;
    // mingw-w64's compstui.h declares PFNPROPSHEETUI without APIENTRY; compstui calls it as
    // the platform declares it (stdcall on x86), as DevicePropertiesCallback is.
    const auto callback = reinterpret_cast<PFNPROPSHEETUI>(reinterpret_cast<void*>(&DevicePropertiesCallback));
    // mingw-w64 has no import library of compstui for x86: the entry is looked up.
    using CommonSheetFunction = LONG(APIENTRY*)(HWND, PFNPROPSHEETUI, LPARAM, LPDWORD);
    const HMODULE compstui = LoadLibraryW(L"compstui.dll");
    const auto commonSheet = compstui == nullptr ? nullptr
                                                 : reinterpret_cast<CommonSheetFunction>(reinterpret_cast<void*>(
                                                       GetProcAddress(compstui, "CommonPropertySheetUIW")));
    const LONG shown =
        commonSheet != nullptr ? commonSheet(nullptr, callback, reinterpret_cast<LPARAM>(&context), &result) : -1;
    if (compstui != nullptr)
        FreeLibrary(compstui);
    FreeLibrary(module);
    return shown < 0 ? Fail(L"the property sheet could not be shown") : 0;
}

int RunSheet(SheetKind kind, const Arguments& arguments) {
    if (!arguments.Option(L"--dll").empty())
        return RunSheetDirectly(kind, arguments);
    return kind == SheetKind::Document ? RunPreferences(arguments) : RunPrinterProperties(arguments);
}

std::wstring TabText(HWND sheet, int index) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    TabCtrl_GetItem(PropSheet_GetTabControl(sheet), index, &item);
    return text;
}

// "Paper/Quality" -> "-Paper-Quality", "1D Code" -> "-1D-Code"; accelerator marks dropped.
// Only ASCII goes into a file name (a Chinese tab title names no file on every system): a
// title without any gives the empty part, and the file is named by the page's position.
std::wstring FileNamePart(const std::wstring& text) {
    std::wstring part;
    for (wchar_t c : text) {
        if (c == L'&' || c > 0x7E)
            continue;
        part += (c < 0x20 || std::wstring_view(L" \\/:*?\"<>|").find(c) != std::wstring_view::npos) ? L'-' : c;
    }
    while (!part.empty() && part.back() == L'-')
        part.pop_back();
    return part.empty() ? part : L"-" + part;
}

// One picture per page of one sheet: each page activated in turn, as a click on its tab does.
bool ShootSheet(HostSession& session,
                SheetKind kind,
                const std::wstring& prefix,
                const std::wstring& directory,
                const std::wstring& shownDirectory) {
    HWND sheet = session.OpenModeless(kind);
    if (sheet == nullptr)
        return Fail(L"the " + prefix + L" sheet could not be shown") == 0;
    SetWindowPos(sheet, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    m450host::PumpMessages(sheet, 300);
    bool ok = true;
    const int pages = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
    for (int i = 0; i < pages; ++i) {
        PropSheet_SetCurSel(sheet, nullptr, i);
        m450host::PumpMessages(sheet, 150);
        RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        m450host::PumpMessages(sheet, 250);
        const std::wstring name = prefix + L"-" + std::to_wstring(i + 1) + FileNamePart(TabText(sheet, i)) + L".png";
        std::wstring error;
        if (m450host::SaveWindowPicture(sheet, directory + L"\\" + name, &error)) {
            Print(stdout, shownDirectory + L"/" + name);
        } else {
            ok = false;
            Fail(name + L": " + error);
        }
    }
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
    m450host::PumpMessages(sheet, 50);
    session.CloseSheet();
    return ok;
}

int Shots(const Arguments& arguments) {
    if (arguments.positional.size() != 1)
        return Fail(L"shots needs the folder to write the pictures to");
    const std::wstring shown = arguments.positional[0];
    const std::wstring directory = m450host::WindowsPath(shown);
    if (!CreateDirectoryW(directory.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return Fail(L"cannot create " + shown);
    std::wstring error;
    auto session = OpenSession(arguments, &error);
    if (session == nullptr)
        return Fail(error);
    const bool prefs = ShootSheet(*session, SheetKind::Document, L"prefs", directory, shown);
    const bool props = ShootSheet(*session, SheetKind::Device, L"props", directory, shown);
    return prefs && props ? 0 : 1;
}

int InstallPrinter(const Arguments& arguments) {
    if (arguments.positional.size() != 1)
        return Fail(L"install-printer needs the file the printer's port writes to");
    const std::wstring name = arguments.Option(L"--printer", m450host::kDefaultPrinterName);
    const std::wstring port = m450host::WindowsPath(arguments.positional[0]);
    std::wstring error;
    if (!m450host::InstallFilePortPrinter(name, port, &error))
        return Fail(error);
    Print(stdout, L"printer \"" + name + L"\" prints to " + port);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    Arguments arguments;
    if (argc < 2 || !ParseArguments(argc, argv, &arguments)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::wstring command = argv[1];
    if (command == L"prefs" || command == L"props") {
        if (!arguments.positional.empty()) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        return RunSheet(command == L"prefs" ? SheetKind::Document : SheetKind::Device, arguments);
    }
    if (command == L"shots")
        return Shots(arguments);
    if (command == L"install-printer")
        return InstallPrinter(arguments);
    std::fputs(kUsage, stderr);
    return 2;
}
