// Hover help on the real dialog templates of M450UI.dll, linked with the shell directly: each
// of the seven tables names controls of its dialog with help texts of its section, each dialog
// gets its tooltip (one-second delay, 300-pixel lines), the module's activation context is
// current inside a scope, and a pointer move over a control registers the control's current
// help text with the tooltip.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "barcode1d_page_ids.h"
#include "barcode2d_page_ids.h"
#include "core/module_win.h"
#include "core/hover_help_win.h"
#include "plugin/hover_tables_win.h"
#include "plugin/plugin_object_win.h"
#include "core/text_store.h"
#include "download_page_ids.h"
#include "event_dialog_ids.h"
#include "layout_page_ids.h"
#include "fixtures.h"
#include "object_counter.h"
#include "utility_page_ids.h"
#include "watermark_page_ids.h"

namespace m450 {
namespace {

INT_PTR CALLBACK HoverDialogProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        AttachHoverHelp(dialog, *reinterpret_cast<const HoverTable*>(lParam));
        return TRUE;
    }
    return FALSE;
}

TextReader OneText(std::u16string text) {
    return [text](std::u16string_view, std::u16string_view) -> std::optional<std::u16string> { return text; };
}

class HoverHelpTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The templates and the isolation manifest are the DLL's.
        g_moduleInstance = m450test::PluginModule();
    }

    void SetUp() override {
        ASSERT_NE(g_moduleInstance, nullptr);
        frame_ = CreateWindowExW(0, L"STATIC", L"hover help", WS_POPUP | WS_VISIBLE, 0, 0, 900, 700, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(frame_, nullptr);
    }
    void TearDown() override {
        if (frame_ != nullptr)
            DestroyWindow(frame_);
        for (TextId id : {TextId::LAYOUT_CTEXT_CHECK_ZOOM, TextId::LAYOUT_CTEXT_RADIO_ASGRAPHICSYES})
            Texts().Load(id, nullptr);
    }

    // The dialog as its page or dialog shows it: inside the module's activation context (the
    // templates' trackbars, lists and up-down controls exist only there).
    HWND Open(WORD templateId, const HoverTable& table) {
        const ActivationScope scope;
        const HWND dialog = CreateDialogParamW(g_moduleInstance, MAKEINTRESOURCEW(templateId), frame_, &HoverDialogProc,
                                               reinterpret_cast<LPARAM>(&table));
        if (dialog != nullptr) {
            SetWindowPos(dialog, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            EnableWindow(dialog, TRUE);
            ShowWindow(dialog, SW_SHOW);
        }
        return dialog;
    }

    // Puts the pointer on the control (or beside it) and sends the control the move.
    static bool MovePointer(HWND control, bool inside) {
        RECT rect{};
        GetWindowRect(control, &rect);
        const POINT target{inside ? (rect.left + rect.right) / 2 : rect.right + 40, (rect.top + rect.bottom) / 2};
        SetCursorPos(target.x, target.y);
        POINT now{};
        GetCursorPos(&now);
        POINT client = target;
        ScreenToClient(control, &client);
        SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
        return now.x == target.x && now.y == target.y;
    }

    static LRESULT ToolCount(HWND tooltip) { return SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0); }

    // The text the tooltip holds for the control.
    static std::wstring TipText(HWND tooltip, HWND control) {
        static wchar_t text[2048];
        text[0] = 0;
        TOOLINFOW tool{};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = control;
        tool.lpszText = text;
        SendMessageW(tooltip, TTM_GETTEXTW, std::size(text), reinterpret_cast<LPARAM>(&tool));
        return text;
    }

    HWND frame_ = nullptr;
};

struct DialogTable {
    WORD templateId;
    const HoverTable* table;
    std::u16string_view section;
    size_t count;
};

