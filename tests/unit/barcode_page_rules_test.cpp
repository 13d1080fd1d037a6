// The barcode pages' rules: font-height snapping and its display, every number field's clamp
// and store, list selections, and the visibility and enabled states by type.
#include "barcode/barcode_page_rules.h"

#include "barcode/font_height.h"

#include <gtest/gtest.h>

namespace m450 {
namespace {

PlugInDevMode DefaultRecord() {
    PlugInDevMode record{};
    DefaultDevMode(record, u"C:\\Windows\\system32");
    return record;
}

TEST(FontHeight, SnapsToHalfPointsAndShowsMillimetresAndPoints) {
    struct Case {
        uint32_t raw;
        uint32_t fontHeight;
        std::u16string_view millimetres;
        std::u16string_view points;
    };
    const Case cases[] = {
        {163, 162, u" 22.9", u" 65.0"},  // 65.2 points: down
        {187, 187, u" 26.4", u" 75.0"},  // 74.8 points: up
        {211, 211, u" 29.8", u" 84.5"},  // 84.4 points (just above 84.4 in double): to the half
        {279, 278, u" 39.2", u"111.0"},  // 111.6 points: to the half, then truncated
        {1, 1, u"  0.1", u"  0.5"},      // 0.4 points: to the half
        {41, 40, u"  5.6", u" 16.0"},    // 16.4 points is 16.3999... in double: down
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.raw);
        EXPECT_EQ(FontHeightForRawHeight(c.raw), c.fontHeight);
        const FontHeightDisplay display = FontHeightDisplayFor(c.fontHeight);
        EXPECT_EQ(display.millimetres, c.millimetres);
        EXPECT_EQ(display.points, c.points);
    }
    EXPECT_EQ(FontHeightForRawHeight(0), 2u);  // a zero result is stored as 2
    EXPECT_EQ(FontHeightForRawHeight(0xFFFFFFFFull + 48), 0xFFFFFFFFu);

