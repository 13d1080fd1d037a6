#include "barcode/barcode_jobs.h"

#include "barcode/barcode_data.h"

#include <iterator>
#include <optional>

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kDataEnd = {0x00};
const Bytes kTrailer = {0x0A, 0x1D, 0x56, 0x42, 0x00};  // line feed, feed and partial cut

constexpr uint8_t kGs1SegmentsOn1DPage = 2;

uint8_t LowByte(uint32_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}

// The common ending: the data, its terminator and the trailer.
JobWrites WithData(JobWrites writes, Bytes data) {
    writes.push_back(std::move(data));
    writes.push_back(kDataEnd);
    writes.push_back(kTrailer);
    return writes;
}

// 1D 66 f 1D 48 p 1D 77 w 1D 68 h 1D 6B m.
Bytes General1DSetup(const Barcode1DSettings& settings, uint8_t symbology) {
    const uint8_t hriFont = settings.hriFont != 0 ? 1 : 0;
    const uint8_t hriPosition = settings.hriPosition <= 3 ? settings.hriPosition : 0;
    return {
        0x1D, 0x66, hriFont,                          // HRI font
        0x1D, 0x48, hriPosition,                      // HRI position
        0x1D, 0x77, settings.elementWidth,            // element width
        0x1D, 0x68, LowByte(settings.elementHeight),  // bar height
        0x1D, 0x6B, symbology,                        // barcode
    };
}

// The two pages keep the same GS1 DataBar fields; only the segment number differs.
template <typename Settings>
Gs1DataBarParameters Gs1Parameters(const Settings& s, uint8_t typeCode, uint8_t segmentsPerRow) {
    Gs1DataBarParameters p;
    p.typeCode = typeCode;
    p.elementWidth = s.gs1ElementWidth;
    p.rowHeight = s.gs1RowHeight;
    p.compositeRowHeight = s.gs1CompositeRowHeight;
    p.separatorHeight = s.gs1SeparatorHeight;
    p.segmentsPerRow = segmentsPerRow;
    p.hriContent = s.gs1HriContent;
    p.aiMode = s.gs1AiMode;
    return p;
}

// Code93 and Code128 take a length byte: the setup is sent, ended by 00, and its width, height
// and barcode commands (the last nine bytes) again before the length and the data.
JobWrites Counted1DWrites(Bytes setup, Bytes data) {
    Bytes repeat(setup.end() - 9, setup.end());
    const auto length = static_cast<uint8_t>(data.size());  // validated: at most 255 bytes
    return {std::move(setup), kDataEnd, std::move(repeat), {length}, std::move(data), kDataEnd, kTrailer};
}

std::optional<Bytes> Setup2D(const Barcode2DSettings& s, const Barcode2DType& type) {
    switch (type.kind) {
        case Barcode2DKind::kPdf417:
            // clang-format off
            return Bytes{
                0x1D, 0x70, 0x01, 0x01, s.pdf417Rows, s.pdf417Columns,  // rows and columns
                s.pdf417ElementWidth, s.pdf417ElementHeight,            // module width and row height
                0x1D, 0x71, s.pdf417ErrorCorrection,                    // error correction level
                0x1D, 0x6B, 0x0A,                                       // PDF417 barcode
            };
            // clang-format on
        case Barcode2DKind::kGs1DataBarStacked:
            return BuildGs1DataBarSetup(Gs1Parameters(s, type.gs1TypeCode, s.gs1SegmentsPerRow));
        case Barcode2DKind::kQrCode: {
            // The list shows L, M, H, Q in this order.
            static constexpr uint8_t kLetters[] = {'L', 'M', 'H', 'Q'};
            if (s.qrErrorCorrection >= std::size(kLetters))
                return std::nullopt;
            // The data follows the error correction letter, "A" and a comma.
            // clang-format off
            return Bytes{
                0x1D, 0x6F, 0x00, s.qrElementWidth, s.qrLanguageMode, s.qrModel,  // QR parameters
                0x1D, 0x6B, 0x0B,                                                 // QR barcode
                kLetters[s.qrErrorCorrection], 'A', ',',                          // data prefix
            };
            // clang-format on
        }
        case Barcode2DKind::kMaxiCode:
            return Bytes{0x1D, 0x71, 0x00, 0x1D, 0x6B, 0x0C};
    }
    return std::nullopt;
}

