// The watermark conversion over arbitrary files: nothing may be read past the input, and an
// accepted file must give a well-formed 24-bit picture whose size its header states.
#include "document/watermark_bitmap.h"
#include "little_endian.h"

#include <cstdlib>
#include <vector>

namespace {

using m450::test::Le32;
using m450::test::PutLe32;

// The first byte's low bits either leave the file as it is (0) or stamp the headers of one of
// the three accepted layouts onto it (with an 8-bit colour table), so that every conversion is
// reached at once and the fuzzer spends its time on sizes, dimensions and lengths.
std::vector<uint8_t> Input(const uint8_t* data, size_t size) {
    if (size == 0)
        return {};
    std::vector<uint8_t> input(data + 1, data + size);
    const unsigned layout = data[0] % 4;
    if (layout == 0 || input.size() < 54)
        return input;
    static constexpr uint32_t kOffset[] = {54, 62, 1078};
    static constexpr uint8_t kBits[] = {24, 1, 8};
    if (layout == 3) {
        // A full colour table is more than the fuzzer's early inputs hold: put one in.
        std::vector<uint8_t> table(1024);
        for (size_t i = 0; i < table.size(); ++i)
            table[i] = static_cast<uint8_t>(i * 37);
        input.insert(input.begin() + 54, table.begin(), table.end());
    }
    input[0] = 'B';
    input[1] = 'M';
    PutLe32(input, 10, kOffset[layout - 1]);
    PutLe32(input, 14, 40);
    input[28] = kBits[layout - 1];
    input[29] = 0;
    PutLe32(input, 30, 0);
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // An exact-size copy, so AddressSanitizer sees any read past the input's end.
    const std::vector<uint8_t> input = Input(data, size);
    const m450::WatermarkPicture picture = m450::ConvertWatermarkPicture(input);
    if (picture.error != m450::WatermarkError::None) {
        if (!picture.bytes.empty())
            std::abort();
        return 0;
    }
    const std::vector<uint8_t>& out = picture.bytes;
    if (out.size() < m450::kBmpHeadersSize || out[0] != 'B' || out[1] != 'M' || Le32(out, 10) != 54 ||
        (out[28] | (out[29] << 8)) != 24)
        std::abort();
    // Converted pictures (not the unchanged copies) state their own size and hold every row.
    if (Le32(input, 10) != 54) {
        const uint64_t width = Le32(out, 18);
        const int32_t height = static_cast<int32_t>(Le32(out, 22));
        const uint64_t rows = height < 0 ? 0 - static_cast<int64_t>(height) : height;
        if (Le32(out, 2) != out.size() || out.size() != 54 + (width * 3 + 3) / 4 * 4 * rows)
            std::abort();
    }
    return 0;
}
