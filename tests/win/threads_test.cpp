// The DLL in a host that uses several threads at once, as the shell, splwow64, the spooler and
// point-of-sale applications do: document sheets initialised on four threads while the user's
// language flips and the language files change under them; the sheets of two printers on two
// threads, each with its own message loop, reached by a language switch on the other; DevMode
// called from eight threads. This suite runs on every CPU the machine has, with Wine's heap
// checks on (see tests/win/CMakeLists.txt).
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <algorithm>
#include <array>
#include <cwchar>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"
#include "layout_page_ids.h"
#include "page_test.h"
#include "platform/printoem.h"

namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using m450host::SheetKind;
using m450test::LanguageFolder;
using m450test::SheetDriver;
using Texts = std::vector<std::wstring>;

constexpr int kInitThreads = 4;
// Sheets per thread (4 x 300 took 151 s with Wine's heap checks on a two-CPU machine);
// M450_THREAD_SHEETS=<n> runs another count.
constexpr int kDefaultSheetsPerThread = 300;
constexpr int kDevModeThreads = 8;
constexpr int kDevModeRounds = 200;

// The plug-in's six tab titles in each language, and the print density's first options.
const Texts kEnglishTitles = {L"Main", L"Water Mark", L"Operation", L"1D Code", L"2D Code", L"Version"};
const Texts kChineseTitles = {L"常规", L"水印", L"操作", L"一维条码", L"二维条码", L"版本"};
const Texts kEnglishDensity = {L"Density0", L"Density1", L"Density2"};
const Texts kChineseDensity = {L"浓度0", L"浓度1", L"浓度2"};

IPrintOemUI* NewPlugin() {
    auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
        reinterpret_cast<void*>(GetProcAddress(m450test::InstalledPluginModule(), "DllGetClassObject")));
    if (getClassObject == nullptr)
        return nullptr;
    IClassFactory* factory = nullptr;
    if (getClassObject(CLSID_M450UI, IID_IClassFactory, reinterpret_cast<void**>(&factory)) != S_OK)
        return nullptr;
    IPrintOemUI* plugin = nullptr;
    if (factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&plugin)) != S_OK)
        plugin = nullptr;
    factory->Release();
    return plugin;
}

// The page titles a sheet callback was given, copied when each page is added.
struct TitleRecorder {
    static LONG_PTR CALLBACK Callback(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM) {
        auto* self = static_cast<TitleRecorder*>(sheet);
        if (function != CPSFUNC_ADD_PROPSHEETPAGEW)
            return 0;
        self->titles.emplace_back(reinterpret_cast<const PROPSHEETPAGEW*>(lParam1)->pszTitle);
        return static_cast<LONG_PTR>(0x1000 + self->titles.size());
    }
    Texts titles;
};

// What one thread's document sheets showed.
struct InitTally {
    int english = 0;
    int chinese = 0;
    int mixed = 0;
    std::wstring firstMixed;
};

// One host thread: its own plug-in object and option items, a document sheet initialised (and
// destroyed) again and again, each sheet's titles and density options read as the host reads them.
int SheetsPerThread() {
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(L"M450_THREAD_SHEETS", value, 16) == 0)
        return kDefaultSheetsPerThread;
    return std::max(static_cast<int>(std::wcstol(value, nullptr, 10)), 1);
}

void InitialiseSheets(InitTally* tally, int sheets) {
    IPrintOemUI* plugin = NewPlugin();
    if (plugin == nullptr) {
        tally->mixed = -1;
        return;
    }
    m450host::RecordingDriverUI driverUI;
    plugin->PublishDriverInterface(&driverUI);
    m450host::DriverOptionItems items;
    OEMUIOBJ uiObject{sizeof(OEMUIOBJ), nullptr};
    for (int i = 0; i < sheets; ++i) {
        OEMCUIPPARAM block{};
        block.cbSize = sizeof(block);
        block.poemuiobj = &uiObject;
        block.pDrvOptItems = items.items();
        block.cDrvOptItems = items.count();
        plugin->CommonUIProp(OEMCUIP_DOCPROP, &block);
        TitleRecorder sheet;
        PROPSHEETUI_INFO info = m450test::SheetInfo(PROPSHEETUI_REASON_INIT, &TitleRecorder::Callback, &sheet);
        plugin->DocumentPropertySheets(&info, 0);
        Texts density;
        for (size_t j = 0; j < 3; ++j)
            density.push_back(m450host::DriverOptionItems::OptionText(items.density(), j));
        if (sheet.titles == kEnglishTitles && density == kEnglishDensity) {
            ++tally->english;
        } else if (sheet.titles == kChineseTitles && density == kChineseDensity) {
            ++tally->chinese;
        } else if (tally->mixed++ == 0) {
            for (const std::wstring& text : sheet.titles)
                tally->firstMixed += text + L"|";
            for (const std::wstring& text : density)
                tally->firstMixed += text + L"|";
        }
        info.Reason = PROPSHEETUI_REASON_DESTROY;
        plugin->DocumentPropertySheets(&info, 0);
    }
    plugin->Release();
}

