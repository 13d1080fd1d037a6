// The Operation page's working copy and the event dialog's decisions: which block of the record
// an event writes, the OK-time conversion with its clamps and length limit, Default per event,
// the enable rules and the picture chosen.
#include "document/event_operations.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

namespace m450 {
namespace {

using Bytes = std::array<uint8_t, kDevModeSize>;

PlugInDevMode& AsRecord(Bytes& b) {
    return *reinterpret_cast<PlugInDevMode*>(b.data());
}

constexpr DocumentEvent kEvents[] = {DocumentEvent::kStartOfDocument, DocumentEvent::kStartOfPage,
                                     DocumentEvent::kEndOfPage, DocumentEvent::kEndOfDocument};

// Every field distinct, so a field written to the wrong offset shows.
EventOperations Marked() {
    EventOperations ops;
    ops.sendCommand = 0x01;
    ops.feedToCutPosition = 0x02;
    for (size_t i = 0; i < kCommandCapacity; ++i)
        ops.command[i] = static_cast<uint8_t>(0x80 + i % 0x40);
    ops.commandLength = 0x03;
    ops.cashDrawer = 0x04;
    ops.paperCut = 0x05;
    ops.feedDistance = 0x06;
    ops.buzzerVolume = 0x07;
    ops.orderMessenger = 0x08;
    ops.drawerOrMessenger = 0x0C0B0A09;
    ops.buzzer = 0x0D;
    ops.logo = 0x0E;
    ops.logoAlign = 0x0F;
    ops.logoPosition = 0x10;
    return ops;
}

TEST(EventOperations, EachEventWritesItsOwnBlockInTheStoredOrder) {
    EXPECT_EQ(EventBlockOffset(DocumentEvent::kStartOfDocument), 16u);
    EXPECT_EQ(EventBlockOffset(DocumentEvent::kStartOfPage), 161u);
    EXPECT_EQ(EventBlockOffset(DocumentEvent::kEndOfPage), 0x1C4u);
    EXPECT_EQ(EventBlockOffset(DocumentEvent::kEndOfDocument), 0x134u);

    const size_t kBlockEnd[] = {161, 308, 596, 452};  // one past each event's last byte
    for (size_t e = 0; e < kDocumentEventCount; ++e) {
        SCOPED_TRACE(e);
        Bytes b;
        b.fill(0xEE);
        StoreEventOperations(AsRecord(b), {kEvents[e], Marked()});
        const size_t begin = EventBlockOffset(kEvents[e]);
        for (size_t i = 0; i < b.size(); ++i) {
            if (i < begin || i >= kBlockEnd[e]) {
                ASSERT_EQ(b[i], 0xEE) << "byte " << i << " outside the block changed";
            }
        }
        EXPECT_EQ(b[begin], 0x01);      // sendCommand
        EXPECT_EQ(b[begin + 1], 0x02);  // feedToCutPosition
        EXPECT_EQ(b[begin + 2], 0x80);  // command
        EXPECT_EQ(b[begin + 129], 0xBF);
        EXPECT_EQ(b[begin + 130], 0x03);  // commandLength
        EXPECT_EQ(LoadEventOperations(AsRecord(b), kEvents[e]).operations, Marked());
    }

    // The first block keeps orderMessenger before the 32-bit field, buzzerVolume after it; the
    // second puts them the other way round and pads to the 32-bit field.
    Bytes b;
    b.fill(0xEE);
    StoreEventOperations(AsRecord(b), {DocumentEvent::kStartOfDocument, Marked()});
    EXPECT_EQ(b[0x96], 0x08);  // orderMessenger
    EXPECT_EQ(b[0x97], 0xEE);  // pad
    EXPECT_EQ(b[0x98], 0x09);  // drawerOrMessenger, little-endian
    EXPECT_EQ(b[0x9B], 0x0C);
    EXPECT_EQ(b[0x9C], 0x07);  // buzzerVolume
    EXPECT_EQ(b[0xA0], 0x10);  // logoPosition
    StoreEventOperations(AsRecord(b), {DocumentEvent::kStartOfPage, Marked()});
    EXPECT_EQ(b[0x127], 0x07);  // buzzerVolume
    EXPECT_EQ(b[0x128], 0x08);  // orderMessenger
    EXPECT_EQ(b[0x129], 0xEE);  // pad
    EXPECT_EQ(b[0x12C], 0x09);  // drawerOrMessenger
    EXPECT_EQ(b[0x133], 0x10);  // logoPosition
}

TEST(EventOperations, DefaultButtonRestoresWhatAFreshRecordHolds) {
    Bytes b;
    b.fill(0xFF);
    DefaultDevMode(AsRecord(b), u"C:\\Windows\\system32");
    for (DocumentEvent event : kEvents)
        EXPECT_EQ(LoadEventOperations(AsRecord(b), event).operations, DefaultEventOperations(event));

    const EventDialogValues startDoc = DialogValuesOf(DefaultEventOperations(DocumentEvent::kStartOfDocument));
    EXPECT_EQ(startDoc.cashDrawer, 12);  // "Cash Drawer #1+#2 Waiting 60ms"
    EXPECT_FALSE(startDoc.feedToCutPosition);
    const EventDialogValues endDoc = DialogValuesOf(DefaultEventOperations(DocumentEvent::kEndOfDocument));
    EXPECT_TRUE(endDoc.feedToCutPosition);
    EXPECT_EQ(endDoc.paperCut, 1);  // "Partial Cut"
    EXPECT_EQ(endDoc.cashDrawer, 0);
    for (DocumentEvent event : {DocumentEvent::kStartOfPage, DocumentEvent::kEndOfPage}) {
        const EventDialogValues v = DialogValuesOf(DefaultEventOperations(event));
        EXPECT_EQ(v.cashDrawer, 0);
        EXPECT_EQ(v.paperCut, 0);
        EXPECT_FALSE(v.feedToCutPosition);
        EXPECT_FALSE(v.sendCommand);
        EXPECT_TRUE(v.commandText.empty());
        EXPECT_TRUE(v.drawerChosen);
        EXPECT_EQ(v.logoAlign, 0);
        EXPECT_TRUE(v.logoBeforeCut);
        const EventDialogEnables enables = EventDialogEnablesOf(v);
        EXPECT_FALSE(enables.commandEdit);
        EXPECT_FALSE(enables.logoPlacement);
        EXPECT_FALSE(enables.buzzerVolume);
    }
}

std::u16string HexText(size_t count) {
    std::u16string text;
    for (size_t i = 0; i < count; ++i)
        text += u"AB ";
    return text;
}

TEST(EventOperations, OkConvertsTheDialogIntoTheBlock) {
    EventOperations ops = Marked();
    EventDialogValues v = DialogValuesOf(DefaultEventOperations(DocumentEvent::kStartOfPage));
    v.sendCommand = true;
    v.commandText = u"1d 56 42";
    v.feedDistance = 150;
    v.buzzerVolume = 300;
    v.drawerChosen = false;  // "Herald": the drawer index the list shows is kept
    v.cashDrawer = 7;
    v.orderMessenger = 1;
    v.logo = 0;        // placement disabled, but its checked states are still stored
    v.logoAlign = -1;  // no button checked: right
    v.logoBeforeCut = false;
    ASSERT_EQ(CommitEventDialog(v, ops), EventDialogCommit::kStored);
    EXPECT_EQ(ops.commandLength, 3);
    EXPECT_EQ(ops.command[0], 0x1D);
    EXPECT_EQ(ops.command[2], 0x42);
    for (size_t i = 3; i < kCommandCapacity; ++i)
        ASSERT_EQ(ops.command[i], 0) << i;  // the old command's bytes are gone
    EXPECT_EQ(ops.sendCommand, 1);
    EXPECT_EQ(ops.feedDistance, 100);
    EXPECT_EQ(ops.buzzerVolume, 255);
    EXPECT_EQ(ops.drawerOrMessenger, 1u);
    EXPECT_EQ(ops.cashDrawer, 7);
    EXPECT_EQ(ops.orderMessenger, 1);
    EXPECT_EQ(ops.logoAlign, 2);
    EXPECT_EQ(ops.logoPosition, 1);

    // Numbers: above the limit as unsigned, so negatives too, become the limit.
    EXPECT_EQ(ClampFeedDistance(100), 100);
    EXPECT_EQ(ClampFeedDistance(101), 100);
    EXPECT_EQ(ClampFeedDistance(-1), 100);
    EXPECT_EQ(ClampFeedDistance(0), 0);
    EXPECT_EQ(ClampBuzzerVolume(255), 255);
    EXPECT_EQ(ClampBuzzerVolume(256), 255);
    EXPECT_EQ(ClampBuzzerVolume(-20), 255);

    // An empty command with "Send Command" checked.
    v.commandText = u"";
    ASSERT_EQ(CommitEventDialog(v, ops), EventDialogCommit::kStored);
    EXPECT_EQ(ops.commandLength, 0);
    EXPECT_EQ(ops.sendCommand, 1);

    // 128 bytes fill the block; 129 are refused and leave the working copy alone.
    v.commandText = HexText(128);
    ASSERT_EQ(CommitEventDialog(v, ops), EventDialogCommit::kStored);
    EXPECT_EQ(ops.commandLength, 128);
    EXPECT_EQ(ops.command[127], 0xAB);
    const EventOperations before = ops;
    v.commandText = HexText(128) + u"CD";
    v.feedDistance = 5;
    EXPECT_EQ(CommitEventDialog(v, ops), EventDialogCommit::kCommandTooLong);
    EXPECT_EQ(ops, before);

    // A list without a selection keeps the stored value instead of storing 255.
    ops.cashDrawer = 20;
    v = DialogValuesOf(ops);
    EXPECT_EQ(v.cashDrawer, kNoSelection);
    ASSERT_EQ(CommitEventDialog(v, ops), EventDialogCommit::kStored);
    EXPECT_EQ(ops.cashDrawer, 20);
}

TEST(EventOperations, DialogShowsTheWorkingCopyAndGivesItBackUnchanged) {
    EventOperations ops = DefaultEventOperations(DocumentEvent::kEndOfDocument);
    ops.sendCommand = 1;
    ops.command[0] = 0x1B;
    ops.command[1] = 0x0A;
    ops.commandLength = 2;
    ops.cashDrawer = 12;
    ops.drawerOrMessenger = 1;
    ops.orderMessenger = 1;
    ops.buzzer = 5;
    ops.buzzerVolume = 200;
    ops.feedDistance = 100;
    ops.logo = 9;
    ops.logoAlign = 1;
    ops.logoPosition = 1;
    const EventDialogValues v = DialogValuesOf(ops);
    EXPECT_EQ(v.commandText, u"1B 0A ");
    const EventDialogEnables enables = EventDialogEnablesOf(v);
    EXPECT_TRUE(enables.commandEdit);
    EXPECT_FALSE(enables.drawerList);
    EXPECT_TRUE(enables.messengerList);
    EXPECT_TRUE(enables.logoPlacement);
    EXPECT_FALSE(enables.buzzerVolume);  // the volume field stays disabled in every state

    EventOperations back = Marked();
    back.command.fill(0x55);
    ASSERT_EQ(CommitEventDialog(v, back), EventDialogCommit::kStored);
    EXPECT_EQ(back, ops);

    // A record's length byte above 128 shows the 128 bytes the block holds, no more.
    ops.commandLength = 200;
    EXPECT_EQ(DialogValuesOf(ops).commandText.size(), 3 * kCommandCapacity);
}

TEST(EventOperations, PictureFollowsEventFeedAndCut) {
    struct Case {
        DocumentEvent event;
        int feedCut, feedOnly, cutOnly, neither;
    };
    const Case kCases[] = {
        {DocumentEvent::kStartOfDocument, 143, 144, 145, 149},
        {DocumentEvent::kStartOfPage, 146, 147, 148, 149},
        {DocumentEvent::kEndOfPage, 140, 141, 142, 139},
        {DocumentEvent::kEndOfDocument, 136, 137, 138, 139},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(static_cast<int>(c.event));
        EXPECT_EQ(PreviewBitmapId(c.event, true, 1), c.feedCut);
        EXPECT_EQ(PreviewBitmapId(c.event, true, 2), c.feedCut);  // full cut looks like partial
        EXPECT_EQ(PreviewBitmapId(c.event, true, 0), c.feedOnly);
        EXPECT_EQ(PreviewBitmapId(c.event, false, 2), c.cutOnly);
        EXPECT_EQ(PreviewBitmapId(c.event, false, 0), c.neither);
        EXPECT_EQ(PreviewBitmapId(c.event, false, kNoSelection), c.neither);
    }
}

}  // namespace
}  // namespace m450
