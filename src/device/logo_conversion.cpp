#include "device/logo_conversion.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace m450 {
namespace {

// Rounds to single precision. The store through volatile makes the rounding happen even where a
// compiler keeps intermediates wider (x87 registers in 32-bit builds), so every step of the tone
// curves is one single-precision operation on every build. Only the 256-entry tables pay for it.
float Single(double value) {
    volatile float rounded = static_cast<float>(value);
    return rounded;
}

int ClampAdjustment(int value) {
    return std::clamp(value, kMinLogoAdjustment, kMaxLogoAdjustment);
}

uint8_t ClampLevel(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// The standard 8 × 8 Bayer index matrix.
constexpr uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},    {48, 16, 56, 24, 50, 18, 58, 26}, {12, 44, 4, 36, 14, 46, 6, 38},
    {60, 28, 52, 20, 62, 30, 54, 22}, {3, 35, 11, 43, 1, 33, 9, 41},    {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37},   {63, 31, 55, 23, 61, 29, 53, 21},
};

// The 16 × 16 matrix of method 2: four copies of 4 × M8, offset by 0 (top left), 3 (top right),
// 2 (bottom left) and 1 (bottom right).
constexpr uint8_t Bayer16(unsigned row, unsigned column) {
    constexpr uint8_t kQuadrantOffset[2][2] = {{0, 3}, {2, 1}};
    return static_cast<uint8_t>(4 * kBayer8[row % 8][column % 8] + kQuadrantOffset[row / 8 % 2][column / 8 % 2]);
}

// Y = S / 1000 with S = R′ × 299 + G′ × 587 + B′ × 114 ≤ 255000 is exactly (S × kLumaFactor) >>
// kLumaShift (checked for every S up to 255000), so the tables hold each channel's share of S
// already multiplied and a pixel's Y is a sum and a shift.
constexpr uint64_t kLumaFactor = 274877907;  // ⌈2^38 / 1000⌉
constexpr unsigned kLumaShift = 38;

// Adjusted levels ready for the luminance Y = (R′ × 299 + G′ × 587 + B′ × 114) / 1000 of a 24-bit
// pixel; `level` is Y of each colour-table entry of a 1- or 8-bit source, by index.
struct LumaTables {
    ToneTable level;
    std::array<uint64_t, 256> blue;
    std::array<uint64_t, 256> green;
    std::array<uint64_t, 256> red;
};

LumaTables MakeLumaTables(const ToneTable& level, const ToneTable& blue, const ToneTable& green, const ToneTable& red) {
    LumaTables t;
    t.level = level;
    for (int i = 0; i < 256; ++i) {
        t.blue[i] = blue[i] * 114u * kLumaFactor;
        t.green[i] = green[i] * 587u * kLumaFactor;
        t.red[i] = red[i] * 299u * kLumaFactor;
    }
    return t;
}

// Y of every pixel of one source row.
void LumaRow(const BitmapView& source, uint32_t row, const LumaTables& t, uint8_t* luma) {
    const uint8_t* p = source.Row(row);
    const uint32_t width = source.width;
    if (source.bitCount == 24) {
        for (uint32_t x = 0; x < width; ++x, p += 3)
            luma[x] = static_cast<uint8_t>((t.blue[p[0]] + t.green[p[1]] + t.red[p[2]]) >> kLumaShift);
    } else if (source.bitCount == 8) {
        for (uint32_t x = 0; x < width; ++x)
            luma[x] = t.level[p[x]];
    } else {
        for (uint32_t x = 0; x < width; ++x)
            luma[x] = t.level[(p[x / 8] >> (7 - x % 8)) & 1];
    }
}

// Sums of map[byte] over the picture (padding excluded), per channel: blue, green, red for a
// 24-bit source, the index alone (in [0]) for an 8-bit one.
template <unsigned Channels>
std::array<uint64_t, 3> ChannelSumsOf(const BitmapView& source, const ToneTable& map) {
    std::array<uint64_t, 3> sums{};
    for (uint32_t row = 0; row < source.height; ++row) {
        const uint8_t* p = source.Row(row);
        std::array<uint32_t, Channels> rowSums{};  // no overflow: at most 16384 × 255 per row
        for (uint32_t x = 0; x < source.width; ++x, p += Channels)
            for (unsigned c = 0; c < Channels; ++c)
                rowSums[c] += map[p[c]];
        for (unsigned c = 0; c < Channels; ++c)
            sums[c] += rowSums[c];
    }
    return sums;
}

