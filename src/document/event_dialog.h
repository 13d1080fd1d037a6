// The document event operations dialog (template 104): edits the operations of one document
// event in the working copy it is given, opened modally by the Operation page.
#pragma once

#include <windows.h>

#include "document/event_operations.h"

namespace m450 {

// Opens the dialog over `owner` inside the module's activation context. IDOK when the user
// confirmed and `copy` holds the new values; IDCANCEL (copy untouched) or -1 when the dialog
// could not be made.
INT_PTR EditEventOperations(HWND owner, OperationsWorkingCopy& copy);

// The window property of the preview frame (1207) that holds the number of the bitmap it
// shows (136-149), for whoever needs to know which picture is up.
inline constexpr wchar_t kPreviewBitmapProperty[] = L"M450.PreviewBitmap";

// The dialog procedure; WM_INITDIALOG's lParam is the OperationsWorkingCopy to edit.
INT_PTR CALLBACK EventDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
