// The frozen logo conversions: one photo-like 24-bit picture (photo.bmp, 150 × 100) through each
// halftone method and the gray conversion, with settings that exercise both tone curves.
// make_logo_golden wrote the files once; they were checked by eye and are not regenerated.
#pragma once

#include "device/logo_conversion.h"

namespace m450::test {

struct GoldenCase {
    const char* file;
    bool gray;
    LogoSettings settings;
};

inline constexpr const char* kGoldenSource = "photo.bmp";
inline constexpr uint32_t kGoldenWidth = 150;
inline constexpr uint32_t kGoldenHeight = 100;

inline constexpr GoldenCase kGoldenCases[] = {
    {"photo_none.bmp", false, {0, 0, 0}},         {"photo_dither_m3.bmp", false, {1, 30, -10}},
    {"photo_dither_m4.bmp", false, {2, -16, 10}}, {"photo_error_diffuse.bmp", false, {3, 15, 5}},
    {"photo_gray.bmp", true, {0, -25, 10}},
};

}  // namespace m450::test