// The DLL's calls of CreateActCtxW.
std::atomic<int> g_contextsMade{0};
decltype(&CreateActCtxW) g_createActCtx = nullptr;
HANDLE WINAPI CountingCreateActCtxW(PCACTCTXW request) {
    ++g_contextsMade;
    return g_createActCtx(request);
}

// A new last write time on a file: the language-file cache must read it again.
void Touch(const std::wstring& path, LONGLONG stamp) {
    const HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    FILETIME time{static_cast<DWORD>(stamp), static_cast<DWORD>(stamp >> 32)};
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (const wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

class Threads : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        for (const LanguageFolder folder : {LanguageFolder::PerUser, LanguageFolder::Driver}) {
            for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res"})
                ASSERT_TRUE(files_.InstallFromSource(folder, file, std::wstring(L"lang/") + file));
        }
    }
};

TEST_F(Threads, SheetsInitialisedOnFourThreadsWhileTheLanguageFlipsShowOneLanguageEach) {
    ASSERT_NE(m450test::InstalledPluginModule(), nullptr);
    m450test::ImportPatch patch(m450test::InstalledPluginModule(), "KERNEL32.dll", "CreateActCtxW",
                                reinterpret_cast<void*>(&CountingCreateActCtxW));
    ASSERT_TRUE(patch.ok());
    g_createActCtx = reinterpret_cast<decltype(&CreateActCtxW)>(patch.original());

    std::atomic<bool> done{false};
    int flips = 0;
    std::thread flipper([&] {
        const std::wstring folder = m450test::LanguageFolderPath(LanguageFolder::PerUser);
        LONGLONG stamp = 132000000000000000LL;
        while (!done) {
            registry_.Set(m450test::kLanguageValue, flips % 2 == 0 ? L"CHN_M450.res" : L"ENG_M450.res");
            Touch(folder + L"ENG_M450.res", stamp += 10000000);
            Touch(folder + L"CHN_M450.res", stamp);
            ++flips;
            Sleep(1);
        }
    });
    const int sheets = SheetsPerThread();
    std::array<InitTally, kInitThreads> tallies{};
    std::vector<std::thread> hosts;
    for (InitTally& tally : tallies)
        hosts.emplace_back(InitialiseSheets, &tally, sheets);
    for (std::thread& host : hosts)
        host.join();
    done = true;
    flipper.join();

    InitTally all;
    for (const InitTally& tally : tallies) {
        all.english += tally.english;
        all.chinese += tally.chinese;
        all.mixed += tally.mixed;
        if (all.firstMixed.empty())
            all.firstMixed = tally.firstMixed;
    }
    std::printf("%d sheets: %d English, %d Chinese, %d mixed; %d language flips; %d activation contexts made\n",
                kInitThreads * sheets, all.english, all.chinese, all.mixed, flips, g_contextsMade.load());
    EXPECT_EQ(all.mixed, 0) << "first: " << Narrow(all.firstMixed);
    EXPECT_EQ(all.english + all.chinese, kInitThreads * sheets);
    EXPECT_GT(flips, 1);
    EXPECT_EQ(g_contextsMade.load(), 1);
}

// A thread of its own with the kitchen printer's document sheet and its message loop.
class KitchenThread {
  public:
    KitchenThread() : thread_([this] { Run(); }) {}
    ~KitchenThread() {
        SetEvent(close_);
        thread_.join();
        for (HANDLE event : {ready_, block_, blocked_, switched_, read_, close_})
            CloseHandle(event);
    }
    bool WaitReady() { return WaitForSingleObject(ready_, 60000) == WAIT_OBJECT_0; }
    // The thread stops taking messages until Release; true once it has.
    bool Block() { return SetEvent(block_) && WaitForSingleObject(blocked_, 60000) == WAIT_OBJECT_0; }
    // The thread takes the messages waiting for it once, then reads its sheet.
    bool ReleaseAndRead() { return SetEvent(switched_) && WaitForSingleObject(read_, 60000) == WAIT_OBJECT_0; }

    bool opened = false;
    bool waitedForRelease = false;  // the switch came back before the other side let this thread go
    Texts tabs;
    std::wstring zoomLabel;

