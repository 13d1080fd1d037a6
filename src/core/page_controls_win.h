// The toolkit every page and dialog of the plug-in uses for its controls, its message boxes, the
// open-file dialog, the record a document page edits and the sheet's changed mark. Each of these
// is written once here, so that every page does it the same way: a message box or a file dialog
// always runs inside the module's activation context and is owned by the page that asked.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/devmode.h"
#include "core/page_context_win.h"
#include "core/text_store.h"

namespace m450 {

// ---- controls (by id; an id the dialog lacks is left alone) --------------------------------

void EnableControl(HWND page, int id, bool enabled);
void EnableControls(HWND page, std::span<const int> ids, bool enabled);
void ShowControls(HWND page, std::span<const int> ids, bool shown);
void SetControlText(HWND page, int id, std::u16string_view text);
void CheckControl(HWND page, int id, bool checked);
bool IsControlChecked(HWND page, int id);
// The control's text read as a signed number; 0 when it holds none.
int32_t ControlNumber(HWND page, int id);

// ---- messages ------------------------------------------------------------------------------

// The message box of every page and dialog: an OK button, the text and the caption from the
// text store, `icon` (MB_ICONERROR, MB_ICONINFORMATION or 0), owned by `owner`.
void ShowMessage(HWND owner, TextId text, TextId caption, UINT icon);
// The same with a text the caller composed (a file name added, a text of the core's).
void ShowMessageText(HWND owner, std::u16string_view text, TextId caption, UINT icon);

// ---- the open-file dialog ------------------------------------------------------------------

// What a page asks the system's open-file dialog for. The dialog also always gets the flags
// OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST |
// OFN_CREATEPROMPT | OFN_LONGNAMES.
struct OpenFileRequest {
    const wchar_t* filter;  // pairs of texts, "*.bmp\0*.bmp\0"
    DWORD filterIndex;      // the pair shown first (1-based; 0: the system's choice)
    DWORD capacity;         // characters of the path buffer, its terminator included
    const wchar_t* title;   // null: the system's title
};
// The chosen full path; nullopt when the user cancelled or the dialog failed.
std::optional<std::wstring> ChooseFileToOpen(HWND owner, const OpenFileRequest& request);

// ---- the record and the sheet's changed mark -----------------------------------------------

// The record a document page edits; null before the sheet has handed it over.
PlugInDevMode* RecordOf(const DocumentPageContext* context);
// The record of the document sheet `page` belongs to (its kept page context).
PlugInDevMode* RecordOf(HWND page);

// Tells the sheet that the page changed (PSM_CHANGED: Apply lights up), or that it holds nothing
// unapplied (PSM_UNCHANGED).
void MarkChanged(HWND page);
void MarkUnchanged(HWND page);

}  // namespace m450
