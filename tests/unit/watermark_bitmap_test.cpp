// The watermark picture byte for byte: the printing side reads these files as they are.
#include "document/watermark_bitmap.h"
#include "document/watermark_file.h"
#include "little_endian.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace m450 {
namespace {

using test::Le32;
using test::PutLe32;

using Bytes = std::vector<uint8_t>;

void PutU16(Bytes& b, size_t at, uint16_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

// File and info headers as a usual writer fills them; fields not given are those of such a file.
struct Header {
    uint32_t offBits = 54;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t infoSize = 40;
    uint32_t colorsUsed = 0;
};
Bytes Headers(const Header& h) {
    Bytes b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    PutLe32(b, 10, h.offBits);
    PutLe32(b, 14, h.infoSize);
    PutLe32(b, 18, static_cast<uint32_t>(h.width));
    PutLe32(b, 22, static_cast<uint32_t>(h.height));
    PutU16(b, 26, 1);
    PutU16(b, 28, h.bitCount);
    PutLe32(b, 30, h.compression);
    PutLe32(b, 34, 0x1234);  // biSizeImage of the source's own pixels
    PutLe32(b, 38, 2835);    // 72 dots per inch
    PutLe32(b, 42, 2835);
    PutLe32(b, 46, h.colorsUsed);
    PutLe32(b, 50, h.colorsUsed);
    return b;
}
void Append(Bytes& b, std::initializer_list<uint8_t> bytes) {
    b.insert(b.end(), bytes);
}

// 10 by 2 pixels, one bit each, black (entry 0) and white (entry 1); rows of 4 bytes.
Bytes OneBitSource() {
    Bytes b = Headers({.offBits = 62, .width = 10, .height = 2, .bitCount = 1, .colorsUsed = 2});
    Append(b, {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00});
    Append(b, {0b10110000, 0b01000000, 0xAA, 0xAA});  // 1 0 1 1 0 0 0 0 | 0 1; padding bits ignored
    Append(b, {0b01111111, 0b11111111, 0x00, 0x00});  // 0 1 1 1 1 1 1 1 | 1 1
    return b;
}

// 5 by 1 pixels of 8 bits: entry 7 pure blue, 0 black, 255 grey, 1 red; rows of 8 bytes.
Bytes EightBitSource() {
    Bytes b = Headers({.offBits = 1078, .width = 5, .height = 1, .bitCount = 8, .colorsUsed = 256});
    Bytes table(1024, 0);
    Bytes entries[] = {{0xFF, 0x00, 0x00}, {0x00, 0x00, 0xFF}, {0x80, 0x80, 0x80}};
    std::copy(entries[0].begin(), entries[0].end(), table.begin() + 4 * 7);
    std::copy(entries[1].begin(), entries[1].end(), table.begin() + 4 * 1);
    std::copy(entries[2].begin(), entries[2].end(), table.begin() + 4 * 255);
    b.insert(b.end(), table.begin(), table.end());
    Append(b, {7, 0, 7, 255, 1, 0xEE, 0xEE, 0xEE});
    return b;
}

// 3 by 2 pixels of 24 bits: rows of 9 bytes and 3 padding bytes, and one byte after the rows.
Bytes TwentyFourBitSource() {
    Bytes b = Headers({.offBits = 54, .width = 3, .height = 2, .bitCount = 24});
    for (uint8_t i = 0; i < 24; ++i)
        b.push_back(i);
    b.push_back(0x99);
    return b;
}

TEST(WatermarkBitmap, TwentyFourBitSourceIsCopiedUnchanged) {
    const Bytes source = TwentyFourBitSource();
    const WatermarkPicture picture = ConvertWatermarkPicture(source);
    EXPECT_EQ(picture.error, WatermarkError::None);
    EXPECT_EQ(picture.bytes, source);
}

TEST(WatermarkBitmap, OneBitSourceExpandsToTwentyFourBitsFromItsTable) {
    const WatermarkPicture picture = ConvertWatermarkPicture(OneBitSource());
    ASSERT_EQ(picture.error, WatermarkError::None);

    Bytes expected = Headers({.offBits = 54, .width = 10, .height = 2, .bitCount = 24});
    PutLe32(expected, 2, 54 + 2 * 32);  // bfSize
    PutLe32(expected, 34, 0);           // biSizeImage: the source's no longer applies
    const uint8_t K = 0x00, W = 0xFF;
    for (uint8_t pixel : {W, K, W, W, K, K, K, K, K, W})
        Append(expected, {pixel, pixel, pixel});
    Append(expected, {0xFF, 0xFF});  // 30 pixel bytes, 2 padding bytes
    for (uint8_t pixel : {K, W, W, W, W, W, W, W, W, W})
        Append(expected, {pixel, pixel, pixel});
    Append(expected, {0xFF, 0xFF});
    EXPECT_EQ(picture.bytes, expected);
}

TEST(WatermarkBitmap, EightBitSourceTakesItsColoursFromTheTable) {
    const WatermarkPicture picture = ConvertWatermarkPicture(EightBitSource());
    ASSERT_EQ(picture.error, WatermarkError::None);

    Bytes expected = Headers({.offBits = 54, .width = 5, .height = 1, .bitCount = 24});
    PutLe32(expected, 2, 54 + 16);
    PutLe32(expected, 34, 0);
    Append(expected, {
                         0xFF, 0x00, 0x00,  // 7: pure blue
                         0x00, 0x00, 0x00,  // 0
                         0xFF, 0x00, 0x00,  // 7
                         0x80, 0x80, 0x80,  // 255
                         0x00, 0x00, 0xFF,  // 1: red
                         0x00,              // padding to 16
                     });
    EXPECT_EQ(picture.bytes, expected);
}

TEST(WatermarkBitmap, TopDownRowsKeepTheirOrderAndHeight) {
    Bytes source = OneBitSource();
    PutLe32(source, 22, static_cast<uint32_t>(-2));
    const WatermarkPicture picture = ConvertWatermarkPicture(source);
    ASSERT_EQ(picture.error, WatermarkError::None);
    EXPECT_EQ(Le32(picture.bytes, 22), static_cast<uint32_t>(-2));
    EXPECT_EQ(picture.bytes.size(), 54u + 2 * 32);
    const Bytes bottomUp = ConvertWatermarkPicture(OneBitSource()).bytes;
    EXPECT_TRUE(std::equal(picture.bytes.begin() + 54, picture.bytes.end(), bottomUp.begin() + 54));
}

TEST(WatermarkBitmap, OtherLayoutsAreRefused) {
    struct Case {
        const char* what;
        Header header;
        WatermarkError error;
    };
    const Case cases[] = {
        {"4-bit", {.offBits = 118, .width = 4, .bitCount = 4, .colorsUsed = 16}, WatermarkError::UnacceptedLayout},
        {"8-bit, 16 colours",
         {.offBits = 118, .width = 4, .bitCount = 8, .colorsUsed = 16},
         WatermarkError::UnacceptedLayout},
        {"RLE8", {.offBits = 1078, .width = 4, .bitCount = 8, .compression = 1}, WatermarkError::UnacceptedLayout},
        {"4-bit, 2 colours",
         {.offBits = 62, .width = 4, .bitCount = 4, .colorsUsed = 2},
         WatermarkError::UnacceptedLayout},
        {"32-bit", {.offBits = 54, .width = 4, .bitCount = 32}, WatermarkError::UnacceptedLayout},
        {"16-bit", {.offBits = 54, .width = 4, .bitCount = 16}, WatermarkError::UnacceptedLayout},
        {"core header", {.offBits = 54, .width = 4, .infoSize = 12}, WatermarkError::UnacceptedLayout},
        {"no width", {.offBits = 54, .width = 0}, WatermarkError::UnacceptedLayout},
        {"negative width", {.offBits = 54, .width = -4}, WatermarkError::UnacceptedLayout},
        {"no height", {.offBits = 54, .width = 4, .height = 0}, WatermarkError::UnacceptedLayout},
        // Refused before anything is allocated: sides above 16384, or 24-bit rows above 64 MiB.
        {"wide", {.offBits = 62, .width = 16385, .height = 1, .bitCount = 1}, WatermarkError::TooLarge},
        {"tall", {.offBits = 54, .width = 1, .height = -16385}, WatermarkError::TooLarge},
        {"huge", {.offBits = 62, .width = 16384, .height = 16384, .bitCount = 1}, WatermarkError::TooLarge},
    };
    for (const Case& c : cases) {
        Bytes source = Headers(c.header);
        source.resize(source.size() + 4096, 0);
        const WatermarkPicture picture = ConvertWatermarkPicture(source);
        EXPECT_EQ(picture.error, c.error) << c.what;
        EXPECT_TRUE(picture.bytes.empty()) << c.what;
        EXPECT_EQ(WatermarkConversionOf(picture.error), WatermarkConversion::Refused) << c.what;
    }

    Bytes notBitmap = TwentyFourBitSource();
    notBitmap[0] = 'b';
    EXPECT_EQ(ConvertWatermarkPicture(notBitmap).error, WatermarkError::NotBitmap);
    EXPECT_EQ(ConvertWatermarkPicture({}).error, WatermarkError::NotBitmap);
}

TEST(WatermarkBitmap, AFileThatEndsEarlyIsRefusedAtEveryLength) {
    for (const Bytes& whole : {OneBitSource(), EightBitSource(), TwentyFourBitSource()}) {
        // The 24-bit source's last byte lies past its rows: only up to the rows must be there.
        const size_t needed = Le32(whole, 10) == 54 ? whole.size() - 1 : whole.size();
        for (size_t size = 0; size < needed; ++size) {
            const WatermarkPicture picture = ConvertWatermarkPicture(std::span(whole).first(size));
            EXPECT_NE(picture.error, WatermarkError::None) << "offset " << Le32(whole, 10) << ", " << size << " bytes";
            EXPECT_TRUE(picture.bytes.empty());
        }
        EXPECT_EQ(ConvertWatermarkPicture(std::span(whole).first(needed)).error, WatermarkError::None);
    }
    const Bytes oneBit = OneBitSource();
    EXPECT_EQ(ConvertWatermarkPicture(std::span(oneBit).first(69)).error, WatermarkError::Truncated);
}

TEST(WatermarkBitmap, TextPictureIs300By300At24Bits) {
    Bytes canvas(kWatermarkCanvasBytes);
    for (size_t i = 0; i < canvas.size(); ++i)
        canvas[i] = static_cast<uint8_t>(i * 7);
    const Bytes file = TextPictureFromCanvas(canvas);
    ASSERT_EQ(file.size(), 270054u);

    const uint8_t header[54] = {
        'B',  'M',  0xE6, 0x1E, 0x04, 0x00,  // bfSize 270054
        0,    0,    0,    0,                 // reserved
        54,   0,    0,    0,                 // bfOffBits
        40,   0,    0,    0,                 // biSize
        0x2C, 0x01, 0,    0,                 // biWidth 300
        0x2C, 0x01, 0,    0,                 // biHeight 300
        1,    0,    24,   0,                 // planes, bits
        // compression, image size, resolutions, colours: all 0
    };
    EXPECT_TRUE(std::equal(std::begin(header), std::end(header), file.begin()));
    // Each canvas pixel's blue, green and red; the fourth byte is dropped.
    for (size_t pixel : {size_t{0}, size_t{299}, size_t{300}, size_t{89999}}) {
        for (size_t c = 0; c < 3; ++c)
            EXPECT_EQ(file[54 + 3 * pixel + c], canvas[4 * pixel + c]) << pixel;
    }

    // A canvas that could not be read back entirely is white where it has no bytes.
    const Bytes white = TextPictureFromCanvas(std::span(canvas).first(6));
    ASSERT_EQ(white.size(), 270054u);
    EXPECT_EQ(white[54], canvas[0]);
    EXPECT_EQ(white[56], canvas[2]);
    EXPECT_EQ(white[57], canvas[4]);
    EXPECT_EQ(white[58], canvas[5]);
    EXPECT_EQ(std::count(white.begin() + 59, white.end(), 0xFF), 270054 - 59);
}

// The picture file on disk: replaced only by a complete new picture.
class WatermarkFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("m450_watermark_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path Write(const char* name, const Bytes& bytes) {
        const std::filesystem::path path = dir_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
    static Bytes Read(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(file), {});
    }
    size_t FilesInDir() const {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(dir_), {}));
    }

    std::filesystem::path dir_;
};

