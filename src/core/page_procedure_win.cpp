// The non-template steps of RunPage.
#include "core/page_procedure_win.h"

#include <prsht.h>

#include "core/language_win.h"
#include "core/page_controls_win.h"

namespace m450 {

INT_PTR AnswerPageNotification(HWND page, PageHost host, const NMHDR& header) {
    if (host == PageHost::ModalDialog)
        return FALSE;
    switch (header.code) {
        case PSN_SETACTIVE:
        case PSN_KILLACTIVE:
            return AnswerNotification(page, 0);
        case PSN_APPLY:
            if (host == PageHost::DocumentSheet)
                ReportApplied(DocumentContextOf(page));
            else
                ReportApplied(DeviceContextOf(page));
            MarkUnchanged(page);
            return AnswerNotification(page, PSNRET_NOERROR);
        default:
            return FALSE;
    }
}

void StartPageWindow(HWND page, PageHost host, LPARAM lParam, std::span<const ControlText> texts) {
    if (host == PageHost::DocumentSheet)
        KeepDocumentPageContext(page, lParam);
    else if (host == PageHost::DeviceSheet)
        KeepDevicePageContext(page, lParam);
    ShowControlTexts(page, texts);
}

void RepaintPageTexts(HWND page, std::u16string_view section, std::span<const ControlText> texts) {
    if (!section.empty())
        ReloadTexts(section);
    ShowControlTexts(page, texts);
}

}  // namespace m450
