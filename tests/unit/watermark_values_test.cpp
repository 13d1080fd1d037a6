// The Watermark page's values between the record and its controls.
#include "document/record_text.h"
#include "document/watermark_values.h"

#include <gtest/gtest.h>

namespace m450 {
namespace {

TEST(WatermarkValues, LoadedAsStoredAndAppliedWithinRangesAndByKind) {
    PlugInDevMode dm{};
    DefaultDevMode(dm, u"C:\\Windows\\system32");
    dm.watermarkPosition = 12;  // in no list: shown as no selection
    dm.watermarkAngle = 400;    // the label shows 400
    StoreRecordText(dm, &PlugInDevMode::watermarkText, u"DRAFT");
    const WatermarkValues loaded = LoadWatermarkValues(dm);
    EXPECT_EQ(loaded.type, 0);
    EXPECT_EQ(loaded.position, 12);
    EXPECT_EQ(loaded.angle, 400);
    EXPECT_EQ(loaded.text, u"DRAFT");

    // An image: graphics forced, its path stored, the text left; every number within its range.
    dm.printTextAsImage = 0;
    ApplyWatermarkValues({1, -1, 3, 150, -4, 361, 99, u"C:\\logo.bmp", u"FINAL", u"Arial"}, dm);
    EXPECT_EQ(dm.watermarkType, 1);
    EXPECT_EQ(dm.printTextAsImage, 1);
    EXPECT_EQ(dm.watermarkPosition, 12);
    EXPECT_EQ(dm.watermarkFontStyle, 3);
    EXPECT_EQ(dm.watermarkSize, 100);
    EXPECT_EQ(dm.watermarkBrightness, 0);
    EXPECT_EQ(dm.watermarkAngle, 360u);
    EXPECT_EQ(dm.watermarkFontSize, 72);
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkBitmapPath), u"C:\\logo.bmp");
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkText), u"DRAFT");

    // A text: its text and face stored. None: graphics left as it is.
    ApplyWatermarkValues({2, 9, 3, 100, 0, 360, 5, u"", u"FINAL", u"Arial"}, dm);
    EXPECT_EQ(dm.watermarkPosition, 9);
    EXPECT_EQ(dm.watermarkFontSize, 5);
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkText), u"FINAL");
    EXPECT_EQ(RecordText(dm, &PlugInDevMode::watermarkFontName), u"Arial");
    ApplyWatermarkValues({7, 9, 3, 100, 0, 360, -3, u"", u"", u""}, dm);
    EXPECT_EQ(dm.watermarkType, 0);
    EXPECT_EQ(dm.printTextAsImage, 1);
    EXPECT_EQ(dm.watermarkFontSize, 0);
}

}  // namespace
}  // namespace m450
