#include "barcode/font_height.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace m450 {
namespace {

constexpr double kDotsPerInch = 180.0;
constexpr double kPointsPerInch = 72.0;
constexpr double kMillimetresPerInch = 25.4;

double DotsToPoints(uint64_t dots) {
    return static_cast<double>(dots) * kPointsPerInch / kDotsPerInch;
}

// "%5.1f": at least five characters, one decimal, padded with spaces on the left.
std::u16string FormatOneDecimal(double value) {
    char text[64];
    const int length = std::snprintf(text, sizeof(text), "%5.1f", value);
    if (length <= 0)
        return {};
    return std::u16string(text, text + std::min<size_t>(static_cast<size_t>(length), sizeof(text) - 1));
}

}  // namespace

uint32_t HriAllowance(uint8_t hriPosition, uint8_t hriFont) {
    const uint32_t line = hriFont == 0 ? 24 : 17;
    switch (hriPosition) {
        case 1:
        case 2:
            return line;
        case 3:
            return 2 * line;
        default:
            return 0;
    }
}

// The fraction is compared with the double constants as they stand: 41 dots are 16.4 points,
// which in double is just below 16.4, so they snap down to 16.
double SnapToHalfPoint(double points) {
    const double whole = std::trunc(points);
    const double fraction = points - whole;
    if (fraction < 0.4)
        return whole;
    if (fraction < 0.7)
        return whole + 0.5;
    return whole + 1.0;
}

uint32_t FontHeightForRawHeight(uint64_t rawDots) {
    const double dots = std::trunc(SnapToHalfPoint(DotsToPoints(rawDots)) * kDotsPerInch / kPointsPerInch);
    // A record may hold any bar height; the result saturates rather than wrapping.
    if (dots >= static_cast<double>(std::numeric_limits<uint32_t>::max()))
        return std::numeric_limits<uint32_t>::max();
    const auto fontHeight = static_cast<uint32_t>(dots);
    return fontHeight == 0 ? 2 : fontHeight;
}

uint32_t BarcodeFontHeight(uint32_t elementHeight, uint8_t hriPosition, uint8_t hriFont) {
    return FontHeightForRawHeight(uint64_t{elementHeight} + HriAllowance(hriPosition, hriFont));
}

FontHeightDisplay FontHeightDisplayFor(uint32_t fontHeight) {
    return {FormatOneDecimal(fontHeight * kMillimetresPerInch / kDotsPerInch),
            FormatOneDecimal(SnapToHalfPoint(DotsToPoints(fontHeight)))};
}

}  // namespace m450
