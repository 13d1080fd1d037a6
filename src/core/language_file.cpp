#include "core/language_file.h"

namespace m450 {
namespace {

// The blanks the platform's reader trims from names and values (ASCII white space, ^Z, and
// the Unicode spaces its wide-character test accepts).
bool IsProfileSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x1A || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
}

bool IsQuote(char16_t c) {
    return c == u'"' || c == u'\'';
}

std::u16string_view Trim(std::u16string_view text) {
    while (!text.empty() && IsProfileSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsProfileSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

// The reader's quote rule: a value that begins with a quote and ends with the same quote
// loses both.
std::u16string_view StripQuotes(std::u16string_view value) {
    if (value.size() >= 2 && IsQuote(value.front()) && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::u16string DecodeLanguageText(std::u16string_view stored) {
    std::u16string text;
    text.reserve(stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == u'\\' && i + 1 < stored.size()) {
            if (stored[i + 1] == u'n') {
                text.push_back(u'\n');
                ++i;
                continue;
            }
            if (stored[i + 1] == u'\\') {
                text.push_back(u'\\');
                ++i;
                continue;
            }
        }
        text.push_back(stored[i]);
    }
    return text;
}

std::optional<std::u16string> EncodeLanguageText(std::u16string_view text) {
    std::u16string stored;
    stored.reserve(text.size() + 2);
    for (char16_t c : text) {
        if (c == u'\n') {
            stored += u"\\n";
        } else if (c == u'\\') {
            stored += u"\\\\";
        } else if (c < 0x20 || c == 0x7F) {
            return std::nullopt;
        } else {
            stored.push_back(c);
        }
    }
    const bool needsQuotes = !stored.empty() && (IsProfileSpace(stored.front()) || IsProfileSpace(stored.back()) ||
                                                 StripQuotes(stored).size() != stored.size());
    if (needsQuotes)
        stored = u"\"" + stored + u"\"";
    return stored;
}

std::optional<LanguageFile> LanguageFile::FromBytes(std::span<const uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return std::nullopt;
    std::u16string text;
    text.reserve((bytes.size() - 2) / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
        text.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    return FromText(text);
}

// Lines end at a line feed; blanks at both ends of a line are dropped (a carriage return
// with them). "[name]" starts a section (up to the last "]"); any other line is a key, its
// value after the first "=".
LanguageFile LanguageFile::FromText(std::u16string_view text) {
    LanguageFile file;
    file.sections_.push_back({});  // keys before the first section header
    while (!text.empty()) {
        const size_t end = text.find(u'\n');
        const std::u16string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::u16string_view::npos ? text.size() : end + 1);
        if (line.empty())
            continue;
        if (line.front() == u'[') {
            const size_t close = line.rfind(u']');
            if (close != std::u16string_view::npos) {
                file.sections_.push_back({std::u16string(line.substr(1, close - 1)), {}});
                continue;
            }
        }
        const size_t equals = line.find(u'=');
        Entry entry;
        if (equals == std::u16string_view::npos) {
            entry.key = line;
        } else {
            entry.key = Trim(line.substr(0, equals));
            entry.value = std::u16string(Trim(line.substr(equals + 1)));
        }
        file.sections_.back().entries.push_back(std::move(entry));
    }
    return file;
}

std::optional<std::u16string> LanguageFile::Value(std::u16string_view section, std::u16string_view key) const {
    for (size_t s = 1; s < sections_.size(); ++s) {
        if (!SameName(sections_[s].name, section))
            continue;
        for (const Entry& entry : sections_[s].entries) {
            if (SameName(entry.key, key)) {
                if (!entry.value)
                    return std::nullopt;
                return std::u16string(StripQuotes(*entry.value));
            }
        }
        return std::nullopt;  // only the first section of a name is read
    }
    return std::nullopt;
}

std::optional<std::u16string> LanguageFile::Text(std::u16string_view section, std::u16string_view key) const {
    std::optional<std::u16string> value = Value(section, key);
    if (!value)
        return std::nullopt;
    return DecodeLanguageText(*value);
}

std::vector<std::pair<std::u16string, std::u16string>> LanguageFile::Keys() const {
    std::vector<std::pair<std::u16string, std::u16string>> keys;
    for (const Section& section : sections_) {
        for (const Entry& entry : section.entries)
            keys.emplace_back(section.name, entry.key);
    }
    return keys;
}

TextReader ReaderOf(const LanguageFile& file) {
    return [&file](std::u16string_view section, std::u16string_view key) { return file.Text(section, key); };
}

}  // namespace m450
