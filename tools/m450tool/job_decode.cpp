#include "m450tool/job_decode.h"

#include "barcode/barcode_data.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string_view>

namespace m450 {
namespace {

// How much of a barcode's data a line quotes; the byte count says how much there is.
constexpr size_t kQuotedDataBytes = 64;
// The bytes column of a line: 16 bytes and a "... (N bytes)" for longer lines.
constexpr size_t kFirstBytesShown = 16;
constexpr size_t kBytesColumnWidth = 64;

enum class Match { kNone, kComplete, kTruncated };

struct Parsed {
    Match match = Match::kNone;
    size_t length = 0;  // complete: the command's bytes; truncated: the bytes left in the stream
    std::string words;
    std::vector<DecodedLine> logoLines;
    std::vector<DecodedLogo> logos;
};

std::string Ascii(std::u16string_view text) {
    std::string out;
    for (char16_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

std::string Hex2(uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof(text), "%02X", value);
    return text;
}

std::string Plural(uint64_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// Printable ASCII as it is, every other byte as \xHH, in quotes; long data is cut with "...".
std::string Quoted(std::span<const uint8_t> data) {
    std::string out = "\"";
    for (size_t i = 0; i < data.size() && i < kQuotedDataBytes; ++i) {
        const uint8_t c = data[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\')
            out += static_cast<char>(c);
        else
            out += "\\x" + Hex2(c);
    }
    out += data.size() > kQuotedDataBytes ? "\"..." : "\"";
    return out;
}

// Code128 data: the "{A", "{B", "{C" code-set switches quoted with the text around them; inside
// code set C each byte is a pair of digits, shown as its two-digit number.
std::string Code128Words(std::span<const uint8_t> data) {
    std::string out;
    std::vector<uint8_t> text;
    bool codeC = false;
    const auto flushText = [&] {
        if (text.empty())
            return;
        if (!out.empty())  // appended in steps: one expression gives GCC 12 a false -Wrestrict
            out += ' ';
        out += Quoted(text);
        text.clear();
    };
    for (size_t i = 0; i < data.size() && i < kQuotedDataBytes; ++i) {
        if (data[i] == '{' && i + 1 < data.size()) {
            if (codeC)
                flushText();
            text.push_back(data[i]);
            text.push_back(data[i + 1]);
            codeC = data[i + 1] == 'C';
            ++i;
            continue;
        }
        if (codeC && data[i] < 100) {
            flushText();
            char pair[8];
            std::snprintf(pair, sizeof(pair), " %02u", static_cast<unsigned>(data[i]));
            out += pair;
        } else {
            text.push_back(data[i]);
        }
    }
    flushText();
    if (data.size() > kQuotedDataBytes)
        out += "...";
    return out;
}

std::string DataWords(std::span<const uint8_t> data) {
    return Plural(data.size(), "byte", "bytes") + (data.empty() ? "" : ": " + Quoted(data));
}

std::string Gs1TypeName(uint8_t typeCode) {
    for (const Barcode1DType& type : kBarcode1DTypes)
        if (type.form == Barcode1DJobForm::kGs1DataBar && type.commandByte == typeCode)
            return Ascii(type.listText);
    for (const Barcode2DType& type : kBarcode2DTypes)
        if (type.kind == Barcode2DKind::kGs1DataBarStacked && type.gs1TypeCode == typeCode)
            return Ascii(type.listText);
    return "GS1 DataBar type " + Hex2(typeCode) + " (not one of this driver's)";
}

// The 1D symbology bytes that end their data with 00 (list texts of the 1D page).
const Barcode1DType* GeneralSymbology(uint8_t m) {
    for (const Barcode1DType& type : kBarcode1DTypes)
        if (type.form != Barcode1DJobForm::kGs1DataBar && type.commandByte == m)
            return &type;
    return nullptr;
}

std::string HriFontWords(uint8_t f) {
    return f == 0 ? "Font A" : f == 1 ? "Font B" : Hex2(f) + " (not a font of this printer)";
}

std::string HriPositionWords(uint8_t p) {
    static constexpr std::string_view kPositions[] = {"not printed", "above the barcode", "below the barcode",
                                                      "above and below the barcode"};
    return p < std::size(kPositions) ? std::string(kPositions[p]) : Hex2(p) + " (not a position of this printer)";
}

std::string Gs1HriWords(uint8_t i) {
    static constexpr std::string_view kContents[] = {"primary and secondary data", "primary data", "secondary data",
                                                     "none"};
    return i >= 1 && i <= 4 ? std::string(kContents[i - 1]) : Hex2(i);
}

class Decoder {
  public:
    Decoder(std::span<const uint8_t> stream, bool withLogos) : s_(stream), withLogos_(withLogos) {}

    // What the command starting at p is, if any. Reads only inside the stream.
    Parsed At(size_t p) {
        switch (s_[p]) {
            case 0x00:
                return Complete(1, "NUL (ignored)");
            case 0x0A:
                return Complete(1, "line feed");
            case 0x1B:
                return Bracket(p);
            case 0x1C:
                return Logos(p);
            case 0x1D:
                return GroupSeparator(p);
        }
        return {};
    }

  private:
    size_t Left(size_t p) const { return s_.size() - p; }

    static Parsed Complete(size_t length, std::string words) {
        Parsed parsed;
        parsed.match = Match::kComplete;
        parsed.length = length;
        parsed.words = std::move(words);
        return parsed;
    }

    Parsed Truncated(size_t p, std::string words) const {
        Parsed parsed;
        parsed.match = Match::kTruncated;
        parsed.length = Left(p);
        parsed.words = std::move(words) + ": the stream ends inside it";
        return parsed;
    }

    // The stream holds `prefix` at p, or as much of it as the stream has left.
    Match Prefix(size_t p, std::initializer_list<uint8_t> prefix) const {
        size_t i = 0;
        for (uint8_t byte : prefix) {
            if (i == Left(p))
                return Match::kTruncated;
            if (s_[p + i] != byte)
                return Match::kNone;
            ++i;
        }
        return Match::kComplete;
    }

    // A command of `length` bytes that begins with `prefix`; `words` gets its bytes.
    template <typename Words>
    Parsed Fixed(size_t p, std::initializer_list<uint8_t> prefix, size_t length, std::string_view name, Words words)
        const {
        const Match match = Prefix(p, prefix);
        if (match == Match::kNone)
            return {};
        if (match == Match::kTruncated || Left(p) < length) {
            const size_t shortBy = length - std::min(length, Left(p));
            return Truncated(p, std::string(name) + " (" + Plural(shortBy, "byte", "bytes") + " short)");
        }
        return Complete(length, words(s_.subspan(p, length)));
    }

    Parsed Bracket(size_t p) const {
        if (Left(p) >= 4 && Prefix(p, {0x1B, 0x63, 0x3B}) == Match::kComplete && s_[p + 3] > 1)
            return {};
        return Fixed(p, {0x1B, 0x63, 0x3B}, 4, "bracket", [](std::span<const uint8_t> b) {
            return std::string(b[3] == 1 ? "bracket open" : "bracket close");
        });
    }

    Parsed GroupSeparator(size_t p) {
        if (Left(p) < 2)
            return Truncated(p, "a 1D command (1 byte of at least 2)");
        using Bytes = std::span<const uint8_t>;
        switch (s_[p + 1]) {
            case 0x28:
                return Fixed(p, {0x1D, 0x28, 0x41, 0x02, 0x00}, 7, "self-test", [](Bytes b) {
                    return "self-test: print the test page (parameters " + Hex2(b[5]) + " " + Hex2(b[6]) + ")";
                });
            case 0x66:
                return Fixed(p, {0x1D, 0x66}, 3, "HRI font", [](Bytes b) { return "HRI font: " + HriFontWords(b[2]); });
            case 0x48:
                return Fixed(p, {0x1D, 0x48}, 3, "HRI position",
                             [](Bytes b) { return "HRI position: " + HriPositionWords(b[2]); });
            case 0x77:
                return Fixed(p, {0x1D, 0x77}, 3, "element width",
                             [](Bytes b) { return "element width: " + Plural(b[2], "dot", "dots"); });
            case 0x68:
                return Fixed(p, {0x1D, 0x68}, 3, "bar height",
                             [](Bytes b) { return "bar height: " + Plural(b[2], "dot", "dots"); });
            case 0x73: {
                Parsed parsed = Fixed(p, {0x1D, 0x73}, 10, "GS1 DataBar setup", [](Bytes b) {
                    return "GS1 DataBar setup: " + Gs1TypeName(b[2]) + ", element width " + std::to_string(b[3]) +
                           ", row height " + std::to_string(b[4]) + ", 2D row height " + std::to_string(b[5]) +
                           ", separator height " + std::to_string(b[6]) + ", " + std::to_string(b[7]) +
                           " segments per row, HRI " + Gs1HriWords(b[8]) + ", AI mode " + std::to_string(b[9]);
                });
                if (parsed.match == Match::kComplete)
                    gs1Type_ = s_[p + 2];
                return parsed;
            }
            case 0x70:
                return Fixed(p, {0x1D, 0x70, 0x01, 0x01}, 8, "PDF417 setup", [](Bytes b) {
                    return "PDF417 setup: " + Plural(b[4], "row", "rows") + ", " + Plural(b[5], "column", "columns") +
                           ", element width " + std::to_string(b[6]) + ", element height " + std::to_string(b[7]);
                });
            case 0x71:
                return Fixed(p, {0x1D, 0x71}, 3, "error correction",
                             [](Bytes b) { return "2D error correction level " + std::to_string(b[2]); });
            case 0x6F:
                return Fixed(p, {0x1D, 0x6F, 0x00}, 6, "QR Code setup", [](Bytes b) {
                    const std::string language = b[4] == 0 ? "Chinese" : b[4] == 1 ? "Japanese" : Hex2(b[4]);
                    return "QR Code setup: element width " + std::to_string(b[3]) + ", language mode " + language +
                           ", model " + std::to_string(b[5]);
                });
            case 0x56:
                return Fixed(p, {0x1D, 0x56, 0x42}, 4, "cut", [](Bytes b) {
                    return "feed to the cut position (+" + std::to_string(b[3]) + ") and cut the paper";
                });
            case 0x6B:
                return Barcode(p);
        }
        return {};
    }

    // 1D 6B m and its data: ended by 00, or counted by a length byte for Code93 and Code128.
    Parsed Barcode(size_t p) const {
        if (Left(p) < 3)
            return Truncated(p, "print barcode");
        const uint8_t m = s_[p + 2];
        if (m == kSymbologyCode93 || m == kSymbologyCode128) {
            const std::string name = m == kSymbologyCode93 ? "Code93" : "Code128";
            if (Left(p) < 4)
                return Truncated(p, "print " + name + " (no length byte)");
            const size_t count = s_[p + 3];
            if (Left(p) < 4 + count)
                return Truncated(p, "print " + name + " of " + Plural(count, "byte", "bytes") + " (" +
                                        Plural(4 + count - Left(p), "byte", "bytes") + " short)");
            const auto data = s_.subspan(p + 4, count);
            if (count == 0)
                return Complete(4, "print " + name + ", no data");
            return Complete(4 + count, "print " + name + ", " + Plural(count, "byte", "bytes") + ": " +
                                           (m == kSymbologyCode128 ? Code128Words(data) : Quoted(data)));
        }
        std::string name;
        if (const Barcode1DType* type = GeneralSymbology(m))
            name = Ascii(type->listText);
        else if (m == 0x0A)
            name = "PDF417";
        else if (m == 0x0B)
            name = "QR Code";
        else if (m == 0x0C)
            name = "Maxi Code";
        else if (m == 0x0D)
            name = gs1Type_ ? Gs1TypeName(gs1Type_) : "GS1 DataBar (no type set before it)";
        else
            return {};
        const auto rest = s_.subspan(p + 3);
        const auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
        if (end == rest.end())
            return Truncated(p, "print " + name + ", no 00 after its " + Plural(rest.size(), "byte", "bytes"));
        const auto data = rest.first(static_cast<size_t>(end - rest.begin()));
        const size_t length = 3 + data.size() + 1;
        if (m == 0x0B && data.size() >= 3 && data[1] == 'A' && data[2] == ',' &&
            std::string_view("LMHQ").find(static_cast<char>(data[0])) != std::string_view::npos)
            return Complete(length, "print QR Code, error correction " + std::string(1, static_cast<char>(data[0])) +
                                        ", " + DataWords(data.subspan(3)));
        return Complete(length, "print " + name + ", " + DataWords(data));
    }

    // 1C 71 n (mono) or 1C 72 n (gray), then n logos, each a header and its data.
    Parsed Logos(size_t p) {
        if (Left(p) < 2)
            return Truncated(p, "logo definition");
        const bool gray = s_[p + 1] == 0x72;
        if (s_[p + 1] != 0x71 && !gray)
            return {};
        const std::string kind = gray ? "gray" : "mono";
        if (Left(p) < 3)
            return Truncated(p, "define " + kind + " logos");
        const unsigned n = s_[p + 2];
        const std::string what = "define " + Plural(n, kind + " logo", kind + " logos");
        const size_t headerLength = gray ? 6 : 4;
        Parsed parsed;
        size_t q = p + 3;
        for (unsigned k = 1; k <= n; ++k) {
            const std::string logo = "logo " + std::to_string(k);
            if (Left(q) < headerLength) {
                if (gray && Prefix(q, {0x01, 0x00}) == Match::kNone)
                    return {};
                return Truncated(p, what + ", " + logo + "'s header");
            }
            if (gray && Prefix(q, {0x01, 0x00}) != Match::kComplete)
                return {};
            const size_t h = gray ? 2 : 0;
            const uint64_t first = s_[q + h] | uint64_t{s_[q + h + 1]} << 8;
            const uint64_t second = s_[q + h + 2] | uint64_t{s_[q + h + 3]} << 8;
            const uint64_t dataLength = first * second * 8;  // at most 65535² × 8: no overflow in 64 bits
            if (dataLength > Left(q + headerLength))
                return Truncated(p, what + ", " + logo + "'s data (" +
                                        Plural(dataLength - Left(q + headerLength), "byte", "bytes") + " short)");
            const auto data = s_.subspan(q + headerLength, static_cast<size_t>(dataLength));
            // Mono: x bytes per row, so 8x dots wide, in y bands of 8 rows. Gray: a bytes per plane
            // row, 8b plane rows of which four make one row of dots.
            const uint64_t width = 8 * first;
            const uint64_t height = gray ? 2 * second : 8 * second;
            DecodedLine line;
            line.offset = q;
            line.length = headerLength + data.size();
            line.kind = DecodedLineKind::kLogo;
            line.words = "  " + logo + ": " + std::to_string(width) + " x " + std::to_string(height) + " dots (" +
                         (gray ? "a " : "x ") + std::to_string(first) + (gray ? ", b " : ", y ") +
                         std::to_string(second) + "), " + std::to_string(data.size()) + " bytes of " +
                         (gray ? "plane data, 16 levels" : "column data");
            parsed.logoLines.push_back(std::move(line));
            if (withLogos_)
                parsed.logos.push_back(gray ? GrayPicture(data, first, second) : MonoPicture(data, first, second));
            q += headerLength + data.size();
        }
        parsed.match = Match::kComplete;
        parsed.length = q - p;
        parsed.words = n == 0 ? what + ": erase all logos" : what;
        return parsed;
    }

    // Column data: for each of the 8x dot columns, y bytes from the top band down; bit 7 is the
    // band's top row and a set bit a black dot.
    static DecodedLogo MonoPicture(std::span<const uint8_t> data, uint64_t x, uint64_t y) {
        DecodedLogo logo;
        logo.width = static_cast<uint32_t>(8 * x);
        logo.height = static_cast<uint32_t>(8 * y);
        if (data.size() > std::numeric_limits<size_t>::max() / 8)
            return logo;
        logo.dots.assign(data.size() * 8, 255);
        for (size_t column = 0; column < logo.width; ++column)
            for (size_t band = 0; band < y; ++band) {
                const uint8_t byte = data[column * y + band];
                for (unsigned bit = 0; bit < 8; ++bit)
                    if (byte & (0x80 >> bit))
                        logo.dots[(8 * band + bit) * logo.width + column] = 0;
            }
        return logo;
    }

    // Plane data: per row of dots four plane rows of a bytes, for the level's bits 7, 6, 5 and 4;
    // a set bit where the level's bit is clear. The picture shows each level as 17 × level.
    static DecodedLogo GrayPicture(std::span<const uint8_t> data, uint64_t a, uint64_t b) {
        DecodedLogo logo;
        logo.gray = true;
        logo.width = static_cast<uint32_t>(8 * a);
        logo.height = static_cast<uint32_t>(2 * b);
        if (data.size() > std::numeric_limits<size_t>::max() / 2)
            return logo;
        logo.dots.assign(data.size() * 2, 0);
        for (size_t row = 0; row < logo.height; ++row)
            for (size_t dot = 0; dot < logo.width; ++dot) {
                unsigned level = 0;
                for (size_t plane = 0; plane < 4; ++plane) {
                    const uint8_t byte = data[(4 * row + plane) * a + dot / 8];
                    const bool printed = byte & (0x80 >> (dot % 8));
                    level = (level << 1) | (printed ? 0 : 1);
                }
                logo.dots[row * logo.width + dot] = static_cast<uint8_t>(17 * level);
            }
        return logo;
    }

    std::span<const uint8_t> s_;
    bool withLogos_;
    uint8_t gs1Type_ = 0;  // t of the last GS1 DataBar setup, which names the GS1 data after it
};

}  // namespace

JobDecoding DecodeJob(std::span<const uint8_t> stream, bool withLogos) {
    JobDecoding out;
    out.bytes = stream.size();
    Decoder decoder(stream, withLogos);
    size_t dataStart = stream.size();  // where the run of unknown bytes being collected began
    const auto flushData = [&](size_t end) {
        if (dataStart >= end)
            return;
        const size_t count = end - dataStart;
        out.lines.push_back({dataStart, count, DecodedLineKind::kData,
                             Plural(count, "byte", "bytes") + " of data, not a command of this driver's jobs"});
        out.notUnderstood += count;
        dataStart = stream.size();
    };
    size_t p = 0;
    while (p < stream.size()) {
        Parsed parsed = decoder.At(p);
        if (parsed.match == Match::kNone) {
            if (p == 0) {
                out.lines.push_back({0, stream.size(), DecodedLineKind::kFileData,
                                     "file data, " + Plural(stream.size(), "byte", "bytes") +
                                         " (starts with no command of this driver: a file download, sent as it is)"});
                out.commands = 1;
                return out;
            }
            dataStart = std::min(dataStart, p);
            ++p;
            continue;
        }
        flushData(p);
        const bool complete = parsed.match == Match::kComplete;
        out.lines.push_back({p, parsed.length, complete ? DecodedLineKind::kCommand : DecodedLineKind::kTruncated,
                             std::move(parsed.words)});
        if (complete) {
            ++out.commands;
            for (DecodedLine& line : parsed.logoLines)
                out.lines.push_back(std::move(line));
            for (DecodedLogo& logo : parsed.logos)
                out.logos.push_back(std::move(logo));
        } else {
            out.notUnderstood += parsed.length;
        }
        p += parsed.length;
    }
    flushData(stream.size());
    return out;
}

std::string FormatDecodedLine(std::span<const uint8_t> stream, const DecodedLine& line) {
    char offset[24];
    std::snprintf(offset, sizeof(offset), "%08llX  ", static_cast<unsigned long long>(line.offset));
    std::string bytes;
    const size_t end = std::min(stream.size(), line.offset + std::min(line.length, kFirstBytesShown));
    for (size_t i = line.offset; i < end; ++i) {
        if (!bytes.empty())
            bytes += ' ';
        bytes += Hex2(stream[i]);
    }
    if (line.length > kFirstBytesShown)
        bytes += " ... (" + std::to_string(line.length) + " bytes)";
    bytes.resize(std::max(bytes.size(), kBytesColumnWidth), ' ');
    return offset + bytes + "  " + line.words;
}

std::string DecodingSummary(const JobDecoding& decoding) {
    return Plural(decoding.bytes, "byte", "bytes") + ", " + Plural(decoding.commands, "command", "commands") + ", " +
           Plural(decoding.notUnderstood, "byte", "bytes") + " not understood";
}

}  // namespace m450
