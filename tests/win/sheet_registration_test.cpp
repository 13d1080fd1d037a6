// The two sheet routines of M450UI.dll as the common property-sheet UI calls them: every reason
// code, the page records handed to a recording sheet callback, the print-density item of the
// host relabelled in the current language, and the device sheet's note of its printer's port.
#include <gtest/gtest.h>

#include <windows.h>
#include <prsht.h>
#include <winspool.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "harness.h"
#include "core/page_context_win.h"
#include "platform/printoem.h"

namespace {

using m450test::LanguageFiles;
using m450test::LanguageFolder;
using m450test::LanguageRegistry;
using m450test::PluginModule;

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// What the sheet callback was given: copies of the page records and their titles.
class RecordingSheet {
  public:
    static LONG_PTR CALLBACK Callback(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
        return static_cast<RecordingSheet*>(sheet)->Call(function, lParam1, lParam2);
    }

    std::vector<PROPSHEETPAGEW> pages;
    std::vector<std::wstring> titles;
    size_t refuse = SIZE_MAX;  // the addition (0-based) the sheet refuses

    static LONG_PTR HandleOf(size_t addition) { return 0x1000 + static_cast<LONG_PTR>(addition); }

  private:
    LONG_PTR Call(UINT function, LPARAM lParam1, LPARAM) {
        if (function != CPSFUNC_ADD_PROPSHEETPAGEW)
            return 0;
        const size_t addition = additions_++;
        if (addition == refuse)
            return 0;
        const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
        pages.push_back(*page);
        titles.emplace_back(page->pszTitle);
        return HandleOf(addition);
    }
    size_t additions_ = 0;
};

// One option item of the host with storage for its texts.
struct HostItem {
    HostItem(const wchar_t* name, BYTE level, BYTE dmPubId, std::vector<std::wstring> options)
        : name(name), texts(std::move(options)) {
        for (std::wstring& text : texts) {
            OPTPARAM param{};
            param.cbSize = sizeof(param);
            param.pData = text.data();
            params.push_back(param);
        }
        type.cbSize = sizeof(type);
        type.Type = TVOT_LISTBOX;
        type.Count = static_cast<WORD>(params.size());
        type.pOptParam = params.data();
        item.cbSize = sizeof(item);
        item.Level = level;
        item.DMPubID = dmPubId;
        item.pName = this->name.data();
        item.pOptType = &type;
    }
    std::wstring OptionText(size_t index) const { return type.pOptParam[index].pData; }

    std::wstring name;
    std::vector<std::wstring> texts;
    std::vector<OPTPARAM> params;
    OPTTYPE type{};
    OPTITEM item{};
};

class SheetRegistration : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(PluginModule(), nullptr);
        auto getClassObject = reinterpret_cast<GetClassObjectFunction>(
            reinterpret_cast<void*>(GetProcAddress(PluginModule(), "DllGetClassObject")));
        ASSERT_NE(getClassObject, nullptr);
        IClassFactory* factory = nullptr;
        ASSERT_EQ(getClassObject(CLSID_M450UI, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&plugin_)), S_OK);
        factory->Release();
        ASSERT_EQ(plugin_->PublishDriverInterface(&driverUI_), S_OK);
        // English unless a test says otherwise, chosen by the user: on a first run the start-up,
        // which runs when the first sheet is built, would choose by the system language.
        ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
        ASSERT_TRUE(registry_.Set(m450test::kFirstRunValue, L"FALSE"));
    }
    void TearDown() override {
        if (plugin_ != nullptr)
            plugin_->Release();
    }

    PROPSHEETUI_INFO SheetInfo(WORD reason, LPARAM lParamInit = 0) {
        return m450test::SheetInfo(reason, &RecordingSheet::Callback, &sheet_, lParamInit);
    }

    // The common UI hands over its option items before it builds the sheet.
    void OfferItems(DWORD mode, std::vector<HostItem*> items, HANDLE printer = nullptr) {
        optItems_.clear();
        for (HostItem* item : items)
            optItems_.push_back(item->item);
        cuiParam_ = OEMCUIPPARAM{};
        cuiParam_.cbSize = sizeof(cuiParam_);
        cuiParam_.poemuiobj = &uiObject_;
        cuiParam_.hPrinter = printer;
        cuiParam_.pDrvOptItems = optItems_.empty() ? nullptr : optItems_.data();
        cuiParam_.cDrvOptItems = static_cast<DWORD>(optItems_.size());
        ASSERT_EQ(plugin_->CommonUIProp(mode, &cuiParam_), S_OK);
    }

    IPrintOemUI* plugin_ = nullptr;
    m450host::RecordingDriverUI driverUI_;
    RecordingSheet sheet_;
    OEMUIOBJ uiObject_{sizeof(OEMUIOBJ), nullptr};
    OEMCUIPPARAM cuiParam_{};
    OEMUIPSPARAM uipsParam_{};
    std::vector<OPTITEM> optItems_;
    LanguageRegistry registry_;
    LanguageFiles files_;
};

