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

constexpr DWORD kRunTimeLimit = 30000;  // one story, in milliseconds

// What a story saw, beyond what the runner checks itself (crash, time, objects).
struct Outcome {
    bool falseSuccess = false;  // an operation reported success although it did not complete
    bool lost = false;          // a file is neither what it was nor what the complete operation leaves
    bool jobLeftOpen = false;   // a spooler job was started and never ended
    bool reportedSuccess = false;
    std::optional<Bytes> result;  // the job or file the operation left, for the clean run's reference
    std::string note;
};

// What every story gets: the injector (armed by the runner), the catcher answering every dialog,
// and what the clean run left (the complete operation's job or file).
struct StoryContext {
    FaultInjector& faults;
    DialogCatcher& catcher;
    const m450test::PrinterFixture& printer;
    const std::optional<Bytes>& complete;  // empty on the clean run itself
    bool clean;
};

struct Story {
    const char* name;
    std::function<void()> prepare;  // before every run, not counted: the files the story starts from
    std::function<Outcome(StoryContext&)> run;
};

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

// A spooler job that StartDocPrinterW began must be ended by EndDocPrinter. (An EndDocPrinter
// made to fail never reached the spooler, whose job then stays open and refuses the next
// StartDocPrinterW: no verdict for those runs.)
bool JobLeftOpen(const FaultInjector& faults, const char* failedFunction, bool fired) {
    if (fired && std::strcmp(failedFunction, "EndDocPrinter") == 0)
        return false;
    long started = faults.Calls("StartDocPrinterW");
    if (fired && std::strcmp(failedFunction, "StartDocPrinterW") == 0)
        --started;
    return started > faults.Calls("EndDocPrinter");
}

const char* g_failing = "-";  // the function the current run makes fail

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
    const bool spoolerFailed = context.faults.Fired() && kJobCalls.count(g_failing) != 0;
    if (!context.clean && outcome.reportedSuccess && (spoolerFailed || outcome.result != context.complete))
        outcome.falseSuccess = true;
    outcome.jobLeftOpen = JobLeftOpen(context.faults, g_failing, context.faults.Fired());
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
    outcome.jobLeftOpen = JobLeftOpen(context.faults, g_failing, context.faults.Fired());
    sheet.PressCancel();
    return outcome;
}

m450test::LanguageRegistry* g_registry = nullptr;

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

m450test::LanguageFiles* g_files = nullptr;
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
    const bool saveFailed = !firedBeforeSave && context.faults.Fired() && std::strcmp(g_failing, "AddFormW") == 0;
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
        const bool deleteFailed = !firedBefore && context.faults.Fired() && std::strcmp(g_failing, "DeleteFormW") == 0;
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
         [] {
             SHCreateDirectoryExW(nullptr, ControlFontTable().substr(0, ControlFontTable().rfind(L'\\')).c_str(),
                                  nullptr);
             m450host::WriteFileBytes(ControlFontTable(), Bytes(kTableBefore.begin(), kTableBefore.end()));
         },
         ControlFontStory},
        {"text watermark applied",
         [] { m450host::WriteFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName), OldPicture()); },
         TextWatermarkStory},
        {"event edited and applied", nullptr, EventStory},
        {"custom paper saved and deleted", nullptr, PaperStory},
        {"logos added, converted, downloaded, cleared",
         [] { m450host::WriteFileBytes(ScratchPath(L"logo.bmp"), m450::test::PhotoLikeBitmap24(120, 60)); }, LogoStory},
        {"file downloaded",
         [] {
             m450host::WriteFileBytes(ScratchPath(L"update.JK"), Bytes{'J', 'K', 0x00, 0x1B, 0xFF, 0x0A, 0x7E});
         },
         FileDownloadStory},
        {"language switched",
         [] {
             if (g_registry != nullptr) {
                 g_registry->Set(m450test::kLanguageValue, L"ENG_M450.res");
                 g_registry->Set(m450test::kFirstRunValue, L"FALSE");
             }
         },
         LanguageStory},
        {"bitmap watermark chosen",
         [] {
             m450host::WriteFileBytes(ScratchPath(L"users-mark.bmp"), UsersBitmap());
             m450host::WriteFileBytes(m450test::WatermarkPictureFile(m450host::kDefaultPrinterName), OldPicture());
         },
         BitmapWatermarkStory},
        {"first language start-up",
         [] {
             if (g_registry != nullptr)
                 g_registry->RemoveKey();
             for (const wchar_t* file : kLanguageFiles) {
                 if (g_files != nullptr)
                     g_files->Remove(m450test::LanguageFolder::PerUser, file);
             }
         },
         FirstStartStory},
    };
    return stories;
}

