#include "core/hover_help_win.h"

#include <commctrl.h>

#include <array>
#include <memory>
#include <new>

#include "core/module_win.h"
#include "core/language_win.h"

namespace m450 {
namespace {

// Window properties: the dialog's bookkeeping on the dialog, each control's entry on the control.
constexpr wchar_t kDialogProperty[] = L"M450.HoverHelp";
constexpr wchar_t kControlProperty[] = L"M450.HoverControl";

constexpr UINT kAutomaticDelayMs = 1000;
constexpr LPARAM kMaxTipWidth = 300;
constexpr size_t kHelpTextCapacity = 1024;

struct HoverHelp;

// One subclassed control: the procedure it had before, its help text, and whether the tooltip
// knows it yet.
struct HoverControl {
    HoverHelp* owner = nullptr;
    HWND control = nullptr;
    WNDPROC previous = nullptr;
    TextId help{};
    bool registered = false;
};

// A dialog's tooltip and its subclassed controls; freed when the last of them is destroyed.
struct HoverHelp {
    HWND dialog = nullptr;
    HWND tooltip = nullptr;
    std::unique_ptr<HoverControl[]> controls;
    size_t alive = 0;
};

HWND CreateTooltip(HWND dialog) {
    const ActivationScope scope;
    const HWND tooltip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, g_moduleInstance, nullptr);
    if (tooltip != nullptr) {
        SendMessageW(tooltip, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(kAutomaticDelayMs, 0));
        SendMessageW(tooltip, TTM_SETMAXTIPWIDTH, 0, kMaxTipWidth);
    }
    return tooltip;
}

// The control's help text as the store holds it now, so that a language change shows at the
// next hover.
void RegisterOrUpdateTip(HoverControl& entry) {
    std::array<wchar_t, kHelpTextCapacity> text{};
    const std::u16string_view help = CutToCapacity(Texts().View(entry.help), text.size());
    help.copy(reinterpret_cast<char16_t*>(text.data()), help.size());

    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = entry.control;
    GetClientRect(entry.control, &tool.rect);
    tool.hinst = g_moduleInstance;
    tool.lpszText = text.data();
    if (entry.registered) {
        SendMessageW(entry.owner->tooltip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(entry.owner->tooltip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
    } else {
        entry.registered = SendMessageW(entry.owner->tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
    }
}

bool PointerInside(HWND control) {
    POINT pointer{};
    RECT window{};
    return GetCursorPos(&pointer) && GetWindowRect(control, &window) && PtInRect(&window, pointer);
}

void Forget(HoverControl& entry) {
    RemovePropW(entry.control, kControlProperty);
    HoverHelp* owner = entry.owner;
    if (--owner->alive == 0) {
        RemovePropW(owner->dialog, kDialogProperty);
        delete owner;
    }
}

LRESULT CALLBACK HoverProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* entry = static_cast<HoverControl*>(GetPropW(control, kControlProperty));
    if (entry == nullptr)
        return DefWindowProcW(control, message, wParam, lParam);
    const WNDPROC previous = entry->previous;
    if (message == WM_MOUSEMOVE && entry->owner->tooltip != nullptr && PointerInside(control))
        RegisterOrUpdateTip(*entry);
    if (message == WM_NCDESTROY)
        Forget(*entry);
    return CallWindowProcW(previous, control, message, wParam, lParam);
}

}  // namespace

HWND HoverTooltipOf(HWND dialog) {
    const auto* help = static_cast<const HoverHelp*>(GetPropW(dialog, kDialogProperty));
    return help != nullptr ? help->tooltip : nullptr;
}

HWND AttachHoverHelp(HWND dialog, int templateId) {
    return AttachHoverHelp(dialog, HoverTableOf(templateId));
}

HWND AttachHoverHelp(HWND dialog, HoverTable table) {
    if (dialog == nullptr || table.empty())
        return nullptr;
    if (GetPropW(dialog, kDialogProperty) != nullptr)
        return HoverTooltipOf(dialog);
    auto help = std::unique_ptr<HoverHelp>(new (std::nothrow) HoverHelp);
    if (!help)
        return nullptr;
    help->controls.reset(new (std::nothrow) HoverControl[table.size()]);
    if (!help->controls)
        return nullptr;
    help->dialog = dialog;
    help->tooltip = CreateTooltip(dialog);
    if (!SetPropW(dialog, kDialogProperty, help.get())) {
        if (help->tooltip != nullptr)
            DestroyWindow(help->tooltip);
        return nullptr;
    }
    for (const HoverItem& item : table) {
        const HWND control = GetDlgItem(dialog, item.controlId);
        if (control == nullptr)
            continue;
        HoverControl& entry = help->controls[help->alive];
        entry = HoverControl{help.get(), control, nullptr, item.help, false};
        if (!SetPropW(control, kControlProperty, &entry))
            continue;
        entry.previous =
            reinterpret_cast<WNDPROC>(SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HoverProc)));
        if (entry.previous == nullptr) {
            RemovePropW(control, kControlProperty);
            continue;
        }
        ++help->alive;
    }
    const HWND tooltip = help->tooltip;
    if (help->alive == 0) {
        RemovePropW(dialog, kDialogProperty);
        return tooltip;
    }
    help.release();  // owned by the controls from here on
    return tooltip;
}

}  // namespace m450
