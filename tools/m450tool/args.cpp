// The command line, on CLI11: one subcommand per row of the command table (the words of its
// path nested: "job" → "barcode1d"), -h/--help on the tool and on every command, --version,
// "--" ending the options, usage wrapped to 100 columns, and every option at most once.
// Exit codes: 0 done (help and version included), 1 refused by the command, 2 usage.
#include "commands.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>

#ifndef M450_VERSION
#define M450_VERSION "unknown"
#endif

namespace m450::tool {

// A word longer than a line gets a line of its own.
std::string WrapText(std::string_view text, size_t width, size_t indent, size_t column) {
    std::string out;
    bool lineStart = true;
    while (!text.empty()) {
        const size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (word.empty())
            continue;
        if (!lineStart && column + 1 + word.size() > width) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
            lineStart = true;
        }
        if (!lineStart) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
        lineStart = false;
    }
    return out;
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

const std::pair<std::string, std::string>* Args::Find(std::string_view name) const {
    for (const auto& option : options_)
        if (option.first == name)
            return &option;
    return nullptr;
}

namespace {

constexpr size_t kOptionColumn = 30;  // CLI11's column of option names

// CLI11 indents the lines of an option's description to its column itself.
std::string OptionHelp(std::string_view text) {
    return WrapText(text, kUsageWidth - kOptionColumn, 0);
}

std::string Synopsis(const Command& command) {
    std::string line = "m450tool " + std::string(command.path);
    for (const OperandSpec& operand : command.operands)
        line += " " + std::string(operand.name) + (operand.repeated ? "..." : "");
    for (const OptionSpec& option : command.options) {
        const std::string text =
            std::string(option.name) + (option.value.empty() ? "" : "=" + std::string(option.value));
        line += option.required ? " " + text : " [" + text + "]";
    }
    return line;
}

std::string CommandList() {
    std::string list = "Commands (m450tool COMMAND --help tells a command's operands and options):\n";
    for (const Command& command : Commands()) {
        list += "  " + WrapText(Synopsis(command), kUsageWidth, 6, 2) + "\n";
        list += "        " + WrapText(command.summary, kUsageWidth, 8, 8) + "\n";
    }
    return list;
}

// One command's parsing targets. Held in a deque, so the addresses CLI11 keeps stay valid.
struct Bound {
    const Command* command = nullptr;
    CLI::App* app = nullptr;
    std::deque<std::string> operands;  // one per single operand
    std::vector<std::string> repeated;
    std::deque<std::string> values;  // one per option
    std::vector<CLI::Option*> options;
};

class CommandLine {
  public:
    CommandLine()
        : app_(WrapText("m450tool: the KVL-M450 driver's companion over its portable core: private records, "
                        "hex byte text, every raw job the pages send, logo and watermark conversion, and "
                        "decoding what a printer was told.",
                        kUsageWidth,
                        0),
               "m450tool") {
        app_.get_formatter()->column_width(kOptionColumn);
        app_.set_version_flag("--version", "m450tool " M450_VERSION);
        app_.require_subcommand(1);
        groups_[""] = &app_;
        for (const Command& command : Commands())
            Bind(command);
        app_.footer(CommandList());  // after the commands, which would take it over
        CLI::App* help = app_.add_subcommand("help", "this usage");
        help->group("");
        groups_["help"] = help;
        help->callback([] { throw CLI::CallForHelp(); });
    }

    int Run(int argc, const char* const* argv) {
        if (const auto unknown = UnknownCommand(argc, argv))
            return UsageError("unknown command " + unknown->second, unknown->first);
        try {
            app_.parse(argc, argv);
        } catch (const CLI::ParseError& e) {
            if (e.get_exit_code() == 0)
                return app_.exit(e);  // help or version, on stdout
            return UsageError(e.what());
        }
        CLI::App* leaf = Deepest();
        for (Bound& bound : bound_) {
            if (bound.app != leaf)
                continue;
            Args args;
            for (const std::string& operand : bound.operands)
                args.AddOperand(operand);
            for (const std::string& operand : bound.repeated)
                args.AddOperand(operand);
            for (size_t i = 0; i < bound.options.size(); ++i) {
                const CLI::Option* option = bound.options[i];
                if (option->count() > 1)
                    return UsageError(option->get_name() + " is given more than once");
                if (option->count() == 1)
                    args.AddOption(std::string(bound.command->options[i].name), bound.values[i]);
            }
            return bound.command->run(args);
        }
        return kExitUsage;  // not reached: every leaf is a command
    }

