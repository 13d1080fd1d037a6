// The Operation page and its event dialog, opened through M450UI.dll in a real document sheet
// and driven by window messages: what each event's OK writes into the record, byte for byte;
// Cancel; the command length limit with its message box; the drawer/messenger choice; the hex
// input filter; Default per event; and the picture chosen for each event and choice.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/event_dialog.h"
#include "event_dialog_ids.h"
#include "harness.h"
#include "page_test.h"
#include "operation_page_ids.h"
#include "screenshot.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using enum m450test::ControlState;
using m450test::LanguageFolder;
using m450test::PageDriver;

// Block offsets in the record, in its stored order.
constexpr size_t kStartOfDocumentBlock = 16;
constexpr size_t kStartOfPageBlock = 161;
constexpr size_t kEndOfDocumentBlock = 308;
constexpr size_t kEndOfPageBlock = 452;

constexpr int kEventButtons[] = {IDC_OPERATION_START_DOC_BUTTON, IDC_OPERATION_START_PAGE_BUTTON,
                                 IDC_OPERATION_END_PAGE_BUTTON, IDC_OPERATION_END_DOC_BUTTON};
constexpr int kLogoPlacement[] = {IDC_EVENT_ALIGN_LEFT_RADIO, IDC_EVENT_ALIGN_CENTER_RADIO, IDC_EVENT_ALIGN_RIGHT_RADIO,
                                  IDC_EVENT_BEFORE_CUT_RADIO, IDC_EVENT_AFTER_CUT_RADIO};

class OperationPage : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        if (ShotSuffix() == L"zh") {
            ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
            ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
        }
        OpenPage(SheetKind::Document, ShotSuffix() == L"zh" ? L"\u64CD\u4F5C" : L"Operation");
    }

    // The pictures' language when M450_SHOTS_DIR asks for pictures ("en" or "zh").
    static std::wstring ShotSuffix() {
        wchar_t suffix[16] = L"en";
        GetEnvironmentVariableW(L"M450_SHOTS_SUFFIX", suffix, 16);
        return suffix;
    }

    std::vector<uint8_t> Record() const {
        const auto bytes = sheet_->RecordBytes();
        return {bytes.begin(), bytes.end()};
    }

    // Opens the event dialog of a page button, runs `act` inside it and answers with its result.
    void EditEvent(int button, std::function<int(PageDriver&)> act) {
        DialogCatcher catcher;
        catcher.Then([&act](HWND dialog) {
            PageDriver driver(dialog);
            return act(driver);
        });
        ASSERT_TRUE(page_.Click(button));
        ASSERT_EQ(catcher.caught().size(), 1u);
    }
};

int PreviewOf(const PageDriver& dialog) {
    return static_cast<int>(
        reinterpret_cast<INT_PTR>(GetPropW(dialog.Control(IDC_EVENT_PREVIEW), m450::kPreviewBitmapProperty)));
}

std::wstring HexText(size_t bytes) {
    std::wstring text;
    for (size_t i = 0; i < bytes; ++i)
        text += L"A5 ";
    return text;
}

TEST_F(OperationPage, ShowsItsTextsAndFollowsTheLanguageAtRepaint) {
    EXPECT_EQ(page_.Text(IDC_OPERATION_START_DOC_BUTTON), L"Start of Document");
    EXPECT_EQ(page_.Text(IDC_OPERATION_END_PAGE_BUTTON), L"End of Page");
    EXPECT_EQ(page_.Text(IDC_OPERATION_END_DOC_LABEL), L"Operation when document ends");

    ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page_.Text(IDC_OPERATION_START_DOC_BUTTON), L"\u6587\u6863\u5F00\u59CB");  // 文档开始
    // The dialog reads its texts when it opens, its message too.
    EditEvent(IDC_OPERATION_END_PAGE_BUTTON, [](PageDriver& dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog.hwnd(), caption, 64);
        EXPECT_STREQ(caption, L"\u9875\u9762\u7ED3\u675F\u65F6\u7684\u64CD\u4F5C");  // 页面结束时的操作
        return IDCANCEL;
    });
}

