// What one copy of a page or dialog keeps, owned by its window: made at WM_INITDIALOG, found
// through a window property, freed at WM_DESTROY. Two sheets of two printers can be open in one
// process at once, so nothing a page keeps lives module-wide.
//
//   case WM_INITDIALOG: MakePageState<LayoutState>(page); ...
//   LayoutState* state = PageStateOf<LayoutState>(page);   // null before WM_INITDIALOG and
//                                                           // after WM_DESTROY
//   case WM_DESTROY:    FreePageState<LayoutState>(page); ...
#pragma once

#include <windows.h>

#include <new>

namespace m450 {

inline constexpr wchar_t kPageStateProperty[] = L"M450.PageState";

template <typename State>
State* PageStateOf(HWND window) {
    return window != nullptr ? static_cast<State*>(GetPropW(window, kPageStateProperty)) : nullptr;
}

// A fresh state for the window (replacing none: a second call returns the first state). Null
// when memory or the property could not be had; the page then does nothing for that window.
template <typename State>
State* MakePageState(HWND window) {
    if (State* existing = PageStateOf<State>(window))
        return existing;
    State* state = new (std::nothrow) State{};
    if (state != nullptr && !SetPropW(window, kPageStateProperty, state)) {
        delete state;
        return nullptr;
    }
    return state;
}

template <typename State>
void FreePageState(HWND window) {
    delete static_cast<State*>(RemovePropW(window, kPageStateProperty));
}

// A flag kept as a property of a window: set, cleared (the property removed), read. A flag left
// set must be cleared before the window goes.
bool WindowFlag(HWND window, const wchar_t* name);
void SetWindowFlag(HWND window, const wchar_t* name, bool on);

// A flag that the pages of one sheet share, kept on the sheet's window (the page's parent), so
// that it goes with that sheet.
bool SheetFlag(HWND page, const wchar_t* name);
void SetSheetFlag(HWND page, const wchar_t* name, bool on);

// Sets the window's flag for the life of the object, then gives it back its previous value: a
// guard against a page's own writes coming back to it as notifications.
class WindowFlagScope {
  public:
    WindowFlagScope(HWND window, const wchar_t* name)
        : window_(window), name_(name), previous_(WindowFlag(window, name)) {
        SetWindowFlag(window_, name_, true);
    }
    ~WindowFlagScope() { SetWindowFlag(window_, name_, previous_); }
    WindowFlagScope(const WindowFlagScope&) = delete;
    WindowFlagScope& operator=(const WindowFlagScope&) = delete;

  private:
    HWND window_;
    const wchar_t* name_;
    bool previous_;
};

}  // namespace m450
