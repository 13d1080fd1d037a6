// The Watermark page ("Water Mark", template 131) of the document sheet: no watermark, a bitmap
// or a text, its position, size and brightness, a live preview, and the picture file that the
// printing side of the driver prints.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK WatermarkPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