TEST_F(OperationPage, EndOfPageOkStoresEveryControlInItsBlock) {
    const std::vector<uint8_t> before = Record();
    ASSERT_FALSE(sheet_->ApplyEnabled());
    EditEvent(IDC_OPERATION_END_PAGE_BUTTON, [](PageDriver& dialog) {
        wchar_t caption[64] = {};
        GetWindowTextW(dialog.hwnd(), caption, 64);
        EXPECT_STREQ(caption, L"End Page Operation");
        EXPECT_EQ(dialog.Items(IDC_EVENT_DRAWER_COMBO).size(), 13u);
        EXPECT_EQ(dialog.Items(IDC_EVENT_DRAWER_COMBO)[12], L"Cash Drawer #1+#2 Waiting 60ms");
        EXPECT_EQ(dialog.Items(IDC_EVENT_MESSENGER_COMBO), (std::vector<std::wstring>{L"Enable", L"Disable"}));
        EXPECT_EQ(dialog.Items(IDC_EVENT_BUZZER_COMBO).back(), L"Beep twenty");
        EXPECT_EQ(dialog.Items(IDC_EVENT_CUT_COMBO),
                  (std::vector<std::wstring>{L"No Cut", L"Partial Cut", L"Full Cut"}));
        EXPECT_EQ(dialog.Items(IDC_EVENT_LOGO_COMBO).size(), 10u);
        ExpectControls(dialog, {{IDC_EVENT_COMMAND_EDIT, Disabled},
                                {IDC_EVENT_VOLUME_EDIT, Disabled},
                                {IDC_EVENT_VOLUME_SPIN, Disabled},
                                {IDC_EVENT_VOLUME_LABEL, Hidden}});

        EXPECT_TRUE(dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK));
        EXPECT_TRUE(dialog.Enabled(IDC_EVENT_COMMAND_EDIT));
        EXPECT_TRUE(dialog.Type(IDC_EVENT_COMMAND_EDIT, L"1b 40 1D5642 7"));
        EXPECT_TRUE(dialog.Choose(IDC_EVENT_DRAWER_COMBO, 6));
        EXPECT_TRUE(dialog.Click(IDC_EVENT_MESSENGER_RADIO));
        EXPECT_TRUE(dialog.Choose(IDC_EVENT_MESSENGER_COMBO, 1));
        EXPECT_TRUE(dialog.Choose(IDC_EVENT_BUZZER_COMBO, 3));
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_VOLUME_EDIT));  // stays disabled whatever the buzzer
        // The volume field cannot be typed in, but a value put there is clamped and stored.
        SetDlgItemTextW(dialog.hwnd(), IDC_EVENT_VOLUME_EDIT, L"300");
        EXPECT_EQ(dialog.SpinPosition(IDC_EVENT_VOLUME_SPIN), 255);
        EXPECT_EQ(dialog.Text(IDC_EVENT_VOLUME_EDIT), L"255");
        EXPECT_TRUE(dialog.Type(IDC_EVENT_FEED_EDIT, L"150"));
        EXPECT_EQ(dialog.Text(IDC_EVENT_FEED_EDIT), L"100");
        EXPECT_TRUE(dialog.Spin(IDC_EVENT_FEED_SPIN, -3));
        EXPECT_EQ(dialog.Text(IDC_EVENT_FEED_EDIT), L"97");
        EXPECT_TRUE(dialog.Click(IDC_EVENT_FEED_TO_CUT_CHECK));
        EXPECT_TRUE(dialog.Choose(IDC_EVENT_CUT_COMBO, 2));
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_ALIGN_RIGHT_RADIO));
        EXPECT_TRUE(dialog.Choose(IDC_EVENT_LOGO_COMBO, 4));
        for (const int id : kLogoPlacement)
            EXPECT_TRUE(dialog.Enabled(id));
        EXPECT_TRUE(dialog.Click(IDC_EVENT_ALIGN_RIGHT_RADIO));
        EXPECT_TRUE(dialog.Click(IDC_EVENT_AFTER_CUT_RADIO));
        return IDOK;
    });

    std::vector<uint8_t> expected = before;
    const uint8_t block[] = {
        1,                                   // sendCommand
        1,                                   // feedToCutPosition
        0x1B, 0x40, 0x1D, 0x56, 0x42, 0x07,  // command, zero-filled to 128 bytes below
    };
    std::copy(std::begin(block), std::end(block), expected.begin() + kEndOfPageBlock);
    std::fill(expected.begin() + kEndOfPageBlock + 8, expected.begin() + kEndOfPageBlock + 130, 0);
    const uint8_t tail[] = {
        6,             // commandLength
        6,             // cashDrawer: drawer 2, 10 ms (kept while the messenger is chosen)
        2,             // paperCut: full
        97,            // feedDistance
        255,           // buzzerVolume
        1,             // orderMessenger: disable
        1,   0, 0, 0,  // drawerOrMessenger: the messenger
        3,             // buzzer: five beeps
        4,             // logo 4
        2,             // logoAlign: right
        1,             // logoPosition: after the cut
    };
    std::copy(std::begin(tail), std::end(tail), expected.begin() + kEndOfPageBlock + 130);
    EXPECT_EQ(Record(), expected);
    EXPECT_TRUE(sheet_->ApplyEnabled());

    // Apply reports to the host and leaves the page unchanged.
    sheet_->Apply();
    EXPECT_FALSE(sheet_->ApplyEnabled());
    EXPECT_EQ(Record(), expected);
}

