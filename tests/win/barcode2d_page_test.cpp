// The 2D Code page in the document sheet opened through M450UI.dll: the fresh state, the groups
// and enabled states by type, the clamps written into the record, "Composite" raising the
// segment number, a PDF417 test print byte for byte, and the data error message.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <string>
#include <vector>

#include "barcode/barcode_jobs.h"
#include "barcode2d_page_ids.h"
#include "barcode_page_shots.h"
#include "harness.h"
#include "page_test.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using enum m450test::ControlState;

constexpr size_t kFirstRecord = 884;        // Barcode2DSettings of "2D Code1"
constexpr size_t kSecondRecordOffset = 24;  // "2D Code2" follows

std::vector<uint8_t> JobBytes(const m450::Barcode2DSettings& settings, std::string_view data) {
    const std::vector<uint8_t> bytes(data.begin(), data.end());
    std::vector<uint8_t> all;
    for (const auto& write : m450::BuildBarcode2DJob(settings, bytes).writes)
        all.insert(all.end(), write.begin(), write.end());
    return all;
}

class Barcode2DPage : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        OpenPage(SheetKind::Document, L"2D Code");
    }
};

TEST_F(Barcode2DPage, FreshRecordPrintsPdf417) {
    EXPECT_EQ(page_.SelectedText(IDC_2D_FONT_COMBO), L"2D Code1");
    EXPECT_EQ(page_.SelectedText(IDC_2D_TYPE_COMBO), L"PDF417");
    EXPECT_EQ(page_.Items(IDC_2D_TYPE_COMBO).size(), 6u);
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_COLUMNS_EDIT), L"3");
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_ROWS_EDIT), L"3");
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_WIDTH_EDIT), L"3");
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_HEIGHT_EDIT), L"3");
    EXPECT_EQ(page_.SelectedText(IDC_2D_PDF417_ERROR_COMBO), L"Error Correction Level 5");
    EXPECT_EQ(page_.Text(IDC_2D_FONT_SIZE_EDIT), L"9.5");
    EXPECT_FALSE(page_.Enabled(IDC_2D_FONT_SIZE_EDIT));
    EXPECT_EQ(page_.Text(IDC_2D_DATA_EDIT), L"01234567890123");
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_WIDTH_RANGE), L"[ 1. . 7 ]");
    ExpectControls(page_, {{IDC_2D_PDF417_GROUP, Shown},
                           {IDC_2D_GS1_GROUP, Hidden},
                           {IDC_2D_QR_GROUP, Hidden},
                           {IDC_2D_PDF417_ROWS_EDIT, Enabled},
                           {IDC_2D_GS1_SEGMENTS_EDIT, Disabled},
                           {IDC_2D_GS1_AI_COMBO, Disabled}});
    m450test::SavePageShot(sheet_->sheet(), L"barcode2d-pdf417");

    printer_.ForgetLastJob();
    ASSERT_TRUE(page_.Click(IDC_2D_PRINT_BUTTON));
    const auto job = printer_.LastJob();
    ASSERT_TRUE(job.has_value());
    const std::vector<uint8_t> expected = {
        0x1D, 0x70, 0x01, 0x01, 0x03, 0x03, 0x03, 0x03,  // rows, columns, width, height
        0x1D, 0x71, 0x05,                                // error correction level 5
        0x1D, 0x6B, 0x0A,                                // PDF417
        '0',  '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8', '9', '0', '1', '2', '3',
        0x00,                          // end of data
        0x0A, 0x1D, 0x56, 0x42, 0x00,  // feed and cut
    };
    EXPECT_EQ(*job, expected);
    EXPECT_EQ(*job, JobBytes(sheet_->DevMode().barcode2D[0], "01234567890123"));
}

TEST_F(Barcode2DPage, NumbersAreClampedIntoTheRecord) {
    ASSERT_TRUE(page_.Type(IDC_2D_PDF417_ROWS_EDIT, L"0"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 4], 3u);
    ASSERT_TRUE(page_.Type(IDC_2D_PDF417_ROWS_EDIT, L"99"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 4], 90u);
    EXPECT_EQ(page_.Text(IDC_2D_PDF417_ROWS_EDIT), L"90");
    ASSERT_TRUE(page_.Type(IDC_2D_PDF417_COLUMNS_EDIT, L"0"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 3], 1u);
    ASSERT_TRUE(page_.Choose(IDC_2D_PDF417_ERROR_COMBO, 8));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 5], 8u);
    EXPECT_TRUE(sheet_->ApplyEnabled());
    sheet_->Apply();
    EXPECT_FALSE(sheet_->ApplyEnabled());
    ASSERT_FALSE(sheet_->host().setResultCalls().empty());
    EXPECT_EQ(sheet_->host().setResultCalls().back().result, CPSUI_OK);
}

