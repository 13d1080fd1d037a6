// What every page does with its sheet: its page record, its page context, its report of an
// applied change, its answers to notifications and the texts on its controls.
#include "core/page_win.h"

#include <array>
#include <string_view>

#include "core/language_win.h"
#include "core/module_win.h"
#include "core/page_state_win.h"

namespace m450 {
namespace {

// The record is the version that carries hActCtx.
static_assert(offsetof(PROPSHEETPAGEW, hActCtx) + sizeof(HANDLE) == sizeof(PROPSHEETPAGEW));

template <typename Context>
void ReportAppliedTo(const Context* context) {
    if (context == nullptr || context->pfnComPropSheet == nullptr)
        return;
    context->pfnComPropSheet(context->hComPropSheet, CPSFUNC_SET_RESULT, reinterpret_cast<LPARAM>(context->hPage),
                             CPSUI_OK);
}

}  // namespace

PROPSHEETPAGEW MakePageRecord(const PageEntry& page, void* context) {
    PROPSHEETPAGEW record{};
    record.dwSize = sizeof(record);
    record.dwFlags = PSP_USETITLE;
    record.hInstance = g_moduleInstance;
    record.pszTemplate = MAKEINTRESOURCEW(page.templateId);
    record.pszTitle = WText(page.title);
    record.pfnDlgProc = page.procedure;
    record.lParam = reinterpret_cast<LPARAM>(context);
    const HANDLE activationContext = ModuleActivationContext();
    if (IsActivationContext(activationContext)) {
        record.dwFlags |= PSP_USEFUSIONCONTEXT;
        record.hActCtx = activationContext;
    }
    return record;
}

void KeepPageContext(HWND page, LPARAM initParam) {
    const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(initParam);
    SetWindowLongPtrW(page, DWLP_USER, record != nullptr ? record->lParam : 0);
}

void KeepDocumentPageContext(HWND page, LPARAM initParam) {
    KeepPageContext(page, initParam);
    EnterSheetOf(page, SheetKind::Document, PrinterNameOf(DocumentContextOf(page)));
}

void KeepDevicePageContext(HWND page, LPARAM initParam) {
    KeepPageContext(page, initParam);
    EnterSheetOf(page, SheetKind::Device, PrinterNameOf(DeviceContextOf(page)));
}

std::wstring_view PrinterNameOf(const DocumentPageContext* context) {
    if (context == nullptr)
        return {};
    if (context->pOEMUIPSParam != nullptr && context->pOEMUIPSParam->pPrinterName != nullptr)
        return context->pOEMUIPSParam->pPrinterName;
    if (context->pOEMCUIPParam != nullptr && context->pOEMCUIPParam->pPrinterName != nullptr)
        return context->pOEMCUIPParam->pPrinterName;
    return {};
}

std::wstring_view PrinterNameOf(const DevicePageContext* context) {
    if (context == nullptr || context->pOEMCUIPParam == nullptr || context->pOEMCUIPParam->pPrinterName == nullptr)
        return {};
    return context->pOEMCUIPParam->pPrinterName;
}

DocumentPageContext* DocumentContextOf(HWND page) {
    return reinterpret_cast<DocumentPageContext*>(GetWindowLongPtrW(page, DWLP_USER));
}

DevicePageContext* DeviceContextOf(HWND page) {
    return reinterpret_cast<DevicePageContext*>(GetWindowLongPtrW(page, DWLP_USER));
}

void ReportApplied(const DocumentPageContext* context) {
    ReportAppliedTo(context);
}

void ReportApplied(const DevicePageContext* context) {
    ReportAppliedTo(context);
}

void ShowText(HWND page, int controlId, TextId text) {
    const HWND control = GetDlgItem(page, controlId);
    if (control == nullptr)
        return;
    const std::u16string_view wanted = Texts().View(text);
    // One more character than the longest slot tells a longer text from an equal one.
    std::array<wchar_t, 1025> shown{};
    const int length = GetWindowTextW(control, shown.data(), static_cast<int>(shown.size()));
    if (length >= 0 && static_cast<size_t>(length) == wanted.size() &&
        wanted.compare(0, wanted.size(), reinterpret_cast<const char16_t*>(shown.data()), length) == 0)
        return;
    SetWindowTextW(control, WText(text));
}

INT_PTR AnswerNotification(HWND page, LONG_PTR result) {
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

void ShowControlTexts(HWND page, std::span<const ControlText> texts) {
    for (const ControlText& item : texts)
        ShowText(page, item.controlId, item.text);
}

bool WindowFlag(HWND window, const wchar_t* name) {
    return window != nullptr && GetPropW(window, name) != nullptr;
}

void SetWindowFlag(HWND window, const wchar_t* name, bool on) {
    if (window == nullptr)
        return;
    if (on)
        SetPropW(window, name, reinterpret_cast<HANDLE>(1));
    else
        RemovePropW(window, name);
}

bool SheetFlag(HWND page, const wchar_t* name) {
    return page != nullptr && WindowFlag(GetParent(page), name);
}

void SetSheetFlag(HWND page, const wchar_t* name, bool on) {
    if (page != nullptr)
        SetWindowFlag(GetParent(page), name, on);
}

}  // namespace m450
