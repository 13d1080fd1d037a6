// m450tool: the shared pieces of every command — the command record, the argument reader,
// input and output, and the job printer. Handlers stay thin: what computes is in m450core.
#pragma once

#include "device/raw_channel.h"

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

struct Command;

// A command line's words after the command's path, read against its Command record.
class Args {
  public:
    std::string_view Operand(size_t i) const { return operands_.at(i); }
    size_t OperandCount() const { return operands_.size(); }
    bool Flag(std::string_view name) const { return Find(name) != nullptr; }
    std::optional<std::string_view> Value(std::string_view name) const;
    // The option's whole number in lo … hi, `fallback` when it is absent; nullopt (with `error`
    // saying what the option takes) when it is not a number in range.
    std::optional<int> Number(std::string_view name, int lo, int hi, int fallback, std::string& error) const;

  private:
    friend std::optional<Args> ReadArgs(const Command&, std::span<const std::string_view>, std::string&);
    const std::pair<std::string_view, std::string_view>* Find(std::string_view name) const;

    std::vector<std::string_view> operands_;
    std::vector<std::pair<std::string_view, std::string_view>> options_;  // name, value ("" for a flag)
};

struct Command {
    std::string_view path;      // the words that name it: "devmode convert"
    std::string_view operands;  // required operands, one word each, as the usage shows them: "FILE"
    std::string_view options;   // accepted options: "--hex"; "--name=VALUE" takes a value
    int (*run)(const Args& args);
    std::string_view summary;  // one line for the usage
};

// The operand count must match and every option be known; otherwise nullopt and `error` says why.
std::optional<Args> ReadArgs(const Command& command, std::span<const std::string_view> words, std::string& error);

// Splits at spaces, dropping empty words.
std::vector<std::string_view> SplitWords(std::string_view text);

// Prints "m450tool: reason" on stderr; returns kExitRefused.
int Refuse(std::string_view reason);

// The whole contents of a file or stream (/dev/stdin works: it is read to its end, not by size).
std::optional<std::vector<uint8_t>> ReadInputFile(std::string_view path, std::string& error);

// Raw bytes to stdout, or with `hex` one line of hex byte text.
void WriteBytes(std::span<const uint8_t> bytes, bool hex);
void WriteLine(std::u16string_view text);

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// The Windows system directory, which the record's default log folder is built from; on
// other systems the usual "C:\Windows\system32".
std::u16string SystemDirectory();

// A spooler table that prints a job instead of spooling it: the document name on the first
// line, then one line of hex byte text per write. Job commands hand it to the same senders the
// pages use, so the tool shows exactly the bytes the printer would get.
SpoolerCalls PrintingSpooler();
bool PrintJob(std::u16string_view documentName, std::span<const std::span<const uint8_t>> writes);

}  // namespace m450::tool
