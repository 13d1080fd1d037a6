// The hover-help tables of the seven dialogs that have hover help, one row per control: the
// control's id in its dialog's id header and its help text slot. HoverTableOf finds them by
// template; tests read them by name.
#pragma once

#include "core/hover_help_win.h"

namespace m450 {

extern const HoverTable kLayoutHoverHelp;     // Layout page, 128
extern const HoverTable kWatermarkHoverHelp;  // Watermark page, 131
extern const HoverTable kEventHoverHelp;      // document event dialog, 104
extern const HoverTable kBarcode1DHoverHelp;  // 1D Code page, 117
extern const HoverTable kBarcode2DHoverHelp;  // 2D Code page, 118
extern const HoverTable kUtilityHoverHelp;    // Utility page, 114
extern const HoverTable kDownloadHoverHelp;   // Download page, 113

}  // namespace m450
