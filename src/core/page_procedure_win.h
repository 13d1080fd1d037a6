// The dialog procedure every page and modal dialog of the plug-in runs: a page names its parts,
// RunPage does the rest.
//
//   constexpr PageParts<OperationPageState> kParts = {
//       .host = PageHost::DocumentSheet, .section = kOperationSection, .texts = kTexts, .command = OnCommand};
//   INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
//       return RunPage(kParts, page, message, wParam, lParam);
//   }
//
// WM_INITDIALOG keeps the sheet's page context (a page) and shows the texts, makes the state and
// calls `start`; a modal dialog whose state cannot be made ends at once (-1). WM_PAINT reloads the
// language section and shows the texts again, then calls `paint`. WM_COMMAND, WM_NOTIFY and every
// other message go to their part once the state is there; the property-sheet notifications a page
// does not answer itself get the usual answers (AnswerPageNotification). WM_DESTROY calls `finish`
// and frees the state. Nothing thrown leaves: a message that throws (memory ran short in a
// long-running host) ends with FALSE and the page keeps what it showed.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>
#include <type_traits>

#include "core/page_state_win.h"
#include "core/page_win.h"

namespace m450 {

// Where a page runs: on which sheet (whose page context WM_INITDIALOG keeps), or as a modal
// dialog (whose request arrives as WM_INITDIALOG's lParam).
enum class PageHost { DocumentSheet, DeviceSheet, ModalDialog };

// The state of a page that keeps nothing: no window property is made for it.
struct NoPageState {};

// Every part is optional.
template <typename State>
struct PageParts {
    PageHost host = PageHost::DocumentSheet;
    // Reloaded at WM_PAINT before the texts are shown; empty: none.
    std::u16string_view section;
    // Shown at WM_INITDIALOG and at WM_PAINT (ShowControlTexts).
    std::span<const ControlText> texts;
    // WM_INITDIALOG, after the context is kept, the texts shown and the state made; its answer is
    // the message's (TRUE: the system gives the first control the focus). Without it: TRUE.
    INT_PTR (*start)(HWND page, State& state, LPARAM lParam) = nullptr;
    // WM_COMMAND; without it: FALSE.
    INT_PTR (*command)(HWND page, State& state, WORD control, WORD code) = nullptr;
    // WM_NOTIFY; nullopt leaves the answer to AnswerPageNotification.
    std::optional<INT_PTR> (*notify)(HWND page, State& state, const NMHDR& header) = nullptr;
    // WM_PAINT, after the texts; without it: FALSE.
    INT_PTR (*paint)(HWND page, State& state) = nullptr;
    // Any other message; without it: FALSE.
    INT_PTR (*other)(HWND page, State& state, UINT message, WPARAM wParam, LPARAM lParam) = nullptr;
    // WM_DESTROY, before the state is freed.
    void (*finish)(HWND page, State& state) = nullptr;
};

// The answers of a page to the property-sheet notifications it leaves to the skeleton:
// PSN_SETACTIVE and PSN_KILLACTIVE 0 (the page may be entered and left); PSN_APPLY reports the
// change applied to the sheet, marks the page unchanged and answers PSNRET_NOERROR. FALSE for
// every other notification and in a modal dialog.
INT_PTR AnswerPageNotification(HWND page, PageHost host, const NMHDR& header);

// WM_INITDIALOG's first step: keeps the page record's context of a sheet's page (nothing for a
// modal dialog), and shows the texts.
void StartPageWindow(HWND page, PageHost host, LPARAM lParam, std::span<const ControlText> texts);
// WM_PAINT's first step: the section reloaded (when there is one) and the texts shown.
void RepaintPageTexts(HWND page, std::u16string_view section, std::span<const ControlText> texts);

// The page's state; null before WM_INITDIALOG made it and after WM_DESTROY. A state that holds
// nothing is one object for every page.
template <typename State>
State* RunningPageState(HWND page) {
    if constexpr (std::is_empty_v<State>) {
        static State none;
        return &none;
    } else {
        return PageStateOf<State>(page);
    }
}

template <typename State>
INT_PTR StartPage(const PageParts<State>& parts, HWND page, LPARAM lParam) {
    StartPageWindow(page, parts.host, lParam, parts.texts);
    State* state = std::is_empty_v<State> ? RunningPageState<State>(page) : MakePageState<State>(page);
    if (state == nullptr) {
        if (parts.host == PageHost::ModalDialog)
            EndDialog(page, -1);
        return parts.host == PageHost::ModalDialog ? FALSE : TRUE;
    }
    return parts.start != nullptr ? parts.start(page, *state, lParam) : TRUE;
}

template <typename State>
INT_PTR PageMessage(const PageParts<State>& parts, HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG)
        return StartPage(parts, page, lParam);
    State* state = RunningPageState<State>(page);
    if (state == nullptr)
        return FALSE;
    switch (message) {
        case WM_PAINT:
            RepaintPageTexts(page, parts.section, parts.texts);
            return parts.paint != nullptr ? parts.paint(page, *state) : FALSE;
        case WM_COMMAND:
            return parts.command != nullptr ? parts.command(page, *state, LOWORD(wParam), HIWORD(wParam)) : FALSE;
        case WM_NOTIFY: {
            if (lParam == 0)
                return FALSE;
            const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
            if (parts.notify != nullptr)
                if (const std::optional<INT_PTR> answer = parts.notify(page, *state, header))
                    return *answer;
            return AnswerPageNotification(page, parts.host, header);
        }
        default:
            return parts.other != nullptr ? parts.other(page, *state, message, wParam, lParam) : FALSE;
    }
}

// The state goes whatever `finish` does.
template <typename State>
void FinishPage(const PageParts<State>& parts, HWND page) noexcept {
    State* state = RunningPageState<State>(page);
    if (state == nullptr)
        return;
    try {
        if (parts.finish != nullptr)
            parts.finish(page, *state);
    } catch (...) {
    }
    if constexpr (!std::is_empty_v<State>)
        FreePageState<State>(page);
}

template <typename State>
INT_PTR RunPage(const PageParts<State>& parts, HWND page, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_DESTROY) {
        FinishPage(parts, page);
        return FALSE;
    }
    try {
        return PageMessage(parts, page, message, wParam, lParam);
    } catch (...) {
        return FALSE;
    }
}

}  // namespace m450
