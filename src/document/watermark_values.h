// The Watermark page's values: what its controls show, loaded from the private record when the
// page opens and applied to it on Apply. The page moves these between its controls and the
// record; the clamps and which fields a kind writes are here.
#pragma once

#include "core/devmode.h"

#include <cstdint>
#include <string>

namespace m450 {

struct WatermarkValues {
    uint8_t type = 0;  // the kind whose radio button is checked: kWatermarkNone, Image or Text
    int position = 0;  // the position list's selection, -1 for none
    int style = 0;     // the style list's selection, -1 for none
    int size = 0;      // the sliders' positions
    int brightness = 0;
    int angle = 0;
    int fontSize = 0;  // the font size field's number, 0 when it holds none
    std::u16string bitmapPath;
    std::u16string text;
    std::u16string fontName;
    bool operator==(const WatermarkValues&) const = default;
};

// The record's values as they are, out-of-range ones included: the lists then show no selection
// and the sliders' labels the stored number.
WatermarkValues LoadWatermarkValues(const PlugInDevMode& dm);

// Apply: the kind (an image or a text forces text to graphics), the list selections (none keeps
// the stored value), the sliders and the font size within their ranges, the bitmap path for an
// image and the text and font face for a text. The other kinds' texts keep what they hold.
void ApplyWatermarkValues(const WatermarkValues& values, PlugInDevMode& dm);

}  // namespace m450