const Story* FindStory(const std::string& name) {
    for (const Story& story : Stories()) {
        if (name == story.name)
            return &story;
    }
    return nullptr;
}

// ---- The runner: a child process that runs the runs of one story ------------------------

struct PlannedRun {
    std::string function;
    long k = 0;
};

FILE* g_results = nullptr;
HANDLE g_runStarted = nullptr;
HANDLE g_runEnded = nullptr;
long g_currentRun = -1;

void Report(const char* format, const std::string& text, long run) {
    std::fprintf(g_results, format, run, text.c_str());
    std::fflush(g_results);
}

// Ends the process when a run goes past its time: the story hangs.
DWORD WINAPI Watchdog(void*) {
    for (;;) {
        WaitForSingleObject(g_runStarted, INFINITE);
        if (WaitForSingleObject(g_runEnded, kRunTimeLimit) == WAIT_TIMEOUT) {
            std::fprintf(g_results, "run %ld hang\n", g_currentRun);
            std::fflush(g_results);
            TerminateProcess(GetCurrentProcess(), 3);
        }
    }
}

// Runs the story once as planned; writes "run N end <flags> | note".
Outcome RunOnce(const Story& story,
                FaultInjector& faults,
                DllObjectCounter& counter,
                const m450test::PrinterFixture& printer,
                const std::optional<Bytes>& complete,
                const PlannedRun& plan,
                long index,
                std::string* flags) {
    if (story.prepare)
        story.prepare();
    g_failing = plan.k > 0 ? plan.function.c_str() : "-";
    std::fprintf(g_results, "run %ld begin\n", index);
    std::fflush(g_results);
    g_currentRun = index;
    SetEvent(g_runStarted);
    const ObjectCounts before = counter.Counts();
    Outcome outcome;
    bool exception = false;
    {
        DialogCatcher catcher;
        faults.Arm(plan.function, plan.k);
        StoryContext context{faults, catcher, printer, complete, plan.k == 0};
        try {
            outcome = story.run(context);
        } catch (...) {
            exception = true;
        }
        faults.Disarm();
        outcome.jobLeftOpen = outcome.jobLeftOpen || JobLeftOpen(faults, g_failing, faults.Fired());
    }
    SetEvent(g_runEnded);
    const ObjectCounts after = counter.Counts();
    const bool leak = after.Live() != before.Live() || after.unknownReleases != before.unknownReleases;
    char text[200];
    std::snprintf(text, sizeof(text), "fired=%d crash=%d hang=%d false=%d lost=%d leak=%d", faults.Fired() ? 1 : 0,
                  exception ? 1 : 0, outcome.jobLeftOpen ? 1 : 0, outcome.falseSuccess ? 1 : 0, outcome.lost ? 1 : 0,
                  leak ? 1 : 0);
    *flags = text;
    std::string note = outcome.note;
    if (leak)
        note += (note.empty() ? "" : "; ") + after.Describe();
    Report("run %ld end %s\n", std::string(text) + " | " + note, index);
    return outcome;
}

// fault-runner STORY PLAN-FILE RESULT-FILE FIRST-RUN
int RunPlan(const std::string& storyName, const wchar_t* planPath, const wchar_t* resultPath, long first) {
    const Story* story = FindStory(storyName);
    if (story == nullptr)
        return 10;
    std::vector<PlannedRun> plan;
    if (FILE* in = _wfopen(planPath, L"rb")) {
        char function[128];
        long k = 0;
        while (std::fscanf(in, "%127s %ld", function, &k) == 2)
            plan.push_back({function, k});
        std::fclose(in);
    }
    g_results = _wfopen(resultPath, L"ab");
    if (g_results == nullptr)
        return 11;
    g_runStarted = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    g_runEnded = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr));

    m450test::PrinterFixture printer;
    m450test::LanguageRegistry registry;
    m450test::LanguageFiles files;
    registry.Set(m450test::kLanguageValue, L"ENG_M450.res");
    registry.Set(m450test::kFirstRunValue, L"FALSE");
    g_registry = &registry;
    g_files = &files;
    for (const m450test::LanguageFolder folder :
         {m450test::LanguageFolder::PerUser, m450test::LanguageFolder::Driver}) {
        for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"})
            files.InstallFromSource(folder, file, std::wstring(L"lang/") + file);
    }
    if (m450test::PluginModule() == nullptr)
        return 12;
    DllObjectCounter counter(m450test::PluginModule());
    FaultInjector faults(m450test::PluginModule());

    // The clean run: what the complete story leaves, and the calls it makes.
    std::string flags;
    const Outcome clean = RunOnce(*story, faults, counter, printer, std::nullopt, {"-", 0}, -1, &flags);
    if (first == 0) {
        for (const auto& [function, calls] : faults.AllCalls())
            std::fprintf(g_results, "count %s %ld\n", function.c_str(), calls);
        std::fprintf(g_results, "clean %s success=%d\n", flags.c_str(), clean.reportedSuccess ? 1 : 0);
        std::fflush(g_results);
    }
    for (long i = std::max(first, 0L); i < static_cast<long>(plan.size()); ++i)
        RunOnce(*story, faults, counter, printer, clean.result, plan[static_cast<size_t>(i)], i, &flags);
    std::fprintf(g_results, "finished\n");
    std::fclose(g_results);
    return 0;
}

