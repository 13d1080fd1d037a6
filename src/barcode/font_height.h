// The height of a 1D barcode font: the bar height plus the human-readable line, put on a half
// point at 180 dots per inch so that the application can be told a font size that produces it.
#pragma once

#include <cstdint>
#include <string>

namespace m450 {

// Dots the human-readable line adds: none when it is not printed (position 0), one line above
// or below (1, 2), two lines (3); a Font A line is 24 dots, a Font B line (hriFont not 0) 17.
uint32_t HriAllowance(uint8_t hriPosition, uint8_t hriFont);

// `points` put on a half point: a fraction below 0.4 goes down, one below 0.7 to the half,
// the rest up.
double SnapToHalfPoint(double points);

// The stored fontHeight for a raw height in dots (bar height plus allowance): the snapped
// size in dots, truncated; a result of 0 is stored as 2.
uint32_t FontHeightForRawHeight(uint64_t rawDots);

// fontHeight for a bar height and HRI setting.
uint32_t BarcodeFontHeight(uint32_t elementHeight, uint8_t hriPosition, uint8_t hriFont);

// What the page shows for a stored fontHeight, each "%5.1f": the height in millimetres, and
// the snapped size in points to select in the application.
struct FontHeightDisplay {
    std::u16string millimetres;
    std::u16string points;
};
FontHeightDisplay FontHeightDisplayFor(uint32_t fontHeight);

}  // namespace m450
