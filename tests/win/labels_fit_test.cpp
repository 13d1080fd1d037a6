// Every label, push button, check box, radio button and group box of every page and dialog is
// measured in the control's own font against the room its control gives the text, in English,
// Simplified and Traditional Chinese; a text that would be cut fails with its page, control id
// and language. The pages are seen as a user sees them: each group the barcode pages show for
// a type, the event dialog, the control-font table and its translator. The caption font draws
// Chinese too.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "barcode1d_page_ids.h"
#include "barcode_page_shots.h"
#include "barcode2d_page_ids.h"
#include "control_font_ids.h"
#include "harness.h"
#include "operation_page_ids.h"
#include "page_test.h"
#include "utility_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::LanguageFolder;
using m450test::PageDriver;

std::wstring ClassOf(HWND window) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    return name;
}

// The width the control leaves its text (pixels), or -1 for a control without a label text.
// Check boxes and radio buttons draw their box and half a digit's gap before the text (as
// Windows and Wine lay them out); push buttons keep a 3-pixel edge each side; a group box's
// title starts one character in and needs as much room after it.
int TextRoom(HWND control, HDC dc, bool& wraps) {
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    RECT client{};
    GetClientRect(control, &client);
    wraps = false;
    const std::wstring kind = ClassOf(control);
    if (_wcsicmp(kind.c_str(), L"Static") == 0) {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP && type != SS_SIMPLE)
            return -1;
        wraps = type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT;
        return client.right;
    }
    if (_wcsicmp(kind.c_str(), L"Button") != 0)
        return -1;
    INT digit = 0;
    GetCharWidth32W(dc, L'0', L'0', &digit);
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            return client.right - 6;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return client.right - (12 * GetDeviceCaps(dc, LOGPIXELSX) / 96 + 1) - digit / 2;
        case BS_GROUPBOX:
            return client.right - 4 * digit;
        default:
            return -1;
    }
}

// "<view> <id> "<text>": needs <w> x <h>, has <w> x <h>" for each visible control whose text
// does not fit.
void CollectCuts(HWND dialog, const std::wstring& view, std::vector<std::wstring>& cuts) {
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        if ((GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) == 0)
            continue;
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
        if (text.empty())
            continue;
        HDC dc = GetDC(control);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        bool wraps = false;
        const int room = TextRoom(control, dc, wraps);
        RECT client{};
        GetClientRect(control, &client);
        RECT needed{0, 0, room, 0};
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        const bool prefix = ClassOf(control) != L"Static" || (GetWindowLongW(control, GWL_STYLE) & SS_NOPREFIX) == 0;
        if (room > 0)
            DrawTextW(
                dc, text.c_str(), static_cast<int>(text.size()), &needed,
                DT_CALCRECT | DT_EXPANDTABS | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (prefix ? 0 : DT_NOPREFIX));
        SelectObject(dc, old);
        ReleaseDC(control, dc);
        if (room < 0)
            continue;
        // Lines beyond those the control's height holds are cut too (a line counts as held when
        // most of it shows).
        const LONG lines = metrics.tmHeight > 0 ? (needed.bottom + metrics.tmHeight - 1) / metrics.tmHeight : 1;
        const LONG heldLines =
            metrics.tmHeight > 0 ? std::max<LONG>(1, (client.bottom + metrics.tmHeight / 3) / metrics.tmHeight) : 1;
        // Two pixels to spare: disabled text is drawn twice, the second copy a pixel to the right.
        if (needed.right + 2 > room || (wraps && lines > heldLines)) {
            cuts.push_back(view + L" " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\": needs " +
                           std::to_wstring(needed.right) + L" x " + std::to_wstring(lines) + L" lines, has " +
                           std::to_wstring(room) + L" x " + std::to_wstring(heldLines));
        }
    }
}

std::string Narrow(const std::wstring& text) {
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), narrow.data(), size, nullptr, nullptr);
    return narrow;
}

struct Language {
    const wchar_t* file;
    const wchar_t* name;
};
void PrintTo(const Language& language, std::ostream* out) {
    *out << Narrow(language.name);
}

