// The 2D Code page of the document sheet: the settings of the two 2D barcode fonts (PDF417,
// the stacked GS1 DataBar types, QR Code, MaxiCode) and a test print of the selected font.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK Barcode2DPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
