// DocumentSheets and DeviceSheets: the host's sheet routines, and the tables of the pages they
// add.
#include "plugin/sheets_win.h"

#include <commctrl.h>
#include <winspool.h>

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <string_view>

#include "barcode/barcode1d_page.h"
#include "barcode/barcode2d_page.h"
#include "barcode/font_page.h"
#include "barcode1d_page_ids.h"
#include "barcode2d_page_ids.h"
#include "core/module_win.h"
#include "core/density_relabel_win.h"
#include "core/language_win.h"
#include "plugin/plugin_object_win.h"
#include "plugin/open_sheets_win.h"
#include "plugin/version_page.h"
#include "document/layout_page.h"
#include "document/operation_page.h"
#include "document/watermark_page.h"
#include "device/download_page.h"
#include "device/utility_page.h"
#include "download_page_ids.h"
#include "font_page_ids.h"
#include "layout_page_ids.h"
#include "operation_page_ids.h"
#include "utility_page_ids.h"
#include "version_page_ids.h"
#include "watermark_page_ids.h"

namespace m450 {
namespace {

// The page tables. Order is the order of the tabs.
constexpr std::array<PageEntry, 6> kDocumentPages = {{
    {IDD_LAYOUT_PAGE, TextId::LAYOUT_RC_LAYOUTFORM, LayoutPageProc},
    {IDD_WATERMARK_PAGE, TextId::WATERMARK_RC_WATERMARKFORM, WatermarkPageProc},
    {IDD_OPERATION_PAGE, TextId::OPERATION_RC_OPERATIONFORM, OperationPageProc},
    {IDD_BARCODE1D_PAGE, TextId::CODE1D_RC_1DCODEFORM, Barcode1DPageProc},
    {IDD_BARCODE2D_PAGE, TextId::CODE2D_RC_2DCODEFORM, Barcode2DPageProc},
    {IDD_VERSION_PAGE, TextId::VERSION_RC_VERSIONFORM, DocumentVersionPageProc},
}};

constexpr std::array<PageEntry, 4> kDevicePages = {{
    {IDD_UTILITY_PAGE, TextId::UTILITY_RC_UTILITYFORM, UtilityPageProc},
    {IDD_DOWNLOAD_PAGE, TextId::DOWNLOAD_RC_DOWNLOADFORM, DownloadPageProc},
    {IDD_FONT_PAGE, TextId::FONT_RC_FONTFORM, FontPageProc},
    {IDD_VERSION_PAGE, TextId::VERSION_RC_VERSIONFORM, DeviceVersionPageProc},
}};

// The sheet's header title (PROPSHEETUI_INFO_HEADER wants a writable string). Module-wide and
// never written by the plug-in: immutable.
wchar_t g_sheetHeaderTitle[] = L"OEM UI Page";

HRESULT InvalidParameter() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
}

bool IsSheetInfo(const PROPSHEETUI_INFO* info) {
    return info != nullptr && info->Version == PROPSHEETUI_INFO_VERSION;
}

// The Result of every reason but initialisation, alike for both sheets.
ULONG_PTR AnswerReason(WORD reason, LPARAM lParam) {
    switch (reason) {
        case PROPSHEETUI_REASON_GET_INFO_HEADER:
            if (auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam))
                header->pTitle = g_sheetHeaderTitle;
            return 1;
        case PROPSHEETUI_REASON_DESTROY:
            return 1;
        case PROPSHEETUI_REASON_SET_RESULT:
            if (auto* result = reinterpret_cast<PSETRESULT_INFO>(lParam))
                return static_cast<ULONG_PTR>(result->Result);
            return 0;
        default:  // PROPSHEETUI_REASON_GET_ICON: no icon
            return 0;
    }
}

// Adds the pages in table order. A refused page is skipped; the context's page handle is the
// last one the sheet gave, which is also what this returns (0 when the sheet gave none).
template <typename Context>
LONG_PTR AddPages(std::span<const PageEntry> pages, Context* context) {
    if (context->pfnComPropSheet == nullptr)
        return 0;
    LONG_PTR last = 0;
    for (const PageEntry& page : pages) {
        PROPSHEETPAGEW record = MakePageRecord(page, context);
        const LONG_PTR handle = context->pfnComPropSheet(context->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                                         reinterpret_cast<LPARAM>(&record), 0);
        if (handle == 0)
            continue;
        context->hPage = reinterpret_cast<HANDLE>(handle);
        last = handle;
    }
    return last;
}

// The printer's level-2 description, null when it cannot be read.
std::unique_ptr<BYTE[]> PrinterDescription(HANDLE printer) {
    if (printer == nullptr)
        return nullptr;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed < sizeof(PRINTER_INFO_2W))
        return nullptr;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[needed]());
    if (!block || !GetPrinterW(printer, 2, block.get(), needed, &needed))
        return nullptr;
    return block;
}

// The device sheet notes its printer's port under the language key; without a description it
// only refreshes the current text file.
void RememberPortOf(HANDLE printer) {
    const std::unique_ptr<BYTE[]> block = PrinterDescription(printer);
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(block.get());
    const wchar_t* port = info != nullptr && info->pPortName != nullptr ? info->pPortName : L"";
    RememberPrinterPort(reinterpret_cast<const char16_t*>(port));
}

