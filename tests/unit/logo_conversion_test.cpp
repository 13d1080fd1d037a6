// Logo conversion, bit for bit: the tone curves with their single-precision steps, the four
// halftone methods with their tie-breaks, the working-copy files, and the refusals of files
// whose headers would size a read they cannot back.
#include "device/logo_conversion.h"

#include "logo_test_images.h"
#include "little_endian.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace m450 {
namespace {

using test::Le32;
using test::Rgb;
using Bytes = std::vector<uint8_t>;

constexpr int kNone = 0, kDitherM3 = 1, kDitherM4 = 2, kErrorDiffuse = 3;
constexpr ConversionResult kFailed = ConversionResult::Failed, kNotConvertible = ConversionResult::NotConvertible;

bool WhiteAt(const Bytes& copy, uint32_t x, uint32_t row) {
    const uint32_t stride = (Le32(copy, 18) + 31) / 32 * 4;
    return copy.at(62 + row * stride + x / 8) & (0x80 >> (x % 8));
}

int CountWhite(const Bytes& copy) {
    int n = 0;
    for (uint32_t row = 0; row < Le32(copy, 22); ++row)
        for (uint32_t x = 0; x < Le32(copy, 18); ++x)
            n += WhiteAt(copy, x, row);
    return n;
}

Bytes Mono(const Bytes& source, int method, int contrast = 0, int brightness = 0) {
    const LogoConversion c = ConvertToMono(source, {method, contrast, brightness});
    EXPECT_EQ(c.result, ConversionResult::Converted) << static_cast<int>(c.problem);
    return c.workingCopy;
}

Bytes MonoRow(const Bytes& copy, uint32_t row) {
    const uint32_t stride = (Le32(copy, 18) + 31) / 32 * 4;
    return Bytes(copy.begin() + 62 + row * stride, copy.begin() + 62 + (row + 1) * stride);
}

TEST(ToneCurve, ContrastStretchesOrSqueezesAroundTheMiddle) {
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(ToneCurve(v, 0, 0), v);
        EXPECT_EQ(ToneCurve(v, 100, 0), v <= 100 ? 0 : v >= 155 ? 255 : ToneCurve(v, 100, 0)) << v;
    }
    EXPECT_GT(ToneCurve(101, 100, 0), 0);
    EXPECT_LT(ToneCurve(154, 100, 0), 255);
    EXPECT_EQ(ToneCurve(0, -100, 0), 100);
    EXPECT_EQ(ToneCurve(255, -100, 0), 155);
    // Brightness comes after the curve and the result is clamped.
    EXPECT_EQ(ToneCurve(0, -100, -30), 70);
    EXPECT_EQ(ToneCurve(100, 0, 20), 120);
    EXPECT_EQ(ToneCurve(250, 0, 100), 255);
    EXPECT_EQ(ToneCurve(10, 0, -100), 0);
    // Settings outside -100 … 100 are clamped, never divide by zero or a negative.
    EXPECT_EQ(ToneCurve(200, 130, 0), ToneCurve(200, 100, 0));
    EXPECT_EQ(ToneCurve(200, -128, 300), ToneCurve(200, -100, 100));
}

TEST(ToneCurve, StepsAreSinglePrecision) {
    // In double precision 255 / q − c would be 155.99999… and 117.99999…
    EXPECT_EQ(ToneCurve(255, -99, 0), 156);
    EXPECT_EQ(ToneCurve(85, -99, 0), 118);
    EXPECT_EQ(ToneCurve(34, -90, 0), 100);
}

