// IPrintOemUI::DevMode: the host's parameter block in, the portable record operations out.
#pragma once

#include <cstddef>

#include "core/devmode.h"
#include "platform/printoem.h"

// The record's header is the one the host expects at the start of a plug-in's private part.
static_assert(sizeof(OEM_DMEXTRAHEADER) == sizeof(m450::DevModeHeader));
static_assert(offsetof(OEM_DMEXTRAHEADER, dwSize) == offsetof(m450::DevModeHeader, dwSize));
static_assert(offsetof(OEM_DMEXTRAHEADER, dwSignature) == offsetof(m450::DevModeHeader, dwSignature));
static_assert(offsetof(OEM_DMEXTRAHEADER, dwVersion) == offsetof(m450::DevModeHeader, dwVersion));

namespace m450 {

// Size, Default, Convert or Merge the private record (OEMDM_SIZE .. OEMDM_MERGE). A null block
// or another mode sets ERROR_INVALID_PARAMETER and fails; a null record is left alone.
HRESULT HandleDevMode(DWORD mode, POEMDMPARAM param);

}  // namespace m450
