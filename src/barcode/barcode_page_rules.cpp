#include "barcode/barcode_page_rules.h"

#include "barcode/barcode_data.h"
#include "barcode/font_height.h"

#include <algorithm>
#include <iterator>

namespace m450 {
namespace {

// Range labels the 1D and 2D pages set at creation; the others keep the template's text.
// Every field takes as many characters as the widest number of its range ("10", "20").
constexpr BarcodeNumberField k1DNumberFields[kBarcode1DNumberCount] = {
    {2, 6, false, 1, u"[ 2. . 6 ]"},       // element width
    {1, 255, false, 3, u"[ 1 . . 255 ]"},  // element height
    {1, 6, false, 1, {}},                  // GS1 element width
    {2, 250, false, 3, {}},                // GS1 row height
    {1, 10, false, 2, {}},                 // GS1 2D row height
    {1, 10, false, 2, {}},                 // GS1 separator height
};

// Most 2D fields are byte fields and take the low byte of the typed number first, so 300
// reads 44; the row heights and the QR width are clamped whole.
constexpr BarcodeNumberField k2DNumberFields[kBarcode2DNumberCount] = {
    {1, 30, true, 2, u"[ 1. . 30 ]"},   // PDF417 columns
    {3, 90, true, 2, u"[ 3 . . 90 ]"},  // PDF417 rows
    {1, 7, true, 1, u"[ 1. . 7 ]"},     // PDF417 element width
    {2, 25, true, 2, u"[ 2 . . 25 ]"},  // PDF417 element height
    {1, 6, true, 1, {}},                // GS1 element width
    {2, 250, false, 3, {}},             // GS1 row height
    {1, 10, false, 2, {}},              // GS1 2D row height
    {1, 10, true, 2, {}},               // GS1 separator height
    {2, 20, true, 2, {}},               // GS1 segments per row; Composite narrows only the spin range
    {1, 24, false, 2, {}},              // QR element width
};

constexpr uint32_t kCompositeLeastSegments = 4;

// A list whose entry i stands for the stored value i + firstValue.
template <typename Settings>
struct ChoiceList {
    uint8_t entries;
    uint8_t firstValue;
    uint8_t Settings::*field;
};

constexpr ChoiceList<Barcode1DSettings> k1DChoices[] = {
    {kBarcode1DTypeCount, 0, &Barcode1DSettings::barcodeType},
    {4, 0, &Barcode1DSettings::hriPosition},
    {2, 0, &Barcode1DSettings::hriFont},
    {4, 1, &Barcode1DSettings::gs1HriContent},
    {2, 0, &Barcode1DSettings::gs1AiMode},
};

constexpr ChoiceList<Barcode2DSettings> k2DChoices[] = {
    {kBarcode2DTypeCount, 0, &Barcode2DSettings::barcodeType},
    {9, 0, &Barcode2DSettings::pdf417ErrorCorrection},
    {4, 1, &Barcode2DSettings::gs1HriContent},
    {2, 0, &Barcode2DSettings::gs1AiMode},
    {2, 0, &Barcode2DSettings::qrLanguageMode},
    {2, 1, &Barcode2DSettings::qrModel},
    {std::size(kQrErrorCorrectionTexts), 0, &Barcode2DSettings::qrErrorCorrection},
};

template <typename Settings>
int ChoiceSelection(const Settings& settings, const ChoiceList<Settings>& list) {
    const uint8_t value = settings.*list.field;
    if (value < list.firstValue || value - list.firstValue >= list.entries)
        return -1;
    return value - list.firstValue;
}

template <typename Settings>
bool StoreChoice(Settings& settings, const ChoiceList<Settings>& list, int selection) {
    if (selection < 0 || selection >= list.entries)
        return false;
    settings.*list.field = static_cast<uint8_t>(selection + list.firstValue);
    return true;
}

// The font height follows the bar height and the HRI settings, but only when one of them
// changes: a record's stored height (the unsnapped default 163 included) stays as it is until then.
void UpdateFontHeight(Barcode1DSettings& s) {
    s.fontHeight = BarcodeFontHeight(s.elementHeight, s.hriPosition, s.hriFont);
}

std::u16string Widen(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

}  // namespace

uint32_t ClampTypedNumber(int32_t typed, const BarcodeNumberField& field) {
    uint32_t value = static_cast<uint32_t>(typed);
    if (field.lowByteFirst)
        value &= 0xFF;
    return std::clamp(value, field.least, field.greatest);
}

const BarcodeNumberField& Barcode1DNumberField(Barcode1DNumber number) {
    return k1DNumberFields[static_cast<size_t>(number)];
}

const BarcodeNumberField& Barcode2DNumberField(Barcode2DNumber number) {
    return k2DNumberFields[static_cast<size_t>(number)];
}

uint32_t Barcode1DNumberValue(const Barcode1DSettings& s, Barcode1DNumber number) {
    switch (number) {
        case Barcode1DNumber::kElementWidth:
            return s.elementWidth;
        case Barcode1DNumber::kElementHeight:
            return s.elementHeight;
        case Barcode1DNumber::kGs1ElementWidth:
            return s.gs1ElementWidth;
        case Barcode1DNumber::kGs1RowHeight:
            return s.gs1RowHeight;
        case Barcode1DNumber::kGs1CompositeRowHeight:
            return s.gs1CompositeRowHeight;
        case Barcode1DNumber::kGs1SeparatorHeight:
            return s.gs1SeparatorHeight;
    }
    return 0;
}

uint32_t Barcode2DNumberValue(const Barcode2DSettings& s, Barcode2DNumber number) {
    switch (number) {
        case Barcode2DNumber::kPdf417Columns:
            return s.pdf417Columns;
        case Barcode2DNumber::kPdf417Rows:
            return s.pdf417Rows;
        case Barcode2DNumber::kPdf417ElementWidth:
            return s.pdf417ElementWidth;
        case Barcode2DNumber::kPdf417ElementHeight:
            return s.pdf417ElementHeight;
        case Barcode2DNumber::kGs1ElementWidth:
            return s.gs1ElementWidth;
        case Barcode2DNumber::kGs1RowHeight:
            return s.gs1RowHeight;
        case Barcode2DNumber::kGs1CompositeRowHeight:
            return s.gs1CompositeRowHeight;
        case Barcode2DNumber::kGs1SeparatorHeight:
            return s.gs1SeparatorHeight;
        case Barcode2DNumber::kGs1SegmentsPerRow:
            return s.gs1SegmentsPerRow;
        case Barcode2DNumber::kQrElementWidth:
            return s.qrElementWidth;
    }
    return 0;
}

// Every clamped value fits its field: the byte fields' ranges end at 255 or below.
uint32_t StoreBarcode1DNumber(Barcode1DSettings& s, Barcode1DNumber number, int32_t typed) {
    const uint32_t value = ClampTypedNumber(typed, Barcode1DNumberField(number));
    const auto byte = static_cast<uint8_t>(value);
    switch (number) {
        case Barcode1DNumber::kElementWidth:
            s.elementWidth = byte;
            s.scaledElementWidth = 8 * value;
            break;
        case Barcode1DNumber::kElementHeight:
            if (s.elementHeight != value) {
                s.elementHeight = value;
                UpdateFontHeight(s);
            }
            break;
        case Barcode1DNumber::kGs1ElementWidth:
            s.gs1ElementWidth = byte;
            break;
        case Barcode1DNumber::kGs1RowHeight:
            s.gs1RowHeight = value;
            break;
        case Barcode1DNumber::kGs1CompositeRowHeight:
            s.gs1CompositeRowHeight = value;
            break;
        case Barcode1DNumber::kGs1SeparatorHeight:
            s.gs1SeparatorHeight = byte;
            break;
    }
    return value;
}

uint32_t StoreBarcode2DNumber(Barcode2DSettings& s, Barcode2DNumber number, int32_t typed) {
    const uint32_t value = ClampTypedNumber(typed, Barcode2DNumberField(number));
    const auto byte = static_cast<uint8_t>(value);
    switch (number) {
        case Barcode2DNumber::kPdf417Columns:
            s.pdf417Columns = byte;
            break;
        case Barcode2DNumber::kPdf417Rows:
            s.pdf417Rows = byte;
            break;
        case Barcode2DNumber::kPdf417ElementWidth:
            s.pdf417ElementWidth = byte;
            break;
        case Barcode2DNumber::kPdf417ElementHeight:
            s.pdf417ElementHeight = byte;
            break;
        case Barcode2DNumber::kGs1ElementWidth:
            s.gs1ElementWidth = byte;
            break;
        case Barcode2DNumber::kGs1RowHeight:
            s.gs1RowHeight = value;
            break;
        case Barcode2DNumber::kGs1CompositeRowHeight:
            s.gs1CompositeRowHeight = value;
            break;
        case Barcode2DNumber::kGs1SeparatorHeight:
            s.gs1SeparatorHeight = byte;
            break;
        case Barcode2DNumber::kGs1SegmentsPerRow:
            s.gs1SegmentsPerRow = byte;
            break;
        case Barcode2DNumber::kQrElementWidth:
            s.qrElementWidth = byte;
            break;
    }
    return value;
}

namespace {

template <typename Settings, typename Number>
uint32_t KeepInRange(Settings& settings,
                     Number number,
                     const BarcodeNumberField& field,
                     uint32_t (*value)(const Settings&, Number),
                     uint32_t (*store)(Settings&, Number, int32_t)) {
    const uint32_t stored = value(settings, number);
    const uint32_t kept = std::clamp(stored, field.least, field.greatest);
    if (kept != stored)
        store(settings, number, static_cast<int32_t>(kept));
    return kept;
}

}  // namespace

uint32_t KeepBarcode1DNumberInRange(Barcode1DSettings& settings, Barcode1DNumber number) {
    return KeepInRange(settings, number, Barcode1DNumberField(number), Barcode1DNumberValue, StoreBarcode1DNumber);
}

uint32_t KeepBarcode2DNumberInRange(Barcode2DSettings& settings, Barcode2DNumber number) {
    return KeepInRange(settings, number, Barcode2DNumberField(number), Barcode2DNumberValue, StoreBarcode2DNumber);
}

int Barcode1DChoiceSelection(const Barcode1DSettings& settings, Barcode1DChoice choice) {
    return ChoiceSelection(settings, k1DChoices[static_cast<size_t>(choice)]);
}

int Barcode2DChoiceSelection(const Barcode2DSettings& settings, Barcode2DChoice choice) {
    return ChoiceSelection(settings, k2DChoices[static_cast<size_t>(choice)]);
}

bool StoreBarcode1DChoice(Barcode1DSettings& settings, Barcode1DChoice choice, int selection) {
    const uint8_t hriPosition = settings.hriPosition;
    const uint8_t hriFont = settings.hriFont;
    if (!StoreChoice(settings, k1DChoices[static_cast<size_t>(choice)], selection))
        return false;
    if (settings.hriPosition != hriPosition || settings.hriFont != hriFont)
        UpdateFontHeight(settings);
    return true;
}

bool StoreBarcode2DChoice(Barcode2DSettings& settings, Barcode2DChoice choice, int selection) {
    return StoreChoice(settings, k2DChoices[static_cast<size_t>(choice)], selection);
}

Barcode1DGroup Barcode1DGroupFor(unsigned barcodeType) {
    const Barcode1DType* type = FindBarcode1DType(barcodeType);
    return type && type->form == Barcode1DJobForm::kGs1DataBar ? Barcode1DGroup::kGs1DataBar : Barcode1DGroup::kGeneral;
}

bool HriFontEnabled(uint8_t hriPosition) {
    return hriPosition != 0;
}

bool Barcode1DAiModeEnabled(unsigned barcodeType) {
    constexpr unsigned kGs1DataBarExpanded = 12;
    return barcodeType == kGs1DataBarExpanded;
}

Barcode2DGroup Barcode2DGroupFor(unsigned barcodeType) {
    const Barcode2DType* type = FindBarcode2DType(barcodeType);
    if (!type)
        return Barcode2DGroup::kNone;
    switch (type->kind) {
        case Barcode2DKind::kPdf417:
            return Barcode2DGroup::kPdf417;
        case Barcode2DKind::kGs1DataBarStacked:
            return Barcode2DGroup::kGs1DataBar;
        case Barcode2DKind::kQrCode:
            return Barcode2DGroup::kQrCode;
        case Barcode2DKind::kMaxiCode:
            break;
    }
    return Barcode2DGroup::kNone;
}

Barcode2DEnabled Barcode2DEnabledFor(unsigned barcodeType) {
    constexpr unsigned kGs1DataBarExpandedStacked = 3;
    const bool expandedStacked = barcodeType == kGs1DataBarExpandedStacked;
    return {Barcode2DGroupFor(barcodeType) == Barcode2DGroup::kPdf417, expandedStacked, expandedStacked};
}

Gs1CompositeView Gs1CompositeViewFor(bool composite) {
    const BarcodeNumberField& segments = Barcode2DNumberField(Barcode2DNumber::kGs1SegmentsPerRow);
    if (composite)
        return {true, kCompositeLeastSegments, segments.greatest, u"[ 4 . . 20 ]"};
    return {false, segments.least, segments.greatest, u"[ 2 . . 20 ]"};
}

std::optional<uint32_t> SegmentsForComposite(int32_t shown) {
    if (shown >= static_cast<int32_t>(kCompositeLeastSegments))
        return std::nullopt;
    return kCompositeLeastSegments;
}

std::u16string Barcode1DSampleText(unsigned barcodeType) {
    const Barcode1DType* type = FindBarcode1DType(barcodeType);
    return type ? Widen(type->sample) : std::u16string();
}

std::u16string Barcode2DSampleText() {
    return Widen(kBarcode2DSample);
}

}  // namespace m450
