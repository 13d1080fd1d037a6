// The operations attached to the four document events, as the Operation page and its event
// dialog see them.
//
// The page copies one event's block of the private record into a working copy before it opens
// the dialog and copies it back only when the dialog ends with OK. The dialog moves values
// between its controls and EventDialogValues; everything that decides (enable rules, clamps,
// the command's length limit, defaults, which picture to show) is a function here.
//
// The record stores the blocks in the order start of document, start of page, end of
// document, end of page, and the first block orders two fields differently; the event index
// follows the page's buttons. The mapping between the two lives in event_operations.cpp only.
#pragma once

#include "core/devmode.h"
#include "core/text_store.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace m450 {

// The page's button order (buttons 1011 to 1014).
enum class DocumentEvent : uint8_t {
    kStartOfDocument = 0,
    kStartOfPage = 1,
    kEndOfPage = 2,
    kEndOfDocument = 3,
};
inline constexpr size_t kDocumentEventCount = 4;

// The fields of one event's block, whatever its layout in the record.
struct EventOperations {
    uint8_t sendCommand = 0;
    uint8_t feedToCutPosition = 0;
    std::array<uint8_t, kCommandCapacity> command{};
    uint8_t commandLength = 0;
    uint8_t cashDrawer = 0;          // 0 none; 1-4 drawer 1, 5-8 drawer 2, 9-12 both (10, 20, 40, 60 ms)
    uint8_t paperCut = 0;            // 0 none, 1 partial, 2 full
    uint8_t feedDistance = 0;        // millimetres, 0..100
    uint8_t buzzerVolume = 0;        // 0..255
    uint8_t orderMessenger = 0;      // 0 enable, 1 disable
    uint32_t drawerOrMessenger = 0;  // 0 the cash drawer is chosen, 1 the order messenger
    uint8_t buzzer = 0;              // 0 off, 1 one, 2 three, 3 five, 4 ten, 5 twenty beeps
    uint8_t logo = 0;                // 0 none, 1..9 logo number
    uint8_t logoAlign = 0;           // 0 left, 1 centred, 2 right
    uint8_t logoPosition = 0;        // 0 before the cut, 1 after it

    bool operator==(const EventOperations&) const = default;
};

// The exchange area between the Operation page and the event dialog.
struct OperationsWorkingCopy {
    DocumentEvent event = DocumentEvent::kStartOfDocument;
    EventOperations operations;
};

// Byte offset of an event's block in PlugInDevMode (start of document 16, start of page 161,
// end of document 308, end of page 452).
size_t EventBlockOffset(DocumentEvent event);

// The working copy of an event: every field of its block, all 128 command bytes included.
OperationsWorkingCopy LoadEventOperations(const PlugInDevMode& record, DocumentEvent event);
// Writes the working copy back into its event's block, all 128 command bytes included; pad
// bytes are left as they are.
void StoreEventOperations(PlugInDevMode& record, const OperationsWorkingCopy& copy);

// What Default restores, and what a fresh record holds: zeros, except drawers 1 and 2 at 60 ms
// at the start of a document, and feed to the cut position with a partial cut at its end.
EventOperations DefaultEventOperations(DocumentEvent event);

// The dialog's caption for the event (section "DOCUMENT").
TextId EventDialogCaption(DocumentEvent event);

// The number fields' limits.
inline constexpr uint32_t kMaxFeedDistance = 100;
inline constexpr uint32_t kMaxBuzzerVolume = 255;
// The number fields hold at most three characters.
inline constexpr int kNumberFieldLength = 3;

// A number as typed, read signed, brought into its field's range: above the maximum as an
// unsigned value becomes the maximum, so a negative number does too.
uint8_t ClampFeedDistance(int32_t typed);
uint8_t ClampBuzzerVolume(int32_t typed);

// The states of the dialog's controls, as the dialog puts them on and reads them back.
inline constexpr int kNoSelection = -1;
struct EventDialogValues {
    bool sendCommand = false;        // check box 1015
    std::u16string commandText;      // edit 1016, hex byte text
    bool drawerChosen = true;        // radio 1025 (else 1026, the order messenger)
    int cashDrawer = 0;              // list 1017 selection, or kNoSelection
    int orderMessenger = 0;          // list 1032 selection
    int buzzer = 0;                  // list 1027 selection
    int32_t buzzerVolume = 0;        // edit 1024, read signed (0 when it is not a number)
    int32_t feedDistance = 0;        // edit 1021, read signed
    bool feedToCutPosition = false;  // check box 1023
    int paperCut = 0;                // list 1020 selection
    int logo = 0;                    // list 1028 selection
    int logoAlign = 0;               // 0 radio 1029, 1 radio 1030, 2 radio 1031; another value checks none
    bool logoBeforeCut = true;       // radio 1033 (else 1034)
};

// The list sizes; a stored value outside its list shows no selection.
inline constexpr int kCashDrawerChoices = 13;
inline constexpr int kOrderMessengerChoices = 2;
inline constexpr int kBuzzerChoices = 6;
inline constexpr int kPaperCutChoices = 3;
inline constexpr int kLogoChoices = 10;

// What the dialog shows for a working copy (at opening, and for Default with
// DefaultEventOperations). The command text shows the first commandLength bytes, never more
// than the 128 the block holds.
EventDialogValues DialogValuesOf(const EventOperations& operations);

// Which controls are enabled for the values shown.
struct EventDialogEnables {
    bool commandEdit;    // 1016 follows "Send Command"
    bool drawerList;     // 1017 with "Open Drawer"
    bool messengerList;  // 1032 with "Herald"
    bool logoPlacement;  // 1029, 1030, 1031, 1033, 1034 unless "Not Print Logo"
    bool buzzerVolume;   // 1024 and 1035 stay disabled in every state
};
EventDialogEnables EventDialogEnablesOf(const EventDialogValues& values);

// OK: the values become the working copy's operations, or the command is refused.
enum class EventDialogCommit {
    kStored,
    kCommandTooLong,  // more than 128 bytes (or a text past the field): "Command length error!"
};
// On kStored `operations` receives every field: the parsed command zero-filled to 128 bytes,
// the numbers clamped, each value in its field's width. A list without a selection keeps the
// value the working copy held. On kCommandTooLong `operations` is not touched.
EventDialogCommit CommitEventDialog(const EventDialogValues& values, EventOperations& operations);

// The picture beside the paper cut (bitmap resources 136-149) for the event, the feed-to-cut
// box and the paper-cut list's selection (1 or 2 cut; 0, or none, do not).
inline constexpr int kFirstPreviewBitmap = 136;
inline constexpr int kLastPreviewBitmap = 149;
inline constexpr int kPreviewWidth = 184;
inline constexpr int kPreviewHeight = 61;
int PreviewBitmapId(DocumentEvent event, bool feedToCutPosition, int paperCutSelection);

}  // namespace m450
