#include "device/logo_raster.h"

#include <algorithm>
#include <new>

namespace m450 {
namespace {

enum class MonoPalette { BlackWhite, WhiteBlack, Other };

// Entries compare blue, green and red; the fourth byte of an entry is not looked at. A table of
// one entry is neither order.
MonoPalette PaletteOf(const BitmapView& view) {
    if (view.ColourCount() < 2)
        return MonoPalette::Other;
    const uint8_t* p = view.colours.data();
    const auto is = [](const uint8_t* entry, uint8_t level) {
        return entry[0] == level && entry[1] == level && entry[2] == level;
    };
    if (is(p, 0) && is(p + 4, 255))
        return MonoPalette::BlackWhite;
    if (is(p, 255) && is(p + 4, 0))
        return MonoPalette::WhiteBlack;
    return MonoPalette::Other;
}

// An 8 × 8 bit matrix held as eight bytes, row 0 in the most significant byte and column 0 in
// the most significant bit of each row, transposed in place: byte m of the result holds column
// m, row 0 in its most significant bit. (Three rounds of swapping 1×1, 2×2 and 4×4 blocks.)
uint64_t Transpose8x8(uint64_t x) {
    uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x ^= t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x ^= t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x ^= t ^ (t << 28);
    return x;
}

// Eight bytes as the rows of a bit matrix, the first in the most significant place.
uint64_t MatrixOf(const uint8_t* eight) {
    uint64_t block = 0;
    for (unsigned i = 0; i < 8; ++i)
        block = (block << 8) | eight[i];
    return block;
}

uint8_t ByteOf(uint64_t matrix, unsigned row) {
    return static_cast<uint8_t>(matrix >> (56 - 8 * row));
}

LogoRaster Refused(BitmapProblem problem) {
    LogoRaster raster;
    raster.problem = problem;
    return raster;
}

std::vector<uint8_t> Header16(std::initializer_list<uint8_t> prefix, uint32_t first, uint32_t second) {
    std::vector<uint8_t> header(prefix);
    for (uint32_t value : {first, second}) {
        header.push_back(static_cast<uint8_t>(value));
        header.push_back(static_cast<uint8_t>(value >> 8));
    }
    return header;
}

// The picture's rows with bit set = black dot, bottom row first, extended with clear rows up to
// `rows` in all. A black-white palette is inverted over the picture's own bytes; the rest of
// each row, and the bits right of the last pixel, are cleared.
std::vector<uint8_t> BlackDotRows(const BitmapView& view, bool invert, uint32_t rows) {
    std::vector<uint8_t> bits(size_t{rows} * view.stride);
    for (uint32_t r = 0; r < view.height; ++r)  // a top-down file's rows turned bottom-up
        std::copy_n(view.Row(r), view.stride, bits.begin() + static_cast<std::ptrdiff_t>(r * view.stride));
    if (!invert)
        return bits;
    const size_t used = (view.width + 7) / 8;
    const auto lastMask = static_cast<uint8_t>(0xFF00 >> ((view.width - 1) % 8 + 1));
    for (uint32_t r = 0; r < view.height; ++r) {
        uint8_t* row = bits.data() + r * view.stride;
        for (size_t i = 0; i < used; ++i)
            row[i] = static_cast<uint8_t>(~row[i]);
        row[used - 1] &= lastMask;
        std::fill(row + used, row + view.stride, 0);
    }
    return bits;
}

LogoRaster ColumnDataOf(const BitmapView& view, bool invert) {
    const uint32_t bands = (view.height + 7) / 8;
    const std::vector<uint8_t> bits = BlackDotRows(view, invert, 8 * bands);
    LogoRaster raster;
    raster.header = Header16({}, static_cast<uint32_t>(view.stride), bands);
    raster.data.resize(8 * view.stride * bands);
    // Band k's row i from the top is stored row 8 × bands − 1 − (8k + i). Byte j of its eight
    // rows, transposed, gives the bytes of dot columns 8j to 8j + 7.
    for (uint32_t k = 0; k < bands; ++k) {
        const uint8_t* rows[8];
        for (unsigned i = 0; i < 8; ++i)
            rows[i] = bits.data() + (size_t{8} * bands - 1 - 8 * k - i) * view.stride;
        for (size_t j = 0; j < view.stride; ++j) {
            const uint8_t column[8] = {rows[0][j], rows[1][j], rows[2][j], rows[3][j],
                                       rows[4][j], rows[5][j], rows[6][j], rows[7][j]};
            const uint64_t block = Transpose8x8(MatrixOf(column));
            for (unsigned m = 0; m < 8; ++m)
                raster.data[(8 * j + m) * bands + k] = ByteOf(block, m);
        }
    }
    return raster;
}

LogoRaster PlaneDataOf(const BitmapView& view) {
    const size_t planeBytes = (view.stride + 7) / 8;
    const uint32_t planeRowPairs = (4 * view.height + 7) / 8;  // b: eight plane rows each
    LogoRaster raster;
    raster.header = Header16({0x01, 0x00}, static_cast<uint32_t>(planeBytes), planeRowPairs);
    raster.data.resize(planeBytes * 8 * planeRowPairs);
    // Eight levels at a time as a bit matrix, inverted so that dark dots are set; transposed,
    // its bytes 0 to 3 are the dots of bits 7 to 4. Past the picture every level is 255.
    const size_t wholeGroups = view.width / 8;
    for (uint32_t t = 0; t < view.height; ++t) {
        const uint8_t* levels = view.Row(view.height - 1 - t);
        uint8_t* planes = raster.data.data() + size_t{4} * t * planeBytes;
        for (size_t q = 0; q < planeBytes; ++q) {
            uint8_t padded[8];
            const uint8_t* group = levels + 8 * q;
            if (q >= wholeGroups) {
                std::fill(std::begin(padded), std::end(padded), 0xFF);
                if (8 * q < view.width)
                    std::copy(group, levels + view.width, padded);
                group = padded;
            }
            const uint64_t block = Transpose8x8(~MatrixOf(group));
            for (unsigned bit = 0; bit < 4; ++bit)
                planes[bit * planeBytes + q] = ByteOf(block, bit);
        }
    }
    return raster;
}

}  // namespace

// The rows are exactly those of the header's height: the file's own size field is not used, and
// a file shorter than its rows is refused.
LogoRaster BuildColumnData(std::span<const uint8_t> monoFile) {
    const BitmapRead read = ReadBitmap(monoFile, {1});
    if (read.problem != BitmapProblem::None)
        return Refused(read.problem);
    const MonoPalette palette = PaletteOf(read.view);
    if (palette == MonoPalette::Other)
        return Refused(BitmapProblem::BadPalette);
    try {
        return ColumnDataOf(read.view, palette == MonoPalette::BlackWhite);
    } catch (const std::bad_alloc&) {
        return Refused(BitmapProblem::NoMemory);
    }
}

LogoRaster BuildPlaneData(std::span<const uint8_t> grayFile) {
    const BitmapRead read = ReadBitmap(grayFile, {8});
    if (read.problem != BitmapProblem::None)
        return Refused(read.problem);
    try {
        return PlaneDataOf(read.view);
    } catch (const std::bad_alloc&) {
        return Refused(BitmapProblem::NoMemory);
    }
}

bool IsOneBitBitmap(std::span<const uint8_t> head) {
    const auto header = ReadBitmapHeader(head);
    return header && header->type == kBmpType && header->bitCount == 1;
}

}  // namespace m450
