// Reading jobs back: every job the driver builds decodes in words with nothing left over, the
// logos of a "Download all" job come back dot for dot, and a stream cut anywhere is told as cut
// without a read past its end.
#include "m450tool/job_decode.h"

#include "barcode/barcode_data.h"
#include "barcode/barcode_jobs.h"
#include "core/devmode.h"
#include "device/logo_jobs.h"
#include "device/self_test_job.h"
#include "job_bytes.h"
#include "logo_test_images.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;
using test::JobBytes;

std::vector<std::string> Lines(const Bytes& stream) {
    const JobDecoding decoding = DecodeJob(stream);
    std::vector<std::string> lines;
    for (const DecodedLine& line : decoding.lines)
        lines.push_back(FormatDecodedLine(stream, line));
    lines.push_back(DecodingSummary(decoding));
    return lines;
}

PlugInDevMode DefaultRecord() {
    PlugInDevMode record{};
    DefaultDevMode(record, u"C:\\Windows\\system32");
    return record;
}

Bytes Barcode1DStream(unsigned type, std::string_view data) {
    Barcode1DSettings settings = DefaultRecord().barcode1D[0];
    settings.barcodeType = static_cast<uint8_t>(type);
    const BarcodeJob job = BuildBarcode1DJob(settings, Bytes(data.begin(), data.end()));
    EXPECT_EQ(job.error, BarcodeJobError::kNone) << "type " << type;
    return JobBytes(job.writes);
}

Bytes Barcode2DStream(unsigned type) {
    Barcode2DSettings settings = DefaultRecord().barcode2D[0];
    settings.barcodeType = static_cast<uint8_t>(type);
    const BarcodeJob job = BuildBarcode2DJob(settings, Bytes(kBarcode2DSample.begin(), kBarcode2DSample.end()));
    EXPECT_EQ(job.error, BarcodeJobError::kNone) << "type " << type;
    return JobBytes(job.writes);
}

Bytes SelfTestStream() {
    Bytes bytes;
    for (std::span<const uint8_t> write : SelfTestWrites())
        bytes.insert(bytes.end(), write.begin(), write.end());
    return bytes;
}

// A picture with something in every row and column, so that a shifted or mirrored decoding shows.
std::vector<uint8_t> Picture(uint32_t width, uint32_t height) {
    return test::MakeBitmap24(width, height, [=](uint32_t x, uint32_t row) {
        return test::PhotoLikePixel(x, height - 1 - row, width, height);
    });
}

struct Logo {
    Bytes source;
    PreparedLogo prepared;
};

Logo Prepare(LogoType type, uint32_t width, uint32_t height) {
    Logo logo{Picture(width, height), {}};
    logo.prepared = PrepareLogo(type, logo.source, {type == LogoType::Mono ? 3 : 0, 10, -20});
    EXPECT_TRUE(logo.prepared.sent.has_value());
    return logo;
}

Bytes LogoStream(LogoType type, const std::vector<Logo>& logos) {
    std::vector<std::optional<Bytes>> files;
    for (const Logo& logo : logos)
        files.push_back(logo.prepared.sent);
    const LogoJob job = BuildLogoJob(type, files);
    EXPECT_TRUE(job.complete);
    return JobBytes(job.writes);
}

uint32_t Le(const Bytes& file, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | file.at(at + i);
    return value;
}

// The working copy's pixel in picture row `row` from the top: a 1-bit copy's bit (set = white),
// an 8-bit copy's level. Rows of a bottom-up file are counted from its last row.
unsigned WorkingCopyPixel(const Bytes& file, uint32_t x, uint32_t row) {
    const uint32_t width = Le(file, 18, 4);
    const int32_t height = static_cast<int32_t>(Le(file, 22, 4));
    const uint32_t bits = Le(file, 28, 2);
    const uint32_t rows = static_cast<uint32_t>(height < 0 ? -height : height);
    const uint32_t fileRow = height < 0 ? row : rows - 1 - row;
    const size_t at = Le(file, 10, 4) + size_t{fileRow} * ((width * bits + 31) / 32 * 4);
    if (bits == 1)
        return (file.at(at + x / 8) >> (7 - x % 8)) & 1;
    return file.at(at + x);
}

