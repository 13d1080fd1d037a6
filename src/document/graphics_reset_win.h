// What the document sheet's pages share: set by the Watermark page when the user turns the
// watermark off (it then also clears printTextAsImage); the Layout page of the same sheet shows
// "No" and clears it when it next becomes active. Kept on the sheet's window: `page` is any page
// of that sheet.
#pragma once

#include <windows.h>

namespace m450 {

bool GraphicsResetPending(HWND page);
void SetGraphicsResetPending(HWND page, bool pending);

}  // namespace m450
