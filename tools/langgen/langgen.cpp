// langgen: writes the shipped language files of lang/ from the text table and the
// translations, and checks that the committed files are what it writes.
//
//   langgen english OUT.res            the English file, from the built-in texts of the table
//   langgen translate SRC.txt OUT.res  a translation: SRC is UTF-8 "[SECTION]" / "KEY=text"
//                                      lines with every key of the table and no other
//   langgen list SRC.txt OUT.dat       the language list, re-encoded
//   langgen check LANGDIR              regenerates all four files in memory and compares them
//                                      with LANGDIR/*.res, *.dat
//
// The output is what the platform's private-profile reader reads: UTF-16LE with a byte-order
// mark, CRLF line ends, texts stored by EncodeLanguageText ("\n" for a line break).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/language_file.h"
#include "core/language_rules.h"
#include "core/text_store.h"

namespace {

using m450::LanguageFile;

constexpr std::u16string_view kShippedFileVersion = u"1";

std::string Narrow(std::u16string_view text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size())
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

// Strict UTF-8 (no overlong forms, no surrogates), an optional byte-order mark skipped.
std::optional<std::u16string> FromUtf8(const std::vector<uint8_t>& bytes) {
    size_t i = 0;
    if (bytes.size() >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF)
        i = 3;
    std::u16string out;
    while (i < bytes.size()) {
        const uint8_t lead = bytes[i];
        size_t extra = 0;
        uint32_t c = 0;
        uint32_t least = 0;
        if (lead < 0x80) {
            c = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            extra = 1, c = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2, c = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3, c = lead & 0x07, least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (extra > bytes.size() - i - 1)
            return std::nullopt;
        for (size_t k = 1; k <= extra; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80)
                return std::nullopt;
            c = (c << 6) | (bytes[i + k] & 0x3F);
        }
        if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
            return std::nullopt;
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += 1 + extra;
    }
    return out;
}

std::optional<std::vector<uint8_t>> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

class Errors {
  public:
    void Add(const std::string& what) {
        std::fprintf(stderr, "langgen: %s\n", what.c_str());
        ++count_;
    }
    bool Any() const { return count_ != 0; }

  private:
    int count_ = 0;
};

// A language file being written: sections of "KEY=stored text" lines, and the texts the
// platform's reader must give back.
class FileWriter {
  public:
    void Section(std::u16string_view name) {
        if (!lines_.empty())
            lines_.emplace_back();
        lines_.push_back(u"[" + std::u16string(name) + u"]");
        section_ = name;
    }
    void Key(std::u16string_view key, std::u16string_view text, Errors& errors) {
        const std::optional<std::u16string> stored = m450::EncodeLanguageText(text);
        if (!stored) {
            errors.Add("[" + Narrow(section_) + "] " + Narrow(key) + ": a control character no line can hold");
            return;
        }
        lines_.push_back(std::u16string(key) + u"=" + *stored);
        expected_.push_back({section_, std::u16string(key), std::u16string(text)});
    }

    // UTF-16LE, byte-order mark, CRLF; then read back as the platform would, text by text.
    std::vector<uint8_t> Bytes(Errors& errors) const {
        std::vector<uint8_t> bytes = {0xFF, 0xFE};
        for (const std::u16string& line : lines_) {
            for (char16_t c : line + u"\r\n") {
                bytes.push_back(static_cast<uint8_t>(c & 0xFF));
                bytes.push_back(static_cast<uint8_t>(c >> 8));
            }
        }
        const std::optional<LanguageFile> file = LanguageFile::FromBytes(bytes);
        for (const Expected& e : expected_) {
            if (!file || file->Text(e.section, e.key) != e.text)
                errors.Add("[" + Narrow(e.section) + "] " + Narrow(e.key) + ": does not read back as written");
        }
        return bytes;
    }