TEST_F(OperationPage, CancelLeavesTheRecordAndOkWithoutChangeStillMarksTheSheet) {
    const std::vector<uint8_t> before = Record();
    EditEvent(IDC_OPERATION_START_DOC_BUTTON, [](PageDriver& dialog) {
        dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
        dialog.Type(IDC_EVENT_COMMAND_EDIT, L"1B 40");
        dialog.Choose(IDC_EVENT_CUT_COMBO, 2);
        return IDCANCEL;
    });
    EXPECT_EQ(Record(), before);
    EXPECT_FALSE(sheet_->ApplyEnabled());

    EditEvent(IDC_OPERATION_START_PAGE_BUTTON, [](PageDriver&) { return IDOK; });
    EXPECT_EQ(Record(), before);
    EXPECT_TRUE(sheet_->ApplyEnabled());
}

TEST_F(OperationPage, CommandOfMoreThan128BytesIsRefusedWithAMessage) {
    const std::vector<uint8_t> before = Record();
    DialogCatcher catcher;
    catcher.Then([](HWND window) {
        PageDriver dialog(window);
        dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
        const std::wstring tooLong = HexText(129);
        dialog.Type(IDC_EVENT_COMMAND_EDIT, tooLong);
        dialog.Click(IDOK);  // the message box opens and is answered inside this call
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), tooLong);
        dialog.Type(IDC_EVENT_COMMAND_EDIT, HexText(128));
        return IDOK;
    });
    catcher.ThenAnswer(IDOK);
    ASSERT_TRUE(page_.Click(IDC_OPERATION_END_DOC_BUTTON));

    m450test::ExpectOneBox(catcher, L"Error", L"Command length error!");
    std::vector<uint8_t> expected = before;
    expected[kEndOfDocumentBlock] = 1;  // sendCommand
    std::fill(expected.begin() + kEndOfDocumentBlock + 2, expected.begin() + kEndOfDocumentBlock + 130, 0xA5);
    expected[kEndOfDocumentBlock + 130] = 128;  // commandLength
    EXPECT_EQ(Record(), expected);
}

