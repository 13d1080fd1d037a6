// A job as the printer receives it: its writes joined in order, one stream of bytes.
#pragma once

#include <cstdint>
#include <vector>

namespace m450::test {

inline std::vector<uint8_t> JobBytes(const std::vector<std::vector<uint8_t>>& writes) {
    std::vector<uint8_t> bytes;
    for (const std::vector<uint8_t>& write : writes)
        bytes.insert(bytes.end(), write.begin(), write.end());
    return bytes;
}

}  // namespace m450::test
