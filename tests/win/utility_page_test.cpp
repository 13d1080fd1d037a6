// The Utility page. Through M450UI.dll in a real device sheet: the self-test jobs read back
// from the printer's file port, and the paper-size controls on Wine's own form calls (which
// ignore added and deleted forms). Linked with the shell, on an in-memory form store: the
// list, edits and buttons after real clicks, the refused save's message, hover help, limits,
// the two wordings of the communication label and the apply result.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "core/module_win.h"
#include "core/hover_help_win.h"
#include "plugin/hover_tables_win.h"
#include "core/language_win.h"
#include "core/page_context_win.h"
#include "plugin/plugin_object_win.h"
#include "plugin/sheets_win.h"
#include "device/form_store.h"
#include "device/utility_page.h"
#include "harness.h"
#include "page_test.h"
#include "utility_memory_page.h"
#include "utility_page_ids.h"

namespace {

using m450::FormRect;
using m450::MemoryFormStore;
using m450::PaperForm;
using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::PageDriver;
using m450test::SheetDriver;

constexpr wchar_t kFirst[] = L"Check that communication settings is correct first";
constexpr wchar_t kFirest[] = L"Check that communication settings is correct firest";

PaperForm Form(std::u16string name, int32_t width, int32_t height) {
    return {m450::kFormUser, std::move(name), width, height, {0, 0, width, height}};
}

const PaperForm* Find(const MemoryFormStore& store, std::u16string_view name) {
    for (const PaperForm& form : store.forms())
        if (form.name == name)
            return &form;
    return nullptr;
}

// ---- through the DLL, on the prefix's spooler ----------------------------------------------

class UtilityPageOnSpooler : public m450test::PageTest {};

TEST_F(UtilityPageOnSpooler, SelfTestClickedTwiceSendsTwoJobs) {
    SheetDriver sheet(SheetKind::Device);
    ASSERT_TRUE(sheet.ok()) << std::string(sheet.error().begin(), sheet.error().end());
    PageDriver page = sheet.ShowPage(L"Utility");
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Text(IDC_UTILITY_SELFTEST_BUTTON), L"SelfTest");
    const std::vector<uint8_t> job = {0x1B, 0x63, 0x3B, 0x01, 0x1D, 0x28, 0x41, 0x02,
                                      0x00, 0x00, 0x02, 0x1B, 0x63, 0x3B, 0x00};
    for (int click = 0; click < 2; ++click) {
        printer_.ForgetLastJob();
        ASSERT_TRUE(page.Click(IDC_UTILITY_SELFTEST_BUTTON));
        const std::optional<std::vector<uint8_t>> sent = printer_.LastJob();
        ASSERT_TRUE(sent.has_value()) << "click " << click;
        EXPECT_EQ(*sent, job) << "click " << click;
    }
}

// Wine lists its built-in forms, says yes to AddForm and DeleteForm without keeping anything,
// and refuses SetForm: the default form never shows up.
TEST_F(UtilityPageOnSpooler, BehavesSanelyOnWinesFormStubs) {
    SheetDriver sheet(SheetKind::Device);
    ASSERT_TRUE(sheet.ok());
    PageDriver page = sheet.ShowPage(L"Utility");
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Text(IDC_UTILITY_CHECK_COMM_LABEL), kFirst);
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_RANGE), L"[ 410 - 800 (0.1mm) ]");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_RANGE), L"[ 254 - 32760 (0.1mm) ]");
    EXPECT_TRUE(page.Items(IDC_UTILITY_PAPER_LIST).empty());
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"");
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"");
    EXPECT_FALSE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));

    // Saved "Custom Paper-Roll" is listed and selected although the spooler does not keep it.
    ASSERT_TRUE(page.Type(IDC_UTILITY_FORM_NAME_EDIT, L"Roll"));
    ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"410");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"254");
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST), std::vector<std::wstring>{L"Custom Paper-Roll"});
    EXPECT_EQ(page.SelectedText(IDC_UTILITY_PAPER_LIST), L"Custom Paper-Roll");
    EXPECT_TRUE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));

    // Choosing it finds no such form: the name shows, the sizes stay as they were.
    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 0));
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"Roll");
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"410");

    ASSERT_TRUE(page.Click(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_TRUE(page.Items(IDC_UTILITY_PAPER_LIST).empty());
    EXPECT_EQ(page.Selection(IDC_UTILITY_PAPER_LIST), -1);
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"");
    EXPECT_FALSE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));

    // Apply reports OK for the page.
    sheet.Apply();
    bool reportedOk = false;
    for (const m450host::SetResultCall& call : sheet.host().setResultCalls())
        reportedOk = reportedOk || call.result == CPSUI_OK;
    EXPECT_TRUE(reportedOk);
}

