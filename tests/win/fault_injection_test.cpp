// Every fallible call M450UI.dll makes fails once, in turn, while a user's story runs: the
// story is run once to count the calls of each function (harness/fault_injector.h), then once
// per chosen call with that call failing. The verdict of each run: the process did not crash and
// no exception left the DLL; the story ended within its time, no spooler job left open; no
// operation reported success when its call failed; no file was left half-written; the DLL's
// objects are back at their count once the sheet is closed. The suite prints a table of them.
//
// The runs happen in child processes of this program (a crash ends only the child, which is
// started again after the run that crashed). By default each story runs a fixed sample: the
// first call of every function, and the middle and last ones of the memory calls; with
// M450_ALL_FAULTS=1 (scripts/test --all-faults) every call, or for a function called more than
// 40 times its first 20 calls and every 100th.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <compstui.h>
#include <prsht.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "barcode1d_page_ids.h"
#include "barcode2d_page_ids.h"
#include "control_font_ids.h"
#include "download_page_ids.h"
#include "event_dialog_ids.h"
#include "fault_injector.h"
#include "fault_runner.h"
#include "harness.h"
#include "layout_page_ids.h"
#include "little_endian.h"
#include "logo_test_images.h"
#include "operation_page_ids.h"
#include "sheet_tour.h"
#include "utility_page_ids.h"
#include "watermark_page_ids.h"

namespace {

using Bytes = std::vector<uint8_t>;
using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::DllObjectCounter;
using m450test::FaultInjector;
using m450test::ObjectCounts;
using m450test::PageDriver;
using m450test::SheetDriver;

using Outcome = m450test::FaultOutcome;
using StoryContext = m450test::FaultStoryContext;
using Story = m450test::FaultStory;
using m450test::JobLeftOpen;

// The page's own dialog procedure answering a button, as the dialog manager calls it: its result
// is the command's success (the window procedure's return value).
INT_PTR PressThroughProcedure(const PageDriver& page, int button) {
    const auto procedure = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(page.hwnd(), DWLP_DLGPROC));
    if (procedure == nullptr)
        return -1;
    return procedure(page.hwnd(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page.Control(button)));
}

void Press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// The sheet opened and the page shown, as the story's first steps; false when a failing call
// refused either (which ends the story there).
bool OpenPage(SheetKind kind, const wchar_t* tab, std::unique_ptr<SheetDriver>& sheet, PageDriver& page) {
    sheet = std::make_unique<SheetDriver>(kind);
    if (!sheet->ok())
        return false;
    page = sheet->ShowPage(tab);
    return static_cast<bool>(page);
}

// A test print or self-test: the page's command result and the port file.
Outcome PrintStory(StoryContext& context, SheetKind kind, const wchar_t* tab, int button) {
    Outcome outcome;
    context.printer.ForgetLastJob();
    std::unique_ptr<SheetDriver> opened;
    PageDriver page;
    if (!OpenPage(kind, tab, opened, page))
        return outcome;
    SheetDriver& sheet = *opened;
    const INT_PTR result = PressThroughProcedure(page, button);
    outcome.reportedSuccess = result == TRUE;
    outcome.result = context.printer.LastJob();
    static const std::set<std::string> kJobCalls = {"StartDocPrinterW", "StartPagePrinter", "WritePrinter",
                                                    "EndPagePrinter", "EndDocPrinter"};
    const bool spoolerFailed = context.faults.Fired() && kJobCalls.count(context.failing) != 0;
    if (!context.clean && outcome.reportedSuccess && (spoolerFailed || outcome.result != context.complete))
        outcome.falseSuccess = true;
    outcome.jobLeftOpen = JobLeftOpen(context.faults, context.failing, context.faults.Fired());
    sheet.PressCancel();
    return outcome;
}

Outcome OpenAndVisit(StoryContext&, SheetKind kind, const std::vector<std::wstring>& tabs) {
    SheetDriver sheet(kind);
    if (sheet.ok()) {
        m450test::ShowPluginPages(sheet, tabs);
        sheet.PressCancel();
    }
    return {};
}

// The control-font table of the driver folder, with one command the story replaces.
std::wstring ControlFontTable() {
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    return std::wstring(windows) + L"\\system32\\spool\\drivers\\w32x86\\3\\M450CONTROL.dat";
}
const std::string kTableBefore = "[Character Translation Table]\r\n41=1B 21 08\r\n42=1d 56 42 00\r\n";