TEST_F(WatermarkFile, ConversionReplacesThePicture) {
    const std::filesystem::path picture = Write("KVL-M4501.bmp", TwentyFourBitSource());
    const std::filesystem::path source = Write("logo.bmp", OneBitSource());
    WatermarkError why = WatermarkError::Unreadable;
    EXPECT_EQ(convertWatermarkBitmap(source, picture, &why), WatermarkConversion::Converted);
    EXPECT_EQ(why, WatermarkError::None);
    EXPECT_EQ(Read(picture), ConvertWatermarkPicture(OneBitSource()).bytes);
    EXPECT_EQ(FilesInDir(), 2u);  // nothing left beside the picture

    // A picture file that does not exist yet is created.
    EXPECT_EQ(convertWatermarkBitmap(source, dir_ / "new1.bmp"), WatermarkConversion::Converted);
    EXPECT_EQ(Read(dir_ / "new1.bmp"), ConvertWatermarkPicture(OneBitSource()).bytes);
}

TEST_F(WatermarkFile, ARefusedSourceLeavesTheOldPictureByteForByte) {
    const Bytes old = TwentyFourBitSource();
    const std::filesystem::path picture = Write("KVL-M4501.bmp", old);

    Bytes fourBit = Headers({.offBits = 118, .width = 4, .bitCount = 4, .colorsUsed = 16});
    fourBit.resize(200, 0);
    Bytes truncated = EightBitSource();
    truncated.pop_back();
    const std::pair<std::filesystem::path, WatermarkError> refused[] = {
        {Write("four.bmp", fourBit), WatermarkError::UnacceptedLayout},
        {Write("short.bmp", truncated), WatermarkError::Truncated},
        {Write("text.bmp", {'h', 'e', 'l', 'l', 'o'}), WatermarkError::NotBitmap},
        {dir_ / "missing.bmp", WatermarkError::Unreadable},
        {dir_, WatermarkError::Unreadable},  // a folder
    };
    for (const auto& [source, error] : refused) {
        WatermarkError why = WatermarkError::None;
        EXPECT_EQ(convertWatermarkBitmap(source, picture, &why), WatermarkConversion::Refused) << source;
        EXPECT_EQ(why, error) << source;
        EXPECT_EQ(Read(picture), old) << source;
    }
    EXPECT_EQ(FilesInDir(), 4u);
}

