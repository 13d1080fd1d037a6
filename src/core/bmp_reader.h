// Windows bitmap files (BMP) read from bytes: the two headers, and the pixel rows of an
// uncompressed 1-, 8- or 24-bit picture once every field that sizes a read has been checked.
//
// Logos come from files the user picks, so nothing here trusts the file: the width and height
// must be positive and bounded (a negative height is a picture stored top row first, read in
// the usual order), strides are computed in 64 bits, and a file that ends before the rows its
// header claims is refused rather than read as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <vector>

namespace m450 {

// Why a bitmap (or a logo made from it) was not read. The pages stay silent about most of these;
// the tool prints them.
enum class BitmapProblem : uint8_t {
    None,
    Truncated,         // shorter than the two headers, or the rows end before the height does
    NotBitmap,         // no "BM" at the start
    UnsupportedDepth,  // a bit count the reader was not asked for
    Compressed,        // compression other than 0
    BadSize,           // width or height not in 1 … kMaxBitmapSide (for a top-down picture, -height)
    BadPalette,        // a 1-bit logo whose palette is neither black-white nor white-black
    BadColourTable,    // the colour table runs into the rows, or a pixel's index lies past it
    TooWide,           // error diffusion: wider than its error rows
    Unreadable,        // the caller could not read the file at all
    NoMemory,
};

inline constexpr size_t kBmpFileHeaderSize = 14;
inline constexpr size_t kBmpInfoHeaderSize = 40;
inline constexpr size_t kBmpHeadersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize;  // 54
inline constexpr uint16_t kBmpType = 0x4D42;                                        // "BM"

// The number of rows a height field stands for: its magnitude (negative heights are top-down
// pictures), computed without overflow for every value, -2^31 included.
inline constexpr uint32_t BitmapRows(int32_t height) {
    return height < 0 ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
}

// The largest width and height read. Logos are at most 1024 × 768 on the page; the bound keeps
// every size computed from a header far from overflow and every printer header field in 16 bits.
inline constexpr uint32_t kMaxBitmapSide = 16384;

// The header fields as they stand in the file.
struct BitmapHeader {
    uint16_t type = 0;
    uint32_t fileSize = 0;
    uint32_t pixelOffset = 0;
    uint32_t infoSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t coloursUsed = 0;  // biClrUsed: entries of the colour table, 0 for 2^bitCount
};

// The two headers, or nullopt when the bytes are shorter than 54.
std::optional<BitmapHeader> ReadBitmapHeader(std::span<const uint8_t> file);

// Bytes per row: rows are padded to whole 32-bit words. ((W × bits + 31) / 32) × 4, which is
// ((3W + 3) / 4) × 4 for 24 bits, ((W + 3) / 4) × 4 for 8 and ((W + 31) / 32) × 4 for 1.
inline constexpr size_t BitmapStride(uint32_t width, uint16_t bitCount) {
    return static_cast<size_t>((static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4);
}

// Where the rows of a bitmap of this depth start when the palette is full: 54, 62 or 1078.
inline constexpr size_t StandardPixelOffset(uint16_t bitCount) {
    return kBmpHeadersSize + (bitCount <= 8 ? size_t{4} << bitCount : 0);
}

// A checked, uncompressed bitmap: `pixels` holds height rows of stride bytes as the file keeps
// them. Row(0) is always the bottom row of the picture, whichever order the file stores its rows
// in, so that a top-down picture converts exactly as the same picture stored bottom-up. A 1- or
// 8-bit bitmap has its colour table in `colours`, four bytes per
// entry (blue, green, red, unused), at most 2^bitCount entries; every pixel's index is one of
// them.
struct BitmapView {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitCount = 0;
    size_t stride = 0;
    bool topDown = false;  // the file stores the top row first (its biHeight is negative)
    std::span<const uint8_t> pixels;
    std::span<const uint8_t> colours;

    // Row `index` counted from the bottom of the picture.
    const uint8_t* Row(uint32_t index) const { return pixels.data() + (topDown ? height - 1 - index : index) * stride; }
    size_t ColourCount() const { return colours.size() / 4; }
};

struct BitmapRead {
    BitmapProblem problem = BitmapProblem::None;
    BitmapView view;
};

// Reads a "BM" file of one of `depths` with compression 0 and 1 … kMaxBitmapSide pixels each way
// (rows bottom-up, or top-down with a negative height).
// The checks come in the order the conversions report them: headers present, "BM", depth,
// compression, then size and length, then the colour table. The rows start at bfOffBits when it
// lies past the two headers, else at the depth's standard offset; either way they must all be in
// the file. The colour table of a 1- or 8-bit bitmap follows the information header (of biSize
// bytes, 40 or more) with biClrUsed entries, 2^bitCount when 0, and must end before the rows;
// a pixel whose index lies past it refuses the file.
BitmapRead ReadBitmap(std::span<const uint8_t> file, std::initializer_list<uint16_t> depths);

// Little-endian fields; the writers of working copies use the same helpers.
inline uint16_t LoadLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t LoadLe32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
inline void StoreLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void StoreLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace m450
