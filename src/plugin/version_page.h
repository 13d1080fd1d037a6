// The Version page, the last page of both sheets: the driver's name, the rights lines, product
// and version information and the maker's web address as a link. Its texts follow the current
// language at every repaint.
#pragma once

#include <windows.h>

namespace m450 {

// The document sheet's and the device sheet's copies: one procedure; each open copy keeps its
// link fonts with its own window.
INT_PTR CALLBACK DocumentVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DeviceVersionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