Outcome ControlFontStory(StoryContext& context) {
    Outcome outcome;
    std::unique_ptr<SheetDriver> opened;
    PageDriver utility;
    if (!OpenPage(SheetKind::Device, L"Utility", opened, utility))
        return outcome;
    SheetDriver& sheet = *opened;
    bool closedByOk = false;
    size_t boxesBefore = 0;
    context.catcher.Then([&](HWND table) {
        const HWND list = GetDlgItem(table, IDC_TRANSLATION_LIST);
        if (list == nullptr)  // not the table: the message that it cannot be read
            return IDOK;
        LVITEMW item{};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list, LVM_SETITEMSTATE, 0x41 - 0x20, reinterpret_cast<LPARAM>(&item));
        context.catcher.Then([](HWND translator) {
            PageDriver(translator).Type(IDC_TRANSLATOR_COMMAND_EDIT, L"1B 40 0A");
            return IDOK;
        });
        Press(table, IDC_TRANSLATION_EDIT_BUTTON);
        boxesBefore = context.catcher.MessageBoxes().size();
        Press(table, IDOK);
        closedByOk = !IsWindow(table) || !IsWindowVisible(table);
        if (!closedByOk)
            Press(table, IDCANCEL);
        return 0;
    });
    Press(utility.hwnd(), IDC_UTILITY_CONTROL_FONT_BUTTON);
    sheet.PressCancel();
    outcome.result = m450host::ReadFileBytes(ControlFontTable());
    const Bytes before(kTableBefore.begin(), kTableBefore.end());
    outcome.reportedSuccess = closedByOk && context.catcher.MessageBoxes().size() == boxesBefore;
    if (!context.clean) {
        outcome.lost = outcome.result != before && outcome.result != context.complete;
        outcome.falseSuccess =
            outcome.reportedSuccess && outcome.result != context.complete && outcome.result != before;
        if (outcome.reportedSuccess && outcome.result == before && context.faults.Fired())
            outcome.note = "table closed by OK without a message, file unchanged";
    }
    return outcome;
}

Bytes OldPicture() {
    return m450::test::PhotoLikeBitmap24(120, 90);
}

Outcome TextWatermarkStory(StoryContext& context) {
    Outcome outcome;
    std::unique_ptr<SheetDriver> opened;
    PageDriver page;
    if (!OpenPage(SheetKind::Document, L"Water Mark", opened, page))
        return outcome;
    SheetDriver& sheet = *opened;
    page.Click(IDC_WATERMARK_TEXT_RADIO);
    page.Choose(IDC_WATERMARK_TEXT_COMBO, L"TOP SECRET");
    const size_t resultsBefore = sheet.host().setResultCalls().size();
    sheet.Apply();
    for (size_t i = resultsBefore; i < sheet.host().setResultCalls().size(); ++i)
        outcome.reportedSuccess = outcome.reportedSuccess || sheet.host().setResultCalls()[i].result == CPSUI_OK;
    outcome.result = m450host::ReadFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName));
    if (!context.clean) {
        // A picture drawn in another face (the list of faces could not be read) is still a
        // whole picture: 300 by 300 at 24 bits, "BM" and its size E6 1E 04 00 (270054) in its header.
        const bool whole = outcome.result == context.complete ||
                           (outcome.result && outcome.result->size() == 270054 && (*outcome.result)[0] == 'B' &&
                            (*outcome.result)[1] == 'M' && (*outcome.result)[2] == 0xE6 &&
                            (*outcome.result)[3] == 0x1E && (*outcome.result)[4] == 0x04 && (*outcome.result)[5] == 0);
        outcome.lost = outcome.result != OldPicture() && !whole;
        outcome.falseSuccess = outcome.reportedSuccess && !whole;
        if (whole && outcome.result != context.complete)
            outcome.note = "a whole picture unlike the clean run's";
    }
    sheet.PressCancel();
    return outcome;
}

// Several results in one: each present or not, with its length.
Bytes Joined(std::initializer_list<std::optional<Bytes>> parts) {
    Bytes all;
    for (const std::optional<Bytes>& part : parts) {
        all.push_back(part.has_value() ? 1 : 0);
        const uint32_t size = part ? static_cast<uint32_t>(part->size()) : 0;
        for (int i = 0; i < 4; ++i)
            all.push_back(static_cast<uint8_t>(size >> (8 * i)));
        if (part)
            all.insert(all.end(), part->begin(), part->end());
    }
    return all;
}

