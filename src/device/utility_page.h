// The Utility page of the device sheet (template 114): the self-test print, the printer's
// user-defined paper sizes (spooler forms "Custom Paper-..."), and the hidden "Control Font"
// button that opens the control-font translation table.
#pragma once

#include <windows.h>

#include "device/form_store.h"

namespace m450 {

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The forms the page works on: the spooler's forms of the sheet's printer, unless a store is
// set here (tests: the spooler under Wine ignores added and deleted forms). Null puts the
// spooler back. The store must outlive every page that uses it.
void SetUtilityFormStore(FormStore* store);

}  // namespace m450
