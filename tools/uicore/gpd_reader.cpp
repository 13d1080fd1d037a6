#include "gpd_reader.h"

#include <charconv>

namespace m450::gpd {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

bool IsKeywordChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '?' ||
           c == '.';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// Reads the text into a tree of entries. Blocks are kept on an explicit stack (an open entry's
// own vector does not grow while its block is open, so the pointers stay valid).
class Parser {
  public:
    explicit Parser(std::string_view text) : text_(text) {}

    // False when the text is not a well-formed description; Failure() then tells why.
    bool Run(std::vector<Entry>& root) {
        if (text_.size() > kMostBytes)
            return Fail(Error::kTooLarge, 0, std::to_string(text_.size()) + " bytes");
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
        std::vector<std::vector<Entry>*> open{&root};
        std::vector<size_t> openLines;
        Entry* last = nullptr;  // the entry a following "{" belongs to
        while (true) {
            SkipSpace();
            if (pos_ >= text_.size())
                break;
            const char c = text_[pos_];
            if (text_.substr(pos_, 2) == "*%") {
                if (root.empty())
                    commentBeforeFirstEntry_ = true;
                SkipToLineEnd();
            } else if (c == '{') {
                if (!last)
                    return Fail(Error::kBraceWithoutEntry, line_, "{");
                if (open.size() > kMostDepth)
                    return Fail(Error::kTooDeep, line_, last->keyword);
                open.push_back(&last->children);
                openLines.push_back(last->line);
                last = nullptr;
                ++pos_;
            } else if (c == '}') {
                if (open.size() == 1)
                    return Fail(Error::kUnexpectedCloseBrace, line_, "}");
                open.pop_back();
                openLines.pop_back();
                last = nullptr;
                ++pos_;
            } else if (c == '*') {
                Entry entry;
                entry.line = line_;
                if (!ReadEntry(entry))
                    return false;
                open.back()->push_back(std::move(entry));
                last = &open.back()->back();
            } else {
                size_t end = text_.find('\n', pos_);
                if (end == std::string_view::npos)
                    end = text_.size();
                return Fail(Error::kNotAnEntry, line_,
                            std::string(Trim(text_.substr(pos_, std::min<size_t>(end - pos_, 40)))));
            }
        }
        if (open.size() > 1)
            return Fail(Error::kUnclosedBrace, openLines.back(), "{");
        return true;
    }

    bool CommentBeforeFirstEntry() const { return commentBeforeFirstEntry_; }
    void TakeFailure(Result& result) {
        result.error = error_;
        result.line = errorLine_;
        result.detail = std::move(detail_);
    }

  private:
    bool Fail(Error error, size_t line, std::string detail) {
        error_ = error;
        errorLine_ = line;
        detail_ = std::move(detail);
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (IsBlank(text_[pos_]) || text_[pos_] == '\n')) {
            if (text_[pos_] == '\n')
                ++line_;
            ++pos_;
        }
    }

    void SkipToLineEnd() {
        while (pos_ < text_.size() && text_[pos_] != '\n')
            ++pos_;
    }

    // "*Keyword: value", the value running to the end of its line (and over "+" continuation
    // lines), to a brace of the file's structure or to a comment.
    bool ReadEntry(Entry& entry) {
        ++pos_;  // '*'
        const size_t start = pos_;
        while (pos_ < text_.size() && IsKeywordChar(text_[pos_]))
            ++pos_;
        entry.keyword = std::string(text_.substr(start, pos_ - start));
        while (pos_ < text_.size() && IsBlank(text_[pos_]))
            ++pos_;
        if (entry.keyword.empty() || pos_ >= text_.size() || text_[pos_] != ':') {
            return Fail(Error::kNotAnEntry, line_, "*" + entry.keyword);
        }
        ++pos_;
        while (true) {
            const size_t valueStart = pos_;
            if (!ScanValue())
                return false;
            const std::string_view part = Trim(text_.substr(valueStart, pos_ - valueStart));
            if (!part.empty()) {
                if (!entry.value.empty())
                    entry.value += ' ';
                entry.value += part;
            }
            if (!ContinuationFollows())
                return true;
        }
    }

