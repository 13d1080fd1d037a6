// The Version page of both sheets, opened through M450UI.dll in a real property sheet: its
// texts, a language change reaching it at its next repaint, and the link's hover underline and
// cursor. The pages without their own procedure yet report an apply through the sheet's callback.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "core/version_link.h"
#include "harness.h"
#include "page_test.h"
#include "version_page_ids.h"

namespace {

using m450host::SheetKind;
using m450test::LanguageFolder;
using m450test::PageDriver;
using m450test::SheetDriver;

constexpr wchar_t kEnglishTitle[] = L"KVL-M450 Printer Driver";
constexpr wchar_t kEnglishProduct[] = L"Product: Setup_KVL-M450\nInstall version: v1.0\nUI version: v1.0";
constexpr wchar_t kAddress[] = L"http://www.quorven.example";

class VersionPage : public m450test::PageTest {};

m450::PixelRect PixelRectOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// The link's rectangle, in the page's client coordinates, as the page computes it.
m450::PixelRect LinkRectOf(HWND page) {
    const HWND link = GetDlgItem(page, IDC_VERSION_LINK);
    RECT pageWindow{}, linkWindow{}, pageClient{}, linkClient{};
    GetWindowRect(page, &pageWindow);
    GetWindowRect(link, &linkWindow);
    GetClientRect(page, &pageClient);
    GetClientRect(link, &linkClient);
    return m450::LinkRect(PixelRectOf(pageWindow), PixelRectOf(linkWindow), PixelRectOf(pageClient),
                          PixelRectOf(linkClient), wcslen(kAddress));
}

LOGFONTW LinkFont(HWND page) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendDlgItemMessageW(page, IDC_VERSION_LINK, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof(font), &font);
    return font;
}

HFONT LinkFontHandle(HWND page) {
    return reinterpret_cast<HFONT>(SendDlgItemMessageW(page, IDC_VERSION_LINK, WM_GETFONT, 0, 0));
}

void Mouse(HWND page, UINT message, int x, int y) {
    SendMessageW(page, message, 0, MAKELPARAM(x, y));
}

TEST_F(VersionPage, BothSheetsShowTheVersionTexts) {
    for (const SheetKind kind : {SheetKind::Document, SheetKind::Device}) {
        SheetDriver sheet(kind);
        ASSERT_TRUE(sheet.ok());
        const std::vector<std::wstring> tabs = sheet.TabTexts();
        ASSERT_FALSE(tabs.empty());
        EXPECT_EQ(tabs.back(), L"Version");
        PageDriver page = sheet.ShowPage(L"Version");
        ASSERT_TRUE(page);
        EXPECT_EQ(page.Text(IDC_VERSION_DRIVER_NAME), kEnglishTitle);
        EXPECT_EQ(page.Text(IDC_VERSION_PRODUCT_HEADING), L"Product information:");
        EXPECT_EQ(page.Text(IDC_VERSION_PRODUCT_INFO), kEnglishProduct);
        EXPECT_EQ(page.Text(IDC_VERSION_ADDITIONAL_HEADING), L"Additional information:");
        EXPECT_EQ(page.Text(IDC_VERSION_LINK), kAddress);
        EXPECT_FALSE(page.Text(IDC_VERSION_RIGHTS).empty());
        EXPECT_FALSE(page.Text(IDC_VERSION_RIGHTS_NOTICE).empty());
        EXPECT_FALSE(page.Text(IDC_VERSION_WARNING).empty());
    }
}

TEST_F(VersionPage, LanguageChangeShowsAtTheNextRepaint) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(SheetKind::Document, L"Version"));
    PageDriver& page = page_;
    ASSERT_EQ(page.Text(IDC_VERSION_DRIVER_NAME), kEnglishTitle);

    ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    EXPECT_EQ(page.Text(IDC_VERSION_DRIVER_NAME), kEnglishTitle);  // not before the repaint
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page.Text(IDC_VERSION_DRIVER_NAME), L"KVL-M450 \u6253\u5370\u673A\u9A71\u52A8\u7A0B\u5E8F");
    EXPECT_EQ(page.Text(IDC_VERSION_PRODUCT_HEADING), L"\u4EA7\u54C1\u4FE1\u606F\uFF1A");  // 产品信息：
    const std::wstring product = page.Text(IDC_VERSION_PRODUCT_INFO);
    EXPECT_EQ(product.substr(0, 3), L"\u4EA7\u54C1\uFF1A");  // 产品：
    EXPECT_NE(product.find(L'\n'), std::wstring::npos);
    EXPECT_EQ(page.Text(IDC_VERSION_LINK), kAddress);

    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page.Text(IDC_VERSION_DRIVER_NAME), kEnglishTitle);
}

TEST_F(VersionPage, LinkIsUnderlinedWhileThePointerIsOverIt) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(SheetKind::Device, L"Version"));
    PageDriver& page = page_;
    const HWND window = page.hwnd();
    const m450::PixelRect link = LinkRectOf(window);
    ASSERT_EQ(link.right - link.left, 145);  // 26 characters
    ASSERT_GT(link.bottom, link.top);
    const HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
    const HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);

    LOGFONTW font = LinkFont(window);
    EXPECT_FALSE(font.lfUnderline);
    EXPECT_EQ(font.lfHeight, 13);
    EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");

    Mouse(window, WM_MOUSEMOVE, link.left + 2, link.top + 2);
    EXPECT_TRUE(LinkFont(window).lfUnderline);
    EXPECT_EQ(GetCursor(), hand);
    const HFONT underlined = LinkFontHandle(window);
    Mouse(window, WM_MOUSEMOVE, link.right - 1, link.bottom - 1);  // still inside: nothing changes
    EXPECT_EQ(LinkFontHandle(window), underlined);

    Mouse(window, WM_MOUSEMOVE, link.right, link.top + 2);  // the right edge lies outside
    EXPECT_FALSE(LinkFont(window).lfUnderline);
    EXPECT_EQ(GetCursor(), arrow);

    // The other mouse messages hover as well; a release outside only sets the arrow.
    Mouse(window, WM_RBUTTONDOWN, link.left, link.top);
    EXPECT_TRUE(LinkFont(window).lfUnderline);
    Mouse(window, WM_LBUTTONDOWN, link.left, link.bottom);
    EXPECT_FALSE(LinkFont(window).lfUnderline);
    SetCursor(hand);
    Mouse(window, WM_LBUTTONUP, link.left - 1, link.top);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(VersionPage, PagesReportAnApplyThroughTheSheetsCallback) {
    SheetDriver sheet(SheetKind::Document);
    ASSERT_TRUE(sheet.ok());
    const std::vector<std::wstring> tabs = sheet.TabTexts();
    const size_t pluginPages = sheet.host().pluginPages().size();
    ASSERT_EQ(pluginPages, 6u);
    for (size_t i = tabs.size() - pluginPages; i < tabs.size(); ++i)
        ASSERT_TRUE(sheet.ShowPage(static_cast<int>(i)));
    sheet.Apply();
    // Every page but the Version page reports CPSUI_OK for the sheet's page handle.
    const auto& calls = sheet.host().setResultCalls();
    EXPECT_EQ(calls.size(), 5u);
    for (const m450host::SetResultCall& call : calls) {
        EXPECT_EQ(call.page, sheet.host().pluginPages().back());
        EXPECT_EQ(call.result, CPSUI_OK);
    }
}

}  // namespace
