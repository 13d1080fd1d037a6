// Barcode test data: every charset entry's length bounds and byte ranges, the start and stop
// rules, the Code128 code-set C packing, and the type tables' pairing of list, printer code and
// validator.
#include "barcode/barcode_data.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// The symbology argument that reaches each entry as the pages pass it.
unsigned SymbologyOf(size_t index) {
    return index == 7 ? kSymbologyCode93 : index == 8 ? kSymbologyCode128 : static_cast<unsigned>(index);
}

// Data of `length` bytes that the entry accepts, with `middle` (when given) at position 2.
Bytes ValidData(size_t index, size_t length, std::optional<uint8_t> middle = std::nullopt) {
    const BarcodeCharset& charset = BarcodeCharsetTable[index];
    const uint8_t filler = charset.allowed.empty() ? 0xFF : index == 4 ? 'A' : index >= 9 ? 'a' : '1';
    Bytes data(length, filler);
    if (index == 1 && length > 0)
        data[0] = '0';
    if (index == 6 && length > 0) {
        data.front() = 'A';
        data.back() = 'A';
    }
    if (index == 8 && length >= 2) {
        data[0] = '{';
        data[1] = 'A';
    }
    if (middle && length > 3)
        data[2] = *middle;
    return data;
}

bool Accepts(size_t index, Bytes data) {
    return ValidateBarcodeData(SymbologyOf(index), data);
}

// Each entry's lengths and bytes as the printer's symbologies take them, written out here
// rather than read from the table under test.
struct Expected {
    size_t least;
    size_t greatest;
    std::vector<std::pair<int, int>> ranges;  // empty: any byte
};
const std::vector<std::pair<int, int>> kDigitRanges = {{0x30, 0x39}};
const std::vector<std::pair<int, int>> kGs1Ranges = {{0x20, 0x22},
                                                     {0x25, 0x3F},
                                                     {0x41, 0x5A},
                                                     {0x5F, 0x5F},
                                                     {0x61, 0x7C}};
const Expected kExpected[kBarcodeCharsetCount] = {
    {11, 12, kDigitRanges},
    {11, 12, kDigitRanges},
    {12, 13, kDigitRanges},
    {7, 8, kDigitRanges},
    {1, 255, {{0x20, 0x20}, {0x24, 0x24}, {0x25, 0x25}, {0x2A, 0x2A}, {0x2B, 0x2B}, {0x2D, 0x39}, {0x41, 0x5A}}},
    {1, 255, kDigitRanges},
    {1, 255, {{0x24, 0x24}, {0x2A, 0x2A}, {0x2B, 0x2B}, {0x2D, 0x3A}, {0x41, 0x45}, {0x4E, 0x4E}, {0x54, 0x54}}},
    {1, 255, {{0x00, 0x7F}}},
    {2, 255, {{0x00, 0x7F}}},
    {1, 40, kGs1Ranges},
    {1, 40, kGs1Ranges},
    {1, 40, kGs1Ranges},
    {1, 40, kGs1Ranges},
    {1, 255, {}},
    {1, 40, kGs1Ranges},
    {1, 40, kGs1Ranges},
    {1, 40, kGs1Ranges},
    {1, 255, {}},
    {1, 84, {}},
};

TEST(ValidateBarcodeData, EveryEntryTakesExactlyItsLengths) {
    for (size_t index = 0; index < kBarcodeCharsetCount; ++index) {
        SCOPED_TRACE(index);
        const Expected& e = kExpected[index];
        EXPECT_TRUE(Accepts(index, ValidData(index, e.least)));
        EXPECT_TRUE(Accepts(index, ValidData(index, e.greatest)));
        EXPECT_FALSE(Accepts(index, ValidData(index, e.greatest + 1)));
        EXPECT_FALSE(Accepts(index, ValidData(index, e.least - 1)));  // empty for least 1
    }
    EXPECT_FALSE(Accepts(8, B("{")));  // Code128's least is 2
}

// Every byte value in the middle of otherwise valid data: accepted exactly inside the ranges,
// so each range's ends and the bytes just outside them are all covered.
TEST(ValidateBarcodeData, EveryEntryTakesExactlyItsBytes) {
    for (size_t index = 0; index < kBarcodeCharsetCount; ++index) {
        const Expected& e = kExpected[index];
        const size_t length = std::max<size_t>(e.least, 5);
        for (int byte = 0; byte <= 0xFF; ++byte) {
            bool inside = e.ranges.empty();
            for (const auto& [first, last] : e.ranges)
                inside = inside || (byte >= first && byte <= last);
            EXPECT_EQ(Accepts(index, ValidData(index, length, static_cast<uint8_t>(byte))), inside)
                << "entry " << index << " byte " << byte;
        }
    }
}

