// Barcode test data: what each symbology accepts, and the fixed type lists of the 1D and 2D
// pages.
//
// Test data is printer data: the pages convert the data field's text to the system's ANSI
// code page and hand the bytes to these functions; nothing here sees UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace m450 {

// Every byte from `first` to `last`, inclusive.
struct ByteRange {
    uint8_t first;
    uint8_t last;
};

// One symbology's data: its length in bytes (inclusive bounds) and the bytes it may hold.
// No ranges means any byte; only the length is tested.
struct BarcodeCharset {
    uint16_t leastLength;
    uint16_t greatestLength;
    std::span<const ByteRange> allowed;
};

inline constexpr size_t kBarcodeCharsetCount = 19;
// Entries 0..12 serve the 1D types, 13..18 the 2D types.
extern const BarcodeCharset BarcodeCharsetTable[kBarcodeCharsetCount];

// The printer's Code93 and Code128 symbology bytes; the validator takes them for entries 7 and 8.
inline constexpr uint8_t kSymbologyCode93 = 0x48;
inline constexpr uint8_t kSymbologyCode128 = 0x49;

// The table entry that checks `symbology`: the value itself below 72, the value less 65 from
// there (72 → 7, 73 → 8). nullopt for values that name no entry.
std::optional<size_t> BarcodeCharsetIndex(unsigned symbology);

// True when `data` may be printed as `symbology`: the printer's symbology byte of a 1D
// general type (0..6, 72, 73), the type index of a 1D GS1 DataBar type (9..12), or a 2D
// validator entry (13..18). Code128 data with a "{C" code set is rewritten in place with its
// digit pairs packed into bytes; every other accepted data is left as it was. A refused
// data may have been partly rewritten and is not to be printed.
bool ValidateBarcodeData(unsigned symbology, std::vector<uint8_t>& data);

// How the 1D test print frames the data (see barcode_jobs.h).
enum class Barcode1DJobForm {
    kGeneral,    // setup, data, 00, trailer
    kCounted,    // setup, 00, setup again, length byte, data, 00, trailer
    kGs1DataBar  // GS1 setup, data, 00, trailer
};

struct Barcode1DType {
    std::u16string_view listText;
    uint8_t commandByte;  // the symbology byte m, or the GS1 DataBar type t
    Barcode1DJobForm form;
    std::string_view sample;     // put into the data field when the type is chosen (ASCII)
    uint8_t validatorSymbology;  // what the test print passes to ValidateBarcodeData
};

inline constexpr size_t kBarcode1DTypeCount = 13;
// In list order; the list index is the record's barcodeType.
extern const Barcode1DType kBarcode1DTypes[kBarcode1DTypeCount];

inline constexpr size_t kBarcode2DTypeCount = 6;

enum class Barcode2DKind { kPdf417, kGs1DataBarStacked, kQrCode, kMaxiCode };

struct Barcode2DType {
    std::u16string_view listText;
    Barcode2DKind kind;
    uint8_t gs1TypeCode;         // t of the GS1 DataBar setup; 0 for the other kinds
    uint8_t validatorSymbology;  // the BarcodeCharsetTable entry, 13..18
};

extern const Barcode2DType kBarcode2DTypes[kBarcode2DTypeCount];

// The 2D page puts the same sample into the data field whatever the type.
inline constexpr std::string_view kBarcode2DSample = "01234567890123";

// The type of a record's barcodeType, or nullptr when it is outside the list.
const Barcode1DType* FindBarcode1DType(unsigned barcodeType);
const Barcode2DType* FindBarcode2DType(unsigned barcodeType);

}  // namespace m450
