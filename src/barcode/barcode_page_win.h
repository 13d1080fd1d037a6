// What the 1D and 2D Code pages do alike with their controls: number fields with spin
// controls, lists filled from text slots, the test data read as printer bytes and printed, and
// the printer channel of the document sheet.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "barcode/barcode_jobs.h"
#include "core/devmode.h"
#include "core/page_context_win.h"
#include "core/page_controls_win.h"
#include "core/page_state_win.h"
#include "core/page_win.h"
#include "core/text_store.h"
#include "core/raw_channel.h"

namespace m450 {

struct BarcodeNumberField;

// A number field of a page: the edit, its up-down control and its range label (0: none).
struct NumberControls {
    int edit;
    int spin;
    int rangeLabel;
};

// Limits the edit to the field's characters, sets the spin range and the range label's text.
void PrepareNumberField(HWND page, const NumberControls& controls, const BarcodeNumberField& field);
void SetSpinRange(HWND page, int spin, uint32_t least, uint32_t greatest);
// Puts a number into the field through its spin control (which writes the buddy's text).
void SetSpinValue(HWND page, int spin, uint32_t value);
// The field read as a signed number; an empty or non-numeric field reads 0.
int32_t TypedNumber(HWND page, int edit);

// While a page itself writes numbers into its fields (loading a font, writing back a clamped
// number), their change notifications are not the user's edits: the page's flag is set for the
// life of this object and its field handlers ignore EN_CHANGE while it is set.
inline constexpr wchar_t kWritingFieldsFlag[] = L"M450.WritingFields";
class FieldWriteScope {
  public:
    explicit FieldWriteScope(HWND page) : flag_(page, kWritingFieldsFlag) {}

  private:
    WindowFlagScope flag_;
};
bool WritingFields(HWND page);

// Fills a drop-down list with the texts, keeping its selection; a list that already shows
// exactly these texts is left alone, so a repaint does not redraw it.
void FillList(HWND page, int list, std::span<const TextId> texts);
void FillList(HWND page, int list, std::span<const std::u16string_view> texts);
int ListSelection(HWND page, int list);
void SelectListEntry(HWND page, int list, int index);

// The data field's text (at most 399 characters) in the system's ANSI code page.
std::vector<uint8_t> TestDataBytes(HWND page, int edit);
bool HasText(HWND page, int edit);

// The spooler calls of a raw job on the document sheet's printer.
SpoolerCalls DocumentPrinterCalls(const DocumentPageContext* context);

// The record's entry of the font chosen in the page's font list; null before the sheet has
// handed the record over, or with no font chosen.
template <typename Settings, size_t Count>
Settings* SelectedFontEntry(HWND page, int fontList, Settings (PlugInDevMode::*fonts)[Count]) {
    PlugInDevMode* record = RecordOf(page);
    const int font = ListSelection(page, fontList);
    if (record == nullptr || font < 0 || static_cast<size_t>(font) >= Count)
        return nullptr;
    return &(record->*fonts)[font];
}

// Fills the type list with the list texts of a type table.
template <typename Type, size_t Count>
void FillTypeList(HWND page, int list, const Type (&types)[Count]) {
    std::u16string_view texts[Count];
    for (size_t i = 0; i < Count; ++i)
        texts[i] = types[i].listText;
    FillList(page, list, texts);
}

// The user edited a number field: the core stores the number clamped and the field shows the
// stored number. Ignored while the page writes its fields itself.
template <typename Settings, typename Number>
void StoreTypedNumber(HWND page,
                      Settings* settings,
                      Number number,
                      const NumberControls& controls,
                      uint32_t (*store)(Settings&, Number, int32_t)) {
    if (WritingFields(page) || settings == nullptr)
        return;
    const int32_t typed = TypedNumber(page, controls.edit);
    const uint32_t value = store(*settings, number, typed);
    // A number kept as typed stays as it is: rewriting it would move the caret to the start, and
    // an arrows' range narrower than the field's (segments while Composite) would show another
    // number than the one stored. So "20" can be typed where "2" alone is below the arrows' range.
    if (typed < 0 || static_cast<uint32_t>(typed) != value) {
        const FieldWriteScope writing(page);
        SetSpinValue(page, controls.spin, value);
    }
    MarkChanged(page);
}

// Puts the font's stored numbers into their fields (each field's spin range already set). The
// core keeps each number within its field's range first, so a record from an older driver
// shows, keeps and prints the same clamped number.
template <typename Settings, typename Field, size_t Count, typename Number>
void ShowStoredNumbers(HWND page,
                       Settings& settings,
                       const Field (&fields)[Count],
                       uint32_t (*keepInRange)(Settings&, Number)) {
    const FieldWriteScope writing(page);
    for (const Field& field : fields)
        SetSpinValue(page, field.controls.spin, keepInRange(settings, field.number));
}

// "Print": the data field's text printed with the font's settings; data or settings the core
// refuses show the page's data error. TRUE only when the job reached the printer.
template <typename Settings>
INT_PTR PrintBarcodeTestData(HWND page,
                             const Settings* settings,
                             int dataEdit,
                             TextId dataError,
                             TestPrintResult (*send)(const RawPrinterChannel&,
                                                     const Settings&,
                                                     std::span<const uint8_t>)) {
    if (settings == nullptr)
        return FALSE;
    const RawPrinterChannel channel(DocumentPrinterCalls(DocumentContextOf(page)));
    const TestPrintResult result = send(channel, *settings, TestDataBytes(page, dataEdit));
    // A type or error correction outside its list (a record from elsewhere) can't be printed
    // either: the user is told, as for data that doesn't suit the type.
    if (result == TestPrintResult::kInvalidData || result == TestPrintResult::kUnknownSetting)
        ShowMessage(page, dataError, TextId::MSG_MB_ERROR, MB_ICONERROR);
    return result == TestPrintResult::kPrinted ? TRUE : FALSE;
}

}  // namespace m450
