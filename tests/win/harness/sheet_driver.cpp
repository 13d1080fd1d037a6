#include "sheet_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <cstring>

#include "screenshot.h"

namespace m450test {
namespace {

constexpr int kApplyButton = 0x3021;
constexpr DWORD kEndWait = 2000;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return name;
}

bool IsComboBox(HWND control) {
    return _wcsicmp(ClassOf(control).c_str(), L"ComboBox") == 0;
}

void Notify(HWND control, WORD code) {
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

}  // namespace

std::wstring TabText(HWND sheet, int index) {
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(std::size(text));
    if (!TabCtrl_GetItem(PropSheet_GetTabControl(sheet), index, &item))
        return {};
    std::wstring shown;
    for (const wchar_t* c = text; *c != 0; ++c) {
        if (*c != L'&')
            shown += *c;
    }
    return shown;
}

// PageDriver -------------------------------------------------------------------------------

HWND PageDriver::Control(int id) const {
    return page_ != nullptr ? GetDlgItem(page_, id) : nullptr;
}

bool PageDriver::Usable(HWND control) const {
    return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control);
}

bool PageDriver::Click(int id) {
    HWND button = Control(id);
    if (!Usable(button))
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

bool PageDriver::Type(int id, std::wstring_view text) {
    HWND edit = Control(id);
    if (!Usable(edit) || (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0)
        return false;
    const std::wstring value(text);
    SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()));
    return true;
}

bool PageDriver::TypeKeys(int id, std::wstring_view text) {
    HWND edit = Control(id);
    if (!Usable(edit) || (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) != 0)
        return false;
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);  // the first key replaces the whole text
    for (const wchar_t c : text)
        SendMessageW(edit, WM_CHAR, c, 1);
    return true;
}

bool PageDriver::Paste(int id, std::wstring_view text) {
    HWND edit = Control(id);
    if (!Usable(edit) || !OpenClipboard(page_))
        return false;
    EmptyClipboard();
    bool placed = false;
    if (HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t)); data != nullptr) {
        if (auto* chars = static_cast<wchar_t*>(GlobalLock(data)); chars != nullptr) {
            std::copy(text.begin(), text.end(), chars);
            chars[text.size()] = L'\0';
            GlobalUnlock(data);
            placed = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        }
        if (!placed)
            GlobalFree(data);
    }
    CloseClipboard();
    if (!placed)
        return false;
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_PASTE, 0, 0);
    return true;
}

bool PageDriver::Choose(int id, int index) {
    HWND list = Control(id);
    if (!Usable(list))
        return false;
    const bool combo = IsComboBox(list);
    const LRESULT chosen = SendMessageW(list, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    if (chosen == (combo ? CB_ERR : LB_ERR))
        return false;
    Notify(list, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
    return true;
}

bool PageDriver::Choose(int id, std::wstring_view entryText) {
    const std::vector<std::wstring> entries = Items(id);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i] == entryText)
            return Choose(id, static_cast<int>(i));
    }
    return false;
}