TEST(MeanContrast, FactorAroundTheMean) {
    for (int v = 0; v < 256; v += 17)
        EXPECT_EQ(MeanContrast(v, 0, 0, 90), v);
    EXPECT_EQ(MeanContrast(100, 9, 0, 80), 100);  // 9 / 10 is 0: factor 1
    EXPECT_EQ(MeanContrast(100, 10, 0, 80), 120);
    EXPECT_EQ(MeanContrast(100, 100, 0, 80), 255);    // 20 × 11 + 80, clamped
    EXPECT_EQ(MeanContrast(0, 100, 0, 10), 0);        // −10 × 11 + 10, clamped
    EXPECT_EQ(MeanContrast(200, -100, 0, 100), 100);  // 1 − √100 / 10 = 0: everything at the mean
    EXPECT_EQ(MeanContrast(200, -100, -40, 100), 60);
    // f = 0.1 in single precision; −10 × f + 10 is 9 there and 8.99999… in double.
    EXPECT_EQ(MeanContrast(0, -81, 0, 10), 9);
    EXPECT_EQ(MeanContrast(9, -81, 0, 19), 18);
}

TEST(ConvertToMono, MethodNoneThresholdsAtTheMeanAdjustedLuminance) {
    // Luminances 100, 150, 200: the mean is 150 and a pixel equal to it is black.
    const auto levels = [](uint32_t x, uint32_t) { return static_cast<uint8_t>(100 + 50 * x); };
    const Bytes rgb = test::MakeBitmap24(3, 1, [&](uint32_t x, uint32_t r) {
        const uint8_t l = levels(x, r);
        return Rgb{l, l, l};
    });
    EXPECT_EQ(MonoRow(Mono(rgb, kNone), 0), (Bytes{0x20, 0, 0, 0}));
    EXPECT_EQ(MonoRow(Mono(test::MakeBitmap8(3, 1, levels), kNone), 0), (Bytes{0x20, 0, 0, 0}));
    // A 24-bit threshold is made from the three channel means: (1 × 587 + 128 × 299 + 1 × 114)
    // / 1000 = 38, while both pixels have Y = 39 (the mean of Y would be 39: both black).
    const Bytes pair = test::MakeBitmap24(2, 1, [](uint32_t x, uint32_t) {
        return x == 0 ? Rgb{128, 2, 0} : Rgb{128, 1, 2};
    });
    EXPECT_EQ(MonoRow(Mono(pair, kNone), 0), (Bytes{0xC0, 0, 0, 0}));
    // The threshold follows the tone curve: brightness 60 gives 160, 210 and 255 (clamped), mean 208.
    EXPECT_EQ(MonoRow(Mono(rgb, kNone, 0, 60), 0), (Bytes{0x60, 0, 0, 0}));
}

TEST(ConvertToMono, DitherM3OnLuminance128) {
    const Bytes white24 = Mono(test::UniformBitmap24(8, 8, {128, 128, 128}), kDitherM3);
    const Bytes white8 = Mono(test::UniformBitmap8(8, 8, 128), kDitherM3);
    EXPECT_EQ(CountWhite(white24), 33);  // 128 / 4 ≥ t for t = 0 … 32
    EXPECT_EQ(CountWhite(white8), 32);   // 128 / 4 > t for t = 0 … 31
    // The cell of value 32 (row 0, column 1) makes the difference.
    EXPECT_TRUE(WhiteAt(white24, 1, 0));
    EXPECT_FALSE(WhiteAt(white8, 1, 0));
    EXPECT_TRUE(WhiteAt(white8, 0, 0));    // 0
    EXPECT_FALSE(WhiteAt(white24, 0, 1));  // 48
    EXPECT_TRUE(WhiteAt(white24, 4, 4));   // 1
    // The pattern repeats every 8 rows and columns.
    EXPECT_EQ(CountWhite(Mono(test::UniformBitmap24(16, 16, {128, 128, 128}), kDitherM3)), 4 * 33);
}

