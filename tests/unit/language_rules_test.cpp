// How the language is chosen: the system-language table, the refresh rule of the user's text
// files, start-up's choice, and the Layout page's Language list.
#include "core/language_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace m450 {
namespace {

TextReader ListReader(const std::map<std::u16string, std::u16string>& keys) {
    return [keys](std::u16string_view section, std::u16string_view key) -> std::optional<std::u16string> {
        if (section != u"LANGUAGE")
            return std::nullopt;
        const auto it = keys.find(std::u16string(key));
        if (it == keys.end())
            return std::nullopt;
        return it->second;
    };
}

const std::map<std::u16string, std::u16string> kShippedList = {
    {u"COUNT", u"3"},
    {u"Language0", u"English"},
    {u"Language1", u"简体中文"},
    {u"Language2", u"繁體中文"},
    {u"INI0", u"ENG_M450.res"},
    {u"INI1", u"CHN_M450.res"},
    {u"INI2", u"CHF_M450.res"},
    {u"SYSLANG0", u"System Language"},
    {u"SYSLANG1", u"系统语言(System)"},
    {u"SYSLANG2", u"系統語言(System)"},
};

TEST(LanguageRules, SystemLanguageTable) {
    for (uint16_t id : {0x0404, 0x0C04, 0x1004}) {
        EXPECT_EQ(SystemLanguageFor(id).textFile, u"CHF_M450.res") << id;
        EXPECT_EQ(SystemLanguageFor(id).systemEntry, u"系統語言(System)") << id;
    }
    EXPECT_EQ(SystemLanguageFor(0x0804).textFile, u"CHN_M450.res");
    EXPECT_EQ(SystemLanguageFor(0x0804).systemEntry, u"系统语言(System)");
    // Chinese (Macao) and every other language follow English.
    for (uint16_t id : {0x1404, 0x0409, 0x0411, 0x0000}) {
        EXPECT_EQ(SystemLanguageFor(id).textFile, u"ENG_M450.res") << id;
        EXPECT_EQ(SystemLanguageFor(id).systemEntry, u"System Language") << id;
    }
}

TEST(LanguageRules, StoredFileNameLongerThanItsSlotCountsAsMissing) {
    const std::u16string name29 = std::u16string(25, u'x') + u".res";
    EXPECT_EQ(AcceptedTextFileName(name29), name29);
    EXPECT_EQ(AcceptedTextFileName(name29 + u"x"), u"ENG_M450.res");
    EXPECT_EQ(AcceptedTextFileName(std::u16string(300, u'x')), u"ENG_M450.res");
    EXPECT_EQ(AcceptedTextFileName(u""), u"ENG_M450.res");
    EXPECT_EQ(AcceptedTextFileName(std::nullopt), u"ENG_M450.res");
    EXPECT_EQ(AcceptedTextFileName(u"CHF_M450.res"), u"CHF_M450.res");
}

TEST(LanguageRules, ProfileNumbersReadLikeThePlatformsIntegerReader) {
    EXPECT_EQ(ProfileInt(std::nullopt, 99999), 99999);
    EXPECT_EQ(ProfileInt(u"", 99999), 99999);
    EXPECT_EQ(ProfileInt(u"5", 0), 5);
    EXPECT_EQ(ProfileInt(u"  7", 0), 7);
    EXPECT_EQ(ProfileInt(u"+8", 0), 8);
    EXPECT_EQ(ProfileInt(u"-3", 0), -3);
    EXPECT_EQ(ProfileInt(u"12abc", 0), 12);
    EXPECT_EQ(ProfileInt(u"abc", 99999), 0);  // present but not a number: 0, not the default
    EXPECT_EQ(ProfileInt(u"v2", 99999), 0);
    EXPECT_EQ(ProfileInt(u"99999999999999999999", 0), INT_MAX);
    EXPECT_EQ(ProfileInt(u"-99999999999999999999", 0), INT_MIN);
    EXPECT_EQ(ProfileInt(u"2147483648", 0), INT_MAX);
    EXPECT_EQ(ProfileInt(u"-2147483648", 0), INT_MIN);
}

TEST(LanguageRules, UserCopyIsRefreshedUnlessItIsNewer) {
    EXPECT_TRUE(ShouldRefreshUserCopy(u"5", u"5"));   // equal: overwritten
    EXPECT_FALSE(ShouldRefreshUserCopy(u"4", u"5"));  // user's newer copy stays
    EXPECT_TRUE(ShouldRefreshUserCopy(u"6", u"5"));
    EXPECT_TRUE(ShouldRefreshUserCopy(std::nullopt, u"5"));  // driver's missing: 99999
    EXPECT_TRUE(ShouldRefreshUserCopy(u"1", std::nullopt));  // user's missing: 0
    EXPECT_FALSE(ShouldRefreshUserCopy(std::nullopt, u"100000"));
    EXPECT_TRUE(ShouldRefreshUserCopy(u"0", u"garbage"));  // garbage reads 0
    EXPECT_FALSE(ShouldRefreshUserCopy(u"garbage", u"1"));
}

TEST(LanguageRules, StartupFollowsTheSystemLanguageOnFirstRun) {
    // A new user on a Simplified Chinese system: first-run stored as TRUE, Chinese chosen.
    StartupLanguage start = DecideStartupLanguage(u"ENG_M450.res", std::nullopt, 0x0804);
    EXPECT_EQ(start.textFile, u"CHN_M450.res");
    EXPECT_TRUE(start.writeTextFile);
    EXPECT_TRUE(start.writeFirstRun);
    EXPECT_EQ(start.systemEntry, u"系统语言(System)");

    // The same user after choosing English by name: stays English, nothing written.
    start = DecideStartupLanguage(u"ENG_M450.res", u"FALSE", 0x0804);
    EXPECT_EQ(start.textFile, u"ENG_M450.res");
    EXPECT_FALSE(start.writeTextFile);
    EXPECT_FALSE(start.writeFirstRun);
    EXPECT_EQ(start.systemEntry, u"系统语言(System)");

    start = DecideStartupLanguage(u"ENG_M450.res", u"TRUE", 0x1004);
    EXPECT_EQ(start.textFile, u"CHF_M450.res");
    EXPECT_EQ(start.systemEntry, u"系統語言(System)");
    start = DecideStartupLanguage(u"CHN_M450.res", u"TRUE", 0x1404);
    EXPECT_EQ(start.textFile, u"ENG_M450.res");
    EXPECT_TRUE(start.writeTextFile);
    // "Contains TRUE" is the test, not equality.
    EXPECT_EQ(DecideStartupLanguage(u"ENG_M450.res", u"xTRUEx", 0x0804).textFile, u"CHN_M450.res");
    EXPECT_EQ(DecideStartupLanguage(u"CHF_M450.res", u"true", 0x0804).textFile, u"CHF_M450.res");
}

TEST(LanguageRules, ListWithAndWithoutCount) {
    const std::vector<LanguageEntry> shipped = BuildLanguageList(ListReader(kShippedList));
    ASSERT_EQ(shipped.size(), 3u);
    EXPECT_EQ(shipped[2].name, u"繁體中文");
    EXPECT_EQ(shipped[2].textFile, u"CHF_M450.res");
    EXPECT_EQ(shipped[2].systemEntry, u"系統語言(System)");

    // No COUNT (or no list file at all): two languages, each English unless its keys exist.
    for (const TextReader& reader : {ListReader({}), TextReader()}) {
        const std::vector<LanguageEntry> defaults = BuildLanguageList(reader);
        ASSERT_EQ(defaults.size(), 2u);
        for (const LanguageEntry& language : defaults) {
            EXPECT_EQ(language.name, u"English");
            EXPECT_EQ(language.textFile, u"ENG_M450.res");
            EXPECT_EQ(language.systemEntry, u"System Language");
        }
    }
    const std::vector<LanguageEntry> partial = BuildLanguageList(ListReader({{u"Language1", u"Deutsch"}}));
    ASSERT_EQ(partial.size(), 2u);
    EXPECT_EQ(partial[1].name, u"Deutsch");
    EXPECT_EQ(partial[1].textFile, u"ENG_M450.res");

    EXPECT_TRUE(BuildLanguageList(ListReader({{u"COUNT", u"0"}})).empty());
    EXPECT_TRUE(BuildLanguageList(ListReader({{u"COUNT", u"-4"}})).empty());
    EXPECT_EQ(BuildLanguageList(ListReader({{u"COUNT", u"100000"}})).size(), kMaxLanguages);
    // File names hold 19 characters, names and system entries 49.
    const std::vector<LanguageEntry> cut = BuildLanguageList(ListReader({
        {u"COUNT", u"1"},
        {u"INI0", u"A_VERY_LONG_FILE_NAME.res"},
        {u"Language0", std::u16string(60, u'n')},
    }));
    EXPECT_EQ(cut[0].textFile, u"A_VERY_LONG_FILE_NA");
    EXPECT_EQ(cut[0].name.size(), 49u);

    EXPECT_EQ(LanguageListEntries(shipped, u"System Language"),
              (std::vector<std::u16string>{u"English", u"简体中文", u"繁體中文", u"System Language"}));
}

TEST(LanguageRules, InitialSelectionFollowsTheFirstRunValue) {
    const std::vector<LanguageEntry> list = BuildLanguageList(ListReader(kShippedList));
    const std::vector<std::u16string> chineseSystem = LanguageListEntries(list, u"系统语言(System)");

    // TRUE: the entry that begins with that language's system entry (the last one).
    InitialLanguage initial = InitialLanguageEntry(list, chineseSystem, u"CHN_M450.res", u"TRUE");
    EXPECT_EQ(initial.entry, 3u);
    EXPECT_FALSE(initial.writeFirstRun);
    // FALSE: the language's own entry.
    initial = InitialLanguageEntry(list, chineseSystem, u"CHN_M450.res", u"FALSE");
    EXPECT_EQ(initial.entry, 1u);
    // Missing: counts as TRUE and is stored.
    initial = InitialLanguageEntry(list, chineseSystem, u"CHN_M450.res", std::nullopt);
    EXPECT_EQ(initial.entry, 3u);
    EXPECT_TRUE(initial.writeFirstRun);
    // A file the list doesn't name: nothing selected, the first-run value not touched.
    initial = InitialLanguageEntry(list, chineseSystem, u"DEU_M450.res", std::nullopt);
    EXPECT_EQ(initial.entry, std::nullopt);
    EXPECT_FALSE(initial.writeFirstRun);
    // TRUE, but the system entry shown is another language's: no entry begins with it.
    initial = InitialLanguageEntry(list, chineseSystem, u"ENG_M450.res", u"TRUE");
    EXPECT_EQ(initial.entry, std::nullopt);
    // The prefix search ignores letter case, as a combo box's does.
    initial =
        InitialLanguageEntry(list, LanguageListEntries(list, u"SYSTEM LANGUAGE (default)"), u"ENG_M450.res", u"TRUE");
    EXPECT_EQ(initial.entry, 3u);
}

TEST(LanguageRules, ApplyingAnEntry) {
    const std::vector<LanguageEntry> list = BuildLanguageList(ListReader(kShippedList));
    std::optional<LanguageChoice> choice = ChooseLanguage(list, u"简体中文");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->textFile, u"CHN_M450.res");
    EXPECT_EQ(choice->firstRun, u"FALSE");
    choice = ChooseLanguage(list, u"系統語言(System)");
    ASSERT_TRUE(choice);
    EXPECT_EQ(choice->textFile, u"CHF_M450.res");
    EXPECT_EQ(choice->firstRun, u"TRUE");
    EXPECT_FALSE(ChooseLanguage(list, u"Deutsch"));
    EXPECT_FALSE(ChooseLanguage(list, u"english"));  // exact text, not a prefix search

