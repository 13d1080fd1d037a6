// What every page of the host's two property sheets does with its sheet: the page record the
// sheet routines hand to the host, and the page context the page keeps.
//
// A page's dialog procedure (RunPage, core/page_procedure_win.h) keeps its sheet's page context
// at WM_INITDIALOG (KeepDocumentPageContext / KeepDevicePageContext) and reads it back with
// DocumentContextOf / DeviceContextOf; on PSN_APPLY it reports the change applied with
// ReportApplied. Pages put their texts on their controls with ShowText.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <span>
#include <string_view>

#include "core/page_context_win.h"
#include "core/text_store.h"

namespace m450 {

// One page of a sheet: its dialog template, the text slot of its tab title, and its dialog
// procedure (which receives the sheet's page context as the page record's lParam).
struct PageEntry {
    WORD templateId;
    TextId title;
    DLGPROC procedure;
};

// A page record for `page` carrying `context`, bound to the module's activation context when
// there is one.
PROPSHEETPAGEW MakePageRecord(const PageEntry& page, void* context);

// WM_INITDIALOG of a page: keeps the page record's context in the dialog's user data, and
// enters the page's sheet in the register of open sheets with the context's printer.
void KeepDocumentPageContext(HWND page, LPARAM initParam);
void KeepDevicePageContext(HWND page, LPARAM initParam);
// The context alone, for a page that is not in a sheet of the host (tests).
void KeepPageContext(HWND page, LPARAM initParam);

// Provided by the plug-in's assembly of the sheets (plugin/open_sheets_win.cpp,
// plugin/sheets_win.cpp), which knows every sheet and page:
enum class SheetKind { Document, Device };
// Enters the sheet that `page` belongs to (its parent window) in the register of open sheets; a
// sheet already there stays as it is. Nothing for a page without a parent of this process.
void EnterSheetOf(HWND page, SheetKind kind, std::wstring_view printer);
// After the language changed on `page`'s sheet: the plug-in's tab titles and open pages of every
// sheet of this process show the new language (the language is the user's, whichever printer a
// sheet is for); the other sheets get a posted message and reload on their own threads. No
// window of another process is sent anything. `printer` is the switching sheet's printer.
void ShowLanguageInOpenSheets(HWND page, std::wstring_view printer);

// The printer the sheet is for, as the host named it (empty when it did not).
std::wstring_view PrinterNameOf(const DocumentPageContext* context);
std::wstring_view PrinterNameOf(const DevicePageContext* context);
DocumentPageContext* DocumentContextOf(HWND page);
DevicePageContext* DeviceContextOf(HWND page);

// PSN_APPLY: tells the sheet, through its callback, that the page's settings are applied.
void ReportApplied(const DocumentPageContext* context);
void ReportApplied(const DevicePageContext* context);

// A dialog procedure's answer to a notification that has a result (PSN_APPLY, PSN_SETACTIVE …):
// the result goes into DWLP_MSGRESULT and the procedure returns TRUE.
INT_PTR AnswerNotification(HWND page, LONG_PTR result);

// Puts a text slot on a control, leaving the control alone (no redraw) when it already shows
// that text, so that pages may do it at every repaint.
void ShowText(HWND page, int controlId, TextId text);

// A control of a dialog and the text slot it shows.
struct ControlText {
    int controlId;
    TextId text;
};
// ShowText for each control of a dialog's table.
void ShowControlTexts(HWND page, std::span<const ControlText> texts);

}  // namespace m450
