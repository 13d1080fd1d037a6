// Convert and Merge over records of any size with any claimed dwSize: the output must stay a
// well-formed record and nothing may be read past the input or written past the output.
#include "core/devmode.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    // The first byte chooses the operation and the output record's state on entry.
    const uint8_t control = data[0];
    // An exact-size copy, so AddressSanitizer sees any read past the input's end.
    std::vector<uint8_t> input(data + 1, data + size);

    auto* out = new m450::PlugInDevMode;
    std::memset(out, control, sizeof(*out));
    if (control & 1)
        m450::DefaultDevMode(*out, u"C:\\Windows\\system32");
    if (control & 2)
        m450::MergeDevMode(input, out, u"C:\\Windows\\system32");
    else
        m450::ConvertDevMode(input, out, u"C:\\Windows\\system32");

    if (input.size() >= 1 &&
        (out->dmExtraHeader.dwSize != m450::kDevModeSize || out->dmExtraHeader.dwVersion != m450::kDevModeVersion))
        std::abort();
    if ((control & 2) && out->reservedValue > 100)
        std::abort();
    delete out;
    return 0;
}
