// m450tool: a command-line companion over the portable core. The first words name a command
// of the table in commands.cpp; the rest are its operands and options.
#include "commands.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace m450::tool {
namespace {

std::string UsageLine(const Command& command) {
    std::string line = "m450tool " + std::string(command.path);
    if (!command.operands.empty()) {
        // Appended in two steps: `" " + std::string(...)` gives GCC 12 a false -Wrestrict.
        line += ' ';
        line += command.operands;
    }
    for (std::string_view option : SplitWords(command.options))
        line += " [" + std::string(option) + "]";
    return line;
}

void PrintUsage(std::FILE* out) {
    std::fputs("usage:\n", out);
    for (const Command& command : Commands()) {
        const std::string line = UsageLine(command);
        std::fprintf(out, "  %-40s %.*s\n", line.c_str(), static_cast<int>(command.summary.size()),
                     command.summary.data());
    }
}

int UsageError(std::string_view problem) {
    std::fprintf(stderr, "m450tool: %.*s\n", static_cast<int>(problem.size()), problem.data());
    PrintUsage(stderr);
    return kExitUsage;
}

// The command whose path words begin the command line.
const Command* FindCommand(std::span<const std::string_view> words) {
    for (const Command& command : Commands()) {
        const std::vector<std::string_view> path = SplitWords(command.path);
        if (path.size() <= words.size() && std::equal(path.begin(), path.end(), words.begin()))
            return &command;
    }
    return nullptr;
}

int Run(std::span<const std::string_view> words) {
    if (words.size() == 1 && (words[0] == "help" || words[0] == "--help")) {
        PrintUsage(stdout);
        return kExitOk;
    }
    const Command* command = FindCommand(words);
    if (!command)
        return UsageError(words.empty() ? "no command" : "unknown command");
    std::string error;
    const auto args = ReadArgs(*command, words.subspan(SplitWords(command->path).size()), error);
    if (!args)
        return UsageError(UsageLine(*command) + ": " + error);
    return command->run(*args);
}

}  // namespace
}  // namespace m450::tool

int main(int argc, char** argv) {
#ifdef _WIN32
    // Records go out byte for byte, and text lines end in a bare line feed on every system.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    std::vector<std::string_view> words(argv + 1, argv + argc);
    int result = m450::tool::Run(words);
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        result = m450::tool::Refuse("cannot write the output");
    return result;
}
