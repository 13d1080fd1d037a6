// The rules of the 1D and 2D barcode pages: how a typed number is clamped and where it is
// stored, how a list selection maps to a record field, which controls are visible and enabled
// for a type, and the fixed texts of their lists. The pages move values between their controls
// and the font's record and ask these functions for every decision.
#pragma once

#include "core/devmode.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace m450 {

// ---- Number fields -------------------------------------------------------------------------

// A number field of a page. The page reads the field as a signed integer (GetDlgItemInt with
// bSigned TRUE, so an empty or non-numeric field reads 0) and clamps it with unsigned
// comparisons: a negative number lands on the upper bound, 0 on the lower.
struct BarcodeNumberField {
    uint32_t least;
    uint32_t greatest;
    bool lowByteFirst;               // the low byte of the typed number is taken before clamping
    uint8_t textLimit;               // characters the edit field takes
    std::u16string_view rangeLabel;  // put on the field's range label at creation; empty: the template's
};

// The one clamp of both pages.
uint32_t ClampTypedNumber(int32_t typed, const BarcodeNumberField& field);

enum class Barcode1DNumber {
    kElementWidth,
    kElementHeight,
    kGs1ElementWidth,
    kGs1RowHeight,
    kGs1CompositeRowHeight,
    kGs1SeparatorHeight,
};
inline constexpr size_t kBarcode1DNumberCount = 6;

enum class Barcode2DNumber {
    kPdf417Columns,
    kPdf417Rows,
    kPdf417ElementWidth,
    kPdf417ElementHeight,
    kGs1ElementWidth,
    kGs1RowHeight,
    kGs1CompositeRowHeight,
    kGs1SeparatorHeight,
    kGs1SegmentsPerRow,
    kQrElementWidth,
};
inline constexpr size_t kBarcode2DNumberCount = 10;

const BarcodeNumberField& Barcode1DNumberField(Barcode1DNumber number);
const BarcodeNumberField& Barcode2DNumberField(Barcode2DNumber number);

// The stored value, to put into the field (through its spin control) when a font is loaded.
uint32_t Barcode1DNumberValue(const Barcode1DSettings& settings, Barcode1DNumber number);
uint32_t Barcode2DNumberValue(const Barcode2DSettings& settings, Barcode2DNumber number);

// Clamps the typed number, stores it and what depends on it (the element width also sets
// scaledElementWidth; a changed element height sets fontHeight). Returns the clamped value,
// which the page writes back through the spin control.
uint32_t StoreBarcode1DNumber(Barcode1DSettings& settings, Barcode1DNumber number, int32_t typed);
uint32_t StoreBarcode2DNumber(Barcode2DSettings& settings, Barcode2DNumber number, int32_t typed);

// A font's stored number as its field shows it: within the field's range. A record from an
// older driver may hold a number outside it (an element width of 0, say); that number is
// clamped and stored back with what depends on it, so that what the field shows is what the
// record keeps and a test print sends. Returns the number, to put into the field.
uint32_t KeepBarcode1DNumberInRange(Barcode1DSettings& settings, Barcode1DNumber number);
uint32_t KeepBarcode2DNumberInRange(Barcode2DSettings& settings, Barcode2DNumber number);

// ---- Lists and radio buttons ---------------------------------------------------------------

enum class Barcode1DChoice {
    kType,           // type list, 13 entries
    kHriPosition,    // HRI position list, 4 entries
    kHriFont,        // "Font A" (0) / "Font B" (1)
    kGs1HriContent,  // HRI content list, 4 entries, stored as selection + 1
    kGs1AiMode,      // application identifier list, 2 entries
};

enum class Barcode2DChoice {
    kType,                   // type list, 6 entries
    kPdf417ErrorCorrection,  // 9 entries, levels 0..8
    kGs1HriContent,          // 4 entries, stored as selection + 1
    kGs1AiMode,              // 2 entries
    kQrLanguageMode,         // "Chinese", "Japanese"
    kQrModel,                // "1", "2", stored as selection + 1
    kQrErrorCorrection,      // "L", "M", "H", "Q"
};

