#include "core/hex_text.h"

namespace m450 {

uint8_t HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return static_cast<uint8_t>(c - u'0');
    if (c >= u'A' && c <= u'F')
        return static_cast<uint8_t>(c - u'A' + 10);
    if (c >= u'a' && c <= u'f')
        return static_cast<uint8_t>(c - u'a' + 10);
    return 0;
}

// Spaces separate bytes and are otherwise skipped (a run of them is one separator). A byte
// is two digits, or one when the next character is a space or there is none; so "1 D" is
// 01 0D and "123" is 12 03.
std::vector<uint8_t> ParseHexBytes(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() / 2 + 1);
    size_t i = 0;
    while (i < text.size()) {
        const char16_t c1 = text[i];
        if (c1 == u' ') {
            ++i;
            continue;
        }
        if (i + 1 == text.size()) {
            bytes.push_back(HexDigitValue(c1));
            break;
        }
        const char16_t c2 = text[i + 1];
        if (c2 == u' ')
            bytes.push_back(HexDigitValue(c1));
        else
            bytes.push_back(static_cast<uint8_t>(HexDigitValue(c1) * 16 + HexDigitValue(c2)));
        i += 2;
    }
    return bytes;
}

std::u16string FormatHexBytes(std::span<const uint8_t> bytes) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    text.reserve(3 * bytes.size());
    for (uint8_t b : bytes) {
        text.push_back(kDigits[b >> 4]);
        text.push_back(kDigits[b & 0x0F]);
        text.push_back(u' ');
    }
    return text;
}

std::optional<std::u16string> PastedCommandText(std::u16string_view clipboard) {
    std::u16string text;
    text.reserve(clipboard.size());
    for (const char16_t c : clipboard) {
        const bool digit = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
        if (digit || c == u' ')
            text.push_back(c);
        else if (c == u'\t' || c == u'\r' || c == u'\n')
            text.push_back(u' ');
        else
            return std::nullopt;
    }
    return text;
}

// A text past the field's length is refused rather than cut, so no typed byte is silently
// dropped from a command.
std::optional<std::vector<uint8_t>> ParseCommandText(std::u16string_view text) {
    if (text.size() > kMaxCommandTextLength)
        return std::nullopt;
    std::vector<uint8_t> bytes = ParseHexBytes(text);
    if (bytes.size() > kMaxCommandBytes)
        return std::nullopt;
    return bytes;
}

}  // namespace m450