std::vector<std::optional<Bytes>> Split(const Bytes& all) {
    std::vector<std::optional<Bytes>> parts;
    for (size_t at = 0; at + 5 <= all.size();) {
        const bool present = all[at] != 0;
        const size_t size = m450::test::Le32(all, at + 1);
        at += 5;
        if (size > all.size() - at)
            break;
        parts.push_back(present ? std::optional<Bytes>(Bytes(all.begin() + at, all.begin() + at + size))
                                : std::nullopt);
        at += size;
    }
    return parts;
}

// The record's Start of Document block.
constexpr size_t kStartOfDocumentBlock = 16;
constexpr size_t kStartOfPageBlock = 161;

// An event edited in its dialog (OK), then the sheet applied: the record's block.
Outcome EventStory(StoryContext& context) {
    Outcome outcome;
    std::unique_ptr<SheetDriver> opened;
    PageDriver operation;
    if (!OpenPage(SheetKind::Document, L"Operation", opened, operation))
        return outcome;
    SheetDriver& sheet = *opened;
    const Bytes before(sheet.RecordBytes().begin() + kStartOfDocumentBlock,
                       sheet.RecordBytes().begin() + kStartOfPageBlock);
    bool confirmed = false;
    context.catcher.Then([&](HWND dialog) {
        PageDriver event(dialog);
        event.Click(IDC_EVENT_SEND_COMMAND_CHECK);
        event.Type(IDC_EVENT_COMMAND_EDIT, L"1B 40 1D 56 42 00");
        event.Choose(IDC_EVENT_CUT_COMBO, 2);
        Press(dialog, IDOK);
        confirmed = !IsWindow(dialog) || !IsWindowVisible(dialog);
        if (!confirmed)
            Press(dialog, IDCANCEL);
        return 0;
    });
    operation.Click(IDC_OPERATION_START_DOC_BUTTON);
    sheet.Apply();
    const Bytes after(sheet.RecordBytes().begin() + kStartOfDocumentBlock,
                      sheet.RecordBytes().begin() + kStartOfPageBlock);
    outcome.result = after;
    outcome.reportedSuccess = confirmed;
    if (!context.clean) {
        outcome.lost = after != before && after != context.complete;
        outcome.falseSuccess = confirmed && after != context.complete;
    }
    sheet.PressCancel();
    return outcome;
}

std::wstring ScratchPath(const wchar_t* name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"m450-fault-" + name;
}

// Download page: a logo added, previewed in "Transformation", "Download all", "Clear All Logos".
Outcome LogoStory(StoryContext& context) {
    Outcome outcome;
    const std::wstring logo = ScratchPath(L"logo.bmp");
    std::unique_ptr<SheetDriver> opened;
    PageDriver download;
    if (!OpenPage(SheetKind::Device, L"Download", opened, download))
        return outcome;
    SheetDriver& sheet = *opened;
    context.catcher.Then(m450test::ChooseFile(logo));
    download.Click(IDC_DOWNLOAD_LOGO_ADD_BUTTON);
    std::optional<Bytes> logoJob, clearJob;
    INT_PTR downloaded = 0;
    if (m450test::LogoRows(download) == 1) {
        m450test::SelectLogo(download, 0);
        download.Click(IDC_DOWNLOAD_MONO_RADIO);
        context.printer.ForgetLastJob();
        if (download.Enabled(IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON))
            downloaded = PressThroughProcedure(download, IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON);
        logoJob = context.printer.LastJob();
    }
    context.printer.ForgetLastJob();
    const INT_PTR cleared = PressThroughProcedure(download, IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON);
    clearJob = context.printer.LastJob();
    outcome.result = Joined({logoJob, clearJob});
    outcome.reportedSuccess = downloaded == TRUE && cleared == TRUE;
    if (!context.clean && context.complete) {
        const std::vector<std::optional<Bytes>> expected = Split(*context.complete);
        outcome.falseSuccess = expected.size() == 2 && ((downloaded == TRUE && logoJob != expected[0]) ||
                                                        (cleared == TRUE && clearJob != expected[1]));
    }
    sheet.PressCancel();
    return outcome;
}

