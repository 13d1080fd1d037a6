#include "core/devmode.h"

#include <algorithm>
#include <cstring>

namespace m450 {
namespace {

template <typename Block>
void DefaultEventBlock(Block& b, uint8_t feedToCut, uint8_t cashDrawer, uint8_t paperCut) {
    b.sendCommand = 0;
    b.feedToCutPosition = feedToCut;
    std::memset(b.command, 0, sizeof(b.command));
    b.commandLength = 0;
    b.cashDrawer = cashDrawer;
    b.paperCut = paperCut;
    b.feedDistance = 0;
    b.orderMessenger = 0;
    b.buzzerVolume = 0;
    b.drawerOrMessenger = 0;
    b.buzzer = 0;
    b.logo = 0;
    b.logoAlign = 0;
    b.logoPosition = 0;
}

void DefaultBarcode1D(Barcode1DSettings& r, uint8_t type) {
    r.barcodeType = type;
    r.elementWidth = 3;
    r.elementHeight = 163;
    r.hriPosition = 0;
    r.hriFont = 0;
    r.scaledElementWidth = 24;
    r.fontHeight = 163;
    r.gs1ElementWidth = 2;
    r.gs1RowHeight = 100;
    r.gs1CompositeRowHeight = 2;
    r.gs1SeparatorHeight = 1;
    r.gs1HriContent = 1;
    r.gs1AiMode = 1;
}

void DefaultBarcode2D(Barcode2DSettings& r) {
    r.barcodeType = 0;
    r.pdf417ElementWidth = 3;
    r.pdf417ElementHeight = 3;
    r.pdf417Columns = 3;
    r.pdf417Rows = 3;
    r.pdf417ErrorCorrection = 5;
    r.gs1ElementWidth = 2;
    r.gs1RowHeight = 100;
    r.gs1CompositeRowHeight = 2;
    r.gs1SeparatorHeight = 2;
    r.gs1SegmentsPerRow = 4;
    r.gs1HriContent = 1;
    r.gs1AiMode = 1;
    r.qrElementWidth = 3;
    r.qrLanguageMode = 0;
    r.qrModel = 1;
    r.qrErrorCorrection = 1;
}

// Every byte but the header; shared by Default and Convert (which keeps the header for
// its signature comparison). The padding between fields is zeroed too, not left as the
// host's buffer held it.
void DefaultFields(PlugInDevMode& dm, std::u16string_view systemDirectory) {
    std::memset(reinterpret_cast<uint8_t*>(&dm) + sizeof(DevModeHeader), 0, kDevModeSize - sizeof(DevModeHeader));
    dm.reservedValue = 0;

    DefaultEventBlock(dm.events.startOfDocument, 0, 12, 0);
    DefaultEventBlock(dm.events.startOfPage, 0, 0, 0);
    DefaultEventBlock(dm.events.endOfDocument, 1, 0, 1);
    DefaultEventBlock(dm.events.endOfPage, 0, 0, 0);

    // EAN13 (3) follows UPC-E in the default fonts: record 2 skips EAN8.
    static constexpr uint8_t kDefault1DTypes[kBarcode1DCount] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (size_t i = 0; i < kBarcode1DCount; ++i)
        DefaultBarcode1D(dm.barcode1D[i], kDefault1DTypes[i]);
    for (auto& r : dm.barcode2D)
        DefaultBarcode2D(r);

    dm.reservedFlag = 0;
    std::memset(dm.reservedText1, 0, sizeof(dm.reservedText1));
    std::memset(dm.reservedText2, 0, sizeof(dm.reservedText2));
    dm.printTextAsImage = 0;
    std::memset(dm.watermarkBitmapPath, 0, sizeof(dm.watermarkBitmapPath));
    dm.watermarkType = 0;
    std::memset(dm.watermarkText, 0, sizeof(dm.watermarkText));
    std::memset(dm.watermarkFontName, 0, sizeof(dm.watermarkFontName));
    dm.watermarkFontSize = 50;
    dm.watermarkFontStyle = 0;
    dm.watermarkAngle = 45;
    dm.watermarkPosition = 4;
    dm.watermarkSize = 100;
    dm.watermarkBrightness = 50;
    dm.zoomPercent = 100;
    dm.rotate180 = 0;
    std::memset(dm.paperSizeName, 0, sizeof(dm.paperSizeName));
    dm.zoomPrinting = 0;
    dm.recordDriverLog = 0;

    // The drive root of the system directory ("C:\"), then the log folder; zeros after it.
    char16_t dir[std::size(PlugInDevMode{}.logDirectory)] = {};
    std::u16string_view root = systemDirectory.substr(0, 3);
    std::copy(root.begin(), root.end(), dir);
    std::copy(kLogFolderName.begin(), kLogFolderName.end(), dir + root.size());
    std::memcpy(dm.logDirectory, dir, sizeof(dir));
}

void SetHeader(PlugInDevMode& dm) {
    dm.dmExtraHeader.dwSize = kDevModeSize;
    dm.dmExtraHeader.dwSignature = kPlugInSignature;
    dm.dmExtraHeader.dwVersion = kDevModeVersion;
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
    const uint8_t* p = bytes.data() + offset;
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

}  // namespace

void DefaultDevMode(PlugInDevMode& out, std::u16string_view systemDirectory) {
    SetHeader(out);
    DefaultFields(out, systemDirectory);
}

void ConvertDevMode(std::span<const uint8_t> in, PlugInDevMode* out, std::u16string_view systemDirectory) {
    if (out == nullptr || in.data() == nullptr)
        return;
    // Take the input first: a host may hand the same buffer as input and output.
    uint8_t copy[kDevModeSize];
    in = in.first(std::min(in.size(), sizeof(copy)));
    std::memcpy(copy, in.data(), in.size());
    in = {copy, in.size()};

    const uint32_t outSizeOnEntry = out->dmExtraHeader.dwSize;
    const uint32_t outSignature = out->dmExtraHeader.dwSignature;
    DefaultFields(*out, systemDirectory);

    constexpr size_t kSignatureEnd = offsetof(DevModeHeader, dwSignature) + sizeof(uint32_t);
    const bool ours = in.size() >= kSignatureEnd && ReadU32(in, offsetof(DevModeHeader, dwSignature)) == outSignature;
    if (!ours) {
        SetHeader(*out);
        return;
    }
    // The smaller of the two claimed sizes, and never more than the input holds (at most 1980).
    const uint32_t inSize = in.size() >= sizeof(uint32_t) ? ReadU32(in, 0) : 0;
    const size_t count = std::min({size_t{inSize}, size_t{outSizeOnEntry}, in.size()});
    std::memcpy(out, in.data(), count);
    out->dmExtraHeader.dwSize = kDevModeSize;
    out->dmExtraHeader.dwVersion = kDevModeVersion;
}

void MergeDevMode(std::span<const uint8_t> in, PlugInDevMode* out, std::u16string_view systemDirectory) {
    ConvertDevMode(in, out, systemDirectory);
    if (out == nullptr)
        return;
    SetHeader(*out);
    if (out->reservedValue > 100)
        out->reservedValue = 0;
}

}  // namespace m450