TEST_F(OperationPage, HeraldKeepsTheDrawerIndex) {
    EditEvent(IDC_OPERATION_START_DOC_BUTTON, [](PageDriver& dialog) {
        EXPECT_TRUE(dialog.Checked(IDC_EVENT_DRAWER_RADIO));
        EXPECT_EQ(dialog.Selection(IDC_EVENT_DRAWER_COMBO), 12);
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_MESSENGER_COMBO));
        EXPECT_TRUE(dialog.Click(IDC_EVENT_MESSENGER_RADIO));
        EXPECT_FALSE(dialog.Checked(IDC_EVENT_DRAWER_RADIO));
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_DRAWER_COMBO));
        EXPECT_TRUE(dialog.Enabled(IDC_EVENT_MESSENGER_COMBO));
        EXPECT_EQ(dialog.Selection(IDC_EVENT_DRAWER_COMBO), 12);
        return IDOK;
    });
    const std::vector<uint8_t> record = Record();
    EXPECT_EQ(record[kStartOfDocumentBlock + 131], 12);  // cashDrawer
    EXPECT_EQ(record[kStartOfDocumentBlock + 134], 0);   // orderMessenger: enable
    EXPECT_EQ(record[kStartOfDocumentBlock + 136], 1);   // drawerOrMessenger (after a pad byte)

    EditEvent(IDC_OPERATION_START_DOC_BUTTON, [](PageDriver& dialog) {
        EXPECT_TRUE(dialog.Checked(IDC_EVENT_MESSENGER_RADIO));
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_DRAWER_COMBO));
        EXPECT_TRUE(dialog.Click(IDC_EVENT_DRAWER_RADIO));
        EXPECT_TRUE(dialog.Enabled(IDC_EVENT_DRAWER_COMBO));
        EXPECT_FALSE(dialog.Enabled(IDC_EVENT_MESSENGER_COMBO));
        return IDOK;
    });
    EXPECT_EQ(Record()[kStartOfDocumentBlock + 136], 0);
}

TEST_F(OperationPage, CommandFieldTakesOnlyHexText) {
    EditEvent(IDC_OPERATION_START_PAGE_BUTTON, [](PageDriver& dialog) {
        dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
        const HWND edit = dialog.Control(IDC_EVENT_COMMAND_EDIT);
        EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
        for (const wchar_t c : std::wstring(L"Gx,\r"))
            SendMessageW(edit, WM_CHAR, c, 1);
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"");
        for (const wchar_t c : std::wstring(L"1f -."))
            SendMessageW(edit, WM_CHAR, c, 1);
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"1f -.");
        SendMessageW(edit, WM_CHAR, L'\b', 1);
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"1f -");

        // With Ctrl held every character passes; with Tab held the focus moves on instead.
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        BYTE held[256];
        std::copy(std::begin(keys), std::end(keys), held);
        held[VK_CONTROL] = 0x80;
        SetKeyboardState(held);
        SendMessageW(edit, WM_CHAR, L'G', 1);
        held[VK_CONTROL] = 0;
        held[VK_TAB] = 0x80;
        SetKeyboardState(held);
        SetFocus(edit);
        EXPECT_EQ(GetFocus(), edit);
        SendMessageW(edit, WM_CHAR, L'\t', 1);
        SetKeyboardState(keys);
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"1f -G");
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(dialog.hwnd(), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        EXPECT_NE(GetFocus(), edit);
        return IDOK;
    });
    // The hyphen reads as the digit 0: "1f -G" is 1F 00 (G counts as 0 too, as when pasted).
    const std::vector<uint8_t> record = Record();
    EXPECT_EQ(record[kStartOfPageBlock + 130], 2);  // commandLength
    EXPECT_EQ(record[kStartOfPageBlock + 2], 0x1F);
    EXPECT_EQ(record[kStartOfPageBlock + 3], 0x00);
}

// A paste is filtered as typing is: ordinary text is refused whole, a command goes in with its
// line breaks as spaces.
TEST_F(OperationPage, PastedTextReachesTheCommandOnlyAsHexText) {
    EditEvent(IDC_OPERATION_START_DOC_BUTTON, [](PageDriver& dialog) {
        dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
        EXPECT_TRUE(dialog.Paste(IDC_EVENT_COMMAND_EDIT, L"hello world 1G"));
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"");
        EXPECT_TRUE(dialog.Paste(IDC_EVENT_COMMAND_EDIT, L"1B 40\r\n1d"));
        EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"1B 40  1d");
        return IDOK;
    });
    const std::vector<uint8_t> record = Record();
    EXPECT_EQ(record[kStartOfDocumentBlock + 130], 3);  // commandLength
    EXPECT_EQ(record[kStartOfDocumentBlock + 2], 0x1B);
    EXPECT_EQ(record[kStartOfDocumentBlock + 3], 0x40);
    EXPECT_EQ(record[kStartOfDocumentBlock + 4], 0x1D);
}

