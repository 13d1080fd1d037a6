#include "document/event_operations.h"

#include "core/hex_text.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

namespace m450 {
namespace {

// The one place where an event meets its block: the record keeps start of document, start of
// page, end of document, end of page; the buttons go start of page, end of page in the middle.
template <class Record, class Visit>
decltype(auto) WithEventBlock(Record& record, DocumentEvent event, Visit&& visit) {
    auto& events = record.events;
    switch (event) {
        case DocumentEvent::kStartOfPage:
            return visit(events.startOfPage);
        case DocumentEvent::kEndOfPage:
            return visit(events.endOfPage);
        case DocumentEvent::kEndOfDocument:
            return visit(events.endOfDocument);
        case DocumentEvent::kStartOfDocument:
            break;
    }
    return visit(events.startOfDocument);
}

// The three block layouts have the same field names, so one copy routine serves them all.
template <class Block>
EventOperations ReadBlock(const Block& block) {
    EventOperations ops;
    ops.sendCommand = block.sendCommand;
    ops.feedToCutPosition = block.feedToCutPosition;
    std::memcpy(ops.command.data(), block.command, kCommandCapacity);
    ops.commandLength = block.commandLength;
    ops.cashDrawer = block.cashDrawer;
    ops.paperCut = block.paperCut;
    ops.feedDistance = block.feedDistance;
    ops.buzzerVolume = block.buzzerVolume;
    ops.orderMessenger = block.orderMessenger;
    ops.drawerOrMessenger = block.drawerOrMessenger;
    ops.buzzer = block.buzzer;
    ops.logo = block.logo;
    ops.logoAlign = block.logoAlign;
    ops.logoPosition = block.logoPosition;
    return ops;
}

template <class Block>
void WriteBlock(Block& block, const EventOperations& ops) {
    block.sendCommand = ops.sendCommand;
    block.feedToCutPosition = ops.feedToCutPosition;
    std::memcpy(block.command, ops.command.data(), kCommandCapacity);
    block.commandLength = ops.commandLength;
    block.cashDrawer = ops.cashDrawer;
    block.paperCut = ops.paperCut;
    block.feedDistance = ops.feedDistance;
    block.buzzerVolume = ops.buzzerVolume;
    block.orderMessenger = ops.orderMessenger;
    block.drawerOrMessenger = ops.drawerOrMessenger;
    block.buzzer = ops.buzzer;
    block.logo = ops.logo;
    block.logoAlign = ops.logoAlign;
    block.logoPosition = ops.logoPosition;
}

// Compared as unsigned, as the spinner's buddy is read: a negative number is above any limit.
uint8_t ClampNumber(int32_t typed, uint32_t limit) {
    const uint32_t value = static_cast<uint32_t>(typed);
    return static_cast<uint8_t>(value > limit ? limit : value);
}

int SelectionOf(uint8_t value, int choices) {
    return value < choices ? value : kNoSelection;
}

// A list without a selection keeps what the working copy held rather than storing -1 cut to a
// byte (255), which no list offers.
uint8_t SelectedOr(int selection, int choices, uint8_t previous) {
    return selection >= 0 && selection < choices ? static_cast<uint8_t>(selection) : previous;
}

}  // namespace

size_t EventBlockOffset(DocumentEvent event) {
    static const PlugInDevMode kRecord{};
    return WithEventBlock(kRecord, event, [](const auto& block) {
        return static_cast<size_t>(reinterpret_cast<const uint8_t*>(&block) -
                                   reinterpret_cast<const uint8_t*>(&kRecord));
    });
}

OperationsWorkingCopy LoadEventOperations(const PlugInDevMode& record, DocumentEvent event) {
    return {event, WithEventBlock(record, event, [](const auto& block) { return ReadBlock(block); })};
}

void StoreEventOperations(PlugInDevMode& record, const OperationsWorkingCopy& copy) {
    WithEventBlock(record, copy.event, [&copy](auto& block) { WriteBlock(block, copy.operations); });
}

EventOperations DefaultEventOperations(DocumentEvent event) {
    EventOperations ops;
    if (event == DocumentEvent::kStartOfDocument)
        ops.cashDrawer = 12;  // drawers 1 and 2, 60 ms
    if (event == DocumentEvent::kEndOfDocument) {
        ops.feedToCutPosition = 1;
        ops.paperCut = 1;  // partial cut
    }
    return ops;
}

TextId EventDialogCaption(DocumentEvent event) {
    switch (event) {
        case DocumentEvent::kStartOfPage:
            return TextId::DOCUMENT_RC_DOCUMENT_STARTPAGE;
        case DocumentEvent::kEndOfPage:
            return TextId::DOCUMENT_RC_DOCUMENT_ENDPAGE;
        case DocumentEvent::kEndOfDocument:
            return TextId::DOCUMENT_RC_DOCUMENT_ENDDOC;
        case DocumentEvent::kStartOfDocument:
            break;
    }
    return TextId::DOCUMENT_RC_DOCUMENT_STARTDOC;
}

uint8_t ClampFeedDistance(int32_t typed) {
    return ClampNumber(typed, kMaxFeedDistance);
}

uint8_t ClampBuzzerVolume(int32_t typed) {
    return ClampNumber(typed, kMaxBuzzerVolume);
}

EventDialogValues DialogValuesOf(const EventOperations& ops) {
    EventDialogValues values;
    values.sendCommand = ops.sendCommand == 1;
    const size_t length = std::min<size_t>(ops.commandLength, kCommandCapacity);
    values.commandText = FormatHexBytes(std::span<const uint8_t>(ops.command.data(), length));
    values.drawerChosen = ops.drawerOrMessenger == 0;
    values.cashDrawer = SelectionOf(ops.cashDrawer, kCashDrawerChoices);
    values.orderMessenger = SelectionOf(ops.orderMessenger, kOrderMessengerChoices);
    values.buzzer = SelectionOf(ops.buzzer, kBuzzerChoices);
    values.buzzerVolume = ops.buzzerVolume;
    values.feedDistance = ops.feedDistance;
    values.feedToCutPosition = ops.feedToCutPosition == 1;
    values.paperCut = SelectionOf(ops.paperCut, kPaperCutChoices);
    values.logo = SelectionOf(ops.logo, kLogoChoices);
    values.logoAlign = ops.logoAlign;
    values.logoBeforeCut = ops.logoPosition == 0;
    return values;
}

EventDialogEnables EventDialogEnablesOf(const EventDialogValues& values) {
    EventDialogEnables enables;
    enables.commandEdit = values.sendCommand;
    enables.drawerList = values.drawerChosen;
    enables.messengerList = !values.drawerChosen;
    enables.logoPlacement = values.logo != 0;
    enables.buzzerVolume = false;
    return enables;
}

EventDialogCommit CommitEventDialog(const EventDialogValues& values, EventOperations& ops) {
    const std::optional<std::vector<uint8_t>> command = ParseCommandText(values.commandText);
    if (!command)
        return EventDialogCommit::kCommandTooLong;

    ops.commandLength = static_cast<uint8_t>(command->size());
    ops.command.fill(0);
    std::copy(command->begin(), command->end(), ops.command.begin());
    ops.sendCommand = values.sendCommand ? 1 : 0;
    ops.feedToCutPosition = values.feedToCutPosition ? 1 : 0;
    ops.cashDrawer = SelectedOr(values.cashDrawer, kCashDrawerChoices, ops.cashDrawer);
    ops.paperCut = SelectedOr(values.paperCut, kPaperCutChoices, ops.paperCut);
    ops.feedDistance = ClampFeedDistance(values.feedDistance);
    ops.buzzerVolume = ClampBuzzerVolume(values.buzzerVolume);
    ops.drawerOrMessenger = values.drawerChosen ? 0 : 1;
    ops.orderMessenger = SelectedOr(values.orderMessenger, kOrderMessengerChoices, ops.orderMessenger);
    ops.buzzer = SelectedOr(values.buzzer, kBuzzerChoices, ops.buzzer);
    ops.logo = SelectedOr(values.logo, kLogoChoices, ops.logo);
    ops.logoAlign = values.logoAlign == 0 ? 0 : values.logoAlign == 1 ? 1 : 2;
    ops.logoPosition = values.logoBeforeCut ? 0 : 1;
    return EventDialogCommit::kStored;
}

int PreviewBitmapId(DocumentEvent event, bool feedToCutPosition, int paperCutSelection) {
    // Columns: feed and cut, feed only, cut only, neither.
    static constexpr int kBitmaps[kDocumentEventCount][4] = {
        {143, 144, 145, 149},  // start of document
        {146, 147, 148, 149},  // start of page
        {140, 141, 142, 139},  // end of page
        {136, 137, 138, 139},  // end of document
    };
    const bool cut = paperCutSelection == 1 || paperCutSelection == 2;
    const int column = (feedToCutPosition ? 0 : 2) + (cut ? 0 : 1);
    return kBitmaps[static_cast<size_t>(event) % kDocumentEventCount][column];
}

}  // namespace m450
