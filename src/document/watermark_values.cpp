#include "document/watermark_values.h"

#include "document/record_text.h"
#include "document/watermark_rules.h"

#include <algorithm>

namespace m450 {

WatermarkValues LoadWatermarkValues(const PlugInDevMode& dm) {
    return {
        .type = dm.watermarkType,
        .position = dm.watermarkPosition,
        .style = dm.watermarkFontStyle,
        .size = dm.watermarkSize,
        .brightness = dm.watermarkBrightness,
        .angle = static_cast<int>(dm.watermarkAngle),
        .fontSize = dm.watermarkFontSize,
        .bitmapPath = RecordText(dm, &PlugInDevMode::watermarkBitmapPath),
        .text = RecordText(dm, &PlugInDevMode::watermarkText),
        .fontName = RecordText(dm, &PlugInDevMode::watermarkFontName),
    };
}

void ApplyWatermarkValues(const WatermarkValues& values, PlugInDevMode& dm) {
    const bool image = values.type == kWatermarkImage;
    const bool text = values.type == kWatermarkText;
    dm.watermarkType = image ? kWatermarkImage : text ? kWatermarkText : kWatermarkNone;
    if (image || text)
        dm.printTextAsImage = 1;
    StoreWatermarkListSelections(dm, values.position, values.style);
    dm.watermarkSize = static_cast<uint8_t>(std::clamp(values.size, 0, kMaxWatermarkSize));
    dm.watermarkBrightness = static_cast<uint8_t>(std::clamp(values.brightness, 0, kWatermarkBrightnessMax));
    StoreWatermarkFontSize(dm, values.fontSize, FontSizeStage::Typing);
    dm.watermarkAngle = static_cast<uint32_t>(std::clamp(values.angle, 0, kWatermarkAngleMax));
    if (image)
        StoreRecordText(dm, &PlugInDevMode::watermarkBitmapPath, values.bitmapPath);
    if (text) {
        StoreRecordText(dm, &PlugInDevMode::watermarkText, values.text);
        StoreRecordText(dm, &PlugInDevMode::watermarkFontName, values.fontName);
    }
}

}  // namespace m450
