// The frozen logo conversions: one photo-like 24-bit picture (photo.bmp, 150 × 100) through each
// halftone method and the gray conversion, with settings that exercise both tone curves; the same
// picture as an 8-bit file with the gray-ramp colour table (photo8.bmp) through the same cases; and
// a 1-bit file with the black-then-white table (photo_dither_m3.bmp itself) through the gray
// conversion. The 8-bit and 1-bit files were frozen while those depths still took the index and
// the bit as the level, so that reading colour tables keeps the working copies of these tables.
// make_logo_golden wrote the files once; they were checked by eye and are not regenerated.
#pragma once

#include "device/logo_conversion.h"

namespace m450::test {

struct GoldenCase {
    const char* source;
    const char* file;
    bool gray;
    LogoSettings settings;
};

inline constexpr const char* kGoldenSource = "photo.bmp";
inline constexpr const char* kGoldenSource8 = "photo8.bmp";
inline constexpr uint32_t kGoldenWidth = 150;
inline constexpr uint32_t kGoldenHeight = 100;

inline constexpr GoldenCase kGoldenCases[] = {
    {kGoldenSource, "photo_none.bmp", false, {0, 0, 0}},
    {kGoldenSource, "photo_dither_m3.bmp", false, {1, 30, -10}},
    {kGoldenSource, "photo_dither_m4.bmp", false, {2, -16, 10}},
    {kGoldenSource, "photo_error_diffuse.bmp", false, {3, 15, 5}},
    {kGoldenSource, "photo_gray.bmp", true, {0, -25, 10}},
    {kGoldenSource8, "photo8_none.bmp", false, {0, 0, 0}},
    {kGoldenSource8, "photo8_dither_m3.bmp", false, {1, 30, -10}},
    {kGoldenSource8, "photo8_dither_m4.bmp", false, {2, -16, 10}},
    {kGoldenSource8, "photo8_error_diffuse.bmp", false, {3, 15, 5}},
    {kGoldenSource8, "photo8_gray.bmp", true, {0, -25, 10}},
    {"photo_dither_m3.bmp", "photo_dither_m3_gray.bmp", true, {0, 20, -5}},
};

}  // namespace m450::test
