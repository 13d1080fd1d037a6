// The language text store's Windows side: the registry values under HKEY_CURRENT_USER
// "SOFTWARE\QUORVEN\LANGUAGE", the per-user language folder (application data + "\ZERN\"),
// the printer-driver directory that holds the shipped files, and reading the current text file
// with the platform's private-profile reader. The rules themselves are language_rules.h.
//
// Every function here fails silently: a missing key, value, folder or file leaves the
// built-in English texts and "ENG_M450.res"; nothing here throws or shows a message.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/language_rules.h"
#include "core/text_store.h"

namespace m450 {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 texts are the store's UTF-16 texts");

// A slot of the calling thread's store, as Win32 takes it.
inline const wchar_t* WText(TextId id) {
    return reinterpret_cast<const wchar_t*>(Texts().Text(id));
}

// A UTF-16 text of the core as Win32 takes it (the same characters, another type).
inline const wchar_t* WStr(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The language start-up of a process: per-user folder, registry key and current text file,
// first-run value and the system language, the user's copies of the language list and of the
// current text file. Not for DllMain (it uses the shell and the registry, which may wait on
// the loader lock). Each call runs all steps again.
void RunLanguageStartup(HMODULE module) noexcept;
// The start-up of the process, run once, when the first sheet is built: a process that only
// sizes, defaults, converts or merges records (the spooler, an application asking for a record
// without a dialog) writes no file and no registry value. Other threads that build a sheet
// meanwhile wait until it is done.
void RunLanguageStartupOnce(HMODULE module) noexcept;

// Re-reads "LANGUAGE_M450" ("ENG_M450.res" when the key or the value can't be read) and
// rebuilds the current text file's path, so that the next load follows a language change.
void RefreshCurrentTextFile() noexcept;

// Refresh, then fill every slot of one section from the current text file (a page's repaint).
void ReloadTexts(std::u16string_view section) noexcept;
// Refresh, then fill the "MessageBox" slots of one sheet (or all of them, for the Layout page).
void LoadMessages(MessageSet set) noexcept;

// The sheets' loads at initialisation: the document sheet's seven sections ("LAYOUT",
// "OPERATION", "VERSION", "WATERMARK", "1DCODE", "2DCODE", "GPD") and its messages; the
// device sheet's four ("UTILITY", "DOWNLOAD", "FONT", "VERSION") and its messages.
void LoadDocumentSheetTexts() noexcept;
void LoadDeviceSheetTexts() noexcept;

// The device sheet's note of its printer: refreshes the current file name and stores a value
// named after the printer's port with the data "LANGUAGE_M450", when the key opens.
void RememberPrinterPort(std::u16string_view portName) noexcept;

// Reads a private-profile file with the platform's reader, line breaks decoded. Values read
// before are taken from the module's cache while the file's size and write time are unchanged.
TextReader ProfileFileReader(std::u16string_view path);
// Reads the current text file (the path as it is now).
TextReader CurrentTextFileReader();

// The printer-driver directory, ending in a backslash.
std::u16string DriverDirectory();
// The per-user language folder, ending in a backslash, created when missing if asked; empty
// when the application-data folder is unknown.
std::u16string UserLanguageFolder(bool create);
// Copies the driver directory's text file over the user's when the user has none, or when
// the driver's INIVERSION is not lower than the user's and the two files differ.
void RefreshUserTextFile(std::u16string_view fileName) noexcept;

// The Layout page's Language list. LoadLanguageList copies the list file from the driver
// directory when the user has none, reads it and refreshes each listed text file.
std::vector<LanguageEntry> LoadLanguageList() noexcept;
// The entry to select among `entries` (LanguageListEntries of the list and the store's system
// entry); stores "TRUE" as the first-run value when the current language is listed and the
// value is missing.
std::optional<size_t> SelectInitialLanguage(const std::vector<LanguageEntry>& list,
                                            const std::vector<std::u16string>& entries) noexcept;
// Stores the language of the selected entry's text and its first-run value, then refreshes
// the current text file. False when no language matches or nothing could be stored.
bool ApplyLanguage(const std::vector<LanguageEntry>& list, std::u16string_view selected) noexcept;

}  // namespace m450
