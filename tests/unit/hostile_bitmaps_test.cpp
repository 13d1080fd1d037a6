// The malformed-bitmap corpus (hostile_bitmaps.h) through every reader of a picked file: the
// bitmap reader behind the Download page, the logo conversions and rasters, and the watermark
// conversion. Each file is refused for the reason written here, or taken when it is sound.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/bmp_reader.h"
#include "device/logo_conversion.h"
#include "device/logo_jobs.h"
#include "device/logo_raster.h"
#include "document/watermark_bitmap.h"
#include "hostile_bitmaps.h"

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;
using P = BitmapProblem;
using A = LogoDownloadCheck;
using W = WatermarkError;

struct Expected {
    BitmapProblem reader;  // ReadBitmap for 24, 8 or 1 bits
    LogoDownloadCheck added;
    WatermarkError watermark;
};

TEST(HostileBitmaps, EachFileIsRefusedForItsReasonOrTakenWhenSound) {
    const std::map<std::string, Expected> expected = {
        {"empty.bmp", {P::Truncated, A::NoHeaders, W::NotBitmap}},
        {"cut8-2.bmp", {P::Truncated, A::NoHeaders, W::NotBitmap}},
        {"cut8-6.bmp", {P::Truncated, A::NoHeaders, W::NotBitmap}},
        {"cut8-8.bmp", {P::Truncated, A::NoHeaders, W::NotBitmap}},
        {"cut8-10.bmp", {P::Truncated, A::NoHeaders, W::NotBitmap}},
        {"cut8-14.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-18.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-22.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-26.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-28.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-30.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-34.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-38.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-42.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-46.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-50.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-54.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut8-100.bmp", {P::Truncated, A::Unreadable, W::Truncated}},  // the cut that crashed the host
        {"cut8-1078.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"cut8-1090.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"cut8-1101.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"cut24-54.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut24-80.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"cut1-58.bmp", {P::Truncated, A::NoHeaders, W::Truncated}},
        {"cut1-62.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"cut1-70.bmp", {P::Truncated, A::Unreadable, W::Truncated}},
        {"width-0.bmp", {P::BadSize, A::Unreadable, W::UnacceptedLayout}},
        {"width-negative.bmp", {P::BadSize, A::Unreadable, W::UnacceptedLayout}},
        {"width-2p31-1.bmp", {P::BadSize, A::TooBig, W::TooLarge}},
        {"height-0.bmp", {P::BadSize, A::Unreadable, W::UnacceptedLayout}},
        {"height-2p31-1.bmp", {P::BadSize, A::TooBig, W::TooLarge}},
        {"height-minus-2p31-1.bmp", {P::BadSize, A::TooBig, W::TooLarge}},
        {"height-minus-2p31.bmp", {P::BadSize, A::TooBig, W::UnacceptedLayout}},
        {"offset-past-end24.bmp", {P::Truncated, A::Unreadable, W::UnacceptedLayout}},
        {"offset-at-end8.bmp", {P::Truncated, A::Unreadable, W::UnacceptedLayout}},
        // The watermark reads a 256-entry table at 54 whatever biClrUsed says: the picture is whole.
        {"colours-used-max8.bmp", {P::BadColourTable, A::Unreadable, W::None}},
        {"colours-used-1m1.bmp", {P::BadColourTable, A::Unreadable, W::None}},
        {"info-size-max8.bmp", {P::BadColourTable, A::Unreadable, W::UnacceptedLayout}},
        {"bits-0.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"bits-2.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"bits-3.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"bits-5.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"bits-64.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"rle4.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"rle8.bmp", {P::Compressed, A::Unreadable, W::UnacceptedLayout}},
        {"bitfields32.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"bitfields16.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"jpeg.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"png.bmp", {P::UnsupportedDepth, A::Unreadable, W::UnacceptedLayout}},
        {"top-down24.bmp", {P::None, A::Ready, W::None}},
        {"top-down8.bmp", {P::None, A::Ready, W::None}},
        {"top-down1.bmp", {P::None, A::Ready, W::None}},
        {"one-by-one24.bmp", {P::None, A::Ready, W::None}},
        {"one-by-one8.bmp", {P::None, A::Ready, W::None}},
        {"one-by-one1.bmp", {P::None, A::Ready, W::None}},
    };
    const std::vector<test::HostileBitmap> corpus = test::HostileBitmaps();
    ASSERT_EQ(corpus.size(), expected.size());
    for (const test::HostileBitmap& file : corpus) {
        SCOPED_TRACE(file.name);
        ASSERT_EQ(expected.count(file.name), 1u);
        const Expected& e = expected.at(file.name);
        EXPECT_EQ(ReadBitmap(file.bytes, {24, 8, 1}).problem, e.reader);
        EXPECT_EQ(CheckAddedLogo(file.bytes), e.added);
        EXPECT_EQ(ConvertWatermarkPicture(file.bytes).error, e.watermark);
        EXPECT_EQ(file.sound, e.reader == P::None);
        // Every conversion and raster takes a sound file and refuses the others, without reading
        // outside the bytes (the sanitizer builds watch that).
        const int converted = file.sound ? 1 : -1;
        for (const int method : {0, 1, 2, 3})
            EXPECT_EQ(ConvertToMono(file.bytes, {method, 10, -10}).result == ConversionResult::Converted,
                      converted == 1 && file.bytes[28] != 1);
        EXPECT_EQ(ConvertToGray(file.bytes, 10, -10).result == ConversionResult::Converted, converted == 1);
        EXPECT_EQ(BuildColumnData(file.bytes).problem == P::None, file.sound && file.bytes[28] == 1);
        BuildPlaneData(file.bytes);
    }
}

// A top-down picture converts as the same picture stored bottom-up: the working copy's rows
// start with the bottom row.
TEST(HostileBitmaps, TopDownRowsAreReadBottomRowFirst) {
    const Bytes topDown = {
        'B',  'M',  70,   0,    0,  0, 0, 0, 0, 0, 54, 0, 0, 0,        // file header, rows at 54
        40,   0,    0,    0,                                           // biSize
        2,    0,    0,    0,                                           // width 2
        0xFE, 0xFF, 0xFF, 0xFF,                                        // height -2: top row first
        1,    0,    24,   0,                                           // planes 1, 24 bits
        0,    0,    0,    0,    16, 0, 0, 0,                           // uncompressed, 16 bytes of rows
        0,    0,    0,    0,    0,  0, 0, 0, 0, 0, 0,  0, 0, 0, 0, 0,  // resolutions, colours
        255,  255,  255,  0,    0,  0, 0, 0,                           // top row: white, black, padding
        0,    0,    255,  255,  0,  0, 0, 0,                           // bottom row: red, blue, padding
    };
    const LogoConversion gray = ConvertToGray(topDown, 0, 0);
    ASSERT_EQ(gray.result, ConversionResult::Converted);
    ASSERT_EQ(gray.workingCopy.size(), 1078u + 8);
    EXPECT_EQ(gray.workingCopy[22], 2);  // the copy is bottom-up: height 2
    const Bytes rows(gray.workingCopy.begin() + 1078, gray.workingCopy.end());
    EXPECT_EQ(rows, (Bytes{
                        76, 29, 0, 0,  // bottom row: red and blue as gray
                        255, 0, 0, 0,  // top row: white, black
                    }));
}

TEST(WorkingCopyMark, StandsInTheReservedWordsAndTellsACopyFromAUsersFile) {
    Bytes copy = ConvertToGray(test::UniformBitmap8(1, 1, 9), 0, 0).workingCopy;
    EXPECT_FALSE(IsMarkedWorkingCopy(copy));  // the conversions leave the words 0
    MarkWorkingCopy(copy);
    EXPECT_EQ(Bytes(copy.begin(), copy.begin() + 14),
              (Bytes{'B', 'M', 0x3A, 0x04, 0, 0, 'M', '4', '5', '0', 0x36, 0x04, 0, 0}));
    EXPECT_TRUE(IsMarkedWorkingCopy(Bytes(copy.begin(), copy.begin() + 10)));
    EXPECT_FALSE(IsMarkedWorkingCopy(Bytes(copy.begin(), copy.begin() + 9)));
    EXPECT_FALSE(IsMarkedWorkingCopy(Bytes{'m', 'i', 'n', 'e', 0, 0, 'M', '4', '5', '0'}));  // no "BM"
    Bytes tiny = {'B', 'M'};
    MarkWorkingCopy(tiny);
    EXPECT_EQ(tiny, (Bytes{'B', 'M'}));
}

}  // namespace
}  // namespace m450
