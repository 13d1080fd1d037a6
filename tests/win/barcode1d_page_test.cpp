// The 1D Code page in the document sheet opened through M450UI.dll: what a fresh record shows,
// typed numbers clamped into the record's bytes, the groups and the application identifier list
// following the font and the type, the test print reaching the printer's port byte for byte as
// the core's job builder makes it, the data error message, apply and the language reload.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>

#include <cstring>
#include <string>
#include <vector>

#include "barcode/barcode_jobs.h"
#include "barcode/font_height.h"
#include "core/text_store.h"
#include "m450tool/job_decode.h"
#include "barcode1d_page_ids.h"
#include "barcode_page_shots.h"
#include "harness.h"
#include "page_test.h"

namespace {

using m450host::SheetKind;
using m450test::DialogCatcher;
using enum m450test::ControlState;
using m450test::LanguageFolder;

constexpr size_t kFirstRecord = 596;  // Barcode1DSettings of "1D Code1"
constexpr size_t kRecordSize = 36;

std::wstring Wide(const std::u16string& text) {
    return std::wstring(text.begin(), text.end());
}

uint32_t ReadU32(std::span<const uint8_t> bytes, size_t offset) {
    return uint32_t{bytes[offset]} | (uint32_t{bytes[offset + 1]} << 8) | (uint32_t{bytes[offset + 2]} << 16) |
           (uint32_t{bytes[offset + 3]} << 24);
}

std::vector<uint8_t> JobBytes(const m450::Barcode1DSettings& settings, std::string_view data) {
    const std::vector<uint8_t> bytes(data.begin(), data.end());
    const m450::BarcodeJob job = m450::BuildBarcode1DJob(settings, bytes);
    std::vector<uint8_t> all;
    for (const auto& write : job.writes)
        all.insert(all.end(), write.begin(), write.end());
    return all;
}

class Barcode1DPage : public m450test::PageTest {
  protected:
    void SetUp() override {
        PageTest::SetUp();
        OpenPage(SheetKind::Document, L"1D Code");
    }
};

TEST_F(Barcode1DPage, FreshRecordShowsTheFirstFont) {
    EXPECT_EQ(page_.SelectedText(IDC_1D_FONT_COMBO), L"1D Code1");
    EXPECT_EQ(page_.Items(IDC_1D_FONT_COMBO).size(), 8u);
    EXPECT_EQ(page_.SelectedText(IDC_1D_TYPE_COMBO), L"UPC-A");
    EXPECT_EQ(page_.Items(IDC_1D_TYPE_COMBO).size(), 13u);
    EXPECT_EQ(page_.Text(IDC_1D_WIDTH_EDIT), L"3");
    EXPECT_EQ(page_.Text(IDC_1D_HEIGHT_EDIT), L"163");
    EXPECT_EQ(page_.SelectedText(IDC_1D_HRI_POSITION_COMBO), L"Not printed");
    EXPECT_TRUE(page_.Checked(IDC_1D_HRI_FONT_A_RADIO));
    EXPECT_FALSE(page_.Enabled(IDC_1D_HRI_FONT_A_RADIO));
    EXPECT_FALSE(page_.Enabled(IDC_1D_HRI_FONT_B_RADIO));
    EXPECT_EQ(page_.Text(IDC_1D_DATA_EDIT), L"123456789012");
    EXPECT_TRUE(page_.Enabled(IDC_1D_PRINT_BUTTON));
    EXPECT_EQ(page_.Text(IDC_1D_WIDTH_RANGE), L"[ 2. . 6 ]");
    EXPECT_EQ(page_.Text(IDC_1D_HEIGHT_RANGE), L"[ 1 . . 255 ]");
    // The stored, unsnapped default 163.
    const m450::FontHeightDisplay height = m450::FontHeightDisplayFor(163);
    EXPECT_EQ(page_.Text(IDC_1D_FONT_HEIGHT_MM_EDIT), Wide(height.millimetres));
    EXPECT_EQ(page_.Text(IDC_1D_FONT_HEIGHT_POINT_EDIT), Wide(height.points));
    EXPECT_TRUE(page_.Visible(IDC_1D_GENERAL_GROUP));
    EXPECT_FALSE(page_.Visible(IDC_1D_GS1_GROUP));
    EXPECT_FALSE(page_.Enabled(IDC_1D_GS1_AI_COMBO));
    m450test::SavePageShot(sheet_->sheet(), L"barcode1d-general");
}

TEST_F(Barcode1DPage, TypedNumbersAreClampedIntoTheRecordBytes) {
    const size_t record = kFirstRecord;
    ASSERT_TRUE(page_.Type(IDC_1D_HEIGHT_EDIT, L"0"));
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 4), 1u);
    EXPECT_EQ(page_.Text(IDC_1D_HEIGHT_EDIT), L"1");
    ASSERT_TRUE(page_.Type(IDC_1D_HEIGHT_EDIT, L"300"));
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 4), 255u);
    ASSERT_TRUE(page_.Type(IDC_1D_HEIGHT_EDIT, L"-5"));
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 4), 255u);
    EXPECT_EQ(page_.Text(IDC_1D_HEIGHT_EDIT), L"255");

    ASSERT_TRUE(page_.Type(IDC_1D_WIDTH_EDIT, L"1"));
    EXPECT_EQ(sheet_->RecordBytes()[record + 1], 2u);
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 12), 16u);  // scaledElementWidth
    ASSERT_TRUE(page_.Spin(IDC_1D_WIDTH_SPIN, 2));
    EXPECT_EQ(sheet_->RecordBytes()[record + 1], 4u);
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 12), 32u);
    EXPECT_TRUE(sheet_->ApplyEnabled());

    // Height 139 with the HRI below in Font A: 163 dots, stored as 162 and shown on apply.
    ASSERT_TRUE(page_.Type(IDC_1D_HEIGHT_EDIT, L"139"));
    ASSERT_TRUE(page_.Choose(IDC_1D_HRI_POSITION_COMBO, 2));
    EXPECT_TRUE(page_.Enabled(IDC_1D_HRI_FONT_A_RADIO));
    EXPECT_TRUE(page_.Enabled(IDC_1D_HRI_FONT_B_RADIO));
    EXPECT_EQ(sheet_->RecordBytes()[record + 8], 2u);
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 16), 162u);
    ASSERT_TRUE(page_.Click(IDC_1D_HRI_FONT_B_RADIO));
    EXPECT_EQ(sheet_->RecordBytes()[record + 9], 1u);
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + 16), m450::BarcodeFontHeight(139, 2, 1));

    sheet_->Apply();
    const m450::FontHeightDisplay shown = m450::FontHeightDisplayFor(m450::BarcodeFontHeight(139, 2, 1));
    EXPECT_EQ(page_.Text(IDC_1D_FONT_HEIGHT_MM_EDIT), Wide(shown.millimetres));
    EXPECT_EQ(page_.Text(IDC_1D_FONT_HEIGHT_POINT_EDIT), Wide(shown.points));
    EXPECT_FALSE(sheet_->ApplyEnabled());
    ASSERT_FALSE(sheet_->host().setResultCalls().empty());
    EXPECT_EQ(sheet_->host().setResultCalls().back().result, CPSUI_OK);

    // The second font's record is untouched.
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), record + kRecordSize + 4), 163u);
}

