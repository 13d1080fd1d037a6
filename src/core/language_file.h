// The language files' format: the platform's wide-character private-profile (INI) files,
// UTF-16LE with a byte-order mark, one "KEY=text" per line under "[SECTION]" lines.
//
// A line holds one text, so a line break inside a text is stored as the two characters \n
// (and a backslash as \\); DecodeLanguageText turns them back. A text that begins or ends with
// a blank, or that is enclosed in quotes, is stored in double quotes, which the platform's
// reader removes.
//
// LanguageFile reads a file as the platform's reader does, for the native tests and the
// generator of the shipped files; the DLL itself reads with the platform's reader.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text_store.h"

namespace m450 {

// \n gives a line break and \\ a backslash; any other backslash stays as it is.
std::u16string DecodeLanguageText(std::u16string_view stored);

// The value a writer puts after "KEY=" so that the platform's reader and DecodeLanguageText
// give the text back exactly; nullopt for a text with a control character other than a line
// break, which no line can hold.
std::optional<std::u16string> EncodeLanguageText(std::u16string_view text);

class LanguageFile {
  public:
    // UTF-16LE with its byte-order mark; nullopt for anything else.
    static std::optional<LanguageFile> FromBytes(std::span<const uint8_t> bytes);
    static LanguageFile FromText(std::u16string_view text);

    // The value as the platform's reader returns it: blanks around it removed and one pair of
    // enclosing quotes removed. Names compare without regard to case; of two sections of the
    // same name only the first is read. nullopt for a missing section or key, or a key line
    // without "=".
    std::optional<std::u16string> Value(std::u16string_view section, std::u16string_view key) const;
    // Value with its line breaks decoded: the text a page shows.
    std::optional<std::u16string> Text(std::u16string_view section, std::u16string_view key) const;

    // Every key line, as (section, key), in file order.
    std::vector<std::pair<std::u16string, std::u16string>> Keys() const;

  private:
    struct Entry {
        std::u16string key;
        std::optional<std::u16string> value;
    };
    struct Section {
        std::u16string name;
        std::vector<Entry> entries;
    };
    std::vector<Section> sections_;
};

// A TextReader over a parsed file; the file must outlive the reader.
TextReader ReaderOf(const LanguageFile& file);

}  // namespace m450