TEST_F(SheetRegistration, EveryReasonCodeOfBothSheets) {
    for (const bool document : {true, false}) {
        SCOPED_TRACE(document ? "document sheet" : "device sheet");
        auto call = [&](PROPSHEETUI_INFO* info, LPARAM lParam) {
            return document ? plugin_->DocumentPropertySheets(info, lParam)
                            : plugin_->DevicePropertySheets(info, lParam);
        };

        SetLastError(0);
        EXPECT_EQ(call(nullptr, 0), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT);
        info.Version = 0x0101;
        info.Result = 77;
        SetLastError(0);
        EXPECT_EQ(call(&info, 0), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(info.Result, 77u);  // nothing else happens
        EXPECT_TRUE(sheet_.pages.empty());

        PROPSHEETUI_INFO_HEADER header{};
        header.cbSize = sizeof(header);
        info = SheetInfo(PROPSHEETUI_REASON_GET_INFO_HEADER);
        EXPECT_EQ(call(&info, reinterpret_cast<LPARAM>(&header)), S_OK);
        EXPECT_EQ(info.Result, 1u);
        ASSERT_NE(header.pTitle, nullptr);
        EXPECT_STREQ(header.pTitle, L"OEM UI Page");

        info = SheetInfo(PROPSHEETUI_REASON_DESTROY);
        EXPECT_EQ(call(&info, 1), S_OK);
        EXPECT_EQ(info.Result, 1u);

        SETRESULT_INFO result{};
        result.cbSize = sizeof(result);
        result.Result = 2;
        info = SheetInfo(PROPSHEETUI_REASON_SET_RESULT);
        EXPECT_EQ(call(&info, reinterpret_cast<LPARAM>(&result)), S_OK);
        EXPECT_EQ(info.Result, 2u);

        info = SheetInfo(PROPSHEETUI_REASON_GET_ICON);
        info.Result = 5;
        EXPECT_EQ(call(&info, 0), S_OK);
        EXPECT_EQ(info.Result, 0u);
        EXPECT_TRUE(sheet_.pages.empty());
    }
}

void ExpectPages(const RecordingSheet& sheet,
                 const std::vector<WORD>& templates,
                 const std::vector<std::wstring>& titles,
                 const void* context) {
    ASSERT_EQ(sheet.pages.size(), templates.size());
    EXPECT_EQ(sheet.titles, titles);
    for (size_t i = 0; i < sheet.pages.size(); ++i) {
        SCOPED_TRACE(i);
        const PROPSHEETPAGEW& page = sheet.pages[i];
        EXPECT_EQ(page.dwSize, sizeof(PROPSHEETPAGEW));
        EXPECT_EQ(page.dwFlags, static_cast<DWORD>(PSP_USETITLE | PSP_USEFUSIONCONTEXT));
        EXPECT_NE(page.hActCtx, nullptr);
        EXPECT_NE(page.hActCtx, INVALID_HANDLE_VALUE);
        EXPECT_EQ(page.hActCtx, sheet.pages[0].hActCtx);  // one context for the module
        EXPECT_EQ(page.hInstance, PluginModule());
        EXPECT_EQ(reinterpret_cast<ULONG_PTR>(page.pszTemplate), templates[i]);
        EXPECT_NE(page.pfnDlgProc, nullptr);
        EXPECT_EQ(reinterpret_cast<const void*>(page.lParam), context);
        // The template is in the module.
        EXPECT_NE(FindResourceW(PluginModule(), page.pszTemplate, MAKEINTRESOURCEW(5)), nullptr);
    }
}

TEST_F(SheetRegistration, DocumentSheetAddsItsSixPagesInOrder) {
    OfferItems(OEMCUIP_DOCPROP, {});
    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&uipsParam_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, info.lParamInit), S_OK);

    ASSERT_FALSE(sheet_.pages.empty());
    const auto* context = reinterpret_cast<const m450::DocumentPageContext*>(sheet_.pages[0].lParam);
    ExpectPages(sheet_, {128, 131, 103, 117, 118, 105},
                {L"Main", L"Water Mark", L"Operation", L"1D Code", L"2D Code", L"Version"}, context);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(RecordingSheet::HandleOf(5)));  // the Version page
    // The page context: sheet, last page, the host's blocks, the callback, the driver interface.
    EXPECT_EQ(context->hComPropSheet, &sheet_);
    EXPECT_EQ(context->hPage, reinterpret_cast<HANDLE>(RecordingSheet::HandleOf(5)));
    EXPECT_EQ(context->pOEMUIPSParam, &uipsParam_);
    EXPECT_EQ(context->pOEMCUIPParam, &cuiParam_);
    EXPECT_EQ(context->pfnComPropSheet, &RecordingSheet::Callback);
    EXPECT_EQ(context->pDriverUI, static_cast<IPrintOemDriverUI*>(&driverUI_));
    // The Version page is the one page both sheets share; the pages differ in their procedures.
    EXPECT_NE(sheet_.pages[0].pfnDlgProc, sheet_.pages[5].pfnDlgProc);
}

