// The Utility page's user-defined paper sizes: spooler forms named "Custom Paper-" followed by
// the user's name, among them "Custom Paper-M450", which the page creates when it is missing
// and never deletes.
//
// Each function is one action of the page over a FormStore: it returns what the page's
// controls show afterwards, and a named result where the page shows a message or stops.
// Every action asks the store afresh, so it sees the spooler's current forms.
#pragma once

#include "device/form_store.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

inline constexpr std::u16string_view kCustomPaperPrefix = u"Custom Paper-";
inline constexpr std::u16string_view kDefaultPaperFormName = u"Custom Paper-M450";
// 80 mm x 297 mm, in thousandths of a millimetre.
inline constexpr int32_t kDefaultPaperWidth = 80000;
inline constexpr int32_t kDefaultPaperHeight = 297000;

// The name edit holds the name without its prefix, at most 18 characters, so that a form name
// has at most 31 (and fits the record's paper-size name).
inline constexpr size_t kPaperNameMaxLength = 18;
inline constexpr int kPaperWidthTextLength = 3;
inline constexpr int kPaperHeightTextLength = 5;

// Sizes the page shows and accepts, in tenths of a millimetre.
struct PaperRange {
    int32_t min;
    int32_t max;
};
inline constexpr PaperRange kPaperWidthRange{410, 800};
inline constexpr PaperRange kPaperHeightRange{254, 32760};
inline constexpr std::u16string_view kPaperWidthRangeText = u"[ 410 - 800 (0.1mm) ]";
inline constexpr std::u16string_view kPaperHeightRangeText = u"[ 254 - 32760 (0.1mm) ]";

// Width and height in tenths of a millimetre.
struct PaperSize {
    int32_t width = 0;
    int32_t height = 0;

    bool operator==(const PaperSize&) const = default;
};

// A typed number brought into its range; compared as unsigned, so a negative number counts as
// above the maximum.
int32_t ClampPaperWidth(int32_t typed);
int32_t ClampPaperHeight(int32_t typed);

// A user form of that name and size: flags FORM_USER, the imageable area the whole form.
PaperForm MakePaperForm(std::u16string_view name, PaperSize size);
// The size the edits show for a form (thousandths of a millimetre / 100).
PaperSize ShownSize(const PaperForm& form);

// The list shows forms whose name contains the prefix anywhere.
bool IsCustomPaperForm(std::u16string_view name);
// What the name edit shows for a listed name: the name less its first 13 characters.
std::u16string_view NameEditText(std::u16string_view formName);
// Delete is enabled for a selected form other than the default one.
bool PaperDeleteEnabled(std::optional<std::u16string_view> selectedName);

// What the name edit, the Delete button and the size edits show for the list's selection.
struct PaperSelectionView {
    std::u16string nameText;
    bool deleteEnabled = false;
    std::optional<PaperSize> size;  // nullopt: the form was not found; the edits keep their text
};
// Selection change in the list (and the view after start-up and Delete). No selection shows
// an empty name with Delete disabled.
PaperSelectionView ViewOfSelection(FormStore& store, std::optional<std::u16string_view> selectedName);

enum class PaperStartResult {
    kReady,             // limits, list and hover help
    kEnumerateFailed,   // nothing more: no limits, an empty list, no hover help
    kAddDefaultFailed,  // the same
    kNoForms,           // the second enumeration found nothing: limits set, the list empty
};
struct PaperStart {
    PaperStartResult result = PaperStartResult::kEnumerateFailed;
    std::vector<std::u16string> items;  // the list, in order: the default form first
    int selected = -1;                  // item 0, or -1 for an empty list
    PaperSelectionView view;
};
// Start-up: adds the default form when no form has its name, then lists the default form and
// every other form whose name contains the prefix, in the spooler's order.
PaperStart StartPaperList(FormStore& store);

enum class PaperSaveResult {
    kUpdated,          // an existing form was resized; the list is unchanged
    kAdded,            // a new form: append `addedName` to the list, select it, enable Delete
    kEnumerateFailed,  // nothing was saved; no message
    kRefused,          // the spooler refused the add or update: "Set custom paper size failed!"
};
struct PaperSave {
    PaperSaveResult result = PaperSaveResult::kEnumerateFailed;
    PaperSize size;  // the clamped numbers, written back into both edits in every case
    std::u16string addedName;
};
// "Save Paper Size": the first form whose name contains the prefix and whose name from the
// 14th character on equals the typed name (cut to 18 characters) gets the new size; otherwise
// "Custom Paper-" + the typed name is added. So "M450" resizes the default form and an empty
// name adds "Custom Paper-".
PaperSave SavePaperForm(FormStore& store, std::u16string_view typedName, int32_t typedWidth, int32_t typedHeight);

struct PaperDelete {
    bool removed = false;  // false: nothing selected, the default form, or refused; the list stays
    bool refused = false;  // the spooler refused to delete the form (the page says so)
    int selected = -1;     // after the item left the list: the same index, or the one before if it was last
    PaperSelectionView view;
};
// "Delete Paper Size" for the list's items and selection. A form the spooler refuses to delete
// stays in the list, so that the list never shows a paper gone that the spooler still offers.
PaperDelete DeletePaperForm(FormStore& store, std::span<const std::u16string> items, int selected);

}  // namespace m450
