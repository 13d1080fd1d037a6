#include "document/watermark_bitmap.h"

#include <algorithm>
#include <cstdint>
#include <optional>

namespace m450 {
namespace {

constexpr uint32_t kOffsetRgb = 54;         // no colour table
constexpr uint32_t kOffsetTwoColours = 62;  // 2 entries of 4 bytes
constexpr uint32_t kOffsetPalette = 1078;   // 256 entries of 4 bytes
constexpr uint32_t kUncompressed = 0;       // BI_RGB

// Offsets inside the file of the header fields that are read or rewritten.
constexpr size_t kAtFileSize = 2;
constexpr size_t kAtOffBits = 10;
constexpr size_t kAtInfoSize = 14;
constexpr size_t kAtWidth = 18;
constexpr size_t kAtHeight = 22;
constexpr size_t kAtPlanes = 26;
constexpr size_t kAtBitCount = 28;
constexpr size_t kAtSizeImage = 34;
constexpr size_t kAtColoursUsed = 46;
constexpr size_t kAtColoursImportant = 50;

// What the header says, checked against the file before any row is read.
struct SourceLayout {
    uint32_t offBits = 0;
    uint32_t width = 0;
    uint32_t rows = 0;  // |biHeight|; a negative height (top-down rows) keeps its sign in the header
    uint64_t sourceRowBytes = 0;
    uint64_t pictureRowBytes = 0;
};

WatermarkError ReadLayout(std::span<const uint8_t> src, SourceLayout& layout) {
    if (src.size() < kBmpFileHeaderSize || LoadLe16(src.data()) != kBmpType)
        return WatermarkError::NotBitmap;
    const std::optional<BitmapHeader> header = ReadBitmapHeader(src);
    if (!header)
        return WatermarkError::Truncated;

    layout.offBits = header->pixelOffset;
    uint16_t bitCount = 0;
    switch (layout.offBits) {
        case kOffsetRgb:
            bitCount = 24;
            break;
        case kOffsetTwoColours:
            bitCount = 1;
            break;
        case kOffsetPalette:
            bitCount = 8;
            break;
        default:
            return WatermarkError::UnacceptedLayout;
    }
    // The offset alone does not say the depth: a 4-bit bitmap with two colours, or one
    // compressed with RLE, can sit at the same offsets.
    if (header->infoSize != kBmpInfoHeaderSize || header->bitCount != bitCount || header->compression != kUncompressed)
        return WatermarkError::UnacceptedLayout;

    const int32_t width = header->width;
    const int32_t height = header->height;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return WatermarkError::UnacceptedLayout;
    layout.width = static_cast<uint32_t>(width);
    layout.rows = static_cast<uint32_t>(height < 0 ? -height : height);
    // Bounded sides keep every stride and size below in range, in 32-bit builds too.
    if (layout.width > kMaxBitmapSide || layout.rows > kMaxBitmapSide)
        return WatermarkError::TooLarge;
    layout.sourceRowBytes = BitmapStride(layout.width, bitCount);
    layout.pictureRowBytes = BitmapStride(layout.width, 24);
    if (layout.pictureRowBytes * layout.rows > kMaxWatermarkPixelBytes)
        return WatermarkError::TooLarge;
    if (src.size() < layout.offBits || (src.size() - layout.offBits) / layout.sourceRowBytes < layout.rows)
        return WatermarkError::Truncated;
    return WatermarkError::None;
}

// The converted picture's headers: the source's, less the colour table and at 24 bits. The
// size fields that described the source's pixels and table are made to describe the picture.
void WritePictureHeaders(std::span<const uint8_t> src, const SourceLayout& layout, std::span<uint8_t> out) {
    std::copy_n(src.begin(), kBmpHeadersSize, out.begin());
    StoreLe32(out.data() + kAtFileSize, static_cast<uint32_t>(out.size()));
    StoreLe32(out.data() + kAtOffBits, kOffsetRgb);
    StoreLe16(out.data() + kAtBitCount, 24);
    StoreLe32(out.data() + kAtSizeImage, 0);
    StoreLe32(out.data() + kAtColoursUsed, 0);
    StoreLe32(out.data() + kAtColoursImportant, 0);
}

// Each source row of colour-table indices (1 bit, most significant first, or 8 bits) out as
// blue, green, red bytes. Readers skip the row padding; it is 0xFF after 1-bit rows and zero
// after 8-bit rows, as pictures of this driver have always had it.
void ConvertRows(std::span<const uint8_t> src, const SourceLayout& layout, uint8_t bitCount, std::span<uint8_t> out) {
    const std::span<const uint8_t> table = src.subspan(kBmpHeadersSize, layout.offBits - kBmpHeadersSize);
    const uint8_t padding = bitCount == 1 ? 0xFF : 0x00;
    for (uint32_t y = 0; y < layout.rows; ++y) {
        const uint8_t* row = src.data() + layout.offBits + y * layout.sourceRowBytes;
        uint8_t* dst = out.data() + kBmpHeadersSize + y * layout.pictureRowBytes;
        for (uint32_t x = 0; x < layout.width; ++x) {
            const unsigned index = bitCount == 1 ? (row[x / 8] >> (7 - x % 8)) & 1u : row[x];
            const uint8_t* entry = table.data() + 4 * index;
            *dst++ = entry[0];
            *dst++ = entry[1];
            *dst++ = entry[2];
        }
        std::fill_n(dst, layout.pictureRowBytes - 3 * uint64_t{layout.width}, padding);
    }
}

}  // namespace

WatermarkPicture ConvertWatermarkPicture(std::span<const uint8_t> source) {
    WatermarkPicture picture;
    SourceLayout layout;
    picture.error = ReadLayout(source, layout);
    if (picture.error != WatermarkError::None)
        return picture;

    if (layout.offBits == kOffsetRgb) {
        picture.bytes.assign(source.begin(), source.end());
        return picture;
    }
    picture.bytes.resize(kBmpHeadersSize + layout.pictureRowBytes * layout.rows);
    WritePictureHeaders(source, layout, picture.bytes);
    ConvertRows(source, layout, layout.offBits == kOffsetTwoColours ? 1 : 8, picture.bytes);
    return picture;
}

std::vector<uint8_t> TextPictureFromCanvas(std::span<const uint8_t> canvas) {
    std::vector<uint8_t> file(kTextPictureFileSize, 0);
    uint8_t* out = file.data();
    StoreLe16(out, kBmpType);
    StoreLe32(out + kAtFileSize, static_cast<uint32_t>(kTextPictureFileSize));
    StoreLe32(out + kAtOffBits, kOffsetRgb);
    StoreLe32(out + kAtInfoSize, kBmpInfoHeaderSize);
    StoreLe32(out + kAtWidth, kWatermarkCanvasSide);
    StoreLe32(out + kAtHeight, kWatermarkCanvasSide);
    StoreLe16(out + kAtPlanes, 1);
    StoreLe16(out + kAtBitCount, 24);

    // 900 bytes a row: a multiple of 4, so the rows need no padding.
    canvas = canvas.first(std::min(canvas.size(), kWatermarkCanvasBytes));
    uint8_t* dst = file.data() + kBmpHeadersSize;
    for (size_t pixel = 0; pixel < kWatermarkCanvasBytes; pixel += 4) {
        for (size_t c = 0; c < 3; ++c)
            *dst++ = pixel + c < canvas.size() ? canvas[pixel + c] : 0xFF;
    }
    return file;
}

}  // namespace m450
