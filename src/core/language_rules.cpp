#include "core/language_rules.h"

#include <algorithm>
#include <climits>
#include <string>

namespace m450 {
namespace {

constexpr bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

// The list file's per-language keys: a name followed by the index in decimal.
std::u16string IndexedKey(std::u16string_view name, size_t index) {
    std::u16string key(name);
    for (char c : std::to_string(index))
        key.push_back(static_cast<char16_t>(c));
    return key;
}

std::u16string ListText(const TextReader& listFile,
                        std::u16string_view key,
                        std::u16string_view defaultText,
                        size_t capacity) {
    std::optional<std::u16string> text;
    if (listFile)
        text = listFile(kLanguageListSection, key);
    return std::u16string(CutToCapacity(text ? std::u16string_view(*text) : defaultText, capacity));
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// A combo box's prefix search: the entry begins with the text, letters compared without case.
bool BeginsWithIgnoringCase(std::u16string_view entry, std::u16string_view prefix) {
    if (entry.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(entry[i]) != FoldAscii(prefix[i]))
            return false;
    }
    return true;
}

// A missing first-run value counts as "TRUE" (the caller then stores "TRUE").
bool FollowsSystemLanguage(const std::optional<std::u16string>& firstRun) {
    return !firstRun || firstRun->find(kFirstRunTrue) != std::u16string::npos;
}

}  // namespace

std::u16string_view AcceptedTextFileName(std::optional<std::u16string_view> name) {
    if (!name || name->empty() || name->size() >= kTextFileNameCapacity)
        return kDefaultTextFile;
    return *name;
}

SystemLanguage SystemLanguageFor(uint16_t languageId) {
    switch (languageId) {
        case 0x0404:  // Chinese (Taiwan)
        case 0x0C04:  // Chinese (Hong Kong SAR)
        case 0x1004:  // Chinese (Singapore)
            return {u"CHF_M450.res", u"系統語言(System)"};
        case 0x0804:  // Chinese (PRC)
            return {u"CHN_M450.res", u"系统语言(System)"};
        default:
            return {kDefaultTextFile, kDefaultSystemEntry};
    }
}

int ProfileInt(const std::optional<std::u16string>& value, int defaultValue) {
    if (!value || value->empty())
        return defaultValue;
    const std::u16string_view text = *value;
    size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    // Accumulated as a magnitude up to just past INT_MAX + 1, so it never overflows.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - u'0');
        if (magnitude > kLimit)
            magnitude = kLimit;
    }
    if (negative)
        return static_cast<int>(-magnitude);  // -(INT_MAX + 1) is INT_MIN
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

bool ShouldRefreshUserCopy(const std::optional<std::u16string>& driverVersion,
                           const std::optional<std::u16string>& userVersion) {
    return ProfileInt(driverVersion, kDriverCopyVersionDefault) >= ProfileInt(userVersion, kUserCopyVersionDefault);
}

StartupLanguage DecideStartupLanguage(std::u16string_view currentTextFile,
                                      const std::optional<std::u16string>& firstRun,
                                      uint16_t languageId) {
    const SystemLanguage system = SystemLanguageFor(languageId);
    StartupLanguage result;
    result.writeFirstRun = !firstRun;
    result.systemEntry = system.systemEntry;
    if (FollowsSystemLanguage(firstRun)) {
        result.textFile = system.textFile;
        result.writeTextFile = true;
    } else {
        result.textFile = currentTextFile;
    }
    return result;
}

std::vector<LanguageEntry> BuildLanguageList(const TextReader& listFile) {
    std::optional<std::u16string> countText;
    if (listFile)
        countText = listFile(kLanguageListSection, kLanguageCountKey);
    const int count = ProfileInt(countText, kDefaultLanguageCount);
    const size_t n = count <= 0 ? 0 : std::min(static_cast<size_t>(count), kMaxLanguages);

    std::vector<LanguageEntry> list;
    list.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        list.push_back({
            ListText(listFile, IndexedKey(kLanguageNameKey, i), kDefaultLanguageName, kLanguageNameCapacity),
            ListText(listFile, IndexedKey(kLanguageFileKey, i), kDefaultTextFile, kLanguageFileCapacity),
            ListText(listFile, IndexedKey(kSystemEntryKey, i), kDefaultSystemEntry, kLanguageNameCapacity),
        });
    }
    return list;
}

std::vector<std::u16string> LanguageListEntries(const std::vector<LanguageEntry>& list,
                                                std::u16string_view systemEntry) {
    std::vector<std::u16string> entries;
    entries.reserve(list.size() + 1);
    for (const LanguageEntry& language : list)
        entries.push_back(language.name);
    entries.emplace_back(systemEntry);
    return entries;
}

InitialLanguage InitialLanguageEntry(const std::vector<LanguageEntry>& list,
                                     const std::vector<std::u16string>& entries,
                                     std::u16string_view currentTextFile,
                                     const std::optional<std::u16string>& firstRun) {
    InitialLanguage result;
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].textFile != currentTextFile)
            continue;
        result.writeFirstRun = !firstRun;
        if (!FollowsSystemLanguage(firstRun)) {
            if (i < entries.size())
                result.entry = i;
            return result;
        }
        for (size_t e = 0; e < entries.size(); ++e) {
            if (BeginsWithIgnoringCase(entries[e], list[i].systemEntry)) {
                result.entry = e;
                break;
            }
        }
        return result;
    }
    return result;
}

std::optional<LanguageChoice> ChooseLanguage(const std::vector<LanguageEntry>& list, std::u16string_view selected) {
    std::optional<LanguageChoice> choice;
    for (const LanguageEntry& language : list) {
        if (selected == language.name)
            choice = LanguageChoice{language.textFile, kFirstRunFalse};
        if (selected == language.systemEntry)
            choice = LanguageChoice{language.textFile, kFirstRunTrue};
    }
    return choice;
}

std::u16string DriverDirectoryOf(std::u16string_view windowsDirectory, uint16_t processorArchitecture) {
    constexpr uint16_t kAmd64 = 9;
    constexpr uint16_t kIa64 = 6;
    while (!windowsDirectory.empty() && windowsDirectory.back() == u'\\')
        windowsDirectory.remove_suffix(1);
    const bool x64 = processorArchitecture == kAmd64 || processorArchitecture == kIa64;
    std::u16string directory(windowsDirectory);
    directory += x64 ? u"\\system32\\spool\\drivers\\x64\\3\\" : u"\\system32\\spool\\drivers\\w32x86\\3\\";
    return directory;
}

}  // namespace m450
