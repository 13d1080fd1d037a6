// The barcode test prints byte for byte: the 4-write and 7-write 1D forms, the GS1 DataBar
// setup of both pages, the four 2D setups, and nothing sent when the data or the record is
// refused.
#include "barcode/barcode_jobs.h"

#include "fake_spooler.h"

#include <gtest/gtest.h>

#include <string_view>

namespace m450 {
namespace {

using test::FakeSpooler;
using Bytes = std::vector<uint8_t>;

const Bytes kEnd = {0x00};
const Bytes kTrailer = {0x0A, 0x1D, 0x56, 0x42, 0x00};

Bytes B(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

PlugInDevMode DefaultRecord() {
    PlugInDevMode record{};
    DefaultDevMode(record, u"C:\\Windows\\system32");
    return record;
}

Barcode1DSettings Default1D(uint8_t type) {
    Barcode1DSettings s = DefaultRecord().barcode1D[0];
    s.barcodeType = type;
    return s;
}

Barcode2DSettings Default2D(uint8_t type) {
    Barcode2DSettings s = DefaultRecord().barcode2D[0];
    s.barcodeType = type;
    return s;
}

// Sends through the fake spooler and returns its one job's writes.
JobWrites Printed1D(const Barcode1DSettings& s, std::string_view data) {
    FakeSpooler fake;
    EXPECT_EQ(SendBarcode1DTestPrint(RawPrinterChannel(fake.Calls()), s, B(data)), TestPrintResult::kPrinted);
    EXPECT_EQ(fake.jobs().size(), 1u);
    if (fake.jobs().empty())
        return {};
    EXPECT_EQ(fake.jobs()[0].documentName, u"Barcode");
    return fake.jobs()[0].writes;
}

JobWrites Printed2D(const Barcode2DSettings& s, const Bytes& data) {
    FakeSpooler fake;
    EXPECT_EQ(SendBarcode2DTestPrint(RawPrinterChannel(fake.Calls()), s, data), TestPrintResult::kPrinted);
    EXPECT_EQ(fake.jobs().size(), 1u);
    if (fake.jobs().empty())
        return {};
    EXPECT_EQ(fake.jobs()[0].documentName, u"2Dcode");
    return fake.jobs()[0].writes;
}

TEST(Barcode1DJob, GeneralTypesSendSetupDataEndAndTrailer) {
    const Bytes kUpcASetup = {
        0x1D, 0x66, 0x00,  // HRI Font A
        0x1D, 0x48, 0x00,  // HRI not printed
        0x1D, 0x77, 0x03,  // element width 3
        0x1D, 0x68, 0xA3,  // bar height 163
        0x1D, 0x6B, 0x00,  // UPC-A
    };
    EXPECT_EQ(Printed1D(Default1D(0), "123456789012"), (JobWrites{kUpcASetup, B("123456789012"), kEnd, kTrailer}));

    // EAN8 (list entry 2) is the printer's 03, EAN13 (entry 3) its 02.
    EXPECT_EQ(Printed1D(Default1D(2), "12345678")[0].back(), 0x03);
    EXPECT_EQ(Printed1D(Default1D(2), "1234567")[1], B("1234567"));
    EXPECT_EQ(Printed1D(Default1D(3), "1234567890123")[0].back(), 0x02);

    // Font B is any non-zero font; a position above 3 is sent as 0; the height's low byte.
    Barcode1DSettings s = Default1D(6);
    s.hriFont = 5;
    s.hriPosition = 3;
    s.elementWidth = 6;
    s.elementHeight = 0x1FF;
    EXPECT_EQ(Printed1D(s, "A123456789A")[0],
              (Bytes{0x1D, 0x66, 0x01, 0x1D, 0x48, 0x03, 0x1D, 0x77, 0x06, 0x1D, 0x68, 0xFF, 0x1D, 0x6B, 0x06}));
    s.hriPosition = 4;
    EXPECT_EQ(Printed1D(s, "A123456789A")[0][5], 0x00);
}

TEST(Barcode1DJob, Code93AndCode128SendTheSetupTwiceWithALengthByte) {
    const Bytes kSetup = {0x1D, 0x66, 0x00, 0x1D, 0x48, 0x00, 0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x49};
    const Bytes kRepeat = {0x1D, 0x77, 0x03, 0x1D, 0x68, 0xA3, 0x1D, 0x6B, 0x49};
    EXPECT_EQ(Printed1D(Default1D(8), "{A1234"),
              (JobWrites{kSetup, kEnd, kRepeat, {0x06}, B("{A1234"), kEnd, kTrailer}));
    // Code set C goes out packed, with the packed length.
    EXPECT_EQ(Printed1D(Default1D(8), "{C123456"),
              (JobWrites{kSetup, kEnd, kRepeat, {0x05}, {0x7B, 0x43, 0x0C, 0x22, 0x38}, kEnd, kTrailer}));

    const JobWrites code93 = Printed1D(Default1D(7), "123ABC");
    ASSERT_EQ(code93.size(), 7u);
    EXPECT_EQ(code93[0].back(), 0x48);
    EXPECT_EQ(code93[2].back(), 0x48);
    EXPECT_EQ(code93[3], Bytes{0x06});
    // The longest data still fits its length byte.
    EXPECT_EQ(Printed1D(Default1D(7), std::string(255, 'A'))[3], Bytes{0xFF});
}

TEST(Barcode1DJob, Gs1DataBarSendsItsOwnSetup) {
    const uint8_t kTypeCodes[] = {0x01, 0x02, 0x05, 0x06};
    for (uint8_t type = 9; type <= 12; ++type) {
        SCOPED_TRACE(int(type));
        const Bytes setup = {
            0x1D, 0x66, 0x00,  // no HRI font
            0x1D, 0x48, 0x00,  // nor position of its own
            0x1D, 0x73, kTypeCodes[type - 9],
            0x02,        // element width
            0x64,        // row height 100
            0x02,        // 2D row height
            0x01,        // separator height
            0x02,        // two segments per row on the 1D page
            0x01, 0x01,  // HRI content, AI mode
            0x1D, 0x6B, 0x0D,
        };
        EXPECT_EQ(Printed1D(Default1D(type), "01234567890123"),
                  (JobWrites{setup, B("01234567890123"), kEnd, kTrailer}));
    }
    Barcode1DSettings s = Default1D(12);
    s.gs1RowHeight = 0x1FA;
    s.gs1CompositeRowHeight = 0x10A;
    const Bytes setup = Printed1D(s, "01")[0];
    EXPECT_EQ(setup[10], 0xFA);
    EXPECT_EQ(setup[11], 0x0A);
}

TEST(Barcode1DJob, RefusedDataOrTypeSendsNothing) {
    FakeSpooler fake;
    const RawPrinterChannel channel(fake.Calls());
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(9), B(std::string(41, '0'))), TestPrintResult::kInvalidData);
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(2), B("123456789")), TestPrintResult::kInvalidData);
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(8), B("{C12345")), TestPrintResult::kInvalidData);
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(0), {}), TestPrintResult::kInvalidData);
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(13), B("123456789012")), TestPrintResult::kUnknownSetting);
    EXPECT_EQ(fake.Sequence(), "");

    fake.FailOn(FakeSpooler::Call::Write, 2);
    EXPECT_EQ(SendBarcode1DTestPrint(channel, Default1D(0), B("123456789012")), TestPrintResult::kSpoolerFailed);
    EXPECT_EQ(fake.Count(FakeSpooler::Call::EndDoc), 1);
}