// ---- The suite: plans, child processes, the table ------------------------------------------

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring RunnerFile(const wchar_t* name) {
    return m450test::TempFile(L"m450-faults-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name);
}

// Starts the runner and waits for it; false when it could not be started.
bool StartRunner(const std::string& story, const std::wstring& plan, const std::wstring& results, long first) {
    std::wstring command = L"\"" + OwnPath() + L"\" --fault-runner \"" + Wide(story) + L"\" \"" + plan + L"\" \"" +
                           results + L"\" " + std::to_wstring(first);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    // The watchdog ends a hanging run; this bounds a runner that cannot even start one.
    if (WaitForSingleObject(process.hProcess, 20 * 60 * 1000) == WAIT_TIMEOUT)
        TerminateProcess(process.hProcess, 4);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return true;
}

std::vector<std::string> Lines(const std::wstring& path) {
    std::vector<std::string> lines;
    const std::optional<Bytes> bytes = m450host::ReadFileBytes(path);
    if (!bytes)
        return lines;
    std::string line;
    for (const uint8_t byte : *bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line += static_cast<char>(byte);
        }
    }
    return lines;
}

bool AllFaults() {
    wchar_t value[8] = {};
    return GetEnvironmentVariableW(L"M450_ALL_FAULTS", value, 8) > 0 && value[0] == L'1';
}

// Which calls of a function called `calls` times are made to fail.
std::vector<long> ChosenCalls(const std::string& function, long calls, bool all) {
    std::vector<long> chosen;
    if (calls <= 0)
        return chosen;
    if (!all) {
        std::set<long> sample = {1};
        if (function == "malloc" || function == "calloc" || function == "realloc") {
            sample.insert((calls + 1) / 2);
            sample.insert(calls);
        }
        return std::vector<long>(sample.begin(), sample.end());
    }
    if (calls <= 40) {
        for (long k = 1; k <= calls; ++k)
            chosen.push_back(k);
        return chosen;
    }
    for (long k = 1; k <= 20; ++k)
        chosen.push_back(k);
    for (long k = 100; k <= calls; k += 100)
        chosen.push_back(k);
    return chosen;
}

struct Tally {
    long runs = 0, fired = 0, crashes = 0, hangs = 0, falseSuccesses = 0, losses = 0, leaks = 0;
    std::vector<std::string> findings;
};

long Flag(const std::string& line, const char* name) {
    const size_t at = line.find(std::string(" ") + name + "=");
    return at == std::string::npos ? 0 : std::atol(line.c_str() + at + std::strlen(name) + 2);
}

class FaultInjection : public testing::TestWithParam<const char*> {};