TEST(ConvertToMono, DitherM4MatrixOffsets) {
    // A uniform 24-bit picture keeps its level under the mean contrast, so the white cells of
    // level L are those with M16 ≤ L: 0 at (0, 0), 1 at (8, 8), 2 at row 8 column 0, 3 at row 0
    // column 8 (rows and columns of the file).
    struct Cell {
        uint32_t row, column;
    };
    const std::vector<Cell> order = {{0, 0}, {8, 8}, {8, 0}, {0, 8}};
    for (int level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        const uint8_t l = static_cast<uint8_t>(level);
        const Bytes copy24 = Mono(test::UniformBitmap24(16, 16, {l, l, l}), kDitherM4);
        const Bytes copy8 = Mono(test::UniformBitmap8(16, 16, l), kDitherM4);
        EXPECT_EQ(CountWhite(copy24), level + 1);
        EXPECT_EQ(CountWhite(copy8), level);  // 8-bit: Y > t
        for (int i = 0; i <= level; ++i) {
            EXPECT_TRUE(WhiteAt(copy24, order[i].column, order[i].row));
            EXPECT_EQ(WhiteAt(copy8, order[i].column, order[i].row), i < level);
        }
    }
    // 255 = 4 × 63 + 3 sits at row 7, column 8: only an 8-bit 255 leaves it black.
    const Bytes full8 = Mono(test::UniformBitmap8(16, 16, 255), kDitherM4);
    EXPECT_EQ(CountWhite(full8), 255);
    EXPECT_FALSE(WhiteAt(full8, 8, 7));
    EXPECT_EQ(CountWhite(Mono(test::UniformBitmap24(16, 16, {255, 255, 255}), kDitherM4)), 256);
}

TEST(ConvertToMono, DitherM4AdjustsEachChannelAroundItsOwnMean) {
    // Contrast 10 and 19 both give the factor 2 (19 / 10 is 1): red 100 / 140 (mean 120) becomes
    // 80 / 160 while green and blue stay at their mean 115. Y = (160 × 299 + 115 × 701) / 1000 = 128
    // meets the threshold 128 of row 0, column 1; the tone curve would have made it 121.
    const Bytes source = test::MakeBitmap24(2, 1, [](uint32_t x, uint32_t) {
        return Rgb{uint8_t(x ? 140 : 100), 115, 115};
    });
    EXPECT_EQ(MonoRow(Mono(source, kDitherM4, 10), 0), (Bytes{0xC0, 0, 0, 0}));
    EXPECT_EQ(MonoRow(Mono(source, kDitherM4, 19), 0), (Bytes{0xC0, 0, 0, 0}));
    EXPECT_EQ(MonoRow(Mono(source, kDitherM3, 10), 0), (Bytes{0x80, 0, 0, 0}));
}

TEST(ConvertToMono, ErrorDiffusion) {
    EXPECT_EQ(CountWhite(Mono(test::UniformBitmap24(9, 5, {255, 255, 255}), kErrorDiffuse)), 45);
    EXPECT_EQ(CountWhite(Mono(test::UniformBitmap24(9, 5, {0, 0, 0}), kErrorDiffuse)), 0);
    // Luminance 129, 4 × 2. Row 0 runs right to left: x3 129 white (r = −126, carries −47,
    // below −47 and −31); x2 82 black (carries 30); x1 159 white (r = −96, carries −36); x0 93
    // black. Row 1 runs left to right on 10, −16, −1, −47: 139 white, 70 black, 154 white, 45 black.
    for (const Bytes& source : {test::UniformBitmap24(4, 2, {129, 129, 129}), test::UniformBitmap8(4, 2, 129)}) {
        const Bytes copy = Mono(source, kErrorDiffuse);
        EXPECT_EQ(MonoRow(copy, 0), (Bytes{0x50, 0, 0, 0}));
        EXPECT_EQ(MonoRow(copy, 1), (Bytes{0xA0, 0, 0, 0}));
    }
    // The error rows hold 2000 columns.
    EXPECT_EQ(ConvertToMono(test::UniformBitmap8(2000, 2, 90), {kErrorDiffuse, 0, 0}).result,
              ConversionResult::Converted);
    const LogoConversion wide = ConvertToMono(test::UniformBitmap8(2001, 2, 90), {kErrorDiffuse, 0, 0});
    EXPECT_EQ(wide.result, ConversionResult::Failed);
    EXPECT_EQ(wide.problem, BitmapProblem::TooWide);
    EXPECT_EQ(ConvertToMono(test::UniformBitmap8(2001, 2, 90), {kDitherM3, 0, 0}).result, ConversionResult::Converted);
}

