// The fixture page tests start from: the printer on its file port, English as the language
// with the first run done and the user's English text file in place, and, when asked, a sheet
// opened through the DLL on one of its pages.
//
//   class LayoutPage : public m450test::PageTest {
//     protected:
//       void SetUp() override {
//           PageTest::SetUp();
//           OpenPage(m450host::SheetKind::Document, L"Main");
//       }
//   };
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "expect.h"
#include "harness.h"

namespace m450test {

class PageTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(printer_.ok()) << printer_.error();
        ASSERT_TRUE(registry_.Set(kLanguageValue, L"ENG_M450.res"));
        ASSERT_TRUE(registry_.Set(kFirstRunValue, L"FALSE"));
        ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"ENG_M450.res", L"lang/ENG_M450.res"));
    }

    // Opens the sheet and shows the page whose tab reads `tab`.
    void OpenPage(m450host::SheetKind kind, std::wstring_view tab, const SheetOptions& options = {}) {
        sheet_ = std::make_unique<SheetDriver>(kind, options);
        ASSERT_TRUE(sheet_->ok()) << sheet_->error();
        page_ = sheet_->ShowPage(tab);
        ASSERT_TRUE(page_) << "no page " << std::wstring(tab);
    }

    PrinterFixture printer_;
    LanguageRegistry registry_;
    LanguageFiles files_;
    std::unique_ptr<SheetDriver> sheet_;
    PageDriver page_;
};

}  // namespace m450test