BarcodeJob Failed(BarcodeJobError error) {
    return {error, {}};
}

TestPrintResult Send(const RawPrinterChannel& channel, std::u16string_view documentName, const BarcodeJob& job) {
    switch (job.error) {
        case BarcodeJobError::kInvalidData:
            return TestPrintResult::kInvalidData;
        case BarcodeJobError::kUnknownSetting:
            return TestPrintResult::kUnknownSetting;
        case BarcodeJobError::kNone:
            break;
    }
    const std::vector<std::span<const uint8_t>> buffers(job.writes.begin(), job.writes.end());
    return channel.Send(documentName, buffers) ? TestPrintResult::kPrinted : TestPrintResult::kSpoolerFailed;
}

}  // namespace

Bytes BuildGs1DataBarSetup(const Gs1DataBarParameters& p) {
    // clang-format off
    return {
        0x1D, 0x66, 0x00,                                                        // HRI font A
        0x1D, 0x48, 0x00,                                                        // HRI not printed
        0x1D, 0x73, p.typeCode, p.elementWidth,                                  // GS1 DataBar parameters
        LowByte(p.rowHeight), LowByte(p.compositeRowHeight), p.separatorHeight,
        p.segmentsPerRow, p.hriContent, p.aiMode,
        0x1D, 0x6B, 0x0D,                                                        // GS1 DataBar barcode
    };
    // clang-format on
}

BarcodeJob BuildBarcode1DJob(const Barcode1DSettings& settings, std::span<const uint8_t> data) {
    const Barcode1DType* type = FindBarcode1DType(settings.barcodeType);
    if (!type)
        return Failed(BarcodeJobError::kUnknownSetting);
    Bytes printed(data.begin(), data.end());
    if (!ValidateBarcodeData(type->validatorSymbology, printed))
        return Failed(BarcodeJobError::kInvalidData);
    switch (type->form) {
        case Barcode1DJobForm::kGeneral:
            return {BarcodeJobError::kNone,
                    WithData({General1DSetup(settings, type->commandByte)}, std::move(printed))};
        case Barcode1DJobForm::kCounted:
            return {BarcodeJobError::kNone,
                    Counted1DWrites(General1DSetup(settings, type->commandByte), std::move(printed))};
        case Barcode1DJobForm::kGs1DataBar:
            return {BarcodeJobError::kNone,
                    WithData({BuildGs1DataBarSetup(Gs1Parameters(settings, type->commandByte, kGs1SegmentsOn1DPage))},
                             std::move(printed))};
    }
    return Failed(BarcodeJobError::kUnknownSetting);
}

BarcodeJob BuildBarcode2DJob(const Barcode2DSettings& settings, std::span<const uint8_t> data) {
    const Barcode2DType* type = FindBarcode2DType(settings.barcodeType);
    if (!type)
        return Failed(BarcodeJobError::kUnknownSetting);
    auto setup = Setup2D(settings, *type);
    if (!setup)
        return Failed(BarcodeJobError::kUnknownSetting);
    Bytes printed(data.begin(), data.end());
    if (!ValidateBarcodeData(type->validatorSymbology, printed))
        return Failed(BarcodeJobError::kInvalidData);
    return {BarcodeJobError::kNone, WithData({std::move(*setup)}, std::move(printed))};
}

TestPrintResult SendBarcode1DTestPrint(const RawPrinterChannel& channel,
                                       const Barcode1DSettings& settings,
                                       std::span<const uint8_t> data) {
    return Send(channel, kBarcode1DDocumentName, BuildBarcode1DJob(settings, data));
}

TestPrintResult SendBarcode2DTestPrint(const RawPrinterChannel& channel,
                                       const Barcode2DSettings& settings,
                                       std::span<const uint8_t> data) {
    return Send(channel, kBarcode2DDocumentName, BuildBarcode2DJob(settings, data));
}

}  // namespace m450