std::array<uint64_t, 3> ChannelSums(const BitmapView& source, const ToneTable& map) {
    return source.bitCount == 24 ? ChannelSumsOf<3>(source, map) : ChannelSumsOf<1>(source, map);
}

// Means are whole-number quotients of the sums by W × height.
std::array<uint8_t, 3> ChannelMeans(const BitmapView& source, const ToneTable& map) {
    const auto sums = ChannelSums(source, map);
    const uint64_t pixels = uint64_t{source.width} * source.height;
    return {static_cast<uint8_t>(sums[0] / pixels), static_cast<uint8_t>(sums[1] / pixels),
            static_cast<uint8_t>(sums[2] / pixels)};
}

ToneTable IdentityTable() {
    ToneTable t;
    for (int i = 0; i < 256; ++i)
        t[i] = static_cast<uint8_t>(i);
    return t;
}

// The level of each colour-table entry of a 1- or 8-bit source: Y of its red, green and blue
// adjusted by the tone curve, as for a 24-bit pixel of that colour. A gray entry (i, i, i) gives
// the adjusted i itself, which keeps gray-ramp and black-then-white tables as they always were.
// Indices past the table get 0; the reader refused files whose pixels use them.
ToneTable ColourLevels(const BitmapView& source, const ToneTable& tone) {
    ToneTable levels{};
    for (size_t i = 0; i < source.ColourCount(); ++i) {
        const uint8_t* entry = source.colours.data() + 4 * i;
        levels[i] =
            static_cast<uint8_t>((tone[entry[2]] * 299u + tone[entry[1]] * 587u + tone[entry[0]] * 114u) / 1000);
    }
    return levels;
}

// Method 2 adjusts each channel of a 24-bit source around that channel's mean raw byte; every
// other method and every 8-bit or 1-bit source uses the tone curve.
LumaTables LumaTablesFor(const BitmapView& source, const LogoSettings& s) {
    const ToneTable tone = ToneCurveTable(s.contrast, s.brightness);
    if (source.bitCount != 24)
        return MakeLumaTables(ColourLevels(source, tone), tone, tone, tone);
    if (s.method != static_cast<int>(HalftoneMethod::DitherM4))
        return MakeLumaTables(tone, tone, tone, tone);
    const auto means = ChannelMeans(source, IdentityTable());
    return MakeLumaTables(tone, MeanContrastTable(s.contrast, s.brightness, means[0]),
                          MeanContrastTable(s.contrast, s.brightness, means[1]),
                          MeanContrastTable(s.contrast, s.brightness, means[2]));
}

// Method 0's threshold: the mean adjusted luminance. For a 24-bit source it is made from the
// three channel means, T = (Ḡ × 587 + R̄ × 299 + B̄ × 114) / 1000, not from the pixels' Y.
unsigned MeanLuminanceOf(const std::array<uint8_t, 3>& means, uint16_t bitCount) {
    if (bitCount == 8)
        return means[0];
    return (means[1] * 587u + means[2] * 299u + means[0] * 114u) / 1000;
}

unsigned MeanLuminance(const BitmapView& source, const ToneTable& tone) {
    return MeanLuminanceOf(ChannelMeans(source, tone), source.bitCount);
}

