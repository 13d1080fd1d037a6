// The barcode test prints: the raw jobs the 1D and 2D pages send for the selected font's
// settings and the user's test data.
//
// The data is printer data, the ANSI code-page bytes of the page's data field (the page
// converts the text); it is validated for the font's type before anything is built, and a
// Code128 code set C goes out packed (barcode_data.h).
#pragma once

#include "core/devmode.h"
#include "core/raw_channel.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace m450 {

inline constexpr std::u16string_view kBarcode1DDocumentName = u"Barcode";
inline constexpr std::u16string_view kBarcode2DDocumentName = u"2Dcode";

// One spooler write per entry, in order.
using JobWrites = std::vector<std::vector<uint8_t>>;

enum class BarcodeJobError {
    kNone,
    kInvalidData,     // the data does not suit the type: the page says "BarCode data error!"
    kUnknownSetting,  // the record holds a type (or QR error correction) outside its list
};

struct BarcodeJob {
    BarcodeJobError error = BarcodeJobError::kNone;
    JobWrites writes;  // empty unless error is kNone
};

// The eight parameter bytes of a GS1 DataBar symbol, shared by the 1D types and the 2D
// stacked types. The 1D page sends 2 segments per row; the 2D page its stored number.
struct Gs1DataBarParameters {
    uint8_t typeCode;
    uint8_t elementWidth;
    uint32_t rowHeight;           // only the low byte is sent
    uint32_t compositeRowHeight;  // only the low byte is sent
    uint8_t separatorHeight;
    uint8_t segmentsPerRow;
    uint8_t hriContent;
    uint8_t aiMode;
};

// 1D 66 00 1D 48 00 1D 73 t g r c s n i a 1D 6B 0D: no HRI font or position of their own, the
// parameters, then the GS1 DataBar barcode command that the data follows.
std::vector<uint8_t> BuildGs1DataBarSetup(const Gs1DataBarParameters& parameters);

// The writes of the "Barcode" job for a 1D font's record (its barcodeType picks the type).
BarcodeJob BuildBarcode1DJob(const Barcode1DSettings& settings, std::span<const uint8_t> data);
// The writes of the "2Dcode" job for a 2D font's record.
BarcodeJob BuildBarcode2DJob(const Barcode2DSettings& settings, std::span<const uint8_t> data);

enum class TestPrintResult {
    kPrinted,         // the spooler ended the job successfully
    kSpoolerFailed,   // a spooler call failed; the job was ended as far as it got
    kInvalidData,     // nothing was sent
    kUnknownSetting,  // nothing was sent
};

// Build, then send through the channel when the job could be built. The page shows the data
// error message for kInvalidData and returns TRUE from the command only for kPrinted.
TestPrintResult SendBarcode1DTestPrint(const RawPrinterChannel& channel,
                                       const Barcode1DSettings& settings,
                                       std::span<const uint8_t> data);
TestPrintResult SendBarcode2DTestPrint(const RawPrinterChannel& channel,
                                       const Barcode2DSettings& settings,
                                       std::span<const uint8_t> data);

}  // namespace m450
