// The Layout and Watermark pages' rules over the private record: clamps, the graphics forcing
// between the two pages, the driver-log controls, and the record's text fields.
#include "document/layout_rules.h"
#include "document/record_text.h"
#include "document/watermark_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace m450 {
namespace {

PlugInDevMode Defaults() {
    PlugInDevMode dm{};
    DefaultDevMode(dm, u"C:\\Windows\\system32");
    return dm;
}

TEST(LayoutRules, ZoomScaleClamp) {
    EXPECT_EQ(ClampZoomPercent(0), (ClampedNumber{10, true}));
    EXPECT_EQ(ClampZoomPercent(-7), (ClampedNumber{10, true}));
    EXPECT_EQ(ClampZoomPercent(150), (ClampedNumber{100, true}));
    EXPECT_EQ(ClampZoomPercent(101), (ClampedNumber{100, true}));
    EXPECT_EQ(ClampZoomPercent(100), (ClampedNumber{100, false}));
    EXPECT_EQ(ClampZoomPercent(5), (ClampedNumber{5, false}));  // below the arrows' 10, but typed
    EXPECT_EQ(ClampZoomPercent(1), (ClampedNumber{1, false}));
}

TEST(WatermarkRules, FontSizeClampsInTwoStages) {
    EXPECT_EQ(ClampWatermarkFontSize(5, FontSizeStage::Typing), (ClampedNumber{5, false}));
    EXPECT_EQ(ClampWatermarkFontSize(5, FontSizeStage::FocusLeft), (ClampedNumber{8, true}));
    EXPECT_EQ(ClampWatermarkFontSize(0, FontSizeStage::Typing), (ClampedNumber{0, false}));  // an empty field
    EXPECT_EQ(ClampWatermarkFontSize(0, FontSizeStage::FocusLeft), (ClampedNumber{8, true}));
    EXPECT_EQ(ClampWatermarkFontSize(-3, FontSizeStage::Typing), (ClampedNumber{0, true}));
    for (FontSizeStage stage : {FontSizeStage::Typing, FontSizeStage::FocusLeft}) {
        EXPECT_EQ(ClampWatermarkFontSize(99, stage), (ClampedNumber{72, true}));
        EXPECT_EQ(ClampWatermarkFontSize(73, stage), (ClampedNumber{72, true}));
        EXPECT_EQ(ClampWatermarkFontSize(72, stage), (ClampedNumber{72, false}));
        EXPECT_EQ(ClampWatermarkFontSize(8, stage), (ClampedNumber{8, false}));
    }
    PlugInDevMode dm = Defaults();
    EXPECT_EQ(StoreWatermarkFontSize(dm, 5, FontSizeStage::FocusLeft), (ClampedNumber{8, true}));
    EXPECT_EQ(dm.watermarkFontSize, 8);
}

TEST(LayoutRules, ZoomAndRotationForceGraphicsAndTellTheUserOnce) {
    PlugInDevMode dm = Defaults();
    EXPECT_EQ(GraphicsButtonsOnOpen(dm), (GraphicsButtons{true, false}));

    // Zoom on while No is chosen: the message, Yes, disabled.
    LayoutSwitch zoom = SetZoomPrinting(dm, true);
    EXPECT_TRUE(zoom.showGraphicsMessage);
    EXPECT_EQ(zoom.buttons, (GraphicsButtons{false, true}));
    EXPECT_EQ(dm.zoomPrinting, 1);
    EXPECT_EQ(dm.printTextAsImage, 1);
    // Rotation on as well: already Yes, no second message.
    LayoutSwitch rotate = SetRotate180(dm, true);
    EXPECT_FALSE(rotate.showGraphicsMessage);
    EXPECT_EQ(dm.rotate180, 1);
    // Zoom off while rotated: still forced, the checks stay.
    zoom = SetZoomPrinting(dm, false);
    EXPECT_EQ(zoom.buttons, (GraphicsButtons{false, std::nullopt}));
    EXPECT_EQ(dm.zoomPrinting, 0);
    // Rotation off: enabled again, Yes stays chosen.
    rotate = SetRotate180(dm, false);
    EXPECT_FALSE(rotate.showGraphicsMessage);
    EXPECT_EQ(rotate.buttons, (GraphicsButtons{true, std::nullopt}));
    EXPECT_EQ(dm.printTextAsImage, 1);
    EXPECT_EQ(GraphicsButtonsOnOpen(dm), (GraphicsButtons{true, true}));

    // A watermark alone forces graphics too.
    dm.watermarkType = kWatermarkText;
    EXPECT_TRUE(PrintAsGraphicsForced(dm));
    EXPECT_EQ(SetZoomPrinting(dm, false).buttons, (GraphicsButtons{false, std::nullopt}));
}

TEST(WatermarkRules, TurningTheWatermarkOffShowsNoOnTheLayoutPage) {
    PlugInDevMode dm = Defaults();
    bool resetPending = false;
    EXPECT_TRUE(ChooseWatermarkType(dm, kWatermarkImage, resetPending));  // No -> Yes: message
    EXPECT_EQ(dm.printTextAsImage, 1);
    EXPECT_FALSE(ChooseWatermarkType(dm, kWatermarkText, resetPending));  // already Yes
    EXPECT_EQ(GraphicsButtonsOnActivate(dm, resetPending), (GraphicsButtons{false, true}));

    EXPECT_FALSE(ChooseWatermarkType(dm, kWatermarkNone, resetPending));
    EXPECT_EQ(dm.watermarkType, 0);
    EXPECT_EQ(dm.printTextAsImage, 0);
    EXPECT_TRUE(resetPending);

    // With zoom on the Layout page keeps Yes and the flag waits.
    dm.zoomPrinting = 1;
    EXPECT_EQ(GraphicsButtonsOnActivate(dm, resetPending), (GraphicsButtons{false, true}));
    EXPECT_TRUE(resetPending);
    // Nothing forcing: No, enabled, and the flag is consumed.
    dm.zoomPrinting = 0;
    EXPECT_EQ(GraphicsButtonsOnActivate(dm, resetPending), (GraphicsButtons{true, false}));
    EXPECT_FALSE(resetPending);
    EXPECT_EQ(GraphicsButtonsOnActivate(dm, resetPending), (GraphicsButtons{true, std::nullopt}));
}

TEST(WatermarkRules, ControlsByKindPositionAndSliders) {
    EXPECT_EQ(WatermarkControlsFor(0), (WatermarkControls{0, false, false, false}));
    EXPECT_EQ(WatermarkControlsFor(1), (WatermarkControls{1, true, false, true}));
    EXPECT_EQ(WatermarkControlsFor(2), (WatermarkControls{2, false, true, true}));
    EXPECT_EQ(WatermarkControlsFor(7), (WatermarkControls{0, false, false, false}));

    PlugInDevMode dm = Defaults();
    dm.watermarkSize = 10;
    EXPECT_FALSE(SelectWatermarkPosition(dm, 8));
    EXPECT_EQ(dm.watermarkSize, 10);
    EXPECT_TRUE(SelectWatermarkPosition(dm, kWatermarkPositionTiled));  // Tiled with 10 raises to 20
    EXPECT_EQ(dm.watermarkPosition, 9);
    EXPECT_EQ(dm.watermarkSize, 20);

    // While tiled the size slider can't go below 20; the other sliders keep their ranges.
    EXPECT_EQ(StoreWatermarkSliders(dm, {90, 5, 128}), (WatermarkSliders{90, 20, 128}));
    EXPECT_EQ(dm.watermarkAngle, 90u);
    EXPECT_EQ(dm.watermarkSize, 20);
    EXPECT_EQ(dm.watermarkBrightness, 128);
    EXPECT_EQ(StoreWatermarkSliders(dm, {400, 150, 300}), (WatermarkSliders{360, 100, 255}));
    SelectWatermarkPosition(dm, 0);
    EXPECT_EQ(StoreWatermarkSliders(dm, {0, 5, 0}), (WatermarkSliders{0, 5, 0}));
}

TEST(LayoutRules, DriverLogControlsShowTheRecord) {
    PlugInDevMode dm = Defaults();
    EXPECT_EQ(DriverLogControlsFor(dm), (DriverLogControls{false, false, false, false, false}));

    // A record whose format flags were left set: shown, though disabled.
    dm.logSaveBmp = 0xFF;
    EXPECT_EQ(DriverLogControlsFor(dm), (DriverLogControls{false, false, false, true, false}));
    // Checking "Record driver data" keeps PRN files only.
    SetRecordDriverLog(dm, true);
    EXPECT_EQ(DriverLogControlsFor(dm), (DriverLogControls{true, true, true, false, false}));
    SetLogFileKind(dm, LogFileKind::Jpeg, true);
    SetLogFileKind(dm, LogFileKind::Prn, false);
    EXPECT_EQ(DriverLogControlsFor(dm), (DriverLogControls{true, true, false, false, true}));
    EXPECT_EQ(dm.logSaveJpeg, 1);
    // Unchecking clears every flag.
    SetRecordDriverLog(dm, false);
    EXPECT_EQ(DriverLogControlsFor(dm), (DriverLogControls{false, false, false, false, false}));
    EXPECT_EQ(dm.recordDriverLog + dm.logSavePrn + dm.logSaveBmp + dm.logSaveJpeg, 0);

    EXPECT_EQ(LogViewerProgram(u"D:\\WINDOWS\\system32"), u"D:\\ZERNDriverlog\\ZERNDriverlogViewer.exe");
    EXPECT_EQ(LogViewerParameters(dm), u"\"M450\" \"C:\\ZERNDriverlog\\KVL-M450\"");
    EXPECT_TRUE(ReportMissingLogViewer(2, 6, 1));
    EXPECT_TRUE(ReportMissingLogViewer(2, 5, 1));
    EXPECT_FALSE(ReportMissingLogViewer(2, 5, 0));
    // A missing viewer folder: the shell says path not found, or only its result says so.
    EXPECT_EQ(LogViewerStartError(2, 3), 2u);
    EXPECT_EQ(LogViewerStartError(3, 0), 2u);
    EXPECT_EQ(LogViewerStartError(42, 0), 0u);
    EXPECT_EQ(LogViewerStartError(5, 5), 5u);
    EXPECT_FALSE(ReportMissingLogViewer(5, 10, 0));
}

TEST(RecordText, FieldsAreCutToTheirCapacityAndCleared) {
    PlugInDevMode dm = Defaults();
    const std::u16string forty(40, u'p');
    StoreRecordText(dm, &PlugInDevMode::paperSizeName, forty);
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::paperSizeName), std::u16string(31, u'p'));
    // A shorter text clears what the longer one left.
    StoreRecordText(dm, &PlugInDevMode::paperSizeName, u"A4");
    const auto* bytes = reinterpret_cast<const uint8_t*>(&dm);
    EXPECT_EQ(bytes[1398], 'A');
    EXPECT_EQ(bytes[1400], '4');
    for (size_t i = 1402; i < 1462; ++i)
        ASSERT_EQ(bytes[i], 0) << i;

    StoreRecordText(dm, &PlugInDevMode::watermarkText, u"CONFIDENTIAL COPY");
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkText), u"CONFIDENTIAL CO");
    StoreRecordText(dm, &PlugInDevMode::watermarkFontName, std::u16string(60, u'f'));
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkFontName).size(), 49u);
    StoreRecordText(dm, &PlugInDevMode::watermarkBitmapPath, std::u16string(200, u'b'));
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkBitmapPath).size(), 124u);
    StoreRecordText(dm, &PlugInDevMode::logDirectory, std::u16string(300, u'd'));
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::logDirectory).size(), 255u);
    EXPECT_EQ(dm.zoomPrinting, 0);  // the fields' neighbours are untouched
    EXPECT_EQ(dm.logSavePrn, 0);

    // A field without a terminator (a record from elsewhere) is read up to its end only.
    std::memset(reinterpret_cast<uint8_t*>(&dm) + 1252, 'x', 32);
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkText), std::u16string(16, char16_t{0x7878}));
}

