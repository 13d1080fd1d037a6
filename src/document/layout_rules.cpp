#include "document/layout_rules.h"

#include "document/record_text.h"

namespace m450 {
namespace {

constexpr int kZoomTypedMax = 100;
constexpr int kZoomTypedMin = 1;  // below it the scale falls back to the arrows' minimum

// Zoom and rotation force graphics the same way; `field` is the one switched.
LayoutSwitch SwitchGraphicsForcer(PlugInDevMode& dm, uint8_t PlugInDevMode::*field, bool on) {
    LayoutSwitch result;
    dm.*field = on ? 1 : 0;
    if (on) {
        result.showGraphicsMessage = ForcePrintTextAsImage(dm);
        result.buttons = {false, true};
    } else {
        result.buttons = {!PrintAsGraphicsForced(dm), std::nullopt};
    }
    return result;
}

uint8_t PlugInDevMode::*LogFlag(LogFileKind kind) {
    switch (kind) {
        case LogFileKind::Prn:
            return &PlugInDevMode::logSavePrn;
        case LogFileKind::Bmp:
            return &PlugInDevMode::logSaveBmp;
        case LogFileKind::Jpeg:
            break;
    }
    return &PlugInDevMode::logSaveJpeg;
}

}  // namespace

ClampedNumber ClampZoomPercent(int typed) {
    if (typed > kZoomTypedMax)
        return {kZoomTypedMax, true};
    if (typed < kZoomTypedMin)
        return {kZoomArrowsMin, true};
    return {typed, false};
}

bool PrintAsGraphicsForced(const PlugInDevMode& dm) {
    return dm.zoomPrinting != 0 || dm.rotate180 != 0 || dm.watermarkType != 0;
}

bool ForcePrintTextAsImage(PlugInDevMode& dm) {
    const bool wasOff = dm.printTextAsImage == 0;
    dm.printTextAsImage = 1;
    return wasOff;
}

GraphicsButtons GraphicsButtonsOnOpen(const PlugInDevMode& dm) {
    return {!PrintAsGraphicsForced(dm), dm.printTextAsImage != 0};
}

GraphicsButtons GraphicsButtonsOnActivate(const PlugInDevMode& dm, bool& graphicsResetPending) {
    if (PrintAsGraphicsForced(dm))
        return {false, true};
    GraphicsButtons buttons{true, std::nullopt};
    if (graphicsResetPending) {
        buttons.yes = false;
        graphicsResetPending = false;
    }
    return buttons;
}

LayoutSwitch SetZoomPrinting(PlugInDevMode& dm, bool on) {
    return SwitchGraphicsForcer(dm, &PlugInDevMode::zoomPrinting, on);
}

LayoutSwitch SetRotate180(PlugInDevMode& dm, bool rotated) {
    return SwitchGraphicsForcer(dm, &PlugInDevMode::rotate180, rotated);
}

DriverLogControls DriverLogControlsFor(const PlugInDevMode& dm) {
    const bool record = dm.recordDriverLog != 0;
    return {record, record, dm.logSavePrn != 0, dm.logSaveBmp != 0, dm.logSaveJpeg != 0};
}

void SetRecordDriverLog(PlugInDevMode& dm, bool on) {
    dm.recordDriverLog = on ? 1 : 0;
    dm.logSavePrn = on ? 1 : 0;
    dm.logSaveBmp = 0;
    dm.logSaveJpeg = 0;
}

void SetLogFileKind(PlugInDevMode& dm, LogFileKind kind, bool keep) {
    dm.*LogFlag(kind) = keep ? 1 : 0;
}

std::u16string LogViewerProgram(std::u16string_view systemDirectory) {
    std::u16string program(systemDirectory.substr(0, 3));
    program += u"ZERNDriverlog\\ZERNDriverlogViewer.exe";
    return program;
}

std::u16string LogViewerParameters(const PlugInDevMode& dm) {
    return u"\"M450\" \"" + RecordText(dm, &PlugInDevMode::logDirectory) + u"\"";
}

bool ReportMissingLogViewer(uint32_t lastError, uint32_t majorVersion, uint32_t minorVersion) {
    constexpr uint32_t kErrorFileNotFound = 2;
    return lastError == kErrorFileNotFound && !(majorVersion == 5 && minorVersion == 0);
}

uint32_t LogViewerStartError(intptr_t shellResult, uint32_t lastError) {
    constexpr uint32_t kErrorFileNotFound = 2;
    constexpr uint32_t kErrorPathNotFound = 3;
    constexpr intptr_t kShellFileNotFound = 2;
    constexpr intptr_t kShellPathNotFound = 3;
    if (shellResult == kShellFileNotFound || shellResult == kShellPathNotFound || lastError == kErrorPathNotFound)
        return kErrorFileNotFound;
    return lastError;
}

}  // namespace m450