    EXPECT_EQ(HriAllowance(0, 0), 0u);
    EXPECT_EQ(HriAllowance(1, 0), 24u);
    EXPECT_EQ(HriAllowance(2, 1), 17u);
    EXPECT_EQ(HriAllowance(3, 0), 48u);
    EXPECT_EQ(HriAllowance(3, 1), 34u);
    EXPECT_EQ(HriAllowance(4, 0), 0u);
    EXPECT_EQ(BarcodeFontHeight(139, 2, 0), 162u);  // raw 163
}

TEST(BarcodeClamps, EveryFieldOfBothPages) {
    struct Case {
        const BarcodeNumberField& field;
        uint32_t zero, negative, typed300, typed256;
        uint8_t textLimit;  // the widest number of the range fits: "10" and "20" take two
    };
    using N1 = Barcode1DNumber;
    using N2 = Barcode2DNumber;
    // Whole fields: a negative number is above every bound. Low-byte fields: -5 is 251, 300 is 44
    // and 256 is 0 before clamping.
    const Case cases[] = {
        {Barcode1DNumberField(N1::kElementWidth), 2, 6, 6, 6, 1},
        {Barcode1DNumberField(N1::kElementHeight), 1, 255, 255, 255, 3},
        {Barcode1DNumberField(N1::kGs1ElementWidth), 1, 6, 6, 6, 1},
        {Barcode1DNumberField(N1::kGs1RowHeight), 2, 250, 250, 250, 3},
        {Barcode1DNumberField(N1::kGs1CompositeRowHeight), 1, 10, 10, 10, 2},
        {Barcode1DNumberField(N1::kGs1SeparatorHeight), 1, 10, 10, 10, 2},
        {Barcode2DNumberField(N2::kPdf417Columns), 1, 30, 30, 1, 2},
        {Barcode2DNumberField(N2::kPdf417Rows), 3, 90, 44, 3, 2},
        {Barcode2DNumberField(N2::kPdf417ElementWidth), 1, 7, 7, 1, 1},
        {Barcode2DNumberField(N2::kPdf417ElementHeight), 2, 25, 25, 2, 2},
        {Barcode2DNumberField(N2::kGs1ElementWidth), 1, 6, 6, 1, 1},
        {Barcode2DNumberField(N2::kGs1RowHeight), 2, 250, 250, 250, 3},
        {Barcode2DNumberField(N2::kGs1CompositeRowHeight), 1, 10, 10, 10, 2},
        {Barcode2DNumberField(N2::kGs1SeparatorHeight), 1, 10, 10, 1, 2},
        {Barcode2DNumberField(N2::kGs1SegmentsPerRow), 2, 20, 20, 2, 2},
        {Barcode2DNumberField(N2::kQrElementWidth), 1, 24, 24, 24, 2},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(ClampTypedNumber(0, c.field), c.zero);
        EXPECT_EQ(ClampTypedNumber(-5, c.field), c.negative);
        EXPECT_EQ(ClampTypedNumber(300, c.field), c.typed300);
        EXPECT_EQ(ClampTypedNumber(256, c.field), c.typed256);
        EXPECT_EQ(ClampTypedNumber(static_cast<int32_t>(c.field.least), c.field), c.field.least);
        EXPECT_EQ(ClampTypedNumber(static_cast<int32_t>(c.field.greatest), c.field), c.field.greatest);
        EXPECT_EQ(c.field.textLimit, c.textLimit);
    }
    EXPECT_EQ(ClampTypedNumber(99, Barcode2DNumberField(N2::kPdf417Rows)), 90u);
    EXPECT_EQ(ClampTypedNumber(1, Barcode1DNumberField(N1::kElementWidth)), 2u);
}

TEST(BarcodeClamps, StoringSetsTheFieldAndWhatDependsOnIt) {
    PlugInDevMode record = DefaultRecord();
    Barcode1DSettings& s = record.barcode1D[0];

    EXPECT_EQ(StoreBarcode1DNumber(s, Barcode1DNumber::kElementWidth, 9), 6u);
    EXPECT_EQ(s.elementWidth, 6);
    EXPECT_EQ(s.scaledElementWidth, 48u);

    // The unsnapped default 163 stays until the height or the HRI setting changes.
    EXPECT_EQ(StoreBarcode1DNumber(s, Barcode1DNumber::kElementHeight, 163), 163u);
    EXPECT_EQ(s.fontHeight, 163u);
    EXPECT_EQ(StoreBarcode1DNumber(s, Barcode1DNumber::kElementHeight, 139), 139u);
    EXPECT_EQ(s.fontHeight, 138u);  // 55.6 points: to the half, 138.75 dots
    EXPECT_TRUE(StoreBarcode1DChoice(s, Barcode1DChoice::kHriPosition, 2));
    EXPECT_EQ(s.fontHeight, 162u);  // raw 163 with Font A below
    EXPECT_TRUE(StoreBarcode1DChoice(s, Barcode1DChoice::kHriFont, 1));
    EXPECT_EQ(s.fontHeight, 155u);  // raw 156 with Font B: 62.4 points is 62.3999... in double: down
    EXPECT_EQ(StoreBarcode1DNumber(s, Barcode1DNumber::kElementHeight, -5), 255u);
    EXPECT_EQ(s.elementHeight, 255u);

    EXPECT_EQ(StoreBarcode1DNumber(s, Barcode1DNumber::kGs1RowHeight, 1), 2u);
    EXPECT_EQ(s.gs1RowHeight, 2u);
    EXPECT_EQ(Barcode1DNumberValue(s, Barcode1DNumber::kGs1RowHeight), 2u);

    Barcode2DSettings& t = record.barcode2D[1];
    EXPECT_EQ(StoreBarcode2DNumber(t, Barcode2DNumber::kPdf417Rows, 300), 44u);
    EXPECT_EQ(t.pdf417Rows, 44);
    EXPECT_EQ(StoreBarcode2DNumber(t, Barcode2DNumber::kPdf417Rows, 0), 3u);
    EXPECT_EQ(StoreBarcode2DNumber(t, Barcode2DNumber::kGs1RowHeight, 300), 250u);
    EXPECT_EQ(t.gs1RowHeight, 250u);
    EXPECT_EQ(StoreBarcode2DNumber(t, Barcode2DNumber::kQrElementWidth, 0), 1u);
    EXPECT_EQ(t.qrElementWidth, 1);
    EXPECT_EQ(Barcode2DNumberValue(t, Barcode2DNumber::kQrElementWidth), 1u);
    // The other font's record is untouched.
    EXPECT_EQ(record.barcode2D[0].pdf417Rows, 3);
}

// A record from an older driver: numbers outside their fields' ranges are kept clamped, with
// what depends on them; numbers in range are left exactly as stored.
TEST(BarcodeClamps, StoredNumbersOutsideTheirRangeAreKeptClamped) {
    PlugInDevMode record = DefaultRecord();
    Barcode1DSettings& s = record.barcode1D[0];
    s.elementWidth = 0;
    s.scaledElementWidth = 0;
    s.elementHeight = 400;
    s.fontHeight = 163;
    s.gs1SeparatorHeight = 11;
    s.gs1RowHeight = 100;
    EXPECT_EQ(KeepBarcode1DNumberInRange(s, Barcode1DNumber::kElementWidth), 2u);
    EXPECT_EQ(s.elementWidth, 2);
    EXPECT_EQ(s.scaledElementWidth, 16u);
    EXPECT_EQ(KeepBarcode1DNumberInRange(s, Barcode1DNumber::kElementHeight), 255u);
    EXPECT_EQ(s.elementHeight, 255u);
    EXPECT_EQ(s.fontHeight, 255u);  // 255 dots, no HRI: 102 points, already on a half point
    EXPECT_EQ(KeepBarcode1DNumberInRange(s, Barcode1DNumber::kGs1SeparatorHeight), 10u);
    EXPECT_EQ(s.gs1SeparatorHeight, 10);
    EXPECT_EQ(KeepBarcode1DNumberInRange(s, Barcode1DNumber::kGs1RowHeight), 100u);
    EXPECT_EQ(s.gs1RowHeight, 100u);

    // In range: nothing is rewritten (the unsnapped default font height stays).
    Barcode1DSettings& d = record.barcode1D[1];
    EXPECT_EQ(KeepBarcode1DNumberInRange(d, Barcode1DNumber::kElementHeight), 163u);
    EXPECT_EQ(d.fontHeight, 163u);
    EXPECT_EQ(KeepBarcode1DNumberInRange(d, Barcode1DNumber::kElementWidth), 3u);
    EXPECT_EQ(d.scaledElementWidth, 24u);

    Barcode2DSettings& t = record.barcode2D[0];
    t.pdf417ElementWidth = 0;
    t.pdf417Columns = 200;  // a byte field above its range: clamped, not cut to its low byte
    t.gs1SegmentsPerRow = 1;
    t.qrElementWidth = 30;
    t.gs1RowHeight = 0x101;
    EXPECT_EQ(KeepBarcode2DNumberInRange(t, Barcode2DNumber::kPdf417ElementWidth), 1u);
    EXPECT_EQ(t.pdf417ElementWidth, 1);
    EXPECT_EQ(KeepBarcode2DNumberInRange(t, Barcode2DNumber::kPdf417Columns), 30u);
    EXPECT_EQ(t.pdf417Columns, 30);
    EXPECT_EQ(KeepBarcode2DNumberInRange(t, Barcode2DNumber::kGs1SegmentsPerRow), 2u);
    EXPECT_EQ(t.gs1SegmentsPerRow, 2);
    EXPECT_EQ(KeepBarcode2DNumberInRange(t, Barcode2DNumber::kQrElementWidth), 24u);
    EXPECT_EQ(t.qrElementWidth, 24);
    EXPECT_EQ(KeepBarcode2DNumberInRange(t, Barcode2DNumber::kGs1RowHeight), 250u);
    EXPECT_EQ(t.gs1RowHeight, 250u);
}

TEST(BarcodeChoices, SelectionsMapToStoredValues) {
    PlugInDevMode record = DefaultRecord();
    Barcode1DSettings& s = record.barcode1D[0];
    EXPECT_EQ(Barcode1DChoiceSelection(s, Barcode1DChoice::kGs1HriContent), 0);  // stored 1
    EXPECT_TRUE(StoreBarcode1DChoice(s, Barcode1DChoice::kGs1HriContent, 3));
    EXPECT_EQ(s.gs1HriContent, 4);
    EXPECT_FALSE(StoreBarcode1DChoice(s, Barcode1DChoice::kGs1HriContent, 4));
    EXPECT_FALSE(StoreBarcode1DChoice(s, Barcode1DChoice::kType, -1));  // nothing selected
    EXPECT_EQ(s.gs1HriContent, 4);
    EXPECT_TRUE(StoreBarcode1DChoice(s, Barcode1DChoice::kType, 12));
    EXPECT_EQ(s.barcodeType, 12);
    s.barcodeType = 13;
    EXPECT_EQ(Barcode1DChoiceSelection(s, Barcode1DChoice::kType), -1);
    s.gs1HriContent = 0;
    EXPECT_EQ(Barcode1DChoiceSelection(s, Barcode1DChoice::kGs1HriContent), -1);

    Barcode2DSettings& t = record.barcode2D[0];
    EXPECT_EQ(Barcode2DChoiceSelection(t, Barcode2DChoice::kPdf417ErrorCorrection), 5);
    EXPECT_EQ(Barcode2DChoiceSelection(t, Barcode2DChoice::kQrModel), 0);  // model 1
    EXPECT_TRUE(StoreBarcode2DChoice(t, Barcode2DChoice::kQrModel, 1));
    EXPECT_EQ(t.qrModel, 2);
    EXPECT_TRUE(StoreBarcode2DChoice(t, Barcode2DChoice::kQrErrorCorrection, 3));
    EXPECT_EQ(t.qrErrorCorrection, 3);  // "Q"
    EXPECT_FALSE(StoreBarcode2DChoice(t, Barcode2DChoice::kQrErrorCorrection, 4));
    EXPECT_FALSE(StoreBarcode2DChoice(t, Barcode2DChoice::kPdf417ErrorCorrection, 9));
    EXPECT_TRUE(StoreBarcode2DChoice(t, Barcode2DChoice::kType, 5));
    EXPECT_FALSE(StoreBarcode2DChoice(t, Barcode2DChoice::kType, 6));
    EXPECT_EQ(t.barcodeType, 5);
}

TEST(BarcodeView, GroupsAndEnabledStatesByType) {
    for (unsigned type = 0; type <= 13; ++type) {
        const bool gs1 = type >= 9 && type <= 12;
        EXPECT_EQ(Barcode1DGroupFor(type), gs1 ? Barcode1DGroup::kGs1DataBar : Barcode1DGroup::kGeneral) << type;
        EXPECT_EQ(Barcode1DAiModeEnabled(type), type == 12) << type;
    }

    const Barcode2DGroup groups[] = {
        Barcode2DGroup::kPdf417, Barcode2DGroup::kGs1DataBar, Barcode2DGroup::kGs1DataBar, Barcode2DGroup::kGs1DataBar,
        Barcode2DGroup::kQrCode, Barcode2DGroup::kNone,       Barcode2DGroup::kNone};
    for (unsigned type = 0; type < std::size(groups); ++type) {
        EXPECT_EQ(Barcode2DGroupFor(type), groups[type]) << type;
        const Barcode2DEnabled enabled = Barcode2DEnabledFor(type);
        EXPECT_EQ(enabled.pdf417Fields, type == 0) << type;
        EXPECT_EQ(enabled.gs1Segments, type == 3) << type;
        EXPECT_EQ(enabled.gs1AiMode, type == 3) << type;
    }

    const Gs1CompositeView independent = Gs1CompositeViewFor(false);
    EXPECT_FALSE(independent.compositeRowHeightEnabled);
    EXPECT_EQ(independent.segmentsLeast, 2u);
    EXPECT_EQ(independent.segmentsGreatest, 20u);
    EXPECT_EQ(independent.segmentsRangeLabel, u"[ 2 . . 20 ]");
    const Gs1CompositeView composite = Gs1CompositeViewFor(true);
    EXPECT_TRUE(composite.compositeRowHeightEnabled);
    EXPECT_EQ(composite.segmentsLeast, 4u);
    EXPECT_EQ(composite.segmentsRangeLabel, u"[ 4 . . 20 ]");
    EXPECT_EQ(SegmentsForComposite(2), 4u);
    EXPECT_EQ(SegmentsForComposite(-1), 4u);
    EXPECT_EQ(SegmentsForComposite(4), std::nullopt);
    EXPECT_EQ(SegmentsForComposite(20), std::nullopt);

    EXPECT_EQ(Barcode1DSampleText(2), u"12345678");
    EXPECT_EQ(Barcode1DSampleText(13), u"");
    EXPECT_EQ(Barcode2DSampleText(), u"01234567890123");
}

}  // namespace
}  // namespace m450