// Method 0 on a 24-bit source reads the picture once: every pixel's Y is kept while the tone
// sums of its threshold are taken. One table entry per channel level holds the level (blue in
// bits 0 … 11, green in 12 … 23; red has no field) and, from bit 24, the channel's share of
// S = R′ × 299 + G′ × 587 + B′ × 114 multiplied by kMeanFactor, for which Y = S / 1000 is exactly
// (S × kMeanFactor) >> kMeanShift (checked for every S up to 255000). A pixel's three entries add
// up to its Y in the top bits; 16 pixels' entries add up to the blue and green sums in the low
// fields (16 × 255 < 2^12) and to 16 shares of S × kMeanFactor (< 2^38) above, whose sum over the
// picture gives the red sum: (ΣS − 114 ΣB′ − 587 ΣG′) / 299.
constexpr uint64_t kMeanFactor = 67109;  // ⌈2^26 / 1000⌉
constexpr unsigned kMeanShift = 26;
constexpr unsigned kLevelField = 12;
constexpr unsigned kShareShift = 2 * kLevelField;
constexpr uint32_t kPixelsPerSum = 16;
// Pictures up to this many pixels keep their Y whole (the largest logo has 786432); larger ones
// take the tone sums in a pass of their own.
constexpr uint64_t kMaxKeptLuma = uint64_t{1} << 22;

struct PackedTables {
    std::array<uint64_t, 256> blue, green, red;
};

PackedTables MakePackedTables(const ToneTable& tone) {
    PackedTables t;
    for (int i = 0; i < 256; ++i) {
        t.blue[i] = (tone[i] * 114u * kMeanFactor << kShareShift) | tone[i];
        t.green[i] = (tone[i] * 587u * kMeanFactor << kShareShift) | (uint64_t{tone[i]} << kLevelField);
        t.red[i] = tone[i] * 299u * kMeanFactor << kShareShift;
    }
    return t;
}

// Y of every pixel into `luma` (rows in file order, `width` bytes each); the channel means.
std::array<uint8_t, 3> LumaAndMeans(const BitmapView& source, const ToneTable& tone, uint8_t* luma) {
    const PackedTables t = MakePackedTables(tone);
    // Blue and green side by side in the file: one entry for the pair (green × 256 + blue).
    std::vector<uint64_t> blueGreen(256 * 256);
    for (size_t g = 0; g < 256; ++g)
        for (size_t b = 0; b < 256; ++b)
            blueGreen[g * 256 + b] = t.blue[b] + t.green[g];
    constexpr uint64_t kField = (uint64_t{1} << kLevelField) - 1;
    uint64_t blue = 0, green = 0, shares = 0;
    const auto add = [&](uint64_t fields) {
        blue += fields & kField;
        green += (fields >> kLevelField) & kField;
        shares += fields >> kShareShift;
    };
    for (uint32_t row = 0; row < source.height; ++row) {
        const uint8_t* p = source.Row(row);
        uint8_t* y = luma + size_t{row} * source.width;
        const auto pixel = [&]() {
            const uint64_t e = blueGreen[p[0] | (p[1] << 8)] + t.red[p[2]];
            p += 3;
            *y++ = static_cast<uint8_t>(e >> (kShareShift + kMeanShift));
            return e;
        };
        uint32_t left = source.width;
        for (; left >= kPixelsPerSum; left -= kPixelsPerSum) {
            uint64_t fields = 0;
            for (uint32_t i = 0; i < kPixelsPerSum; ++i)
                fields += pixel();
            add(fields);
        }
        uint64_t fields = 0;
        for (; left > 0; --left)
            fields += pixel();
        add(fields);
    }
    const uint64_t red = (shares / kMeanFactor - 114 * blue - 587 * green) / 299;
    const uint64_t pixels = uint64_t{source.width} * source.height;
    return {static_cast<uint8_t>(blue / pixels), static_cast<uint8_t>(green / pixels),
            static_cast<uint8_t>(red / pixels)};
}

// Every threshold method as one matrix, tiled over the picture from the first file row and
// column: a pixel is white where Y ≥ the entry. The comparisons of the methods fold into it:
// Y > T is Y ≥ T + 1; Y / 4 ≥ t is Y ≥ 4t. An 8-bit source compares strictly (Y / 4 > t, Y > t)
// where a 24-bit source does not (Y / 4 ≥ t, Y ≥ t): one step higher.
using ThresholdMatrix = std::array<std::array<uint16_t, 16>, 16>;