// Download page: a file chosen with "Browse" and sent with "Download".
Outcome FileDownloadStory(StoryContext& context) {
    Outcome outcome;
    const std::wstring file = ScratchPath(L"update.JK");
    std::unique_ptr<SheetDriver> opened;
    PageDriver download;
    if (!OpenPage(SheetKind::Device, L"Download", opened, download))
        return outcome;
    SheetDriver& sheet = *opened;
    context.catcher.Then(m450test::ChooseFile(file));
    download.Click(IDC_DOWNLOAD_BROWSE_BUTTON);
    context.printer.ForgetLastJob();
    INT_PTR sent = 0;
    if (download.Enabled(IDC_DOWNLOAD_FILE_BUTTON))
        sent = PressThroughProcedure(download, IDC_DOWNLOAD_FILE_BUTTON);
    outcome.result = context.printer.LastJob();
    outcome.reportedSuccess = sent == TRUE;
    if (!context.clean)
        outcome.falseSuccess = outcome.reportedSuccess && outcome.result != context.complete;
    outcome.jobLeftOpen = JobLeftOpen(context.faults, context.failing, context.faults.Fired());
    sheet.PressCancel();
    return outcome;
}

// Layout page: Simplified Chinese chosen and applied; the language value the registry keeps.
Outcome LanguageStory(StoryContext& context) {
    Outcome outcome;
    std::unique_ptr<SheetDriver> opened;
    PageDriver layout;
    if (!OpenPage(SheetKind::Document, L"Main", opened, layout))
        return outcome;
    SheetDriver& sheet = *opened;
    layout.Choose(IDC_LAYOUT_LANGUAGE_COMBO, L"简体中文");
    const size_t resultsBefore = sheet.host().setResultCalls().size();
    sheet.Apply();
    for (size_t i = resultsBefore; i < sheet.host().setResultCalls().size(); ++i)
        outcome.reportedSuccess = outcome.reportedSuccess || sheet.host().setResultCalls()[i].result == CPSUI_OK;
    const std::optional<std::wstring> value = m450test::LanguageRegistry::Read(m450test::kLanguageValue);
    const std::wstring stored = value.value_or(L"(none)");
    outcome.result = Bytes(reinterpret_cast<const uint8_t*>(stored.data()),
                           reinterpret_cast<const uint8_t*>(stored.data() + stored.size()));
    if (!context.clean) {
        outcome.lost = stored != L"ENG_M450.res" && outcome.result != context.complete;
        if (outcome.reportedSuccess && outcome.result != context.complete)
            outcome.note = "Apply reported OK, the language value is " + std::string(stored.begin(), stored.end());
    }
    sheet.PressCancel();
    return outcome;
}

// Watermark page: "Image", a user's bitmap chosen with "Select Picture", then Apply. The
// user's bitmap stays as it was; the picture file is the old one or the bitmap (24 bits are
// copied unchanged).
Bytes UsersBitmap() {
    return m450::test::PhotoLikeBitmap24(160, 100);
}

Outcome BitmapWatermarkStory(StoryContext& context) {
    Outcome outcome;
    const std::wstring source = ScratchPath(L"users-mark.bmp");
    std::unique_ptr<SheetDriver> opened;
    PageDriver page;
    if (!OpenPage(SheetKind::Document, L"Water Mark", opened, page))
        return outcome;
    SheetDriver& sheet = *opened;
    page.Click(IDC_WATERMARK_IMAGE_RADIO);
    context.catcher.Then(m450test::ChooseFile(source));
    page.Click(IDC_WATERMARK_BROWSE_BUTTON);
    const bool chosen = page.Text(IDC_WATERMARK_BITMAP_EDIT) == source;
    const size_t resultsBefore = sheet.host().setResultCalls().size();
    sheet.Apply();
    bool applied = false;
    for (size_t i = resultsBefore; i < sheet.host().setResultCalls().size(); ++i)
        applied = applied || sheet.host().setResultCalls()[i].result == CPSUI_OK;
    outcome.result = m450host::ReadFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName));
    outcome.reportedSuccess = chosen && applied;
    if (!context.clean) {
        outcome.lost = m450host::ReadFileBytes(source) != UsersBitmap() ||
                       (outcome.result != OldPicture() && outcome.result != UsersBitmap());
        outcome.falseSuccess = outcome.reportedSuccess && outcome.result != UsersBitmap();
    }
    return outcome;
}

