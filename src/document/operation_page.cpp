#include "document/operation_page.h"

#include <array>
#include <optional>

#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
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

// The buttons follow the event order: 1011 start of document .. 1014 end of document.
std::optional<DocumentEvent> EventOfButton(int id) {
    if (id < IDC_OPERATION_START_DOC_BUTTON || id > IDC_OPERATION_END_DOC_BUTTON)
        return std::nullopt;
    return static_cast<DocumentEvent>(id - IDC_OPERATION_START_DOC_BUTTON);
}

// The dialog edits a working copy; only OK writes it back, and OK always marks the page
// changed, whether or not a value differs.
void EditEvent(HWND page, PlugInDevMode& record, DocumentEvent event) {
    OperationsWorkingCopy copy = LoadEventOperations(record, event);
    if (EditEventOperations(page, copy) != IDOK)
        return;
    StoreEventOperations(record, copy);
    MarkChanged(page);
}

INT_PTR OnCommand(HWND page, NoPageState&, WORD control, WORD code) {
    const std::optional<DocumentEvent> event = EventOfButton(control);
    if (code != BN_CLICKED || !event)
        return FALSE;
    if (PlugInDevMode* record = RecordOf(page))
        EditEvent(page, *record, *event);
    return TRUE;
}

constexpr PageParts<NoPageState> kParts = {
    .host = PageHost::DocumentSheet,
    .section = kOperationSection,
    .texts = kTexts,
    .command = OnCommand,
};

}  // namespace

INT_PTR CALLBACK OperationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
