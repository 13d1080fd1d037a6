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
#include "utility_page_ids.h"
#include "watermark_page_ids.h"

namespace m450 {
namespace {

// The build knows the DLL by its Unix path; under Wine that becomes a DOS path.
std::wstring WindowsPath(const char* path) {
    using DosNameFunction = WCHAR*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<DosNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (toDos != nullptr) {
        if (WCHAR* dos = toDos(path)) {
            std::wstring result(dos);
            HeapFree(GetProcessHeap(), 0, dos);
            return result;
        }
    }
    return std::wstring(path, path + std::strlen(path));
}

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
        g_moduleInstance = LoadLibraryW(WindowsPath(M450UI_DLL_PATH).c_str());
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

// Each table, control by control, against the dialogs' documented help keys: the control ids
// as the templates number them and the keys as the language files name them, so that a key
// given to the wrong control (two swapped keys) fails.
struct ExpectedHelp {
    int controlId;
    std::u16string_view key;
};

std::vector<std::pair<int, std::u16string>> Sorted(std::span<const ExpectedHelp> expected) {
    std::vector<std::pair<int, std::u16string>> pairs;
    for (const ExpectedHelp& item : expected)
        pairs.emplace_back(item.controlId, std::u16string(item.key));
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::vector<std::pair<int, std::u16string>> Sorted(const HoverTable& table) {
    std::vector<std::pair<int, std::u16string>> pairs;
    for (const HoverItem& item : table)
        pairs.emplace_back(item.controlId, std::u16string(KeyOf(item.help).key));
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::string Printable(const std::vector<std::pair<int, std::u16string>>& pairs) {
    std::string text;
    for (const auto& [id, key] : pairs)
        text += std::to_string(id) + "=" + std::string(key.begin(), key.end()) + " ";
    return text;
}

TEST(HoverHelpKeys, EveryControlHasItsOwnHelpKey) {
    constexpr ExpectedHelp kLayout[] = {
        {1061, u"CTEXT_RADIO_ASGRAPHICSYES"}, {1062, u"CTEXT_RADIO_ASGRAPHICSNO"},
        {1073, u"CTEXT_CHECK_ZOOM"},          {1047, u"CTEXT_SCALE"},
        {1070, u"CTEXT_RADIO_ROTATENOMAL"},   {1071, u"CTEXT_RADIO_ROTATE180"},
        {1020, u"CTEXT_PAPERSIZE"},           {1021, u"CTEXT_LANGUAGE"},
        {1210, u"CTEXT_BUTTON_LOG"},          {1211, u"CTEXT_BUTTON_VIEWER"},
        {1208, u"CTEXT_CHECK_LOG"},           {1052, u"CTEXT_EDIT_LOG"},
    };
    constexpr ExpectedHelp kWatermark[] = {
        {1077, u"CTEXT_RADIO_NO"},       {1061, u"CTEXT_RADIO_IMAGE"},     {1047, u"CTEXT_PICTURE_NAME"},
        {1049, u"CTEXT_SELECT_PICTURE"}, {1078, u"CTEXT_RADIO_TEXT"},      {1020, u"CTEXT_COMBO_TEXT"},
        {1021, u"CTEXT_COMBO_FONTTYPE"}, {1022, u"CTEXT_COMBO_FONTSTYLE"}, {1052, u"CTEXT_EDIT_FONTSIZE"},
        {1018, u"CTEXT_SLIDER_ANGLE"},   {1023, u"CTEXT_COMBO_POSITION"},  {1082, u"CTEXT_SLIDER_SIZE"},
        {1083, u"CTEXT_SLIDER_LIGHT"},
    };
    constexpr ExpectedHelp kEvent[] = {
        {1015, u"CTEXT_SEND_COMMAND"},
        {1016, u"CTEXT_EDIT"},
        {1025, u"CTEXT_OPEN_DRAWER"},
        {1026, u"CTEXT_ORDER_MESSENGER"},
        {1017, u"CTEXT_OPENDRAWER"},
        {1032, u"CTEXT_ORDERMESSENGER"},
        {1027, u"CTEXT_BUZZER"},
        {1024, u"CTEXT_BUZZERVOLUME"},
        {1021, u"CTEXT_PAPER_FEED"},
        {1023, u"CTEXT_FEEDTOPOSITION"},
        {1020, u"CTEXT_PAPER_CUT"},
        {1028, u"CTEXT_PRINT_LOGO"},
        {1029, u"CTEXT_LEFT"},
        {1030, u"CTEXT_CENTERED"},
        {1031, u"CTEXT_RIGHT"},
        {1033, u"CTEXT_BEFORE_CUT"},
        {1034, u"CTEXT_AFTER_CUT"},
        {3, u"CTEXT_IDDEFAULT"},
        {1, u"CTEXT_IDOK"},
        {2, u"CTEXT_IDCANCEL"},
    };
    constexpr ExpectedHelp kBarcode1D[] = {
        {1020, u"CTEXT_FONTNAME"},
        {1022, u"CTEXT_BARCODETYPE"},
        {1206, u"CTEXT_EDIT_WIDTH1D"},
        {1205, u"CTEXT_EDIT_HEIGHT1D"},
        {1023, u"CTEXT_HRIPOSITION"},
        {1060, u"CTEXT_FONTA"},
        {1061, u"CTEXT_FONTB"},
        {1099, u"CTEXT_RADIO_Independence1"},
        {1100, u"CTEXT_RADIO_Complex1"},
        {1049, u"CTEXT_EDIT_GS1WIDTH"},
        {1050, u"CTEXT_EDIT_GS1HEIGHT"},
        {1051, u"CTEXT_EDIT_ComplexHEIGHT"},
        {1059, u"CTEXT_EDIT_SeparatorHEIGHT"},
        {1025, u"CTEXT_CMB_HRI"},
        {1026, u"CTEXT_CMB_AI"},
        {1104, u"CTEXT_EDIT_PRINT"},
        {1036, u"CTEXT_BUTTON_PRINT"},
    };
    constexpr ExpectedHelp kBarcode2D[] = {
        {1201, u"CTEXT_FONTNAME2D"},
        {1202, u"CTEXT_BARCODETYPE2D"},
        {1049, u"CTEXT_EDIT_COLUMN"},
        {1203, u"CTEXT_EDIT_WIDTH2D"},
        {1050, u"CTEXT_EDIT_ROW"},
        {1204, u"CTEXT_EDIT_HEIGHT2D"},
        {1023, u"CTEXT_ERRORCORRECTIONLEVEL"},
        {1097, u"CTEXT_RADIO_Independence"},
        {1098, u"CTEXT_RADIO_Complex"},
        {1051, u"CTEXT_EDIT_GS1WIDTH2"},
        {1059, u"CTEXT_EDIT_ComplexHEIGHT2"},
        {1052, u"CTEXT_EDIT_GS1HEIGHT2"},
        {1061, u"CTEXT_EDIT_SeparatorHEIGHT2"},
        {1078, u"CTEXT_EDIT_SECTIONNUM"},
        {1024, u"CTEXT_CMB_HRI2"},
        {1025, u"CTEXT_CMB_AI2"},
        {1071, u"CTEXT_EDIT_QRWIDTH"},
        {1026, u"CTEXT_CMB_FONTMODE"},
        {1027, u"CTEXT_CMB_TYPE"},
        {1028, u"CTEXT_CMB_ERROR"},
        {1107, u"CTEXT_EDIT_PRINT2D"},
        {1106, u"CTEXT_BUTTON_PRINT2D"},
    };
    constexpr ExpectedHelp kUtility[] = {
        {1036, u"CTEXT_SELFTEST"},    {1094, u"CTEXT_LIST_PAPERSIZE"}, {1049, u"CTEXT_BUTTON_DELETE"},
        {1046, u"CTEXT_BUTTON_SAVE"}, {1052, u"CTEXT_EDIT_FORMNAME"},  {1047, u"CTEXT_EDIT_WIDTH"},
        {1048, u"CTEXT_EDIT_HEIGHT"},
    };
    constexpr ExpectedHelp kDownload[] = {
        {1039, u"CTEXT_EDIT_FIREWARE"},
        {1040, u"CTEXT_BROWSE_FIREWARE"},
        {1036, u"CTEXT_DOWNLOAD_FIREWARE"},
        {1041, u"CTEXT_LIST_LOGO"},
        {1087, u"CTEXT_ORIGINAL"},
        {1061, u"CTEXT_MONO"},
        {1088, u"CTEXT_GRAY"},
        {1089, u"CTEXT_NONE"},
        {1090, u"CTEXT_DITHERM3"},
        {1091, u"CTEXT_DITHERM4"},
        {1092, u"CTEXT_DIFFUSE"},
        {1095, u"CTEXT_SLIDER_CONTRAST"},
        {1083, u"CTEXT_SLIDER_BRIGHTNESS"},
        {1042, u"CTEXT_LOGO_ADD"},
        {1043, u"CTEXT_LOGO_DELETE"},
        {1044, u"CTEXT_LOGO_DOWNLOAD"},
        {1045, u"CTEXT_LOGO_CLEARALLLOGOS"},
    };
    const std::pair<const HoverTable*, std::span<const ExpectedHelp>> tables[] = {
        {&kLayoutHoverHelp, kLayout},       {&kWatermarkHoverHelp, kWatermark}, {&kEventHoverHelp, kEvent},
        {&kBarcode1DHoverHelp, kBarcode1D}, {&kBarcode2DHoverHelp, kBarcode2D}, {&kUtilityHoverHelp, kUtility},
        {&kDownloadHoverHelp, kDownload},
    };
    for (const auto& [table, expected] : tables) {
        const auto got = Sorted(*table);
        const auto want = Sorted(expected);
        EXPECT_EQ(got, want) << "table:    " << Printable(got) << "\nexpected: " << Printable(want);
    }
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