// `mean` is method 0's threshold, unused by the others.
ThresholdMatrix Thresholds(const BitmapView& source, const LogoSettings& s, unsigned mean) {
    const unsigned strict = source.bitCount == 8 ? 1 : 0;
    ThresholdMatrix m;
    for (unsigned r = 0; r < 16; ++r) {
        for (unsigned k = 0; k < 16; ++k) {
            switch (static_cast<HalftoneMethod>(s.method)) {
                case HalftoneMethod::None:
                    m[r][k] = static_cast<uint16_t>(mean + 1);
                    break;
                case HalftoneMethod::DitherM3:
                    m[r][k] = static_cast<uint16_t>(4 * (kBayer8[r % 8][k % 8] + strict));
                    break;
                default:
                    m[r][k] = static_cast<uint16_t>(Bayer16(r, k) + strict);
                    break;
            }
        }
    }
    return m;
}

// Eight white flags (0 or 1), leftmost first, as one byte: leftmost in the most significant bit.
// The multiplication moves flag i of the little-endian word to bit 63 − i without carries.
uint8_t PackEight(const uint8_t* white) {
    uint64_t flags = 0;
    for (unsigned i = 0; i < 8; ++i)
        flags |= uint64_t{white[i]} << (8 * i);
    return static_cast<uint8_t>((flags * 0x8040201008040201ull) >> 56);
}

// One output row from its white flags: pixel x is bit 7 − x mod 8 of byte x / 8, set for white;
// the bits past the last pixel and the row's padding stay clear.
void PackRow(const uint8_t* white, uint32_t width, uint8_t* out) {
    uint32_t x = 0;
    for (; x + 8 <= width; x += 8)
        out[x / 8] = PackEight(white + x);
    if (x < width) {
        uint8_t tail[8] = {};
        std::copy(white + x, white + width, tail);
        out[x / 8] = PackEight(tail);
    }
}

// A row of the matrix as two words of eight thresholds, byte i of a word the threshold of one
// column (cut to 255), and the columns whose threshold is above 255, where no pixel is white.
struct ThresholdWords {
    std::array<uint64_t, 2> limits{};
    std::array<uint64_t, 2> never{};
};

ThresholdWords WordsOf(const std::array<uint16_t, 16>& row) {
    ThresholdWords words;
    for (unsigned k = 0; k < 16; ++k) {
        words.limits[k / 8] |= uint64_t{std::min<uint16_t>(row[k], 255)} << (8 * (k % 8));
        if (row[k] > 255)
            words.never[k / 8] |= uint64_t{0x80} << (8 * (k % 8));
    }
    return words;
}

// Eight levels, the first in the lowest byte.
uint64_t LoadEight(const uint8_t* p) {
    uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&word, p, sizeof(word));
    } else {
        for (unsigned i = 0; i < 8; ++i)
            word |= uint64_t{p[i]} << (8 * i);
    }
    return word;
}

// The top bit of each byte set where that byte of `a` is at least that of `b`: the low seven
// bits are compared by a subtraction that cannot borrow across bytes, then the top bits decide.
uint64_t AtLeast(uint64_t a, uint64_t b) {
    constexpr uint64_t kTop = 0x8080808080808080ull;
    const uint64_t lowAtLeast = (a | kTop) - (b & ~kTop);
    return ((a & ~b) | (~(a ^ b) & lowAtLeast)) & kTop;
}

// Eight white flags (top bits of the bytes, leftmost pixel in the lowest byte) as one byte.
uint8_t PackTopBits(uint64_t flags) {
    return static_cast<uint8_t>(((flags >> 7) * 0x8040201008040201ull) >> 56);
}

