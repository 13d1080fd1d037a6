// How the plug-in chooses its language: the names of the language files and registry values,
// the system-language table, the refresh rule of the per-user text files, and the Language
// list of the Layout page (building it, its initial selection, applying a choice).
//
// Pure functions: the Windows shell (language_win.cpp) reads the registry and the files and
// hands the values in; these decide.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_store.h"

namespace m450 {

inline constexpr std::u16string_view kDefaultTextFile = u"ENG_M450.res";
inline constexpr std::u16string_view kLanguageListFile = u"LANGUAGE_M450.dat";
inline constexpr std::u16string_view kUserFolderName = u"ZERN";

// The language list file: section "LANGUAGE".
inline constexpr std::u16string_view kLanguageListSection = u"LANGUAGE";
inline constexpr std::u16string_view kLanguageCountKey = u"COUNT";
inline constexpr std::u16string_view kLanguageNameKey = u"Language";  // + index
inline constexpr std::u16string_view kLanguageFileKey = u"INI";       // + index
inline constexpr std::u16string_view kSystemEntryKey = u"SYSLANG";    // + index
inline constexpr std::u16string_view kCurrentFileKey = u"CUR_INI";
inline constexpr int kDefaultLanguageCount = 2;
inline constexpr std::u16string_view kDefaultLanguageName = u"English";
inline constexpr std::u16string_view kDefaultSystemEntry = u"System Language";

// Every text file: section "FILEVER", key "INIVERSION", a decimal number.
inline constexpr std::u16string_view kFileVersionSection = u"FILEVER";
inline constexpr std::u16string_view kFileVersionKey = u"INIVERSION";
inline constexpr int kDriverCopyVersionDefault = 99999;
inline constexpr int kUserCopyVersionDefault = 0;

// Registry, under HKEY_CURRENT_USER.
inline constexpr std::u16string_view kLanguageRegistryKey = u"SOFTWARE\\QUORVEN\\LANGUAGE";
inline constexpr std::u16string_view kLanguageValueName = u"LANGUAGE_M450";
inline constexpr std::u16string_view kFirstRunValueName = u"IsFirstRun_M450";
inline constexpr std::u16string_view kFirstRunTrue = u"TRUE";
inline constexpr std::u16string_view kFirstRunFalse = u"FALSE";

// The name of the current text file: a stored name that is missing, empty or longer than the
// 29 characters of its slot counts as missing, which selects "ENG_M450.res".
std::u16string_view AcceptedTextFileName(std::optional<std::u16string_view> name);

// The text file that follows a system language, and the system entry in that language.
struct SystemLanguage {
    std::u16string_view textFile;
    std::u16string_view systemEntry;
};
SystemLanguage SystemLanguageFor(uint16_t languageId);

// A number of a private-profile file read the way the platform's integer reader does: a
// missing or empty value gives the default; otherwise leading blanks, an optional sign and
// the decimal digits up to the first other character ("12abc" is 12, "abc" is 0), clamped to
// the range of int.
int ProfileInt(const std::optional<std::u16string>& value, int defaultValue);

// Whether the driver directory's copy of a text file replaces the user's existing copy: when
// the driver's INIVERSION (99999 when absent) is at least the user's (0 when absent).
bool ShouldRefreshUserCopy(const std::optional<std::u16string>& driverVersion,
                           const std::optional<std::u16string>& userVersion);

// Start-up's choice of the current text file from the first-run value and the system language.
struct StartupLanguage {
    std::u16string textFile;          // the current text file from now on
    bool writeTextFile = false;       // store textFile as "LANGUAGE_M450"
    bool writeFirstRun = false;       // the first-run value was missing: store "TRUE"
    std::u16string_view systemEntry;  // text of the Language list's system entry
};
StartupLanguage DecideStartupLanguage(std::u16string_view currentTextFile,
                                      const std::optional<std::u16string>& firstRun,
                                      uint16_t languageId);

// One language of the list file. The page's buffers bound the texts.
inline constexpr size_t kLanguageNameCapacity = 50;
inline constexpr size_t kLanguageFileCapacity = 20;
inline constexpr size_t kMaxLanguages = 32;
struct LanguageEntry {
    std::u16string name;
    std::u16string textFile;
    std::u16string systemEntry;
};
// "COUNT" languages (2 when absent, at most kMaxLanguages), each key with its default.
std::vector<LanguageEntry> BuildLanguageList(const TextReader& listFile);

// The Language list's entries: the language names in list order, then the system entry.
std::vector<std::u16string> LanguageListEntries(const std::vector<LanguageEntry>& list,
                                                std::u16string_view systemEntry);

// The entry selected when the page opens.
struct InitialLanguage {
    std::optional<size_t> entry;  // nothing selected when the current file is not listed
    bool writeFirstRun = false;   // the first-run value was missing: store "TRUE"
};
InitialLanguage InitialLanguageEntry(const std::vector<LanguageEntry>& list,
                                     const std::vector<std::u16string>& entries,
                                     std::u16string_view currentTextFile,
                                     const std::optional<std::u16string>& firstRun);

// What applying the selected entry stores: the text file for "LANGUAGE_M450" and the
// first-run value ("TRUE" for a system entry, "FALSE" for a language name). Every index is
// tested in order, names and system entries alike; the last match wins. nullopt: no match.
struct LanguageChoice {
    std::u16string textFile;
    std::u16string_view firstRun;
};
std::optional<LanguageChoice> ChooseLanguage(const std::vector<LanguageEntry>& list, std::u16string_view selected);

// The printer-driver directory under the Windows directory, ending in a backslash: "x64" for
// the AMD64 (9) and IA64 (6) processor architectures, "w32x86" for the others.
std::u16string DriverDirectoryOf(std::u16string_view windowsDirectory, uint16_t processorArchitecture);

}  // namespace m450
