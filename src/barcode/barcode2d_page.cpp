// The 2D Code page: the twin of the 1D Code page for the two 2D fonts. A switchboard between
// its controls and the record of the font selected in the font list; the barcode core decides.
//
// The template already stacks the PDF417, GS1 DataBar and QR groups in one place, so the page
// only shows the type's group and hides the others; nothing is moved at run time.
#include "barcode/barcode2d_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <array>

#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"
#include "barcode/barcode_page_rules.h"
#include "barcode/barcode_page_win.h"
#include "barcode2d_page_ids.h"
#include "core/hover_help_win.h"
#include "core/page_procedure_win.h"

namespace m450 {
namespace {

constexpr ControlText kLabels[] = {
    {IDC_2D_FONT_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_FONTNAME},
    {IDC_2D_TYPE_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_TYPE},
    {IDC_2D_POINT_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_POINT},
    {IDC_2D_NOTICE, TextId::CODE2D_RC_STATIC_2DCODE_NOTICE},
    {IDC_2D_PDF417_GROUP, TextId::CODE2D_RC_STATIC_2DCODE_PDF417},
    {IDC_2D_PDF417_COLUMNS_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_COLUMN},
    {IDC_2D_PDF417_WIDTH_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_ELEMENTWIDTH},
    {IDC_2D_PDF417_ROWS_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_ROW},
    {IDC_2D_PDF417_HEIGHT_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_ELEMENTHEIGHT},
    {IDC_2D_PDF417_ERROR_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR},
    {IDC_2D_GS1_GROUP, TextId::CODE2D_RC_STATIC_2DCODE_GSDATABAR},
    {IDC_2D_GS1_TYPE_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSTYPE},
    {IDC_2D_GS1_INDEPENDENT_RADIO, TextId::CODE2D_RC_RADIO_Independence},
    {IDC_2D_GS1_COMPOSITE_RADIO, TextId::CODE2D_RC_RADIO_Complex},
    {IDC_2D_GS1_WIDTH_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSEWIDTH},
    {IDC_2D_GS1_2D_ROW_HEIGHT_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GS2DRHEIGHT},
    {IDC_2D_GS1_ROW_HEIGHT_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSRHEIGHT},
    {IDC_2D_GS1_SEPARATOR_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSSHEIGHT},
    {IDC_2D_GS1_SEGMENTS_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSSNUMBER},
    {IDC_2D_GS1_HRI_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSHRI},
    {IDC_2D_GS1_AI_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_GSAAISTD},
    {IDC_2D_SAMPLE_GROUP, TextId::CODE2D_RC_STATIC_2DCODE_PRINT},
    {IDC_2D_DATA_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_DATA},
    {IDC_2D_PRINT_BUTTON, TextId::CODE2D_RC_BUTTON_PRINT2D},
    {IDC_2D_QR_GROUP, TextId::CODE2D_RC_STATIC_2DCODE_QR},
    {IDC_2D_QR_WIDTH_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_QREWIDTH},
    {IDC_2D_QR_LANGUAGE_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_QRLMODE},
    {IDC_2D_QR_MODEL_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_QRMODE},
    {IDC_2D_QR_ERROR_LABEL, TextId::CODE2D_RC_STATIC_2DCODE_QRECORRECTION},
};

constexpr TextId kErrorCorrectionTexts[] = {
    TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR1, TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR2,
    TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR3, TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR4,
    TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR5, TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR6,
    TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR7, TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR8,
    TextId::CODE2D_RC_STATIC_2DCODE_ERRORCOR9,
};
constexpr TextId kLanguageModeTexts[] = {TextId::CODE2D_RC_CMB_FONTMODE1, TextId::CODE2D_RC_CMB_FONTMODE2};
constexpr TextId kHriContentTexts[] = {
    TextId::CODE2D_RC_IDC_CMB_HRI21,
    TextId::CODE2D_RC_IDC_CMB_HRI22,
    TextId::CODE2D_RC_IDC_CMB_HRI23,
    TextId::CODE2D_RC_IDC_CMB_HRI24,
};
constexpr TextId kAiModeTexts[] = {TextId::CODE2D_RC_IDC_CMB_AI21, TextId::CODE2D_RC_IDC_CMB_AI22};

// The lists whose entries come from the language file and follow it at every repaint.
struct LanguageList {
    int control;
    std::span<const TextId> texts;
};
constexpr LanguageList kLanguageLists[] = {
    {IDC_2D_PDF417_ERROR_COMBO, kErrorCorrectionTexts},
    {IDC_2D_QR_LANGUAGE_COMBO, kLanguageModeTexts},
    {IDC_2D_GS1_HRI_COMBO, kHriContentTexts},
    {IDC_2D_GS1_AI_COMBO, kAiModeTexts},
};

struct NumberFieldControls {
    Barcode2DNumber number;
    NumberControls controls;
};

constexpr NumberFieldControls kNumberFields[kBarcode2DNumberCount] = {
    {Barcode2DNumber::kPdf417Columns,
     {IDC_2D_PDF417_COLUMNS_EDIT, IDC_2D_PDF417_COLUMNS_SPIN, IDC_2D_PDF417_COLUMNS_RANGE}},
    {Barcode2DNumber::kPdf417Rows, {IDC_2D_PDF417_ROWS_EDIT, IDC_2D_PDF417_ROWS_SPIN, IDC_2D_PDF417_ROWS_RANGE}},
    {Barcode2DNumber::kPdf417ElementWidth,
     {IDC_2D_PDF417_WIDTH_EDIT, IDC_2D_PDF417_WIDTH_SPIN, IDC_2D_PDF417_WIDTH_RANGE}},
    {Barcode2DNumber::kPdf417ElementHeight,
     {IDC_2D_PDF417_HEIGHT_EDIT, IDC_2D_PDF417_HEIGHT_SPIN, IDC_2D_PDF417_HEIGHT_RANGE}},
    {Barcode2DNumber::kGs1ElementWidth, {IDC_2D_GS1_WIDTH_EDIT, IDC_2D_GS1_WIDTH_SPIN, IDC_2D_GS1_WIDTH_RANGE}},
    {Barcode2DNumber::kGs1RowHeight,
     {IDC_2D_GS1_ROW_HEIGHT_EDIT, IDC_2D_GS1_ROW_HEIGHT_SPIN, IDC_2D_GS1_ROW_HEIGHT_RANGE}},
    {Barcode2DNumber::kGs1CompositeRowHeight,
     {IDC_2D_GS1_2D_ROW_HEIGHT_EDIT, IDC_2D_GS1_2D_ROW_HEIGHT_SPIN, IDC_2D_GS1_2D_ROW_HEIGHT_RANGE}},
    {Barcode2DNumber::kGs1SeparatorHeight,
     {IDC_2D_GS1_SEPARATOR_EDIT, IDC_2D_GS1_SEPARATOR_SPIN, IDC_2D_GS1_SEPARATOR_RANGE}},
    {Barcode2DNumber::kGs1SegmentsPerRow,
     {IDC_2D_GS1_SEGMENTS_EDIT, IDC_2D_GS1_SEGMENTS_SPIN, IDC_2D_GS1_SEGMENTS_RANGE}},
    {Barcode2DNumber::kQrElementWidth, {IDC_2D_QR_WIDTH_EDIT, IDC_2D_QR_WIDTH_SPIN, IDC_2D_QR_WIDTH_RANGE}},
};

struct ChoiceControl {
    int control;
    Barcode2DChoice choice;
};
constexpr ChoiceControl kChoiceLists[] = {
    {IDC_2D_TYPE_COMBO, Barcode2DChoice::kType},
    {IDC_2D_PDF417_ERROR_COMBO, Barcode2DChoice::kPdf417ErrorCorrection},
    {IDC_2D_GS1_HRI_COMBO, Barcode2DChoice::kGs1HriContent},
    {IDC_2D_GS1_AI_COMBO, Barcode2DChoice::kGs1AiMode},
    {IDC_2D_QR_LANGUAGE_COMBO, Barcode2DChoice::kQrLanguageMode},
    {IDC_2D_QR_MODEL_COMBO, Barcode2DChoice::kQrModel},
    {IDC_2D_QR_ERROR_COMBO, Barcode2DChoice::kQrErrorCorrection},
};

constexpr int kPdf417Group[] = {
    IDC_2D_PDF417_GROUP,         IDC_2D_PDF417_COLUMNS_LABEL, IDC_2D_PDF417_COLUMNS_EDIT, IDC_2D_PDF417_COLUMNS_SPIN,
    IDC_2D_PDF417_COLUMNS_RANGE, IDC_2D_PDF417_WIDTH_LABEL,   IDC_2D_PDF417_WIDTH_EDIT,   IDC_2D_PDF417_WIDTH_SPIN,
    IDC_2D_PDF417_WIDTH_RANGE,   IDC_2D_PDF417_ROWS_LABEL,    IDC_2D_PDF417_ROWS_EDIT,    IDC_2D_PDF417_ROWS_SPIN,
    IDC_2D_PDF417_ROWS_RANGE,    IDC_2D_PDF417_HEIGHT_LABEL,  IDC_2D_PDF417_HEIGHT_EDIT,  IDC_2D_PDF417_HEIGHT_SPIN,
    IDC_2D_PDF417_HEIGHT_RANGE,  IDC_2D_PDF417_ERROR_LABEL,   IDC_2D_PDF417_ERROR_COMBO,
};
constexpr int kGs1Group[] = {
    IDC_2D_GS1_GROUP,
    IDC_2D_GS1_TYPE_LABEL,
    IDC_2D_GS1_INDEPENDENT_RADIO,
    IDC_2D_GS1_COMPOSITE_RADIO,
    IDC_2D_GS1_WIDTH_LABEL,
    IDC_2D_GS1_WIDTH_EDIT,
    IDC_2D_GS1_WIDTH_SPIN,
    IDC_2D_GS1_WIDTH_RANGE,
    IDC_2D_GS1_2D_ROW_HEIGHT_LABEL,
    IDC_2D_GS1_2D_ROW_HEIGHT_EDIT,
    IDC_2D_GS1_2D_ROW_HEIGHT_SPIN,
    IDC_2D_GS1_2D_ROW_HEIGHT_RANGE,
    IDC_2D_GS1_ROW_HEIGHT_LABEL,
    IDC_2D_GS1_ROW_HEIGHT_EDIT,
    IDC_2D_GS1_ROW_HEIGHT_SPIN,
    IDC_2D_GS1_ROW_HEIGHT_RANGE,
    IDC_2D_GS1_SEPARATOR_LABEL,
    IDC_2D_GS1_SEPARATOR_EDIT,
    IDC_2D_GS1_SEPARATOR_SPIN,
    IDC_2D_GS1_SEPARATOR_RANGE,
    IDC_2D_GS1_SEGMENTS_LABEL,
    IDC_2D_GS1_SEGMENTS_EDIT,
    IDC_2D_GS1_SEGMENTS_SPIN,
    IDC_2D_GS1_SEGMENTS_RANGE,
    IDC_2D_GS1_HRI_LABEL,
    IDC_2D_GS1_HRI_COMBO,
    IDC_2D_GS1_AI_LABEL,
    IDC_2D_GS1_AI_COMBO,
};
constexpr int kQrGroup[] = {
    IDC_2D_QR_GROUP,       IDC_2D_QR_WIDTH_LABEL,    IDC_2D_QR_WIDTH_EDIT,     IDC_2D_QR_WIDTH_SPIN,
    IDC_2D_QR_WIDTH_RANGE, IDC_2D_QR_LANGUAGE_LABEL, IDC_2D_QR_LANGUAGE_COMBO, IDC_2D_QR_MODEL_LABEL,
    IDC_2D_QR_MODEL_COMBO, IDC_2D_QR_ERROR_LABEL,    IDC_2D_QR_ERROR_COMBO,
};

constexpr int kPdf417Enabled[] = {
    IDC_2D_PDF417_COLUMNS_EDIT, IDC_2D_PDF417_COLUMNS_SPIN, IDC_2D_PDF417_WIDTH_EDIT,
    IDC_2D_PDF417_WIDTH_SPIN,   IDC_2D_PDF417_ROWS_EDIT,    IDC_2D_PDF417_ROWS_SPIN,
    IDC_2D_PDF417_HEIGHT_EDIT,  IDC_2D_PDF417_HEIGHT_SPIN,  IDC_2D_PDF417_ERROR_COMBO,
};
constexpr int kSegmentsEnabled[] = {IDC_2D_GS1_SEGMENTS_EDIT, IDC_2D_GS1_SEGMENTS_SPIN};
constexpr int kAiModeEnabled[] = {IDC_2D_GS1_AI_COMBO};
constexpr int kCompositeRowHeight[] = {IDC_2D_GS1_2D_ROW_HEIGHT_EDIT, IDC_2D_GS1_2D_ROW_HEIGHT_SPIN};

Barcode2DSettings* SelectedFont(HWND page) {
    return SelectedFontEntry(page, IDC_2D_FONT_COMBO, &PlugInDevMode::barcode2D);
}

// The lists whose entries are texts of the language.
void FillLanguageLists(HWND page) {
    for (const LanguageList& list : kLanguageLists)
        FillList(page, list.control, list.texts);
}

void ShowGroupFor(HWND page, unsigned barcodeType) {
    const Barcode2DGroup shown = Barcode2DGroupFor(barcodeType);
    const std::pair<Barcode2DGroup, std::span<const int>> groups[] = {
        {Barcode2DGroup::kPdf417, kPdf417Group},
        {Barcode2DGroup::kGs1DataBar, kGs1Group},
        {Barcode2DGroup::kQrCode, kQrGroup},
    };
    for (const auto& [group, controls] : groups)
        if (group != shown)
            ShowControls(page, controls, false);
    for (const auto& [group, controls] : groups)
        if (group == shown)
            ShowControls(page, controls, true);
}

void ShowEnabledFor(HWND page, unsigned barcodeType) {
    const Barcode2DEnabled enabled = Barcode2DEnabledFor(barcodeType);
    EnableControls(page, kPdf417Enabled, enabled.pdf417Fields);
    EnableControls(page, kSegmentsEnabled, enabled.gs1Segments);
    EnableControls(page, kAiModeEnabled, enabled.gs1AiMode);
}

// "Independence" or "Composite": the 2D row height field and the segment number's range.
void ShowComposite(HWND page, bool composite) {
    CheckRadioButton(page, IDC_2D_GS1_INDEPENDENT_RADIO, IDC_2D_GS1_COMPOSITE_RADIO,
                     composite ? IDC_2D_GS1_COMPOSITE_RADIO : IDC_2D_GS1_INDEPENDENT_RADIO);
    const Gs1CompositeView view = Gs1CompositeViewFor(composite);
    EnableControls(page, kCompositeRowHeight, view.compositeRowHeightEnabled);
    const BarcodeNumberField& segments = Barcode2DNumberField(Barcode2DNumber::kGs1SegmentsPerRow);
    SendDlgItemMessageW(page, IDC_2D_GS1_SEGMENTS_EDIT, EM_LIMITTEXT, segments.textLimit, 0);
    SetSpinRange(page, IDC_2D_GS1_SEGMENTS_SPIN, view.segmentsLeast, view.segmentsGreatest);
    SetControlText(page, IDC_2D_GS1_SEGMENTS_RANGE, view.segmentsRangeLabel);
    if (!composite)
        return;
    // The field's own handler stores the raised number.
    if (const auto raised = SegmentsForComposite(TypedNumber(page, IDC_2D_GS1_SEGMENTS_EDIT)))
        SetDlgItemInt(page, IDC_2D_GS1_SEGMENTS_EDIT, *raised, FALSE);
}

void ShowTypeState(HWND page, unsigned barcodeType) {
    ShowEnabledFor(page, barcodeType);
    SetControlText(page, IDC_2D_DATA_EDIT, Barcode2DSampleText());
}

void LoadFont(HWND page) {
    Barcode2DSettings* settings = SelectedFont(page);
    if (settings == nullptr)
        return;
    // Independence first: its segment range is the record's, so the number set below is shown
    // as stored (under Composite's narrower range 2 or 3 would show as 4).
    ShowComposite(page, false);
    {
        const FieldWriteScope writing(page);
        for (const ChoiceControl& list : kChoiceLists)
            SelectListEntry(page, list.control, Barcode2DChoiceSelection(*settings, list.choice));
    }
    ShowStoredNumbers(page, *settings, kNumberFields, KeepBarcode2DNumberInRange);
    ShowGroupFor(page, settings->barcodeType);
    ShowTypeState(page, settings->barcodeType);
}

INT_PTR Start(HWND page, NoPageState&, LPARAM) {
    FillLanguageLists(page);
    FillList(page, IDC_2D_FONT_COMBO, kBarcode2DFontNames);
    FillTypeList(page, IDC_2D_TYPE_COMBO, kBarcode2DTypes);
    FillList(page, IDC_2D_QR_MODEL_COMBO, kQrModelTexts);
    FillList(page, IDC_2D_QR_ERROR_COMBO, kQrErrorCorrectionTexts);
    SetControlText(page, IDC_2D_FONT_SIZE_EDIT, kBarcode2DFontSizeText);
    for (const NumberFieldControls& field : kNumberFields)
        PrepareNumberField(page, field.controls, Barcode2DNumberField(field.number));
    SelectListEntry(page, IDC_2D_FONT_COMBO, 0);
    LoadFont(page);
    AttachHoverHelp(page, IDD_BARCODE2D_PAGE);
    return TRUE;
}

INT_PTR Repaint(HWND page, NoPageState&) {
    FillLanguageLists(page);
    return FALSE;
}

void OnNumberChanged(HWND page, const NumberFieldControls& field) {
    StoreTypedNumber(page, SelectedFont(page), field.number, field.controls, StoreBarcode2DNumber);
}

void OnChoice(HWND page, Barcode2DChoice choice, int selection) {
    Barcode2DSettings* settings = SelectedFont(page);
    if (settings == nullptr || !StoreBarcode2DChoice(*settings, choice, selection))
        return;
    if (choice == Barcode2DChoice::kType) {
        ShowEnabledFor(page, settings->barcodeType);
        ShowGroupFor(page, settings->barcodeType);
    }
    MarkChanged(page);
    if (choice == Barcode2DChoice::kType)
        SetControlText(page, IDC_2D_DATA_EDIT, Barcode2DSampleText());
}

INT_PTR PrintTestData(HWND page) {
    return PrintBarcodeTestData(page, SelectedFont(page), IDC_2D_DATA_EDIT, TextId::MSG_MB_2DCODE_ERROR1,
                                SendBarcode2DTestPrint);
}

INT_PTR OnCommand(HWND page, NoPageState&, WORD control, WORD code) {
    for (const NumberFieldControls& field : kNumberFields) {
        if (control == field.controls.edit) {
            if (code == EN_CHANGE)
                OnNumberChanged(page, field);
            return TRUE;
        }
    }
    for (const ChoiceControl& list : kChoiceLists) {
        if (control == list.control) {
            if (code == CBN_SELCHANGE)
                OnChoice(page, list.choice, ListSelection(page, control));
            return TRUE;
        }
    }
    switch (control) {
        case IDC_2D_FONT_COMBO:
            if (code == CBN_SELCHANGE)
                LoadFont(page);
            return TRUE;
        case IDC_2D_GS1_INDEPENDENT_RADIO:
        case IDC_2D_GS1_COMPOSITE_RADIO:
            if (code == BN_CLICKED) {
                ShowComposite(page, control == IDC_2D_GS1_COMPOSITE_RADIO);
                MarkChanged(page);
            }
            return TRUE;
        case IDC_2D_DATA_EDIT:
            if (code == EN_CHANGE)
                EnableControl(page, IDC_2D_PRINT_BUTTON, HasText(page, IDC_2D_DATA_EDIT));
            return TRUE;
        case IDC_2D_PRINT_BUTTON:
            return code == BN_CLICKED ? PrintTestData(page) : TRUE;
        default:
            return FALSE;
    }
}

constexpr PageParts<NoPageState> kParts = {
    .host = PageHost::DocumentSheet,
    .section = kCode2DSection,
    .texts = kLabels,
    .start = Start,
    .command = OnCommand,
    .paint = Repaint,
};

}  // namespace

INT_PTR CALLBACK Barcode2DPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
