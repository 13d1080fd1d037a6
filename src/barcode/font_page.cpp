#include "barcode/font_page.h"

#include <commctrl.h>

#include <span>

#include "core/language_win.h"
#include "core/module_win.h"
#include "core/page_procedure_win.h"
#include "font_page_ids.h"

namespace m450 {
namespace {

// Images of the tree's image list, in the order the icons are appended.
enum TreeImage { kRootImage = 0, kGroupImage = 1, kSizeImage = 2 };
constexpr int kTreeIcons[] = {IDI_FONT_TREE_ROOT, IDI_FONT_TREE_GROUP, IDI_FONT_TREE_SIZE};
constexpr int kIconSize = 16;

// Each entry: the font and its magnifications (horizontal, vertical), then the point size to
// select, right-aligned. Font A is 24 dots high at 180 dpi, Font B 17; the sizes are those
// heights put on a half point.
struct FontGroup {
    const wchar_t* name;
    std::span<const wchar_t* const> entries;
};
constexpr const wchar_t* kFontAEntries[] = {
    L"FontA11    9.5", L"FontA12    19.0", L"FontA21    9.5", L"FontA22   19.0",
    L"FontA24   38.5", L"FontA42   19.0",  L"FontA44   38.5",
};
constexpr const wchar_t* kFontBEntries[] = {
    L"FontB11    7.0", L"FontB12    13.5", L"FontB21    7.0", L"FontB22   13.5",
    L"FontB24   27.0", L"FontB42   13.5",  L"FontB44   27.0",
};
constexpr const wchar_t* kControlFontEntries[] = {L"Control    1.0"};
constexpr FontGroup kFontGroups[] = {
    {L"Font A", kFontAEntries},
    {L"Font B", kFontBEntries},
    {L"Control Font", kControlFontEntries},
};
// The root's text until the first paint puts the language's on it.
constexpr wchar_t kRootText[] = L"Printer Fonts and Font Sizes";

// One copy of the page, owned by its window: the tree's root item and the tree's image list.
struct FontPageState {
    HTREEITEM root = nullptr;
    HIMAGELIST images = nullptr;
};

HWND Tree(HWND page) {
    return GetDlgItem(page, IDC_FONT_TREE);
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, const wchar_t* text, int image) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    return TreeView_InsertItem(tree, &insert);
}

HIMAGELIST MakeImages() {
    const HIMAGELIST images = ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 3, 0);
    if (images == nullptr)
        return nullptr;
    for (const int id : kTreeIcons) {
        const auto icon = static_cast<HICON>(
            LoadImageW(g_moduleInstance, MAKEINTRESOURCEW(id), IMAGE_ICON, kIconSize, kIconSize, LR_DEFAULTCOLOR));
        if (icon == nullptr)
            continue;
        ImageList_ReplaceIcon(images, -1, icon);
        DestroyIcon(icon);
    }
    return images;
}

void BuildTree(HWND page, FontPageState& state) {
    const HWND tree = Tree(page);
    state.images = MakeImages();
    TreeView_SetImageList(tree, state.images, TVSIL_NORMAL);
    TreeView_DeleteAllItems(tree);
    state.root = InsertItem(tree, TVI_ROOT, kRootText, kRootImage);
    for (const FontGroup& group : kFontGroups) {
        const HTREEITEM groupItem = InsertItem(tree, state.root, group.name, kGroupImage);
        for (const wchar_t* entry : group.entries)
            InsertItem(tree, groupItem, entry, kSizeImage);
        TreeView_Expand(tree, groupItem, TVE_EXPAND);
    }
    TreeView_Expand(tree, state.root, TVE_EXPAND);
    TreeView_SelectItem(tree, state.root);
}

void ShowRootTitle(HWND page, const FontPageState& state) {
    if (state.root == nullptr)
        return;
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = state.root;
    item.pszText = const_cast<wchar_t*>(WText(TextId::FONT_RC_RONT_TREETITLE));
    TreeView_SetItem(Tree(page), &item);
}

constexpr ControlText kTexts[] = {{IDC_FONT_NOTICE, TextId::FONT_RC_STATIC_FONT_NOTICE}};

INT_PTR Start(HWND page, FontPageState& state, LPARAM) {
    BuildTree(page, state);
    return TRUE;
}

INT_PTR Repaint(HWND page, FontPageState& state) {
    ShowRootTitle(page, state);
    PAINTSTRUCT paint{};
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    return TRUE;
}

INT_PTR OnCommand(HWND, FontPageState&, WORD, WORD) {
    return TRUE;
}

// The tree does not own its image list: it lets go of it before the list is destroyed.
void Release(HWND page, FontPageState& state) {
    TreeView_SetImageList(Tree(page), nullptr, TVSIL_NORMAL);
    if (state.images != nullptr)
        ImageList_Destroy(state.images);
    state = {};
}

constexpr PageParts<FontPageState> kParts = {
    .host = PageHost::DeviceSheet,
    .section = kFontSection,
    .texts = kTexts,
    .start = Start,
    .command = OnCommand,
    .paint = Repaint,
    .finish = Release,
};

}  // namespace

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
