#include "barcode/hex_input_filter_win.h"

#include <string_view>

namespace m450 {
namespace {

// The edit procedure every filtered field had before the filter: all of them are standard
// edit controls made inside the module's activation context, so one saved procedure serves.
WNDPROC g_editProcedure = nullptr;

constexpr std::wstring_view kHexFieldCharacters = L"0123456789abcdefABCDEF ";

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

LRESULT CALLBACK HexInputFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_CHAR:
            if (KeyDown(VK_TAB)) {
                PostMessageW(GetParent(edit), WM_NEXTDLGCTL, 0, 0);
                return 0;
            }
            if (!HexFieldAccepts(static_cast<wchar_t>(wParam), KeyDown(VK_CONTROL)))
                return 0;
            break;
        default:
            break;
    }
    return CallWindowProcW(g_editProcedure, edit, message, wParam, lParam);
}

}  // namespace

bool HexFieldAccepts(wchar_t typed, bool controlDown) {
    if (typed == L'\b' || typed == L'.' || typed == L'-' || controlDown)
        return true;
    return kHexFieldCharacters.find(typed) != std::wstring_view::npos;
}

bool AttachHexInputFilter(HWND edit) {
    if (edit == nullptr)
        return false;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_WNDPROC));
    if (current == &HexInputFilter)
        return true;
    // A field whose procedure differs from the saved one would be passed to the wrong edit
    // procedure: leave it unfiltered rather than break it.
    if (current == nullptr || (g_editProcedure != nullptr && current != g_editProcedure))
        return false;
    g_editProcedure = current;
    return SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HexInputFilter)) != 0;
}

}  // namespace m450
