// The printer's logo rasters, made from working copies for the "Download all" job:
// column data from a 1-bit bitmap (type "Transformation") and plane data from an 8-bit gray
// bitmap (type "Gray"). Each logo goes to the printer as two writes, its header and its data.
#pragma once

#include "core/bmp_reader.h"

#include <cstdint>
#include <span>
#include <vector>

namespace m450 {

struct LogoRaster {
    BitmapProblem problem = BitmapProblem::None;
    std::vector<uint8_t> header;  // empty when the file was refused
    std::vector<uint8_t> data;
};

// Column data of a 1-bit "BM" file whose colour table is black then white (bit set = white, as the
// mono working copy) or white then black (bit set = black). Header xL xH yL yH: x = the row
// stride ((W + 31) / 32) × 4, y = (H + 7) / 8. Data: for each of the 8x dot columns, left to
// right, y bytes, one per band of eight picture rows from the top; bit 7 is the band's top row,
// a set bit a black dot. Rows are added above the picture up to 8y; with a black-white palette
// the dots right of the picture are clear.
LogoRaster BuildColumnData(std::span<const uint8_t> monoFile);

// Plane data of an 8-bit gray "BM" file (the gray working copy; its palette is not read).
// Header 01 00 aL aH bL bH: a = (s + 7) / 8 with s = ((W + 3) / 4) × 4, b = (4H + 7) / 8.
// Data: for each picture row from the top, four plane rows of a bytes for the level's bits 7, 6,
// 5 and 4, a bit set where the level's bit is clear (dark dots print); columns W … s − 1 count as
// level 255; then clear plane rows up to 8b in all.
LogoRaster BuildPlaneData(std::span<const uint8_t> grayFile);

// True for a "BM" whose bit count is 1: in type "Transformation" such a logo file is sent itself
// rather than its working copy. `head` is the file's start (62 bytes are enough).
bool IsOneBitBitmap(std::span<const uint8_t> head);

}  // namespace m450