constexpr const wchar_t* kLanguageFiles[] = {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"};

// A user's first start: no language key, no files of their own. The document sheet opens; each
// of the user's files is then missing or a whole copy of the driver's, and the language value
// missing or one of the text files.
Outcome FirstStartStory(StoryContext& context) {
    Outcome outcome;
    {
        std::unique_ptr<SheetDriver> opened;
        PageDriver page;
        OpenPage(SheetKind::Document, L"Main", opened, page);
    }
    std::optional<Bytes> files[4];
    for (size_t i = 0; i < 4; ++i)
        files[i] = m450test::LanguageFiles::Read(m450test::LanguageFolder::PerUser, kLanguageFiles[i]);
    const std::optional<std::wstring> value = m450test::LanguageRegistry::Read(m450test::kLanguageValue);
    const std::wstring stored = value.value_or(L"(none)");
    outcome.result = Joined({files[0], files[1], files[2], files[3],
                             Bytes(reinterpret_cast<const uint8_t*>(stored.data()),
                                   reinterpret_cast<const uint8_t*>(stored.data() + stored.size()))});
    if (!context.clean) {
        for (size_t i = 0; i < 4; ++i) {
            const std::optional<Bytes> shipped =
                m450test::LanguageFiles::Read(m450test::LanguageFolder::Driver, kLanguageFiles[i]);
            if (files[i] && files[i] != shipped) {
                outcome.lost = true;
                outcome.note += "half copy of " +
                                std::string(kLanguageFiles[i], kLanguageFiles[i] + wcslen(kLanguageFiles[i])) + "; ";
            }
        }
        if (value && *value != L"ENG_M450.res" && *value != L"CHN_M450.res" && *value != L"CHF_M450.res") {
            outcome.lost = true;
            outcome.note += "language value " + std::string(stored.begin(), stored.end());
        }
    }
    return outcome;
}

// Utility page: a custom paper saved, chosen and deleted. Wine keeps no form (its form calls are
// stubs that answer TRUE), so what is judged is the page's word: a save whose AddFormW failed
// must not list the paper as saved, and a delete whose DeleteFormW failed must not drop it.
Outcome PaperStory(StoryContext& context) {
    Outcome outcome;
    std::unique_ptr<SheetDriver> opened;
    PageDriver utility;
    if (!OpenPage(SheetKind::Device, L"Utility", opened, utility))
        return outcome;
    SheetDriver& sheet = *opened;
    const std::wstring paper = L"Custom Paper-Roll";
    auto listed = [&] {
        const std::vector<std::wstring> items = utility.Items(IDC_UTILITY_PAPER_LIST);
        return std::find(items.begin(), items.end(), paper) != items.end();
    };
    utility.Type(IDC_UTILITY_FORM_NAME_EDIT, L"Roll");
    const bool firedBeforeSave = context.faults.Fired();  // the page's opening adds its default form
    utility.Click(IDC_UTILITY_SAVE_BUTTON);
    const bool saveFailed = !firedBeforeSave && context.faults.Fired() && std::strcmp(context.failing, "AddFormW") == 0;
    if (!context.clean && saveFailed && listed()) {
        outcome.falseSuccess = true;
        outcome.note = "a refused save lists the paper";
    }
    const std::vector<std::wstring> items = utility.Items(IDC_UTILITY_PAPER_LIST);
    const auto at = std::find(items.begin(), items.end(), paper);
    if (at != items.end()) {
        utility.Choose(IDC_UTILITY_PAPER_LIST, static_cast<int>(at - items.begin()));
        const bool firedBefore = context.faults.Fired();
        utility.Click(IDC_UTILITY_DELETE_BUTTON);
        const bool deleteFailed =
            !firedBefore && context.faults.Fired() && std::strcmp(context.failing, "DeleteFormW") == 0;
        if (!context.clean && deleteFailed && !listed()) {
            outcome.falseSuccess = true;
            outcome.note = "a refused delete drops the paper";
        }
    }
    sheet.PressCancel();
    return outcome;
}

const std::vector<Story>& Stories() {
    static const std::vector<Story> stories = {
        {"document sheet, every page", nullptr,
         [](StoryContext& c) { return OpenAndVisit(c, SheetKind::Document, m450test::kDocumentPageTabs); }},
        {"device sheet, every page", nullptr,
         [](StoryContext& c) { return OpenAndVisit(c, SheetKind::Device, m450test::kDevicePageTabs); }},
        {"1D test print", nullptr,
         [](StoryContext& c) { return PrintStory(c, SheetKind::Document, L"1D Code", IDC_1D_PRINT_BUTTON); }},
        {"2D test print", nullptr,
         [](StoryContext& c) { return PrintStory(c, SheetKind::Document, L"2D Code", IDC_2D_PRINT_BUTTON); }},
        {"self-test", nullptr,
         [](StoryContext& c) { return PrintStory(c, SheetKind::Device, L"Utility", IDC_UTILITY_SELFTEST_BUTTON); }},
        {"control-font table saved",
         [](StoryContext&) {
             SHCreateDirectoryExW(nullptr, ControlFontTable().substr(0, ControlFontTable().rfind(L'\\')).c_str(),
                                  nullptr);
             m450host::WriteFileBytes(ControlFontTable(), Bytes(kTableBefore.begin(), kTableBefore.end()));
         },
         ControlFontStory},
        {"text watermark applied",
         [](StoryContext&) {
             m450host::WriteFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName), OldPicture());
         },
         TextWatermarkStory},
        {"event edited and applied", nullptr, EventStory},
        {"custom paper saved and deleted", nullptr, PaperStory},
        {"logos added, converted, downloaded, cleared",
         [](StoryContext&) {
             m450host::WriteFileBytes(ScratchPath(L"logo.bmp"), m450::test::PhotoLikeBitmap24(120, 60));
         },
         LogoStory},
        {"file downloaded",
         [](StoryContext&) {
             m450host::WriteFileBytes(ScratchPath(L"update.JK"), Bytes{'J', 'K', 0x00, 0x1B, 0xFF, 0x0A, 0x7E});
         },
         FileDownloadStory},
        {"language switched",
         [](StoryContext& c) {
             c.registry.Set(m450test::kLanguageValue, L"ENG_M450.res");
             c.registry.Set(m450test::kFirstRunValue, L"FALSE");
         },
         LanguageStory},
        {"bitmap watermark chosen",
         [](StoryContext&) {
             m450host::WriteFileBytes(ScratchPath(L"users-mark.bmp"), UsersBitmap());
             m450host::WriteFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName), OldPicture());
         },
         BitmapWatermarkStory},
        {"first language start-up",
         [](StoryContext& c) {
             c.registry.RemoveKey();
             for (const wchar_t* file : kLanguageFiles)
                 c.files.Remove(m450test::LanguageFolder::PerUser, file);
         },
         FirstStartStory},
    };
    return stories;
}

