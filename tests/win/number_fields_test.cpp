// Every number field of every page and dialog takes the widest value of its range, typed key by
// key and pasted, through the edit's own input handling: the field then reads the whole number,
// shows all of it, and the record or the paper form holds it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "barcode1d_page_ids.h"
#include "barcode2d_page_ids.h"
#include "event_dialog_ids.h"
#include "harness.h"
#include "layout_page_ids.h"
#include "operation_page_ids.h"
#include "page_test.h"
#include "utility_memory_page.h"
#include "utility_page_ids.h"
#include "watermark_page_ids.h"

namespace {

using m450::PlugInDevMode;
using m450host::SheetKind;
using m450test::DialogCatcher;
using m450test::PageDriver;

class NumberFields : public m450test::PageTest {};

// Types the widest value, then empties the field and pastes it: each time the field must read
// it whole and show all of it.
void EnterWidest(PageDriver& page, int edit, const std::wstring& widest) {
    ASSERT_TRUE(page.TypeKeys(edit, widest));
    EXPECT_EQ(page.Text(edit), widest) << "typed";
    EXPECT_TRUE(page.ShowsWhole(edit)) << "typed";
    ASSERT_TRUE(page.Type(edit, L""));
    ASSERT_TRUE(page.Paste(edit, widest));
    EXPECT_EQ(page.Text(edit), widest) << "pasted";
    EXPECT_TRUE(page.ShowsWhole(edit)) << "pasted";
}

struct DocumentField {
    const wchar_t* tab;
    void (*show)(PageDriver&);  // what a user does first to show or enable the field
    int edit;
    const wchar_t* widest;
    uint32_t (*stored)(const PlugInDevMode&);
};

void Nothing(PageDriver&) {}
void ZoomOn(PageDriver& page) {
    page.Click(IDC_LAYOUT_ZOOM_CHECK);
}
void TextWatermark(PageDriver& page) {
    page.Click(IDC_WATERMARK_TEXT_RADIO);
}
void Gs1Composite1D(PageDriver& page) {
    page.Choose(IDC_1D_TYPE_COMBO, L"GS1 DataBar Expanded");
    page.Click(IDC_1D_GS1_COMPOSITE_RADIO);
}
void Gs1Composite2D(PageDriver& page) {
    page.Choose(IDC_2D_TYPE_COMBO, L"GS1 DataBar Expanded Stacked");
    page.Click(IDC_2D_GS1_COMPOSITE_RADIO);
}
void QrCode(PageDriver& page) {
    page.Choose(IDC_2D_TYPE_COMBO, L"QR Code");
}

TEST_F(NumberFields, DocumentPagesTakeTheWidestValueOfEveryRange) {
    const DocumentField fields[] = {
        {L"Main", ZoomOn, IDC_LAYOUT_SCALE_EDIT, L"100",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.zoomPercent; }},
        {L"Water Mark", TextWatermark, IDC_WATERMARK_FONT_SIZE_EDIT, L"72",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.watermarkFontSize; }},
        {L"1D Code", Nothing, IDC_1D_WIDTH_EDIT, L"6",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].elementWidth; }},
        {L"1D Code", Nothing, IDC_1D_HEIGHT_EDIT, L"255",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].elementHeight; }},
        {L"1D Code", Gs1Composite1D, IDC_1D_GS1_WIDTH_EDIT, L"6",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].gs1ElementWidth; }},
        {L"1D Code", Gs1Composite1D, IDC_1D_GS1_ROW_HEIGHT_EDIT, L"250",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].gs1RowHeight; }},
        {L"1D Code", Gs1Composite1D, IDC_1D_GS1_2D_ROW_HEIGHT_EDIT, L"10",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].gs1CompositeRowHeight; }},
        {L"1D Code", Gs1Composite1D, IDC_1D_GS1_SEPARATOR_EDIT, L"10",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode1D[0].gs1SeparatorHeight; }},
        {L"2D Code", Nothing, IDC_2D_PDF417_COLUMNS_EDIT, L"30",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].pdf417Columns; }},
        {L"2D Code", Nothing, IDC_2D_PDF417_WIDTH_EDIT, L"7",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].pdf417ElementWidth; }},
        {L"2D Code", Nothing, IDC_2D_PDF417_ROWS_EDIT, L"90",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].pdf417Rows; }},
        {L"2D Code", Nothing, IDC_2D_PDF417_HEIGHT_EDIT, L"25",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].pdf417ElementHeight; }},
        {L"2D Code", Gs1Composite2D, IDC_2D_GS1_WIDTH_EDIT, L"6",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].gs1ElementWidth; }},
        {L"2D Code", Gs1Composite2D, IDC_2D_GS1_ROW_HEIGHT_EDIT, L"250",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].gs1RowHeight; }},
        {L"2D Code", Gs1Composite2D, IDC_2D_GS1_2D_ROW_HEIGHT_EDIT, L"10",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].gs1CompositeRowHeight; }},
        {L"2D Code", Gs1Composite2D, IDC_2D_GS1_SEPARATOR_EDIT, L"10",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].gs1SeparatorHeight; }},
        {L"2D Code", Gs1Composite2D, IDC_2D_GS1_SEGMENTS_EDIT, L"20",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].gs1SegmentsPerRow; }},
        {L"2D Code", QrCode, IDC_2D_QR_WIDTH_EDIT, L"24",
         [](const PlugInDevMode& dm) -> uint32_t { return dm.barcode2D[0].qrElementWidth; }},
    };
    for (const DocumentField& field : fields) {
        SCOPED_TRACE(testing::Message() << std::wstring(field.tab) << " field " << field.edit);
        OpenPage(SheetKind::Document, field.tab);
        DialogCatcher catcher;  // answers the information a watermark or zoom choice shows
        field.show(page_);
        EnterWidest(page_, field.edit, field.widest);
        EXPECT_EQ(field.stored(sheet_->DevMode()), static_cast<uint32_t>(std::stoul(field.widest)));
        sheet_.reset();
    }
}

TEST_F(NumberFields, EventDialogFeedTakes100) {
    OpenPage(SheetKind::Document, L"Operation");
    DialogCatcher catcher;
    catcher.Then([](HWND dialog) {
        PageDriver event(dialog);
        EnterWidest(event, IDC_EVENT_FEED_EDIT, L"100");
        return IDOK;
    });
    ASSERT_TRUE(page_.Click(IDC_OPERATION_START_DOC_BUTTON));
    ASSERT_EQ(catcher.caught().size(), 1u);
    EXPECT_EQ(sheet_->DevMode().events.startOfDocument.feedDistance, 100);
}

// The paper size goes to the printer's forms: the page runs on an in-memory form store, since
// Wine's own form calls keep nothing.
TEST_F(NumberFields, UtilityPaperSizeTakes800By32760) {
    m450test::UtilityMemoryPage utility;
    PageDriver page = utility.Open();
    ASSERT_TRUE(page);
    EnterWidest(page, IDC_UTILITY_WIDTH_EDIT, L"800");
    EnterWidest(page, IDC_UTILITY_HEIGHT_EDIT, L"32760");
    ASSERT_TRUE(page.Click(IDC_UTILITY_SAVE_BUTTON));
    EXPECT_EQ(page.Text(IDC_UTILITY_WIDTH_EDIT), L"800");
    EXPECT_EQ(page.Text(IDC_UTILITY_HEIGHT_EDIT), L"32760");
    const m450::PaperForm* saved = utility.Find(u"Custom Paper-M450");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->width, 80000);
    EXPECT_EQ(saved->height, 3276000);
}

}  // namespace