// The entry to select for the stored value; -1 (no selection) when the value is outside the list.
int Barcode1DChoiceSelection(const Barcode1DSettings& settings, Barcode1DChoice choice);
int Barcode2DChoiceSelection(const Barcode2DSettings& settings, Barcode2DChoice choice);

// Stores a selection. A changed HRI position or font sets fontHeight. A selection outside the
// list (a list with nothing selected gives -1) stores nothing and returns false.
bool StoreBarcode1DChoice(Barcode1DSettings& settings, Barcode1DChoice choice, int selection);
bool StoreBarcode2DChoice(Barcode2DSettings& settings, Barcode2DChoice choice, int selection);

// ---- Visibility and enabled states ---------------------------------------------------------

// The 1D page shows one of two groups in the same place.
enum class Barcode1DGroup { kGeneral, kGs1DataBar };
Barcode1DGroup Barcode1DGroupFor(unsigned barcodeType);

// "Font A" and "Font B" are enabled while the HRI is printed.
bool HriFontEnabled(uint8_t hriPosition);

// The application identifier list is enabled for GS1 DataBar Expanded only; set on every font
// or type selection.
bool Barcode1DAiModeEnabled(unsigned barcodeType);

// The 2D page shows one of three groups in the same place, or none for MaxiCode.
enum class Barcode2DGroup { kPdf417, kGs1DataBar, kQrCode, kNone };
Barcode2DGroup Barcode2DGroupFor(unsigned barcodeType);

// Set on every font or type selection: the PDF417 number fields (with their spin controls)
// and error correction list for PDF417; the segment number field, its spin control and the
// application identifier list for GS1 DataBar Expanded Stacked; none of them otherwise.
struct Barcode2DEnabled {
    bool pdf417Fields;
    bool gs1Segments;
    bool gs1AiMode;
};
Barcode2DEnabled Barcode2DEnabledFor(unsigned barcodeType);

// "Independence" / "Composite" of the GS1 DataBar group; view state only, never stored.
// Composite enables the 2D row height field with its spin control; on the 2D page it also
// narrows the segment number's spin range to 4..20.
struct Gs1CompositeView {
    bool compositeRowHeightEnabled;
    uint32_t segmentsLeast;
    uint32_t segmentsGreatest;
    std::u16string_view segmentsRangeLabel;
};
Gs1CompositeView Gs1CompositeViewFor(bool composite);

// Choosing "Composite" on the 2D page: the number the segment field must show instead of
// `shown` (the field read as a signed number): 4 when it shows less, else nullopt. Setting the
// field's text stores it through the field's own handler.
std::optional<uint32_t> SegmentsForComposite(int32_t shown);

// The Print button is enabled while the data field holds text.
inline bool TestPrintEnabled(std::u16string_view data) {
    return !data.empty();
}

// ---- Fixed texts ---------------------------------------------------------------------------
// The lists below are the same in every language; the others (HRI position, HRI content,
// application identifiers, PDF417 error correction, QR language mode) come from the language
// sections "1DCODE" and "2DCODE". The type lists are in barcode_data.h.

inline constexpr std::u16string_view kBarcode1DFontNames[kBarcode1DCount] = {
    u"1D Code1", u"1D Code2", u"1D Code3", u"1D Code4", u"1D Code5", u"1D Code6", u"1D Code7", u"1D Code8",
};
inline constexpr std::u16string_view kBarcode2DFontNames[kBarcode2DCount] = {u"2D Code1", u"2D Code2"};
inline constexpr std::u16string_view kQrModelTexts[] = {u"1", u"2"};
inline constexpr std::u16string_view kQrErrorCorrectionTexts[] = {u"L", u"M", u"H", u"Q"};
// Every 2D font is used at this size.
inline constexpr std::u16string_view kBarcode2DFontSizeText = u"9.5";

// The sample a type selection puts into the data field (samples are ASCII, so the ANSI text
// widens unchanged); empty for a type outside the list.
std::u16string Barcode1DSampleText(unsigned barcodeType);
std::u16string Barcode2DSampleText();

}  // namespace m450