class LabelsFit : public m450test::PageTest, public testing::WithParamInterface<Language> {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, GetParam().file,
                                             std::wstring(L"lang/") + GetParam().file));
        ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, GetParam().file));
    }

    // Every page of the sheet that is the plug-in's, shown in turn; `more` shows further views
    // of a page (by its dialog template's first control) and measures them too.
    void MeasureSheet(SheetKind kind, const std::function<void(PageDriver&, const std::wstring&)>& more) {
        m450test::SheetDriver sheet(kind);
        ASSERT_TRUE(sheet.ok()) << sheet.error();
        const HMODULE dll = GetModuleHandleW(L"M450UI.dll");
        for (int i = 0; i < static_cast<int>(sheet.TabTexts().size()); ++i) {
            PageDriver page = sheet.ShowPage(i);
            if (!page || reinterpret_cast<HMODULE>(GetWindowLongPtrW(page.hwnd(), GWLP_HINSTANCE)) != dll)
                continue;  // the host's own pages
            // Pages reload their texts when painted.
            SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
            const std::wstring view =
                L"[" + std::wstring(GetParam().name) + L"] " + m450test::TabText(sheet.sheet(), i);
            CollectCuts(page.hwnd(), view, cuts_);
            // M450_LABEL_SHOTS=<folder> keeps a picture of each page measured, to look at.
            wchar_t folder[MAX_PATH] = {};
            if (GetEnvironmentVariableW(L"M450_LABEL_SHOTS", folder, MAX_PATH) != 0)
                m450test::ShootSheet(sheet.sheet(), std::wstring(folder) + L"\\" + GetParam().name + L"-" +
                                                        std::to_wstring(static_cast<int>(kind)) + L"-" +
                                                        std::to_wstring(i) + L".png");
            more(page, view);
        }
    }

    void Measure(HWND dialog, const std::wstring& view) {
        SendMessageW(dialog, WM_PAINT, 0, 0);
        CollectCuts(dialog, view, cuts_);
    }

    void ExpectNoCuts() {
        std::wstring all;
        for (const std::wstring& cut : cuts_)
            all += cut + L"\n";
        EXPECT_TRUE(cuts_.empty()) << cuts_.size() << " labels cut:\n" << Narrow(all);
    }

    std::vector<std::wstring> cuts_;
};

TEST_P(LabelsFit, DocumentSheet) {
    MeasureSheet(SheetKind::Document, [this](PageDriver& page, const std::wstring& view) {
        if (page.Exists(IDC_1D_TYPE_COMBO)) {
            page.Choose(IDC_1D_TYPE_COMBO, 9);  // GS1 DataBar
            Measure(page.hwnd(), view + L" GS1");
        } else if (page.Exists(IDC_2D_TYPE_COMBO)) {
            page.Choose(IDC_2D_TYPE_COMBO, 1);  // GS1 DataBar
            Measure(page.hwnd(), view + L" GS1");
            page.Choose(IDC_2D_TYPE_COMBO, 4);  // QR Code
            Measure(page.hwnd(), view + L" QR");
        } else if (page.Exists(IDC_OPERATION_START_DOC_BUTTON)) {
            DialogCatcher catcher;
            catcher.Then([&](HWND dialog) {
                Measure(dialog, view + L" event dialog");
                return IDCANCEL;
            });
            page.Click(IDC_OPERATION_START_DOC_BUTTON);
        }
    });
    ExpectNoCuts();
}

TEST_P(LabelsFit, DeviceSheet) {
    MeasureSheet(SheetKind::Device, [this](PageDriver& page, const std::wstring& view) {
        if (!page.Exists(IDC_UTILITY_CONTROL_FONT_BUTTON))
            return;
        // The table is reached through the Utility page's hidden button, the translator through
        // the table's Edit button with the first character chosen.
        DialogCatcher catcher;
        catcher.Then([&](HWND table) {
            Measure(table, view + L" control-font table");
            HWND list = GetDlgItem(table, IDC_TRANSLATION_LIST);
            LVITEMW item{};
            item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
            PageDriver(table).Click(IDC_TRANSLATION_EDIT_BUTTON);
            return IDCANCEL;
        });
        catcher.Then([&](HWND translator) {
            Measure(translator, view + L" translator");
            return IDCANCEL;
        });
        SendMessageW(page.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_UTILITY_CONTROL_FONT_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(page.Control(IDC_UTILITY_CONTROL_FONT_BUTTON)));
    });
    ExpectNoCuts();
}

// Window captions (message boxes, the Open dialog, the event dialog) are drawn in the system's
// caption font: on every system, Chinese captions show their characters, not the box a font
// draws for a character it lacks (two different characters then look the same).
TEST_P(LabelsFit, CaptionFontDrawsChinese) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 32, 32);
    const HGDIOBJ oldBitmap = SelectObject(dc, canvas);
    HFONT captionFont = CreateFontIndirectW(&metrics.lfCaptionFont);
    const HGDIOBJ oldFont = SelectObject(dc, captionFont);
    const auto draw = [&](const wchar_t* character) {
        const RECT all{0, 0, 32, 32};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        TextOutW(dc, 2, 2, character, 1);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                pixels.push_back(GetPixel(dc, x, y));
        return pixels;
    };
    EXPECT_NE(draw(L"\u9519"), draw(L"\u8BEF")) << "错 and 误 look the same: boxes";  // 错误, "Error"
    EXPECT_NE(draw(L"\u4FE1"), draw(L"\u606F")) << "信 and 息 look the same: boxes";  // 信息, "Information"
    SelectObject(dc, oldFont);
    DeleteObject(captionFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(,
                         LabelsFit,
                         testing::Values(Language{L"ENG_M450.res", L"en"},
                                         Language{L"CHN_M450.res", L"zh-CN"},
                                         Language{L"CHF_M450.res", L"zh-TW"}),
                         [](const testing::TestParamInfo<Language>& info) {
                             return std::string(info.index == 0   ? "English"
                                                : info.index == 1 ? "Simplified"
                                                                  : "Traditional");
                         });

}  // namespace
