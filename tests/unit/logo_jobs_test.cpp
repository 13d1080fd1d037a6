// The logo rasters and the Download page's jobs, byte for byte: column data and plane data
// with pixels checked at their bit positions, the "SELFTEST", "LOGO" and "FIRMWARE" writes,
// the checks before "Download all", and a logo that ends the job half way.
#include "device/logo_jobs.h"

#include "core/text_store.h"
#include "device/logo_conversion.h"
#include "device/logo_raster.h"
#include "fake_spooler.h"
#include "logo_test_images.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace m450 {
namespace {

using test::FakeSpooler;
using Bytes = std::vector<uint8_t>;
using Pixel = std::pair<uint32_t, uint32_t>;  // column, picture row from the top

bool BitAt(const Bytes& bytes, size_t byte, unsigned bit) {
    return (bytes.at(byte) >> bit) & 1;
}

TEST(ClearLogos, ThirteenBytesInThreeWrites) {
    FakeSpooler fake;
    EXPECT_TRUE(SendClearLogos(RawPrinterChannel(fake.Calls())));
    ASSERT_EQ(fake.jobs().size(), 1u);
    EXPECT_EQ(fake.jobs()[0].documentName, u"SELFTEST");
    const std::vector<Bytes> expected = {
        {0x1B, 0x63, 0x3B, 0x01},        // bracket open
        {0x1C, 0x71, 0x00, 0x00, 0x0A},  // define no logos: erase all
        {0x1B, 0x63, 0x3B, 0x00},        // bracket close
    };
    EXPECT_EQ(fake.jobs()[0].writes, expected);
    EXPECT_EQ(fake.LastJobBytes().size(), 13u);
}

TEST(ColumnData, Logo200By100) {
    // Black dots at known places on a white picture; the same picture with either palette order.
    const std::set<Pixel> black = {{0, 0}, {7, 0}, {8, 3}, {199, 99}, {37, 50}, {100, 95}};
    const auto isBlack = [&](uint32_t x, uint32_t row) { return black.count({x, 99 - row}) != 0; };
    const Bytes blackWhite = test::MakeBitmap1(200, 100, [&](uint32_t x, uint32_t row) { return !isBlack(x, row); });
    const Bytes whiteBlack = test::MakeBitmap1(200, 100, isBlack, true);
    for (const Bytes& file : {blackWhite, whiteBlack}) {
        const LogoRaster raster = BuildColumnData(file);
        ASSERT_EQ(raster.problem, BitmapProblem::None);
        EXPECT_EQ(raster.header, (Bytes{0x1C, 0x00, 0x0D, 0x00}));  // x = 28 bytes, y = 13 bands
        ASSERT_EQ(raster.data.size(), 2912u);
        // 13 bands are 104 rows: 4 clear rows above the picture, so picture row t is band
        // (t + 4) / 8, bit 7 − (t + 4) mod 8, in the y bytes of its column. Columns 200 … 223 are clear.
        for (uint32_t c = 0; c < 224; ++c)
            for (uint32_t r = 0; r < 104; ++r)
                ASSERT_EQ(BitAt(raster.data, c * 13 + r / 8, 7 - r % 8), r >= 4 && black.count({c, r - 4}) != 0)
                    << c << ", " << r;
    }
}

TEST(ColumnData, PaletteAndLayoutChecks) {
    const auto all = [](uint32_t, uint32_t) { return true; };
    Bytes grayish = test::MakeBitmap1(9, 9, all);
    grayish[54 + 4] = 128;  // entry 1 is no longer white
    EXPECT_EQ(BuildColumnData(grayish).problem, BitmapProblem::BadPalette);
    EXPECT_EQ(BuildColumnData(test::UniformBitmap8(9, 9, 0)).problem, BitmapProblem::UnsupportedDepth);
    const Bytes good = test::MakeBitmap1(9, 9, all);
    EXPECT_EQ(BuildColumnData(Bytes(good.begin(), good.end() - 1)).problem, BitmapProblem::Truncated);
    // The picture's own bytes are inverted; the padding bits of a black-white file do not print
    // whatever the file holds there.
    Bytes dirty = test::MakeBitmap1(9, 1, all);
    dirty[62 + 1] = 0xFF;  // the bits right of pixel 8
    dirty[62 + 2] = 0xAA;  // padding bytes
    const LogoRaster raster = BuildColumnData(dirty);
    ASSERT_EQ(raster.problem, BitmapProblem::None);
    EXPECT_EQ(raster.data, Bytes(32, 0x00));  // 32 columns of one band, all white
    // The table is read where it is and only as far as it goes: after a V5 information header
    // (124 bytes) the black-then-white table is found; a table of one entry is no palette, and
    // the rows behind it are not read as its second entry.
    const Bytes v5 = test::WithColourTable(good, {{0, 0, 0}, {255, 255, 255}}, 2, 124);
    EXPECT_EQ(BuildColumnData(v5).data, BuildColumnData(good).data);
    const Bytes blank = test::MakeBitmap1(9, 9, [](uint32_t, uint32_t) { return false; });
    Bytes oneEntry = test::WithColourTable(blank, {{0, 0, 0}}, 1);
    oneEntry[59] = 0x7F;  // the first row's unused bits and padding, where entry 1 would be
    oneEntry[60] = oneEntry[61] = 0xFF;
    EXPECT_EQ(BuildColumnData(oneEntry).problem, BitmapProblem::BadPalette);
    // Older headers (12 bytes) and tables that run into the rows are refused.
    Bytes core = good;
    test::PutLe(core, 14, 12, 4);
    EXPECT_EQ(BuildColumnData(core).problem, BitmapProblem::BadColourTable);
    Bytes shortTable = test::WithColourTable(good, {{0, 0, 0}, {255, 255, 255}}, 2);
    test::PutLe(shortTable, 10, 58, 4);
    EXPECT_EQ(BuildColumnData(shortTable).problem, BitmapProblem::BadColourTable);
    // The width 1, height 1 logo: one column byte per dot column of the 32-bit row.
    const LogoRaster dot = BuildColumnData(test::MakeBitmap1(1, 1, [](uint32_t, uint32_t) { return false; }));
    EXPECT_EQ(dot.header, (Bytes{0x04, 0x00, 0x01, 0x00}));
    ASSERT_EQ(dot.data.size(), 32u);
    EXPECT_EQ(dot.data[0], 0x01);  // one picture row, under seven added rows
}

TEST(PlaneData, Logo200By100) {
    // Level 0x5A = 0101 1010 at (3, 0): bits 7, 6, 5, 4 are 0, 1, 0, 1, so planes 0 and 2 print.
    const auto level = [](uint32_t x, uint32_t t) -> uint8_t {
        if (x == 3 && t == 0)
            return 0x5A;
        if (x == 199 && t == 99)
            return 0x00;
        return 0xFF;
    };
    const Bytes gray = test::MakeBitmap8(200, 100, [&](uint32_t x, uint32_t row) { return level(x, 99 - row); });
    const LogoRaster raster = BuildPlaneData(gray);
    ASSERT_EQ(raster.problem, BitmapProblem::None);
    EXPECT_EQ(raster.header, (Bytes{0x01, 0x00, 0x19, 0x00, 0x32, 0x00}));  // a = 25, b = 50
    ASSERT_EQ(raster.data.size(), 10000u);
    std::set<std::pair<size_t, unsigned>> set;  // (byte, bit) of every printing dot
    for (size_t i = 0; i < raster.data.size(); ++i)
        for (unsigned bit = 0; bit < 8; ++bit)
            if (BitAt(raster.data, i, bit))
                set.insert({i, bit});
    // Plane row 4t + j, byte p / 8, bit 7 − p mod 8.
    const std::set<std::pair<size_t, unsigned>> expected = {
        {0 * 25 + 0, 4},    {2 * 25 + 0, 4},                                             // (3, 0)
        {396 * 25 + 24, 0}, {397 * 25 + 24, 0}, {398 * 25 + 24, 0}, {399 * 25 + 24, 0},  // (199, 99)
    };
    EXPECT_EQ(set, expected);
}

TEST(PlaneData, PaddingColumnsAndTrailingRows) {
    // 198 × 101 black: s = 200, so columns 198 and 199 count as white; a = 25, b = 51: 404
    // plane rows of picture and 4 clear ones.
    const LogoRaster raster = BuildPlaneData(test::UniformBitmap8(198, 101, 0));
    ASSERT_EQ(raster.problem, BitmapProblem::None);
    EXPECT_EQ(raster.header, (Bytes{0x01, 0x00, 0x19, 0x00, 0x33, 0x00}));
    ASSERT_EQ(raster.data.size(), 25u * 51 * 8);
    for (size_t row = 0; row < 408; ++row) {
        const Bytes line(raster.data.begin() + row * 25, raster.data.begin() + (row + 1) * 25);
        Bytes expected(25, row < 404 ? 0xFF : 0x00);
        if (row < 404)
            expected[24] = 0xFC;  // 198 and 199 do not print
        ASSERT_EQ(line, expected) << row;
    }
    // Width 1: s = 4, one byte per plane row with bits past column 3 clear.
    const LogoRaster dot = BuildPlaneData(test::UniformBitmap8(1, 1, 0x0F));
    EXPECT_EQ(dot.header, (Bytes{0x01, 0x00, 0x01, 0x00, 0x01, 0x00}));
    EXPECT_EQ(dot.data, (Bytes{0x80, 0x80, 0x80, 0x80, 0, 0, 0, 0}));
    EXPECT_EQ(BuildPlaneData(test::UniformBitmap24(4, 4, {})).problem, BitmapProblem::UnsupportedDepth);
}

std::vector<std::optional<Bytes>> Files(std::initializer_list<std::optional<Bytes>> files) {
    return files;
}

TEST(LogoJob, MonoAndGrayDownloads) {
    const Bytes mono = ConvertToMono(test::PhotoLikeBitmap24(200, 100), {1, 0, 0}).workingCopy;
    const Bytes small = test::MakeBitmap1(8, 8, [](uint32_t x, uint32_t) { return x % 2 == 0; });
    const LogoRaster monoRaster = BuildColumnData(mono), smallRaster = BuildColumnData(small);
    FakeSpooler fake;
    const LogoJob job = BuildLogoJob(LogoType::Mono, Files({mono, small}));
    EXPECT_TRUE(job.complete);
    EXPECT_TRUE(SendLogoJob(RawPrinterChannel(fake.Calls()), job));
    ASSERT_EQ(fake.jobs().size(), 1u);
    EXPECT_EQ(fake.jobs()[0].documentName, u"LOGO");
    const std::vector<Bytes> expected = {
        {0x1B, 0x63, 0x3B, 0x01},                                                                 // bracket open
        {0x1C, 0x71, 0x02},                                                                       // two mono logos
        monoRaster.header,        monoRaster.data, smallRaster.header, smallRaster.data, {0x0A},  // line feed
        {0x1B, 0x63, 0x3B, 0x00},                                                                 // bracket close
    };
    EXPECT_EQ(fake.jobs()[0].writes, expected);
    EXPECT_EQ(monoRaster.header, (Bytes{0x1C, 0x00, 0x0D, 0x00}));

    const Bytes gray = ConvertToGray(test::PhotoLikeBitmap24(200, 100), 0, 0).workingCopy;
    const LogoJob grayJob = BuildLogoJob(LogoType::Gray, Files({gray}));
    ASSERT_EQ(grayJob.writes.size(), 6u);
    EXPECT_EQ(grayJob.writes[1], (Bytes{0x1C, 0x72, 0x01}));
    EXPECT_EQ(grayJob.writes[2], (Bytes{0x01, 0x00, 0x19, 0x00, 0x32, 0x00}));
    EXPECT_EQ(grayJob.writes[3].size(), 10000u);

    // Type "Original" never downloads, and an empty list sends nothing.
    EXPECT_TRUE(BuildLogoJob(LogoType::Original, Files({mono})).writes.empty());
    EXPECT_FALSE(SendLogoJob(RawPrinterChannel(fake.Calls()), BuildLogoJob(LogoType::Mono, Files({}))));
    EXPECT_EQ(fake.jobs().size(), 1u);
}

TEST(LogoJob, ALogoThatCannotBeSentStopsTheWholeJob) {
    const Bytes good = test::MakeBitmap1(8, 8, [](uint32_t, uint32_t) { return true; });
    Bytes badPalette = good;
    badPalette[54] = 7;
    for (const auto& second : {std::optional<Bytes>(badPalette), std::optional<Bytes>()}) {
        FakeSpooler fake;
        const LogoJob job = BuildLogoJob(LogoType::Mono, Files({good, second, good}));
        EXPECT_FALSE(job.complete);
        EXPECT_EQ(job.failedLogo, 1u);
        EXPECT_EQ(job.problem, second ? BitmapProblem::BadPalette : BitmapProblem::Unreadable);
        EXPECT_TRUE(job.writes.empty());  // not even the bracket and 1C 71 03
        EXPECT_FALSE(SendLogoJob(RawPrinterChannel(fake.Calls()), job));
        EXPECT_EQ(fake.Sequence(), "");  // the printer is not told anything
    }
    // A failing write ends the page and the document as well.
    FakeSpooler fake;
    fake.FailOn(FakeSpooler::Call::Write, 3);
    EXPECT_FALSE(SendLogoJob(RawPrinterChannel(fake.Calls()), BuildLogoJob(LogoType::Mono, Files({good}))));
    EXPECT_EQ(fake.Sequence(), "StartDoc StartPage Write Write Write EndPage EndDoc");
}

// The message a refusal shows, as the user reads it; "" where there is none.
std::u16string MessageOf(const LogoDownload& download) {
    const std::optional<TextId> id = LogoDownloadMessage(download.check);
    return id ? std::u16string(KeyOf(*id).defaultText) : std::u16string();
}

std::vector<ListedLogo> Listed(std::initializer_list<std::optional<Bytes>> sources, LogoSettings settings = {}) {
    std::vector<ListedLogo> logos;
    for (const auto& source : sources)
        logos.push_back({source, settings});
    return logos;
}

TEST(LogoDownload, ThePagesChecksComeFirstWithThePagesMessages) {
    const Bytes small = test::UniformBitmap24(16, 8, {200, 200, 200});
    const std::u16string tooBig =
        u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the height must be less "
        u"than 768 Byte!";
    struct Case {
        const char* name;
        LogoType type;
        std::vector<ListedLogo> logos;
        LogoDownloadCheck check;
        std::optional<size_t> logo;
        std::u16string message;
    };
    const std::vector<Case> cases = {
        {"no logos", LogoType::Mono, {}, LogoDownloadCheck::NoLogos, std::nullopt, u"Please select logos first!"},
        {"ten logos", LogoType::Gray, std::vector<ListedLogo>(10, ListedLogo{small, {}}),
         LogoDownloadCheck::TooManyLogos, std::nullopt,
         u"The total counts of the logos is 9,\nplease delete some logos before selecting another logo!"},
        {"unreadable second", LogoType::Mono, Listed({small, std::nullopt}), LogoDownloadCheck::SizeUnknown, 1,
         u"Failed to get the size of logo!"},
        {"61 bytes", LogoType::Gray, Listed({small, Bytes(small.begin(), small.begin() + 61)}),
         LogoDownloadCheck::NoHeaders, 1, u"Failed to get data from the file!"},
        // A 3000-dot-wide logo is too big whatever the method: error diffusion included.
        {"3000 wide", LogoType::Mono, Listed({test::UniformBitmap24(3000, 1, {})}, {3, 0, 0}),
         LogoDownloadCheck::TooBig, 0, tooBig},
        {"1025 wide", LogoType::Gray, Listed({small, test::UniformBitmap8(1025, 1, 0)}), LogoDownloadCheck::TooBig, 1,
         tooBig},
        {"769 high", LogoType::Mono, Listed({test::UniformBitmap8(1, 769, 0)}), LogoDownloadCheck::TooBig, 0, tooBig},
        // 320 × 320 gray copies are 1078 + 102400 bytes: 96 KiB or more.
        {"over 96K", LogoType::Gray, Listed({test::UniformBitmap8(320, 320, 9)}), LogoDownloadCheck::TooLarge,
         std::nullopt, u"The total sizes of all the logos is greater 96K!"},
        {"type Original", LogoType::Original, Listed({small}), LogoDownloadCheck::NoType, std::nullopt, u""},
        {"type Original, no logos",
         LogoType::Original,
         {},
         LogoDownloadCheck::NoLogos,
         std::nullopt,
         u"Please select logos first!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LogoDownload download = PrepareLogoDownload(c.type, c.logos);
        EXPECT_EQ(download.check, c.check);
        EXPECT_EQ(download.logo, c.logo);
        EXPECT_EQ(MessageOf(download), c.message);
        EXPECT_TRUE(download.job.writes.empty());
    }
    // 1024 × 768 itself is taken (its gray copy is then too large; its mono copy is 98366 bytes).
    const Bytes largest = test::UniformBitmap8(1024, 768, 0);
    EXPECT_EQ(CheckAddedLogo(largest), LogoDownloadCheck::Ready);
    EXPECT_EQ(PrepareLogoDownload(LogoType::Mono, Listed({largest})).check, LogoDownloadCheck::TooLarge);
    EXPECT_EQ(CheckAddedLogo(test::UniformBitmap8(1024, 1, 0)), LogoDownloadCheck::Ready);
    // 62 bytes of headers are not yet a bitmap: "Add" lists only what the reader takes.
    EXPECT_EQ(CheckAddedLogo(Bytes(62, 0)), LogoDownloadCheck::Unreadable);
}

TEST(LogoDownload, TheWholeJobOrNothingWithTheLogoThatFailedNamed) {
    const Bytes photo = test::PhotoLikeBitmap24(40, 20);
    const Bytes bits = test::MakeBitmap1(16, 8, [](uint32_t x, uint32_t) { return x % 2 == 0; });
    // Complete: the working copies made afresh, and the same job BuildLogoJob makes of them.
    const LogoDownload mono = PrepareLogoDownload(LogoType::Mono, Listed({photo, bits}, {2, 30, -20}));
    ASSERT_EQ(mono.check, LogoDownloadCheck::Ready);
    EXPECT_EQ(mono.logo, std::nullopt);
    ASSERT_EQ(mono.copies.size(), 2u);
    EXPECT_EQ(mono.copies[0].workingCopy, ConvertToMono(photo, {2, 30, -20}).workingCopy);
    EXPECT_NE(mono.copies[1].result, ConversionResult::Converted);  // the 1-bit logo is sent itself
    EXPECT_TRUE(mono.job.complete);
    EXPECT_EQ(mono.job.writes, BuildLogoJob(LogoType::Mono, Files({mono.copies[0].workingCopy, bits})).writes);
    ASSERT_EQ(mono.job.writes.size(), 8u);
    EXPECT_EQ(mono.job.writes[1], (Bytes{0x1C, 0x71, 0x02}));
    EXPECT_EQ(mono.job.writes[4], (Bytes{0x04, 0x00, 0x01, 0x00}));  // the 1-bit logo: x = 4, y = 1
    EXPECT_EQ(mono.job.writes[7], (Bytes{0x1B, 0x63, 0x3B, 0x00}));

    // Refused logos: the first one that cannot be sent is named with why, and no job is made.
    Bytes fourBit = test::UniformBitmap8(8, 8, 1);
    fourBit[28] = 4;
    Bytes rgba = test::UniformBitmap24(8, 8, {});
    rgba[28] = 32;
    Bytes grayish = bits;
    grayish[54 + 4] = 128;  // entry 1 is not white
    Bytes gif(100, 0);      // a picture of another format: its "width" and "height" are small
    gif[0] = 'G';
    gif[1] = 'I';
    Bytes runsIntoRows = test::WithColourTable(test::UniformBitmap8(8, 8, 3), {{0, 0, 0}}, 0);
    struct Case {
        const char* name;
        LogoType type;
        Bytes file;
        BitmapProblem problem;
    };
    const std::vector<Case> cases = {
        {"4-bit, mono", LogoType::Mono, fourBit, BitmapProblem::UnsupportedDepth},
        {"32-bit, gray", LogoType::Gray, rgba, BitmapProblem::UnsupportedDepth},
        {"1-bit gray-white table, mono", LogoType::Mono, grayish, BitmapProblem::BadPalette},
        {"not a bitmap, gray", LogoType::Gray, gif, BitmapProblem::NotBitmap},
        {"not a bitmap, mono", LogoType::Mono, gif, BitmapProblem::NotBitmap},
        {"table into the rows, mono", LogoType::Mono, runsIntoRows, BitmapProblem::BadColourTable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeSpooler fake;
        const LogoDownload download = PrepareLogoDownload(c.type, Listed({photo, c.file, photo}));
        EXPECT_EQ(download.check, LogoDownloadCheck::LogoRefused);
        EXPECT_EQ(download.logo, 1u);
        EXPECT_EQ(download.problem, c.problem);
        EXPECT_EQ(MessageOf(download), u"");
        EXPECT_TRUE(download.job.writes.empty());
        EXPECT_FALSE(SendLogoJob(RawPrinterChannel(fake.Calls()), download.job));
        EXPECT_EQ(fake.Sequence(), "");
    }
}

TEST(LogoJob, ChecksBeforeDownloading) {
    using Sizes = std::vector<std::optional<uint64_t>>;
    EXPECT_EQ(CheckLogoDownload(Sizes{}), LogoDownloadCheck::NoLogos);
    EXPECT_EQ(CheckLogoDownload(Sizes{1000, std::nullopt}), LogoDownloadCheck::SizeUnknown);
    EXPECT_EQ(CheckLogoDownload(Sizes{98303}), LogoDownloadCheck::Ready);
    EXPECT_EQ(CheckLogoDownload(Sizes{98303, 1}), LogoDownloadCheck::TooLarge);  // 96 KiB is too much
    EXPECT_EQ(CheckLogoDownload(Sizes(9, 10922)), LogoDownloadCheck::Ready);
    EXPECT_EQ(CheckLogoDownload(Sizes(10, 100)), LogoDownloadCheck::TooManyLogos);
    EXPECT_EQ(CheckLogoDownload(Sizes{UINT64_MAX, UINT64_MAX}), LogoDownloadCheck::TooLarge);

    EXPECT_EQ(LogoDownloadMessage(LogoDownloadCheck::Ready), std::nullopt);
    EXPECT_EQ(LogoDownloadMessage(LogoDownloadCheck::NoLogos), TextId::MSG_MB_DOWNLOAD_ERROR5);
    EXPECT_EQ(LogoDownloadMessage(LogoDownloadCheck::SizeUnknown), TextId::MSG_MB_DOWNLOAD_ERROR6);
    EXPECT_EQ(LogoDownloadMessage(LogoDownloadCheck::TooLarge), TextId::MSG_MB_DOWNLOAD_ERROR7);

    // A 1-bit source is sent itself; anything else through its working copy.
    const Bytes bits = test::MakeBitmap1(8, 8, [](uint32_t, uint32_t) { return true; });
    EXPECT_EQ(ChooseMonoLogoFile(Bytes(bits.begin(), bits.begin() + 62)), MonoLogoFile::Source);
    EXPECT_EQ(ChooseMonoLogoFile(test::UniformBitmap24(2, 2, {})), MonoLogoFile::WorkingCopy);
    EXPECT_EQ(ChooseMonoLogoFile(Bytes(bits.begin(), bits.begin() + 40)), MonoLogoFile::WorkingCopy);
}

TEST(FileDownload, OneWriteAndTheWrittenCount) {
    const Bytes file = {0x4A, 0x4B, 0x00, 0xFF, 0x10};
    FakeSpooler fake;
    EXPECT_TRUE(SendFileDownload(RawPrinterChannel(fake.Calls()), file));
    ASSERT_EQ(fake.jobs().size(), 1u);
    EXPECT_EQ(fake.jobs()[0].documentName, u"FIRMWARE");
    EXPECT_EQ(fake.jobs()[0].writes, std::vector<Bytes>{file});  // no bracket

    FakeSpooler shortWrite;
    shortWrite.ReportWritten(4);
    EXPECT_FALSE(SendFileDownload(RawPrinterChannel(shortWrite.Calls()), file));
    FakeSpooler endFails;
    endFails.FailOn(FakeSpooler::Call::EndDoc);
    EXPECT_FALSE(SendFileDownload(RawPrinterChannel(endFails.Calls()), file));

    FakeSpooler empty;
    EXPECT_TRUE(SendFileDownload(RawPrinterChannel(empty.Calls()), {}));
    EXPECT_EQ(empty.Sequence(), "StartDoc StartPage Write EndPage EndDoc");
    EXPECT_EQ(empty.jobs()[0].writes, std::vector<Bytes>{Bytes{}});
}

TEST(LogoList, DeletingARowMovesTheSettingsBehindItUp) {
    LogoSettingsTable table{};
    table[0] = {1, 10, -10};
    table[1] = {2, 20, -20};
    table[2] = {3, 30, -30};
    table[8] = {3, 90, 90};
    RemoveLogoSettings(table, 1);
    EXPECT_EQ(table[0], (LogoSettings{1, 10, -10}));
    EXPECT_EQ(table[1], (LogoSettings{3, 30, -30}));  // logo 3 is now logo 2
    EXPECT_EQ(table[7], (LogoSettings{3, 90, 90}));
    EXPECT_EQ(table[8], LogoSettings{});
    RemoveLogoSettings(table, 9);  // past the table: nothing
    EXPECT_EQ(table[1], (LogoSettings{3, 30, -30}));
}

TEST(LogoList, PreparingALogoForDownload) {
    const Bytes photo = test::PhotoLikeBitmap24(40, 20);
    const LogoSettings settings{2, 30, -20};

    const PreparedLogo mono = PrepareLogo(LogoType::Mono, photo, settings);
    ASSERT_EQ(mono.copy.result, ConversionResult::Converted);
    EXPECT_EQ(mono.copy.workingCopy, ConvertToMono(photo, settings).workingCopy);
    EXPECT_EQ(mono.size, mono.copy.workingCopy.size());
    EXPECT_EQ(mono.sent, mono.copy.workingCopy);

    const PreparedLogo gray = PrepareLogo(LogoType::Gray, photo, settings);
    EXPECT_EQ(gray.sent, ConvertToGray(photo, 30, -20).workingCopy);

    // "Original" previews the mono copy by method 0, whatever the entry says.
    EXPECT_EQ(ConvertLogo(LogoType::Original, photo, settings).workingCopy, ConvertToMono(photo, {}).workingCopy);
    // Settings out of range are clamped, not refused.
    EXPECT_EQ(ConvertLogo(LogoType::Mono, photo, {7, 500, -500}).workingCopy,
              ConvertToMono(photo, {3, 100, -100}).workingCopy);

    // A 1-bit source gets no mono copy: it is counted and sent itself.
    const Bytes bits = test::MakeBitmap1(16, 8, [](uint32_t x, uint32_t) { return x % 2 == 0; });
    const PreparedLogo oneBit = PrepareLogo(LogoType::Mono, bits, {1, 0, 0});
    EXPECT_NE(oneBit.copy.result, ConversionResult::Converted);
    EXPECT_EQ(oneBit.size, bits.size());
    EXPECT_EQ(oneBit.sent, bits);

    // Not a bitmap: a size (the file's) but nothing to send, so the job ends at it.
    const Bytes text = {'h', 'e', 'l', 'l', 'o'};
    const PreparedLogo refused = PrepareLogo(LogoType::Gray, text, {});
    EXPECT_EQ(refused.size, 5u);
    EXPECT_FALSE(refused.sent.has_value());
}

TEST(LogoList, WhatEachTypeMakesOfEachFile) {
    const auto step = [](LogoType type, const Bytes& file) { return WorkingCopyStep(type, ReadBitmapHeader(file)); };
    const Bytes rgb = test::UniformBitmap24(4, 4, {});
    const Bytes indexed = test::UniformBitmap8(4, 4, 0);
    const Bytes bits = test::MakeBitmap1(4, 4, [](uint32_t, uint32_t) { return true; });
    Bytes fourBit = rgb;
    fourBit[28] = 4;
    Bytes notBitmap = rgb;
    notBitmap[0] = 'X';
    const Bytes tooShort(20, 0);
    using S = LogoCopyStep;
    EXPECT_EQ(step(LogoType::Original, rgb), S::Made);
    EXPECT_EQ(step(LogoType::Original, bits), S::SourceItself);
    EXPECT_EQ(step(LogoType::Original, notBitmap), S::SourceItself);
    EXPECT_EQ(step(LogoType::Mono, indexed), S::Made);
    EXPECT_EQ(step(LogoType::Mono, bits), S::SourceItself);
    EXPECT_EQ(step(LogoType::Mono, fourBit), S::SourceItself);
    EXPECT_EQ(step(LogoType::Mono, notBitmap), S::Stop);
    EXPECT_EQ(step(LogoType::Mono, tooShort), S::Stop);
    EXPECT_EQ(step(LogoType::Gray, bits), S::Made);
    EXPECT_EQ(step(LogoType::Gray, fourBit), S::Stop);
    EXPECT_EQ(step(LogoType::Gray, notBitmap), S::Stop);
}

TEST(FileDownload, FilterListFollowsTheLanguageFile) {
    const auto first = [](std::u16string_view name) {
        const std::u16string filter = FileDownloadFilter(name);
        return filter.substr(0, filter.find(u'\0'));
    };
    EXPECT_EQ(first(u"ENG_M450.res"), u"*.JK(Firmware)");
    EXPECT_EQ(first(u"XYZ_M450.res"), u"*.JK(Firmware)");
    EXPECT_EQ(first(u"CHF_M450.res"), u"*.JK(\u76E3\u63A7\u7A0B\u5F0F\u6587\u4EF6)");
    EXPECT_EQ(first(u"chn_m450.RES"), u"*.JK(\u76D1\u63A7\u7A0B\u5E8F\u6587\u4EF6)");

    // Ten strings, each ended by a NUL, and a second NUL after the last.
    const std::u16string english = FileDownloadFilter(u"ENG_M450.res");
    std::vector<std::u16string> parts;
    for (size_t start = 0; start < english.size() && english[start] != u'\0';) {
        const size_t end = english.find(u'\0', start);
        parts.push_back(english.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(parts, (std::vector<std::u16string>{u"*.JK(Firmware)", u"*.JK", u"*.DAT(Data)", u"*.DAT", u"*.FNT(Font)",
                                                  u"*.FNT", u"*.ZK(Font)", u"*.ZK", u"*.EEP(EEPROM)", u"*.EEP"}));
    EXPECT_EQ(english.substr(english.size() - 2), std::u16string(2, u'\0'));
}

}  // namespace
}  // namespace m450
