// The arithmetic of the Watermark page's preview: where the picture goes in the preview
// frame, where the rotated text starts on the canvas, the brightness, the text's font, and
// the size limit of the loaded picture. The page does the drawing with GDI; these compute.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace m450 {

// watermarkPosition: 0..8 left-top to right-bottom row by row, 9 tiled.
inline constexpr int kWatermarkPositionCount = 10;
inline constexpr int kWatermarkPositionTiled = 9;
inline constexpr int kDefaultWatermarkPosition = 4;
// Tiled copies are at least this percent of the page width.
inline constexpr int kTiledMinimumSize = 20;
inline constexpr int kMaxWatermarkSize = 100;

// The size in percent as it is used and stored: raised to kTiledMinimumSize when tiled.
int WatermarkSizeFor(int position, int size);

struct PreviewRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PreviewRect&) const = default;
};

// One stretched copy of the picture: its source rectangle (picture pixels, top row 0) into
// a destination rectangle of the frame.
struct PreviewCopy {
    PreviewRect destination;
    PreviewRect source;
    bool operator==(const PreviewCopy&) const = default;
};

// The copies to draw, in order, and the parts of the frame that no copy covers (to paint white).
struct PreviewPlacement {
    std::vector<PreviewCopy> copies;
    std::vector<PreviewRect> white;
};

// Places a picture of pictureWidth by pictureHeight pixels in a frame of frameWidth by
// frameHeight pixels at `position` with `size` percent of the frame's width (0..100; the
// tiled minimum applies). A position outside 0..9 (nothing selected) is centre-middle.
PreviewPlacement PlaceWatermarkPreview(int frameWidth,
                                       int frameHeight,
                                       int pictureWidth,
                                       int pictureHeight,
                                       int position,
                                       int size);

// Where a text of extent textWidth by textHeight is drawn (baseline-left alignment) on the
// 300 by 300 canvas so that, rotated counter-clockwise by angleDegrees, it turns about the
// canvas's centre.
struct TextOrigin {
    int x = 0;
    int y = 0;
    bool operator==(const TextOrigin&) const = default;
};
TextOrigin RotatedTextOrigin(int textWidth, int textHeight, int angleDegrees);

// Adds the brightness (0..255) to every byte, stopping at 255; or to every byte of `from`, into
// `to` of the same size (the preview made afresh from the untouched pixels).
void AddBrightness(std::span<uint8_t> pixels, int brightness);
void AddBrightness(std::span<const uint8_t> from, std::span<uint8_t> to, int brightness);

// The logical font of a text watermark, for the face's enumerated LOGFONT: height (negative:
// a character height), weight, italic, and escapement and orientation in tenths of a degree.
struct WatermarkFont {
    int height = 0;
    int weight = 0;
    bool italic = false;
    int escapement = 0;
};
// style: 0 regular, 1 italic, 2 bold, 3 bold italic (anything else regular); logPixelsY: the
// screen's LOGPIXELSY.
WatermarkFont WatermarkFontFor(int points, int style, int angleDegrees, int logPixelsY);

// Whether a loaded picture's 24-bit pixel data (row bytes times height) is too big for the
// preview: 0xA00001 bytes or more, more than 10 MiB.
inline constexpr uint64_t kPreviewPictureLimit = 0xA00001;
bool ExceedsPreviewLimit(int64_t rowBytes, int64_t height);

}  // namespace m450
