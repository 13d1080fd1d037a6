// A corpus of malformed bitmap files, made here rather than downloaded, for every reader of a
// file a user picks: the native reader tests and the pages under Wine take the same files.
//
// Each file is a small sound bitmap with one thing broken: cut at a header field's boundary or
// inside the colour table or the rows; a width or height of 0, negative or 2^31 - 1; rows or a
// colour table said to lie past the end; a depth no reader here takes; a compressed or embedded
// picture. The sound ones among them (top-down rows, 1 × 1 pictures) are marked: every page
// must take those.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "logo_test_images.h"

namespace m450::test {

struct HostileBitmap {
    std::string name;  // also the file's name in the tests that write it
    std::vector<uint8_t> bytes;
    bool sound = false;  // a bitmap every reader must take
};

// The same picture with its rows stored top row first and a negative height.
inline std::vector<uint8_t> TopDown(std::vector<uint8_t> file) {
    const uint32_t offset = file[10] | (file[11] << 8);
    const int32_t height = static_cast<int32_t>(file[22] | (file[23] << 8) | (file[24] << 16));
    const size_t stride = (file.size() - offset) / static_cast<size_t>(height);
    std::vector<uint8_t> flipped(file.begin(), file.begin() + offset);
    for (int32_t row = height - 1; row >= 0; --row)
        flipped.insert(flipped.end(), file.begin() + offset + row * stride, file.begin() + offset + (row + 1) * stride);
    PutLe(flipped, 22, static_cast<uint32_t>(-height), 4);
    return flipped;
}

inline std::vector<uint8_t> Cut(const std::vector<uint8_t>& file, size_t length) {
    return std::vector<uint8_t>(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(length));
}

inline std::vector<uint8_t> WithField(std::vector<uint8_t> file, size_t at, uint32_t value, int bytes) {
    PutLe(file, at, value, bytes);
    return file;
}

// 5 × 3 pictures (rows padded) at 24 and 8 bits, 10 × 3 at 1 bit.
inline std::vector<uint8_t> Sample24() {
    return MakeBitmap24(5, 3, [](uint32_t x, uint32_t row) {
        return Rgb{static_cast<uint8_t>(40 * x), static_cast<uint8_t>(80 * row), 200};
    });
}
inline std::vector<uint8_t> Sample8() {
    return MakeBitmap8(5, 3, [](uint32_t x, uint32_t row) { return static_cast<uint8_t>(50 * x + row); });
}
inline std::vector<uint8_t> Sample1() {
    return MakeBitmap1(10, 3, [](uint32_t x, uint32_t row) { return (x + row) % 3 == 0; });
}

inline std::vector<HostileBitmap> HostileBitmaps() {
    const std::vector<uint8_t> b24 = Sample24();  // 102 bytes, rows at 54
    const std::vector<uint8_t> b8 = Sample8();    // 1102 bytes, rows at 1078
    const std::vector<uint8_t> b1 = Sample1();    // 74 bytes, rows at 62
    std::vector<HostileBitmap> corpus;
    auto add = [&corpus](std::string name, std::vector<uint8_t> bytes, bool sound = false) {
        corpus.push_back({std::move(name) + ".bmp", std::move(bytes), sound});
    };

    // Cut at every field boundary of the two headers, inside and at the end of the colour table,
    // inside the rows and one byte short.
    add("empty", {});
    for (const size_t at : {2, 6, 8, 10, 14, 18, 22, 26, 28, 30, 34, 38, 42, 46, 50, 54, 100, 1078, 1090, 1101})
        add("cut8-" + std::to_string(at), Cut(b8, at));
    add("cut24-54", Cut(b24, 54));
    add("cut24-80", Cut(b24, 80));
    add("cut1-58", Cut(b1, 58));
    add("cut1-62", Cut(b1, 62));
    add("cut1-70", Cut(b1, 70));

    // Sizes.
    add("width-0", WithField(b24, 18, 0, 4));
    add("width-negative", WithField(b24, 18, static_cast<uint32_t>(-5), 4));
    add("width-2p31-1", WithField(b24, 18, 0x7FFFFFFF, 4));
    add("height-0", WithField(b24, 22, 0, 4));
    add("height-2p31-1", WithField(b24, 22, 0x7FFFFFFF, 4));
    add("height-minus-2p31-1", WithField(b24, 22, 0x80000001, 4));
    add("height-minus-2p31", WithField(b24, 22, 0x80000000, 4));

    // Rows and colour tables past the end.
    add("offset-past-end24", WithField(b24, 10, 0xFFFFFFF0, 4));
    add("offset-at-end8", WithField(b8, 10, static_cast<uint32_t>(b8.size()), 4));
    add("colours-used-max8", WithField(b8, 46, 0xFFFFFFFF, 4));
    add("colours-used-1m1", WithField(b1, 46, 1000000, 4));
    add("info-size-max8", WithField(b8, 14, 0x7FFFFFFF, 4));

    // Depths no reader here takes.
    for (const uint32_t bits : {0, 2, 3, 5, 64})
        add("bits-" + std::to_string(bits), WithField(b24, 28, bits, 2));

    // Compressed and embedded pictures.
    std::vector<uint8_t> rle4 = BitmapFrame(5, 3, 4);
    PutLe(rle4, 30, 2, 4);  // BI_RLE4
    rle4.resize(118);
    rle4.insert(rle4.end(), {0x05, 0x12, 0x00, 0x00, 0x05, 0x34, 0x00, 0x00, 0x05, 0x56, 0x00, 0x01});
    add("rle4", rle4);
    std::vector<uint8_t> rle8 = WithField(Cut(b8, 1078), 30, 1, 4);  // BI_RLE8
    rle8.insert(rle8.end(), {0x05, 0x07, 0x00, 0x00, 0x05, 0x09, 0x00, 0x00, 0x05, 0x0B, 0x00, 0x01});
    add("rle8", rle8);
    std::vector<uint8_t> fields = BitmapFrame(5, 3, 32);
    PutLe(fields, 30, 3, 4);  // BI_BITFIELDS, masks in the first three table entries
    fields.insert(fields.begin() + 54, {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0});
    PutLe(fields, 10, 66, 4);
    add("bitfields32", fields);
    add("bitfields16", WithField(WithField(b24, 28, 16, 2), 30, 3, 4));
    std::vector<uint8_t> jpeg = WithField(WithField(Cut(b24, 54), 28, 0, 2), 30, 4, 4);  // BI_JPEG
    jpeg.insert(jpeg.end(), {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0xFF, 0xD9});
    add("jpeg", jpeg);
    std::vector<uint8_t> png = WithField(WithField(Cut(b24, 54), 28, 0, 2), 30, 5, 4);  // BI_PNG
    png.insert(png.end(), {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 'I', 'H', 'D', 'R'});
    add("png", png);

    // Sound pictures of unusual shape.
    add("top-down24", TopDown(b24), true);
    add("top-down8", TopDown(b8), true);
    add("top-down1", TopDown(b1), true);
    add("one-by-one24", UniformBitmap24(1, 1, {10, 20, 30}), true);
    add("one-by-one8", UniformBitmap8(1, 1, 77), true);
    add("one-by-one1", MakeBitmap1(1, 1, [](uint32_t, uint32_t) { return true; }), true);
    return corpus;
}

}  // namespace m450::test
