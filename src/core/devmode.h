// The plug-in's private device-mode record.
//
// PlugInDevMode travels behind the public DEVMODE with every print job and is read at the
// same offsets by the driver's rendering side, and applications keep copies of it: its byte
// layout is a file format. It is defined once here, packed, with every offset asserted, so
// that a layout mistake fails the build on every compiler and pointer size.
//
// The record only grows: an older, shorter record keeps the defaults past its end when it
// is converted (ConvertDevMode copies no more than the record claims).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace m450 {

inline constexpr uint32_t kDevModeSize = 1980;
inline constexpr uint32_t kDevModeVersion = 1;
// The four-character code 'ZERN' with 'Z' in the most significant byte; GetInfo reports it too.
inline constexpr uint32_t kPlugInSignature = (uint32_t{'Z'} << 24) | (uint32_t{'E'} << 16) | (uint32_t{'R'} << 8) | 'N';

inline constexpr size_t kCommandCapacity = 128;
inline constexpr size_t kBarcode1DCount = 8;
inline constexpr size_t kBarcode2DCount = 2;

#pragma pack(push, 1)

// Same layout as the platform's OEM_DMEXTRAHEADER (the Windows shell asserts it).
struct DevModeHeader {
    uint32_t dwSize;
    uint32_t dwSignature;
    uint32_t dwVersion;
};

// The operations attached to one document event. The start-of-document block was laid out
// first and keeps its own order: orderMessenger before drawerOrMessenger, buzzerVolume after it.
struct EventBlockStartOfDocument {
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t command[kCommandCapacity];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t paperCut;
    uint8_t feedDistance;
    uint8_t orderMessenger;
    uint8_t pad151;
    uint32_t drawerOrMessenger;
    uint8_t buzzerVolume;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlign;
    uint8_t logoPosition;
};

// The other three blocks put buzzerVolume before orderMessenger. The start-of-page block
// begins at an odd offset, so three pad bytes bring drawerOrMessenger to a 4-byte boundary.
struct EventBlockStartOfPage {
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t command[kCommandCapacity];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t paperCut;
    uint8_t feedDistance;
    uint8_t buzzerVolume;
    uint8_t orderMessenger;
    uint8_t pad297[3];
    uint32_t drawerOrMessenger;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlign;
    uint8_t logoPosition;
};

struct EventBlockEnd {
    uint8_t sendCommand;
    uint8_t feedToCutPosition;
    uint8_t command[kCommandCapacity];
    uint8_t commandLength;
    uint8_t cashDrawer;
    uint8_t paperCut;
    uint8_t feedDistance;
    uint8_t buzzerVolume;
    uint8_t orderMessenger;
    uint32_t drawerOrMessenger;
    uint8_t buzzer;
    uint8_t logo;
    uint8_t logoAlign;
    uint8_t logoPosition;
};

// Stored order; the Operation page shows the events in another order and maps them.
struct DocumentEventOperations {
    EventBlockStartOfDocument startOfDocument;
    EventBlockStartOfPage startOfPage;
    EventBlockEnd endOfDocument;
    EventBlockEnd endOfPage;
};

// Device fonts "1D Code1" .. "1D Code8".
struct Barcode1DSettings {
    uint8_t barcodeType;
    uint8_t elementWidth;
    uint8_t pad2[2];
    uint32_t elementHeight;
    uint8_t hriPosition;
    uint8_t hriFont;
    uint8_t pad10[2];
    uint32_t scaledElementWidth;
    uint32_t fontHeight;
    uint8_t gs1ElementWidth;
    uint8_t pad21[3];
    uint32_t gs1RowHeight;
    uint32_t gs1CompositeRowHeight;
    uint8_t gs1SeparatorHeight;
    uint8_t gs1HriContent;
    uint8_t gs1AiMode;
    uint8_t pad35;
};

// Device fonts "2D Code1" and "2D Code2".
struct Barcode2DSettings {
    uint8_t barcodeType;
    uint8_t pdf417ElementWidth;
    uint8_t pdf417ElementHeight;
    uint8_t pdf417Columns;
    uint8_t pdf417Rows;
    uint8_t pdf417ErrorCorrection;
    uint8_t gs1ElementWidth;
    uint8_t pad7;
    uint32_t gs1RowHeight;
    uint32_t gs1CompositeRowHeight;
    uint8_t gs1SeparatorHeight;
    uint8_t gs1SegmentsPerRow;
    uint8_t gs1HriContent;
    uint8_t gs1AiMode;
    uint8_t qrElementWidth;
    uint8_t qrLanguageMode;
    uint8_t qrModel;
    uint8_t qrErrorCorrection;
};

