// The rules of the Watermark page: choosing the kind of watermark (and with it forcing text
// to graphics), the enabled controls, the position and sliders with the tiled minimum size,
// and the font size's two-stage clamp. Preview arithmetic is watermark_preview.h; the picture
// file is watermark_file.h. Texts are stored with StoreRecordText (record_text.h): the text
// 15 characters, the font face 49, the bitmap path 124.
#pragma once

#include "core/devmode.h"
#include "core/text_store.h"
#include "document/layout_rules.h"
#include "document/watermark_bitmap.h"
#include "document/watermark_preview.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace m450 {

// watermarkType
inline constexpr uint8_t kWatermarkNone = 0;
inline constexpr uint8_t kWatermarkImage = 1;
inline constexpr uint8_t kWatermarkText = 2;

// The text list (1020), in its order; its edit field takes 15 characters.
inline constexpr std::array<std::u16string_view, 8> kWatermarkTexts = {
    u"CONFIDENTIAL", u"DO NOT COPY", u"TOP SECRET", u"DRAFT", u"PROOF", u"FINAL", u"COPY", u"FILE COPY",
};
inline constexpr int kWatermarkTextChars = 15;

// The style list (1022): regular, italic, bold, bold italic.
inline constexpr int kWatermarkFontStyleCount = 4;

// Slider ranges.
inline constexpr int kWatermarkAngleMax = 360;
inline constexpr int kWatermarkBrightnessMax = 255;

// Which kind's radio button is checked and which controls are enabled: the bitmap path and
// Browse (image); the text, font face, style, size and its arrows, and the angle (text); the
// position and the size and brightness sliders (either kind). A type other than 1 or 2 shows
// "No Water Mark" with all of them disabled.
struct WatermarkControls {
    uint8_t shownType = kWatermarkNone;
    bool imageEnabled = false;
    bool textEnabled = false;
    bool placementEnabled = false;
    bool operator==(const WatermarkControls&) const = default;
};
WatermarkControls WatermarkControlsFor(uint8_t type);

// The user chose a kind. None clears printTextAsImage and sets graphicsResetPending (the
// Layout page then shows No); image or text forces graphics. True when the page must show its
// "All Text will be printed as graphics image!" message.
bool ChooseWatermarkType(PlugInDevMode& dm, uint8_t type, bool& graphicsResetPending);

// The user chose a position (0..9). True when the size was raised to the tiled minimum, so the
// page moves the size slider and its label to watermarkSize.
bool SelectWatermarkPosition(PlugInDevMode& dm, int position);

// The three sliders' positions, stored: the angle 0..360, the size 0..100 (raised to the tiled
// minimum when the stored position is tiled), the brightness 0..255. Returns them as stored,
// for the labels and the size slider.
struct WatermarkSliders {
    int angle = 0;
    int size = 0;
    int brightness = 0;
    bool operator==(const WatermarkSliders&) const = default;
};
WatermarkSliders StoreWatermarkSliders(PlugInDevMode& dm, WatermarkSliders positions);

// The font size field (2 characters, arrows 8..72). While the user types only the upper limit
// applies (typing 5 keeps 5, 99 gives 72); when the field loses focus the lower one too.
inline constexpr int kFontSizeMin = 8;
inline constexpr int kFontSizeMax = 72;
inline constexpr int kFontSizeFieldChars = 2;
enum class FontSizeStage { Typing, FocusLeft };
ClampedNumber ClampWatermarkFontSize(int typed, FontSizeStage stage);
// The typed size, clamped, stored in watermarkFontSize; returned for the field and its arrows.
ClampedNumber StoreWatermarkFontSize(PlugInDevMode& dm, int typed, FontSizeStage stage);

// Apply takes the position and style lists' selections; a list with nothing selected (-1) or
// an index past its entries keeps what the record holds, never a byte no list offers.
void StoreWatermarkListSelections(PlugInDevMode& dm, int positionSelection, int styleSelection);

// Whether a chosen bitmap's path fits watermarkBitmapPath whole (124 characters). A longer
// one is refused at Browse: stored cut, it would name another file, or none.
bool FitsWatermarkBitmapPath(std::u16string_view path);

// Where a conversion into the picture file ran: at Browse, on the file the user has just
// chosen; at the preview, on the file the record names, which may have gone since.
enum class WatermarkSource { Chosen, Stored };

// The error message of a failed conversion, at Browse and at the preview alike: "too big" for a
// picture above the size limits (or, at the preview, above its 10 MiB), the rights message when
// the picture file can't be written or its folder is not known. A source that is refused for any
// other reason differs by where: a chosen file gets the bit-depth message, a stored one "The
// specified file does not exist!".
TextId WatermarkConversionMessage(WatermarkError error, WatermarkSource source);

}  // namespace m450