// Apply with a list that shows no selection (a record from elsewhere held a value no list
// offers) keeps the stored value; a selection is stored.
TEST(WatermarkRules, ApplyKeepsTheStoredValueOfAListWithoutSelection) {
    PlugInDevMode dm = Defaults();
    dm.watermarkPosition = 7;
    dm.watermarkFontStyle = 2;
    StoreWatermarkListSelections(dm, -1, -1);
    EXPECT_EQ(dm.watermarkPosition, 7);
    EXPECT_EQ(dm.watermarkFontStyle, 2);
    StoreWatermarkListSelections(dm, 10, 4);  // past the lists' ten and four entries
    EXPECT_EQ(dm.watermarkPosition, 7);
    EXPECT_EQ(dm.watermarkFontStyle, 2);
    StoreWatermarkListSelections(dm, 9, 3);
    EXPECT_EQ(dm.watermarkPosition, 9);
    EXPECT_EQ(dm.watermarkFontStyle, 3);
    StoreWatermarkListSelections(dm, 0, -1);
    EXPECT_EQ(dm.watermarkPosition, 0);
    EXPECT_EQ(dm.watermarkFontStyle, 3);
}

TEST(WatermarkRules, BrowseRefusesAPathTheRecordCannotHoldAndNamesWhyAConversionFailed) {
    EXPECT_TRUE(FitsWatermarkBitmapPath(std::u16string(124, u'p')));
    EXPECT_FALSE(FitsWatermarkBitmapPath(std::u16string(125, u'p')));
    EXPECT_TRUE(FitsWatermarkBitmapPath(u"C:\\pics\\logo.bmp"));

    const auto text = [](WatermarkError error, WatermarkSource source) {
        return std::u16string(KeyOf(WatermarkConversionMessage(error, source)).key);
    };
    for (const WatermarkSource source : {WatermarkSource::Chosen, WatermarkSource::Stored}) {
        EXPECT_EQ(text(WatermarkError::TooLarge, source),
                  u"MB_WATERMARK_ERROR4");  // "The bitmap you selected is too big!"
        EXPECT_EQ(text(WatermarkError::NotWritten, source), u"MB_WATERMARK_ERROR2");
    }
    for (const WatermarkError error : {WatermarkError::Unreadable, WatermarkError::NotBitmap,
                                       WatermarkError::UnacceptedLayout, WatermarkError::Truncated}) {
        EXPECT_EQ(text(error, WatermarkSource::Chosen),
                  u"MB_WATERMARK_ERROR5");  // "Make sure the specified bitmap is 1/8/24/ bits!"
        EXPECT_EQ(text(error, WatermarkSource::Stored),
                  u"MB_WATERMARK_ERROR1");  // "The specified file does not exist!"
    }
}

}  // namespace
}  // namespace m450