struct PlugInDevMode {
    DevModeHeader dmExtraHeader;
    int32_t reservedValue;
    DocumentEventOperations events;
    Barcode1DSettings barcode1D[kBarcode1DCount];
    Barcode2DSettings barcode2D[kBarcode2DCount];
    uint8_t reservedFlag;
    uint8_t pad933;
    uint8_t reservedText1[32];
    uint8_t reservedText2[32];
    uint8_t printTextAsImage;
    uint8_t pad999;
    char16_t watermarkBitmapPath[125];
    uint8_t watermarkType;
    uint8_t pad1251;
    char16_t watermarkText[16];
    char16_t watermarkFontName[50];
    uint8_t watermarkFontSize;
    uint8_t watermarkFontStyle;
    uint8_t pad1386[2];
    uint32_t watermarkAngle;
    uint8_t watermarkPosition;
    uint8_t watermarkSize;
    uint8_t watermarkBrightness;
    uint8_t zoomPercent;
    uint8_t rotate180;
    uint8_t pad1397;
    char16_t paperSizeName[32];
    uint8_t zoomPrinting;
    uint8_t recordDriverLog;
    char16_t logDirectory[256];
    uint8_t logSavePrn;
    uint8_t logSaveBmp;
    uint8_t logSaveJpeg;
    uint8_t pad1979;
};

#pragma pack(pop)

// Header and event blocks.
static_assert(sizeof(DevModeHeader) == 12);
static_assert(offsetof(PlugInDevMode, dmExtraHeader) == 0);
static_assert(offsetof(PlugInDevMode, reservedValue) == 12);
static_assert(offsetof(PlugInDevMode, events) == 16);

#define M450_EVENT_OFFSET(block, field)                                           \
    (offsetof(PlugInDevMode, events) + offsetof(DocumentEventOperations, block) + \
     offsetof(decltype(DocumentEventOperations::block), field))
#define M450_ASSERT_EVENT_BLOCK(block, send, feed, cmd, len, drawer, cut, dist, messenger, volume, dom, buzz, logo_, \
                                align, pos)                                                                          \
    static_assert(M450_EVENT_OFFSET(block, sendCommand) == (send));                                                  \
    static_assert(M450_EVENT_OFFSET(block, feedToCutPosition) == (feed));                                            \
    static_assert(M450_EVENT_OFFSET(block, command) == (cmd));                                                       \
    static_assert(M450_EVENT_OFFSET(block, commandLength) == (len));                                                 \
    static_assert(M450_EVENT_OFFSET(block, cashDrawer) == (drawer));                                                 \
    static_assert(M450_EVENT_OFFSET(block, paperCut) == (cut));                                                      \
    static_assert(M450_EVENT_OFFSET(block, feedDistance) == (dist));                                                 \
    static_assert(M450_EVENT_OFFSET(block, orderMessenger) == (messenger));                                          \
    static_assert(M450_EVENT_OFFSET(block, buzzerVolume) == (volume));                                               \
    static_assert(M450_EVENT_OFFSET(block, drawerOrMessenger) == (dom));                                             \
    static_assert(M450_EVENT_OFFSET(block, buzzer) == (buzz));                                                       \
    static_assert(M450_EVENT_OFFSET(block, logo) == (logo_));                                                        \
    static_assert(M450_EVENT_OFFSET(block, logoAlign) == (align));                                                   \
    static_assert(M450_EVENT_OFFSET(block, logoPosition) == (pos))

M450_ASSERT_EVENT_BLOCK(startOfDocument, 16, 17, 18, 146, 147, 148, 149, 150, 156, 152, 157, 158, 159, 160);
M450_ASSERT_EVENT_BLOCK(startOfPage, 161, 162, 163, 291, 292, 293, 294, 296, 295, 300, 304, 305, 306, 307);
M450_ASSERT_EVENT_BLOCK(endOfDocument, 308, 309, 310, 438, 439, 440, 441, 443, 442, 444, 448, 449, 450, 451);
M450_ASSERT_EVENT_BLOCK(endOfPage, 452, 453, 454, 582, 583, 584, 585, 587, 586, 588, 592, 593, 594, 595);
static_assert(sizeof(DocumentEventOperations) == 596 - 16);

#undef M450_ASSERT_EVENT_BLOCK
#undef M450_EVENT_OFFSET

// 1D records: 36 bytes each from 596.
static_assert(sizeof(Barcode1DSettings) == 36);
static_assert(offsetof(PlugInDevMode, barcode1D) == 596);
static_assert(offsetof(Barcode1DSettings, barcodeType) == 0);
static_assert(offsetof(Barcode1DSettings, elementWidth) == 1);
static_assert(offsetof(Barcode1DSettings, elementHeight) == 4);
static_assert(offsetof(Barcode1DSettings, hriPosition) == 8);
static_assert(offsetof(Barcode1DSettings, hriFont) == 9);
static_assert(offsetof(Barcode1DSettings, scaledElementWidth) == 12);
static_assert(offsetof(Barcode1DSettings, fontHeight) == 16);
static_assert(offsetof(Barcode1DSettings, gs1ElementWidth) == 20);
static_assert(offsetof(Barcode1DSettings, gs1RowHeight) == 24);
static_assert(offsetof(Barcode1DSettings, gs1CompositeRowHeight) == 28);
static_assert(offsetof(Barcode1DSettings, gs1SeparatorHeight) == 32);
static_assert(offsetof(Barcode1DSettings, gs1HriContent) == 33);
static_assert(offsetof(Barcode1DSettings, gs1AiMode) == 34);