// Valid 24-bit pictures above the size limits are told apart from files of other layouts,
// also when the file is too large to be read whole.
TEST_F(WatermarkFile, APictureAboveTheSizeLimitsIsTooLarge) {
    const Bytes old = TwentyFourBitSource();
    const std::filesystem::path picture = Write("KVL-M4501.bmp", old);

    // 16385 pixels wide, one row: a side above 16384.
    Bytes wide = Headers({.offBits = 54, .width = 16385, .height = 1, .bitCount = 24});
    wide.resize(54 + 49156, 0x80);
    // 8192 by 2731 pixels: 24576 bytes a row, 67117056 bytes in all, above 64 MiB, in a file
    // that holds them (sparse: only its last byte is written).
    const std::filesystem::path big = dir_ / "big.bmp";
    {
        Bytes headers = Headers({.offBits = 54, .width = 8192, .height = 2731, .bitCount = 24});
        std::ofstream out(big, std::ios::binary);
        out.write(reinterpret_cast<const char*>(headers.data()), static_cast<std::streamsize>(headers.size()));
        out.seekp(54 + 67117056 - 1);
        out.put('\0');
    }
    // As large a file of another layout is refused as such.
    const std::filesystem::path bigFourBit = dir_ / "big4.bmp";
    {
        Bytes headers = Headers({.offBits = 118, .width = 8192, .height = 2731, .bitCount = 4});
        std::ofstream out(bigFourBit, std::ios::binary);
        out.write(reinterpret_cast<const char*>(headers.data()), static_cast<std::streamsize>(headers.size()));
        out.seekp(54 + 67117056 - 1);
        out.put('\0');
    }
    const std::pair<std::filesystem::path, WatermarkError> cases[] = {
        {Write("wide.bmp", wide), WatermarkError::TooLarge},
        {big, WatermarkError::TooLarge},
        {bigFourBit, WatermarkError::Unreadable},
    };
    for (const auto& [source, error] : cases) {
        WatermarkError why = WatermarkError::None;
        EXPECT_EQ(convertWatermarkBitmap(source, picture, &why), WatermarkConversion::Refused) << source;
        EXPECT_EQ(why, error) << source;
        EXPECT_EQ(Read(picture), old) << source;
    }
}

