// The rules of the Layout page: the zoom scale's clamp, the "print all text as graphics"
// forcing, the driver-log controls and the log viewer's command. The page moves values
// between its controls and the record and asks these for every decision.
//
// Text fields of the record (paperSizeName, logDirectory) are stored with StoreRecordText
// (record_text.h), which cuts them to their field; the language choice is language_rules.h.
#pragma once

#include "core/devmode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace m450 {

// A number read from an edit field, as it is used and stored. `corrected`: the value differs
// from what was typed, so the page moves the arrows (and with them the field) to it.
struct ClampedNumber {
    int value = 0;
    bool corrected = false;
    bool operator==(const ClampedNumber&) const = default;
};

// The zoom scale: the arrows run from 10 to 200 and the field takes 3 characters, but a typed
// scale above 100 becomes 100, and one below 1 (negative, 0, not a number) becomes 10.
inline constexpr int kZoomArrowsMin = 10;
inline constexpr int kZoomArrowsMax = 200;
inline constexpr int kZoomFieldChars = 3;
ClampedNumber ClampZoomPercent(int typed);

// While zoom printing or rotation by 180 degrees is on, or a watermark is chosen, all text is
// printed as graphics: the Yes/No choice shows Yes and is disabled.
bool PrintAsGraphicsForced(const PlugInDevMode& dm);

// Sets printTextAsImage for a setting that forces graphics (zoom, rotation, a watermark).
// True when it was off: the page then tells the user once, with its information message.
bool ForcePrintTextAsImage(PlugInDevMode& dm);

// What the Yes/No buttons (1061, 1062) show. `yes` nullopt: the checks stay as they are.
struct GraphicsButtons {
    bool enabled = true;
    std::optional<bool> yes;
    bool operator==(const GraphicsButtons&) const = default;
};

// When the page opens: the record's choice, enabled unless forced.
GraphicsButtons GraphicsButtonsOnOpen(const PlugInDevMode& dm);

// When the page becomes active: forced shows Yes disabled; otherwise enabled, and No when the
// Watermark page turned the watermark off since (graphicsResetPending, consumed here).
GraphicsButtons GraphicsButtonsOnActivate(const PlugInDevMode& dm, bool& graphicsResetPending);

// Zoom printing (1073) or rotation (1070 / 1071) switched. On: the field is 1, graphics forced
// (showGraphicsMessage when that turned printTextAsImage on), Yes shown and disabled. Off: the
// field is 0, printTextAsImage unchanged, Yes/No enabled when nothing else forces graphics.
struct LayoutSwitch {
    bool showGraphicsMessage = false;
    GraphicsButtons buttons;
};
LayoutSwitch SetZoomPrinting(PlugInDevMode& dm, bool on);
LayoutSwitch SetRotate180(PlugInDevMode& dm, bool rotated);

// The driver-log controls: the "Record driver data" box (1208), the enabled state of the
// folder, Browse, Viewer and the three file-kind boxes, and those boxes' checks. The boxes
// always show the record's flags (any non-zero byte is set).
struct DriverLogControls {
    bool record = false;
    bool enabled = false;
    bool prn = false;
    bool bmp = false;
    bool jpeg = false;
    bool operator==(const DriverLogControls&) const = default;
};
DriverLogControls DriverLogControlsFor(const PlugInDevMode& dm);

// "Record driver data" switched: on keeps PRN files only; off clears every log flag.
void SetRecordDriverLog(PlugInDevMode& dm, bool on);

enum class LogFileKind { Prn, Bmp, Jpeg };
void SetLogFileKind(PlugInDevMode& dm, LogFileKind kind, bool keep);

// The log viewer: the system drive's root (the first three characters of the system
// directory) and "ZERNDriverlog\ZERNDriverlogViewer.exe", started with the model in quotes
// and the log folder in quotes.
std::u16string LogViewerProgram(std::u16string_view systemDirectory);
std::u16string LogViewerParameters(const PlugInDevMode& dm);

// Whether starting the viewer failed for a missing program, to be reported: the last error
// is ERROR_FILE_NOT_FOUND and the system is not version 5.0.
bool ReportMissingLogViewer(uint32_t lastError, uint32_t majorVersion, uint32_t minorVersion);

// The error to judge a viewer start by: a missing program counts as ERROR_FILE_NOT_FOUND also
// when its folder is missing (the shell's result SE_ERR_FNF or SE_ERR_PNF, or the last error
// ERROR_PATH_NOT_FOUND), which the shell reports without setting ERROR_FILE_NOT_FOUND.
uint32_t LogViewerStartError(intptr_t shellResult, uint32_t lastError);

}  // namespace m450
