#include "document/watermark_preview.h"

#include "document/watermark_bitmap.h"

#include <algorithm>
#include <cmath>

namespace m450 {
namespace {

// Degrees to radians with pi taken as 3.141592654. The printed text's origin has always been
// computed with this factor; at 90 degrees its cosine is a little above zero, which moves the
// truncated origin by a pixel, so the factor stays exactly as it is.
constexpr double kRadiansPerDegree = 0.017453292522222223;

// Frames and pictures larger than this count as this large; it keeps the placement's
// products (three factors) inside 64 bits. The preview refuses pictures of more than 10 MiB.
constexpr int kMaxPlacedDimension = 1 << 24;

// Copies of the picture's top rows (and left columns) stretched into one column of the
// tiled frame: full copies down the column, then one cut to the remaining height, keeping the
// scale of the full copies (a part of a source row still shows that row).
void AddTiledColumn(PreviewPlacement& placement,
                    int x,
                    int width,
                    int sourceWidth,
                    int frameHeight,
                    int copyHeight,
                    int sourceHeight) {
    const int fullRows = frameHeight / copyHeight;
    for (int row = 0; row < fullRows; ++row)
        placement.copies.push_back({{x, row * copyHeight, width, copyHeight}, {0, 0, sourceWidth, sourceHeight}});
    const int restHeight = frameHeight - fullRows * copyHeight;
    if (restHeight > 0) {
        const int64_t restSource = (int64_t{sourceHeight} * restHeight + copyHeight - 1) / copyHeight;
        placement.copies.push_back(
            {{x, fullRows * copyHeight, width, restHeight}, {0, 0, sourceWidth, static_cast<int>(restSource)}});
    }
}

void AddWhite(PreviewPlacement& placement, PreviewRect rect) {
    if (rect.width > 0 && rect.height > 0)
        placement.white.push_back(rect);
}

}  // namespace

int WatermarkSizeFor(int position, int size) {
    return position == kWatermarkPositionTiled && size < kTiledMinimumSize ? kTiledMinimumSize : size;
}

PreviewPlacement PlaceWatermarkPreview(int frameWidth,
                                       int frameHeight,
                                       int pictureWidth,
                                       int pictureHeight,
                                       int position,
                                       int size) {
    const int W = std::clamp(frameWidth, 0, kMaxPlacedDimension);
    const int H = std::clamp(frameHeight, 0, kMaxPlacedDimension);
    const int bw = std::clamp(pictureWidth, 0, kMaxPlacedDimension);
    const int bh = std::clamp(pictureHeight, 0, kMaxPlacedDimension);
    const int p = position >= 0 && position < kWatermarkPositionCount ? position : kDefaultWatermarkPosition;
    const int s = WatermarkSizeFor(p, std::clamp(size, 0, kMaxWatermarkSize));

    // D: destination width; h: the source rows that fit the frame's height at that width;
    // R: the destination height of those rows. All divisions are integer divisions.
    const int64_t ws = int64_t{W} * s;
    const int D = static_cast<int>(ws / 100);
    const int h = ws == 0 ? bh : static_cast<int>(std::min<int64_t>(bh, int64_t{H} * bw * 100 / ws));
    const int R = bw == 0 ? 0 : static_cast<int>(std::min<int64_t>(H, ws * h / (int64_t{bw} * 100)));

    PreviewPlacement placement;
    if (D <= 0 || R <= 0 || h <= 0) {
        AddWhite(placement, {0, 0, W, H});
        return placement;
    }

    if (p == kWatermarkPositionTiled) {
        const int columns = 100 / s;
        for (int column = 0; column < columns; ++column)
            AddTiledColumn(placement, column * D, D, bw, H, R, h);
        // D is rounded down, so in a frame a few copies wide the rest can be wider than a copy;
        // it then shows the whole picture's width.
        const int restWidth = W - columns * D;
        if (restWidth > 0) {
            const int64_t restSource = std::min<int64_t>(bw, (int64_t{bw} * restWidth + D - 1) / D);
            AddTiledColumn(placement, columns * D, restWidth, static_cast<int>(restSource), H, R, h);
        }
        return placement;
    }

    // Left, centre, right by column; top, middle, bottom by row, for the frame and the source.
    const int column = p % 3;
    const int row = p / 3;
    const int left = column == 0 ? 0 : column == 1 ? (W - D) / 2 : W - D;
    const int top = row == 0 ? 0 : row == 1 ? (H - R) / 2 : H - R;
    const int sourceTop = row == 0 ? 0 : row == 1 ? (bh - h) / 2 : bh - h;
    placement.copies.push_back({{left, top, D, R}, {0, sourceTop, bw, h}});
    AddWhite(placement, {0, 0, W, top});
    AddWhite(placement, {0, top + R, W, H - top - R});
    AddWhite(placement, {0, top, left, R});
    AddWhite(placement, {left + D, top, W - left - D, R});
    return placement;
}

TextOrigin RotatedTextOrigin(int textWidth, int textHeight, int angleDegrees) {
    const int hx = textWidth / 2;
    const int hy = textHeight / 2;
    const double a = angleDegrees * kRadiansPerDegree;
    const int dx = static_cast<int>(hx * std::cos(a) - hy * std::sin(a));
    const int dy = static_cast<int>(hx * std::sin(a) + hy * std::cos(a));
    constexpr int kCentre = kWatermarkCanvasSide / 2;
    return {kCentre - dx, kCentre + dy};
}

void AddBrightness(std::span<uint8_t> pixels, int brightness) {
    AddBrightness(pixels, pixels, brightness);
}

void AddBrightness(std::span<const uint8_t> from, std::span<uint8_t> to, int brightness) {
    const int add = std::clamp(brightness, 0, 255);
    const size_t size = std::min(from.size(), to.size());
    for (size_t i = 0; i < size; ++i)
        to[i] = static_cast<uint8_t>(std::min(from[i] + add, 255));
}

WatermarkFont WatermarkFontFor(int points, int style, int angleDegrees, int logPixelsY) {
    constexpr int kRegular = 400;
    constexpr int kBold = 700;
    // The platform's MulDiv(points, logPixelsY, 72): the product divided, rounded half away from zero.
    const int64_t product = int64_t{points} * logPixelsY;
    const int64_t rounded = product >= 0 ? (product + 36) / 72 : (product - 36) / 72;
    WatermarkFont font;
    font.height = -static_cast<int>(rounded);
    font.weight = style == 2 || style == 3 ? kBold : kRegular;
    font.italic = style == 1 || style == 3;
    font.escapement = angleDegrees * 10;
    return font;
}

bool ExceedsPreviewLimit(int64_t rowBytes, int64_t height) {
    if (rowBytes <= 0 || height == 0)
        return false;
    const uint64_t rows = height < 0 ? 0 - static_cast<uint64_t>(height) : static_cast<uint64_t>(height);
    // rowBytes·rows ≥ limit, without forming a product that could overflow.
    return rows >= (kPreviewPictureLimit + static_cast<uint64_t>(rowBytes) - 1) / static_cast<uint64_t>(rowBytes);
}

}  // namespace m450
