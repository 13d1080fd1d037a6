// A reader of the printer description (GPD) that the universal driver reads: the entries of the
// file as a tree (root attributes, features, their options and the options' attributes), and
// the names a user sees. It reads the file's structure, not its meaning: values stay as written
// (quoted strings, PAIR(...), command strings), with helpers to unquote a string and read a
// pair. What the universal driver's own parser does beyond that (macros, *Switch/*Case
// selection, constraints, the preprocessor) is outside it.
//
// Portable: the stand-in for the driver's UI core builds its option items from it, and the
// native tests read the shipped driver/KVL-M450.gpd with it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace m450::gpd {

// One "*Keyword: value" entry and the entries in its braces.
struct Entry {
    std::string keyword;  // without the asterisk, e.g. "ModelName", "Option"
    std::string value;    // as written, blanks around it removed; continuation lines joined by a blank
    size_t line = 0;      // 1-based line of the keyword
    std::vector<Entry> children;

    // The first child entry with this keyword, or null.
    const Entry* Child(std::string_view keyword) const;
};

struct Option {
    std::string name;         // the option's symbol ("*Option: Light")
    std::string displayName;  // its *Name, unquoted; empty when it has none
    const Entry* entry = nullptr;
};

struct Feature {
    std::string name;         // the feature's symbol ("*Feature: PaperSize")
    std::string displayName;  // its *Name, unquoted
    std::string featureType;  // *FeatureType as written (DOC_PROPERTY, PRINTER_PROPERTY, ...); empty when not given
    std::string defaultOption;
    std::vector<Option> options;
    const Entry* entry = nullptr;

    const Option* FindOption(std::string_view name) const;
};

// Move-only: the features point into the entries.
class File {
  public:
    File() = default;
    File(File&&) = default;
    File& operator=(File&&) = default;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    const std::vector<Entry>& Entries() const { return entries_; }
    // The value of the last root entry with this keyword (a later entry replaces an earlier
    // one, as in the driver's parser), or nullopt.
    std::optional<std::string_view> RootAttribute(std::string_view keyword) const;
    const std::vector<Feature>& Features() const { return features_; }
    const Feature* FindFeature(std::string_view name) const;

  private:
    friend struct FileBuilder;
    std::vector<Entry> entries_;
    std::vector<Feature> features_;
};

enum class Error {
    kNone,
    kTooLarge,                  // the text is longer than kMostBytes
    kNotAnEntry,                // text that is neither an entry, a brace nor a comment
    kUnterminatedString,        // a quote without its closing quote on the same line
    kUnexpectedCloseBrace,      // "}" with no open block
    kUnclosedBrace,             // the text ends inside a block
    kBraceWithoutEntry,         // "{" that follows no entry
    kTooDeep,                   // blocks nested deeper than kMostDepth
    kSpecVersionNotFirst,       // *GPDSpecVersion is not the first entry of the file
    kMissingRequiredAttribute,  // a root attribute every description must have is missing
};

inline constexpr size_t kMostBytes = 4u << 20;
inline constexpr size_t kMostDepth = 32;

struct Result {
    std::optional<File> file;
    Error error = Error::kNone;
    size_t line = 0;     // where the error was found (0: the file as a whole)
    std::string detail;  // the attribute or text concerned

    // "line 12: unexpected '}'", "missing required root attribute *GPDSpecVersion" ...
    std::string Message() const;
};

// Root attributes a description must carry: *GPDSpecVersion (the first entry), *MasterUnits,
// *PrinterType, and *ModelName unless the name comes from the resource DLL (*rcModelNameID).
Result Read(std::string_view text);

// The text of a quoted value: "<1B>@" gives the two bytes 1B 40; %% and %< stand for % and <.
// nullopt when the value is not one quoted string.
std::optional<std::string> Unquote(std::string_view value);

// PAIR(x, y) as two numbers; nullopt for anything else.
std::optional<std::pair<long, long>> ReadPair(std::string_view value);

}  // namespace m450::gpd
