#include "tool.h"

#include <algorithm>
#include <charconv>
#include <string>

namespace m450::tool {

std::vector<std::string_view> SplitWords(std::string_view text) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos)
            break;
        text.remove_prefix(start);
        const size_t end = std::min(text.find(' '), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    return words;
}

std::optional<int> Args::Number(std::string_view name, int lo, int hi, int fallback, std::string& error) const {
    const auto text = Value(name);
    if (!text)
        return fallback;
    int value = 0;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (ec != std::errc() || end != text->data() + text->size() || value < lo || value > hi) {
        error = std::string(name) + " takes a whole number from " + std::to_string(lo) + " to " + std::to_string(hi);
        return std::nullopt;
    }
    return value;
}

std::optional<std::string_view> Args::Value(std::string_view name) const {
    const auto* option = Find(name);
    if (!option)
        return std::nullopt;
    return option->second;
}

const std::pair<std::string_view, std::string_view>* Args::Find(std::string_view name) const {
    for (const auto& option : options_)
        if (option.first == name)
            return &option;
    return nullptr;
}

namespace {

// The option's form word in `options` ("--hex" or "--name=VALUE"), or nullopt if unknown.
std::optional<std::string_view> OptionForm(std::string_view options, std::string_view name) {
    for (std::string_view form : SplitWords(options))
        if (form.substr(0, form.find('=')) == name)
            return form;
    return std::nullopt;
}

}  // namespace

// Options are "--flag", "--name VALUE" or "--name=VALUE"; every other word is an operand.
std::optional<Args> ReadArgs(const Command& command, std::span<const std::string_view> words, std::string& error) {
    Args args;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (!word.starts_with("--")) {
            args.operands_.push_back(word);
            continue;
        }
        const size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const auto form = OptionForm(command.options, name);
        if (!form) {
            error = "unknown option " + std::string(name);
            return std::nullopt;
        }
        const bool takesValue = form->find('=') != std::string_view::npos;
        std::string_view value;
        if (takesValue && equals != std::string_view::npos) {
            value = word.substr(equals + 1);
        } else if (takesValue && i + 1 < words.size()) {
            value = words[++i];
        } else if (takesValue || equals != std::string_view::npos) {
            error = std::string(takesValue ? "missing value of " : "no value taken by ") + std::string(name);
            return std::nullopt;
        }
        args.options_.emplace_back(name, value);
    }
    // A last operand word ending in "..." stands for any number of operands, none included.
    const std::vector<std::string_view> wanted = SplitWords(command.operands);
    const bool repeated = !wanted.empty() && wanted.back().ends_with("...");
    if (repeated ? args.operands_.size() < wanted.size() - 1 : args.operands_.size() != wanted.size()) {
        error = "wrong number of operands";
        return std::nullopt;
    }
    return args;
}

}  // namespace m450::tool
