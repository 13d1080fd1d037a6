// Hex byte text: printer command bytes typed and shown as two hexadecimal digits per byte,
// separated by spaces ("1D 56 42 00"). The event operations dialog and the control-font
// translator read their command fields through ParseCommandText and show stored commands
// with FormatHexBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

// The longest command a field accepts: the record's command block holds 128 bytes.
inline constexpr size_t kMaxCommandBytes = 128;
// The longest text a command field holds (the dialogs read it into 400 characters).
inline constexpr size_t kMaxCommandTextLength = 399;
// Three characters per formatted byte, so an accepted command always fits its field.
static_assert(3 * kMaxCommandBytes <= kMaxCommandTextLength);

// 0-9, A-F and a-f give 0 to 15; every other character gives 0.
uint8_t HexDigitValue(char16_t c);

// Never fails: non-digits count as 0, an odd digit at the end is a byte of its own.
// Yields at most one byte per character.
std::vector<uint8_t> ParseHexBytes(std::u16string_view text);

// Two upper-case digits and a space per byte, the last byte included; empty for no bytes.
std::u16string FormatHexBytes(std::span<const uint8_t> bytes);

// What a paste into a command field inserts: the clipboard's text with tabs and line breaks
// turned into spaces, or nullopt when it holds anything but hex digits and white space. A
// refused paste inserts nothing at all: dropping the other characters would still turn
// ordinary text ("hello world") into printer bytes.
std::optional<std::u16string> PastedCommandText(std::u16string_view clipboard);

// A command field's text as bytes, or nullopt when the field is too long or the command has
// more than kMaxCommandBytes bytes (the dialogs then say "Command length error!").
std::optional<std::vector<uint8_t>> ParseCommandText(std::u16string_view text);

}  // namespace m450
