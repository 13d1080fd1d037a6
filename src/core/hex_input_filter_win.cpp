#include "core/hex_input_filter_win.h"

#include <string>
#include <string_view>

#include "core/hex_text.h"
#include "core/language_win.h"

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

std::u16string ClipboardText(HWND owner) {
    std::u16string text;
    if (!OpenClipboard(owner))
        return text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* chars = static_cast<const char16_t*>(GlobalLock(data)); chars != nullptr) {
            const size_t capacity = GlobalSize(data) / sizeof(char16_t);
            size_t length = 0;
            while (length < capacity && chars[length] != u'\0')
                ++length;
            text.assign(chars, length);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

// Ctrl+V, Shift+Insert and the context menu's Paste all arrive here. The edit inserts the
// filtered text itself (EM_REPLACESEL keeps the field's length limit and sends EN_CHANGE).
void PasteFiltered(HWND edit) {
    if ((GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0)
        return;
    const std::optional<std::u16string> text = PastedCommandText(ClipboardText(edit));
    if (!text) {
        MessageBeep(MB_OK);
        return;
    }
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(WStr(*text)));
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
        case WM_PASTE:
            PasteFiltered(edit);
            return 0;
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