    // Every index is tested, names and system entries alike; the last match wins.
    const std::vector<LanguageEntry> clash = BuildLanguageList(ListReader({
        {u"COUNT", u"2"},
        {u"Language0", u"Auto"},
        {u"INI0", u"A.res"},
        {u"SYSLANG0", u"System"},
        {u"Language1", u"System"},
        {u"INI1", u"B.res"},
        {u"SYSLANG1", u"Auto"},
    }));
    choice = ChooseLanguage(clash, u"System");
    EXPECT_EQ(choice->textFile, u"B.res");
    EXPECT_EQ(choice->firstRun, u"FALSE");
    choice = ChooseLanguage(clash, u"Auto");
    EXPECT_EQ(choice->textFile, u"B.res");
    EXPECT_EQ(choice->firstRun, u"TRUE");
    // Without COUNT both entries read "English": the second wins, as a named choice.
    choice = ChooseLanguage(BuildLanguageList(ListReader({})), u"English");
    EXPECT_EQ(choice->textFile, u"ENG_M450.res");
    EXPECT_EQ(choice->firstRun, u"FALSE");
}

TEST(LanguageRules, DriverDirectoryByProcessorArchitecture) {
    EXPECT_EQ(DriverDirectoryOf(u"C:\\windows", 9), u"C:\\windows\\system32\\spool\\drivers\\x64\\3\\");
    EXPECT_EQ(DriverDirectoryOf(u"C:\\windows", 6), u"C:\\windows\\system32\\spool\\drivers\\x64\\3\\");
    EXPECT_EQ(DriverDirectoryOf(u"C:\\windows", 0), u"C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\");
    EXPECT_EQ(DriverDirectoryOf(u"C:\\windows", 12), u"C:\\windows\\system32\\spool\\drivers\\w32x86\\3\\");
    EXPECT_EQ(DriverDirectoryOf(u"D:\\", 9), u"D:\\system32\\spool\\drivers\\x64\\3\\");
}

}  // namespace
}  // namespace m450
