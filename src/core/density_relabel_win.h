// The host's print-density option in the current language: the document sheet does this at
// initialisation and the Layout page again when it repaints (after a language change).
#pragma once

#include "platform/printoem.h"

namespace m450 {

// Walks the host's driver option items of `block` (nothing when it is null): every item that is
// the print density gets the "RC_DENSITY" text as its name and "RC_DENSITY_INDEX" + j as the
// text of option j, is marked changed, and is reported to the host with DrvUpdateUISetting.
void RelabelPrintDensity(const OEMCUIPPARAM* block, IPrintOemDriverUI* driverUI);

}  // namespace m450
