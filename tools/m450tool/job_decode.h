// Reading a raw job back: the bytes a printer received (a file port's contents, or a job as
// m450tool writes it with --raw) told in words, one line per command, with the logos the job
// defines as pictures of exactly the dots the printer stores.
//
// Only the commands this driver's jobs send are known: the bracket, the self-test, logo
// definitions, the barcode settings and prints of the 1D and 2D test prints, line feed, NUL and
// the cut. Anything else is a run of data, never a guess. Every read is bounds-checked against
// the stream: a command the stream ends inside is reported as such, never read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace m450 {

enum class DecodedLineKind : uint8_t {
    kCommand,    // a whole command
    kLogo,       // one logo of the logo definition command on the line before (not counted)
    kData,       // bytes that are not a command of this driver's jobs
    kTruncated,  // a command the stream ends inside; its bytes count as not understood
    kFileData,   // the whole stream is a file download (it starts with no command of ours)
};

struct DecodedLine {
    size_t offset = 0;
    size_t length = 0;  // bytes of the stream the line covers
    DecodedLineKind kind = DecodedLineKind::kCommand;
    std::string words;
};

// A logo as the printer stores it: width × height dots, rows from the top as printed, one byte
// a dot: 0 black … 255 white. Mono dots are 0 or 255; gray dots are 17 × level (16 levels).
struct DecodedLogo {
    bool gray = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> dots;
};

struct JobDecoding {
    std::vector<DecodedLine> lines;
    std::vector<DecodedLogo> logos;  // in stream order; filled only when asked for
    size_t bytes = 0;
    size_t commands = 0;
    size_t notUnderstood = 0;
};

// Decodes the whole stream. With `withLogos` every complete logo definition is also turned into
// its picture (up to 8 dots per byte of logo data).
//
// A stream whose first byte starts no command of this driver is a file download, which goes to
// the printer as the file is: one kFileData line, understood. Past the start, unknown bytes are
// kData lines, running until the next byte that starts a command.
JobDecoding DecodeJob(std::span<const uint8_t> stream, bool withLogos = false);

// "00000004  1D 28 41 02 00 00 02        self-test: ..." — the offset in hexadecimal, the line's
// first bytes (at most 16, then "... (N bytes)"), its words. `stream` is the decoded stream.
std::string FormatDecodedLine(std::span<const uint8_t> stream, const DecodedLine& line);

// "N bytes, M commands, U bytes not understood"
std::string DecodingSummary(const JobDecoding& decoding);

}  // namespace m450
