#include "document/watermark_rules.h"

#include <algorithm>

namespace m450 {

WatermarkControls WatermarkControlsFor(uint8_t type) {
    switch (type) {
        case kWatermarkImage:
            return {kWatermarkImage, true, false, true};
        case kWatermarkText:
            return {kWatermarkText, false, true, true};
        default:
            return {kWatermarkNone, false, false, false};
    }
}

bool ChooseWatermarkType(PlugInDevMode& dm, uint8_t type, bool& graphicsResetPending) {
    dm.watermarkType = type;
    if (type == kWatermarkNone) {
        dm.printTextAsImage = 0;
        graphicsResetPending = true;
        return false;
    }
    return ForcePrintTextAsImage(dm);
}

bool SelectWatermarkPosition(PlugInDevMode& dm, int position) {
    dm.watermarkPosition = static_cast<uint8_t>(std::clamp(position, 0, kWatermarkPositionCount - 1));
    const int size = WatermarkSizeFor(dm.watermarkPosition, dm.watermarkSize);
    if (size == dm.watermarkSize)
        return false;
    dm.watermarkSize = static_cast<uint8_t>(size);
    return true;
}

WatermarkSliders StoreWatermarkSliders(PlugInDevMode& dm, WatermarkSliders positions) {
    const WatermarkSliders stored{
        std::clamp(positions.angle, 0, kWatermarkAngleMax),
        WatermarkSizeFor(dm.watermarkPosition, std::clamp(positions.size, 0, kMaxWatermarkSize)),
        std::clamp(positions.brightness, 0, kWatermarkBrightnessMax),
    };
    dm.watermarkAngle = static_cast<uint32_t>(stored.angle);
    dm.watermarkSize = static_cast<uint8_t>(stored.size);
    dm.watermarkBrightness = static_cast<uint8_t>(stored.brightness);
    return stored;
}

ClampedNumber ClampWatermarkFontSize(int typed, FontSizeStage stage) {
    if (typed > kFontSizeMax)
        return {kFontSizeMax, true};
    if (stage == FontSizeStage::FocusLeft && typed < kFontSizeMin)
        return {kFontSizeMin, true};
    // A field that holds no number reads 0 while it is being typed in.
    if (typed < 0)
        return {0, true};
    return {typed, false};
}

ClampedNumber StoreWatermarkFontSize(PlugInDevMode& dm, int typed, FontSizeStage stage) {
    const ClampedNumber size = ClampWatermarkFontSize(typed, stage);
    dm.watermarkFontSize = static_cast<uint8_t>(size.value);
    return size;
}

void StoreWatermarkListSelections(PlugInDevMode& dm, int positionSelection, int styleSelection) {
    if (positionSelection >= 0 && positionSelection < kWatermarkPositionCount)
        dm.watermarkPosition = static_cast<uint8_t>(positionSelection);
    if (styleSelection >= 0 && styleSelection < kWatermarkFontStyleCount)
        dm.watermarkFontStyle = static_cast<uint8_t>(styleSelection);
}

bool FitsWatermarkBitmapPath(std::u16string_view path) {
    return path.size() < sizeof(PlugInDevMode::watermarkBitmapPath) / sizeof(char16_t);
}

TextId WatermarkConversionMessage(WatermarkError error, WatermarkSource source) {
    switch (error) {
        case WatermarkError::TooLarge:
            return TextId::MSG_MB_WATERMARK_ERROR4;
        case WatermarkError::NotWritten:
            return TextId::MSG_MB_WATERMARK_ERROR2;
        default:
            return source == WatermarkSource::Chosen ? TextId::MSG_MB_WATERMARK_ERROR5
                                                     : TextId::MSG_MB_WATERMARK_ERROR1;
    }
}

}  // namespace m450
