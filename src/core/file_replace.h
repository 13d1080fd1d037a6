// Replacing a file whole: the new bytes are written to a file beside the target and then
// renamed over it, so that a failure at any point leaves the target as it was. The watermark
// picture and the control-font table are written this way.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace m450 {

// Replaces `target` with exactly `bytes`. On failure (false) the target is unchanged and no
// file is left beside it. Never throws.
bool ReplaceFileWith(const std::filesystem::path& target, std::span<const uint8_t> bytes);

}  // namespace m450