TEST_F(Barcode1DPage, Ean8PrintsWhatTheJobBuilderMakes) {
    ASSERT_TRUE(page_.Choose(IDC_1D_TYPE_COMBO, L"EAN8"));
    EXPECT_EQ(page_.Text(IDC_1D_DATA_EDIT), L"12345678");
    EXPECT_EQ(sheet_->DevMode().barcode1D[0].barcodeType, 2u);
    EXPECT_TRUE(sheet_->ApplyEnabled());

    printer_.ForgetLastJob();
    ASSERT_TRUE(page_.Click(IDC_1D_PRINT_BUTTON));
    const auto job = printer_.LastJob();
    ASSERT_TRUE(job.has_value());
    EXPECT_EQ(*job, JobBytes(sheet_->DevMode().barcode1D[0], "12345678"));
    ASSERT_GE(job->size(), 15u);
    EXPECT_EQ((*job)[13], 0x6B);
    EXPECT_EQ((*job)[14], 0x03);  // EAN8's symbology byte
    // What the printer was told, in words rather than in the core's bytes.
    const m450::JobDecoding decoding = m450::DecodeJob(*job);
    std::vector<std::string> words;
    for (const m450::DecodedLine& line : decoding.lines)
        words.push_back(line.words);
    EXPECT_EQ(words, (std::vector<std::string>{
                         "HRI font: Font A",
                         "HRI position: not printed",
                         "element width: 3 dots",
                         "bar height: 163 dots",
                         "print EAN8, 8 bytes: \"12345678\"",
                         "line feed",
                         "feed to the cut position (+0) and cut the paper",
                     }));
    EXPECT_EQ(m450::DecodingSummary(decoding), "29 bytes, 7 commands, 0 bytes not understood");

    // Seven digits print too.
    ASSERT_TRUE(page_.Type(IDC_1D_DATA_EDIT, L"1234567"));
    printer_.ForgetLastJob();
    ASSERT_TRUE(page_.Click(IDC_1D_PRINT_BUTTON));
    ASSERT_TRUE(printer_.LastJob().has_value());
    EXPECT_EQ(*printer_.LastJob(), JobBytes(sheet_->DevMode().barcode1D[0], "1234567"));
}

