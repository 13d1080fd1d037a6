// Inputs of the logo fuzz targets. An input whose first byte has its top bit set builds a
// well-formed bitmap from a few of its bytes (depth 1, 8 or 24, up to 64 × 64, rows cut short
// now and then; a short colour table, a V5 information header or a table that runs into the
// rows now and then; rows stored top-down now and then) so that the conversions are reached
// often; any other input is the file itself.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace m450::fuzz {

inline std::vector<uint8_t> LogoFileFrom(std::span<const uint8_t> input) {
    if (input.size() < 5 || !(input[0] & 0x80))
        return {input.begin(), input.end()};
    static constexpr uint16_t kDepths[] = {1, 8, 24, 1};
    const uint16_t bits = kDepths[input[0] & 3];
    const uint32_t width = input[1] % 64 + 1;
    const uint32_t height = input[2] % 64 + 1;
    const bool whiteFirst = input[3] & 1;
    const unsigned variant = (input[3] >> 1) & 3;  // 0 standard, 1 short table, 2 V5, 3 table too short
    const uint32_t infoSize = variant == 2 ? 124 : 40;
    const uint32_t entries = bits <= 8 ? 1u << bits : 0;
    uint32_t tableEntries = entries;
    uint32_t coloursUsed = 0;
    if (variant == 1 && entries != 0)
        tableEntries = coloursUsed = (input[3] >> 3) % entries + 1;
    if (variant == 3)
        tableEntries = entries / 2;
    const uint32_t offset = 14 + infoSize + 4 * tableEntries;
    const uint32_t stride = (width * bits + 31) / 32 * 4;
    const std::span<const uint8_t> pixels = input.subspan(4);
    // Bit 6 cuts the rows at the input's end; otherwise missing rows are zero.
    const size_t rowBytes =
        (input[0] & 0x40) ? std::min<size_t>(pixels.size(), size_t{stride} * height) : size_t{stride} * height;
    std::vector<uint8_t> file(offset + rowBytes);
    const auto put = [&](size_t at, uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            file[at + i] = static_cast<uint8_t>(value >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<uint32_t>(file.size()), 4);
    put(10, offset, 4);
    put(14, infoSize, 4);
    put(18, width, 4);
    put(22, (input[3] & 0x80) ? 0u - height : height, 4);  // a negative height: top row first
    put(26, 1, 2);
    put(28, bits, 2);
    put(46, coloursUsed, 4);
    for (uint32_t i = 0; i < tableEntries; ++i) {
        const auto level = static_cast<uint8_t>(whiteFirst ? 255 - i * 255 / (entries - 1) : i * 255 / (entries - 1));
        const size_t at = 14 + infoSize + 4 * i;
        file[at] = file[at + 1] = file[at + 2] = level;
    }
    std::copy_n(pixels.begin(), std::min(pixels.size(), rowBytes), file.begin() + offset);
    return file;
}

}  // namespace m450::fuzz
