// The raw printer channel's spooler calls on Windows: winspool, bound to a printer handle.
#pragma once

#include <windows.h>

#include "core/raw_channel.h"

namespace m450 {

// The five winspool calls of a raw job on `printer`. The handle is the host's: borrowed, never
// closed here, and it must stay open while the channel is used.
SpoolerCalls WinspoolCalls(HANDLE printer);

}  // namespace m450
