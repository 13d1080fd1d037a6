// m450tool: the shared pieces of every command — the command record, the argument reader,
// input and output, and the job printer. Handlers stay thin: what computes is in m450core.
#pragma once

#include "core/raw_channel.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace m450::tool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitRefused = 1;  // the input was refused; the reason is on stderr
inline constexpr int kExitUsage = 2;    // the command line was wrong; the usage is on stderr

// One operand of a command as the usage shows it; a repeated one takes any number of words.
struct OperandSpec {
    std::string_view name;  // "FILE"
    std::string_view help;
    bool repeated = false;
};

// One option; a flag when `value` is empty ("--hex"), else it takes one value ("--type=T").
// A required one is a usage error when absent, and the usage shows it without brackets.
struct OptionSpec {
    std::string_view name;  // "--type"
    std::string_view value;
    std::string_view help;
    bool required = false;
};

class Args;

struct Command {
    std::string_view path;  // the words that name it: "devmode convert"
    std::vector<OperandSpec> operands;
    std::vector<OptionSpec> options;
    int (*run)(const Args& args);
    std::string_view summary;  // one sentence for the usage
};

// What the command line gave a command: its operands and the options given (each once).
class Args {
  public:
    std::string_view Operand(size_t i) const { return operands_.at(i); }
    size_t OperandCount() const { return operands_.size(); }
    bool Flag(std::string_view name) const { return Find(name) != nullptr; }
    std::optional<std::string_view> Value(std::string_view name) const;
    // The option's whole number in lo … hi, `fallback` when it is absent; nullopt (with `error`
    // saying what the option takes) when it is not a number in range.
    std::optional<int> Number(std::string_view name, int lo, int hi, int fallback, std::string& error) const;

    void AddOperand(std::string word) { operands_.push_back(std::move(word)); }
    void AddOption(std::string name, std::string value) { options_.emplace_back(std::move(name), std::move(value)); }

  private:
    const std::pair<std::string, std::string>* Find(std::string_view name) const;

    std::vector<std::string> operands_;
    std::vector<std::pair<std::string, std::string>> options_;  // name, value ("" for a flag)
};

// Every text the tool prints keeps within this many columns.
inline constexpr size_t kUsageWidth = 100;

// `text` broken at spaces into lines of at most `width` characters, the first starting at
// `column` (what the line already holds), every later one after `indent` spaces.
std::string WrapText(std::string_view text, size_t width, size_t indent, size_t column = 0);

// Parses the command line against the command table and runs the command; the exit code.
int RunCommandLine(int argc, const char* const* argv);

// Prints "m450tool: reason" on stderr; returns kExitRefused.
int Refuse(std::string_view reason);

// The whole contents of a file or stream, "-" being standard input (streams are read to their
// end, not by size). `error` names the path and says why, as InputProblem does where it can.
std::optional<std::vector<uint8_t>> ReadInputFile(std::string_view path, std::string& error);

// Why nothing can be read from `path` when the file system tells: "no such file" or "is a
// folder"; else empty.
std::string InputProblem(std::string_view path);
// Why no file can be written at `path` when the file system tells: "is a folder" or "no such
// folder" (the folder it would go in); else empty.
std::string OutputProblem(std::string_view path);

// "1 byte", "2 bytes".
std::string Counted(uint64_t count, std::string_view one, std::string_view many);

// Raw bytes to stdout, or with `hex` one line of hex byte text.
void WriteBytes(std::span<const uint8_t> bytes, bool hex);
// Binary output of a command with --hex and --raw: refused (kExitRefused, with the reason on
// stderr) when stdout is a terminal and neither is given; else written, kExitOk.
int WriteBinaryOutput(const Args& args, std::span<const uint8_t> bytes);
void WriteLine(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The Windows system directory, which the record's default log folder is built from; on
// other systems the usual "C:\Windows\system32".
std::u16string SystemDirectory();

// A spooler table that prints a job instead of spooling it: the document name on the first
// line, then one line of hex byte text per write; with the command's --raw, the writes' bytes
// in order and nothing else, as the printer receives them. Job commands hand it to the same
// senders the pages use, so the tool shows exactly the bytes the printer would get.
SpoolerCalls PrintingSpooler(const Args& args);

}  // namespace m450::tool