// 2D records: 24 bytes each from 884.
static_assert(sizeof(Barcode2DSettings) == 24);
static_assert(offsetof(PlugInDevMode, barcode2D) == 884);
static_assert(offsetof(Barcode2DSettings, barcodeType) == 0);
static_assert(offsetof(Barcode2DSettings, pdf417ElementWidth) == 1);
static_assert(offsetof(Barcode2DSettings, pdf417ElementHeight) == 2);
static_assert(offsetof(Barcode2DSettings, pdf417Columns) == 3);
static_assert(offsetof(Barcode2DSettings, pdf417Rows) == 4);
static_assert(offsetof(Barcode2DSettings, pdf417ErrorCorrection) == 5);
static_assert(offsetof(Barcode2DSettings, gs1ElementWidth) == 6);
static_assert(offsetof(Barcode2DSettings, gs1RowHeight) == 8);
static_assert(offsetof(Barcode2DSettings, gs1CompositeRowHeight) == 12);
static_assert(offsetof(Barcode2DSettings, gs1SeparatorHeight) == 16);
static_assert(offsetof(Barcode2DSettings, gs1SegmentsPerRow) == 17);
static_assert(offsetof(Barcode2DSettings, gs1HriContent) == 18);
static_assert(offsetof(Barcode2DSettings, gs1AiMode) == 19);
static_assert(offsetof(Barcode2DSettings, qrElementWidth) == 20);
static_assert(offsetof(Barcode2DSettings, qrLanguageMode) == 21);
static_assert(offsetof(Barcode2DSettings, qrModel) == 22);
static_assert(offsetof(Barcode2DSettings, qrErrorCorrection) == 23);

// Layout, watermark and log settings.
static_assert(offsetof(PlugInDevMode, reservedFlag) == 932);
static_assert(offsetof(PlugInDevMode, reservedText1) == 934);
static_assert(offsetof(PlugInDevMode, reservedText2) == 966);
static_assert(offsetof(PlugInDevMode, printTextAsImage) == 998);
static_assert(offsetof(PlugInDevMode, watermarkBitmapPath) == 1000);
static_assert(offsetof(PlugInDevMode, watermarkType) == 1250);
static_assert(offsetof(PlugInDevMode, watermarkText) == 1252);
static_assert(offsetof(PlugInDevMode, watermarkFontName) == 1284);
static_assert(offsetof(PlugInDevMode, watermarkFontSize) == 1384);
static_assert(offsetof(PlugInDevMode, watermarkFontStyle) == 1385);
static_assert(offsetof(PlugInDevMode, watermarkAngle) == 1388);
static_assert(offsetof(PlugInDevMode, watermarkPosition) == 1392);
static_assert(offsetof(PlugInDevMode, watermarkSize) == 1393);
static_assert(offsetof(PlugInDevMode, watermarkBrightness) == 1394);
static_assert(offsetof(PlugInDevMode, zoomPercent) == 1395);
static_assert(offsetof(PlugInDevMode, rotate180) == 1396);
static_assert(offsetof(PlugInDevMode, paperSizeName) == 1398);
static_assert(offsetof(PlugInDevMode, zoomPrinting) == 1462);
static_assert(offsetof(PlugInDevMode, recordDriverLog) == 1463);
static_assert(offsetof(PlugInDevMode, logDirectory) == 1464);
static_assert(offsetof(PlugInDevMode, logSavePrn) == 1976);
static_assert(offsetof(PlugInDevMode, logSaveBmp) == 1977);
static_assert(offsetof(PlugInDevMode, logSaveJpeg) == 1978);
static_assert(sizeof(PlugInDevMode) == kDevModeSize);

// The folder of the driver log below the system drive's root.
inline constexpr std::u16string_view kLogFolderName = u"ZERNDriverlog\\KVL-M450";

// Writes every field's default into the record. Pad bytes and the three log-format flags
// (and the spare byte after them) keep what the buffer held. systemDirectory is the Windows
// system directory; its first three characters (the drive root, "C:\") start logDirectory.
void DefaultDevMode(PlugInDevMode& out, std::u16string_view systemDirectory);

// Converts a record that came from elsewhere into out. `in` holds the bytes that may be read
// of the input record (never more than its claimed dwSize is copied, nor more than 1980).
// A null out does nothing; an input too short to hold a signature counts as foreign.
void ConvertDevMode(std::span<const uint8_t> in, PlugInDevMode* out, std::u16string_view systemDirectory);

// Convert, then put the header right and reset reservedValue above 100 to 0.
void MergeDevMode(std::span<const uint8_t> in, PlugInDevMode* out, std::u16string_view systemDirectory);

// A view of a record's bytes, for Convert's input and for tools that write records out.
inline std::span<const uint8_t> DevModeBytes(const PlugInDevMode& dm) {
    return {reinterpret_cast<const uint8_t*>(&dm), sizeof(dm)};
}

}  // namespace m450
