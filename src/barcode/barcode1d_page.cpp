// The 1D Code page: a switchboard between its controls and the record of the font selected
// in the font list. Every edit goes straight into that record; the rules (clamps, font
// height, visible group, test-print bytes) are the barcode core's.
//
// The template already stacks the GS1 DataBar group on the General Bar Code group, so the page
// only shows one and hides the other; nothing is moved at run time.
#include "barcode/barcode1d_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <array>

#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"
#include "barcode/barcode_page_rules.h"
#include "barcode/barcode_page_win.h"
#include "barcode/font_height.h"
#include "barcode1d_page_ids.h"
#include "core/hover_help_win.h"
#include "core/page_procedure_win.h"

namespace m450 {
namespace {

constexpr ControlText kLabels[] = {
    {IDC_1D_FONT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_FONTNAME},
    {IDC_1D_TYPE_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_TYPE},
    {IDC_1D_WIDTH_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_WIDTH},
    {IDC_1D_HEIGHT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_HEIGHT},
    {IDC_1D_POINT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_POINT},
    {IDC_1D_NOTICE, TextId::CODE1D_RC_STATIC_1DCODE_NOTICE},
    {IDC_1D_HRI_POSITION_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_POSITION},
    {IDC_1D_HRI_FONT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_HRIFONT},
    {IDC_1D_GENERAL_GROUP, TextId::CODE1D_RC_STATIC_GENERALBARCODE},
    {IDC_1D_GS1_GROUP, TextId::CODE1D_RC_STATIC_1DCODE_GSDATABAR},
    {IDC_1D_GS1_TYPE_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_GSTYPE},
    {IDC_1D_GS1_INDEPENDENT_RADIO, TextId::CODE1D_RC_RADIO_Independence1},
    {IDC_1D_GS1_COMPOSITE_RADIO, TextId::CODE1D_RC_RADIO_Complex1},
    {IDC_1D_GS1_WIDTH_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_GSEWIDTH},
    {IDC_1D_GS1_ROW_HEIGHT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_GSRHEIGHT},
    {IDC_1D_GS1_2D_ROW_HEIGHT_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_GS2DRHEIGHT},
    {IDC_1D_GS1_SEPARATOR_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_GSSHEIGHT},
    {IDC_1D_GS1_HRI_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_HRI},
    {IDC_1D_GS1_AI_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_AAISTD},
    {IDC_1D_SAMPLE_GROUP, TextId::CODE1D_RC_STATIC_1DCODE_PRINT},
    {IDC_1D_DATA_LABEL, TextId::CODE1D_RC_STATIC_1DCODE_DATA},
    {IDC_1D_PRINT_BUTTON, TextId::CODE1D_RC_BUTTON_PRINT},
};

constexpr TextId kHriPositionTexts[] = {
    TextId::CODE1D_RC_STATIC_1DCODE_POSITION1,
    TextId::CODE1D_RC_STATIC_1DCODE_POSITION2,
    TextId::CODE1D_RC_STATIC_1DCODE_POSITION3,
    TextId::CODE1D_RC_STATIC_1DCODE_POSITION4,
};
constexpr TextId kHriContentTexts[] = {
    TextId::CODE1D_RC_CMB_HRI1,
    TextId::CODE1D_RC_CMB_HRI2,
    TextId::CODE1D_RC_CMB_HRI3,
    TextId::CODE1D_RC_CMB_HRI4,
};
constexpr TextId kAiModeTexts[] = {TextId::CODE1D_RC_CMB_AI1, TextId::CODE1D_RC_CMB_AI2};

struct NumberFieldControls {
    Barcode1DNumber number;
    NumberControls controls;
};

constexpr NumberFieldControls kNumberFields[kBarcode1DNumberCount] = {
    {Barcode1DNumber::kElementWidth, {IDC_1D_WIDTH_EDIT, IDC_1D_WIDTH_SPIN, IDC_1D_WIDTH_RANGE}},
    {Barcode1DNumber::kElementHeight, {IDC_1D_HEIGHT_EDIT, IDC_1D_HEIGHT_SPIN, IDC_1D_HEIGHT_RANGE}},
    {Barcode1DNumber::kGs1ElementWidth, {IDC_1D_GS1_WIDTH_EDIT, IDC_1D_GS1_WIDTH_SPIN, IDC_1D_GS1_WIDTH_RANGE}},
    {Barcode1DNumber::kGs1RowHeight,
     {IDC_1D_GS1_ROW_HEIGHT_EDIT, IDC_1D_GS1_ROW_HEIGHT_SPIN, IDC_1D_GS1_ROW_HEIGHT_RANGE}},
    {Barcode1DNumber::kGs1CompositeRowHeight,
     {IDC_1D_GS1_2D_ROW_HEIGHT_EDIT, IDC_1D_GS1_2D_ROW_HEIGHT_SPIN, IDC_1D_GS1_2D_ROW_HEIGHT_RANGE}},
    {Barcode1DNumber::kGs1SeparatorHeight,
     {IDC_1D_GS1_SEPARATOR_EDIT, IDC_1D_GS1_SEPARATOR_SPIN, IDC_1D_GS1_SEPARATOR_RANGE}},
};

// The lists whose entries come from the language file and follow it at every repaint.
struct LanguageList {
    int control;
    std::span<const TextId> texts;
};
constexpr LanguageList kLanguageLists[] = {
    {IDC_1D_HRI_POSITION_COMBO, kHriPositionTexts},
    {IDC_1D_GS1_HRI_COMBO, kHriContentTexts},
    {IDC_1D_GS1_AI_COMBO, kAiModeTexts},
};

struct ChoiceControl {
    int control;
    Barcode1DChoice choice;
};
constexpr ChoiceControl kChoiceLists[] = {
    {IDC_1D_TYPE_COMBO, Barcode1DChoice::kType},
    {IDC_1D_HRI_POSITION_COMBO, Barcode1DChoice::kHriPosition},
    {IDC_1D_GS1_HRI_COMBO, Barcode1DChoice::kGs1HriContent},
    {IDC_1D_GS1_AI_COMBO, Barcode1DChoice::kGs1AiMode},
};

constexpr int kGeneralGroup[] = {
    IDC_1D_GENERAL_GROUP,    IDC_1D_WIDTH_LABEL,         IDC_1D_WIDTH_EDIT,         IDC_1D_WIDTH_SPIN,
    IDC_1D_WIDTH_RANGE,      IDC_1D_HEIGHT_LABEL,        IDC_1D_HEIGHT_EDIT,        IDC_1D_HEIGHT_SPIN,
    IDC_1D_HEIGHT_RANGE,     IDC_1D_FONT_HEIGHT_MM_EDIT, IDC_1D_MM_LABEL,           IDC_1D_FONT_HEIGHT_POINT_EDIT,
    IDC_1D_POINT_LABEL,      IDC_1D_HRI_POSITION_LABEL,  IDC_1D_HRI_POSITION_COMBO, IDC_1D_HRI_FONT_LABEL,
    IDC_1D_HRI_FONT_A_RADIO, IDC_1D_HRI_FONT_B_RADIO,
};

constexpr int kGs1Group[] = {
    IDC_1D_GS1_GROUP,
    IDC_1D_GS1_TYPE_LABEL,
    IDC_1D_GS1_INDEPENDENT_RADIO,
    IDC_1D_GS1_COMPOSITE_RADIO,
    IDC_1D_GS1_WIDTH_LABEL,
    IDC_1D_GS1_WIDTH_EDIT,
    IDC_1D_GS1_WIDTH_SPIN,
    IDC_1D_GS1_WIDTH_RANGE,
    IDC_1D_GS1_ROW_HEIGHT_LABEL,
    IDC_1D_GS1_ROW_HEIGHT_EDIT,
    IDC_1D_GS1_ROW_HEIGHT_SPIN,
    IDC_1D_GS1_ROW_HEIGHT_RANGE,
    IDC_1D_GS1_2D_ROW_HEIGHT_LABEL,
    IDC_1D_GS1_2D_ROW_HEIGHT_EDIT,
    IDC_1D_GS1_2D_ROW_HEIGHT_SPIN,
    IDC_1D_GS1_2D_ROW_HEIGHT_RANGE,
    IDC_1D_GS1_SEPARATOR_LABEL,
    IDC_1D_GS1_SEPARATOR_EDIT,
    IDC_1D_GS1_SEPARATOR_SPIN,
    IDC_1D_GS1_SEPARATOR_RANGE,
    IDC_1D_GS1_HRI_LABEL,
    IDC_1D_GS1_HRI_COMBO,
    IDC_1D_GS1_AI_LABEL,
    IDC_1D_GS1_AI_COMBO,
};

constexpr int kHriFontRadios[] = {IDC_1D_HRI_FONT_A_RADIO, IDC_1D_HRI_FONT_B_RADIO};
constexpr int kCompositeRowHeight[] = {IDC_1D_GS1_2D_ROW_HEIGHT_EDIT, IDC_1D_GS1_2D_ROW_HEIGHT_SPIN};
constexpr int kAiMode[] = {IDC_1D_GS1_AI_COMBO};

Barcode1DSettings* SelectedFont(HWND page) {
    return SelectedFontEntry(page, IDC_1D_FONT_COMBO, &PlugInDevMode::barcode1D);
}

// The lists whose entries are texts of the language.
void FillLanguageLists(HWND page) {
    for (const LanguageList& list : kLanguageLists)
        FillList(page, list.control, list.texts);
}

void ShowGroupFor(HWND page, unsigned barcodeType) {
    const bool gs1 = Barcode1DGroupFor(barcodeType) == Barcode1DGroup::kGs1DataBar;
    ShowControls(page, gs1 ? std::span<const int>(kGeneralGroup) : std::span<const int>(kGs1Group), false);
    ShowControls(page, gs1 ? std::span<const int>(kGs1Group) : std::span<const int>(kGeneralGroup), true);
}

void ShowComposite(HWND page, bool composite) {
    CheckRadioButton(page, IDC_1D_GS1_INDEPENDENT_RADIO, IDC_1D_GS1_COMPOSITE_RADIO,
                     composite ? IDC_1D_GS1_COMPOSITE_RADIO : IDC_1D_GS1_INDEPENDENT_RADIO);
    EnableControls(page, kCompositeRowHeight, Gs1CompositeViewFor(composite).compositeRowHeightEnabled);
}

void ShowHriFont(HWND page, const Barcode1DSettings& settings) {
    EnableControls(page, kHriFontRadios, HriFontEnabled(settings.hriPosition));
    CheckRadioButton(page, IDC_1D_HRI_FONT_A_RADIO, IDC_1D_HRI_FONT_B_RADIO,
                     settings.hriFont == 0 ? IDC_1D_HRI_FONT_A_RADIO : IDC_1D_HRI_FONT_B_RADIO);
}

void ShowFontHeight(HWND page, const Barcode1DSettings& settings) {
    const FontHeightDisplay display = FontHeightDisplayFor(settings.fontHeight);
    SetControlText(page, IDC_1D_FONT_HEIGHT_MM_EDIT, display.millimetres);
    SetControlText(page, IDC_1D_FONT_HEIGHT_POINT_EDIT, display.points);
}

// What the type decides: the application identifier list and the data field's sample.
void ShowTypeState(HWND page, unsigned barcodeType) {
    EnableControls(page, kAiMode, Barcode1DAiModeEnabled(barcodeType));
    SetControlText(page, IDC_1D_DATA_EDIT, Barcode1DSampleText(barcodeType));
}

// The selected font's record on the controls, with its group, its font height and its sample.
void LoadFont(HWND page) {
    Barcode1DSettings* settings = SelectedFont(page);
    if (settings == nullptr)
        return;
    {
        const FieldWriteScope writing(page);
        for (const ChoiceControl& list : kChoiceLists)
            SelectListEntry(page, list.control, Barcode1DChoiceSelection(*settings, list.choice));
    }
    ShowStoredNumbers(page, *settings, kNumberFields, KeepBarcode1DNumberInRange);
    ShowHriFont(page, *settings);
    ShowGroupFor(page, settings->barcodeType);
    if (Barcode1DGroupFor(settings->barcodeType) == Barcode1DGroup::kGs1DataBar)
        ShowComposite(page, false);
    ShowFontHeight(page, *settings);
    ShowTypeState(page, settings->barcodeType);
}

INT_PTR Start(HWND page, NoPageState&, LPARAM) {
    FillLanguageLists(page);
    FillList(page, IDC_1D_FONT_COMBO, kBarcode1DFontNames);
    FillTypeList(page, IDC_1D_TYPE_COMBO, kBarcode1DTypes);
    SelectListEntry(page, IDC_1D_FONT_COMBO, 0);
    for (const NumberFieldControls& field : kNumberFields)
        PrepareNumberField(page, field.controls, Barcode1DNumberField(field.number));
    for (const LanguageList& list : kLanguageLists)
        SelectListEntry(page, list.control, 0);
    ShowComposite(page, false);
    LoadFont(page);
    AttachHoverHelp(page, IDD_BARCODE1D_PAGE);
    return TRUE;
}

INT_PTR Repaint(HWND page, NoPageState&) {
    FillLanguageLists(page);
    return FALSE;
}

void OnNumberChanged(HWND page, const NumberFieldControls& field) {
    StoreTypedNumber(page, SelectedFont(page), field.number, field.controls, StoreBarcode1DNumber);
}

void OnChoice(HWND page, Barcode1DChoice choice, int selection) {
    Barcode1DSettings* settings = SelectedFont(page);
    if (settings == nullptr || !StoreBarcode1DChoice(*settings, choice, selection))
        return;
    if (choice == Barcode1DChoice::kHriPosition)
        EnableControls(page, kHriFontRadios, HriFontEnabled(settings->hriPosition));
    MarkChanged(page);
}

void OnTypeChosen(HWND page) {
    const int type = ListSelection(page, IDC_1D_TYPE_COMBO);
    Barcode1DSettings* settings = SelectedFont(page);
    if (settings == nullptr || !StoreBarcode1DChoice(*settings, Barcode1DChoice::kType, type))
        return;
    ShowGroupFor(page, settings->barcodeType);
    MarkChanged(page);
    ShowTypeState(page, settings->barcodeType);
}

INT_PTR PrintTestData(HWND page) {
    return PrintBarcodeTestData(page, SelectedFont(page), IDC_1D_DATA_EDIT, TextId::MSG_MB_1DCODE_ERROR1,
                                SendBarcode1DTestPrint);
}

INT_PTR OnCommand(HWND page, NoPageState&, WORD control, WORD code) {
    for (const NumberFieldControls& field : kNumberFields) {
        if (control == field.controls.edit) {
            if (code == EN_CHANGE)
                OnNumberChanged(page, field);
            return TRUE;
        }
    }
    switch (control) {
        case IDC_1D_FONT_COMBO:
            if (code == CBN_SELCHANGE)
                LoadFont(page);
            return TRUE;
        case IDC_1D_TYPE_COMBO:
            if (code == CBN_SELCHANGE)
                OnTypeChosen(page);
            return TRUE;
        case IDC_1D_HRI_POSITION_COMBO:
        case IDC_1D_GS1_HRI_COMBO:
        case IDC_1D_GS1_AI_COMBO:
            if (code == CBN_SELCHANGE) {
                for (const ChoiceControl& list : kChoiceLists)
                    if (list.control == control)
                        OnChoice(page, list.choice, ListSelection(page, control));
            }
            return TRUE;
        case IDC_1D_HRI_FONT_A_RADIO:
        case IDC_1D_HRI_FONT_B_RADIO:
            if (code == BN_CLICKED)
                OnChoice(page, Barcode1DChoice::kHriFont, control == IDC_1D_HRI_FONT_A_RADIO ? 0 : 1);
            return TRUE;
        case IDC_1D_GS1_INDEPENDENT_RADIO:
        case IDC_1D_GS1_COMPOSITE_RADIO:
            if (code == BN_CLICKED) {
                ShowComposite(page, control == IDC_1D_GS1_COMPOSITE_RADIO);
                MarkChanged(page);
            }
            return TRUE;
        case IDC_1D_DATA_EDIT:
            if (code == EN_CHANGE)
                EnableControl(page, IDC_1D_PRINT_BUTTON, HasText(page, IDC_1D_DATA_EDIT));
            return TRUE;
        case IDC_1D_PRINT_BUTTON:
            return code == BN_CLICKED ? PrintTestData(page) : TRUE;
        default:
            return FALSE;
    }
}

// Apply shows the font height the record now holds.
std::optional<INT_PTR> OnNotify(HWND page, NoPageState&, const NMHDR& header) {
    if (header.code == PSN_APPLY)
        if (const Barcode1DSettings* settings = SelectedFont(page))
            ShowFontHeight(page, *settings);
    return std::nullopt;
}

constexpr PageParts<NoPageState> kParts = {
    .host = PageHost::DocumentSheet,
    .section = kCode1DSection,
    .texts = kLabels,
    .start = Start,
    .command = OnCommand,
    .notify = OnNotify,
    .paint = Repaint,
};

}  // namespace

INT_PTR CALLBACK Barcode1DPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