ULONG_PTR InitDocumentSheet(PPROPSHEETUI_INFO info, DocumentPageContext* context) {
    RunLanguageStartupOnce(g_moduleInstance);
    LoadDocumentSheetTexts();
    context->hComPropSheet = info->hComPropSheet;
    context->pOEMUIPSParam = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
    context->pfnComPropSheet = info->pfnComPropSheet;
    RelabelPrintDensity(*context);
    return static_cast<ULONG_PTR>(AddPages(kDocumentPages, context));
}

ULONG_PTR InitDeviceSheet(PPROPSHEETUI_INFO info, DevicePageContext* context) {
    RunLanguageStartupOnce(g_moduleInstance);
    RememberPortOf(context->pOEMCUIPParam != nullptr ? context->pOEMCUIPParam->hPrinter : nullptr);
    LoadDeviceSheetTexts();
    context->hComPropSheet = info->hComPropSheet;
    context->pfnComPropSheet = info->pfnComPropSheet;
    AddPages(kDevicePages, context);
    return 1;
}

// ---- the language switch of open sheets ----------------------------------------------------

// The host's own tabs come first in the document sheet (two of them) and the device sheet has the
// plug-in's pages last.
constexpr int kFirstDocumentTab = 2;

HWND TabsOf(HWND sheet) {
    return FindWindowExW(sheet, nullptr, WC_TABCONTROLW, nullptr);
}

int TabCount(HWND tabs) {
    return tabs != nullptr ? static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

int FirstPluginTab(HWND sheet, SheetKind kind) {
    if (kind == SheetKind::Document)
        return kFirstDocumentTab;
    return std::max(TabCount(TabsOf(sheet)) - static_cast<int>(kDevicePages.size()), 0);
}

std::span<const PageEntry> PagesOf(SheetKind kind) {
    return kind == SheetKind::Document ? std::span<const PageEntry>(kDocumentPages)
                                       : std::span<const PageEntry>(kDevicePages);
}

// The tab titles from the texts now loaded; a sheet with fewer tabs keeps the rest.
void RetitleTabs(HWND sheet, SheetKind kind) {
    const HWND tabs = TabsOf(sheet);
    const int count = TabCount(tabs);
    const int first = FirstPluginTab(sheet, kind);
    const std::span<const PageEntry> pages = PagesOf(kind);
    for (size_t i = 0; i < pages.size(); ++i) {
        const int index = first + static_cast<int>(i);
        if (index >= count)
            break;
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(WText(pages[i].title));
        SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    }
}

// Each of the plug-in's pages whose window has been made gets WM_PAINT, where it reloads its
// texts; `except` is left for its caller.
void RepaintPages(HWND sheet, SheetKind kind, HWND except) {
    const int first = FirstPluginTab(sheet, kind);
    for (size_t i = 0; i < PagesOf(kind).size(); ++i) {
        const HWND page = PropSheet_IndexToHwnd(sheet, first + static_cast<int>(i));
        if (page != nullptr && page != except)
            SendMessageW(page, WM_PAINT, 0, 0);
    }
    InvalidateRect(sheet, nullptr, TRUE);
}

// On the sheet's own thread: its texts loaded into that thread's store, its tabs and pages.
void ShowLanguageIn(HWND sheet, SheetKind kind, HWND except) {
    if (kind == SheetKind::Document)
        LoadDocumentSheetTexts();
    else
        LoadDeviceSheetTexts();
    RetitleTabs(sheet, kind);
    RepaintPages(sheet, kind, except);
}

}  // namespace

std::span<const PageEntry> DocumentPages() {
    return kDocumentPages;
}

std::span<const PageEntry> DevicePages() {
    return kDevicePages;
}

HRESULT DocumentSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DocumentPageContext* context) {
    if (!IsSheetInfo(info) || context == nullptr)
        return InvalidParameter();
    info->Result =
        info->Reason == PROPSHEETUI_REASON_INIT ? InitDocumentSheet(info, context) : AnswerReason(info->Reason, lParam);
    return S_OK;
}

HRESULT DeviceSheets(PPROPSHEETUI_INFO info, LPARAM lParam, DevicePageContext* context) {
    if (!IsSheetInfo(info) || context == nullptr)
        return InvalidParameter();
    info->Result =
        info->Reason == PROPSHEETUI_REASON_INIT ? InitDeviceSheet(info, context) : AnswerReason(info->Reason, lParam);
    return S_OK;
}

// The language belongs to the user: every open sheet of this process shows it, whichever
// printer it is for. This sheet changes at once; every other is sent a posted message and
// reloads its own texts on its own thread (ShowLanguageInSheet), so this thread neither waits
// for a busy thread nor writes texts another thread shows.
void ShowLanguageInOpenSheets(HWND page, std::wstring_view) {
    const HWND sheet = GetParent(page);
    ShowLanguageIn(sheet, SheetKind::Document, page);
    for (const OpenSheet& open : OpenSheets())
        if (open.window != sheet)
            PostMessageW(open.window, ShowLanguageMessage(), 0, 0);
    SendMessageW(page, WM_PAINT, 0, 0);
}

void ShowLanguageInSheet(HWND sheet, SheetKind kind) {
    ShowLanguageIn(sheet, kind, nullptr);
}

}  // namespace m450