TEST_F(HoverHelpTest, EveryTableNamesControlsOfItsDialogWithHelpOfItsSection) {
    const DialogTable dialogs[] = {
        {IDD_LAYOUT_PAGE, &kLayoutHoverHelp, u"LAYOUT", 12},
        {IDD_WATERMARK_PAGE, &kWatermarkHoverHelp, u"WATERMARK", 13},
        {IDD_EVENT_DIALOG, &kEventHoverHelp, u"DOCUMENT", 20},
        {IDD_BARCODE1D_PAGE, &kBarcode1DHoverHelp, u"1DCODE", 17},
        {IDD_BARCODE2D_PAGE, &kBarcode2DHoverHelp, u"2DCODE", 22},
        {IDD_UTILITY_PAGE, &kUtilityHoverHelp, u"UTILITY", 7},
        {IDD_DOWNLOAD_PAGE, &kDownloadHoverHelp, u"DOWNLOAD", 17},
    };
    for (const DialogTable& entry : dialogs) {
        SCOPED_TRACE(entry.templateId);
        EXPECT_EQ(entry.table->size(), entry.count);
        const HWND dialog = Open(entry.templateId, *entry.table);
        ASSERT_NE(dialog, nullptr);
        const HWND tooltip = HoverTooltipOf(dialog);
        ASSERT_NE(tooltip, nullptr);
        EXPECT_EQ(GetWindow(tooltip, GW_OWNER), GetAncestor(dialog, GA_ROOT));  // a page's is the sheet
        EXPECT_EQ(GetWindowLongW(tooltip, GWL_STYLE) & (TTS_NOPREFIX | TTS_ALWAYSTIP), TTS_NOPREFIX | TTS_ALWAYSTIP);
        EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
        EXPECT_EQ(SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
        for (const HoverItem& item : *entry.table) {
            SCOPED_TRACE(item.controlId);
            const HWND control = GetDlgItem(dialog, item.controlId);
            ASSERT_NE(control, nullptr);
            // Subclassed: the control no longer runs its class's procedure first.
            EXPECT_NE(GetWindowLongPtrW(control, GWLP_WNDPROC), GetClassLongPtrW(control, GCLP_WNDPROC));
            EXPECT_EQ(KeyOf(item.help).section, entry.section);
            EXPECT_EQ(KeyOf(item.help).key.substr(0, 6), u"CTEXT_");
            EXPECT_EQ(KeyOf(item.help).capacity, 1024);
        }
        // Attaching again keeps the one tooltip.
        EXPECT_EQ(AttachHoverHelp(dialog, *entry.table), tooltip);
        DestroyWindow(dialog);
    }
}

// Each table, control by control, against tests/win/golden/hover_help.txt: the control ids as
// the templates number them, the keys as the language files name them and the help texts as
// the user reads them in English, so that a key given to the wrong control (two swapped keys)
// or a changed text fails.
std::string Utf8(std::u16string_view text) {
    std::string narrow;
    for (const char16_t c : text) {
        if (c == u'\n')
            narrow += "\\n";
        else if (c < 0x80)
            narrow += static_cast<char>(c);
        else if (c < 0x800)
            narrow += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
        else
            narrow += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                       static_cast<char>(0x80 | (c & 0x3F))};
    }
    return narrow;
}

// One line a control, by id: "<id> <key>: <text>".
std::string HelpLines(const HoverTable& table, const LanguageTextStore& english) {
    std::vector<std::pair<int, std::string>> lines;
    for (const HoverItem& item : table)
        lines.emplace_back(item.controlId, std::to_string(item.controlId) + " " + Utf8(KeyOf(item.help).key) + ": " +
                                               Utf8(english.View(item.help)) + "\n");
    std::sort(lines.begin(), lines.end());
    std::string text;
    for (const auto& line : lines)
        text += line.second;
    return text;
}

TEST(HoverHelpKeys, EveryControlHasItsOwnHelpKey) {
    static const LanguageTextStore english;
    const std::pair<const char*, const HoverTable*> tables[] = {
        {"Layout", &kLayoutHoverHelp},     {"Water Mark", &kWatermarkHoverHelp}, {"Event", &kEventHoverHelp},
        {"1D Code", &kBarcode1DHoverHelp}, {"2D Code", &kBarcode2DHoverHelp},    {"Utility", &kUtilityHoverHelp},
        {"Download", &kDownloadHoverHelp},
    };
    std::string got;
    for (const auto& [dialog, table] : tables)
        got += std::string("[") + dialog + "]\n" + HelpLines(*table, english);
    const auto golden = m450host::ReadFileBytes(m450test::SourcePath(L"tests/win/golden/hover_help.txt"));
    ASSERT_TRUE(golden.has_value());
    EXPECT_EQ(got, std::string(golden->begin(), golden->end()));
}