    // Moves pos_ to where the value ends. Braces inside a quoted string or after a command
    // parameter ("%d[0,255]{DestX}") belong to the value.
    bool ScanValue() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n' || c == '{' || c == '}' || text_.substr(pos_, 2) == "*%")
                return true;
            if (c == '"') {
                if (!ScanQuoted())
                    return false;
            } else if (c == '%') {
                if (!ScanParameter())
                    return false;
            } else {
                ++pos_;
            }
        }
        return true;
    }

    bool ScanQuoted() {
        const size_t quoteLine = line_;
        ++pos_;
        while (pos_ < text_.size() && text_[pos_] != '"' && text_[pos_] != '\n') {
            if (text_[pos_] == '%' && pos_ + 1 < text_.size() && (text_[pos_ + 1] == '%' || text_[pos_ + 1] == '<'))
                ++pos_;
            ++pos_;
        }
        if (pos_ >= text_.size() || text_[pos_] != '"') {
            return Fail(Error::kUnterminatedString, quoteLine, "\"");
        }
        ++pos_;
        return true;
    }

    bool ScanParameter() {
        ++pos_;  // '%'
        while (pos_ < text_.size() && IsKeywordChar(text_[pos_]))
            ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '[') {
            while (pos_ < text_.size() && text_[pos_] != ']' && text_[pos_] != '\n')
                ++pos_;
            if (pos_ >= text_.size() || text_[pos_] != ']') {
                return Fail(Error::kNotAnEntry, line_, "parameter range without ']'");
            }
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == '{') {
            size_t depth = 0;
            do {
                if (text_[pos_] == '{')
                    ++depth;
                else if (text_[pos_] == '}')
                    --depth;
                ++pos_;
            } while (depth > 0 && pos_ < text_.size() && text_[pos_] != '\n');
            if (depth > 0) {
                return Fail(Error::kNotAnEntry, line_, "parameter expression without '}'");
            }
        }
        return true;
    }

    // A line whose first character (after blanks) is '+' continues the value before it.
    bool ContinuationFollows() {
        if (pos_ >= text_.size() || text_[pos_] != '\n')
            return false;
        size_t next = pos_ + 1;
        while (next < text_.size() && IsBlank(text_[next]))
            ++next;
        if (next >= text_.size() || text_[next] != '+')
            return false;
        pos_ = next + 1;
        ++line_;
        return true;
    }

    std::string_view text_;
    size_t pos_ = 0;
    size_t line_ = 1;
    bool commentBeforeFirstEntry_ = false;
    Error error_ = Error::kNone;
    size_t errorLine_ = 0;
    std::string detail_;
};

std::string DisplayName(const Entry& entry) {
    if (const Entry* name = entry.Child("Name")) {
        if (std::optional<std::string> text = Unquote(name->value))
            return *text;
    }
    return {};
}

}  // namespace

struct FileBuilder {
    // Each *Feature entry at the root gives a feature; a later entry of the same feature adds
    // the options not named before and replaces the attributes it repeats.
    static void CollectFeatures(File& file) {
        for (const Entry& entry : file.entries_) {
            if (entry.keyword != "Feature")
                continue;
            Feature* feature = nullptr;
            for (Feature& known : file.features_) {
                if (known.name == entry.value)
                    feature = &known;
            }
            if (!feature) {
                file.features_.emplace_back();
                file.features_.back().name = entry.value;
                feature = &file.features_.back();
            }
            feature->entry = &entry;
            if (const std::string name = DisplayName(entry); !name.empty())
                feature->displayName = name;
            if (const Entry* type = entry.Child("FeatureType"))
                feature->featureType = type->value;
            if (const Entry* option = entry.Child("DefaultOption"))
                feature->defaultOption = option->value;
            for (const Entry& child : entry.children) {
                if (child.keyword != "Option")
                    continue;
                Option option{child.value, DisplayName(child), &child};
                bool replaced = false;
                for (Option& known : feature->options) {
                    if (known.name == option.name) {
                        if (option.displayName.empty())
                            option.displayName = known.displayName;
                        known = option;
                        replaced = true;
                    }
                }
                if (!replaced)
                    feature->options.push_back(std::move(option));
            }
        }
    }