  private:
    void Run() {
        m450test::SheetOptions options;
        options.printerName = L"KVL-M450 Kitchen";
        options.installedDriver = true;
        SheetDriver sheet(SheetKind::Document, options);
        opened = sheet.ok();
        if (opened)
            sheet.ShowPage(L"Main");
        SetEvent(ready_);
        while (MsgWaitForMultipleObjects(1, &block_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            sheet.Pump(0);
        SetEvent(blocked_);
        // Blocked as in a long raw job: no message is taken meanwhile.
        waitedForRelease = WaitForSingleObject(switched_, 30000) == WAIT_OBJECT_0;
        sheet.Pump(0);  // one round of the messages waiting
        tabs = sheet.TabTexts();
        if (opened)
            zoomLabel = m450test::PageDriver(PropSheet_IndexToHwnd(sheet.sheet(), 2)).Text(IDC_LAYOUT_ZOOM_CHECK);
        SetEvent(read_);
        while (MsgWaitForMultipleObjects(1, &close_, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
            sheet.Pump(0);
    }

    HANDLE ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE block_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE blocked_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE switched_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE read_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE close_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread thread_;
};

TEST_F(Threads, ALanguageSwitchReachesABusySheetOfAnotherPrinterOnAnotherThreadByPost) {
    m450test::PrinterFixture kitchenPrinter(L"KVL-M450 Kitchen");
    ASSERT_TRUE(kitchenPrinter.ok());
    // Both printers' sheets on the plug-in of the installed driver: one DLL, one register.
    m450test::SheetOptions installed;
    installed.installedDriver = true;
    OpenPage(SheetKind::Document, L"Main", installed);
    KitchenThread kitchen;
    ASSERT_TRUE(kitchen.WaitReady());
    ASSERT_TRUE(kitchen.opened);
    ASSERT_TRUE(kitchen.Block());

    // The switch on this thread comes back while the kitchen's thread takes no message.
    ASSERT_TRUE(page_.Choose(IDC_LAYOUT_LANGUAGE_COMBO, L"简体中文"));
    sheet_->Apply();
    EXPECT_EQ(sheet_->TabTexts(),
              (Texts{L"Layout", L"Paper/Quality", L"常规", L"水印", L"操作", L"一维条码", L"二维条码", L"版本"}));
    ASSERT_TRUE(kitchen.ReleaseAndRead());
    EXPECT_TRUE(kitchen.waitedForRelease);

    // One round of its messages later, the kitchen's sheet is in the user's new language too.
    EXPECT_EQ(kitchen.tabs,
              (Texts{L"Layout", L"Paper/Quality", L"常规", L"水印", L"操作", L"一维条码", L"二维条码", L"版本"}));
    EXPECT_EQ(kitchen.zoomLabel, L"缩放打印");
}

// The record's bytes after each DevMode mode, from one plug-in object.
struct DevModeResults {
    DWORD size = 0;
    std::vector<uint8_t> defaults, converted, merged;
    bool operator==(const DevModeResults&) const = default;
};

DevModeResults RunDevModes(IPrintOemUI* plugin) {
    DevModeResults results;
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    plugin->DevMode(OEMDM_SIZE, &param);
    results.size = param.cbBufSize;
    results.defaults.assign(1980, 0xA5);
    param.pOEMDMOut = results.defaults.data();
    param.cbBufSize = 1980;
    plugin->DevMode(OEMDM_DEFAULT, &param);
    // An older driver's shorter record with a changed byte in it.
    std::vector<uint8_t> older(results.defaults.begin(), results.defaults.begin() + 600);
    older[0] = 88;  // dwSize 600
    older[1] = 2;
    older[300] = 7;
    results.converted.assign(1980, 0x5A);
    param.pOEMDMIn = older.data();
    param.pOEMDMOut = results.converted.data();
    plugin->DevMode(OEMDM_CONVERT, &param);
    results.merged = results.defaults;
    param.pOEMDMOut = results.merged.data();
    plugin->DevMode(OEMDM_MERGE, &param);
    return results;
}

TEST_F(Threads, DevModeFromEightThreadsGivesTheOneThreadResults) {
    IPrintOemUI* plugin = NewPlugin();
    ASSERT_NE(plugin, nullptr);
    const DevModeResults alone = RunDevModes(plugin);
    EXPECT_EQ(alone.size, 1980u);
    std::atomic<int> differing{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kDevModeThreads; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < kDevModeRounds; ++round) {
                if (!(RunDevModes(plugin) == alone))
                    ++differing;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    plugin->Release();
    EXPECT_EQ(differing.load(), 0);
}

}  // namespace