TEST_F(Barcode1DPage, InvalidDataShowsTheMessageAndSendsNothing) {
    ASSERT_TRUE(page_.Choose(IDC_1D_TYPE_COMBO, L"EAN8"));
    ASSERT_TRUE(page_.Type(IDC_1D_DATA_EDIT, L"123456789"));
    printer_.ForgetLastJob();
    DialogCatcher catcher;
    ASSERT_TRUE(page_.Click(IDC_1D_PRINT_BUTTON));
    m450test::ExpectOneBox(catcher, L"Error", L"BarCode data error!", &printer_);

    // An empty data field disables Print.
    ASSERT_TRUE(page_.Type(IDC_1D_DATA_EDIT, L""));
    EXPECT_FALSE(page_.Enabled(IDC_1D_PRINT_BUTTON));
    ASSERT_TRUE(page_.Type(IDC_1D_DATA_EDIT, L"1"));
    EXPECT_TRUE(page_.Enabled(IDC_1D_PRINT_BUTTON));
}

TEST_F(Barcode1DPage, GroupsAndTheIdentifierListFollowFontAndType) {
    ASSERT_TRUE(page_.Choose(IDC_1D_TYPE_COMBO, L"GS1 DataBar Omnidirectional"));
    ExpectControls(page_, {{IDC_1D_GS1_GROUP, Shown},
                           {IDC_1D_GS1_HRI_COMBO, Shown},
                           {IDC_1D_GENERAL_GROUP, Hidden},
                           {IDC_1D_HEIGHT_EDIT, Hidden},
                           {IDC_1D_GS1_AI_COMBO, Disabled}});
    EXPECT_EQ(page_.Text(IDC_1D_DATA_EDIT), L"01234567890123");
    EXPECT_EQ(page_.Text(IDC_1D_GS1_WIDTH_EDIT), L"2");
    EXPECT_EQ(page_.Text(IDC_1D_GS1_ROW_HEIGHT_EDIT), L"100");
    EXPECT_EQ(page_.SelectedText(IDC_1D_GS1_HRI_COMBO), L"Primary and Secondary Data");

    ASSERT_TRUE(page_.Choose(IDC_1D_TYPE_COMBO, L"GS1 DataBar Expanded"));
    EXPECT_TRUE(page_.Enabled(IDC_1D_GS1_AI_COMBO));
    // The second entry of the identifier list, as the language text of the slot reads.
    EXPECT_EQ(page_.SelectedText(IDC_1D_GS1_AI_COMBO),
              reinterpret_cast<const wchar_t*>(m450::Texts().Text(m450::TextId::CODE1D_RC_CMB_AI2)));
    EXPECT_FALSE(page_.Enabled(IDC_1D_GS1_2D_ROW_HEIGHT_EDIT));
    ASSERT_TRUE(page_.Click(IDC_1D_GS1_COMPOSITE_RADIO));
    EXPECT_TRUE(page_.Enabled(IDC_1D_GS1_2D_ROW_HEIGHT_EDIT));
    ASSERT_TRUE(page_.Type(IDC_1D_GS1_2D_ROW_HEIGHT_EDIT, L"0"));
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), kFirstRecord + 28), 1u);
    ASSERT_TRUE(page_.Type(IDC_1D_GS1_ROW_HEIGHT_EDIT, L"1"));
    EXPECT_EQ(ReadU32(sheet_->RecordBytes(), kFirstRecord + 24), 2u);
    ASSERT_TRUE(page_.Choose(IDC_1D_GS1_HRI_COMBO, 3));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 33], 4u);
    ASSERT_TRUE(page_.Choose(IDC_1D_GS1_AI_COMBO, 0));
    EXPECT_EQ(sheet_->RecordBytes()[kFirstRecord + 34], 0u);
    m450test::SavePageShot(sheet_->sheet(), L"barcode1d-gs1");

    printer_.ForgetLastJob();
    ASSERT_TRUE(page_.Click(IDC_1D_PRINT_BUTTON));
    ASSERT_TRUE(printer_.LastJob().has_value());
    EXPECT_EQ(*printer_.LastJob(), JobBytes(sheet_->DevMode().barcode1D[0], "01234567890123"));

    // A general font shows the general group at once, and its own record.
    ASSERT_TRUE(sheet_->ApplyEnabled());
    sheet_->Apply();
    ASSERT_TRUE(page_.Choose(IDC_1D_FONT_COMBO, L"1D Code2"));
    EXPECT_FALSE(sheet_->ApplyEnabled());  // choosing a font changes nothing
    ExpectControls(page_, {{IDC_1D_GENERAL_GROUP, Shown},
                           {IDC_1D_HEIGHT_EDIT, Shown},
                           {IDC_1D_GS1_GROUP, Hidden},
                           {IDC_1D_GS1_AI_COMBO, Hidden},
                           {IDC_1D_GS1_AI_COMBO, Disabled}});
    EXPECT_EQ(page_.SelectedText(IDC_1D_TYPE_COMBO), L"UPC-E");
    EXPECT_EQ(page_.Text(IDC_1D_DATA_EDIT), L"023456789012");

    ASSERT_TRUE(page_.Choose(IDC_1D_FONT_COMBO, L"1D Code1"));
    ExpectControls(page_, {{IDC_1D_GS1_GROUP, Shown},
                           {IDC_1D_GS1_AI_COMBO, Enabled},
                           {IDC_1D_GS1_INDEPENDENT_RADIO, Checked},
                           {IDC_1D_GS1_2D_ROW_HEIGHT_EDIT, Disabled}});
    EXPECT_EQ(page_.Text(IDC_1D_GS1_ROW_HEIGHT_EDIT), L"2");
    EXPECT_EQ(page_.SelectedText(IDC_1D_GS1_HRI_COMBO), L"None");
}