// One output row: white where Y reaches the threshold of its column in this row of the matrix,
// eight pixels at a time; the bits past the last pixel stay clear.
void ThresholdRow(const uint8_t* luma, uint32_t width, const ThresholdWords& t, uint8_t* out) {
    uint32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        out[x / 8] = PackTopBits(AtLeast(LoadEight(luma + x), t.limits[0]) & ~t.never[0]);
        out[x / 8 + 1] = PackTopBits(AtLeast(LoadEight(luma + x + 8), t.limits[1]) & ~t.never[1]);
    }
    if (x + 8 <= width) {
        out[x / 8] = PackTopBits(AtLeast(LoadEight(luma + x), t.limits[0]) & ~t.never[0]);
        x += 8;
    }
    if (x < width) {
        uint8_t tail[8] = {};
        std::copy(luma + x, luma + width, tail);
        const unsigned half = x / 8 % 2;
        const uint64_t used = ~uint64_t{0} >> (8 * (8 - (width - x)));
        out[x / 8] = PackTopBits(AtLeast(LoadEight(tail), t.limits[half]) & ~t.never[half] & used);
    }
}

// One row of the serpentine error diffusion, into white flags. The errors are whole numbers, so
// trunc(r × 0.375) and trunc(r × 0.25) are exactly the truncating divisions 3r / 8 and r / 4.
// Each entry of `next` gets the 3r / 8 of its own pixel plus the r / 4 of the pixel before it in
// scan order, so it is written once and needs no clearing; the r / 4 of the row's last pixel
// would go past the row's end, where nothing reads it. Writing `next` on the last row is
// harmless for the same reason.
void DiffuseRow(const uint8_t* luma,
                uint32_t width,
                bool rightToLeft,
                const int32_t* current,
                int32_t* next,
                uint8_t* white) {
    const int step = rightToLeft ? -1 : 1;
    int x = rightToLeft ? static_cast<int>(width) - 1 : 0;
    int32_t carried = 0;  // 3r / 8 of the previous pixel, added to this one
    int32_t quarter = 0;  // r / 4 of the previous pixel, owed to this pixel's entry of next
    for (uint32_t n = 0; n < width; ++n, x += step) {
        const int32_t v = luma[x] + current[x] + carried;
        const bool isWhite = v > 128;
        const int32_t r = isWhite ? v - 255 : v;
        carried = r * 3 / 8;
        white[x] = isWhite;
        next[x] = carried + quarter;
        quarter = r / 4;
    }
}

// Rows with an even index (the first row in the file is 0) run from the last column to the
// first, odd rows from the first to the last. The error rows start at zero.
void DiffuseRows(const BitmapView& source, const LumaTables& tables, uint8_t* rows, size_t stride) {
    std::vector<int32_t> errorsA(source.width), errorsB(source.width);
    std::vector<uint8_t> luma(source.width), white(source.width);
    int32_t* current = errorsA.data();
    int32_t* next = errorsB.data();
    for (uint32_t row = 0; row < source.height; ++row) {
        LumaRow(source, row, tables, luma.data());
        DiffuseRow(luma.data(), source.width, row % 2 == 0, current, next, white.data());
        PackRow(white.data(), source.width, rows + row * stride);
        std::swap(current, next);
    }
}

// A working copy with its headers and palette and all pixel bits clear. The palette is the gray
// ramp of the depth: black and white for 1 bit, (i, i, i, 0) for 8 bits.
std::vector<uint8_t> NewWorkingCopy(uint32_t width, uint32_t height, uint16_t bitCount) {
    const size_t entries = size_t{1} << bitCount;
    const size_t offset = StandardPixelOffset(bitCount);
    const size_t imageSize = BitmapStride(width, bitCount) * height;  // below 2^30 for the bounded sides
    std::vector<uint8_t> file(offset + imageSize);
    uint8_t* p = file.data();
    StoreLe16(p, kBmpType);
    StoreLe32(p + 2, static_cast<uint32_t>(offset + imageSize));
    StoreLe32(p + 10, static_cast<uint32_t>(offset));
    StoreLe32(p + 14, kBmpInfoHeaderSize);
    StoreLe32(p + 18, width);
    StoreLe32(p + 22, height);
    StoreLe16(p + 26, 1);
    StoreLe16(p + 28, bitCount);
    StoreLe32(p + 34, static_cast<uint32_t>(imageSize));
    for (size_t i = 0; i < entries; ++i) {
        const auto level = static_cast<uint8_t>(i * 255 / (entries - 1));
        std::fill_n(p + kBmpHeadersSize + 4 * i, 3, level);
    }
    return file;
}

