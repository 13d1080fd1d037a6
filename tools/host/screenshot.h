// Pictures of windows as the screen shows them, written as PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace m450host {

// A window's rectangle as the screen shows it: 24-bit BGR rows, top row first.
struct ScreenPicture {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> pixels;

    // The pixel's colour; CLR_INVALID outside the picture.
    COLORREF At(UINT x, UINT y) const;
};

// Copies the window's rectangle from the screen (BitBlt from the screen DC: PrintWindow gives
// blank pictures under Wine). False when the window has no area or the copy failed.
bool CapturePicture(HWND window, ScreenPicture* picture);

// Copies the window's rectangle from the screen (BitBlt from the screen DC: PrintWindow gives
// blank pictures under Wine) and writes it as a 24-bit PNG file. `error` says what failed.
bool SaveWindowPicture(HWND window, const std::wstring& path, std::wstring* error);

// Pumps the thread's messages for `milliseconds`, letting `dialog` (a modeless sheet or
// dialog, may be null) handle its keyboard messages.
void PumpMessages(HWND dialog, DWORD milliseconds);

}  // namespace m450host
