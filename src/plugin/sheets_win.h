// The assembly of the host's two property sheets: which pages each adds, in which order, and the
// sheet routines DocumentPropertySheets and DevicePropertySheets hand the host's calls to.
#pragma once

#include <span>

#include "core/page_context_win.h"
#include "core/page_win.h"

namespace m450 {

// The pages in the order the sheets add them.
std::span<const PageEntry> DocumentPages();
std::span<const PageEntry> DevicePages();

// The document and device sheet routines: called with the host's sheet info, its lParam and the
// sheet's page context. They check the sheet info, act on its Reason, store the Result and
// return S_OK.
// The document context is the one in a DocumentSheetData (core/density_relabel_win.h).
HRESULT DocumentSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DocumentPageContext* context);
HRESULT DeviceSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DevicePageContext* context);

// The register's subclass calls this on the sheet's own thread when the sheet gets the posted
// message of a language switch made in another sheet.
void ShowLanguageInSheet(HWND sheet, SheetKind kind);

}  // namespace m450
