// The control-font dialogs: the character translation table (template 115), which lists the
// 96 characters of the driver's "Control Font" with their commands and saves M450CONTROL.dat,
// and the translator of one character (template 116), opened from the table to edit a command
// as hex byte text. Their texts are their templates' own.
#pragma once

#include <windows.h>

namespace m450 {

// Opens the table modally over `owner` (the Utility page). IDOK after a successful save,
// IDCANCEL otherwise (the file is then untouched).
INT_PTR OpenControlFontTable(HWND owner);

}  // namespace m450