  private:
    // The problem, and where to read the usage of the command it was found in (by default the
    // one the parse went deepest into).
    int UsageError(const std::string& problem, std::optional<std::string> command = std::nullopt) {
        std::string path;
        if (command) {
            path = command->empty() ? "" : " " + *command;
        } else {
            for (const CLI::App* app = Deepest(); app && app != &app_; app = app->get_parent())
                path = " " + app->get_name() + path;
        }
        std::fprintf(stderr, "m450tool: %s\nRun \"m450tool%s --help\" for its usage.\n", problem.c_str(), path.c_str());
        return kExitUsage;
    }

    // A word where a command's name belongs that names none ("frobnicate", "job frobnicate"):
    // the group it was given to and the words as typed. CLI11 would only say that a subcommand
    // is required.
    std::optional<std::pair<std::string, std::string>> UnknownCommand(int argc, const char* const* argv) const {
        std::string path;
        for (int i = 1; i < argc && groupPaths_.count(path) != 0; ++i) {
            const std::string_view word = argv[i];
            if (word.empty() || word.front() == '-')
                return std::nullopt;  // an option: CLI11 reads it
            const std::string next = path.empty() ? std::string(word) : path + " " + std::string(word);
            if (groups_.count(next) == 0)
                return std::make_pair(path, next);
            path = next;
        }
        return std::nullopt;
    }

    // The subcommand the parse went deepest into.
    CLI::App* Deepest() {
        CLI::App* app = &app_;
        while (!app->get_subcommands().empty())
            app = app->get_subcommands().front();
        return app;
    }

    // The subcommand of the path's first words, made with its parents when it is new.
    CLI::App* Group(std::string_view path) {
        const std::string key(path);
        if (const auto found = groups_.find(key); found != groups_.end())
            return found->second;
        const size_t space = path.rfind(' ');
        CLI::App* parent = Group(space == std::string_view::npos ? "" : path.substr(0, space));
        const std::string name(space == std::string_view::npos ? path : path.substr(space + 1));
        CLI::App* group = parent->add_subcommand(name, "");
        group->require_subcommand(1);
        groupPaths_.insert(key);
        if (parent == &app_)
            group->group("");  // the tool's help lists whole commands instead (the footer)
        return groups_[key] = group;
    }

    void Bind(const Command& command) {
        Bound& bound = bound_.emplace_back();
        bound.command = &command;
        const size_t space = command.path.rfind(' ');
        CLI::App* parent = Group(space == std::string_view::npos ? "" : command.path.substr(0, space));
        const std::string name(space == std::string_view::npos ? command.path : command.path.substr(space + 1));
        bound.app = parent->add_subcommand(name, WrapText(command.summary, kUsageWidth, 0));
        // Listed in its group's help ("m450tool job --help"); the tool's own help lists whole commands.
        bound.app->group(parent == &app_ ? "" : "Commands");
        groups_[std::string(command.path)] = bound.app;
        for (const OperandSpec& operand : command.operands) {
            const std::string operandName(operand.name);
            if (operand.repeated) {
                bound.app->add_option(operandName, bound.repeated, OptionHelp(operand.help))->type_name("");
            } else {
                std::string& target = bound.operands.emplace_back();
                bound.app->add_option(operandName, target, OptionHelp(operand.help))->type_name("")->required();
            }
        }
        for (const OptionSpec& described : command.options) {
            std::string& target = bound.values.emplace_back();
            const std::string optionName(described.name);
            CLI::Option* option = described.value.empty()
                                      ? bound.app->add_flag(optionName)->description(OptionHelp(described.help))
                                      : bound.app->add_option(optionName, target, OptionHelp(described.help))
                                            ->type_name(std::string(described.value));
            // Counted after parsing, so that a repeated option is refused whatever its kind.
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
            if (described.required)
                option->required();
            bound.options.push_back(option);
        }
    }

    CLI::App app_;
    std::map<std::string, CLI::App*> groups_;  // every command and group by its words, "" the tool
    std::set<std::string> groupPaths_{""};     // the words of those that take a command after them
    std::deque<Bound> bound_;
};

}  // namespace

int RunCommandLine(int argc, const char* const* argv) {
    CommandLine commandLine;
    return commandLine.Run(argc, argv);
}

}  // namespace m450::tool