TEST(ConvertToMono, SmallPicturesAndUnusedBits) {
    // 1 × 1 white: the mean equals the pixel (black under method 0); every other method whitens it.
    for (const Bytes& source : {test::UniformBitmap24(1, 1, {255, 255, 255}), test::UniformBitmap8(1, 1, 255)}) {
        for (int method = 0; method < 4; ++method) {
            const Bytes copy = Mono(source, method);
            ASSERT_EQ(copy.size(), 66u);
            EXPECT_EQ(MonoRow(copy, 0), (Bytes{uint8_t(method == kNone ? 0x00 : 0x80), 0, 0, 0})) << method;
        }
    }
    for (int method = 0; method < 4; ++method) {
        EXPECT_EQ(Mono(test::UniformBitmap24(1, 7, {200, 10, 30}), method).size(), 62u + 7 * 4);
        EXPECT_EQ(Mono(test::UniformBitmap8(37, 1, 77), method).size(), 62u + 8);
    }
    // Width 13: the three low bits of the second byte and the padding stay clear.
    const Bytes copy = Mono(test::UniformBitmap24(13, 3, {255, 255, 255}), kErrorDiffuse);
    for (uint32_t row = 0; row < 3; ++row)
        EXPECT_EQ(MonoRow(copy, row), (Bytes{0xFF, 0xF8, 0x00, 0x00}));
    const Bytes m3 = Mono(test::UniformBitmap24(13, 3, {255, 255, 255}), kDitherM3);
    EXPECT_EQ(MonoRow(m3, 2), (Bytes{0xFF, 0xF8, 0x00, 0x00}));
}

TEST(ConvertToMono, WorkingCopyHeadersAndPalette) {
    const Bytes copy = Mono(test::UniformBitmap8(13, 3, 0), kNone);
    // clang-format off
    const Bytes expected = {
        'B', 'M', 74, 0, 0, 0,        // "BM", file size 62 + 12
        0, 0, 0, 0,                   // reserved
        62, 0, 0, 0,                  // pixel data offset
        40, 0, 0, 0,                  // information header size
        13, 0, 0, 0, 3, 0, 0, 0,      // width, height
        1, 0, 1, 0,                   // planes, bit count
        0, 0, 0, 0, 12, 0, 0, 0,      // compression, image size 4 × 3
        0, 0, 0, 0, 0, 0, 0, 0,       // resolutions
        0, 0, 0, 0, 0, 0, 0, 0,       // colours used, important
        0, 0, 0, 0, 255, 255, 255, 0, // black, white
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // three black rows
    };
    // clang-format on
    EXPECT_EQ(copy, expected);
}

