// The Utility page's rules: the custom paper forms over an in-memory form store, and the
// self-test job's exact writes.
#include "device/paper_forms.h"
#include "device/self_test_job.h"
#include "fake_spooler.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace m450 {
namespace {

PaperForm Form(std::u16string name, int32_t width, int32_t height) {
    return {kFormUser, std::move(name), width, height, {0, 0, width, height}};
}

// A printer with two ordinary forms and no custom paper yet.
MemoryFormStore PlainPrinter() {
    return MemoryFormStore({Form(u"Letter", 215900, 279400), Form(u"A4", 210000, 297000)});
}

TEST(PaperForms, StartUpCreatesTheDefaultFormAndListsItFirst) {
    MemoryFormStore store({Form(u"Letter", 215900, 279400), Form(u"Custom Paper-Short", 58000, 100000),
                           Form(u"My Custom Paper-X", 60000, 60000)});
    const PaperStart start = StartPaperList(store);

    ASSERT_EQ(start.result, PaperStartResult::kReady);
    const PaperForm* created = nullptr;
    for (const PaperForm& f : store.forms())
        if (f.name == kDefaultPaperFormName)
            created = &f;
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(*created, Form(u"Custom Paper-M450", 80000, 297000));  // imageable area the whole form

    // The default first, then the others containing the prefix anywhere, in the store's order.
    EXPECT_EQ(start.items,
              (std::vector<std::u16string>{u"Custom Paper-M450", u"Custom Paper-Short", u"My Custom Paper-X"}));
    EXPECT_EQ(start.selected, 0);
    EXPECT_EQ(start.view.nameText, u"M450");
    EXPECT_FALSE(start.view.deleteEnabled);
    EXPECT_EQ(start.view.size, (PaperSize{800, 2970}));

    // An existing default form is not added twice.
    const size_t count = store.forms().size();
    EXPECT_EQ(StartPaperList(store).result, PaperStartResult::kReady);
    EXPECT_EQ(store.forms().size(), count);

    MemoryFormStore refused = PlainPrinter();
    refused.refuseAdd = true;
    EXPECT_EQ(StartPaperList(refused).result, PaperStartResult::kAddDefaultFailed);
    MemoryFormStore broken = PlainPrinter();
    broken.failEnumerate = true;
    const PaperStart failed = StartPaperList(broken);
    EXPECT_EQ(failed.result, PaperStartResult::kEnumerateFailed);
    EXPECT_TRUE(failed.items.empty());
}

TEST(PaperForms, SaveClampsAndResizesOrAdds) {
    MemoryFormStore store = PlainPrinter();
    StartPaperList(store);

    // Existing name: resized in place, the width clamped up and the height clamped down.
    PaperSave save = SavePaperForm(store, u"M450", 300, 40000);
    EXPECT_EQ(save.result, PaperSaveResult::kUpdated);
    EXPECT_EQ(save.size, (PaperSize{410, 32760}));
    EXPECT_EQ(*store.Get(u"Custom Paper-M450"), Form(u"Custom Paper-M450", 41000, 3276000));
    EXPECT_EQ(store.forms().size(), 3u);

    // A new name is added and becomes the list's new last item; in range values stay.
    save = SavePaperForm(store, u"Kitchen", 580, 1200);
    EXPECT_EQ(save.result, PaperSaveResult::kAdded);
    EXPECT_EQ(save.addedName, u"Custom Paper-Kitchen");
    EXPECT_EQ(*store.Get(u"Custom Paper-Kitchen"), Form(u"Custom Paper-Kitchen", 58000, 120000));

    // Negative numbers count as above the maximum; an empty name adds "Custom Paper-".
    save = SavePaperForm(store, u"", -5, -5);
    EXPECT_EQ(save.result, PaperSaveResult::kAdded);
    EXPECT_EQ(save.addedName, u"Custom Paper-");
    EXPECT_EQ(save.size, (PaperSize{800, 32760}));
    EXPECT_EQ(ClampPaperWidth(409), 410);
    EXPECT_EQ(ClampPaperWidth(801), 800);
    EXPECT_EQ(ClampPaperHeight(253), 254);
    EXPECT_EQ(ClampPaperHeight(32760), 32760);

    // The name edit holds 18 characters at most.
    save = SavePaperForm(store, u"ABCDEFGHIJKLMNOPQRSTUVWXYZ", 500, 500);
    EXPECT_EQ(save.addedName, u"Custom Paper-ABCDEFGHIJKLMNOPQR");

    // The spooler refusing the add or the update: the page says "Set custom paper size failed!".
    store.refuseAdd = true;
    EXPECT_EQ(SavePaperForm(store, u"Bar", 500, 500).result, PaperSaveResult::kRefused);
    store.refuseSet = true;
    EXPECT_EQ(SavePaperForm(store, u"Kitchen", 500, 500).result, PaperSaveResult::kRefused);
    store.failEnumerate = true;
    save = SavePaperForm(store, u"Kitchen", 100, 100);
    EXPECT_EQ(save.result, PaperSaveResult::kEnumerateFailed);
    EXPECT_EQ(save.size, (PaperSize{410, 254}));  // still written back into the edits
}

TEST(PaperForms, DeleteMovesTheSelectionBackOnlyFromTheLastItem) {
    MemoryFormStore store({Form(u"Custom Paper-M450", 80000, 297000), Form(u"Custom Paper-A", 58000, 100000),
                           Form(u"Custom Paper-B", 60000, 200000), Form(u"Custom Paper-C", 70000, 300000)});
    std::vector<std::u16string> items = StartPaperList(store).items;
    ASSERT_EQ(items.size(), 4u);

    // The last item: the one before it is selected and shown.
    PaperDelete deletion = DeletePaperForm(store, items, 3);
    EXPECT_TRUE(deletion.removed);
    EXPECT_EQ(deletion.selected, 2);
    EXPECT_EQ(deletion.view.nameText, u"B");
    EXPECT_TRUE(deletion.view.deleteEnabled);
    EXPECT_EQ(deletion.view.size, (PaperSize{600, 2000}));
    EXPECT_FALSE(store.Get(u"Custom Paper-C"));
    items.erase(items.begin() + 3);

    // Another item: the same index, now the item after it.
    deletion = DeletePaperForm(store, items, 1);
    EXPECT_EQ(deletion.selected, 1);
    EXPECT_EQ(deletion.view.nameText, u"B");
    items.erase(items.begin() + 1);

    // The default form stays, whatever asks.
    deletion = DeletePaperForm(store, items, 0);
    EXPECT_FALSE(deletion.removed);
    EXPECT_TRUE(store.Get(kDefaultPaperFormName));
    EXPECT_FALSE(DeletePaperForm(store, items, -1).removed);

    // A refused delete keeps the item in the list (the spooler still offers it) and says so;
    // a form that is gone already leaves.
    store.refuseDelete = true;
    deletion = DeletePaperForm(store, items, 1);
    EXPECT_FALSE(deletion.removed);
    EXPECT_TRUE(deletion.refused);
    EXPECT_TRUE(store.Get(u"Custom Paper-B"));
    store.refuseDelete = false;
    ASSERT_TRUE(store.Delete(u"Custom Paper-B"));
    deletion = DeletePaperForm(store, items, 1);
    EXPECT_TRUE(deletion.removed);
    EXPECT_FALSE(deletion.refused);
    EXPECT_EQ(deletion.selected, 0);
    EXPECT_EQ(deletion.view.nameText, u"M450");
    EXPECT_FALSE(deletion.view.deleteEnabled);

    // Selection change to a form the spooler no longer has: name shown, size left alone.
    const PaperSelectionView view = ViewOfSelection(store, u"Custom Paper-Gone");
    EXPECT_EQ(view.nameText, u"Gone");
    EXPECT_TRUE(view.deleteEnabled);
    EXPECT_FALSE(view.size);
    EXPECT_FALSE(PaperDeleteEnabled(std::nullopt));
}

TEST(SelfTest, SendsTheThreeWritesAsOneJob) {
    const std::vector<std::vector<uint8_t>> kWrites = {
        {0x1B, 0x63, 0x3B, 0x01},                    // bracket open
        {0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02},  // test print
        {0x1B, 0x63, 0x3B, 0x00},                    // bracket close
    };
    test::FakeSpooler spooler;
    EXPECT_TRUE(SendSelfTest(RawPrinterChannel(spooler.Calls())));
    EXPECT_TRUE(SendSelfTest(RawPrinterChannel(spooler.Calls())));
    ASSERT_EQ(spooler.jobs().size(), 2u);  // clicked twice: two jobs of the same name
    for (const auto& job : spooler.jobs()) {
        EXPECT_EQ(job.documentName, u"SELFTEST");
        EXPECT_EQ(job.writes, kWrites);
    }

    test::FakeSpooler failing;
    failing.FailOn(test::FakeSpooler::Call::Write, 2);
    EXPECT_FALSE(SendSelfTest(RawPrinterChannel(failing.Calls())));
    EXPECT_EQ(failing.Sequence(), "StartDoc StartPage Write Write EndPage EndDoc");
}

}  // namespace
}  // namespace m450