    static Result Build(std::string_view text) {
        Result result;
        File file;
        Parser parser(text);
        if (!parser.Run(file.entries_)) {
            parser.TakeFailure(result);
            return result;
        }

        const auto has = [&file](std::string_view keyword) { return file.RootAttribute(keyword).has_value(); };
        if (!has("GPDSpecVersion"))
            return Result{std::nullopt, Error::kMissingRequiredAttribute, 0, "GPDSpecVersion"};
        if (file.entries_.front().keyword != "GPDSpecVersion" || parser.CommentBeforeFirstEntry())
            return Result{std::nullopt, Error::kSpecVersionNotFirst, file.entries_.front().line, "GPDSpecVersion"};
        for (const char* required : {"MasterUnits", "PrinterType"}) {
            if (!has(required))
                return Result{std::nullopt, Error::kMissingRequiredAttribute, 0, required};
        }
        if (!has("ModelName") && !has("rcModelNameID"))
            return Result{std::nullopt, Error::kMissingRequiredAttribute, 0, "ModelName"};

        result.file.emplace(std::move(file));
        // The features point into the entries, which stay where they are from here on.
        CollectFeatures(*result.file);
        return result;
    }
};

const Entry* Entry::Child(std::string_view name) const {
    for (const Entry& child : children) {
        if (child.keyword == name)
            return &child;
    }
    return nullptr;
}

const Option* Feature::FindOption(std::string_view optionName) const {
    for (const Option& option : options) {
        if (option.name == optionName)
            return &option;
    }
    return nullptr;
}

std::optional<std::string_view> File::RootAttribute(std::string_view keyword) const {
    std::optional<std::string_view> value;
    for (const Entry& entry : entries_) {
        if (entry.keyword == keyword)
            value = entry.value;
    }
    return value;
}

const Feature* File::FindFeature(std::string_view name) const {
    for (const Feature& feature : features_) {
        if (feature.name == name)
            return &feature;
    }
    return nullptr;
}

std::string Result::Message() const {
    const std::string where = line ? "line " + std::to_string(line) + ": " : std::string();
    switch (error) {
        case Error::kNone:
            return "no error";
        case Error::kTooLarge:
            return "the description is too large (" + detail + ")";
        case Error::kNotAnEntry:
            return where + "not a GPD entry: " + detail;
        case Error::kUnterminatedString:
            return where + "a quoted string is not closed on its line";
        case Error::kUnexpectedCloseBrace:
            return where + "unexpected '}' with no open block";
        case Error::kUnclosedBrace:
            return where + "the block opened here is never closed";
        case Error::kBraceWithoutEntry:
            return where + "'{' follows no entry";
        case Error::kTooDeep:
            return where + "blocks nested too deeply in *" + detail;
        case Error::kSpecVersionNotFirst:
            return where + "*GPDSpecVersion must be the first entry, before any comment";
        case Error::kMissingRequiredAttribute:
            return "missing required root attribute *" + detail;
    }
    return where + detail;
}

Result Read(std::string_view text) {
    return FileBuilder::Build(text);
}

std::optional<std::string> Unquote(std::string_view value) {
    value = Trim(value);
    if (value.size() < 2 || value.front() != '"' || value.back() != '"')
        return std::nullopt;
    value = value.substr(1, value.size() - 2);
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%' && i + 1 < value.size() && (value[i + 1] == '%' || value[i + 1] == '<')) {
            text += value[++i];
        } else if (c == '"') {
            return std::nullopt;  // two strings, not one
        } else if (c == '<') {
            const size_t end = value.find('>', i);
            if (end == std::string_view::npos)
                return std::nullopt;
            int high = -1;
            for (size_t j = i + 1; j < end; ++j) {
                if (IsBlank(value[j]))
                    continue;
                const int digit = HexDigit(value[j]);
                if (digit < 0)
                    return std::nullopt;
                if (high < 0) {
                    high = digit;
                } else {
                    text += static_cast<char>((high << 4) | digit);
                    high = -1;
                }
            }
            if (high >= 0)
                return std::nullopt;  // an odd number of digits
            i = end;
        } else {
            text += c;
        }
    }
    return text;
}

std::optional<std::pair<long, long>> ReadPair(std::string_view value) {
    value = Trim(value);
    if (value.substr(0, 5) != "PAIR(" || value.back() != ')')
        return std::nullopt;
    value = value.substr(5, value.size() - 6);
    const size_t comma = value.find(',');
    if (comma == std::string_view::npos)
        return std::nullopt;
    const auto number = [](std::string_view text) -> std::optional<long> {
        text = Trim(text);
        long n = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
        if (text.empty() || error != std::errc() || end != text.data() + text.size())
            return std::nullopt;
        return n;
    };
    const std::optional<long> x = number(value.substr(0, comma));
    const std::optional<long> y = number(value.substr(comma + 1));
    if (!x || !y)
        return std::nullopt;
    return std::pair{*x, *y};
}

}  // namespace m450::gpd
