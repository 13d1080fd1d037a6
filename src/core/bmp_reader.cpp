#include "core/bmp_reader.h"

#include <algorithm>

namespace m450 {
namespace {

bool SideInRange(uint32_t side) {
    return side > 0 && side <= kMaxBitmapSide;
}

BitmapProblem HeaderProblem(const BitmapHeader& header, std::initializer_list<uint16_t> depths) {
    if (header.type != kBmpType)
        return BitmapProblem::NotBitmap;
    if (std::find(depths.begin(), depths.end(), header.bitCount) == depths.end())
        return BitmapProblem::UnsupportedDepth;
    if (header.compression != 0)
        return BitmapProblem::Compressed;
    if (header.width <= 0 || !SideInRange(static_cast<uint32_t>(header.width)) ||
        !SideInRange(BitmapRows(header.height)))
        return BitmapProblem::BadSize;
    return BitmapProblem::None;
}

// True when some pixel of the picture (padding excluded) has an index of `count` or more.
bool IndexPastTable(const BitmapView& view, size_t count) {
    for (uint32_t row = 0; row < view.height; ++row) {
        const uint8_t* p = view.Row(row);
        for (uint32_t x = 0; x < view.width; ++x) {
            const unsigned index = view.bitCount == 8 ? p[x] : (p[x / 8] >> (7 - x % 8)) & 1;
            if (index >= count)
                return true;
        }
    }
    return false;
}

// `head` is the file up to the rows. Sizes are 64-bit: biSize and biClrUsed are whatever the
// file says. Entries past 2^bitCount could never be used and are not kept.
bool ReadColourTable(const BitmapHeader& header, std::span<const uint8_t> head, BitmapView& view) {
    if (header.infoSize < kBmpInfoHeaderSize)
        return false;
    const uint64_t start = kBmpFileHeaderSize + uint64_t{header.infoSize};
    const uint64_t indices = uint64_t{1} << view.bitCount;
    const uint64_t entries = header.coloursUsed != 0 ? header.coloursUsed : indices;
    if (start > head.size() || 4 * entries > head.size() - start)
        return false;
    const size_t kept = static_cast<size_t>(std::min(entries, indices));
    view.colours = head.subspan(static_cast<size_t>(start), 4 * kept);
    return kept == indices || !IndexPastTable(view, kept);
}

}  // namespace

std::optional<BitmapHeader> ReadBitmapHeader(std::span<const uint8_t> file) {
    if (file.size() < kBmpHeadersSize)
        return std::nullopt;
    const uint8_t* p = file.data();
    BitmapHeader h;
    h.type = LoadLe16(p);
    h.fileSize = LoadLe32(p + 2);
    h.pixelOffset = LoadLe32(p + 10);
    h.infoSize = LoadLe32(p + 14);
    h.width = static_cast<int32_t>(LoadLe32(p + 18));
    h.height = static_cast<int32_t>(LoadLe32(p + 22));
    h.planes = LoadLe16(p + 26);
    h.bitCount = LoadLe16(p + 28);
    h.compression = LoadLe32(p + 30);
    h.coloursUsed = LoadLe32(p + 46);
    return h;
}

// Writers that leave bfOffBits at 0 (or point it into the headers) put the rows after a full
// palette; writers of larger information headers or shorter palettes say where the rows are.
// Standard files give the same offset either way.
BitmapRead ReadBitmap(std::span<const uint8_t> file, std::initializer_list<uint16_t> depths) {
    BitmapRead read;
    const auto header = ReadBitmapHeader(file);
    if (!header) {
        read.problem = BitmapProblem::Truncated;
        return read;
    }
    read.problem = HeaderProblem(*header, depths);
    if (read.problem != BitmapProblem::None)
        return read;

    BitmapView& view = read.view;
    view.width = static_cast<uint32_t>(header->width);
    view.height = BitmapRows(header->height);
    view.topDown = header->height < 0;
    view.bitCount = header->bitCount;
    view.stride = BitmapStride(view.width, view.bitCount);
    const size_t offset =
        header->pixelOffset >= kBmpHeadersSize ? header->pixelOffset : StandardPixelOffset(view.bitCount);
    // No overflow: stride ≤ 3 × 16384 + 3 and height ≤ 16384.
    const size_t rowBytes = view.stride * view.height;
    if (offset > file.size() || rowBytes > file.size() - offset) {
        read.problem = BitmapProblem::Truncated;
        return read;
    }
    view.pixels = file.subspan(offset, rowBytes);
    if (view.bitCount <= 8 && !ReadColourTable(*header, file.first(offset), view))
        read.problem = BitmapProblem::BadColourTable;
    return read;
}

}  // namespace m450