TEST_F(OperationPage, DefaultRestoresEachEventsDefaults) {
    const std::vector<uint8_t> fresh = Record();
    const size_t blocks[] = {kStartOfDocumentBlock, kStartOfPageBlock, kEndOfPageBlock, kEndOfDocumentBlock};
    for (int event = 0; event < 4; ++event) {
        SCOPED_TRACE(event);
        // Away from the defaults first, and stored.
        EditEvent(kEventButtons[event], [](PageDriver& dialog) {
            dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
            dialog.Type(IDC_EVENT_COMMAND_EDIT, L"1B 40");
            dialog.Choose(IDC_EVENT_DRAWER_COMBO, 3);
            dialog.Click(IDC_EVENT_MESSENGER_RADIO);
            dialog.Choose(IDC_EVENT_MESSENGER_COMBO, 1);
            dialog.Choose(IDC_EVENT_BUZZER_COMBO, 2);
            SetDlgItemTextW(dialog.hwnd(), IDC_EVENT_FEED_EDIT, L"-5");  // a negative number reads as above 100
            EXPECT_EQ(dialog.Text(IDC_EVENT_FEED_EDIT), L"100");
            dialog.Click(IDC_EVENT_FEED_TO_CUT_CHECK);
            dialog.Choose(IDC_EVENT_CUT_COMBO, 2);
            dialog.Choose(IDC_EVENT_LOGO_COMBO, 9);
            dialog.Click(IDC_EVENT_ALIGN_CENTER_RADIO);
            dialog.Click(IDC_EVENT_AFTER_CUT_RADIO);
            return IDOK;
        });
        ASSERT_NE(Record(), fresh);
        EXPECT_EQ(Record()[blocks[event] + 133], 100);  // feedDistance

        EditEvent(kEventButtons[event], [event](PageDriver& dialog) {
            EXPECT_TRUE(dialog.Click(IDC_EVENT_DEFAULT_BUTTON));
            EXPECT_FALSE(dialog.Checked(IDC_EVENT_SEND_COMMAND_CHECK));
            EXPECT_EQ(dialog.Text(IDC_EVENT_COMMAND_EDIT), L"");
            EXPECT_FALSE(dialog.Enabled(IDC_EVENT_COMMAND_EDIT));
            EXPECT_EQ(dialog.SelectedText(IDC_EVENT_DRAWER_COMBO),
                      event == 0 ? L"Cash Drawer #1+#2 Waiting 60ms" : L"No Cash Drawer");
            ExpectControls(dialog, {{IDC_EVENT_DRAWER_RADIO, Checked},
                                    {IDC_EVENT_MESSENGER_RADIO, Unchecked},
                                    {IDC_EVENT_DRAWER_COMBO, Enabled},
                                    {IDC_EVENT_MESSENGER_COMBO, Disabled}});
            EXPECT_EQ(dialog.Selection(IDC_EVENT_MESSENGER_COMBO), 0);
            EXPECT_EQ(dialog.Text(IDC_EVENT_FEED_EDIT), L"0");
            EXPECT_EQ(dialog.Checked(IDC_EVENT_FEED_TO_CUT_CHECK), event == 3);
            EXPECT_EQ(dialog.SelectedText(IDC_EVENT_CUT_COMBO), event == 3 ? L"Partial Cut" : L"No Cut");
            EXPECT_EQ(dialog.Selection(IDC_EVENT_BUZZER_COMBO), 0);
            EXPECT_EQ(dialog.Selection(IDC_EVENT_LOGO_COMBO), 0);
            for (const int id : kLogoPlacement)
                EXPECT_FALSE(dialog.Enabled(id));
            ExpectControls(dialog, {{IDC_EVENT_ALIGN_LEFT_RADIO, Checked},
                                    {IDC_EVENT_BEFORE_CUT_RADIO, Checked},
                                    {IDC_EVENT_AFTER_CUT_RADIO, Unchecked},
                                    {IDC_EVENT_VOLUME_EDIT, Disabled},
                                    {IDC_EVENT_VOLUME_SPIN, Disabled}});
            EXPECT_EQ(dialog.Text(IDC_EVENT_VOLUME_EDIT), L"0");
            return IDOK;
        });
    }
    // Default then OK gives back what a fresh record holds.
    EXPECT_EQ(Record(), fresh);
}

