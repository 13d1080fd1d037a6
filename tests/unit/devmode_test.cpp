// The private record byte for byte: the rendering side and saved documents read these offsets.
#include "core/devmode.h"
#include "little_endian.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

namespace m450 {
namespace {

using test::Le32;
using test::PutLe32;

constexpr std::u16string_view kSystemDir = u"C:\\Windows\\system32";
using Bytes = std::array<uint8_t, kDevModeSize>;

Bytes Filled(uint8_t value) {
    Bytes b;
    b.fill(value);
    return b;
}
PlugInDevMode& AsRecord(Bytes& b) {
    return *reinterpret_cast<PlugInDevMode*>(b.data());
}
Bytes Defaults(uint8_t fill = 0xFF) {
    Bytes b = Filled(fill);
    DefaultDevMode(AsRecord(b), kSystemDir);
    return b;
}

// The pad bytes and log-format flags, which Default writes as 0 like every other byte.
const std::vector<size_t> kUntouched = {151, 297, 298, 299, 933, 999, 1251, 1386, 1387, 1397, 1976, 1977, 1978, 1979};
std::vector<size_t> RecordPads() {
    std::vector<size_t> pads;
    for (size_t i = 0; i < kBarcode1DCount; ++i)
        for (size_t off : {2, 3, 10, 11, 21, 22, 23, 35})
            pads.push_back(596 + 36 * i + off);
    for (size_t t = 0; t < kBarcode2DCount; ++t)
        pads.push_back(884 + 24 * t + 7);
    return pads;
}

TEST(DevModeDefault, WritesHeaderAndEveryDefaultZeroingThePads) {
    const Bytes b = Defaults(0xFF);

    EXPECT_EQ(Le32(b, 0), 1980u);
    EXPECT_EQ(Le32(b, 4), 0x5A45524Eu);  // 'Z' 'E' 'R' 'N', Z most significant
    EXPECT_EQ(b[4], 'N');
    EXPECT_EQ(Le32(b, 8), 1u);
    EXPECT_EQ(Le32(b, 12), 0u);

    // Event blocks: start of document has drawer 12; end of document feeds to cut and cuts partially.
    EXPECT_EQ(b[147], 12);
    EXPECT_EQ(b[309], 1);
    EXPECT_EQ(b[440], 1);
    for (size_t blockStart : {16, 161, 308, 452}) {
        EXPECT_EQ(b[blockStart], 0) << blockStart;  // sendCommand
        for (size_t i = 0; i < 128; ++i)
            ASSERT_EQ(b[blockStart + 2 + i], 0) << blockStart;
    }
    for (size_t off :
         {17,  146, 148, 149, 150, 156, 157, 158, 159, 160, 162, 291, 292, 293, 294, 295, 296, 304, 305, 306, 307,
          438, 439, 441, 442, 443, 448, 449, 450, 451, 452, 453, 582, 583, 584, 585, 586, 587, 592, 593, 594, 595})
        EXPECT_EQ(b[off], 0) << off;
    for (size_t off : {152, 300, 444, 588})
        EXPECT_EQ(Le32(b, off), 0u) << off;

    const uint8_t types1D[] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (size_t i = 0; i < 8; ++i) {
        const size_t r = 596 + 36 * i;
        EXPECT_EQ(b[r + 0], types1D[i]) << i;
        EXPECT_EQ(b[r + 1], 3);
        EXPECT_EQ(Le32(b, r + 4), 163u);
        EXPECT_EQ(b[r + 8], 0);
        EXPECT_EQ(b[r + 9], 0);
        EXPECT_EQ(Le32(b, r + 12), 24u);
        EXPECT_EQ(Le32(b, r + 16), 163u);
        EXPECT_EQ(b[r + 20], 2);
        EXPECT_EQ(Le32(b, r + 24), 100u);
        EXPECT_EQ(Le32(b, r + 28), 2u);
        EXPECT_EQ(b[r + 32], 1);
        EXPECT_EQ(b[r + 33], 1);
        EXPECT_EQ(b[r + 34], 1);
    }
    for (size_t t = 0; t < 2; ++t) {
        const size_t r = 884 + 24 * t;
        const uint8_t bytes[] = {0, 3, 3, 3, 3, 5, 2};
        for (size_t k = 0; k < sizeof(bytes); ++k)
            EXPECT_EQ(b[r + k], bytes[k]) << t << "+" << k;
        EXPECT_EQ(Le32(b, r + 8), 100u);
        EXPECT_EQ(Le32(b, r + 12), 2u);
        const uint8_t tail[] = {2, 4, 1, 1, 3, 0, 1, 1};
        for (size_t k = 0; k < sizeof(tail); ++k)
            EXPECT_EQ(b[r + 16 + k], tail[k]) << t << "+" << 16 + k;
    }

    EXPECT_EQ(b[932], 0);
    for (size_t off = 934; off < 998; ++off)
        ASSERT_EQ(b[off], 0) << off;
    EXPECT_EQ(b[998], 0);
    for (size_t off = 1000; off < 1250; ++off)
        ASSERT_EQ(b[off], 0) << off;
    EXPECT_EQ(b[1250], 0);
    for (size_t off = 1252; off < 1384; ++off)
        ASSERT_EQ(b[off], 0) << off;
    EXPECT_EQ(b[1384], 50);
    EXPECT_EQ(b[1385], 0);
    EXPECT_EQ(Le32(b, 1388), 45u);
    EXPECT_EQ(b[1392], 4);
    EXPECT_EQ(b[1393], 100);
    EXPECT_EQ(b[1394], 50);
    EXPECT_EQ(b[1395], 100);
    EXPECT_EQ(b[1396], 0);
    for (size_t off = 1398; off < 1464; ++off)
        ASSERT_EQ(b[off], 0) << off;

    for (size_t off : kUntouched)
        EXPECT_EQ(b[off], 0) << off;
    for (size_t off : RecordPads())
        EXPECT_EQ(b[off], 0) << off;
}

TEST(DevModeDefault, LogDirectoryIsTheSystemDriveRootThenTheLogFolder) {
    const Bytes b = Defaults(0xFF);
    const std::u16string_view expected = u"C:\\ZERNDriverlog\\KVL-M450";
    for (size_t i = 0; i < 256; ++i) {
        const char16_t unit = static_cast<char16_t>(b[1464 + 2 * i] | (b[1465 + 2 * i] << 8));
        ASSERT_EQ(unit, i < expected.size() ? expected[i] : u'\0') << i;
    }

    // Another drive; a system directory shorter than a root keeps what there is.
    Bytes d = Filled(0);
    DefaultDevMode(AsRecord(d), u"D:\\WINNT\\System32");
    EXPECT_EQ(std::u16string_view(AsRecord(d).logDirectory), u"D:\\ZERNDriverlog\\KVL-M450");
    DefaultDevMode(AsRecord(d), u"");
    EXPECT_EQ(std::u16string_view(AsRecord(d).logDirectory), u"ZERNDriverlog\\KVL-M450");
}

TEST(DevModeConvert, ForeignSignatureGivesExactlyTheDefaults) {
    Bytes in = Filled(0x5A);
    PutLe32(in, 0, 1980);
    PutLe32(in, 4, 0x12345678);
    Bytes out = Filled(0xFF);
    PutLe32(out, 0, 1980);
    PutLe32(out, 4, kPlugInSignature);

    ConvertDevMode(in, &AsRecord(out), kSystemDir);
    EXPECT_EQ(out, Defaults(0xFF));

    // An output whose own header is garbage also ends with our header.
    Bytes garbage = Filled(0xEE);
    ConvertDevMode(in, &AsRecord(garbage), kSystemDir);
    EXPECT_EQ(garbage, Defaults(0xEE));
}

TEST(DevModeConvert, ShorterInputKeepsDefaultsPastItsEnd) {
    // An older 1000-byte record of ours: exactly 1000 readable bytes.
    std::vector<uint8_t> in(1000, 0x33);
    PutLe32(in, 0, 1000);
    PutLe32(in, 4, kPlugInSignature);
    PutLe32(in, 8, 7);

    Bytes out = Defaults(0xFF);
    ConvertDevMode(in, &AsRecord(out), kSystemDir);

    const Bytes defaults = Defaults(0xFF);
    EXPECT_EQ(Le32(out, 0), 1980u);
    EXPECT_EQ(Le32(out, 4), kPlugInSignature);
    EXPECT_EQ(Le32(out, 8), 1u);
    for (size_t i = 12; i < 1000; ++i)
        ASSERT_EQ(out[i], 0x33) << i;
    for (size_t i = 1000; i < kDevModeSize; ++i)
        ASSERT_EQ(out[i], defaults[i]) << i;
}

TEST(DevModeConvert, CopiesNoMoreThanEitherRecordClaimsOrHolds) {
    Bytes in = Filled(0x44);
    PutLe32(in, 4, kPlugInSignature);
    const Bytes defaults = Defaults(0xFF);

    struct Case {
        uint32_t inSize;
        uint32_t outSize;
        size_t readable;
        size_t copied;
    };
    const Case cases[] = {
        {0, 1980, 1980, 0},        // claims nothing: defaults with our header
        {3, 1980, 1980, 3},        // less than a header: header rewritten anyway
        {5000, 1980, 1980, 1980},  // claims more than a record
        {0xFFFFFFFF, 1980, 1980, 1980},
        {1980, 600, 1980, 600},  // the output's size on entry bounds the copy
        {1980, 0, 1980, 0},
        {1500, 1980, 1200, 1200},  // never past what can be read
    };
    for (const Case& c : cases) {
        PutLe32(in, 0, c.inSize);
        Bytes out = Defaults(0xFF);
        PutLe32(out, 0, c.outSize);
        ConvertDevMode(std::span(in).first(c.readable), &AsRecord(out), kSystemDir);
        EXPECT_EQ(Le32(out, 0), 1980u) << c.inSize;
        EXPECT_EQ(Le32(out, 4), kPlugInSignature);
        EXPECT_EQ(Le32(out, 8), 1u);
        for (size_t i = 12; i < kDevModeSize; ++i)
            ASSERT_EQ(out[i], i < c.copied ? 0x44 : defaults[i]) << c.inSize << "/" << c.outSize << " at " << i;
    }

    // An input too short to hold a signature is foreign.
    Bytes out = Filled(0xFF);
    ConvertDevMode(std::span(in).first(6), &AsRecord(out), kSystemDir);
    EXPECT_EQ(out, Defaults(0xFF));
}

TEST(DevModeConvert, NullRecordsDoNothingAndSameBufferIsSafe) {
    Bytes out = Filled(0xAB);
    ConvertDevMode({}, &AsRecord(out), kSystemDir);
    EXPECT_EQ(out, Filled(0xAB));
    Bytes in = Defaults();
    ConvertDevMode(in, nullptr, kSystemDir);
    MergeDevMode(in, nullptr, kSystemDir);

    // The host may hand one buffer as both input and output: the settings survive.
    Bytes same = Defaults();
    AsRecord(same).zoomPercent = 77;
    AsRecord(same).events.endOfPage.buzzer = 5;
    ConvertDevMode(same, &AsRecord(same), kSystemDir);
    EXPECT_EQ(AsRecord(same).zoomPercent, 77);
    EXPECT_EQ(AsRecord(same).events.endOfPage.buzzer, 5);
}

TEST(DevModeMerge, ResetsOnlyReservedValueAbove100AndFixesTheHeader) {
    for (auto [value, expected] : {std::pair{101, 0}, {100, 100}, {-5, -5}, {0x7FFFFFFF, 0}}) {
        Bytes in = Defaults();
        AsRecord(in).reservedValue = value;
        AsRecord(in).zoomPercent = 250;  // out of range, taken over unchanged
        Bytes out = Defaults();
        MergeDevMode(in, &AsRecord(out), kSystemDir);
        EXPECT_EQ(AsRecord(out).reservedValue, expected) << value;
        EXPECT_EQ(AsRecord(out).zoomPercent, 250);
    }

    // With no input the output's header is still put right.
    Bytes out = Defaults();
    PutLe32(out, 0, 12);
    PutLe32(out, 8, 9);
    AsRecord(out).reservedValue = 500;
    MergeDevMode({}, &AsRecord(out), kSystemDir);
    EXPECT_EQ(out, Defaults());
}

TEST(DevModeMerge, DefaultRecordRoundTrips) {
    Bytes in = Defaults(0);
    AsRecord(in).barcode2D[1].qrModel = 2;
    AsRecord(in).logSaveBmp = 1;
    Bytes out = Defaults(0);
    MergeDevMode(in, &AsRecord(out), kSystemDir);
    EXPECT_EQ(out, in);
}

}  // namespace
}  // namespace m450