TEST_F(Barcode2DPage, CompositeRaisesTheSegmentNumber) {
    ASSERT_TRUE(page_.Choose(IDC_2D_TYPE_COMBO, L"GS1 DataBar Expanded Stacked"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord], 3u);
    ExpectControls(page_, {{IDC_2D_GS1_GROUP, Shown},
                           {IDC_2D_PDF417_GROUP, Hidden},
                           {IDC_2D_GS1_SEGMENTS_EDIT, Enabled},
                           {IDC_2D_GS1_AI_COMBO, Enabled},
                           {IDC_2D_PDF417_ROWS_EDIT, Disabled},
                           {IDC_2D_GS1_2D_ROW_HEIGHT_EDIT, Disabled}});

    ASSERT_TRUE(page_.Type(IDC_2D_GS1_SEGMENTS_EDIT, L"2"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 17], 2u);
    ASSERT_TRUE(page_.Click(IDC_2D_GS1_COMPOSITE_RADIO));
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_EDIT), L"4");
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 17], 4u);
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_RANGE), L"[ 4 . . 20 ]");
    EXPECT_TRUE(page_.Enabled(IDC_2D_GS1_2D_ROW_HEIGHT_EDIT));
    m450test::SavePageShot(sheet_->sheet(), L"barcode2d-gs1");
    ASSERT_TRUE(page_.Click(IDC_2D_GS1_INDEPENDENT_RADIO));
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_RANGE), L"[ 2 . . 20 ]");
    EXPECT_FALSE(page_.Enabled(IDC_2D_GS1_2D_ROW_HEIGHT_EDIT));
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_EDIT), L"4");

    // Data outside the GS1 set is refused for the stacked types; nothing is sent.
    ASSERT_TRUE(page_.Type(IDC_2D_DATA_EDIT, L"0123#"));
    printer_.ForgetLastJob();
    DialogCatcher catcher;
    ASSERT_TRUE(page_.Click(IDC_2D_PRINT_BUTTON));
    m450test::ExpectOneBox(catcher, L"Error", L"BarCode data error!", &printer_);

    // QR Code shows its own group and disables the GS1 segment field again.
    ASSERT_TRUE(page_.Choose(IDC_2D_TYPE_COMBO, L"QR Code"));
    EXPECT_TRUE(page_.Visible(IDC_2D_QR_GROUP));
    EXPECT_FALSE(page_.Visible(IDC_2D_GS1_GROUP));
    EXPECT_FALSE(page_.Enabled(IDC_2D_GS1_SEGMENTS_EDIT));
    EXPECT_EQ(page_.SelectedText(IDC_2D_QR_ERROR_COMBO), L"M");
    EXPECT_EQ(page_.Text(IDC_2D_DATA_EDIT), L"01234567890123");
    ASSERT_TRUE(page_.Choose(IDC_2D_QR_ERROR_COMBO, L"H"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 23], 2u);
    m450test::SavePageShot(sheet_->sheet(), L"barcode2d-qr");

    // The other font keeps its own record and shows PDF417 again.
    ASSERT_TRUE(page_.Choose(IDC_2D_FONT_COMBO, L"2D Code2"));
    EXPECT_EQ(page_.SelectedText(IDC_2D_TYPE_COMBO), L"PDF417");
    EXPECT_TRUE(page_.Visible(IDC_2D_PDF417_GROUP));
    EXPECT_TRUE(page_.Enabled(IDC_2D_PDF417_ROWS_EDIT));
    EXPECT_FALSE(page_.Visible(IDC_2D_QR_GROUP));
}

