// The input filter of the fields where printer command bytes are typed as hex byte text
// (hex_text.h): only hexadecimal digits, the space and a few editing characters reach the
// edit control; Tab moves on to the next control; with Ctrl held every character passes, so
// the clipboard shortcuts keep working. A paste is filtered as typing is: text of hex digits
// and white space goes in (tabs and line breaks as spaces); anything else is refused whole
// with a beep (PastedCommandText in hex_text.h).
//
// Used by the document event dialog's command field and the control-font translator's
// command field, both standard edit controls: they share the one saved edit procedure.
//
//   case WM_INITDIALOG:
//       AttachHexInputFilter(GetDlgItem(dialog, IDC_EVENT_COMMAND_EDIT));  // before hover help
#pragma once

#include <windows.h>

namespace m450 {

// Subclasses the edit. False, leaving the edit as it was, when there is no edit, when its
// procedure is not the standard edit procedure the filter already passes messages to, or when
// the subclassing fails. Attaching twice to the same edit does nothing the second time.
bool AttachHexInputFilter(HWND edit);

// Whether a typed character reaches a filtered field (Tab is handled before this).
bool HexFieldAccepts(wchar_t typed, bool controlDown);

}  // namespace m450