TEST(ConvertToGray, LevelsHeadersAndPalette) {
    const Bytes source = test::MakeBitmap24(3, 2, [](uint32_t x, uint32_t row) {
        return x == 0 ? Rgb{255, 0, 0} : x == 1 ? Rgb{0, 255, 0} : Rgb{0, 0, static_cast<uint8_t>(row ? 255 : 100)};
    });
    const LogoConversion gray = ConvertToGray(source, 0, 0);
    ASSERT_EQ(gray.result, ConversionResult::Converted);
    const Bytes& copy = gray.workingCopy;
    ASSERT_EQ(copy.size(), 1078u + 8);
    // clang-format off
    const Bytes header = {
        'B', 'M', 0x3E, 0x04, 0, 0,  // file size 1078 + 8
        0, 0, 0, 0,                  // reserved
        0x36, 0x04, 0, 0,            // pixel data offset 1078
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,  // header size, width, height
        1, 0, 8, 0, 0, 0, 0, 0,      // planes, bit count, compression
        8, 0, 0, 0,                  // image size 4 × 2
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // resolutions, colours used, important
    };
    // clang-format on
    EXPECT_EQ(Bytes(copy.begin(), copy.begin() + 54), header);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(Bytes(copy.begin() + 54 + 4 * i, copy.begin() + 58 + 4 * i),
                  (Bytes{uint8_t(i), uint8_t(i), uint8_t(i), 0}));
    // 76245 / 1000, 149685 / 1000, 11400 / 1000 and 29070 / 1000; padding 0.
    EXPECT_EQ(Bytes(copy.begin() + 1078, copy.end()), (Bytes{76, 149, 11, 0, 76, 149, 29, 0}));
    // Contrast and brightness apply per channel before the weights.
    EXPECT_EQ(ConvertToGray(source, -100, 0).workingCopy[1078], (155 * 299 + 100 * 587 + 100 * 114) / 1000);

    // 8-bit: the index through the curve. 1-bit: 255 or 0 through the curve.
    EXPECT_EQ(ConvertToGray(test::UniformBitmap8(2, 1, 40), 0, 15).workingCopy[1078], 55);
    const Bytes bits = test::MakeBitmap1(3, 1, [](uint32_t x, uint32_t) { return x != 1; });
    const LogoConversion fromBits = ConvertToGray(bits, -100, 0);
    ASSERT_EQ(fromBits.result, ConversionResult::Converted);
    EXPECT_EQ(Bytes(fromBits.workingCopy.begin() + 1078, fromBits.workingCopy.end()), (Bytes{155, 100, 155, 0}));
}