TEST_F(SheetRegistration, RefusedPageIsSkippedAndTheRestAdded) {
    sheet_.refuse = 5;  // the Version page
    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&uipsParam_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, info.lParamInit), S_OK);
    EXPECT_EQ(sheet_.pages.size(), 5u);
    EXPECT_EQ(info.Result, static_cast<ULONG_PTR>(RecordingSheet::HandleOf(4)));
}

TEST_F(SheetRegistration, DeviceSheetAddsItsFourPagesAndToleratesAnUnreadablePrinter) {
    OfferItems(OEMCUIP_PRNPROP, {}, nullptr);  // GetPrinterW fails on a null printer
    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(plugin_->DevicePropertySheets(&info, 0), S_OK);
    ASSERT_FALSE(sheet_.pages.empty());
    const auto* context = reinterpret_cast<const m450::DevicePageContext*>(sheet_.pages[0].lParam);
    ExpectPages(sheet_, {114, 113, 119, 105}, {L"Utility", L"Download", L"Font", L"Version"}, context);
    EXPECT_NE(info.Result, 0u);
    EXPECT_EQ(context->hComPropSheet, &sheet_);
    EXPECT_EQ(context->hPage, reinterpret_cast<HANDLE>(RecordingSheet::HandleOf(3)));
    EXPECT_EQ(context->pfnComPropSheet, &RecordingSheet::Callback);
    EXPECT_EQ(context->pOEMCUIPParam, &cuiParam_);
}

TEST_F(SheetRegistration, DeviceSheetNotesItsPrintersPort) {
    m450test::PrinterFixture printer;
    ASSERT_TRUE(printer.ok()) << std::string(printer.error().begin(), printer.error().end());
    HANDLE handle = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<wchar_t*>(printer.name().c_str()), &handle, nullptr));
    std::unique_ptr<void, decltype(&ClosePrinter)> closer(handle, &ClosePrinter);
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> block(needed);
    ASSERT_TRUE(GetPrinterW(handle, 2, block.data(), needed, &needed));
    const std::wstring port = reinterpret_cast<const PRINTER_INFO_2W*>(block.data())->pPortName;
    ASSERT_FALSE(port.empty());
    ASSERT_TRUE(registry_.Remove(port));

    OfferItems(OEMCUIP_PRNPROP, {}, handle);
    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT);
    ASSERT_EQ(plugin_->DevicePropertySheets(&info, 0), S_OK);
    EXPECT_EQ(LanguageRegistry::Read(port), L"LANGUAGE_M450");
    EXPECT_EQ(sheet_.pages.size(), 4u);
}

