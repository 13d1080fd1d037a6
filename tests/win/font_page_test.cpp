// The Font page in the device sheet opened through M450UI.dll: the fixed tree with its exact
// texts, icons and expansion, the root retitled from the language file at paint, and apply.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "barcode_page_shots.h"
#include "font_page_ids.h"
#include "harness.h"
#include "page_test.h"

namespace {

using m450host::SheetKind;
using m450test::LanguageFolder;
using m450test::PageDriver;
using m450test::SheetDriver;

struct Item {
    std::wstring text;
    int image;
    bool expanded;
    size_t children;
};

Item Read(HWND tree, HTREEITEM handle) {
    wchar_t text[128] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE | TVIF_CHILDREN;
    item.hItem = handle;
    item.pszText = text;
    item.cchTextMax = 128;
    item.stateMask = TVIS_EXPANDED;
    TreeView_GetItem(tree, &item);
    EXPECT_EQ(item.iImage, item.iSelectedImage) << text;
    size_t children = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, handle); child; child = TreeView_GetNextSibling(tree, child))
        ++children;
    return {text, item.iImage, (item.state & TVIS_EXPANDED) != 0, children};
}

std::vector<std::wstring> ChildTexts(HWND tree, HTREEITEM parent, int image) {
    std::vector<std::wstring> texts;
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child)) {
        const Item item = Read(tree, child);
        EXPECT_EQ(item.image, image) << item.text;
        texts.push_back(item.text);
    }
    return texts;
}

class FontPage : public m450test::PageTest {};

TEST_F(FontPage, TreeListsTheFontsExpandedWithTheRootSelected) {
    ASSERT_NO_FATAL_FAILURE(OpenPage(SheetKind::Device, L"Font"));
    SheetDriver& sheet = *sheet_;
    PageDriver& page = page_;
    const HWND tree = page.Control(IDC_FONT_TREE);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(page.Text(IDC_FONT_NOTICE), L"Select this font size in the application. ");

    const HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(images), 3);
    int width = 0, height = 0;
    ASSERT_TRUE(ImageList_GetIconSize(images, &width, &height));
    EXPECT_EQ(width, 16);
    EXPECT_EQ(height, 16);

    const HTREEITEM root = TreeView_GetRoot(tree);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(TreeView_GetNextSibling(tree, root), nullptr);
    EXPECT_EQ(TreeView_GetSelection(tree), root);
    const Item rootItem = Read(tree, root);
    EXPECT_EQ(rootItem.text, L"Printer Fonts and Font Sizes");
    EXPECT_EQ(rootItem.image, 0);
    EXPECT_TRUE(rootItem.expanded);
    EXPECT_EQ(ChildTexts(tree, root, 1), (std::vector<std::wstring>{L"Font A", L"Font B", L"Control Font"}));

    const std::vector<std::vector<std::wstring>> entries = {
        {L"FontA11    9.5", L"FontA12    19.0", L"FontA21    9.5", L"FontA22   19.0", L"FontA24   38.5",
         L"FontA42   19.0", L"FontA44   38.5"},
        {L"FontB11    7.0", L"FontB12    13.5", L"FontB21    7.0", L"FontB22   13.5", L"FontB24   27.0",
         L"FontB42   13.5", L"FontB44   27.0"},
        {L"Control    1.0"},
    };
    size_t group = 0;
    for (HTREEITEM child = TreeView_GetChild(tree, root); child;
         child = TreeView_GetNextSibling(tree, child), ++group) {
        ASSERT_LT(group, entries.size());
        EXPECT_TRUE(Read(tree, child).expanded);
        EXPECT_EQ(ChildTexts(tree, child, 2), entries[group]);
    }
    EXPECT_EQ(group, 3u);
    m450test::SavePageShot(sheet.sheet(), L"font");

    // The root follows the language file at the next paint.
    ASSERT_TRUE(
        files_.InstallText(LanguageFolder::PerUser, L"TST_M450.res",
                           L"[FONT]\r\nRC_RONT_TREETITLE=Resident fonts\r\nRC_STATIC_FONT_NOTICE=Pick a size.\r\n"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"TST_M450.res"));
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(Read(tree, root).text, L"Resident fonts");
    EXPECT_EQ(page.Text(IDC_FONT_NOTICE), L"Pick a size.");
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    SendMessageW(page.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(Read(tree, root).text, L"Printer Fonts and Font Sizes");

    sheet.Apply();
    ASSERT_FALSE(sheet.host().setResultCalls().empty());
    EXPECT_EQ(sheet.host().setResultCalls().back().result, CPSUI_OK);
}

}  // namespace
