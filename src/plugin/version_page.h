// The Version page, the last page of both sheets: the driver's name, the rights lines, product
// and version information and the maker's web address as a link. Its texts follow the current
// language at every repaint.
#pragma once

#include <windows.h>

namespace m450 {

// The document sheet's and the device sheet's copies: one procedure, each copy with its own
// module-wide state.
INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeviceVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The open Version pages (null when that sheet's page is not open): the language change of the
// Layout page sends them WM_PAINT.
HWND DocumentVersionPage();
HWND DeviceVersionPage();

}  // namespace m450
