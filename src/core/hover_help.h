// Hover help: a tooltip per dialog that shows a control's help text (a CTEXT_ key of the
// dialog's section, in the current language) when the pointer rests on the control.
//
// A dialog takes part by calling AttachHoverHelp with its table at WM_INITDIALOG:
//
//   case WM_INITDIALOG:
//       AttachHoverHelp(page, kLayoutHoverHelp);
//
// That creates the dialog's tooltip (inside the module's activation context) and subclasses
// each listed control. The tooltip and the subclassing live as long as the dialog; the
// bookkeeping is freed when the last subclassed control is destroyed.
#pragma once

#include <windows.h>

#include <span>

#include "core/text_store.h"

namespace m450 {

// A control of a dialog (its id in the dialog's id header) and its help text slot.
struct HoverItem {
    int controlId;
    TextId help;
};
using HoverTable = std::span<const HoverItem>;

// The tables of the seven dialogs with hover help (hover_tables.cpp).
extern const HoverTable kLayoutHoverHelp;     // Layout page, 128
extern const HoverTable kWatermarkHoverHelp;  // Watermark page, 131
extern const HoverTable kEventHoverHelp;      // document event dialog, 104
extern const HoverTable kBarcode1DHoverHelp;  // 1D Code page, 117
extern const HoverTable kBarcode2DHoverHelp;  // 2D Code page, 118
extern const HoverTable kUtilityHoverHelp;    // Utility page, 114
extern const HoverTable kDownloadHoverHelp;   // Download page, 113

// Returns the dialog's tooltip window (null when it could not be made; the controls then work
// as before). A second call for the same dialog returns the tooltip of the first.
HWND AttachHoverHelp(HWND dialog, HoverTable table);
HWND HoverTooltipOf(HWND dialog);

}  // namespace m450
