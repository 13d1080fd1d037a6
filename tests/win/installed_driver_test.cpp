// The driver installed from this build's package and reached as applications reach it: through
// winspool's DocumentPropertiesW (with and without a sheet) and comdlg32's print dialog, which
// load the driver's configuration module (the stand-in UI core, m450uicore.dll) and through it
// the plug-in named by the driver's .ini, from the printer-driver directory.
#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <prsht.h>
#include <winspool.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "event_dialog_ids.h"
#include "harness.h"
#include "operation_page_ids.h"
#include "page_test.h"

namespace {

using Bytes = std::vector<uint8_t>;
using m450test::DialogCatcher;
using m450test::PageDriver;

// The device mode: the public part, the core's part, the plug-in's record.
constexpr size_t kPublicSize = 220;
constexpr size_t kCoreAt = kPublicSize;
constexpr size_t kRecordAt = kPublicSize + 16;
constexpr size_t kDevModeSize = kRecordAt + 1980;
// The End Page block's paper cut in the record.
constexpr size_t kEndPageCut = kRecordAt + 452 + 132;
// The print density among the core's selections (the GPD's fifth feature).
constexpr size_t kDensitySelection = kCoreAt + 8 + 4;

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && _wcsicmp(text.c_str() + text.size() - end.size(), end.c_str()) == 0;
}

class InstalledDriver : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(OpenPrinterW(name_.data(), &handle_, nullptr));
    }
    void TearDown() override {
        if (handle_ != nullptr)
            ClosePrinter(handle_);
    }

    // DocumentPropertiesW with `mode`, from `in` (when not empty) to a buffer of the size the
    // driver asks for.
    Bytes Ask(DWORD mode, const Bytes& in = {}, HWND owner = nullptr) {
        Bytes out(kDevModeSize, 0xEE);
        Bytes input = in;
        const LONG result =
            DocumentPropertiesW(owner, handle_, name_.data(), reinterpret_cast<DEVMODEW*>(out.data()),
                                input.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(input.data()), mode);
        EXPECT_EQ(result, IDOK);
        return out;
    }

    // Operation page, End Page: the event dialog's paper cut set to `cut`, answered with OK,
    // by the catcher of the sheet's thread.
    static void SetEndPageCut(DialogCatcher& catcher, HWND sheet, int cut) {
        PageDriver operation = m450test::ShowTab(sheet, L"Operation");
        ASSERT_TRUE(operation);
        catcher.Then(
            [cut](HWND dialog) { return PageDriver(dialog).Choose(IDC_EVENT_CUT_COMBO, cut) ? IDOK : IDCANCEL; });
        ASSERT_TRUE(operation.Click(IDC_OPERATION_END_PAGE_BUTTON));
    }

    std::wstring name_ = m450host::kDefaultPrinterName;
    HANDLE handle_ = nullptr;
};

TEST_F(InstalledDriver, InstalledFromThePackageIntoTheDriverDirectory) {
    DWORD needed = 0;
    GetPrinterDriverW(handle_, nullptr, 3, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterDriverW(handle_, nullptr, 3, buffer.data(), needed, &needed));
    const auto* info = reinterpret_cast<const DRIVER_INFO_3W*>(buffer.data());
    EXPECT_STREQ(info->pName, L"KVL-M450");
    EXPECT_TRUE(EndsWith(info->pConfigFile, L"\\3\\m450uicore.dll")) << info->pConfigFile;
    EXPECT_TRUE(EndsWith(info->pDataFile, L"\\3\\KVL-M450.gpd")) << info->pDataFile;
    std::vector<std::wstring> dependent;
    for (const wchar_t* file = info->pDependentFiles; *file != 0; file += wcslen(file) + 1)
        dependent.push_back(std::wstring(file).substr(std::wstring(file).rfind(L'\\') + 1));
    EXPECT_EQ(dependent, (std::vector<std::wstring>{L"M450UI.ini", L"M450UI.dll", L"LANGUAGE_M450.dat", L"ENG_M450.res",
                                                    L"CHN_M450.res", L"CHF_M450.res"}));

    // Asking the size loads the configuration module, and it the plug-in the .ini names,
    // from the driver directory.
    EXPECT_EQ(DocumentPropertiesW(nullptr, handle_, name_.data(), nullptr, nullptr, 0), LONG{kDevModeSize});
    wchar_t plugin[MAX_PATH] = {};
    ASSERT_NE(GetModuleHandleW(L"M450UI.dll"), nullptr);
    GetModuleFileNameW(GetModuleHandleW(L"M450UI.dll"), plugin, MAX_PATH);
    EXPECT_TRUE(EndsWith(
        plugin, L"\\spool\\drivers\\" + std::wstring(sizeof(void*) == 8 ? L"x64" : L"w32x86") + L"\\3\\M450UI.dll"))
        << plugin;
}