LogoConversion Refused(BitmapProblem problem, ConversionResult result) {
    LogoConversion conversion;
    conversion.result = result;
    conversion.problem = problem;
    return conversion;
}

LogoConversion MonoOf(const BitmapView& source, const LogoSettings& s) {
    LogoConversion conversion;
    conversion.workingCopy = NewWorkingCopy(source.width, source.height, 1);
    uint8_t* rows = conversion.workingCopy.data() + kMonoPixelOffset;
    const size_t stride = BitmapStride(source.width, 1);
    const LumaTables luma = LumaTablesFor(source, s);
    const bool meanThreshold = s.method == static_cast<int>(HalftoneMethod::None);
    if (s.method == static_cast<int>(HalftoneMethod::ErrorDiffuse)) {
        DiffuseRows(source, luma, rows, stride);
    } else if (meanThreshold && source.bitCount == 24 && uint64_t{source.width} * source.height <= kMaxKeptLuma) {
        const std::unique_ptr<uint8_t[]> y(new uint8_t[size_t{source.width} * source.height]);  // all written
        const unsigned mean = MeanLuminanceOf(LumaAndMeans(source, luma.level, y.get()), 24);
        const ThresholdMatrix thresholds = Thresholds(source, s, mean);
        for (uint32_t row = 0; row < source.height; ++row)
            ThresholdRow(y.get() + size_t{row} * source.width, source.width, WordsOf(thresholds[row % 16]),
                         rows + row * stride);
    } else {
        const ThresholdMatrix thresholds = Thresholds(source, s, meanThreshold ? MeanLuminance(source, luma.level) : 0);
        std::vector<uint8_t> y(source.width);
        for (uint32_t row = 0; row < source.height; ++row) {
            LumaRow(source, row, luma, y.data());
            ThresholdRow(y.data(), source.width, WordsOf(thresholds[row % 16]), rows + row * stride);
        }
    }
    conversion.result = ConversionResult::Converted;
    return conversion;
}

LogoConversion GrayOf(const BitmapView& source, int contrast, int brightness) {
    LogoConversion conversion;
    conversion.workingCopy = NewWorkingCopy(source.width, source.height, 8);
    uint8_t* rows = conversion.workingCopy.data() + kGrayPixelOffset;
    const size_t stride = BitmapStride(source.width, 8);
    const ToneTable tone = ToneCurveTable(contrast, brightness);
    const LumaTables luma = MakeLumaTables(source.bitCount == 24 ? tone : ColourLevels(source, tone), tone, tone, tone);
    for (uint32_t row = 0; row < source.height; ++row)
        LumaRow(source, row, luma, rows + row * stride);
    conversion.result = ConversionResult::Converted;
    return conversion;
}

// The extension is cut at the last dot of the file name, never at a dot of a folder's name
// (C:\pics.old\ab gives C:\pics.old\abTemp.bmp); a name with no dot keeps all of it.
template <typename Char>
std::optional<std::basic_string<Char>> WorkingCopyPathOf(std::basic_string_view<Char> source, size_t capacity) {
    static constexpr Char kSuffix[] = {'T', 'e', 'm', 'p', '.', 'b', 'm', 'p'};
    static constexpr Char kSeparators[] = {'\\', '/', ':', 0};
    const size_t nameStart = source.find_last_of(kSeparators) + 1;  // npos + 1 is 0
    const size_t dot = source.find_last_of(Char('.'));
    const size_t kept = dot != std::basic_string_view<Char>::npos && dot >= nameStart ? dot : source.size();
    if (kept + std::size(kSuffix) >= capacity)
        return std::nullopt;
    std::basic_string<Char> path(source.substr(0, kept));
    path.append(kSuffix, std::size(kSuffix));
    return path;
}

}  // namespace

LogoSettings ClampLogoSettings(const LogoSettings& settings) {
    return {std::clamp(settings.method, 0, 3), ClampAdjustment(settings.contrast),
            ClampAdjustment(settings.brightness)};
}