TEST(Barcode2DJob, FreshPdf417) {
    const Bytes kSetup = {
        0x1D, 0x70, 0x01, 0x01,  // PDF417 sizes:
        0x03, 0x03,              // rows, columns
        0x03, 0x03,              // element width, element height
        0x1D, 0x71, 0x05,        // error correction level 5
        0x1D, 0x6B, 0x0A,        // PDF417 barcode
    };
    EXPECT_EQ(Printed2D(Default2D(0), B("01234567890123")), (JobWrites{kSetup, B("01234567890123"), kEnd, kTrailer}));

    Barcode2DSettings s = Default2D(0);
    s.pdf417Rows = 90;
    s.pdf417Columns = 30;
    s.pdf417ElementWidth = 7;
    s.pdf417ElementHeight = 25;
    s.pdf417ErrorCorrection = 8;
    EXPECT_EQ(Printed2D(s, B("x"))[0], (Bytes{0x1D, 0x70, 0x01, 0x01, 90, 30, 7, 25, 0x1D, 0x71, 8, 0x1D, 0x6B, 0x0A}));
}

TEST(Barcode2DJob, Gs1StackedSendsTheSegmentNumber) {
    const uint8_t kTypeCodes[] = {0x03, 0x04, 0x07};
    for (uint8_t type = 1; type <= 3; ++type) {
        Barcode2DSettings s = Default2D(type);
        s.gs1SegmentsPerRow = 20;
        const Bytes setup = {
            0x1D, 0x66, 0x00,                  // no HRI font
            0x1D, 0x48, 0x00,                  // nor position
            0x1D, 0x73, kTypeCodes[type - 1],  // GS1 DataBar type
            0x02, 0x64, 0x02,                  // element width, row height, 2D row height
            0x02, 0x14, 0x01,                  // separator height, 20 segments per row, HRI content
            0x01, 0x1D, 0x6B,                  // AI mode, barcode
            0x0D,                              //
        };
        EXPECT_EQ(Printed2D(s, B("0123")), (JobWrites{setup, B("0123"), kEnd, kTrailer})) << int(type);
    }
    // "#" is outside the GS1 set; PDF417 takes any byte.
    FakeSpooler fake;
    EXPECT_EQ(SendBarcode2DTestPrint(RawPrinterChannel(fake.Calls()), Default2D(3), B("01#23")),
              TestPrintResult::kInvalidData);
    EXPECT_TRUE(fake.jobs().empty());
    EXPECT_EQ(Printed2D(Default2D(0), B("01#23"))[1], B("01#23"));
}

