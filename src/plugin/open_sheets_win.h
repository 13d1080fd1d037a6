// The register of the sheets this process has open with the plug-in's pages: which kind, for
// which printer, in which window. A sheet enters when the first of its pages is made (EnterSheet,
// through the page's Keep*PageContext) and leaves when its window is destroyed. The language
// switch reaches exactly the sheets of its printer through it: never a window found by its
// title, never a window of another process.
//
// Everything here runs on the sheets' threads; the register is behind a lock (hosts show
// sheets on threads of their own), never held across a message send.
#pragma once

#include <windows.h>

#include "core/page_win.h"

#include <string>
#include <string_view>
#include <vector>

namespace m450 {

struct OpenSheet {
    SheetKind kind;
    std::wstring printer;
    HWND window;
};

// The open sheets of `printer` (exact name, as the spooler compares printer names: ignoring
// case), in the order they were entered.
std::vector<OpenSheet> OpenSheetsOf(std::wstring_view printer);

// Every sheet in the register.
std::vector<OpenSheet> OpenSheets();

// The private message a language switch posts to the other sheets (a registered message, so
// that it means nothing to the host's own window procedures).
UINT ShowLanguageMessage();

}  // namespace m450
