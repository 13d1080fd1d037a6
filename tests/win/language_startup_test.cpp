// The language start-up and the text loads against the real registry and the real files of
// the prefix, read with the platform's own private-profile reader. Linked with the shell
// directly; the fixtures put the language key and files back when each test ends.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "core/language_rules.h"
#include "core/language_win.h"
#include "core/text_store.h"
#include "fixtures.h"

namespace m450 {
namespace {

using m450test::LanguageFiles;
using m450test::LanguageFolder;
using m450test::LanguageRegistry;

std::wstring W(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string U(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

class LanguageStartup : public testing::Test {
  protected:
    void SetUp() override {
        // The shipped files in the driver directory, nothing yet in the user's folder.
        for (const wchar_t* name : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"}) {
            ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::Driver, name, std::wstring(L"lang/") + name));
            ASSERT_TRUE(files_.Remove(LanguageFolder::PerUser, name));
        }
        ASSERT_TRUE(registry_.RemoveKey());
    }

    static bool UserHas(std::wstring_view name) {
        return LanguageFiles::Read(LanguageFolder::PerUser, name).has_value();
    }

    LanguageFiles files_;
    LanguageRegistry registry_;
};

TEST_F(LanguageStartup, FirstStartFollowsTheSystemLanguage) {
    RunLanguageStartup(nullptr);
    const SystemLanguage system = SystemLanguageFor(GetSystemDefaultLangID());
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"TRUE");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), W(system.textFile));
    EXPECT_EQ(Texts().TextFileName(), system.textFile);
    EXPECT_EQ(Texts().SystemEntryText(), system.systemEntry);
    EXPECT_TRUE(UserHas(L"LANGUAGE_M450.dat"));
    EXPECT_TRUE(UserHas(W(system.textFile)));
    EXPECT_EQ(std::u16string_view(Texts().TextFilePath()),
              U(m450test::LanguageFolderPath(LanguageFolder::PerUser)) + std::u16string(system.textFile));
}

TEST_F(LanguageStartup, ChosenLanguageStaysAndItsTextsLoad) {
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kFirstRunValue, L"FALSE"));
    RunLanguageStartup(nullptr);
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"CHN_M450.res");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"FALSE");
    ASSERT_TRUE(UserHas(L"CHN_M450.res"));

    LoadDocumentSheetTexts();
    EXPECT_EQ(Texts().View(TextId::LAYOUT_RC_LANGUAGE), u"语言：");
    EXPECT_EQ(Texts().View(TextId::GPD_RC_DENSITY_INDEX), u"浓度");
    EXPECT_EQ(Texts().View(TextId::MSG_MB_OPERATION_ERROR1), u"命令长度错误！");
    EXPECT_NE(Texts().View(TextId::VERSION_RC_STATIC_VER5).find(u'\n'), std::u16string_view::npos);
    // The device sheet's messages are not part of the document sheet's load.
    Texts().Load(TextId::MSG_MB_UTILITY_ERROR1, nullptr);
    LoadDocumentSheetTexts();
    EXPECT_EQ(Texts().View(TextId::MSG_MB_UTILITY_ERROR1), u"Set custom paper size failed!");
    LoadMessages(MessageSet::All);
    EXPECT_EQ(Texts().View(TextId::MSG_MB_UTILITY_ERROR1), u"设置自定义纸张大小失败！");

    // The font page's notice keeps its trailing blank through the platform's reader.
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"ENG_M450.res", L"lang/ENG_M450.res"));
    ReloadTexts(u"FONT");
    EXPECT_EQ(Texts().View(TextId::FONT_RC_STATIC_FONT_NOTICE), u"Select this font size in the application. ");
}

// The copies are compared byte for byte: the platform's reader keeps a file's contents until its
// write time changes, and files written a few milliseconds apart may share one.
TEST_F(LanguageStartup, UserCopyIsReplacedUnlessItIsNewer) {
    const std::wstring user5 = L"[FILEVER]\r\nINIVERSION=5\r\n[LAYOUT]\r\nRC_LANGUAGE=user\r\n";
    ASSERT_TRUE(files_.InstallText(LanguageFolder::PerUser, L"CHN_M450.res", user5));
    ASSERT_TRUE(files_.InstallText(LanguageFolder::Driver, L"CHN_M450.res",
                                   L"[FILEVER]\r\nINIVERSION=4\r\n[LAYOUT]\r\nRC_LANGUAGE=driver\r\n"));
    ASSERT_TRUE(files_.InstallText(LanguageFolder::PerUser, L"CHF_M450.res", user5));
    ASSERT_TRUE(files_.InstallText(LanguageFolder::Driver, L"CHF_M450.res",
                                   L"[FILEVER]\r\nINIVERSION=5\r\n[LAYOUT]\r\nRC_LANGUAGE=driver\r\n"));
    RefreshUserTextFile(u"CHN_M450.res");
    RefreshUserTextFile(u"CHF_M450.res");
    EXPECT_NE(LanguageFiles::Read(LanguageFolder::PerUser, L"CHN_M450.res"),
              LanguageFiles::Read(LanguageFolder::Driver, L"CHN_M450.res"));
    EXPECT_EQ(LanguageFiles::Read(LanguageFolder::PerUser, L"CHF_M450.res"),
              LanguageFiles::Read(LanguageFolder::Driver, L"CHF_M450.res"));
}

