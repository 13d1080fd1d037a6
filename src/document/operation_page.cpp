#include "document/operation_page.h"

#include <prsht.h>

#include <array>
#include <optional>

#include "core/language_win.h"
#include "core/page_win.h"
#include "document/event_dialog.h"
#include "document/event_operations.h"
#include "operation_page_ids.h"

namespace m450 {
namespace {

constexpr std::array<ControlText, 8> kTexts = {{
    {IDC_OPERATION_START_DOC_BUTTON, TextId::OPERATION_RC_STARTDOC},
    {IDC_OPERATION_START_PAGE_BUTTON, TextId::OPERATION_RC_STARTPAGE},
    {IDC_OPERATION_END_PAGE_BUTTON, TextId::OPERATION_RC_ENDPAGE},
    {IDC_OPERATION_END_DOC_BUTTON, TextId::OPERATION_RC_ENDDOC},
    {IDC_OPERATION_START_DOC_LABEL, TextId::OPERATION_RC_STATIC_SDOC},
    {IDC_OPERATION_START_PAGE_LABEL, TextId::OPERATION_RC_STATIC_SPAGE},
    {IDC_OPERATION_END_PAGE_LABEL, TextId::OPERATION_RC_STATIC_ENDPAGE},
    {IDC_OPERATION_END_DOC_LABEL, TextId::OPERATION_RC_STATIC_ENDDOC},
}};

void ShowTexts(HWND page) {
    ShowControlTexts(page, kTexts);
}

// The buttons follow the event order: 1011 start of document .. 1014 end of document.
std::optional<DocumentEvent> EventOfButton(int id) {
    if (id < IDC_OPERATION_START_DOC_BUTTON || id > IDC_OPERATION_END_DOC_BUTTON)
        return std::nullopt;
    return static_cast<DocumentEvent>(id - IDC_OPERATION_START_DOC_BUTTON);
}

PlugInDevMode* RecordOf(const DocumentPageContext* context) {
    if (context == nullptr || context->pOEMUIPSParam == nullptr)
        return nullptr;
    return static_cast<PlugInDevMode*>(context->pOEMUIPSParam->pOEMDM);
}

// The dialog edits a working copy; only OK writes it back, and OK always marks the page
// changed, whether or not a value differs.
void EditEvent(HWND page, PlugInDevMode& record, DocumentEvent event) {
    OperationsWorkingCopy copy = LoadEventOperations(record, event);
    if (EditEventOperations(page, copy) != IDOK)
        return;
    StoreEventOperations(record, copy);
    PropSheet_Changed(GetParent(page), page);
}

INT_PTR OnNotify(HWND page, const DocumentPageContext* context, const NMHDR& header) {
    switch (header.code) {
        case PSN_APPLY:
            ReportApplied(context);
            PropSheet_UnChanged(GetParent(page), page);
            return AnswerNotification(page, PSNRET_NOERROR);
        case PSN_SETACTIVE:
        case PSN_KILLACTIVE:
            return AnswerNotification(page, 0);  // leaving the page is always allowed
        default:
            return FALSE;
    }
}

}  // namespace

namespace {

INT_PTR OperationPageMessages(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        KeepDocumentPageContext(page, lParam);
        ShowTexts(page);
        return TRUE;
    }
    DocumentPageContext* context = DocumentContextOf(page);
    if (context == nullptr)
        return FALSE;
    switch (message) {
        case WM_PAINT:
            ReloadTexts(kOperationSection);
            ShowTexts(page);
            return FALSE;
        case WM_COMMAND: {
            const std::optional<DocumentEvent> event = EventOfButton(LOWORD(wParam));
            PlugInDevMode* record = RecordOf(context);
            if (HIWORD(wParam) != BN_CLICKED || !event)
                return FALSE;
            if (record != nullptr)
                EditEvent(page, *record, *event);
            return TRUE;
        }
        case WM_NOTIFY:
            return lParam != 0 ? OnNotify(page, context, *reinterpret_cast<const NMHDR*>(lParam)) : FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK OperationPageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return AnswerWithoutThrowing(OperationPageMessages, window, message, wParam, lParam);
}

}  // namespace m450