bool AllFaults() {
    wchar_t value[8] = {};
    return GetEnvironmentVariableW(L"M450_ALL_FAULTS", value, 8) > 0 && value[0] == L'1';
}

class FaultInjection : public testing::TestWithParam<const char*> {};

TEST_P(FaultInjection, EveryFailingCallEndsTheStorySafely) {
    const std::string story = GetParam();
    const m450test::FaultStoryReport report = m450test::RunFaultStory(story, AllFaults());
    ASSERT_TRUE(report.runnerStarted);
    ASSERT_TRUE(report.counted) << "the counting run of \"" << story << "\" did not finish";
    EXPECT_EQ(report.cleanFaults, 0) << report.cleanLine;
    EXPECT_EQ(report.faults, 0) << report.findings;
}

std::string StoryTestName(const testing::TestParamInfo<const char*>& info) {
    std::string name;
    for (const char* c = info.param; *c != 0; ++c) {
        if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9'))
            name += *c;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Stories,
                         FaultInjection,
                         testing::Values("document sheet, every page",
                                         "device sheet, every page",
                                         "1D test print",
                                         "2D test print",
                                         "self-test",
                                         "control-font table saved",
                                         "text watermark applied",
                                         "event edited and applied",
                                         "custom paper saved and deleted",
                                         "logos added, converted, downloaded, cleared",
                                         "file downloaded",
                                         "language switched",
                                         "bitmap watermark chosen",
                                         "first language start-up"),
                         StoryTestName);

}  // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = m450test::RunAsFaultRunner(Stories()))
        return *code;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
