// Bitmap files for the logo tests, the golden-file generator, the fuzz seeds and the
// benchmarks: the layouts usual writers produce (40-byte information header, full palette,
// rows bottom first padded to whole words), and a deterministic photo-like picture.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace m450::test {

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

inline void PutLe(std::vector<uint8_t>& file, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        file[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// Headers and palette of a bitmap; rows left zero. The palette is a gray ramp, black first,
// or white first for a 1-bit file with `whiteFirst`.
inline std::vector<uint8_t> BitmapFrame(uint32_t width, int32_t height, uint16_t bitCount, bool whiteFirst = false) {
    const uint32_t entries = bitCount <= 8 ? 1u << bitCount : 0;
    const uint32_t offset = 54 + 4 * entries;
    const uint32_t stride = (width * bitCount + 31) / 32 * 4;
    const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    std::vector<uint8_t> file(offset + stride * rows);
    file[0] = 'B';
    file[1] = 'M';
    PutLe(file, 2, static_cast<uint32_t>(file.size()), 4);
    PutLe(file, 10, offset, 4);
    PutLe(file, 14, 40, 4);
    PutLe(file, 18, width, 4);
    PutLe(file, 22, static_cast<uint32_t>(height), 4);
    PutLe(file, 26, 1, 2);
    PutLe(file, 28, bitCount, 2);
    PutLe(file, 34, stride * rows, 4);
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t level = i * 255 / (entries - 1);
        if (whiteFirst)
            level = 255 - level;
        file[54 + 4 * i] = file[55 + 4 * i] = file[56 + 4 * i] = static_cast<uint8_t>(level);
    }
    return file;
}

inline uint8_t* RowOf(std::vector<uint8_t>& file, uint32_t row) {
    const uint32_t offset = file[10] | (file[11] << 8);
    const uint32_t width = file[18] | (file[19] << 8) | (file[20] << 16);
    const uint32_t bits = file[28];
    return file.data() + offset + row * ((width * bits + 31) / 32 * 4);
}

// `pixel(x, row)` gives the pixel of column x in file row `row` (row 0 is the bottom row).
inline std::vector<uint8_t> MakeBitmap24(uint32_t width,
                                         uint32_t height,
                                         const std::function<Rgb(uint32_t, uint32_t)>& pixel) {
    std::vector<uint8_t> file = BitmapFrame(width, static_cast<int32_t>(height), 24);
    for (uint32_t row = 0; row < height; ++row) {
        uint8_t* p = RowOf(file, row);
        for (uint32_t x = 0; x < width; ++x, p += 3) {
            const Rgb c = pixel(x, row);
            p[0] = c.blue;
            p[1] = c.green;
            p[2] = c.red;
        }
    }
    return file;
}

inline std::vector<uint8_t> MakeBitmap8(uint32_t width,
                                        uint32_t height,
                                        const std::function<uint8_t(uint32_t, uint32_t)>& index) {
    std::vector<uint8_t> file = BitmapFrame(width, static_cast<int32_t>(height), 8);
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t x = 0; x < width; ++x)
            RowOf(file, row)[x] = index(x, row);
    return file;
}

