// The host core and the page-test harness against the real M450UI.dll and Wine's own windows:
// the sheets open with the core's pages first and the plug-in's after them, OK hands back the
// record, the core's items and records behave as the plug-in expects, modal dialogs are caught
// and answered, and every control action sends what a user's action sends.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "harness.h"
#include "little_endian.h"

namespace {

using m450::test::Le32;
using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::PageDriver;
using m450test::PrinterFixture;
using m450test::SheetDriver;
using m450test::TempFile;

// The plug-in's tabs follow the core's; for the document sheet the sheet routine's Result is
// the last page's handle.
void ExpectPluginPagesLast(SheetDriver& sheet, const std::vector<std::wstring>& corePages) {
    const std::vector<std::wstring> tabs = sheet.TabTexts();
    ASSERT_GE(tabs.size(), corePages.size());
    EXPECT_EQ(std::vector<std::wstring>(tabs.begin(), tabs.begin() + corePages.size()), corePages);
    EXPECT_EQ(tabs.size(), corePages.size() + sheet.host().pluginPages().size());
    EXPECT_EQ(sheet.host().sheetInitResult(), S_OK);
    for (int i = 0; i < static_cast<int>(tabs.size()); ++i)
        EXPECT_TRUE(sheet.ShowPage(i)) << "page " << i << " could not be shown";
}

TEST(HostSheet, DocumentSheetOpensThroughTheDllAndOkHandsBackTheRecord) {
    PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << printer.error();
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();

    EXPECT_EQ(sheet.Title(), L"KVL-M450 Printing Preferences");
    ExpectPluginPagesLast(sheet, {L"Layout", L"Paper/Quality"});
    if (!sheet.host().pluginPages().empty()) {
        EXPECT_EQ(sheet.host().sheetInitInfoResult(), reinterpret_cast<ULONG_PTR>(sheet.host().pluginPages().back()));
    }

    ASSERT_TRUE(sheet.PressOk());
    EXPECT_TRUE(sheet.host().closedWithOk());
    sheet.host().CloseSheet();
    EXPECT_EQ(sheet.host().sheetDestroyResult(), S_OK);

    const std::wstring path = TempFile(L"host_sheet_test.record");
    DeleteFileW(path.c_str());
    ASSERT_TRUE(sheet.host().SaveRecord(path));
    const auto saved = m450host::ReadFileBytes(path);
    DeleteFileW(path.c_str());
    ASSERT_TRUE(saved.has_value());
    ASSERT_EQ(saved->size(), 1980u);
    EXPECT_EQ(Le32(*saved, 0), 1980u);        // dwSize
    EXPECT_EQ(Le32(*saved, 4), 0x5A45524Eu);  // dwSignature 'ZERN'
    EXPECT_EQ(Le32(*saved, 8), 1u);           // dwVersion
}

TEST(HostSheet, DeviceSheetPutsThePluginPagesAfterTheCoresOwn) {
    PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << printer.error();
    SheetDriver sheet(SheetKind::Device);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    ASSERT_NE(sheet.host().printer(), nullptr) << "the printer did not open";

    EXPECT_EQ(sheet.Title(), L"KVL-M450 Properties");
    ExpectPluginPagesLast(sheet, {L"General", L"Sharing", L"Ports", L"Advanced", L"Security", L"Device Settings"});

    ASSERT_TRUE(sheet.PressCancel());
    EXPECT_FALSE(sheet.host().sheetApplied());
    sheet.host().CloseSheet();
    EXPECT_EQ(sheet.host().sheetDestroyResult(), S_OK);
}

TEST(HostSheet, PaperSizeChosenOnTheCoresPageChangesTheFormItem) {
    PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << printer.error();
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    PageDriver paper = sheet.ShowPage(L"Paper/Quality");
    ASSERT_TRUE(paper);

    const auto& forms = m450host::DriverOptionItems::kFormNames;
    EXPECT_EQ(paper.Items(m450host::kHostPaperSizeList), std::vector<std::wstring>(forms.begin(), forms.end()));
    EXPECT_EQ(paper.SelectedText(m450host::kHostPaperSizeList), L"80mm x 297mm");
    EXPECT_FALSE(sheet.ApplyEnabled());

    ASSERT_TRUE(paper.Choose(m450host::kHostPaperSizeList, L"A4"));
    const OPTITEM& form = sheet.host().optionItems().formName();
    EXPECT_EQ(form.DMPubID, DMPUB_FORMNAME);
    EXPECT_EQ(form.Sel, 1);
    EXPECT_NE(form.Flags & OPTIF_CHANGED, 0u);
    EXPECT_TRUE(sheet.ApplyEnabled());

    sheet.Apply();
    EXPECT_TRUE(sheet.host().sheetApplied());
    EXPECT_FALSE(sheet.host().closedWithOk());
    EXPECT_STREQ(sheet.host().publicDevMode().dmFormName, L"A4");
}

// m450host's way: a modal sheet, here ended with OK from another thread as a user would.
TEST(HostSheet, ModalSheetEndsWithOkAndCallsDestroy) {
    PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << printer.error();
    std::wstring error;
    auto host = m450host::HostSession::Create({}, &error);
    ASSERT_NE(host, nullptr) << error;

    std::thread user([] {
        HWND sheet = nullptr;
        for (int i = 0; i < 500 && sheet == nullptr; ++i) {
            Sleep(10);
            sheet = FindWindowW(L"#32770", L"KVL-M450 Printing Preferences");
        }
        PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        PostMessageW(sheet, WM_NULL, 0, 0);
    });
    EXPECT_GE(host->RunModal(SheetKind::Document), 0);
    user.join();
    EXPECT_TRUE(host->closedWithOk());
    EXPECT_EQ(host->sheetDestroyResult(), S_OK);
    EXPECT_EQ(host->sheet(), nullptr);
}

TEST(HostSheet, StoredRecordsAreMergedAndBrokenOnesRefused) {
    std::wstring error;
    auto host = m450host::HostSession::Create({}, &error);
    ASSERT_NE(host, nullptr) << error;
    ASSERT_EQ(host->record().size(), 1980u);
    const std::vector<uint8_t> defaults(host->record().begin(), host->record().end());

    // Only a header: the rest keeps the defaults.
    const std::vector<uint8_t> headerOnly = {12, 0, 0, 0, 'N', 'R', 'E', 'Z', 1, 0, 0, 0};
    EXPECT_TRUE(host->MergeRecord(headerOnly, &error)) << error;
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), host->record().begin()));

    // Claims more bytes than it has, or is shorter than a header: refused, record unchanged.
    std::vector<uint8_t> truncated(defaults.begin(), defaults.begin() + 100);
    EXPECT_FALSE(host->MergeRecord(truncated, &error));
    EXPECT_NE(error.find(L"claims 1980 bytes but has 100"), std::wstring::npos) << error;
    EXPECT_FALSE(host->MergeRecord(std::vector<uint8_t>(5, 0), &error));
    EXPECT_TRUE(std::equal(defaults.begin(), defaults.end(), host->record().begin()));
}

