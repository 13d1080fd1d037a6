// IPrintOemUI::DevMode: the host's parameter block in, the portable record operations out.
#pragma once

#include "platform/printoem.h"

namespace m450 {

// Size, Default, Convert or Merge the private record (OEMDM_SIZE .. OEMDM_MERGE). A null block
// or another mode sets ERROR_INVALID_PARAMETER and fails; a null record is left alone.
HRESULT HandleDevMode(DWORD mode, POEMDMPARAM param);

}  // namespace m450
