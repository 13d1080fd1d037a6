// The Download page of the device sheet (template 113). Above, one file the user picks
// (firmware, data, font or EEPROM) is sent to the printer unchanged. Below, up to nine logo
// bitmaps are listed, converted for the printer's logo memory ("Transformation" = 1 bit,
// "Gray" = 4 bits) with a halftone method, contrast and brightness per logo, previewed as they
// will be sent, and downloaded all at once; "Clear All Logos" erases the printer's logos.
//
// The list lives while the page is open; the logo type is kept for the process. Each converted
// logo has a working copy beside its source ("<name>Temp.bmp"), rewritten at every preview and
// deleted when the sheet closes, the logo is deleted or the type changes.
#pragma once

#include <windows.h>

namespace m450 {

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace m450