TEST(JobDecode, SelfTestAndClearLogosInWords) {
    EXPECT_EQ(Lines(SelfTestStream()),
              (std::vector<std::string>{
                  "00000000  1B 63 3B 01                                                       bracket open",
                  "00000004  1D 28 41 02 00 00 02                                              "
                  "self-test: print the test page (parameters 00 02)",
                  "0000000B  1B 63 3B 00                                                       bracket close",
                  "15 bytes, 3 commands, 0 bytes not understood",
              }));
    EXPECT_EQ(Lines(JobBytes(ClearLogosJob())),
              (std::vector<std::string>{
                  "00000000  1B 63 3B 01                                                       bracket open",
                  "00000004  1C 71 00                                                          "
                  "define 0 mono logos: erase all logos",
                  "00000007  00                                                                NUL (ignored)",
                  "00000008  0A                                                                line feed",
                  "00000009  1B 63 3B 00                                                       bracket close",
                  "13 bytes, 5 commands, 0 bytes not understood",
              }));
}

TEST(JobDecode, BarcodeTestPrintsInWords) {
    const Bytes ean8 = Barcode1DStream(2, "1234567");
    const JobDecoding decoding = DecodeJob(ean8);
    std::vector<std::string> words;
    for (const DecodedLine& line : decoding.lines)
        words.push_back(line.words);
    EXPECT_EQ(words, (std::vector<std::string>{
                         "HRI font: Font A",
                         "HRI position: not printed",
                         "element width: 3 dots",
                         "bar height: 163 dots",
                         "print EAN8, 7 bytes: \"1234567\"",
                         "line feed",
                         "feed to the cut position (+0) and cut the paper",
                     }));
    EXPECT_EQ(DecodingSummary(decoding), "28 bytes, 7 commands, 0 bytes not understood");

    // Code128 with code set C: the setup goes out twice, the first time with no data.
    const auto code128 = Lines(Barcode1DStream(8, "{C123456"));
    ASSERT_EQ(code128.size(), 12u);
    EXPECT_EQ(code128[4],
              "0000000C  1D 6B 49 00                                                       "
              "print Code128, no data");
    EXPECT_EQ(code128[7],
              "00000016  1D 6B 49 05 7B 43 0C 22 38                                        "
              "print Code128, 5 bytes: \"{C\" 12 34 56");
    EXPECT_EQ(code128[8], "0000001F  00                                                                NUL (ignored)");
    EXPECT_EQ(code128[11], "37 bytes, 11 commands, 0 bytes not understood");

    // GS1 DataBar: the setup's type names the data that follows it.
    const auto gs1 = Lines(Barcode1DStream(12, "01234567890123"));
    ASSERT_EQ(gs1.size(), 7u);
    EXPECT_EQ(gs1[2],
              "00000006  1D 73 06 02 64 02 01 02 01 01                                     "
              "GS1 DataBar setup: GS1 DataBar Expanded, element width 2, row height 100, 2D row height 2, "
              "separator height 1, 2 segments per row, HRI primary and secondary data, AI mode 1");
    EXPECT_EQ(gs1[3],
              "00000010  1D 6B 0D 30 31 32 33 34 35 36 37 38 39 30 31 32 ... (18 bytes)    "
              "print GS1 DataBar Expanded, 14 bytes: \"01234567890123\"");

    const auto qr = Lines(Barcode2DStream(4));
    ASSERT_EQ(qr.size(), 5u);
    EXPECT_EQ(qr[0],
              "00000000  1D 6F 00 03 00 01                                                 "
              "QR Code setup: element width 3, language mode Chinese, model 1");
    EXPECT_EQ(qr[1],
              "00000006  1D 6B 0B 4D 41 2C 30 31 32 33 34 35 36 37 38 39 ... (21 bytes)    "
              "print QR Code, error correction M, 14 bytes: \"01234567890123\"");
    const auto pdf417 = Lines(Barcode2DStream(0));
    ASSERT_EQ(pdf417.size(), 6u);
    EXPECT_EQ(pdf417[0],
              "00000000  1D 70 01 01 03 03 03 03                                           "
              "PDF417 setup: 3 rows, 3 columns, element width 3, element height 3");
    EXPECT_EQ(pdf417[1],
              "00000008  1D 71 05                                                          "
              "2D error correction level 5");
}