// The UI core's option items are the GPD's features; the plug-in relabels the GPD's own
// density option when the document sheet is made.
TEST_F(InstalledDriver, OptionItemsComeFromTheDescriptionAndItsDensityIsRelabelled) {
    m450host::SessionOptions options;
    options.installedDriver = true;
    std::wstring error;
    const auto session = m450host::HostSession::Create(options, &error);
    ASSERT_NE(session, nullptr) << error;
    m450host::DriverOptionItems& items = session->optionItems();
    auto texts = [](const OPTITEM& item) {
        std::vector<std::wstring> all;
        for (WORD i = 0; i < item.pOptType->Count; ++i)
            all.push_back(m450host::DriverOptionItems::OptionText(item, i));
        return all;
    };
    ASSERT_EQ(items.count(), 5u);
    EXPECT_STREQ(items.formName().pName, L"Paper Size");
    EXPECT_EQ(texts(items.formName()), (std::vector<std::wstring>{L"Roll Paper 80 x 297 mm", L"Roll Paper 58 x 297 mm",
                                                                  L"Roll Paper, User Defined"}));
    EXPECT_STREQ(items.density().pName, L"Printing Density");
    EXPECT_EQ(items.density().Sel, 1);  // *DefaultOption: Normal
    ASSERT_NE(session->OpenModeless(m450host::SheetKind::Document), nullptr);
    EXPECT_STREQ(items.density().pName, L"Print Density");
    EXPECT_EQ(texts(items.density()), (std::vector<std::wstring>{L"Density0", L"Density1", L"Density2"}));
    session->CloseSheet();
}

TEST_F(InstalledDriver, DocumentPropertiesWithoutASheetGivesAndMergesTheDeviceMode) {
    const Bytes defaults = Ask(DM_OUT_BUFFER);
    const auto* dm = reinterpret_cast<const DEVMODEW*>(defaults.data());
    EXPECT_EQ(dm->dmSize, kPublicSize);
    EXPECT_EQ(dm->dmDriverExtra, 16 + 1980);
    EXPECT_STREQ(dm->dmDeviceName, L"KVL-M450");
    EXPECT_STREQ(dm->dmFormName, L"Roll Paper 80 x 297 mm");  // the GPD's default paper
    const uint8_t core[] = {
        'M', '4', 'U', 'C',     // the core's signature
        5,   0,   0,   0,       // five option items: the GPD's features
        0,   0,   0,   0,   1,  // Orientation, InputBin, Resolution, PaperSize at their first option; Normal density
        0,   0,   0,            // unused
    };
    EXPECT_EQ(Bytes(defaults.begin() + kCoreAt, defaults.begin() + kRecordAt), Bytes(std::begin(core), std::end(core)));
    const uint8_t recordHeader[] = {
        0xBC, 0x07, 0x00, 0x00,  // 1980 bytes
        'N',  'R',  'E',  'Z',   // the plug-in's signature
        0x01, 0x00, 0x00, 0x00,  // version 1
    };
    EXPECT_EQ(Bytes(defaults.begin() + kRecordAt, defaults.begin() + kRecordAt + 12),
              Bytes(std::begin(recordHeader), std::end(recordHeader)));
    EXPECT_EQ(defaults[kEndPageCut], 0);

    // A document's device mode merged: the record's change and the core's selection kept.
    Bytes changed = defaults;
    changed[kEndPageCut] = 2;
    changed[kDensitySelection] = 2;
    const Bytes merged = Ask(DM_IN_BUFFER | DM_OUT_BUFFER, changed);
    EXPECT_EQ(merged, changed);

    // Another driver's device mode (no core part): its form name taken, everything else default.
    Bytes foreign(kPublicSize, 0);
    auto* other = reinterpret_cast<DEVMODEW*>(foreign.data());
    other->dmSize = kPublicSize;
    other->dmFields = DM_FORMNAME;
    wcscpy(other->dmFormName, L"Roll Paper 58 x 297 mm");
    Bytes expected = defaults;
    std::memcpy(expected.data() + offsetof(DEVMODEW, dmFormName), other->dmFormName, sizeof(other->dmFormName));
    EXPECT_EQ(Ask(DM_IN_BUFFER | DM_OUT_BUFFER, foreign), expected);
}

TEST_F(InstalledDriver, CancelAfterApplyGivesBackWhatWasApplied) {
    const Bytes defaults = Ask(DM_OUT_BUFFER);
    DialogCatcher catcher;
    catcher.CatchSheetsToo();
    catcher.Then([&catcher](HWND sheet) {
        SetEndPageCut(catcher, sheet, 2);
        PropSheet_Apply(sheet);
        SetEndPageCut(catcher, sheet, 1);
        return IDCANCEL;
    });
    const Bytes out = Ask(DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT, defaults);
    ASSERT_EQ(catcher.caught().size(), 3u);  // the sheet and the event dialog twice
    EXPECT_EQ(out[kEndPageCut], 2);          // applied as full cut; the partial cut after it cancelled

    // Cancelled without Apply: what went in comes back.
    catcher.Then([&catcher](HWND sheet) {
        SetEndPageCut(catcher, sheet, 1);
        return IDCANCEL;
    });
    EXPECT_EQ(Ask(DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT, defaults), defaults);
}

