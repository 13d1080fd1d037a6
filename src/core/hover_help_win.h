// Hover help: a tooltip per dialog that shows a control's help text (a CTEXT_ key of the
// dialog's section, in the current language) when the pointer rests on the control.
//
// A dialog takes part by calling AttachHoverHelp with its table at WM_INITDIALOG:
//
//   case WM_INITDIALOG:
//       AttachHoverHelp(page, IDD_LAYOUT_PAGE);
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

// The table of the dialog made from template `templateId` (empty for a dialog without hover
// help). The tables name every page's controls, so they are kept with the plug-in's assembly of
// the pages (plugin/hover_tables_win.cpp), above the pages themselves.
HoverTable HoverTableOf(int templateId);

// Returns the dialog's tooltip window (null when it could not be made; the controls then work
// as before). A second call for the same dialog returns the tooltip of the first.
HWND AttachHoverHelp(HWND dialog, HoverTable table);
// AttachHoverHelp with the table of the dialog's template.
HWND AttachHoverHelp(HWND dialog, int templateId);
HWND HoverTooltipOf(HWND dialog);

}  // namespace m450