TEST_F(OperationPage, PictureFollowsTheEventFeedAndCut) {
    // Per event: feed and cut, feed only, cut only, neither.
    const int expected[4][4] = {
        {143, 144, 145, 149},  // start of document
        {146, 147, 148, 149},  // start of page
        {140, 141, 142, 139},  // end of page
        {136, 137, 138, 139},  // end of document
    };
    for (int event = 0; event < 4; ++event) {
        SCOPED_TRACE(event);
        EditEvent(kEventButtons[event], [&expected, event](PageDriver& dialog) {
            const int opening = PreviewOf(dialog);
            EXPECT_EQ(opening, event == 3 ? expected[3][0] : expected[event][3]);
            if (dialog.Checked(IDC_EVENT_FEED_TO_CUT_CHECK))
                dialog.Click(IDC_EVENT_FEED_TO_CUT_CHECK);
            dialog.Choose(IDC_EVENT_CUT_COMBO, 0);
            EXPECT_EQ(PreviewOf(dialog), expected[event][3]);
            dialog.Choose(IDC_EVENT_CUT_COMBO, 1);
            EXPECT_EQ(PreviewOf(dialog), expected[event][2]);
            dialog.Click(IDC_EVENT_FEED_TO_CUT_CHECK);
            EXPECT_EQ(PreviewOf(dialog), expected[event][0]);
            dialog.Choose(IDC_EVENT_CUT_COMBO, 2);
            EXPECT_EQ(PreviewOf(dialog), expected[event][0]);
            dialog.Choose(IDC_EVENT_CUT_COMBO, 0);
            EXPECT_EQ(PreviewOf(dialog), expected[event][1]);
            dialog.Click(IDC_EVENT_DEFAULT_BUTTON);
            EXPECT_EQ(PreviewOf(dialog), opening);
            return IDCANCEL;
        });
    }
}

// Pictures of the page and of the dialog for two events, when M450_SHOTS_DIR names a folder.
TEST_F(OperationPage, Screenshots) {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"M450_SHOTS_DIR", folder, MAX_PATH) == 0)
        GTEST_SKIP() << "M450_SHOTS_DIR is not set";
    const std::wstring suffix = ShotSuffix();
    const std::wstring base = std::wstring(folder) + L"\\";
    sheet_->Pump(200);
    std::wstring error;
    EXPECT_TRUE(m450host::SaveWindowPicture(sheet_->sheet(), base + L"operation-" + suffix + L".png", &error)) << error;
    const struct {
        int button;
        const wchar_t* name;
    } shots[] = {{IDC_OPERATION_START_DOC_BUTTON, L"event-start-document-"},
                 {IDC_OPERATION_END_DOC_BUTTON, L"event-end-document-"}};
    for (const auto& shot : shots) {
        EditEvent(shot.button, [&](PageDriver& dialog) {
            dialog.Click(IDC_EVENT_SEND_COMMAND_CHECK);
            dialog.Type(IDC_EVENT_COMMAND_EDIT, L"1D 56 42 00 ");
            dialog.Choose(IDC_EVENT_LOGO_COMBO, 1);
            m450host::PumpMessages(dialog.hwnd(), 300);
            std::wstring shotError;
            EXPECT_TRUE(m450host::SaveWindowPicture(dialog.hwnd(), base + shot.name + suffix + L".png", &shotError))
                << shotError;
            return IDCANCEL;
        });
    }
}

}  // namespace
