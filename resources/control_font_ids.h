// Control identifiers of the two control-font dialogs: the translation table (template 115),
// opened from the Utility page, and the translator of one character (template 116), opened from
// the table. Shared by dialogs.rc and the dialogs. Their texts are the templates' own.
#pragma once

#define IDD_CONTROL_FONT_TABLE 115
#define IDC_TRANSLATION_DRIVER_NAME_EDIT 1047   // read-only, "Driver Name:"
#define IDC_TRANSLATION_LIST 1048               // report list: Char, Hex, Command
#define IDC_TRANSLATION_EDIT_BUTTON 1016        // "Edit"
#define IDC_TRANSLATION_DELETE_BUTTON 1036      // "Delete"
// IDOK saves the file, IDCANCEL leaves it.

#define IDD_CONTROL_FONT_TRANSLATOR 116
#define IDC_TRANSLATOR_CHAR_EDIT 1047           // read-only, "Char"
#define IDC_TRANSLATOR_HEX_EDIT 1048            // read-only, "Hex"
#define IDC_TRANSLATOR_COMMAND_EDIT 1052        // multi-line hex byte text, "Command"
// IDOK (default button) and IDCANCEL.
