#include "plugin/open_sheets_win.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

#include "plugin/sheets_win.h"

namespace m450 {
namespace {

// The subclass that takes a sheet out of the register when its window goes.
constexpr UINT_PTR kRegisterSubclass = 0x4D343530;  // "M450"

// Module-wide, behind g_lock.
SRWLOCK g_lock = SRWLOCK_INIT;
std::vector<OpenSheet> g_sheets;

class Exclusive {
  public:
    Exclusive() { AcquireSRWLockExclusive(&g_lock); }
    ~Exclusive() { ReleaseSRWLockExclusive(&g_lock); }
    Exclusive(const Exclusive&) = delete;
    Exclusive& operator=(const Exclusive&) = delete;
};

bool SamePrinter(std::wstring_view a, std::wstring_view b) {
    return !a.empty() && a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

bool OfThisProcess(HWND window) {
    DWORD process = 0;
    return window != nullptr && GetWindowThreadProcessId(window, &process) != 0 && process == GetCurrentProcessId();
}

void Leave(HWND window) {
    const Exclusive lock;
    std::erase_if(g_sheets, [window](const OpenSheet& sheet) { return sheet.window == window; });
}

LRESULT CALLBACK
RegisteredSheetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR kind) {
    if (message == ShowLanguageMessage() && message != 0) {
        ShowLanguageInSheet(window, static_cast<SheetKind>(kind));
        return 0;
    }
    if (message == WM_NCDESTROY) {
        Leave(window);
        RemoveWindowSubclass(window, &RegisteredSheetProc, id);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// A window handle of a sheet that went without its last message reaching us (or was reused by
// another window) must never be sent to.
std::vector<OpenSheet> LiveOnly(std::vector<OpenSheet> sheets) {
    std::erase_if(sheets,
                  [](const OpenSheet& sheet) { return !IsWindow(sheet.window) || !OfThisProcess(sheet.window); });
    return sheets;
}

}  // namespace

void EnterSheetOf(HWND page, SheetKind kind, std::wstring_view printer) {
    const HWND sheet = page != nullptr ? GetParent(page) : nullptr;
    if (!OfThisProcess(sheet))
        return;
    {
        const Exclusive lock;
        if (std::any_of(g_sheets.begin(), g_sheets.end(), [sheet](const OpenSheet& s) { return s.window == sheet; }))
            return;
        try {
            g_sheets.push_back(OpenSheet{kind, std::wstring(printer), sheet});
        } catch (const std::exception&) {
            return;  // not reached by a language switch, nothing worse
        }
    }
    if (!SetWindowSubclass(sheet, &RegisteredSheetProc, kRegisterSubclass, static_cast<DWORD_PTR>(kind)))
        Leave(sheet);
}

std::vector<OpenSheet> OpenSheetsOf(std::wstring_view printer) {
    std::vector<OpenSheet> found;
    try {
        const Exclusive lock;
        for (const OpenSheet& sheet : g_sheets)
            if (SamePrinter(sheet.printer, printer))
                found.push_back(sheet);
    } catch (const std::exception&) {
        return {};
    }
    return LiveOnly(std::move(found));
}

UINT ShowLanguageMessage() {
    static const UINT message = RegisterWindowMessageW(L"M450UI.ShowLanguage");  // made once (a static)
    return message;
}

std::vector<OpenSheet> OpenSheets() {
    try {
        const Exclusive lock;
        return LiveOnly(g_sheets);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace m450
