#include "barcode/barcode_data.h"

#include <algorithm>

namespace m450 {
namespace {

constexpr ByteRange kDigits[] = {{'0', '9'}};
constexpr ByteRange kCode39[] = {{0x20, 0x20}, {0x24, 0x25}, {0x2A, 0x2B}, {0x2D, 0x39}, {0x41, 0x5A}};
constexpr ByteRange kCodabar[] = {{0x24, 0x24}, {0x2A, 0x2B}, {0x2D, 0x3A}, {0x41, 0x45}, {0x4E, 0x4E}, {0x54, 0x54}};
constexpr ByteRange kAscii[] = {{0x00, 0x7F}};
constexpr ByteRange kGs1[] = {{0x20, 0x22}, {0x25, 0x3F}, {0x41, 0x5A}, {0x5F, 0x5F}, {0x61, 0x7C}};

constexpr size_t kUpcEIndex = 1;
constexpr size_t kCodabarIndex = 6;

bool InRanges(uint8_t byte, std::span<const ByteRange> ranges) {
    return std::any_of(ranges.begin(), ranges.end(), [byte](ByteRange r) { return byte >= r.first && byte <= r.last; });
}

bool IsDigit(uint8_t byte) {
    return byte >= '0' && byte <= '9';
}

// Codabar data starts with A..D and stops with A..D, E, N, T or "*".
bool CodabarFramed(std::span<const uint8_t> data) {
    constexpr std::string_view kStart = "ABCD";
    constexpr std::string_view kStop = "ABCDENT*";
    return kStart.find(static_cast<char>(data.front())) != std::string_view::npos &&
           kStop.find(static_cast<char>(data.back())) != std::string_view::npos;
}

// Code128 data names its code set: "{A", "{B" or "{C" first. In code set C the digits go to
// the printer in pairs, one byte of value 0..99 each; a "{" followed by a code-set letter
// ends the run, and a run of an odd number of digits cannot be packed. The packed data is
// never longer than the original, so it is written over it.
bool PackCode128(std::vector<uint8_t>& data) {
    if (data.size() < 2 || data[0] != '{' || data[1] < 'A' || data[1] > 'C')
        return false;
    static constexpr uint8_t kCodeC[] = {'{', 'C'};
    if (std::search(data.begin(), data.end(), std::begin(kCodeC), std::end(kCodeC)) == data.end())
        return true;

    size_t out = 0;
    bool codeSetC = false;
    bool afterBrace = false;
    // The first digit of a pair, -1 while none waits (an int: GCC 12 takes a std::optional here
    // for maybe used uninitialized).
    int pendingDigit = -1;
    for (const uint8_t byte : data) {
        if (afterBrace) {
            data[out++] = byte;
            codeSetC = byte == 'C';
            afterBrace = false;
        } else if (byte == '{') {
            if (pendingDigit >= 0)
                return false;
            data[out++] = byte;
            afterBrace = true;
        } else if (!codeSetC) {
            data[out++] = byte;
        } else if (!IsDigit(byte)) {
            return false;
        } else if (pendingDigit >= 0) {
            data[out++] = static_cast<uint8_t>(pendingDigit * 10 + (byte - '0'));
            pendingDigit = -1;
        } else {
            pendingDigit = byte - '0';
        }
    }
    if (pendingDigit >= 0)
        return false;
    data.resize(out);
    return true;
}

}  // namespace

const BarcodeCharset BarcodeCharsetTable[kBarcodeCharsetCount] = {
    {11, 12, kDigits},   // 0 UPC-A
    {11, 12, kDigits},   // 1 UPC-E, starting with "0"
    {12, 13, kDigits},   // 2 EAN13
    {7, 8, kDigits},     // 3 EAN8
    {1, 255, kCode39},   // 4 Code39
    {1, 255, kDigits},   // 5 ITF
    {1, 255, kCodabar},  // 6 Codabar, with its start and stop characters
    {1, 255, kAscii},    // 7 Code93
    {2, 255, kAscii},    // 8 Code128, with its code-set start
    {1, 40, kGs1},       // 9 GS1 DataBar Omnidirectional
    {1, 40, kGs1},       // 10 GS1 DataBar Truncated
    {1, 40, kGs1},       // 11 GS1 DataBar Limited
    {1, 40, kGs1},       // 12 GS1 DataBar Expanded
    {1, 255, {}},        // 13 PDF417
    {1, 40, kGs1},       // 14 GS1 DataBar Stacked
    {1, 40, kGs1},       // 15 GS1 DataBar Stacked Omnidirectional
    {1, 40, kGs1},       // 16 GS1 DataBar Expanded Stacked
    {1, 255, {}},        // 17 QR Code
    {1, 84, {}},         // 18 MaxiCode
};

std::optional<size_t> BarcodeCharsetIndex(unsigned symbology) {
    const unsigned index = symbology < 72 ? symbology : symbology - 65;
    if (index >= kBarcodeCharsetCount)
        return std::nullopt;
    return index;
}

bool ValidateBarcodeData(unsigned symbology, std::vector<uint8_t>& data) {
    const auto index = BarcodeCharsetIndex(symbology);
    if (!index || data.empty())
        return false;
    const BarcodeCharset& charset = BarcodeCharsetTable[*index];
    if (data.size() < charset.leastLength || data.size() > charset.greatestLength)
        return false;
    if (charset.allowed.empty())
        return true;
    if (*index == kUpcEIndex && data.front() != '0')
        return false;
    if (*index == kCodabarIndex && !CodabarFramed(data))
        return false;
    if (!std::all_of(data.begin(), data.end(), [&](uint8_t byte) { return InRanges(byte, charset.allowed); }))
        return false;
    if (symbology == kSymbologyCode128)
        return PackCode128(data);
    return true;
}

const Barcode1DType kBarcode1DTypes[kBarcode1DTypeCount] = {
    {u"UPC-A", 0x00, Barcode1DJobForm::kGeneral, "123456789012", 0x00},
    {u"UPC-E", 0x01, Barcode1DJobForm::kGeneral, "023456789012", 0x01},
    // EAN8 comes before EAN13 in the list, but the printer numbers them the other way round.
    {u"EAN8", 0x03, Barcode1DJobForm::kGeneral, "12345678", 0x03},
    {u"EAN13", 0x02, Barcode1DJobForm::kGeneral, "1234567890123", 0x02},
    {u"Code39", 0x04, Barcode1DJobForm::kGeneral, "123ABC*", 0x04},
    {u"ITF", 0x05, Barcode1DJobForm::kGeneral, "123456789", 0x05},
    {u"Codabar", 0x06, Barcode1DJobForm::kGeneral, "A123456789A", 0x06},
    {u"Code93", kSymbologyCode93, Barcode1DJobForm::kCounted, "123ABC", kSymbologyCode93},
    {u"Code128", kSymbologyCode128, Barcode1DJobForm::kCounted, "{A1234", kSymbologyCode128},
    // GS1 DataBar: the printer's type code t; the validator takes the list index.
    {u"GS1 DataBar Omnidirectional", 0x01, Barcode1DJobForm::kGs1DataBar, "01234567890123", 9},
    {u"GS1 DataBar Truncated", 0x02, Barcode1DJobForm::kGs1DataBar, "01234567890123", 10},
    {u"GS1 DataBar Limited", 0x05, Barcode1DJobForm::kGs1DataBar, "01234567890123", 11},
    {u"GS1 DataBar Expanded", 0x06, Barcode1DJobForm::kGs1DataBar, "01234567890123", 12},
};

const Barcode2DType kBarcode2DTypes[kBarcode2DTypeCount] = {
    {u"PDF417", Barcode2DKind::kPdf417, 0, 13},
    {u"GS1 DataBar Stacked", Barcode2DKind::kGs1DataBarStacked, 0x03, 14},
    {u"GS1 DataBar Stacked Omnidirectional", Barcode2DKind::kGs1DataBarStacked, 0x04, 15},
    {u"GS1 DataBar Expanded Stacked", Barcode2DKind::kGs1DataBarStacked, 0x07, 16},
    {u"QR Code", Barcode2DKind::kQrCode, 0, 17},
    {u"Maxi Code", Barcode2DKind::kMaxiCode, 0, 18},
};

const Barcode1DType* FindBarcode1DType(unsigned barcodeType) {
    return barcodeType < kBarcode1DTypeCount ? &kBarcode1DTypes[barcodeType] : nullptr;
}

const Barcode2DType* FindBarcode2DType(unsigned barcodeType) {
    return barcodeType < kBarcode2DTypeCount ? &kBarcode2DTypes[barcodeType] : nullptr;
}

}  // namespace m450
