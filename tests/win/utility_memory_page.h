// The Utility page linked with the shell and run on an in-memory form store (Wine's own form
// calls keep nothing): a test opens it inside a frame window of its own and reads the forms the
// page saved. Needs m450shell and M450UI_DLL_PATH (the templates and the manifest are the DLL's).
//
//   m450test::UtilityMemoryPage utility;
//   m450test::PageDriver page = utility.Open();
//   page.Click(IDC_UTILITY_SAVE_BUTTON);
//   const m450::PaperForm* saved = utility.Find(u"Custom Paper-M450");
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string_view>

#include "core/module_win.h"
#include "core/page_context_win.h"
#include "core/page_win.h"
#include "device/form_store.h"
#include "device/utility_page.h"
#include "plugin/sheets_win.h"
#include "sheet_driver.h"
#include "utility_page_ids.h"

namespace m450test {

class UtilityMemoryPage {
  public:
    explicit UtilityMemoryPage(PFNCOMPROPSHEET sheetCall = nullptr) {
        if (m450::g_moduleInstance == nullptr)
            m450::g_moduleInstance = LoadLibraryW(m450host::WindowsPath(M450UI_DLL_PATH).c_str());
        frame_ = CreateWindowExW(0, L"STATIC", L"utility", WS_POPUP | WS_VISIBLE, 0, 0, 600, 600, nullptr, nullptr,
                                 nullptr, nullptr);
        context_.hComPropSheet = reinterpret_cast<HANDLE>(0x5150);
        context_.hPage = reinterpret_cast<HANDLE>(0x7A9E);
        context_.pfnComPropSheet = sheetCall;
        context_.pOEMCUIPParam = &param_;
        m450::SetUtilityFormStore(&store_);
    }
    ~UtilityMemoryPage() {
        if (frame_ != nullptr)
            DestroyWindow(frame_);
        m450::SetUtilityFormStore(nullptr);
    }
    UtilityMemoryPage(const UtilityMemoryPage&) = delete;
    UtilityMemoryPage& operator=(const UtilityMemoryPage&) = delete;

    // An empty driver when the module or the frame is missing or the page did not open.
    PageDriver Open() {
        if (m450::g_moduleInstance == nullptr || frame_ == nullptr)
            return PageDriver();
        record_ = m450::MakePageRecord(m450::DevicePages()[0], &context_);
        const m450::ActivationScope scope;
        const HWND page = CreateDialogParamW(m450::g_moduleInstance, MAKEINTRESOURCEW(IDD_UTILITY_PAGE), frame_,
                                             m450::UtilityPageProc, reinterpret_cast<LPARAM>(&record_));
        if (page != nullptr) {
            ShowWindow(page, SW_SHOW);
            EnableWindow(page, TRUE);
            UpdateWindow(page);
        }
        return PageDriver(page);
    }

    m450::MemoryFormStore& store() { return store_; }
    const m450::DevicePageContext& context() const { return context_; }
    const m450::PaperForm* Find(std::u16string_view name) const {
        for (const m450::PaperForm& form : store_.forms())
            if (form.name == name)
                return &form;
        return nullptr;
    }

  private:
    m450::MemoryFormStore store_;
    HWND frame_ = nullptr;
    OEMCUIPPARAM param_{};
    m450::DevicePageContext context_;
    PROPSHEETPAGEW record_{};
};

}  // namespace m450test