TEST(JobDecode, EveryJobTheDriverBuildsIsUnderstood) {
    std::vector<std::pair<std::string, Bytes>> jobs = {{"self-test", SelfTestStream()},
                                                       {"clear logos", JobBytes(ClearLogosJob())}};
    for (unsigned type = 0; type < kBarcode1DTypeCount; ++type)
        jobs.push_back({"1D type " + std::to_string(type), Barcode1DStream(type, kBarcode1DTypes[type].sample)});
    for (unsigned type = 0; type < kBarcode2DTypeCount; ++type)
        jobs.push_back({"2D type " + std::to_string(type), Barcode2DStream(type)});
    for (LogoType type : {LogoType::Mono, LogoType::Gray}) {
        std::vector<Logo> nine;
        for (uint32_t i = 0; i < 9; ++i)
            nine.push_back(Prepare(type, 3 + 7 * i, 5 + 3 * i));
        jobs.push_back({"1 logo", LogoStream(type, {Prepare(type, 37, 11)})});
        jobs.push_back({"9 logos", LogoStream(type, nine)});
    }
    for (const auto& [name, stream] : jobs) {
        const JobDecoding decoding = DecodeJob(stream);
        EXPECT_EQ(decoding.notUnderstood, 0u) << name;
        for (const DecodedLine& line : decoding.lines)
            EXPECT_TRUE(line.kind == DecodedLineKind::kCommand || line.kind == DecodedLineKind::kLogo)
                << name << ": " << line.words;
    }

    // 1 mono logo: bracket, definition with its logo line, line feed, bracket.
    const Bytes one = LogoStream(LogoType::Mono, {Prepare(LogoType::Mono, 37, 11)});
    const auto mono = Lines(one);
    ASSERT_EQ(mono.size(), 6u);
    EXPECT_EQ(mono[1].substr(0, 31), "00000004  1C 71 01 08 00 02 00 ");
    EXPECT_EQ(mono[1].substr(57), " ... (135 bytes)   define 1 mono logo");
    EXPECT_EQ(mono[2].substr(0, 10), "00000007  ");
    EXPECT_EQ(mono[2].substr(76), "  logo 1: 64 x 16 dots (x 8, y 2), 128 bytes of column data");
    EXPECT_EQ(mono[5], "144 bytes, 4 commands, 0 bytes not understood");
    const auto gray = Lines(LogoStream(LogoType::Gray, {Prepare(LogoType::Gray, 37, 11)}));
    ASSERT_EQ(gray.size(), 6u);
    EXPECT_EQ(gray[2].substr(76), "  logo 1: 40 x 12 dots (a 5, b 6), 240 bytes of plane data, 16 levels");

    // A file download is the file itself.
    EXPECT_EQ(Lines(Bytes{'J', 'K', 0x00, 0xFF, 0x1B}).at(0),
              "00000000  4A 4B 00 FF 1B                                                    "
              "file data, 5 bytes (starts with no command of this driver: a file download, sent as it is)");
    EXPECT_EQ(DecodingSummary(DecodeJob(Bytes{'J', 'K'})), "2 bytes, 1 command, 0 bytes not understood");
    EXPECT_EQ(DecodingSummary(DecodeJob(Bytes{'J'})), "1 byte, 1 command, 0 bytes not understood");
    EXPECT_EQ(DecodingSummary(DecodeJob(Bytes{})), "0 bytes, 0 commands, 0 bytes not understood");
}

TEST(JobDecode, UnknownBytesAreARunOfData) {
    const Bytes stream = {0x1B, 0x63, 0x3B, 0x01,               // bracket open
                          0x1B, 0x40, 0x41,                     // not a command this driver sends
                          0x1D, 0x99,                           // nor this
                          0x0A,                                 // line feed
                          0x1B, 0x63, 0x3B, 0x07,               // a bracket byte that is neither 00 nor 01
                          0x1C, 0x72, 0x01, 0x02, 0x03, 0x04};  // a gray logo header not starting 01 00
    const JobDecoding decoding = DecodeJob(stream);
    ASSERT_EQ(decoding.lines.size(), 4u);
    EXPECT_EQ(FormatDecodedLine(stream, decoding.lines[1]),
              "00000004  1B 40 41 1D 99                                                    "
              "5 bytes of data, not a command of this driver's jobs");
    EXPECT_EQ(decoding.lines[2].words, "line feed");
    EXPECT_EQ(decoding.lines[3].kind, DecodedLineKind::kData);
    EXPECT_EQ(decoding.lines[3].length, 10u);
    EXPECT_EQ(DecodingSummary(decoding), "20 bytes, 2 commands, 15 bytes not understood");
}

