// Drives the plug-in's property sheets as a user does: the sheet is opened through the real
// M450UI.dll by the host core (modeless, so the test keeps its thread), a page is shown by
// its tab, and controls are acted on by id with the messages a user's action produces.
//
//   m450test::SheetDriver sheet(m450host::SheetKind::Document);
//   ASSERT_TRUE(sheet.ok()) << sheet.error();
//   m450test::PageDriver layout = sheet.ShowPage(L"Main");
//   layout.Click(kZoomCheck);
//   layout.Type(kScaleEdit, L"150");
//   EXPECT_EQ(layout.Text(kScaleEdit), L"100");
//   sheet.Apply();
//   EXPECT_EQ(sheet.DevMode().zoomPercent, 100);
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/devmode.h"
#include "host_core.h"

namespace m450test {

// One page (or any dialog) and its controls. Actions return false, and do nothing, when a
// user could not do them: the control is missing, hidden, disabled or read-only.
class PageDriver {
  public:
    explicit PageDriver(HWND page = nullptr) : page_(page) {}
    explicit operator bool() const { return page_ != nullptr; }
    HWND hwnd() const { return page_; }
    HWND Control(int id) const;

    // BM_CLICK: the button sends BN_CLICKED; check boxes and radio buttons change state.
    bool Click(int id);
    // WM_SETTEXT on an edit field: it sends EN_CHANGE.
    bool Type(int id, std::wstring_view text);
    // Key by key over the field's selected text, as a user types a new number: every character goes through the
    // edit's own input handling (its length limit, ES_NUMBER, a field too narrow to scroll),
    // and each one it takes sends EN_CHANGE.
    bool TypeKeys(int id, std::wstring_view text);
    // The text put on the clipboard and pasted (WM_PASTE) over the field's whole text.
    bool Paste(int id, std::wstring_view text);
    // The entry's selection plus CBN_SELCHANGE (combo box) or LBN_SELCHANGE (list box).
    bool Choose(int id, int index);
    bool Choose(int id, std::wstring_view entryText);
    // A click on a list view's row, as the list reports a user's: only that row selected and
    // focused, then NM_CLICK to the page.
    bool ClickRow(int id, int row);
    // Arrow keys on a trackbar: TB_LINEDOWN/TB_LINEUP per step, then TB_ENDTRACK, through
    // WM_HSCROLL or WM_VSCROLL to the page. Positive steps move towards the maximum.
    bool MoveTrackbar(int id, int steps);
    // Mouse clicks on an up-down control's arrows: UDN_DELTAPOS, the buddy's new text (with
    // its EN_CHANGE) and WM_VSCROLL/WM_HSCROLL. Positive steps click the increasing arrow.
    bool Spin(int id, int steps);

    std::wstring Text(int id) const;
    bool Exists(int id) const { return Control(id) != nullptr; }
    bool Checked(int id) const;
    bool Enabled(int id) const;
    bool Visible(int id) const;
    // Entries of a combo box or list box; the selected index (-1: none) and its text.
    std::vector<std::wstring> Items(int id) const;
    int Selection(int id) const;
    std::wstring SelectedText(int id) const;
    int TrackbarPosition(int id) const;
    int SpinPosition(int id) const;
    // Whether the edit's text fits its formatting rectangle, drawn in the edit's font: what
    // the user sees is all of it.
    bool ShowsWhole(int id) const;

  private:
    bool Usable(HWND control) const;
    HWND page_;
};

struct SheetOptions {
    std::wstring printerName = m450host::kDefaultPrinterName;
    // A stored record merged into the defaults before the sheet opens.
    std::optional<std::vector<uint8_t>> storedRecord;
    // The plug-in and option items of the printer's installed driver, as the UI core finds
    // them (the hosting suites), rather than the DLL of this build.
    bool installedDriver = false;
};

class SheetDriver {
  public:
    explicit SheetDriver(m450host::SheetKind kind, const SheetOptions& options = {});
    // Cancels the sheet when it is still open and lets the plug-in see DESTROY.
    ~SheetDriver();
    SheetDriver(const SheetDriver&) = delete;
    SheetDriver& operator=(const SheetDriver&) = delete;

    bool ok() const { return sheet_ != nullptr; }
    const std::wstring& error() const { return error_; }
    HWND sheet() const { return sheet_; }
    std::wstring Title() const;
    m450host::HostSession& host() { return *session_; }

    std::vector<std::wstring> TabTexts() const;
    // Activates a page as a click on its tab does (PSN_KILLACTIVE, PSN_SETACTIVE); an empty
    // driver when there is no such tab or the current page refused to be left. The messages
    // that follow are run for `pump` milliseconds (0: only those already waiting).
    PageDriver ShowPage(int index, DWORD pump = 30);
    PageDriver ShowPage(std::wstring_view tabText, DWORD pump = 30);
    PageDriver CurrentPage() const;
    int CurrentIndex() const;

    // The sheet's buttons. Apply sends PSN_APPLY to the pages (PSM_APPLY); OK and Cancel end
    // the sheet (PSM_PRESSBUTTON) and wait for it.
    void Apply();
    bool PressOk();
    bool PressCancel();
    bool Ended() const;
    // Whether the sheet's Apply button is enabled: some page has sent PSM_CHANGED.
    bool ApplyEnabled() const;

    // Runs the thread's messages for a while, the sheet handling its keyboard messages.
    void Pump(DWORD milliseconds = 30) const;

    std::span<const uint8_t> RecordBytes() const;
    // The record as it is now: bytes, and a copy read as the record's fields.
    m450::PlugInDevMode DevMode() const;

  private:
    bool PressButton(int button);
    std::unique_ptr<m450host::HostSession> session_;
    HWND sheet_ = nullptr;
    std::wstring error_;
};

// The text of a tab as shown, without its accelerator mark.
std::wstring TabText(HWND sheet, int index);
// The block a host hands a plug-in's sheet routine: this `reason`, the host's sheet handle and
// callback (where the plug-in adds its pages), and the routine's lParamInit.
PROPSHEETUI_INFO SheetInfo(WORD reason, PFNCOMPROPSHEET callback, void* sheet = nullptr, LPARAM lParamInit = 0);

// The index of the tab that reads `tabText`, or -1.
int TabIndex(HWND sheet, std::wstring_view tabText);
// In a sheet that somebody else made (compstui's, from a dialog catcher's handler): the page
// whose tab reads `tabText`, shown.
PageDriver ShowTab(HWND sheet, std::wstring_view tabText);

// A stored record for SheetOptions: the record a fresh document sheet starts from, changed by
// `edit` (a record from an older driver, say). Empty when no sheet could be opened.
std::vector<uint8_t> EditedRecord(const std::function<void(m450::PlugInDevMode&)>& edit);

}  // namespace m450test
