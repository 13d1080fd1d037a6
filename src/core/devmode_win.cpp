#include "core/devmode_win.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include "core/devmode.h"

namespace m450 {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// The Windows system directory; the default log folder sits on its drive. "C:\" when the
// system cannot say.
std::u16string_view SystemDirectory(char16_t (&buffer)[MAX_PATH]) {
    const UINT length = GetSystemDirectoryW(reinterpret_cast<wchar_t*>(buffer), MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return u"C:\\";
    return {buffer, length};
}

// The bytes of a host's input record that may be read. Every record the host hands over starts
// with the 12-byte header; past it, no more than the record claims and never more than ours.
// The core then copies at most the claimed size.
std::span<const uint8_t> ReadableInput(const void* record) {
    const auto* bytes = static_cast<const uint8_t*>(record);
    uint32_t claimed = 0;
    std::memcpy(&claimed, bytes + offsetof(DevModeHeader, dwSize), sizeof(claimed));
    const size_t readable = std::clamp<size_t>(claimed, sizeof(DevModeHeader), kDevModeSize);
    return {bytes, readable};
}

}  // namespace

HRESULT HandleDevMode(DWORD mode, POEMDMPARAM param) {
    if (param == nullptr || mode < OEMDM_SIZE || mode > OEMDM_MERGE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (mode == OEMDM_SIZE) {
        param->cbBufSize = kDevModeSize;
        return S_OK;
    }
    auto* out = static_cast<PlugInDevMode*>(param->pOEMDMOut);
    if (out == nullptr)
        return S_OK;

    char16_t buffer[MAX_PATH];
    const std::u16string_view systemDirectory = SystemDirectory(buffer);
    // A null input converts nothing; Merge still puts the output's header right.
    const std::span<const uint8_t> in =
        param->pOEMDMIn != nullptr ? ReadableInput(param->pOEMDMIn) : std::span<const uint8_t>();
    if (mode == OEMDM_DEFAULT)
        DefaultDevMode(*out, systemDirectory);
    else if (mode == OEMDM_CONVERT)
        ConvertDevMode(in, out, systemDirectory);
    else
        MergeDevMode(in, out, systemDirectory);
    return S_OK;
}

}  // namespace m450
