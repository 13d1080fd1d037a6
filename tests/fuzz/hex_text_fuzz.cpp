// Hex byte text from anywhere (typed or pasted): the parser yields at most one byte per
// character, and whatever it yields formats and parses back to the same bytes.
#include "core/hex_text.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string text(size / 2, u'\0');
    std::memcpy(text.data(), data, text.size() * sizeof(char16_t));

    const std::vector<uint8_t> bytes = m450::ParseHexBytes(text);
    if (bytes.size() > text.size())
        std::abort();
    const std::u16string formatted = m450::FormatHexBytes(bytes);
    if (formatted.size() != 3 * bytes.size() || m450::ParseHexBytes(formatted) != bytes)
        std::abort();

    const auto command = m450::ParseCommandText(text);
    if (command && (command->size() > m450::kMaxCommandBytes || *command != bytes))
        std::abort();
    return 0;
}