TEST(PrinterFixture, TheLastJobsBytesAreReadBack) {
    PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << printer.error();
    EXPECT_FALSE(printer.LastJob().has_value());

    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(printer.name().c_str()), &handle, nullptr));
    DOC_INFO_1W document{const_cast<LPWSTR>(L"fixture"), nullptr, const_cast<LPWSTR>(L"RAW")};
    const uint8_t bytes[] = {0x1B, 0x40, 0x00, 0x0A, 0xFF};
    DWORD written = 0;
    ASSERT_NE(StartDocPrinterW(handle, 1, reinterpret_cast<LPBYTE>(&document)), 0u);
    StartPagePrinter(handle);
    WritePrinter(handle, const_cast<uint8_t*>(bytes), sizeof(bytes), &written);
    EndPagePrinter(handle);
    EndDocPrinter(handle);
    ClosePrinter(handle);

    const auto job = printer.LastJob();
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, std::vector<uint8_t>(std::begin(bytes), std::end(bytes)));
    printer.ForgetLastJob();
    EXPECT_FALSE(printer.LastJob().has_value());
}

// A modal dialog of the test's own: an edit field and OK; the text is kept on OK.
constexpr int kEventEdit = 100;

INT_PTR CALLBACK KeepTextOnOk(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        auto* kept = reinterpret_cast<std::wstring*>(GetWindowLongPtrW(dialog, DWLP_USER));
        *kept = PageDriver(dialog).Text(kEventEdit);
        EndDialog(dialog, IDOK);
        return TRUE;
    }
    return FALSE;
}

