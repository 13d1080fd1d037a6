// The language start-up as a host meets it: the real DLL loaded, a plug-in object made and its
// record sized and defaulted, then the first sheet built, on a Simplified Chinese system (ctest
// runs this test with LC_ALL=zh_CN.UTF-8). Each test runs in a process of its own, so the DLL's
// once-per-process start-up runs afresh.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "harness.h"

namespace {

using m450test::LanguageFiles;
using m450test::LanguageFolder;
using m450test::LanguageRegistry;

class ChineseSystem : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetSystemDefaultLangID(), 0x0804) << "run with LC_ALL=zh_CN.UTF-8";
        for (const wchar_t* file : {L"LANGUAGE_M450.dat", L"ENG_M450.res", L"CHN_M450.res", L"CHF_M450.res"}) {
            ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::Driver, file, std::wstring(L"lang/") + file));
            ASSERT_TRUE(files_.Remove(LanguageFolder::PerUser, file));
        }
    }
    std::unique_ptr<m450host::HostSession> LoadPlugin() {
        std::wstring error;
        auto session = m450host::HostSession::Create({}, &error);
        EXPECT_TRUE(session) << error;
        return session;
    }

    // A sheet that takes none of the pages.
    static LONG_PTR CALLBACK RefusePage(HANDLE, UINT, LPARAM, LPARAM) { return 0; }

    // The host builds a document sheet (which here takes none of the pages).
    static void BuildSheet(m450host::HostSession& session) {
        PROPSHEETUI_INFO info = m450test::SheetInfo(PROPSHEETUI_REASON_INIT, &RefusePage);
        EXPECT_EQ(session.plugin()->DocumentPropertySheets(&info, 0), S_OK);
    }

    LanguageRegistry registry_;
    LanguageFiles files_;
};

TEST_F(ChineseSystem, FirstStartChoosesSimplifiedChineseAndCopiesTheFiles) {
    ASSERT_TRUE(registry_.RemoveKey());
    auto session = LoadPlugin();
    ASSERT_TRUE(session);
    // Records only: nothing written yet.
    EXPECT_FALSE(LanguageRegistry::Read(m450test::kLanguageValue));
    EXPECT_FALSE(LanguageFiles::Read(LanguageFolder::PerUser, L"LANGUAGE_M450.dat"));
    BuildSheet(*session);
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"TRUE");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"CHN_M450.res");
    EXPECT_TRUE(LanguageFiles::Read(LanguageFolder::PerUser, L"LANGUAGE_M450.dat"));
    const auto copy = LanguageFiles::Read(LanguageFolder::PerUser, L"CHN_M450.res");
    ASSERT_TRUE(copy);
    EXPECT_EQ(*copy, *LanguageFiles::Read(LanguageFolder::Driver, L"CHN_M450.res"));
}

TEST_F(ChineseSystem, ALanguageTheUserChoseStays) {
    ASSERT_TRUE(registry_.Set(m450test::kFirstRunValue, L"FALSE"));
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    auto session = LoadPlugin();
    ASSERT_TRUE(session);
    BuildSheet(*session);
    EXPECT_EQ(LanguageRegistry::Read(m450test::kFirstRunValue), L"FALSE");
    EXPECT_EQ(LanguageRegistry::Read(m450test::kLanguageValue), L"ENG_M450.res");
    EXPECT_TRUE(LanguageFiles::Read(LanguageFolder::PerUser, L"ENG_M450.res"));
    EXPECT_FALSE(LanguageFiles::Read(LanguageFolder::PerUser, L"CHN_M450.res"));
}

}  // namespace