TEST_F(Barcode1DPage, RepaintReloadsTheTextsAndKeepsTheSelections) {
    ASSERT_TRUE(page_.Choose(IDC_1D_HRI_POSITION_COMBO, 3));
    const std::wstring englishLabel = page_.Text(IDC_1D_HRI_POSITION_LABEL);
    const std::wstring englishEntry = page_.SelectedText(IDC_1D_HRI_POSITION_COMBO);
    ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    EXPECT_NE(page_.Text(IDC_1D_HRI_POSITION_LABEL), englishLabel);
    EXPECT_EQ(page_.Selection(IDC_1D_HRI_POSITION_COMBO), 3);
    EXPECT_NE(page_.SelectedText(IDC_1D_HRI_POSITION_COMBO), englishEntry);
    EXPECT_EQ(page_.Items(IDC_1D_HRI_POSITION_COMBO).size(), 4u);
    EXPECT_EQ(page_.Items(IDC_1D_GS1_HRI_COMBO).size(), 4u);
    EXPECT_EQ(page_.Selection(IDC_1D_GS1_HRI_COMBO), 0);

    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    SendMessageW(page_.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(page_.Text(IDC_1D_HRI_POSITION_LABEL), englishLabel);
    EXPECT_EQ(page_.SelectedText(IDC_1D_HRI_POSITION_COMBO), englishEntry);
}

// A record from an older driver: "1D Code1" with an element width of 0 and a bar height of 400,
// "1D Code2" with a type no list offers. The page shows the clamped numbers, the record keeps
// them and the test print sends them; the unknown type's Print says so.
class Barcode1DOlderRecord : public m450test::PageTest {};

TEST_F(Barcode1DOlderRecord, NumbersOutOfRangeAreShownKeptAndPrintedClampedAndAnUnknownTypeIsReported) {
    m450test::SheetOptions options;
    options.storedRecord = m450test::EditedRecord([](m450::PlugInDevMode& dm) {
        dm.barcode1D[0].elementWidth = 0;
        dm.barcode1D[0].scaledElementWidth = 0;
        dm.barcode1D[0].elementHeight = 400;
        dm.barcode1D[1].barcodeType = 20;
    });
    m450test::SheetDriver sheet(SheetKind::Document, options);
    ASSERT_TRUE(sheet.ok()) << sheet.error();
    m450test::PageDriver page = sheet.ShowPage(L"1D Code");
    ASSERT_TRUE(page);
    EXPECT_EQ(page.Text(IDC_1D_WIDTH_EDIT), L"2");
    EXPECT_EQ(page.Text(IDC_1D_HEIGHT_EDIT), L"255");
    const std::span<const uint8_t> bytes = sheet.RecordBytes();
    EXPECT_EQ(bytes[kFirstRecord + 1], 2u);              // elementWidth
    EXPECT_EQ(ReadU32(bytes, kFirstRecord + 4), 255u);   // elementHeight
    EXPECT_EQ(ReadU32(bytes, kFirstRecord + 12), 16u);   // scaledElementWidth, 8 x 2
    EXPECT_EQ(ReadU32(bytes, kFirstRecord + 16), 255u);  // fontHeight: 255 dots, 102 points

    printer_.ForgetLastJob();
    ASSERT_TRUE(page.Click(IDC_1D_PRINT_BUTTON));
    const auto job = printer_.LastJob();
    ASSERT_TRUE(job.has_value());
    const std::vector<uint8_t> expected = {
        0x1D, 0x66, 0x00,  // HRI font A
        0x1D, 0x48, 0x00,  // HRI not printed
        0x1D, 0x77, 0x02,  // element width 2, as shown (not 00)
        0x1D, 0x68, 0xFF,  // bar height 255
        0x1D, 0x6B, 0x00,  // UPC-A
        '1',  '2',  '3',  '4',  '5',  '6', '7', '8', '9', '0', '1', '2',
        0x00,                          // end of data
        0x0A, 0x1D, 0x56, 0x42, 0x00,  // feed and cut
    };
    EXPECT_EQ(*job, expected);

    // "1D Code2": its type is in no list, so the list shows none and no sample is put in.
    ASSERT_TRUE(page.Choose(IDC_1D_FONT_COMBO, L"1D Code2"));
    EXPECT_EQ(page.Selection(IDC_1D_TYPE_COMBO), -1);
    ASSERT_TRUE(page.Type(IDC_1D_DATA_EDIT, L"123456789012"));
    printer_.ForgetLastJob();
    DialogCatcher catcher;
    ASSERT_TRUE(page.Click(IDC_1D_PRINT_BUTTON));
    m450test::ExpectOneBox(catcher, L"Error", L"BarCode data error!", &printer_);
    EXPECT_EQ(sheet.RecordBytes()[kFirstRecord + kRecordSize], 20u);  // the record is left as it was
}

}  // namespace