// ---- linked with the shell, on an in-memory store ------------------------------------------

LONG_PTR CALLBACK RecordSheetCall(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2);

struct SheetCall {
    HANDLE sheet;
    UINT function;
    LPARAM lParam1;
    LPARAM lParam2;
};
std::vector<SheetCall> g_sheetCalls;

LONG_PTR CALLBACK RecordSheetCall(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    g_sheetCalls.push_back({sheet, function, lParam1, lParam2});
    return 1;
}

class UtilityPageOnMemoryStore : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(m450::g_moduleInstance, nullptr);
        ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"NONE_M450.res"));  // built-in texts only
        g_sheetCalls.clear();
    }

    PageDriver Open() { return utility_.Open(); }

    m450test::LanguageRegistry registry_;
    m450test::UtilityMemoryPage utility_{RecordSheetCall};
    MemoryFormStore& store_ = utility_.store();
    const m450::DevicePageContext& context_ = utility_.context();
};

TEST_F(UtilityPageOnMemoryStore, OpeningCreatesTheDefaultFormAndShowsIt) {
    store_ = MemoryFormStore({Form(u"Letter", 215900, 279400), Form(u"Custom Paper-Wide", 60000, 100000),
                              Form(u"My Custom Paper-X", 50000, 50000)});
    PageDriver page = Open();
    ASSERT_TRUE(page);
    const PaperForm* created = Find(store_, u"Custom Paper-M450");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(*created, Form(u"Custom Paper-M450", 80000, 297000));
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST),
              (std::vector<std::wstring>{L"Custom Paper-M450", L"Custom Paper-Wide", L"My Custom Paper-X"}));
    EXPECT_EQ(page.Selection(IDC_UTILITY_PAPER_LIST), 0);
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"M450");
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"800");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"2970");
    EXPECT_EQ(page.SpinPosition(IDC_UTILITY_WIDTH_SPIN), 800);
    EXPECT_EQ(page.SpinPosition(IDC_UTILITY_HEIGHT_SPIN), 2970);
    EXPECT_FALSE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_FALSE(page.Visible(IDC_UTILITY_CONTROL_FONT_BUTTON));

    // Limits, ranges and the seven hover-help controls.
    EXPECT_EQ(SendMessageW(page.Control(IDC_UTILITY_FORM_NAME_EDIT), EM_GETLIMITTEXT, 0, 0), 18);
    EXPECT_EQ(SendMessageW(page.Control(IDC_UTILITY_WIDTH_EDIT), EM_GETLIMITTEXT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(page.Control(IDC_UTILITY_HEIGHT_EDIT), EM_GETLIMITTEXT, 0, 0), 5);
    INT low = 0, high = 0;
    SendMessageW(page.Control(IDC_UTILITY_HEIGHT_SPIN), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 254);
    EXPECT_EQ(high, 32760);
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_RANGE), L"[ 410 - 800 (0.1mm) ]");
    EXPECT_NE(m450::HoverTooltipOf(page.hwnd()), nullptr);
    EXPECT_EQ(m450::kUtilityHoverHelp.size(), 7u);

    // Choosing another form shows its name less the prefix and its size; Delete follows.
    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 1));
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"Wide");
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"600");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"1000");
    EXPECT_TRUE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));
    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 2));
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"er-X");  // the name less its first 13 characters
}

