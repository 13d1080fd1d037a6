// The watermark picture: the 24-bit bitmap per printer that the driver's printing side prints.
//
// Bytes in, bytes out: the conversion of a chosen bitmap into the picture, and the picture of
// a text watermark drawn on the page's 300 by 300 canvas. Reading and replacing the file on
// disk is watermark_file.h.
#pragma once

#include "core/bmp_reader.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace m450 {

// The text watermark is drawn on a square canvas of this side, read back at 32 bits per pixel.
inline constexpr int kWatermarkCanvasSide = 300;
inline constexpr size_t kWatermarkCanvasBytes = size_t{kWatermarkCanvasSide} * kWatermarkCanvasSide * 4;
inline constexpr size_t kTextPictureFileSize =
    kBmpHeadersSize + size_t{kWatermarkCanvasSide} * kWatermarkCanvasSide * 3;
static_assert(kWatermarkCanvasBytes == 360000 && kTextPictureFileSize == 270054);

// The largest picture the conversion makes: its 24-bit pixel rows together. Far above any
// receipt watermark, and it bounds what a small 1-bit file can ask to be allocated.
inline constexpr uint64_t kMaxWatermarkPixelBytes = uint64_t{64} << 20;

// Why a conversion or a picture file failed. convertWatermarkBitmap sums these up as a
// WatermarkConversion (watermark_file.h); the page names each in its messages.
enum class WatermarkError {
    None,
    Unreadable,        // the source can't be opened or read, or is larger than any picture
    NotBitmap,         // no "BM" file header
    UnacceptedLayout,  // not an uncompressed 1-, 8- or 24-bit bitmap of the three known layouts
    Truncated,         // the file ends before the colour table or the rows its header declares
    TooLarge,          // a side above kMaxBitmapSide, or 24-bit rows above kMaxWatermarkPixelBytes
    NotWritten,        // the picture file can't be created or replaced
};

struct WatermarkPicture {
    WatermarkError error = WatermarkError::None;
    std::vector<uint8_t> bytes;  // the picture file's bytes; empty unless error is None
};

// Converts a bitmap file's bytes into the 24-bit picture. Three layouts are accepted, told
// apart by the pixel data's offset: 54 (24 bits, copied unchanged), 62 (1 bit, two-entry
// colour table) and 1078 (8 bits, 256-entry table), each uncompressed with a 40-byte info header.
WatermarkPicture ConvertWatermarkPicture(std::span<const uint8_t> source);

// The text watermark's picture file from the canvas read back as a bottom-up 32-bit bitmap
// (blue, green, red, unused): 300 by 300 at 24 bits, always kTextPictureFileSize bytes. A
// canvas shorter than kWatermarkCanvasBytes is white where it has no bytes.
std::vector<uint8_t> TextPictureFromCanvas(std::span<const uint8_t> canvas);

}  // namespace m450