// `set(x, row)` says whether the pixel's bit is set (white with the black-first palette).
inline std::vector<uint8_t> MakeBitmap1(uint32_t width,
                                        uint32_t height,
                                        const std::function<bool(uint32_t, uint32_t)>& set,
                                        bool whiteFirst = false) {
    std::vector<uint8_t> file = BitmapFrame(width, static_cast<int32_t>(height), 1, whiteFirst);
    for (uint32_t row = 0; row < height; ++row)
        for (uint32_t x = 0; x < width; ++x)
            if (set(x, row))
                RowOf(file, row)[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return file;
}

// The same picture with its own information header size and colour table: the rows of
// `standard` (a 1- or 8-bit file as BitmapFrame makes it) after `infoSize` bytes of information
// header (its first 40 bytes as in `standard`, the rest zero) and the entries of `table`;
// biClrUsed = `coloursUsed`, bfOffBits where the rows are.
inline std::vector<uint8_t> WithColourTable(const std::vector<uint8_t>& standard,
                                            const std::vector<Rgb>& table,
                                            uint32_t coloursUsed,
                                            uint32_t infoSize = 40) {
    const uint32_t oldOffset = standard[10] | (standard[11] << 8);
    const uint32_t offset = 14 + infoSize + 4 * static_cast<uint32_t>(table.size());
    std::vector<uint8_t> file(standard.begin(), standard.begin() + 54);
    file.resize(offset);
    for (size_t i = 0; i < table.size(); ++i) {
        file[14 + infoSize + 4 * i] = table[i].blue;
        file[15 + infoSize + 4 * i] = table[i].green;
        file[16 + infoSize + 4 * i] = table[i].red;
    }
    file.insert(file.end(), standard.begin() + oldOffset, standard.end());
    PutLe(file, 2, static_cast<uint32_t>(file.size()), 4);
    PutLe(file, 10, offset, 4);
    PutLe(file, 14, infoSize, 4);
    PutLe(file, 46, coloursUsed, 4);
    return file;
}

inline std::vector<uint8_t> UniformBitmap24(uint32_t width, uint32_t height, Rgb colour) {
    return MakeBitmap24(width, height, [colour](uint32_t, uint32_t) { return colour; });
}

inline std::vector<uint8_t> UniformBitmap8(uint32_t width, uint32_t height, uint8_t index) {
    return MakeBitmap8(width, height, [index](uint32_t, uint32_t) { return index; });
}

// A small landscape: sky getting lighter towards the horizon, a sun with a soft rim, two
// rows of hills with a grainy texture, a red-roofed house and a dark vignette — smooth ramps,
// hard edges, saturated colours and noise, the things halftoning has to cope with.
// (x, y) with y = 0 at the top; the picture is scaled to any size.
inline Rgb PhotoLikePixel(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    const double u = (x + 0.5) / width;
    const double v = (y + 0.5) / height;
    uint32_t h = x * 374761393u + y * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    const double grain = ((h ^ (h >> 16)) & 0xFF) / 255.0 - 0.5;

    double r = 70 + 120 * v, g = 120 + 100 * v, b = 230 - 20 * v;  // sky
    const double sun = std::hypot(u - 0.75, (v - 0.25) * height / width);
    if (sun < 0.12) {
        const double rim = std::clamp((0.12 - sun) / 0.03, 0.0, 1.0);
        r += (255 - r) * rim, g += (230 - g) * rim, b += (90 - b) * rim;
    }
    const double farHills = 0.55 + 0.06 * std::sin(u * 9.0) + 0.03 * std::sin(u * 23.0 + 1.0);
    const double nearHills = 0.72 + 0.08 * std::sin(u * 5.0 + 2.0);
    if (v > farHills)
        r = 60 + 40 * grain, g = 110 + 30 * v + 50 * grain, b = 70 + 30 * grain;
    if (v > nearHills)
        r = 40 + 30 * v + 60 * grain, g = 150 - 60 * v + 60 * grain, b = 30 + 40 * grain;
    if (u > 0.18 && u < 0.38 && v > 0.52 && v < 0.78) {  // house: roof above walls, a window
        const bool roof = v < 0.52 + (0.1 - std::abs(u - 0.28)) * 0.9;
        const bool window = u > 0.24 && u < 0.31 && v > 0.62 && v < 0.7;
        if (window)
            r = 250, g = 240, b = 180;
        else if (roof || v < 0.6)
            r = 180 + 30 * grain, g = 40, b = 35;
        else
            r = 215 + 20 * grain, g = 205 + 20 * grain, b = 190;
    }
    const double vignette = 1.0 - 0.45 * std::pow(std::hypot(u - 0.5, v - 0.5) / 0.7071, 2.0);
    const auto level = [vignette](double c) { return static_cast<uint8_t>(std::clamp(c * vignette, 0.0, 255.0)); };
    return {level(r), level(g), level(b)};
}

inline std::vector<uint8_t> PhotoLikeBitmap24(uint32_t width, uint32_t height) {
    return MakeBitmap24(width, height,
                        [=](uint32_t x, uint32_t row) { return PhotoLikePixel(x, height - 1 - row, width, height); });
}

// The same picture as 8-bit indices read as gray levels (Rec. 601 weights).
inline std::vector<uint8_t> PhotoLikeBitmap8(uint32_t width, uint32_t height) {
    return MakeBitmap8(width, height, [=](uint32_t x, uint32_t row) {
        const Rgb c = PhotoLikePixel(x, height - 1 - row, width, height);
        return static_cast<uint8_t>((c.red * 299 + c.green * 587 + c.blue * 114) / 1000);
    });
}

}  // namespace m450::test