TEST(Barcode2DJob, QrCodeLetterAComma) {
    Barcode2DSettings s = Default2D(4);
    const Bytes kSetup = {
        0x1D, 0x6F, 0x00,  // QR parameters:
        0x03,              // element width
        0x00,              // language mode
        0x01,              // model 1
        0x1D, 0x6B, 0x0B,  // QR barcode
        0x4D, 0x41, 0x2C,  // "M", "A", ","
    };
    EXPECT_EQ(Printed2D(s, B("AB")), (JobWrites{kSetup, B("AB"), kEnd, kTrailer}));
    // The list shows L, M, H, Q.
    const uint8_t kLetters[] = {0x4C, 0x4D, 0x48, 0x51};
    for (uint8_t level = 0; level < 4; ++level) {
        s.qrErrorCorrection = level;
        EXPECT_EQ(Printed2D(s, B("AB"))[0][9], kLetters[level]);
    }
    s.qrErrorCorrection = 4;
    FakeSpooler fake;
    EXPECT_EQ(SendBarcode2DTestPrint(RawPrinterChannel(fake.Calls()), s, B("AB")), TestPrintResult::kUnknownSetting);
    EXPECT_TRUE(fake.jobs().empty());
}

TEST(Barcode2DJob, MaxiCodeTakesAtMost84Bytes) {
    const Bytes data84(84, 0xE9);
    EXPECT_EQ(Printed2D(Default2D(5), data84),
              (JobWrites{{0x1D, 0x71, 0x00, 0x1D, 0x6B, 0x0C}, data84, kEnd, kTrailer}));
    FakeSpooler fake;
    EXPECT_EQ(SendBarcode2DTestPrint(RawPrinterChannel(fake.Calls()), Default2D(5), Bytes(85, 'A')),
              TestPrintResult::kInvalidData);
    EXPECT_EQ(SendBarcode2DTestPrint(RawPrinterChannel(fake.Calls()), Default2D(6), B("A")),
              TestPrintResult::kUnknownSetting);
    EXPECT_TRUE(fake.jobs().empty());
}

}  // namespace
}  // namespace m450