TEST_F(UtilityPageOnMemoryStore, SaveClampsUpdatesOrAppends) {
    PageDriver page = Open();
    ASSERT_TRUE(page);

    // The default form's name with width 300: resized to the minimum, no new item.
    ASSERT_TRUE(page.Type(IDC_UTILITY_WIDTH_EDIT, L"300"));
    ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"410");
    ASSERT_NE(Find(store_, u"Custom Paper-M450"), nullptr);
    EXPECT_EQ(*Find(store_, u"Custom Paper-M450"), Form(u"Custom Paper-M450", 41000, 297000));
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST).size(), 1u);

    // A new name, the height above its maximum: appended, selected, Delete enabled.
    ASSERT_TRUE(page.Type(IDC_UTILITY_FORM_NAME_EDIT, L"Long"));
    ASSERT_TRUE(page.Type(IDC_UTILITY_WIDTH_EDIT, L"580"));
    ASSERT_TRUE(page.Type(IDC_UTILITY_HEIGHT_EDIT, L"40000"));
    ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"32760");
    ASSERT_NE(Find(store_, u"Custom Paper-Long"), nullptr);
    EXPECT_EQ(*Find(store_, u"Custom Paper-Long"), Form(u"Custom Paper-Long", 58000, 3276000));
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST),
              (std::vector<std::wstring>{L"Custom Paper-M450", L"Custom Paper-Long"}));
    EXPECT_EQ(page.Selection(IDC_UTILITY_PAPER_LIST), 1);
    EXPECT_TRUE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));

    // The spinner steps from the typed width.
    ASSERT_TRUE(page.Spin(IDC_UTILITY_WIDTH_SPIN, 2));
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"582");
}

TEST_F(UtilityPageOnMemoryStore, RefusedSaveShowsTheMessageAndKeepsTheList) {
    PageDriver page = Open();
    ASSERT_TRUE(page);
    store_.refuseAdd = true;
    store_.refuseSet = true;
    DialogCatcher catcher;
    for (const wchar_t* name : {L"New", L"M450"}) {
        catcher.Clear();
        ASSERT_TRUE(page.Type(IDC_UTILITY_FORM_NAME_EDIT, name));
        ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
        m450test::ExpectOneBox(catcher, L"Error", L"Set custom paper size failed!");
        EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST), std::vector<std::wstring>{L"Custom Paper-M450"});
    }
    EXPECT_EQ(*Find(store_, u"Custom Paper-M450"), Form(u"Custom Paper-M450", 80000, 297000));
}

TEST_F(UtilityPageOnMemoryStore, DeleteKeepsTheIndexOrMovesBackFromTheLast) {
    store_ = MemoryFormStore({Form(u"Custom Paper-M450", 80000, 297000), Form(u"Custom Paper-A", 50000, 100000),
                              Form(u"Custom Paper-B", 60000, 200000), Form(u"Custom Paper-C", 70000, 300000)});
    PageDriver page = Open();
    ASSERT_TRUE(page);

    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 1));  // A, not the last: B takes its place
    ASSERT_TRUE(page.Click(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_EQ(Find(store_, u"Custom Paper-A"), nullptr);
    EXPECT_EQ(page.Selection(IDC_UTILITY_PAPER_LIST), 1);
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"B");
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"600");

    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 2));  // C, the last: B is selected
    ASSERT_TRUE(page.Click(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST), (std::vector<std::wstring>{L"Custom Paper-M450", L"Custom Paper-B"}));
    EXPECT_EQ(page.Selection(IDC_UTILITY_PAPER_LIST), 1);
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_EDIT), L"B");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"2000");

    ASSERT_TRUE(page.Click(IDC_UTILITY_DELETE_BUTTON));  // B, then the default form stays
    EXPECT_EQ(page.SelectedText(IDC_UTILITY_PAPER_LIST), L"Custom Paper-M450");
    EXPECT_FALSE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_EQ(store_.forms().size(), 1u);
}

