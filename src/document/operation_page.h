// The Operation page of the document sheet: one button per document event, each opening the
// event operations dialog on a working copy of that event's block of the private record.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