bool PageDriver::ClickRow(int id, int row) {
    HWND list = Control(id);
    if (!Usable(list))
        return false;
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(id);
    click.hdr.code = NM_CLICK;
    click.iItem = row;
    SendMessageW(page_, WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
    return true;
}

bool PageDriver::MoveTrackbar(int id, int steps) {
    HWND trackbar = Control(id);
    if (!Usable(trackbar))
        return false;
    const WPARAM key = steps >= 0 ? VK_RIGHT : VK_LEFT;
    for (int i = 0; i < std::abs(steps); ++i)
        SendMessageW(trackbar, WM_KEYDOWN, key, 1);
    SendMessageW(trackbar, WM_KEYUP, key, 0xC0000001);
    return true;
}

bool PageDriver::Spin(int id, int steps) {
    HWND arrows = Control(id);
    if (!Usable(arrows))
        return false;
    RECT client{};
    GetClientRect(arrows, &client);
    const bool horizontal = (GetWindowLongW(arrows, GWL_STYLE) & UDS_HORZ) != 0;
    const bool up = steps >= 0;
    const int x = horizontal ? (up ? client.right * 3 / 4 : client.right / 4) : client.right / 2;
    const int y = horizontal ? client.bottom / 2 : (up ? client.bottom / 4 : client.bottom * 3 / 4);
    for (int i = 0; i < std::abs(steps); ++i) {
        SendMessageW(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(arrows, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    return true;
}

std::wstring PageDriver::Text(int id) const {
    HWND control = Control(id);
    if (control == nullptr)
        return {};
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool PageDriver::Checked(int id) const {
    HWND button = Control(id);
    return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool PageDriver::Enabled(int id) const {
    HWND control = Control(id);
    return control != nullptr && IsWindowEnabled(control);
}

bool PageDriver::Visible(int id) const {
    HWND control = Control(id);
    return control != nullptr && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::vector<std::wstring> PageDriver::Items(int id) const {
    std::vector<std::wstring> items;
    HWND list = Control(id);
    if (list == nullptr)
        return items;
    const bool combo = IsComboBox(list);
    const LRESULT count = SendMessageW(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        SendMessageW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        items.push_back(std::move(text));
    }
    return items;
}

int PageDriver::Selection(int id) const {
    HWND list = Control(id);
    if (list == nullptr)
        return -1;
    return static_cast<int>(SendMessageW(list, IsComboBox(list) ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
}

std::wstring PageDriver::SelectedText(int id) const {
    const int selected = Selection(id);
    const std::vector<std::wstring> items = Items(id);
    return selected >= 0 && static_cast<size_t>(selected) < items.size() ? items[static_cast<size_t>(selected)] : L"";
}

int PageDriver::TrackbarPosition(int id) const {
    HWND trackbar = Control(id);
    return trackbar != nullptr ? static_cast<int>(SendMessageW(trackbar, TBM_GETPOS, 0, 0)) : -1;
}

int PageDriver::SpinPosition(int id) const {
    HWND arrows = Control(id);
    return arrows != nullptr ? static_cast<int>(SendMessageW(arrows, UDM_GETPOS32, 0, 0)) : -1;
}

bool PageDriver::ShowsWhole(int id) const {
    HWND edit = Control(id);
    if (edit == nullptr)
        return false;
    const std::wstring text = Text(id);
    RECT area{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    HDC dc = GetDC(edit);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)));
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(edit, dc);
    return extent.cx <= area.right - area.left;
}

// SheetDriver ------------------------------------------------------------------------------

SheetDriver::SheetDriver(m450host::SheetKind kind, const SheetOptions& options) {
    m450host::SessionOptions sessionOptions;
    sessionOptions.printerName = options.printerName;
    sessionOptions.installedDriver = options.installedDriver;
    session_ = m450host::HostSession::Create(sessionOptions, &error_);
    if (session_ == nullptr)
        return;
    if (options.storedRecord && !session_->MergeRecord(*options.storedRecord, &error_))
        return;
    sheet_ = session_->OpenModeless(kind);
    if (sheet_ == nullptr) {
        error_ = L"the property sheet could not be made";
        return;
    }
    Pump(50);
}

SheetDriver::~SheetDriver() {
    if (session_ == nullptr)
        return;
    if (sheet_ != nullptr && !Ended())
        PressCancel();
    session_->CloseSheet();
    Pump(10);
}

std::wstring SheetDriver::Title() const {
    wchar_t title[256] = {};
    GetWindowTextW(sheet_, title, static_cast<int>(std::size(title)));
    return title;
}

std::vector<std::wstring> SheetDriver::TabTexts() const {
    std::vector<std::wstring> texts;
    const int count = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet_));
    for (int i = 0; i < count; ++i)
        texts.push_back(TabText(sheet_, i));
    return texts;
}

int SheetDriver::CurrentIndex() const {
    return TabCtrl_GetCurSel(PropSheet_GetTabControl(sheet_));
}

PageDriver SheetDriver::CurrentPage() const {
    return PageDriver(PropSheet_GetCurrentPageHwnd(sheet_));
}

PageDriver SheetDriver::ShowPage(int index, DWORD pump) {
    if (sheet_ == nullptr || index < 0 || index >= TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet_)))
        return PageDriver();
    PropSheet_SetCurSel(sheet_, nullptr, index);
    Pump(pump);
    return CurrentIndex() == index ? CurrentPage() : PageDriver();
}

PageDriver SheetDriver::ShowPage(std::wstring_view tabText, DWORD pump) {
    return ShowPage(TabIndex(sheet_, tabText), pump);
}

PROPSHEETUI_INFO SheetInfo(WORD reason, PFNCOMPROPSHEET callback, void* sheet, LPARAM lParamInit) {
    PROPSHEETUI_INFO info{};
    info.cbSize = sizeof(info);
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = reason;
    info.hComPropSheet = sheet;
    info.pfnComPropSheet = callback;
    info.lParamInit = lParamInit;
    return info;
}

int TabIndex(HWND sheet, std::wstring_view tabText) {
    const int count = TabCtrl_GetItemCount(PropSheet_GetTabControl(sheet));
    for (int i = 0; i < count; ++i) {
        if (TabText(sheet, i) == tabText)
            return i;
    }
    return -1;
}

PageDriver ShowTab(HWND sheet, std::wstring_view tabText) {
    const int index = TabIndex(sheet, tabText);
    if (index < 0 || !PropSheet_SetCurSel(sheet, nullptr, index))
        return PageDriver();
    return PageDriver(PropSheet_GetCurrentPageHwnd(sheet));
}

void SheetDriver::Apply() {
    PropSheet_Apply(sheet_);
    Pump();
}

bool SheetDriver::PressButton(int button) {
    PropSheet_PressButton(sheet_, button);
    PostMessageW(sheet_, WM_NULL, 0, 0);
    const ULONGLONG end = GetTickCount64() + kEndWait;
    while (!Ended() && GetTickCount64() < end)
        Pump(10);
    return Ended();
}

bool SheetDriver::PressOk() {
    return PressButton(PSBTN_OK);
}

bool SheetDriver::PressCancel() {
    return PressButton(PSBTN_CANCEL);
}

bool SheetDriver::Ended() const {
    return session_->SheetEnded();
}

bool SheetDriver::ApplyEnabled() const {
    HWND apply = GetDlgItem(sheet_, kApplyButton);
    return apply != nullptr && IsWindowEnabled(apply);
}

void SheetDriver::Pump(DWORD milliseconds) const {
    m450host::PumpMessages(sheet_, milliseconds);
}

std::span<const uint8_t> SheetDriver::RecordBytes() const {
    return session_->record();
}

m450::PlugInDevMode SheetDriver::DevMode() const {
    // A copy, zero past the end of a record shorter than ours.
    m450::PlugInDevMode record{};
    const std::span<const uint8_t> bytes = session_->record();
    std::memcpy(&record, bytes.data(), std::min(bytes.size(), sizeof(record)));
    return record;
}

std::vector<uint8_t> EditedRecord(const std::function<void(m450::PlugInDevMode&)>& edit) {
    SheetDriver probe(m450host::SheetKind::Document);
    if (!probe.ok())
        return {};
    m450::PlugInDevMode dm = probe.DevMode();
    edit(dm);
    const std::span<const uint8_t> bytes = m450::DevModeBytes(dm);
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

}  // namespace m450test