TEST_P(FaultInjection, EveryFailingCallEndsTheStorySafely) {
    const std::string story = GetParam();
    const bool all = AllFaults();
    const std::wstring plan = RunnerFile(L"plan.txt");
    const std::wstring results = RunnerFile(L"results.txt");
    DeleteFileW(results.c_str());
    m450host::WriteFileBytes(plan, Bytes{});

    // The counting run.
    ASSERT_TRUE(StartRunner(story, plan, results, 0));
    std::map<std::string, long> counts;
    std::string cleanLine;
    for (const std::string& line : Lines(results)) {
        char function[128];
        long calls = 0;
        if (std::sscanf(line.c_str(), "count %127s %ld", function, &calls) == 2)
            counts[function] = calls;
        if (line.rfind("clean ", 0) == 0)
            cleanLine = line;
    }
    ASSERT_FALSE(counts.empty()) << "the counting run of \"" << story << "\" did not finish";
    EXPECT_EQ(Flag(cleanLine, "crash") + Flag(cleanLine, "hang") + Flag(cleanLine, "leak"), 0) << cleanLine;

    std::vector<std::pair<std::string, long>> runs;
    std::string planText;
    for (const auto& [function, calls] : counts) {
        for (const long k : ChosenCalls(function, calls, all)) {
            runs.push_back({function, k});
            planText += function + " " + std::to_string(k) + "\n";
        }
    }
    m450host::WriteFileBytes(plan, Bytes(planText.begin(), planText.end()));
    DeleteFileW(results.c_str());

    // The runs, the runner started again after one that ended it.
    std::map<long, std::string> ends;
    long next = 0;
    int starts = 0;
    while (next < static_cast<long>(runs.size()) && starts < 200) {
        ASSERT_TRUE(StartRunner(story, plan, results, next));
        ++starts;
        long begun = -1;
        bool finished = false;
        for (const std::string& line : Lines(results)) {
            long run = 0;
            char what[16] = {};
            if (line == "finished")
                finished = true;
            if (std::sscanf(line.c_str(), "run %ld %15s", &run, what) != 2 || run < 0)
                continue;
            if (std::strcmp(what, "begin") == 0)
                begun = run;
            else
                ends[run] = line;
        }
        DeleteFileW(results.c_str());
        if (finished && begun + 1 >= static_cast<long>(runs.size()))
            break;
        if (begun < next) {  // ended before its first run began (or in its clean run)
            ends[next] = "run " + std::to_string(next) + " crash fired=0 crash=1 (the runner ended before the run)";
            ++next;
            continue;
        }
        // The run that began last and has no end: the process died in it.
        if (ends.count(begun) == 0)
            ends[begun] = "run " + std::to_string(begun) + " crash fired=1 crash=1";
        next = begun + 1;
    }

    std::map<std::string, Tally> table;
    std::vector<std::string> remarks;  // what a run noted that is not a fault
    for (size_t i = 0; i < runs.size(); ++i) {
        Tally& tally = table[runs[i].first];
        ++tally.runs;
        const auto found = ends.find(static_cast<long>(i));
        const std::string line = found != ends.end() ? found->second : "run missing crash=1";
        const bool hang = line.find(" hang") != std::string::npos && line.find(" end ") == std::string::npos;
        tally.fired += Flag(line, "fired");
        tally.crashes += Flag(line, "crash");
        tally.hangs += hang ? 1 : Flag(line, "hang");
        tally.falseSuccesses += Flag(line, "false");
        tally.losses += Flag(line, "lost");
        tally.leaks += Flag(line, "leak");
        if (hang ||
            Flag(line, "crash") + Flag(line, "hang") + Flag(line, "false") + Flag(line, "lost") + Flag(line, "leak") >
                0)
            tally.findings.push_back(runs[i].first + " call " + std::to_string(runs[i].second) + ": " + line);
        else if (const size_t note = line.find(" | "); note != std::string::npos && note + 3 < line.size())
            remarks.push_back(runs[i].first + " call " + std::to_string(runs[i].second) + ": " + line.substr(note + 3));
    }

    std::printf("\n%-28s %-26s %5s %5s %7s %5s %6s %6s %5s\n", "story", "function", "runs", "fired", "crashes", "hangs",
                "false", "losses", "leaks");
    Tally total;
    for (const auto& [function, tally] : table) {
        std::printf("%-28s %-26s %5ld %5ld %7ld %5ld %6ld %6ld %5ld\n", story.c_str(), function.c_str(), tally.runs,
                    tally.fired, tally.crashes, tally.hangs, tally.falseSuccesses, tally.losses, tally.leaks);
        total.runs += tally.runs;
        total.crashes += tally.crashes;
        total.hangs += tally.hangs;
        total.falseSuccesses += tally.falseSuccesses;
        total.losses += tally.losses;
        total.leaks += tally.leaks;
        for (const std::string& finding : tally.findings)
            total.findings.push_back(finding);
    }
    std::printf("%-28s %-26s %5ld %5s %7ld %5ld %6ld %6ld %5ld  (%s)\n", story.c_str(), "all", total.runs, "",
                total.crashes, total.hangs, total.falseSuccesses, total.losses, total.leaks,
                all ? "every chosen call" : "fixed sample");
    for (const std::string& remark : remarks)
        std::printf("  note: %s\n", remark.c_str());
    std::string findings;
    for (const std::string& finding : total.findings)
        findings += "  " + finding + "\n";
    EXPECT_EQ(total.crashes + total.hangs + total.falseSuccesses + total.losses + total.leaks, 0) << findings;
    DeleteFileW(plan.c_str());
    DeleteFileW(results.c_str());
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
    if (argc >= 6 && std::strcmp(argv[1], "--fault-runner") == 0) {
        int count = 0;
        wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
        if (wide == nullptr || count < 6)
            return 9;
        const std::wstring story(wide[2]);
        return RunPlan(std::string(story.begin(), story.end()), wide[3], wide[4], std::wcstol(wide[5], nullptr, 10));
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