// A process that starts when the user's copies are current writes no file: the copy of the
// same version holding the driver's bytes keeps its write time. One byte different, it is
// replaced as before.
TEST_F(LanguageStartup, CurrentUserCopyIsNotWrittenAgain) {
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    ASSERT_TRUE(registry_.Set(m450test::kFirstRunValue, L"FALSE"));
    for (const wchar_t* name : {L"LANGUAGE_M450.dat", L"ENG_M450.res"})
        ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, name, std::wstring(L"lang/") + name));
    const std::wstring user = m450test::LanguageFolderPath(LanguageFolder::PerUser) + L"ENG_M450.res";
    const auto writeTime = [&user]() -> ULONGLONG {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!GetFileAttributesExW(user.c_str(), GetFileExInfoStandard, &data))
            return 0;
        return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    };
    const auto setOldWriteTime = [&user] {
        const HANDLE file = CreateFileW(user.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        const FILETIME old{0xD53E8000, 0x01C0A4C0};  // early 2001
        const bool set = file != INVALID_HANDLE_VALUE && SetFileTime(file, nullptr, nullptr, &old);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        return set;
    };
    ASSERT_TRUE(setOldWriteTime());
    const ULONGLONG before = writeTime();
    RunLanguageStartup(nullptr);
    EXPECT_EQ(writeTime(), before);

    std::vector<uint8_t> changed = *LanguageFiles::Read(LanguageFolder::PerUser, L"ENG_M450.res");
    changed.back() ^= 1;
    ASSERT_TRUE(files_.Install(LanguageFolder::PerUser, L"ENG_M450.res", changed));
    ASSERT_TRUE(setOldWriteTime());
    RunLanguageStartup(nullptr);
    EXPECT_NE(writeTime(), before);
    EXPECT_EQ(LanguageFiles::Read(LanguageFolder::PerUser, L"ENG_M450.res"),
              LanguageFiles::Read(LanguageFolder::Driver, L"ENG_M450.res"));
}

TEST_F(LanguageStartup, MissingValuesSectionsAndOverlongNames) {
    RunLanguageStartup(nullptr);
    // A text file without "MessageBox": every message shows its English text.
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    ASSERT_TRUE(files_.InstallText(LanguageFolder::PerUser, L"CHN_M450.res",
                                   L"[FILEVER]\r\nINIVERSION=1\r\n[LAYOUT]\r\nRC_LANGUAGE=语言：\r\n"));
    LoadMessages(MessageSet::All);
    EXPECT_EQ(Texts().View(TextId::MSG_MB_DOWNLOAD_ERROR3),
              u"The image is too big to be selected.\nthe width must be less than 1024 Byte,and the height must be "
              u"less than 768 Byte!");
    ReloadTexts(u"LAYOUT");
    EXPECT_EQ(Texts().View(TextId::LAYOUT_RC_LANGUAGE), u"语言：");
    EXPECT_EQ(Texts().View(TextId::LAYOUT_RC_PAPERSIZE), u"Paper Size:");

    // A stored name longer than its 29-character slot counts as missing.
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"A_LANGUAGE_FILE_NAME_OF_40_CHARACTERS.res"));
    RefreshCurrentTextFile();
    EXPECT_EQ(Texts().TextFileName(), u"ENG_M450.res");
    // No key at all: English.
    ASSERT_TRUE(registry_.RemoveKey());
    RefreshCurrentTextFile();
    EXPECT_EQ(Texts().TextFileName(), u"ENG_M450.res");
}

TEST_F(LanguageStartup, DeviceSheetNotesThePrinterPort) {
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHF_M450.res"));
    RememberPrinterPort(u"USB001");
    EXPECT_EQ(LanguageRegistry::Read(L"USB001"), L"LANGUAGE_M450");
    EXPECT_EQ(Texts().TextFileName(), u"CHF_M450.res");
}

TEST_F(LanguageStartup, LanguageListSelectAndApply) {
    RunLanguageStartup(nullptr);
    ASSERT_TRUE(registry_.Remove(m450test::kFirstRunValue));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    Texts().SetSystemEntryText(u"System Language");

    const std::vector<LanguageEntry> list = LoadLanguageList();
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[2].name, u"繁體中文");
    EXPECT_TRUE(UserHas(L"CHN_M450.res"));  // every listed file is refreshed
    EXPECT_TRUE(UserHas(L"CHF_M450.res"));

    const std::vector<std::u16string> entries = LanguageListEntries(list, Texts().SystemEntryText());
    EXPECT_EQ(SelectInitialLanguage(list, entries), 3u);  // a missing first-run value reads TRUE
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"TRUE");

    EXPECT_TRUE(ApplyLanguage(list, u"繁體中文"));
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"CHF_M450.res");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"FALSE");
    EXPECT_EQ(Texts().TextFileName(), u"CHF_M450.res");
    EXPECT_EQ(SelectInitialLanguage(list, entries), 2u);
    ReloadTexts(u"GPD");
    EXPECT_EQ(Texts().View(TextId::GPD_RC_DENSITY_INDEX), u"濃度");

    EXPECT_TRUE(ApplyLanguage(list, u"System Language"));
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"ENG_M450.res");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"TRUE");
    EXPECT_FALSE(ApplyLanguage(list, u"Deutsch"));
}

}  // namespace
}  // namespace m450