  private:
    struct Expected {
        std::u16string section, key, text;
    };
    std::vector<std::u16string> lines_;
    std::vector<Expected> expected_;
    std::u16string section_;
};

using TextOf = std::optional<std::u16string> (*)(const LanguageFile*, const m450::TextKey&);

// The table's sections in table order, every key with the text `textOf` gives it.
void WriteTable(FileWriter& writer, const LanguageFile* source, TextOf textOf, Errors& errors) {
    writer.Section(m450::kFileVersionSection);
    writer.Key(m450::kFileVersionKey, kShippedFileVersion, errors);
    std::u16string_view section;
    for (const m450::TextKey& key : m450::AllTextKeys()) {
        if (key.section != section) {
            section = key.section;
            writer.Section(section);
        }
        const std::optional<std::u16string> text = textOf(source, key);
        const std::string where = "[" + Narrow(key.section) + "] " + Narrow(key.key);
        if (!text) {
            errors.Add(where + ": missing");
            continue;
        }
        if (text->empty())
            errors.Add(where + ": empty");
        if (text->size() >= key.capacity)
            errors.Add(where + ": " + std::to_string(text->size()) + " characters, the slot holds " +
                       std::to_string(key.capacity - 1));
        writer.Key(key.key, *text, errors);
    }
}

std::optional<std::u16string> BuiltInText(const LanguageFile*, const m450::TextKey& key) {
    return std::u16string(key.defaultText);
}

std::optional<std::u16string> TranslatedText(const LanguageFile* source, const m450::TextKey& key) {
    return source->Text(key.section, key.key);
}

std::optional<LanguageFile> ReadSource(const std::string& path, Errors& errors) {
    const std::optional<std::vector<uint8_t>> bytes = ReadFile(path);
    if (!bytes) {
        errors.Add(path + ": cannot be read");
        return std::nullopt;
    }
    const std::optional<std::u16string> text = FromUtf8(*bytes);
    if (!text) {
        errors.Add(path + ": not UTF-8");
        return std::nullopt;
    }
    return LanguageFile::FromText(*text);
}

// Every key of a translation belongs to the table (or is the file version), once.
void CheckKnownKeys(const LanguageFile& source, const std::string& path, Errors& errors) {
    std::set<std::pair<std::u16string, std::u16string>> seen;
    for (const auto& [section, key] : source.Keys()) {
        const std::string where = path + ": [" + Narrow(section) + "] " + Narrow(key);
        const bool version = section == m450::kFileVersionSection && key == m450::kFileVersionKey;
        if (!version && !m450::FindTextId(section, key))
            errors.Add(where + ": not a key of the table");
        if (!seen.insert({section, key}).second)
            errors.Add(where + ": given twice");
    }
}

std::vector<uint8_t> English(Errors& errors) {
    FileWriter writer;
    WriteTable(writer, nullptr, BuiltInText, errors);
    return writer.Bytes(errors);
}

std::vector<uint8_t> Translation(const std::string& sourcePath, Errors& errors) {
    const std::optional<LanguageFile> source = ReadSource(sourcePath, errors);
    if (!source)
        return {};
    CheckKnownKeys(*source, sourcePath, errors);
    FileWriter writer;
    WriteTable(writer, &*source, TranslatedText, errors);
    return writer.Bytes(errors);
}

// The list names each language's text file; the list page's slots bound the texts.
std::vector<uint8_t> LanguageList(const std::string& sourcePath, Errors& errors) {
    const std::optional<LanguageFile> source = ReadSource(sourcePath, errors);
    if (!source)
        return {};
    const m450::TextReader reader = m450::ReaderOf(*source);
    if (!source->Value(m450::kLanguageListSection, m450::kLanguageCountKey))
        errors.Add(sourcePath + ": no COUNT");
    if (!source->Value(m450::kLanguageListSection, m450::kCurrentFileKey))
        errors.Add(sourcePath + ": no CUR_INI");
    for (const m450::LanguageEntry& language : m450::BuildLanguageList(reader)) {
        if (language.textFile.size() + 1 >= m450::kLanguageFileCapacity)
            errors.Add(sourcePath + ": file name too long: " + Narrow(language.textFile));
    }
    FileWriter writer;
    std::u16string section;
    bool first = true;
    for (const auto& [keySection, key] : source->Keys()) {
        if (first || keySection != section) {
            section = keySection;
            writer.Section(section);
            first = false;
        }
        writer.Key(key, source->Text(section, key).value_or(u""), errors);
    }
    return writer.Bytes(errors);
}

bool Emit(const std::vector<uint8_t>& bytes, const std::string& out, Errors& errors) {
    if (errors.Any())
        return false;
    if (!WriteFile(out, bytes)) {
        errors.Add(out + ": cannot be written");
        return false;
    }
    return true;
}

bool Check(const std::string& dir, Errors& errors) {
    const std::pair<std::string, std::vector<uint8_t>> files[] = {
        {"ENG_M450.res", English(errors)},
        {"CHN_M450.res", Translation(dir + "/src/CHN_M450.txt", errors)},
        {"CHF_M450.res", Translation(dir + "/src/CHF_M450.txt", errors)},
        {"LANGUAGE_M450.dat", LanguageList(dir + "/src/LANGUAGE_M450.txt", errors)},
    };
    for (const auto& [name, bytes] : files) {
        const std::optional<std::vector<uint8_t>> committed = ReadFile(dir + "/" + name);
        if (!committed || *committed != bytes)
            errors.Add(dir + "/" + name + ": differs from what langgen writes (build the target m450_lang)");
    }
    return !errors.Any();
}

int Usage() {
    std::fprintf(stderr,
                 "usage: langgen english OUT.res | translate SRC.txt OUT.res | list SRC.txt OUT.dat | check "
                 "LANGDIR\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Errors errors;
    bool ok = false;
    if (args.size() == 2 && args[0] == "english")
        ok = Emit(English(errors), args[1], errors);
    else if (args.size() == 3 && args[0] == "translate")
        ok = Emit(Translation(args[1], errors), args[2], errors);
    else if (args.size() == 3 && args[0] == "list")
        ok = Emit(LanguageList(args[1], errors), args[2], errors);
    else if (args.size() == 2 && args[0] == "check")
        ok = Check(args[1], errors);
    else
        return Usage();
    return ok ? 0 : 1;
}
