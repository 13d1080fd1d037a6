// The Download page's rules apart from its window: fresh settings, enabling, read messages, and
// the working copies it owns, on files in memory.
#include <gtest/gtest.h>

#include "device/download_rules.h"
#include "device/logo_working_copies.h"
#include "logo_test_images.h"

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;
using Step = LogoCopyStep;

TEST(DownloadRules, FreshSettingsEnablingAndMessages) {
    EXPECT_EQ(DefaultLogoSettings(LogoType::Original), (LogoSettings{0, 0, 0}));
    EXPECT_EQ(DefaultLogoSettings(LogoType::Mono), (LogoSettings{1, 0, 0}));  // DitherM3
    EXPECT_EQ(DefaultLogoSettings(LogoType::Gray), (LogoSettings{0, 0, 0}));

    struct Case {
        LogoType type;
        int count, selected;
        Step step;
        bool typeRadios, downloadLogos, methodRadios, sliders;
    };
    const Case cases[] = {
        {LogoType::Original, 0, -1, Step::Made, false, false, false, false},
        {LogoType::Original, 2, 1, Step::Made, true, false, false, false},
        {LogoType::Mono, 2, -1, Step::Made, false, true, true, true},
        {LogoType::Mono, 2, 0, Step::SourceItself, true, true, false, false},
        {LogoType::Gray, 1, 0, Step::SourceItself, true, true, false, true},
        {LogoType::Gray, 0, -1, Step::Made, false, false, false, true},
    };
    for (const Case& c : cases) {
        const LogoControlsEnabled e = LogoControlsFor(c.type, c.count, c.selected, c.step);
        EXPECT_EQ(e.typeRadios, c.typeRadios) << &c - cases;
        EXPECT_EQ(e.downloadLogos, c.downloadLogos) << &c - cases;
        EXPECT_EQ(e.methodRadios, c.methodRadios) << &c - cases;
        EXPECT_EQ(e.sliders, c.sliders) << &c - cases;
    }

    EXPECT_EQ(FileReadMessage(FileReadFailure::None), std::nullopt);
    EXPECT_EQ(FileReadMessage(FileReadFailure::Open), TextId::MSG_MB_DOWNLOAD_ERROR1);
    EXPECT_EQ(FileReadMessage(FileReadFailure::Size), TextId::MSG_MB_DOWNLOAD_ERROR8);
    EXPECT_EQ(FileReadMessage(FileReadFailure::Memory), TextId::MSG_MB_DOWNLOAD_ERROR9);
    EXPECT_EQ(FileReadMessage(FileReadFailure::Seek), TextId::MSG_MB_DOWNLOAD_ERROR10);
    EXPECT_EQ(FileReadMessage(FileReadFailure::Read), TextId::MSG_MB_DOWNLOAD_ERROR2);

    const Bytes logo = test::UniformBitmap24(4, 2, {9, 9, 9});
    EXPECT_EQ(AddedLogoMessage(FileReadFailure::None, logo), std::nullopt);
    EXPECT_EQ(AddedLogoMessage(FileReadFailure::Open, {}), TextId::MSG_MB_DOWNLOAD_ERROR1);
    EXPECT_EQ(AddedLogoMessage(FileReadFailure::Size, {}), TextId::MSG_MB_DOWNLOAD_ERROR2);
    EXPECT_EQ(AddedLogoMessage(FileReadFailure::None, test::UniformBitmap24(1025, 1, {})),
              TextId::MSG_MB_DOWNLOAD_ERROR3);

    EXPECT_EQ(LogoListName(u"C:\\pics/shop\\logo.bmp"), u"logo.bmp");
    EXPECT_EQ(LogoListName(u"logo.bmp"), u"logo.bmp");
    const std::u16string sources[] = {u"a.bmp", u"b.bmp"};
    LogoDownload download;
    EXPECT_EQ(LogoDownloadRefusal(download, sources).has_value(), false);  // Ready: sent
    download.check = LogoDownloadCheck::NoLogos;
    EXPECT_EQ(LogoDownloadRefusal(download, sources)->text, TextId::MSG_MB_DOWNLOAD_ERROR5);
    EXPECT_EQ(LogoDownloadRefusal(download, sources)->file, std::nullopt);
    download.check = LogoDownloadCheck::LogoRefused;
    download.logo = 1;
    EXPECT_EQ(LogoDownloadRefusal(download, sources)->text, TextId::MSG_MB_DOWNLOAD_ERROR12);
    EXPECT_EQ(LogoDownloadRefusal(download, sources)->file, u"b.bmp");
}

