#include "barcode/hex_input_filter_win.h"

#include <string_view>

namespace m450 {
namespace {

// The procedure each filtered field had before the filter, kept with the field: fields made in
// and out of an activation context have different edit procedures.
constexpr wchar_t kEditProcedureProperty[] = L"M450.EditProcedure";

WNDPROC EditProcedureOf(HWND edit) {
    return reinterpret_cast<WNDPROC>(GetPropW(edit, kEditProcedureProperty));
}

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
        case WM_NCDESTROY: {
            const WNDPROC previous = EditProcedureOf(edit);
            RemovePropW(edit, kEditProcedureProperty);
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            return CallWindowProcW(previous, edit, message, wParam, lParam);
        }
        default:
            break;
    }
    const WNDPROC previous = EditProcedureOf(edit);
    return previous != nullptr ? CallWindowProcW(previous, edit, message, wParam, lParam)
                               : DefWindowProcW(edit, message, wParam, lParam);
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
    if (current == nullptr || !SetPropW(edit, kEditProcedureProperty, reinterpret_cast<HANDLE>(current)))
        return false;
    if (SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HexInputFilter)) == 0) {
        RemovePropW(edit, kEditProcedureProperty);
        return false;
    }
    return true;
}

}  // namespace m450