// Under Wine both copies of the common controls are one module, so which copy made a window
// cannot be seen from the window; what the context redirects can.
TEST_F(HoverHelpTest, ActivationScopeMakesTheModulesContextCurrent) {
    const HANDLE context = ModuleActivationContext();
    ASSERT_TRUE(IsActivationContext(context));
    EXPECT_EQ(ModuleActivationContext(), context);  // one per process

    auto current = [] {
        HANDLE handle = nullptr;
        GetCurrentActCtx(&handle);
        if (handle != nullptr)
            ReleaseActCtx(handle);
        return handle;
    };
    auto redirectsTooltips = [] {
        ACTCTX_SECTION_KEYED_DATA data{};
        data.cbSize = sizeof(data);
        return FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_WINDOW_CLASS_REDIRECTION,
                                        L"tooltips_class32", &data) != FALSE;
    };
    EXPECT_NE(current(), context);
    {
        const ActivationScope scope;
        EXPECT_TRUE(scope.active());
        EXPECT_EQ(current(), context);
        EXPECT_TRUE(redirectsTooltips());  // the manifest asks for the version-6 controls
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));  // survives the scope's end
    EXPECT_NE(current(), context);
}

TEST_F(HoverHelpTest, PointerOverAControlRegistersItsCurrentHelpText) {
    const HWND dialog = Open(IDD_LAYOUT_PAGE, kLayoutHoverHelp);
    ASSERT_NE(dialog, nullptr);
    const HWND tooltip = HoverTooltipOf(dialog);
    ASSERT_NE(tooltip, nullptr);
    const HWND zoom = GetDlgItem(dialog, IDC_LAYOUT_ZOOM_CHECK);
    const HWND yes = GetDlgItem(dialog, IDC_LAYOUT_AS_IMAGE_YES_RADIO);
    EXPECT_EQ(ToolCount(tooltip), 0);

    // A move whose pointer is not on the control registers nothing.
    MovePointer(yes, false);
    EXPECT_EQ(ToolCount(tooltip), 0);

    ASSERT_TRUE(MovePointer(zoom, true)) << "the pointer could not be placed";
    ASSERT_EQ(ToolCount(tooltip), 1);
    EXPECT_EQ(TipText(tooltip, zoom), L"This configures reduced print.");
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    ASSERT_TRUE(SendMessageW(tooltip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
    EXPECT_EQ(tool.hwnd, zoom);
    EXPECT_NE(tool.uFlags & TTF_SUBCLASS, 0u);
    RECT client{};
    GetClientRect(zoom, &client);
    EXPECT_TRUE(EqualRect(&tool.rect, &client));

    // After a language change the next hover shows the new text, still with one tool.
    Texts().Load(TextId::LAYOUT_CTEXT_CHECK_ZOOM, OneText(u"\u7F29\u653E\u6253\u5370\u3002"));  // 缩放打印。
    MovePointer(zoom, true);
    EXPECT_EQ(ToolCount(tooltip), 1);
    EXPECT_EQ(TipText(tooltip, zoom), L"\u7F29\u653E\u6253\u5370\u3002");

    // The longest help text the store keeps is shown whole.
    Texts().Load(TextId::LAYOUT_CTEXT_RADIO_ASGRAPHICSYES, OneText(std::u16string(1500, u'h')));
    MovePointer(yes, true);
    EXPECT_EQ(ToolCount(tooltip), 2);
    EXPECT_EQ(TipText(tooltip, yes), std::wstring(1023, L'h'));

    // The controls go on working: the subclass passes every message on.
    SendMessageW(zoom, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(SendMessageW(zoom, BM_GETCHECK, 0, 0), BST_CHECKED);
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace m450