// A delete the spooler refuses keeps the paper listed and selected, and says so: the list never
// shows a paper gone that the spooler still offers.
TEST_F(UtilityPageOnMemoryStore, RefusedDeleteKeepsThePaperAndSaysSo) {
    store_ = MemoryFormStore({Form(u"Custom Paper-M450", 80000, 297000), Form(u"Custom Paper-A", 50000, 100000)});
    PageDriver page = Open();
    ASSERT_TRUE(page);
    ASSERT_TRUE(page.Choose(IDC_UTILITY_PAPER_LIST, 1));
    store_.refuseDelete = true;
    DialogCatcher catcher;
    ASSERT_TRUE(page.Click(IDC_UTILITY_DELETE_BUTTON));
    m450test::ExpectOneBox(catcher, L"Error", L"Set custom paper size failed!");
    EXPECT_EQ(page.Items(IDC_UTILITY_PAPER_LIST), (std::vector<std::wstring>{L"Custom Paper-M450", L"Custom Paper-A"}));
    EXPECT_EQ(page.SelectedText(IDC_UTILITY_PAPER_LIST), L"Custom Paper-A");
    EXPECT_NE(Find(store_, u"Custom Paper-A"), nullptr);
}

TEST_F(UtilityPageOnMemoryStore, FailedEnumerationLeavesTextsOnly) {
    store_.failEnumerate = true;
    PageDriver page = Open();
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Text(IDC_UTILITY_SAVE_BUTTON), L"Save Paper Size");
    EXPECT_TRUE(page.Items(IDC_UTILITY_PAPER_LIST).empty());
    EXPECT_FALSE(page.Enabled(IDC_UTILITY_DELETE_BUTTON));
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_RANGE), L"[ 200 - 800 (0.1mm) ]");  // the template's, no limits
    EXPECT_EQ(m450::HoverTooltipOf(page.hwnd()), nullptr);
    ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
    EXPECT_TRUE(store_.forms().empty());
}

TEST_F(UtilityPageOnMemoryStore, LabelWordingsAndApply) {
    // The device sheet's load keeps the template's wording; the page's repaint reloads the
    // store's own.
    m450::LoadDeviceSheetTexts();
    EXPECT_EQ(m450::Texts().View(m450::TextId::UTILITY_RC_STATIC_CHECKCOMM),
              std::u16string_view(u"Check that communication settings is correct firest"));
    PageDriver page = Open();
    ASSERT_TRUE(page);
    RedrawWindow(page.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(page.Text(IDC_UTILITY_CHECK_COMM_LABEL), kFirst);
    EXPECT_NE(page.Text(IDC_UTILITY_CHECK_COMM_LABEL), kFirest);
    EXPECT_EQ(page.Text(IDC_UTILITY_SELFTEST_LABEL), L"Print a self-test page");
    EXPECT_EQ(page.Text(IDC_UTILITY_FORM_NAME_LABEL), L"Form Name:");

    NMHDR apply{page.hwnd(), 0, static_cast<UINT>(PSN_APPLY)};
    EXPECT_EQ(SendMessageW(page.hwnd(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&apply)), PSNRET_NOERROR);
    ASSERT_EQ(g_sheetCalls.size(), 1u);
    EXPECT_EQ(g_sheetCalls[0].sheet, context_.hComPropSheet);
    EXPECT_EQ(g_sheetCalls[0].function, static_cast<UINT>(CPSFUNC_SET_RESULT));
    EXPECT_EQ(g_sheetCalls[0].lParam1, reinterpret_cast<LPARAM>(context_.hPage));
    EXPECT_EQ(g_sheetCalls[0].lParam2, CPSUI_OK);
}

}  // namespace
