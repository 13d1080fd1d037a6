// The Font page of the device sheet: a fixed tree of the printer's resident fonts with the
// point size to select in an application for each magnification. It stores and sends nothing.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK FontPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
