// The Windows page-test harness: the printer fixture, the sheet driver, the dialog catcher and
// the language fixtures. See each header for its part.
#pragma once

#include "dialog_catcher.h"
#include "fixtures.h"
#include "sheet_driver.h"