TEST_F(SheetRegistration, LevelTwoDensityItemIsRelabelledAndReported) {
    HostItem density(L"Printing Density", 2, DMPUB_NONE, {L"Light Density", L"Normal Density", L"Dark Density"});
    HostItem sameAtLevelOne(L"Other Density", 1, DMPUB_NONE, {L"Light Density", L"Dark Density"});
    HostItem speed(L"Print Speed", 2, DMPUB_NONE, {L"Standard", L"High"});
    OfferItems(OEMCUIP_DOCPROP, {&density, &sameAtLevelOne, &speed});

    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&uipsParam_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, info.lParamInit), S_OK);

    const OPTITEM& relabelled = optItems_[0];
    EXPECT_NE(relabelled.Flags & OPTIF_CHANGED, 0u);
    EXPECT_STREQ(relabelled.pName, L"Print Density");
    ASSERT_EQ(relabelled.pOptType->Count, 3);
    EXPECT_STREQ(relabelled.pOptType->pOptParam[0].pData, L"Density0");
    EXPECT_STREQ(relabelled.pOptType->pOptParam[1].pData, L"Density1");
    EXPECT_STREQ(relabelled.pOptType->pOptParam[2].pData, L"Density2");

    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(optItems_[i].Flags & OPTIF_CHANGED, 0u);
        EXPECT_EQ(optItems_[i].pName, i == 1 ? sameAtLevelOne.name.data() : speed.name.data());
    }
    EXPECT_EQ(sameAtLevelOne.OptionText(0), L"Light Density");

    ASSERT_EQ(driverUI_.calls().size(), 1u);
    const m450host::UISettingCall& call = driverUI_.calls()[0];
    EXPECT_EQ(call.pci, &uiObject_);
    EXPECT_EQ(call.item, &optItems_[0]);
    EXPECT_EQ(call.previousSelection, 0u);
    EXPECT_EQ(call.mode, static_cast<DWORD>(OEMCUIP_DOCPROP));
}

TEST_F(SheetRegistration, DocumentSheetFollowsTheCurrentLanguage) {
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"CHN_M450.res"));
    ASSERT_TRUE(files_.InstallFromSource(LanguageFolder::PerUser, L"CHN_M450.res", L"lang/CHN_M450.res"));
    HostItem density(L"Printing Density", 2, DMPUB_NONE, {L"Light Density", L"Normal Density", L"Dark Density"});
    OfferItems(OEMCUIP_DOCPROP, {&density});

    PROPSHEETUI_INFO info = SheetInfo(PROPSHEETUI_REASON_INIT, reinterpret_cast<LPARAM>(&uipsParam_));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, info.lParamInit), S_OK);
    ASSERT_EQ(sheet_.titles.size(), 6u);
    EXPECT_EQ(sheet_.titles.back(), L"\u7248\u672C");               // 版本
    EXPECT_STREQ(optItems_[0].pName, L"\u6253\u5370\u6D53\u5EA6");  // 打印浓度
    const std::wstring word = L"\u6D53\u5EA6";                      // 浓度
    EXPECT_EQ(std::wstring(optItems_[0].pOptType->pOptParam[0].pData), word + L"0");
    EXPECT_EQ(std::wstring(optItems_[0].pOptType->pOptParam[2].pData), word + L"2");

    // An item relabelled in Chinese is relabelled again in English.
    ASSERT_TRUE(registry_.Set(m450test::kLanguageValue, L"ENG_M450.res"));
    ASSERT_EQ(plugin_->DocumentPropertySheets(&info, info.lParamInit), S_OK);
    EXPECT_STREQ(optItems_[0].pOptType->pOptParam[1].pData, L"Density1");
    EXPECT_EQ(driverUI_.calls().size(), 2u);
}

}  // namespace