TEST(ValidateBarcodeData, UpcEAndCodabarFraming) {
    EXPECT_TRUE(Accepts(1, B("023456789012")));
    EXPECT_FALSE(Accepts(1, B("123456789012")));

    EXPECT_TRUE(Accepts(6, B("A123456789A")));
    EXPECT_FALSE(Accepts(6, B("1123456789A")));
    EXPECT_FALSE(Accepts(6, B("A123456789Z")));
    for (char stop : std::string("ABCDENT*")) {
        EXPECT_TRUE(Accepts(6, B(std::string("D12") + stop))) << stop;
    }
    EXPECT_FALSE(Accepts(6, B("E12A")));  // E, N, T and * only stop
    EXPECT_FALSE(Accepts(6, B("*12A")));
}

TEST(ValidateBarcodeData, Code128NamesItsCodeSetAndPacksCodeSetC) {
    struct Case {
        const char* data;
        std::optional<Bytes> printed;
    };
    const Case cases[] = {
        {"{A1234", B("{A1234")},                            // no code set C: unchanged
        {"{C123456", Bytes{0x7B, 0x43, 0x0C, 0x22, 0x38}},  // 12 34 56 in three bytes
        {"{C12345", std::nullopt},                          // an odd digit left over
        {"{C", B("{C")},                                    // no digits at all
        {"{C0099", Bytes{0x7B, 0x43, 0x00, 0x63}},          // 0 and 99
        {"{B12{C3456", Bytes{0x7B, 0x42, '1', '2', 0x7B, 0x43, 0x22, 0x38}},
        {"{C12{A34", Bytes{0x7B, 0x43, 0x0C, 0x7B, 0x41, '3', '4'}},  // a code-set letter ends code set C
        {"{C1{A3", std::nullopt},                                     // odd when leaving code set C
        {"{C1{C2", std::nullopt},                                     // no pair across code-set letters
        {"{C12A4", std::nullopt},                                     // a non-digit inside code set C
        {"{C12{", Bytes{0x7B, 0x43, 0x0C, 0x7B}},                     // a brace at the end
        {"A1234", std::nullopt},                                      // no "{"
        {"{D1234", std::nullopt},                                     // no code-set letter A, B or C
        {"1{C12", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        Bytes data = B(c.data);
        EXPECT_EQ(ValidateBarcodeData(kSymbologyCode128, data), c.printed.has_value());
        if (c.printed) {
            EXPECT_EQ(data, *c.printed);
        }
    }
    // Only the Code128 symbology byte packs; the entry reached by its index checks alone.
    Bytes data = B("{C1234");
    EXPECT_TRUE(ValidateBarcodeData(8, data));
    EXPECT_EQ(data, B("{C1234"));
    // Code93 shares the byte set but has no code sets.
    data = B("{C123");
    EXPECT_TRUE(ValidateBarcodeData(kSymbologyCode93, data));
    EXPECT_EQ(data, B("{C123"));
}

TEST(ValidateBarcodeData, SymbologiesOutsideTheTableAreRefused) {
    EXPECT_EQ(BarcodeCharsetIndex(0x48), 7u);
    EXPECT_EQ(BarcodeCharsetIndex(0x49), 8u);
    EXPECT_EQ(BarcodeCharsetIndex(18), 18u);
    for (unsigned symbology : {19u, 65u, 71u, 84u, 255u, 0xFFFFFFFFu}) {
        EXPECT_FALSE(BarcodeCharsetIndex(symbology)) << symbology;
        Bytes data = B("1");
        EXPECT_FALSE(ValidateBarcodeData(symbology, data)) << symbology;
    }
}

TEST(BarcodeTypes, ListOrderPrinterCodesAndSamples) {
    // EAN8 sits before EAN13 in the list but takes the printer's code 03 and the 7..8-digit entry.
    EXPECT_EQ(kBarcode1DTypes[2].listText, u"EAN8");
    EXPECT_EQ(kBarcode1DTypes[2].commandByte, 0x03);
    EXPECT_EQ(BarcodeCharsetIndex(kBarcode1DTypes[2].validatorSymbology), 3u);
    EXPECT_EQ(kBarcode1DTypes[3].listText, u"EAN13");
    EXPECT_EQ(kBarcode1DTypes[3].commandByte, 0x02);
    EXPECT_EQ(BarcodeCharsetIndex(kBarcode1DTypes[3].validatorSymbology), 2u);

    const size_t validatorIndex[kBarcode1DTypeCount] = {0, 1, 3, 2, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    for (size_t type = 0; type < kBarcode1DTypeCount; ++type) {
        SCOPED_TRACE(type);
        EXPECT_EQ(BarcodeCharsetIndex(kBarcode1DTypes[type].validatorSymbology), validatorIndex[type]);
        Bytes sample = B(kBarcode1DTypes[type].sample);
        EXPECT_TRUE(ValidateBarcodeData(kBarcode1DTypes[type].validatorSymbology, sample));
    }
    for (size_t type = 0; type < kBarcode2DTypeCount; ++type) {
        EXPECT_EQ(kBarcode2DTypes[type].validatorSymbology, 13 + type);
        Bytes sample = B(kBarcode2DSample);
        EXPECT_TRUE(ValidateBarcodeData(kBarcode2DTypes[type].validatorSymbology, sample));
    }
    EXPECT_EQ(FindBarcode1DType(13), nullptr);
    EXPECT_EQ(FindBarcode2DType(6), nullptr);
}

}  // namespace
}  // namespace m450