TEST_F(WatermarkFile, APictureThatCannotBeWrittenIsNotWritten) {
    const std::filesystem::path source = Write("logo.bmp", EightBitSource());
    WatermarkError why = WatermarkError::None;
    EXPECT_EQ(convertWatermarkBitmap(source, dir_ / "no such folder" / "KVL-M4501.bmp", &why),
              WatermarkConversion::NotWritten);
    EXPECT_EQ(why, WatermarkError::NotWritten);

    // A folder where the picture should be stays a folder, with nothing written beside it.
    std::filesystem::create_directory(dir_ / "taken1.bmp");
    EXPECT_EQ(convertWatermarkBitmap(source, dir_ / "taken1.bmp"), WatermarkConversion::NotWritten);
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "taken1.bmp"));
    EXPECT_EQ(FilesInDir(), 2u);
}

TEST_F(WatermarkFile, TextPictureFileAndItsName) {
    const std::filesystem::path picture = Write("KVL-M4501.bmp", OneBitSource());
    ASSERT_TRUE(WriteTextPictureFile(picture, Bytes(kWatermarkCanvasBytes, 0x40)));
    const Bytes file = Read(picture);
    ASSERT_EQ(file.size(), 270054u);
    EXPECT_EQ(file[54], 0x40);
    EXPECT_FALSE(WriteTextPictureFile(dir_ / "no such folder" / "x.bmp", {}));

    EXPECT_EQ(WatermarkPictureFile(u"C:\\Users\\u\\AppData\\Local\\Temp\\", u"KVL-M450"),
              u"C:\\Users\\u\\AppData\\Local\\Temp\\KVL-M4501.bmp");
    EXPECT_EQ(WatermarkPictureFile(u"C:\\Temp", u"KVL-M450 (Copy 1)"), u"C:\\Temp\\KVL-M450 (Copy 1)1.bmp");
}

}  // namespace
}  // namespace m450
