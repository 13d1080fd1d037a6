// The Layout page ("Main", template 128) of the document sheet: the driver log, printing text as
// graphics, zoom, the hidden rotation, the paper size as a view of the host's form-name item,
// and the language of every open page with the switch of the open sheets' tabs.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK LayoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