TEST(JobDecode, LogosComeBackDotForDotFromDownloadAll) {
    // Sizes that are not multiples of 8 (nor of 4 or 32), so that every padding rule shows.
    const std::pair<uint32_t, uint32_t> sizes[] = {{13, 5}, {37, 11}, {1, 1}, {70, 17}, {33, 9}};
    for (LogoType type : {LogoType::Mono, LogoType::Gray}) {
        std::vector<Logo> logos;
        for (const auto& [w, h] : sizes)
            logos.push_back(Prepare(type, w, h));
        const JobDecoding decoding = DecodeJob(LogoStream(type, logos), true);
        ASSERT_EQ(decoding.logos.size(), std::size(sizes));
        for (size_t k = 0; k < std::size(sizes); ++k) {
            const auto [w, h] = sizes[k];
            const DecodedLogo& logo = decoding.logos[k];
            const Bytes& copy = logos[k].prepared.copy.workingCopy;
            SCOPED_TRACE(testing::Message() << (type == LogoType::Mono ? "mono " : "gray ") << w << " x " << h);
            EXPECT_EQ(logo.gray, type == LogoType::Gray);
            ASSERT_EQ(logo.dots.size(), size_t{logo.width} * logo.height);
            if (type == LogoType::Mono) {
                // 8x dots wide (x the working copy's row stride), 8y high; rows added on top.
                EXPECT_EQ(logo.width, (w + 31) / 32 * 32);
                EXPECT_EQ(logo.height, (h + 7) / 8 * 8);
                const uint32_t top = logo.height - h;
                for (uint32_t row = 0; row < logo.height; ++row)
                    for (uint32_t x = 0; x < logo.width; ++x) {
                        const bool inside = row >= top && x < w;
                        const unsigned want = inside && !WorkingCopyPixel(copy, x, row - top) ? 0 : 255;
                        ASSERT_EQ(logo.dots[row * logo.width + x], want) << "dot " << x << ", " << row;
                    }
            } else {
                // 8a dots wide (a bytes per plane row of the 4-aligned row), 2b high; rows added below.
                EXPECT_EQ(logo.width, ((w + 3) / 4 * 4 + 7) / 8 * 8);
                EXPECT_EQ(logo.height, (4 * h + 7) / 8 * 2);
                for (uint32_t row = 0; row < logo.height; ++row)
                    for (uint32_t x = 0; x < logo.width; ++x) {
                        const unsigned want = row < h && x < w ? 17 * (WorkingCopyPixel(copy, x, row) >> 4) : 255;
                        ASSERT_EQ(logo.dots[row * logo.width + x], want) << "dot " << x << ", " << row;
                    }
            }
        }
    }
    // Without asking for them, no pictures are made.
    EXPECT_TRUE(DecodeJob(LogoStream(LogoType::Gray, {Prepare(LogoType::Gray, 5, 3)})).logos.empty());
}

TEST(JobDecode, AStreamCutAnywhereSaysWhereItEnds) {
    Bytes job = SelfTestStream();
    for (const Bytes& part :
         {Barcode1DStream(8, "{C1234"), Barcode2DStream(4), LogoStream(LogoType::Gray, {Prepare(LogoType::Gray, 5, 3)}),
          LogoStream(LogoType::Mono, {Prepare(LogoType::Mono, 3, 2), Prepare(LogoType::Mono, 9, 1)})})
        job.insert(job.end(), part.begin(), part.end());
    const size_t wholeCommands = DecodeJob(job).commands;
    for (size_t cut = 1; cut < job.size(); ++cut) {
        // A copy of exactly `cut` bytes, so that the sanitizers catch any read past it.
        const Bytes stream(job.begin(), job.begin() + static_cast<std::ptrdiff_t>(cut));
        const JobDecoding decoding = DecodeJob(stream, true);
        SCOPED_TRACE(cut);
        // The lines cover the stream once, in order; logo lines lie inside their command.
        size_t next = 0, notUnderstood = 0;
        for (const DecodedLine& line : decoding.lines) {
            if (line.kind == DecodedLineKind::kLogo)
                continue;
            EXPECT_EQ(line.offset, next);
            next += line.length;
            if (line.kind == DecodedLineKind::kData || line.kind == DecodedLineKind::kTruncated)
                notUnderstood += line.length;
        }
        EXPECT_EQ(next, cut);
        EXPECT_EQ(decoding.notUnderstood, notUnderstood);
        EXPECT_LE(decoding.commands, wholeCommands);
        // The job's commands only ever end where a write of the job ends, or are cut.
        const DecodedLine& last = decoding.lines.back();
        if (last.kind == DecodedLineKind::kTruncated) {
            EXPECT_NE(last.words.find("the stream ends inside it"), std::string::npos) << last.words;
            EXPECT_EQ(decoding.notUnderstood, last.length);
        } else {
            EXPECT_EQ(decoding.notUnderstood, 0u) << last.words;
        }
    }
    EXPECT_EQ(DecodeJob(Bytes{0x1C, 0x71, 0x01, 0x04, 0x00, 0x01, 0x00, 0xFF}).lines.at(0).words,
              "define 1 mono logo, logo 1's data (31 bytes short): the stream ends inside it");
    EXPECT_EQ(DecodeJob(Bytes{0x1B, 0x63}).lines.at(0).words, "bracket (2 bytes short): the stream ends inside it");
    EXPECT_EQ(DecodeJob(Bytes{0x1D, 0x6B, 0x02, 0x31, 0x32}).lines.at(0).words,
              "print EAN13, no 00 after its 2 bytes: the stream ends inside it");
}

}  // namespace
}  // namespace m450