TEST(DialogCatcher, CatchesMessageBoxesAndModalDialogsAndAnswersThem) {
    DialogCatcher catcher;
    EXPECT_EQ(MessageBoxW(nullptr, L"All Text will be printed as graphics image!", L"Information",
                          MB_OK | MB_ICONINFORMATION),
              IDOK);
    catcher.ThenAnswer(IDNO);
    EXPECT_EQ(MessageBoxW(nullptr, L"Delete the logo?", L"Question", MB_YESNO), IDNO);

    m450host::DialogTemplate event(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, 160, 60, L"Event");
    event.AddItem(kEventEdit, 0x0081, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 7, 7, 146, 14, L"");
    event.AddItem(IDOK, 0x0080, BS_DEFPUSHBUTTON | WS_TABSTOP, 103, 40, 50, 14, L"OK");
    catcher.Then([](HWND dialog) {
        PageDriver(dialog).Type(kEventEdit, L"1B 40");
        return IDOK;
    });
    std::wstring kept;
    EXPECT_EQ(DialogBoxIndirectParamW(GetModuleHandleW(nullptr), event.get(), nullptr, &KeepTextOnOk,
                                      reinterpret_cast<LPARAM>(&kept)),
              IDOK);
    EXPECT_EQ(kept, L"1B 40");

    const auto& caught = catcher.caught();
    ASSERT_EQ(caught.size(), 3u);
    EXPECT_TRUE(caught[0].messageBox);
    EXPECT_EQ(caught[0].caption, L"Information");
    EXPECT_EQ(caught[0].text, L"All Text will be printed as graphics image!");
    EXPECT_EQ(caught[0].answer, IDOK);
    EXPECT_EQ(caught[1].text, L"Delete the logo?");
    EXPECT_EQ(caught[1].answer, IDNO);
    EXPECT_FALSE(caught[2].messageBox);
    EXPECT_EQ(caught[2].caption, L"Event");
    EXPECT_EQ(catcher.MessageBoxes().size(), 2u);
}

// A dialog that writes down every notification its controls send.
using Notes = std::vector<std::pair<int, int>>;  // (control id, notification code)

INT_PTR CALLBACK NoteNotifications(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        return TRUE;
    }
    auto* notes = reinterpret_cast<Notes*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (notes == nullptr)
        return FALSE;
    if (message == WM_COMMAND)
        notes->push_back({LOWORD(wParam), HIWORD(wParam)});
    else if (message == WM_HSCROLL || message == WM_VSCROLL)
        notes->push_back({GetDlgCtrlID(reinterpret_cast<HWND>(lParam)), LOWORD(wParam)});
    else if (message == WM_NOTIFY)
        notes->push_back({static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->idFrom),
                          static_cast<int>(reinterpret_cast<NMHDR*>(lParam)->code)});
    return FALSE;
}

bool Noted(const Notes& notes, int id, int code) {
    return std::find(notes.begin(), notes.end(), std::make_pair(id, code)) != notes.end();
}