TEST_F(InstalledDriver, PrintDialogPropertiesCarryTheOperationPageChange) {
    DialogCatcher catcher;
    catcher.CatchSheetsToo();
    catcher.Then([](HWND printDialog) {
        SendMessageW(printDialog, WM_COMMAND, MAKEWPARAM(psh2, BN_CLICKED), 0);  // "Properties"
        return IDOK;
    });
    catcher.Then([&catcher](HWND sheet) {
        SetEndPageCut(catcher, sheet, 2);
        return IDOK;
    });
    // The application names the printer, as a POS application does for its receipt printer.
    const std::wstring names = std::wstring(L"winspool") + L'\0' + name_ + L'\0' + L'\0';
    HGLOBAL devNames = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVNAMES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DEVNAMES*>(GlobalLock(devNames));
    header->wDriverOffset = sizeof(DEVNAMES) / sizeof(wchar_t);
    header->wDeviceOffset = static_cast<WORD>(header->wDriverOffset + 9);
    header->wOutputOffset = static_cast<WORD>(header->wDeviceOffset + name_.size() + 1);
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(devNames);
    PRINTDLGW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hDevNames = devNames;
    dialog.Flags = PD_USEDEVMODECOPIESANDCOLLATE;
    ASSERT_TRUE(PrintDlgW(&dialog)) << CommDlgExtendedError();
    ASSERT_EQ(catcher.caught().size(), 3u);  // the print dialog, the sheet, the event dialog
    ASSERT_NE(dialog.hDevMode, nullptr);
    const auto* devMode = static_cast<const DEVMODEW*>(GlobalLock(dialog.hDevMode));
    const Bytes got(reinterpret_cast<const uint8_t*>(devMode),
                    reinterpret_cast<const uint8_t*>(devMode) + devMode->dmSize + devMode->dmDriverExtra);
    GlobalUnlock(dialog.hDevMode);
    GlobalFree(dialog.hDevMode);
    GlobalFree(dialog.hDevNames);
    ASSERT_EQ(got.size(), kDevModeSize);
    EXPECT_STREQ(reinterpret_cast<const DEVMODEW*>(got.data())->dmDeviceName, L"KVL-M450");
    EXPECT_EQ(got[kEndPageCut], 2);  // full cut after each page
}

// Two application threads open Printing Preferences at once, each sheet on its own thread
// with its own modal loop, and each thread asks for device modes meanwhile.
TEST_F(InstalledDriver, TwoApplicationThreadsOpenPreferencesAtOnce) {
    const Bytes defaults = Ask(DM_OUT_BUFFER);
    std::atomic<int> open{0};
    std::atomic<int> sawBoth{0};
    std::vector<std::wstring> tabs[2];
    Bytes results[2];
    auto application = [&](int index) {
        std::wstring name = m450host::kDefaultPrinterName;
        HANDLE printer = nullptr;
        OpenPrinterW(name.data(), &printer, nullptr);
        DialogCatcher catcher;
        catcher.CatchSheetsToo();
        catcher.Then([&, index](HWND sheet) {
            ++open;
            const ULONGLONG end = GetTickCount64() + 60000;
            while (open.load() < 2 && GetTickCount64() < end)
                Sleep(5);
            sawBoth += open.load() == 2;
            for (int i = 0; i < TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet)); ++i)
                tabs[index].push_back(m450test::TabText(sheet, i));
            SetEndPageCut(catcher, sheet, index + 1);
            return IDOK;
        });
        Bytes out(kDevModeSize);
        Bytes in = defaults;
        DocumentPropertiesW(nullptr, printer, name.data(), reinterpret_cast<DEVMODEW*>(out.data()),
                            reinterpret_cast<DEVMODEW*>(in.data()), DM_IN_BUFFER | DM_OUT_BUFFER | DM_IN_PROMPT);
        results[index] = out;
        ClosePrinter(printer);
    };
    std::thread first(application, 0);
    std::thread second(application, 1);
    first.join();
    second.join();
    EXPECT_EQ(sawBoth.load(), 2);
    const std::vector<std::wstring> english = {L"Layout",    L"Paper/Quality", L"Main",    L"Water Mark",
                                               L"Operation", L"1D Code",       L"2D Code", L"Version"};
    EXPECT_EQ(tabs[0], english);
    EXPECT_EQ(tabs[1], english);
    for (int index = 0; index < 2; ++index) {
        Bytes expected = defaults;
        expected[kEndPageCut] = static_cast<uint8_t>(index + 1);  // each sheet's own change only
        EXPECT_EQ(results[index], expected) << "thread " << index;
    }
}

}  // namespace
