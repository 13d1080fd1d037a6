// The Windows page-test harness: the printer fixture, the sheet driver, the dialog catcher and
// the language fixtures, the import patcher, the object counter
// and the fault injector with its runner of stories. See each header for its part.
#pragma once

#include "dialog_catcher.h"
#include "fault_injector.h"
#include "fault_runner.h"
#include "fixtures.h"
#include "import_patch.h"
#include "object_counter.h"
#include "sheet_driver.h"
