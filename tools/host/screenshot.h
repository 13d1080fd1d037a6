// Pictures of windows as the screen shows them, written as PNG files.
#pragma once

#include <windows.h>

#include <string>

namespace m450host {

// Copies the window's rectangle from the screen (BitBlt from the screen DC: PrintWindow gives
// blank pictures under Wine) and writes it as a 24-bit PNG file. `error` says what failed.
bool SaveWindowPicture(HWND window, const std::wstring& path, std::wstring* error);

// Pumps the thread's messages for `milliseconds`, letting `dialog` (a modeless sheet or
// dialog, may be null) handle its keyboard messages.
void PumpMessages(HWND dialog, DWORD milliseconds);

}  // namespace m450host
