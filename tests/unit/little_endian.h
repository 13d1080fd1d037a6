// Numbers as records, bitmap headers and printer jobs hold them: little-endian, at a byte offset.
// Tests read and write fields with these, natively and under Wine alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace m450::test {

inline uint32_t Le32(std::span<const uint8_t> bytes, size_t at) {
    return uint32_t{bytes[at]} | (uint32_t{bytes[at + 1]} << 8) | (uint32_t{bytes[at + 2]} << 16) |
           (uint32_t{bytes[at + 3]} << 24);
}

inline void PutLe32(std::span<uint8_t> bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace m450::test
