// Raw jobs from anywhere (a port file, a capture): decoding reads only inside the stream (the
// fuzzer gets an exact-size copy, so AddressSanitizer sees any read past it), its lines cover
// the stream once and in order, the counts add up, and every logo picture has its dots.
#include "m450tool/job_decode.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> stream(data, data + size);
    const m450::JobDecoding decoding = m450::DecodeJob(stream, true);
    size_t next = 0, start = 0, notUnderstood = 0, commands = 0;
    for (const m450::DecodedLine& line : decoding.lines) {
        if (m450::FormatDecodedLine(stream, line).empty())
            std::abort();
        if (line.kind == m450::DecodedLineKind::kLogo) {
            // Inside the command on the line before.
            if (line.offset < start || line.offset > next || line.length > next - line.offset)
                std::abort();
            continue;
        }
        if (line.offset != next || line.length == 0 || line.length > size - next)
            std::abort();
        start = next;
        next += line.length;
        const bool counted =
            line.kind == m450::DecodedLineKind::kCommand || line.kind == m450::DecodedLineKind::kFileData;
        (counted ? commands : notUnderstood) += counted ? 1 : line.length;
    }
    if (next != size || decoding.bytes != size || decoding.commands != commands ||
        decoding.notUnderstood != notUnderstood)
        std::abort();
    for (const m450::DecodedLogo& logo : decoding.logos)
        if (logo.dots.size() != size_t{logo.width} * logo.height)
            std::abort();
    return 0;
}
