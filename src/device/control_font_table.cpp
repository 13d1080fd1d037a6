#include "device/control_font_table.h"

#include "core/language_file.h"
#include "core/text_store.h"
#include "core/file_replace.h"

#include <exception>
#include <system_error>

namespace m450 {
namespace {

// Bytes that are not UTF-16 with a byte-order mark are single-byte text; hex byte text and the
// keys are ASCII, the same in every code page.
LanguageFile ParseFile(std::span<const uint8_t> bytes) {
    if (std::optional<LanguageFile> wide = LanguageFile::FromBytes(bytes))
        return *std::move(wide);
    std::u16string text;
    text.reserve(bytes.size());
    for (uint8_t b : bytes)
        text.push_back(b);
    return LanguageFile::FromText(text);
}

void AppendAscii(std::vector<uint8_t>& out, std::u16string_view text) {
    for (char16_t c : text)
        out.push_back(c >= 0x20 && c < 0x7F ? static_cast<uint8_t>(c) : uint8_t{'?'});
}

bool HasCommand(const ControlFontTable& table) {
    for (const std::u16string& command : table) {
        if (!command.empty())
            return true;
    }
    return false;
}

}  // namespace

std::u16string ControlFontFilePath(std::u16string_view windowsDirectory) {
    if (!windowsDirectory.empty() && windowsDirectory.back() == u'\\')
        windowsDirectory.remove_suffix(1);
    return std::u16string(windowsDirectory) + std::u16string(kControlFontRelativePath);
}

char16_t ControlFontCode(size_t row) {
    return static_cast<char16_t>(kFirstControlCode + row);
}

std::u16string ControlFontCharText(size_t row) {
    return std::u16string(1, ControlFontCode(row));
}

std::u16string ControlFontKey(size_t row) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    const char16_t code = ControlFontCode(row);
    return {kDigits[(code >> 4) & 0x0F], kDigits[code & 0x0F]};
}

ControlFontTable ReadControlFontTable(const ControlFontValueReader& read) {
    ControlFontTable table;
    for (size_t row = 0; row < kControlFontRowCount; ++row) {
        if (const std::optional<std::u16string> value = read(ControlFontKey(row)))
            table[row] = CutToCapacity(*value, kControlFontValueCapacity);
    }
    return table;
}

ControlFontTable ControlFontTableFromBytes(std::span<const uint8_t> bytes) {
    const LanguageFile file = ParseFile(bytes);
    return ReadControlFontTable([&file](std::u16string_view key) { return file.Value(kControlFontSection, key); });
}

std::vector<uint8_t> ControlFontFileBytes(const ControlFontTable& table) {
    std::vector<uint8_t> bytes;
    if (!HasCommand(table))
        return bytes;
    bytes.push_back('[');
    AppendAscii(bytes, kControlFontSection);
    AppendAscii(bytes, u"]");
    bytes.insert(bytes.end(), {'\r', '\n'});
    for (size_t row = 0; row < kControlFontRowCount; ++row) {
        if (table[row].empty())
            continue;
        AppendAscii(bytes, ControlFontKey(row));
        bytes.push_back('=');
        AppendAscii(bytes, table[row]);
        bytes.insert(bytes.end(), {'\r', '\n'});
    }
    return bytes;
}

// The old file stays until a complete new one replaces it: deleting it first and then writing
// row by row would lose every command after a refused write.
ControlFontSave SaveControlFontFile(const std::filesystem::path& path, const ControlFontTable& table) {
    try {
        if (!HasCommand(table)) {
            std::error_code ec;
            std::filesystem::remove(path, ec);  // a file that is not there is fine
            return ec ? ControlFontSave::kFailed : ControlFontSave::kRemoved;
        }
        return ReplaceFileWith(path, ControlFontFileBytes(table)) ? ControlFontSave::kSaved : ControlFontSave::kFailed;
    } catch (const std::exception&) {
        return ControlFontSave::kFailed;
    }
}

}  // namespace m450