TEST(LogoConversion, RefusedSources) {
    struct Case {
        const char* name;
        Bytes file;
        BitmapProblem problem;
        ConversionResult mono, gray;
    };
    Bytes notBm = test::UniformBitmap24(4, 4, {1, 2, 3});
    notBm[0] = 'X';
    Bytes depth4 = test::UniformBitmap8(4, 4, 1);
    depth4[28] = 4;
    Bytes rle = test::UniformBitmap8(4, 4, 1);
    rle[30] = 1;
    const auto withField = [](Bytes file, size_t at, uint32_t value) {
        test::PutLe(file, at, value, 4);
        return file;
    };
    const Bytes good = test::UniformBitmap24(4, 4, {1, 2, 3});
    const Bytes oneShort(good.begin(), good.end() - 1);
    const std::vector<Case> cases = {
        {"not BM", notBm, BitmapProblem::NotBitmap, kFailed, kNotConvertible},
        {"4 bits", depth4, BitmapProblem::UnsupportedDepth, kFailed, kNotConvertible},
        {"compressed", rle, BitmapProblem::Compressed, kFailed, kNotConvertible},
        {"headers cut", Bytes(good.begin(), good.begin() + 53), BitmapProblem::Truncated, kFailed, kFailed},
        {"last row cut", oneShort, BitmapProblem::Truncated, kFailed, kFailed},
        {"width 0", withField(good, 18, 0), BitmapProblem::BadSize, kFailed, kNotConvertible},
        {"height 0", withField(good, 22, 0), BitmapProblem::BadSize, kFailed, kNotConvertible},
        // Top-down pictures are read (hostile_bitmaps_test.cpp); a height of -2^31 has no magnitude.
        {"height -2^31", withField(good, 22, 0x80000000), BitmapProblem::BadSize, kFailed, kNotConvertible},
        {"width 16385", withField(good, 18, 16385), BitmapProblem::BadSize, kFailed, kNotConvertible},
        {"huge, little data", withField(withField(good, 18, 16384), 22, 16384), BitmapProblem::Truncated, kFailed,
         kFailed},
        {"offset past the end", withField(good, 10, 0xFFFFFFF0), BitmapProblem::Truncated, kFailed, kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LogoConversion mono = ConvertToMono(c.file, {kErrorDiffuse, 0, 0});
        const LogoConversion gray = ConvertToGray(c.file, 0, 0);
        EXPECT_EQ(mono.result, c.mono);
        EXPECT_EQ(mono.problem, c.problem);
        EXPECT_TRUE(mono.workingCopy.empty());
        EXPECT_EQ(gray.result, c.gray);
        EXPECT_EQ(gray.problem, c.problem);
        EXPECT_TRUE(gray.workingCopy.empty());
    }
    // The names stand for the driver's own values.
    EXPECT_EQ(static_cast<int>(ConversionResult::Converted), 1);
    EXPECT_EQ(static_cast<int>(kFailed), -1);
    EXPECT_EQ(static_cast<int>(kNotConvertible), -2);
    // 1-bit sources have a gray conversion only.
    const Bytes bits = test::MakeBitmap1(9, 2, [](uint32_t, uint32_t) { return true; });
    EXPECT_EQ(ConvertToMono(bits, {}).problem, BitmapProblem::UnsupportedDepth);
    EXPECT_EQ(ConvertToGray(bits, 0, 0).result, ConversionResult::Converted);
}

std::vector<Rgb> GrayRamp(size_t entries) {
    std::vector<Rgb> ramp;
    for (size_t i = 0; i < entries; ++i)
        ramp.push_back({uint8_t(i), uint8_t(i), uint8_t(i)});
    return ramp;
}

Bytes GrayPixels(const LogoConversion& gray) {
    EXPECT_EQ(gray.result, ConversionResult::Converted) << static_cast<int>(gray.problem);
    return gray.workingCopy.size() < 1078 ? Bytes{} : Bytes(gray.workingCopy.begin() + 1078, gray.workingCopy.end());
}

TEST(LogoConversion, RowsStartWhereTheHeaderSays) {
    const Bytes standard =
        test::MakeBitmap8(21, 9, [](uint32_t x, uint32_t row) { return uint8_t((3 * x + 5 * row) % 16); });
    const Bytes expected = Mono(standard, kErrorDiffuse, 20, -10);
    // A writer that leaves bfOffBits at 0 puts the rows after the full palette.
    Bytes zeroOffset = standard;
    test::PutLe(zeroOffset, 10, 0, 4);
    EXPECT_EQ(Mono(zeroOffset, kErrorDiffuse, 20, -10), expected);
    // A short table (biClrUsed 16) moves the rows; bfOffBits says where.
    EXPECT_EQ(Mono(test::WithColourTable(standard, GrayRamp(16), 16), kErrorDiffuse, 20, -10), expected);
    // So does a larger information header (a V4 or V5 one): the table follows it.
    EXPECT_EQ(Mono(test::WithColourTable(standard, GrayRamp(16), 16, 108), kErrorDiffuse, 20, -10), expected);
    EXPECT_EQ(Mono(test::WithColourTable(standard, GrayRamp(256), 0, 124), kErrorDiffuse, 20, -10), expected);
}

TEST(LogoConversion, LevelsAreTakenThroughTheColourTable) {
    // 8 bits, a 256-colour logo: white, red, blue, a dark blue-gray, as the 24-bit path weighs them:
    // 255, 255 × 299 / 1000 = 76, 255 × 114 / 1000 = 29, (10 × 299 + 20 × 587 + 30 × 114) / 1000 = 18.
    std::vector<Rgb> colours(256, Rgb{0, 0, 0});
    colours[0] = {255, 255, 255};
    colours[1] = {255, 0, 0};
    colours[2] = {0, 0, 255};
    colours[3] = {10, 20, 30};
    const Bytes logo =
        test::WithColourTable(test::MakeBitmap8(4, 1, [](uint32_t x, uint32_t) { return uint8_t(x); }), colours, 0);
    EXPECT_EQ(GrayPixels(ConvertToGray(logo, 0, 0)), (Bytes{255, 76, 29, 18}));
    // Contrast and brightness adjust each channel before the weights: contrast -100 makes
    // 0 → 100 and 255 → 155, brightness 10 adds 10 to each. Red: (165 × 299 + 110 × 701) / 1000 = 126.
    EXPECT_EQ(GrayPixels(ConvertToGray(logo, -100, 10)), (Bytes{165, 126, 116, 113}));

    // A gray gradient whose table runs from white to black (entry i = 255 − i).
    std::vector<Rgb> inverted;
    for (int i = 0; i < 256; ++i)
        inverted.push_back({uint8_t(255 - i), uint8_t(255 - i), uint8_t(255 - i)});
    const Bytes gradient = test::WithColourTable(
        test::MakeBitmap8(3, 1, [](uint32_t x, uint32_t) { return uint8_t(x == 1 ? 255 : 100 * x); }), inverted, 0);
    EXPECT_EQ(GrayPixels(ConvertToGray(gradient, 0, 0)), (Bytes{255, 0, 55, 0}));
    // Method 0 on the levels 255, 0, 55: the mean is 103, so the first pixel alone is white.
    EXPECT_EQ(MonoRow(Mono(gradient, kNone), 0), (Bytes{0x80, 0, 0, 0}));
    // A logo on white: every pixel an index whose entry is white. 8-bit sources keep their strict
    // comparison, Y / 4 > t: 63 of the 64 cells are white (not the cell of 63).
    std::vector<Rgb> onWhite(256, Rgb{0, 0, 0});
    onWhite[7] = {255, 255, 255};
    const Bytes white = test::WithColourTable(test::UniformBitmap8(8, 8, 7), onWhite, 0);
    EXPECT_EQ(CountWhite(Mono(white, kDitherM3)), 63);
    EXPECT_EQ(CountWhite(Mono(white, kErrorDiffuse)), 64);

    // 1 bit, white then black: a set bit is black. With contrast -100 black is 100, white 155.
    const Bytes whiteFirst = test::MakeBitmap1(
        3, 1, [](uint32_t x, uint32_t) { return x != 1; }, true);
    EXPECT_EQ(GrayPixels(ConvertToGray(whiteFirst, 0, 0)), (Bytes{0, 255, 0, 0}));
    EXPECT_EQ(GrayPixels(ConvertToGray(whiteFirst, -100, 0)), (Bytes{100, 155, 100, 0}));
    // The black-then-white table as before: a set bit is white.
    const Bytes blackFirst = test::MakeBitmap1(3, 1, [](uint32_t x, uint32_t) { return x != 1; });
    EXPECT_EQ(GrayPixels(ConvertToGray(blackFirst, 0, 0)), (Bytes{255, 0, 255, 0}));
    // Two colours of a 1-bit table: red and blue.
    const Bytes redBlue = test::WithColourTable(blackFirst, {{255, 0, 0}, {0, 0, 255}}, 2);
    EXPECT_EQ(GrayPixels(ConvertToGray(redBlue, 0, 0)), (Bytes{29, 76, 29, 0}));
}

TEST(LogoConversion, ColourTablesAreReadOnlyInsideTheFile) {
    const Bytes sixteen = test::MakeBitmap8(5, 2, [](uint32_t x, uint32_t row) { return uint8_t(x + 5 * row); });
    struct Case {
        const char* name;
        Bytes file;
    };
    Bytes runsIntoRows = test::WithColourTable(sixteen, GrayRamp(16), 16);
    test::PutLe(runsIntoRows, 46, 0, 4);  // 256 entries stated, 16 before the rows
    Bytes tooManyEntries = sixteen;
    test::PutLe(tooManyEntries, 46, 257, 4);  // 257 entries before the rows at 1078
    Bytes infoTooShort = sixteen;
    test::PutLe(infoTooShort, 14, 12, 4);  // the table would lie in the 40 bytes read as header
    Bytes infoPastRows = sixteen;
    test::PutLe(infoPastRows, 14, 0xFFFFFFF0, 4);
    const Bytes oneBit = test::MakeBitmap1(9, 2, [](uint32_t x, uint32_t row) { return x == 8 && row == 1; });
    const std::vector<Case> refused = {
        {"table runs into the rows", runsIntoRows},
        {"257 entries", tooManyEntries},
        {"information header of 12 bytes", infoTooShort},
        {"information header past the rows", infoPastRows},
        {"index 9 of a 9-entry table", test::WithColourTable(sixteen, GrayRamp(9), 9)},
        {"bit 1 of a 1-entry table", test::WithColourTable(oneBit, GrayRamp(1), 1)},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        if (c.file[28] == 8) {  // 1-bit sources have a gray conversion only
            const LogoConversion mono = ConvertToMono(c.file, {kNone, 0, 0});
            EXPECT_EQ(mono.result, ConversionResult::Failed);
            EXPECT_EQ(mono.problem, BitmapProblem::BadColourTable);
        }
        const LogoConversion gray = ConvertToGray(c.file, 0, 0);
        EXPECT_EQ(gray.result, ConversionResult::NotConvertible);
        EXPECT_EQ(gray.problem, BitmapProblem::BadColourTable);
        EXPECT_TRUE(gray.workingCopy.empty());
    }
    // Every index inside the table: read. Set padding bits are no pixels.
    EXPECT_EQ(GrayPixels(ConvertToGray(test::WithColourTable(sixteen, GrayRamp(10), 10), 0, 0)),
              (Bytes{0, 1, 2, 3, 4, 0, 0, 0, 5, 6, 7, 8, 9, 0, 0, 0}));
    Bytes paddingSet =
        test::WithColourTable(test::MakeBitmap1(9, 1, [](uint32_t, uint32_t) { return false; }), GrayRamp(1), 1);
    paddingSet[Le32(paddingSet, 10) + 1] = 0x7F;  // bits right of pixel 8
    paddingSet[Le32(paddingSet, 10) + 3] = 0xFF;  // padding bytes
    EXPECT_EQ(GrayPixels(ConvertToGray(paddingSet, 0, 0)), (Bytes{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(WorkingCopyPath, CutsTheExtensionOfTheFileNameAndAddsTemp) {
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\logos\\shop.bmp")), "C:\\logos\\shopTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::u16string_view(u"D:\\Bilder\\Käse.BMP")), u"D:\\Bilder\\KäseTemp.bmp");
    // The extension starts at the last dot of the file name, whatever its length.
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\logos\\shop.jpeg.bmp")), "C:\\logos\\shop.jpegTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\logos\\shop.dib1")), "C:\\logos\\shopTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\logos\\a.b")), "C:\\logos\\aTemp.bmp");
    // No extension: the whole name is kept, and a dot in a folder's name is not the name's.
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\pics\\ab")), "C:\\pics\\abTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::u16string_view(u"C:\\pics.old\\ab")), u"C:\\pics.old\\abTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("/home/ann/v1.2/logo")), "/home/ann/v1.2/logoTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:logo")), "C:logoTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("shop")), "shopTemp.bmp");
    EXPECT_EQ(WorkingCopyPath(std::string_view("abc")), "abcTemp.bmp");
    // A name that is all extension keeps nothing of it.
    EXPECT_EQ(WorkingCopyPath(std::string_view("C:\\logos\\.bmp")), "C:\\logos\\Temp.bmp");
    // 292 characters and ".bmp" become 300 with "Temp.bmp": 299 and the terminator is the most that fits.
    const std::string fits = std::string(291, 'a') + ".bmp", tooLong = std::string(292, 'a') + ".bmp";
    EXPECT_EQ(WorkingCopyPath(std::string_view(fits))->size(), 299u);
    EXPECT_EQ(WorkingCopyPath(std::string_view(tooLong)), std::nullopt);
    EXPECT_EQ(WorkingCopyPath(std::string_view(std::string(291, 'a')))->size(), 299u);
    EXPECT_EQ(WorkingCopyPath(std::string_view(std::string(292, 'a'))), std::nullopt);
    EXPECT_EQ(WorkingCopyPath(std::string_view("ab.bmp"), 10), std::nullopt);
    EXPECT_EQ(WorkingCopyPath(std::string_view("ab.bmp"), 11), "abTemp.bmp");
}

}  // namespace
}  // namespace m450