// After "Composite" (segment range 4..20), another font shows the segment number its record
// holds, not the narrower range's 4.
TEST_F(Barcode2DPage, AnotherFontAfterCompositeShowsItsStoredSegmentNumber) {
    ASSERT_TRUE(page_.Choose(IDC_2D_FONT_COMBO, L"2D Code2"));
    ASSERT_TRUE(page_.Choose(IDC_2D_TYPE_COMBO, L"GS1 DataBar Expanded Stacked"));
    ASSERT_TRUE(page_.Type(IDC_2D_GS1_SEGMENTS_EDIT, L"3"));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + kSecondRecordOffset + 17], 3u);
    ASSERT_TRUE(page_.Choose(IDC_2D_FONT_COMBO, L"2D Code1"));
    ASSERT_TRUE(page_.Choose(IDC_2D_TYPE_COMBO, L"GS1 DataBar Expanded Stacked"));
    ASSERT_TRUE(page_.Type(IDC_2D_GS1_SEGMENTS_EDIT, L"6"));
    ASSERT_TRUE(page_.Click(IDC_2D_GS1_COMPOSITE_RADIO));
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_RANGE), L"[ 4 . . 20 ]");

    ASSERT_TRUE(page_.Choose(IDC_2D_FONT_COMBO, L"2D Code2"));
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_EDIT), L"3");
    EXPECT_EQ(page_.SpinPosition(IDC_2D_GS1_SEGMENTS_SPIN), 3);
    EXPECT_EQ(page_.Text(IDC_2D_GS1_SEGMENTS_RANGE), L"[ 2 . . 20 ]");
    EXPECT_TRUE(page_.Checked(IDC_2D_GS1_INDEPENDENT_RADIO));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + kSecondRecordOffset + 17], 3u);

    // What is shown is what prints: the segment byte of the GS1 parameters is 03.
    printer_.ForgetLastJob();
    ASSERT_TRUE(page_.Type(IDC_2D_DATA_EDIT, L"0123"));
    ASSERT_TRUE(page_.Click(IDC_2D_PRINT_BUTTON));
    const auto job = printer_.LastJob();
    ASSERT_TRUE(job.has_value());
    ASSERT_GE(job->size(), 19u);
    const std::vector<uint8_t> setup(job->begin(), job->begin() + 19);
    const std::vector<uint8_t> expected = {
        0x1D, 0x66, 0x00,        // HRI font A
        0x1D, 0x48, 0x00,        // HRI not printed
        0x1D, 0x73, 0x07, 0x02,  // GS1 DataBar Expanded Stacked, element width 2
        0x64, 0x02, 0x02,        // row height 100, 2D row height 2, separator 2
        0x03, 0x01, 0x01,        // 3 segments per row, HRI content 1, AI mode 1
        0x1D, 0x6B, 0x0D,        // GS1 DataBar barcode
    };
    EXPECT_EQ(setup, expected);
}

// A record from an older driver: "2D Code1" PDF417 with an element width of 0 and 200 columns,
// "2D Code2" QR Code with an error correction no list offers.
class Barcode2DOlderRecord : public m450test::PageTest {};

TEST_F(Barcode2DOlderRecord, NumbersOutOfRangeAreShownKeptAndPrintedClampedAndAnUnknownLevelIsReported) {
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord([](m450::PlugInDevMode& dm) {
        dm.barcode2D[0].pdf417ElementWidth = 0;
        dm.barcode2D[0].pdf417Columns = 200;
        dm.barcode2D[1].barcodeType = 4;  // QR Code
        dm.barcode2D[1].qrErrorCorrection = 7;
    });
    m450test::SheetDriver sheet(SheetKind::Document, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    m450test::PageDriver page = sheet.ShowPage(L"2D Code");
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Text(IDC_2D_PDF417_WIDTH_EDIT), L"1");
    EXPECT_EQ(page.Text(IDC_2D_PDF417_COLUMNS_EDIT), L"30");
    EXPECT_EQ(sheet.RecordBytes()[kFirstRecord + 1], 1u);   // pdf417ElementWidth
    EXPECT_EQ(sheet.RecordBytes()[kFirstRecord + 3], 30u);  // pdf417Columns

    printer_.ForgetLastJob();
    ASSERT_TRUE(page.Click(IDC_2D_PRINT_BUTTON));
    const auto job = printer_.LastJob();
    ASSERT_TRUE(job.has_value());
    ASSERT_GE(job->size(), 14u);
    const std::vector<uint8_t> setup(job->begin(), job->begin() + 14);
    const std::vector<uint8_t> expected = {
        0x1D, 0x70, 0x01, 0x01, 0x03, 0x1E, 0x01, 0x03,  // rows 3, columns 30, width 1, height 3
        0x1D, 0x71, 0x05,                                // error correction level 5
        0x1D, 0x6B, 0x0A,                                // PDF417
    };
    EXPECT_EQ(setup, expected);

    ASSERT_TRUE(page.Choose(IDC_2D_FONT_COMBO, L"2D Code2"));
    EXPECT_EQ(page.SelectedText(IDC_2D_TYPE_COMBO), L"QR Code");
    EXPECT_EQ(page.Selection(IDC_2D_QR_ERROR_COMBO), -1);
    printer_.ForgetLastJob();
    DialogCatcher catcher;
    ASSERT_TRUE(page.Click(IDC_2D_PRINT_BUTTON));
    m450test::ExpectOneBox(catcher, L"Error", L"BarCode data error!", &printer_);
}

}  // namespace