TEST(PageDriver, ActionsSendTheNotificationsOfAUser) {
    enum : WORD { kCheck = 101, kEdit, kList, kSlider, kBuddy, kArrows, kDisabled };
    m450host::DialogTemplate page(WS_POPUP | WS_CAPTION | WS_VISIBLE, 200, 120, L"Controls");
    page.AddItem(kCheck, 0x0080, BS_AUTOCHECKBOX | WS_TABSTOP, 7, 7, 80, 10, L"Check");
    page.AddItem(kEdit, 0x0081, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 7, 20, 80, 14, L"");
    page.AddItem(kList, 0x0085, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 7, 40, 80, 60, L"");
    page.AddControl(kSlider, TRACKBAR_CLASSW, TBS_HORZ | WS_TABSTOP, 7, 60, 100, 15);
    page.AddItem(kBuddy, 0x0081, WS_BORDER | ES_NUMBER, 7, 80, 40, 14, L"0");
    page.AddControl(kArrows, UPDOWN_CLASSW, UDS_AUTOBUDDY | UDS_SETBUDDYINT | UDS_ALIGNRIGHT, 0, 0, 10, 14);
    page.AddItem(kDisabled, 0x0080, BS_PUSHBUTTON | WS_DISABLED, 120, 7, 50, 14, L"Off");
    Notes notes;
    HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), page.get(), nullptr, &NoteNotifications,
                                             reinterpret_cast<LPARAM>(&notes));
    ASSERT_NE(dialog, nullptr);
    PageDriver driver(dialog);
    SendDlgItemMessageW(dialog, kSlider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 10));
    SendDlgItemMessageW(dialog, kArrows, UDM_SETRANGE32, 0, 10);
    SendDlgItemMessageW(dialog, kArrows, UDM_SETPOS32, 0, 0);
    for (const wchar_t* entry : {L"A", L"B", L"C"})
        SendDlgItemMessageW(dialog, kList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry));
    notes.clear();

    EXPECT_TRUE(driver.Click(kCheck));
    EXPECT_TRUE(driver.Checked(kCheck));
    EXPECT_TRUE(Noted(notes, kCheck, BN_CLICKED));

    EXPECT_TRUE(driver.Type(kEdit, L"1D 56 42"));
    EXPECT_EQ(driver.Text(kEdit), L"1D 56 42");
    EXPECT_TRUE(Noted(notes, kEdit, EN_CHANGE));

    EXPECT_TRUE(driver.Choose(kList, L"B"));
    EXPECT_EQ(driver.Selection(kList), 1);
    EXPECT_EQ(driver.SelectedText(kList), L"B");
    EXPECT_TRUE(Noted(notes, kList, CBN_SELCHANGE));
    EXPECT_FALSE(driver.Choose(kList, L"D"));

    EXPECT_TRUE(driver.MoveTrackbar(kSlider, 3));
    EXPECT_EQ(driver.TrackbarPosition(kSlider), 3);
    EXPECT_EQ(std::count(notes.begin(), notes.end(), std::make_pair(int{kSlider}, int{TB_LINEDOWN})), 3);
    EXPECT_TRUE(Noted(notes, kSlider, TB_ENDTRACK));
    EXPECT_TRUE(driver.MoveTrackbar(kSlider, -1));
    EXPECT_EQ(driver.TrackbarPosition(kSlider), 2);

    notes.clear();
    EXPECT_TRUE(driver.Spin(kArrows, 2));
    EXPECT_EQ(driver.SpinPosition(kArrows), 2);
    EXPECT_EQ(driver.Text(kBuddy), L"2");
    EXPECT_TRUE(Noted(notes, kArrows, UDN_DELTAPOS));
    EXPECT_TRUE(Noted(notes, kBuddy, EN_CHANGE));
    EXPECT_TRUE(Noted(notes, kArrows, SB_THUMBPOSITION));
    EXPECT_TRUE(driver.Spin(kArrows, -1));
    EXPECT_EQ(driver.SpinPosition(kArrows), 1);

    EXPECT_FALSE(driver.Click(kDisabled));
    EXPECT_FALSE(driver.Enabled(kDisabled));
    EXPECT_FALSE(driver.Click(999));
    DestroyWindow(dialog);
}

}  // namespace