// The page writes, marks, replaces and deletes only the copies it made; a user's file of a copy's
// name is told of once and never touched; a marked leftover is taken over.
TEST(LogoWorkingCopies, OnlyThePagesOwnCopiesAreWrittenAndDeleted) {
    MemoryLogoFiles files;
    LogoWorkingCopies copies(files);
    const Bytes mine = {'m', 'i', 'n', 'e'};
    files.files[u"c:\\p\\a.bmp"] = test::UniformBitmap24(4, 2, {200, 200, 200});
    files.files[u"c:\\p\\btemp.bmp"] = mine;
    files.files[u"c:\\p\\ctemp.bmp"] = {'B', 'M', 0x3E, 0, 0, 0, 'M', '4', '5', '0', 0x3E, 0, 0, 0};  // marked

    const CopyOutcome a = copies.Make(u"C:\\p\\A.bmp", LogoType::Gray, {});
    EXPECT_EQ(a.step, Step::Made);
    EXPECT_FALSE(a.taken);
    ASSERT_EQ(a.copy.size(), 1078u + 4 * 2);
    EXPECT_EQ(Bytes(a.copy.begin() + 6, a.copy.begin() + 10), (Bytes{'M', '4', '5', '0'}));
    EXPECT_EQ(files.files[u"c:\\p\\atemp.bmp"], a.copy);
    EXPECT_TRUE(copies.Owns(u"C:\\P\\ATEMP.BMP"));

    const Bytes logo = test::UniformBitmap24(4, 2, {1, 2, 3});
    const CopyOutcome b = copies.Make(u"C:\\p\\b.bmp", logo, LogoType::Mono, {});
    EXPECT_TRUE(b.taken);
    EXPECT_TRUE(b.tell);
    EXPECT_FALSE(copies.Make(u"C:\\p\\b.bmp", logo, LogoType::Gray, {}).tell);  // told once
    EXPECT_EQ(copies.Make(u"C:\\p\\b.gif", Bytes{'G', 'I', 'F'}, LogoType::Mono, {}).step, Step::Stop);

    EXPECT_FALSE(copies.Make(u"C:\\p\\c.bmp", logo, LogoType::Mono, {}).taken);  // the leftover
    EXPECT_EQ(files.files[u"c:\\p\\ctemp.bmp"].size(), 62u + 4 * 2);

    const ListedLogo listed[] = {{logo, {}}, {logo, {}}};
    std::vector<LogoConversion> fresh = {ConvertLogo(LogoType::Gray, logo, {}), ConvertLogo(LogoType::Gray, logo, {})};
    const std::u16string sources[] = {u"C:\\p\\a.bmp", u"C:\\p\\b.bmp"};
    EXPECT_EQ(copies.StoreAll(LogoType::Gray, sources, listed, fresh), u"C:\\p\\bTemp.bmp");

    const std::u16string stillListed[] = {u"c:\\P\\a.bmp"};
    copies.Dropped(u"C:\\p\\a.bmp", stillListed);  // another row lists the same file
    EXPECT_TRUE(files.Exists(u"c:\\p\\atemp.bmp"));
    copies.Dropped(u"C:\\p\\a.bmp", {});
    EXPECT_FALSE(files.Exists(u"c:\\p\\atemp.bmp"));
    copies.DeleteAll();
    EXPECT_FALSE(files.Exists(u"c:\\p\\ctemp.bmp"));
    EXPECT_EQ(files.files[u"c:\\p\\btemp.bmp"], mine);

    files.failWrites = true;  // a copy that cannot be written is not the page's
    EXPECT_TRUE(copies.Make(u"C:\\p\\a.bmp", logo, LogoType::Gray, {}).copy.empty());
    EXPECT_FALSE(copies.Owns(u"C:\\p\\aTemp.bmp"));
}

TEST(LogoWorkingCopies, ThePreviewReadsTheSourceAgainOnlyWhenItChanged) {
    MemoryLogoFiles files;
    LogoWorkingCopies copies(files);
    files.Write(u"a.bmp", Bytes{1, 2}, true);
    EXPECT_EQ(copies.KeptLogo(u"a.bmp"), (Bytes{1, 2}));
    EXPECT_EQ(copies.KeptLogo(u"A.BMP"), (Bytes{1, 2}));  // another spelling: read again
    EXPECT_EQ(copies.KeptLogo(u"A.BMP"), (Bytes{1, 2}));
    EXPECT_EQ(files.reads, 2);
    files.Write(u"a.bmp", Bytes{3, 4}, true);  // written again: a new write time
    EXPECT_EQ(copies.KeptLogo(u"A.BMP"), (Bytes{3, 4}));
    files.Delete(u"a.bmp");
    EXPECT_EQ(copies.KeptLogo(u"A.BMP"), std::nullopt);
    EXPECT_EQ(files.reads, 3);
}

}  // namespace
}  // namespace m450
