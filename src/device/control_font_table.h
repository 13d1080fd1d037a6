// The control-font character translation table: for each character 20 to 7F (hex) of the
// driver's "Control Font", the printer command it stands for, kept as hex byte text in the file
// M450CONTROL.dat in the printer-driver directory.
//
// The file is a private-profile (INI) file with one section, "Character Translation Table",
// whose keys are the character codes in upper-case hex ("20" .. "7F") and whose values are the
// commands as hex byte text; a character without a key has no command. It is plain ASCII with
// CRLF line ends, as the platform's private-profile functions create it, so those functions and
// any other reader of the file read it alike.
//
// The table dialog reads the file key by key and edits the rows in its list; on OK the whole
// table is saved: written completely beside the old file and only then renamed over it, so a
// failed save leaves the old file as it was. A table without any command leaves no file.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace m450 {

inline constexpr char16_t kFirstControlCode = 0x20;
inline constexpr char16_t kLastControlCode = 0x7F;
inline constexpr size_t kControlFontRowCount = kLastControlCode - kFirstControlCode + 1;
static_assert(kControlFontRowCount == 96);

inline constexpr std::u16string_view kControlFontSection = u"Character Translation Table";
inline constexpr std::u16string_view kControlFontDriverName = u"KVL-M450 Printer Driver";
// Below the Windows directory. The same path for 32- and 64-bit processes: the system's file
// redirection leaves the spool folder alone, and the driver's other side reads this very file.
inline constexpr std::u16string_view kControlFontRelativePath =
    u"\\system32\\spool\\drivers\\w32x86\\3\\M450CONTROL.dat";
// The dialog reads each value into 400 characters.
inline constexpr size_t kControlFontValueCapacity = 400;

// The table dialog's own messages (it reads no language file). The translator refuses a long
// command with the "MB_OPERATION_ERROR1" message of the language store instead.
inline constexpr std::u16string_view kControlFontLengthError = u"Command length error";
inline constexpr std::u16string_view kControlFontSaveError = u"Please check if user has administrator privileges!";

// The file's path for the Windows directory (a trailing backslash is allowed).
std::u16string ControlFontFilePath(std::u16string_view windowsDirectory);

// The three columns of a row (0 .. 95): the character, its code ("%X", also the file's key)
// and its command.
char16_t ControlFontCode(size_t row);
std::u16string ControlFontCharText(size_t row);
std::u16string ControlFontKey(size_t row);

// The Command column of every row, in code order.
using ControlFontTable = std::array<std::u16string, kControlFontRowCount>;

// Reads one key of the section: the value, or nullopt for a missing key. The dialog reads the
// file through the platform's private-profile reader.
using ControlFontValueReader = std::function<std::optional<std::u16string>(std::u16string_view key)>;
// Each value as it stands (cut to 399 characters), empty for a missing key.
ControlFontTable ReadControlFontTable(const ControlFontValueReader& read);
// The same from the file's bytes (ASCII, or UTF-16LE with its byte-order mark); a missing or
// unreadable file is simply empty bytes and gives an empty table.
ControlFontTable ControlFontTableFromBytes(std::span<const uint8_t> bytes);

// The file's bytes for a table: the section line, then "KEY=command" for each row with a
// command, in code order. A character outside printable ASCII (only a hand-edited file has
// one) is written as '?', as the platform's writer would. Empty when no row has a command.
std::vector<uint8_t> ControlFontFileBytes(const ControlFontTable& table);

enum class ControlFontSave {
    kSaved,    // the file holds exactly the table
    kRemoved,  // no row had a command: there is no file (any more)
    kFailed,   // nothing changed: "Please check if user has administrator privileges!"
};
// Saves the table as the file at `path`, replacing the old file only when the new one was
// written completely.
ControlFontSave SaveControlFontFile(const std::filesystem::path& path, const ControlFontTable& table);

}  // namespace m450
