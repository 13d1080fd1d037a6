// The 1D Code page of the document sheet: the settings of the eight 1D barcode fonts, the
// font size to select in the application, and a test print of the selected font.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK Barcode1DPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