// q and x are single-precision values, as are the quotients; d is the quotient truncated.
uint8_t ToneCurve(uint8_t level, int contrast, int brightness) {
    const int v = level;
    const int c = ClampAdjustment(contrast);
    int d;
    if (c < 0) {
        const float q = Single(255.0 / (2 * c + 255));
        const float x = Single(Single(v / static_cast<double>(q)) - c);
        d = static_cast<int>(x);
    } else if (v <= c) {
        d = 0;
    } else if (v < 255 - c) {
        const float q = Single((255 - 2 * c) / 255.0);
        d = static_cast<int>(Single((v - c) / static_cast<double>(q)));
    } else {
        d = 255;
    }
    return ClampLevel(d + ClampAdjustment(brightness));
}

// c / 10 is a whole-number division; the square root is taken in double precision and the
// factor rounded to single precision once. (v − m) × f and the sum with m are single-precision.
uint8_t MeanContrast(uint8_t level, int contrast, int brightness, uint8_t mean) {
    const int c = ClampAdjustment(contrast);
    const float f = c >= 0 ? static_cast<float>(1 + c / 10) : Single(1.0 - std::sqrt(static_cast<double>(-c)) / 10.0);
    const float moved = Single(static_cast<double>(level - mean) * f);
    const int d = static_cast<int>(Single(static_cast<double>(moved) + mean));
    return ClampLevel(d + ClampAdjustment(brightness));
}

ToneTable ToneCurveTable(int contrast, int brightness) {
    ToneTable t;
    for (int v = 0; v < 256; ++v)
        t[v] = ToneCurve(static_cast<uint8_t>(v), contrast, brightness);
    return t;
}

ToneTable MeanContrastTable(int contrast, int brightness, uint8_t mean) {
    ToneTable t;
    for (int v = 0; v < 256; ++v)
        t[v] = MeanContrast(static_cast<uint8_t>(v), contrast, brightness, mean);
    return t;
}

LogoConversion ConvertToMono(std::span<const uint8_t> source, const LogoSettings& settings) {
    const BitmapRead read = ReadBitmap(source, {24, 8});
    if (read.problem != BitmapProblem::None)
        return Refused(read.problem, ConversionResult::Failed);
    const LogoSettings s = ClampLogoSettings(settings);
    if (s.method == static_cast<int>(HalftoneMethod::ErrorDiffuse) && read.view.width > kErrorRowColumns)
        return Refused(BitmapProblem::TooWide, ConversionResult::Failed);
    try {
        return MonoOf(read.view, s);
    } catch (const std::bad_alloc&) {
        return Refused(BitmapProblem::NoMemory, ConversionResult::Failed);
    }
}

LogoConversion ConvertToGray(std::span<const uint8_t> source, int contrast, int brightness) {
    const BitmapRead read = ReadBitmap(source, {24, 8, 1});
    if (read.problem != BitmapProblem::None)
        return Refused(read.problem, read.problem == BitmapProblem::Truncated ? ConversionResult::Failed
                                                                              : ConversionResult::NotConvertible);
    try {
        return GrayOf(read.view, contrast, brightness);
    } catch (const std::bad_alloc&) {
        return Refused(BitmapProblem::NoMemory, ConversionResult::Failed);
    }
}

std::optional<std::string> WorkingCopyPath(std::string_view source, size_t capacity) {
    return WorkingCopyPathOf(source, capacity);
}

std::optional<std::u16string> WorkingCopyPath(std::u16string_view source, size_t capacity) {
    return WorkingCopyPathOf(source, capacity);
}

void MarkWorkingCopy(std::span<uint8_t> file) {
    if (file.size() >= kBmpFileHeaderSize)
        std::copy(kWorkingCopyMark.begin(), kWorkingCopyMark.end(), file.begin() + kWorkingCopyMarkAt);
}

bool IsMarkedWorkingCopy(std::span<const uint8_t> head) {
    return head.size() >= kWorkingCopyMarkAt + kWorkingCopyMark.size() && LoadLe16(head.data()) == kBmpType &&
           std::equal(kWorkingCopyMark.begin(), kWorkingCopyMark.end(), head.begin() + kWorkingCopyMarkAt);
}

}  // namespace m450
