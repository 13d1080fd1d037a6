#include "device/utility_page.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "device/control_font_dialog.h"
#include "core/hover_help_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
#include "device/form_store_win.h"
#include "device/paper_forms.h"
#include "core/raw_channel_win.h"
#include "device/self_test_job.h"
#include "utility_page_ids.h"

namespace m450 {
namespace {

// Set by tests before a page opens; null (the spooler's forms) in the DLL. Atomic: pages of
// several threads read it.
std::atomic<FormStore*> g_formStore{nullptr};

constexpr std::array<ControlText, 9> kTexts = {{
    {IDC_UTILITY_SELFTEST_BUTTON, TextId::UTILITY_RC_SELFTEST},
    {IDC_UTILITY_SELFTEST_LABEL, TextId::UTILITY_RC_STATIC_SELFTEST},
    {IDC_UTILITY_CHECK_COMM_LABEL, TextId::UTILITY_RC_STATIC_CHECKCOMM},
    {IDC_UTILITY_PAPER_GROUP, TextId::UTILITY_RC_STATIC_CUSTOMSIZE},
    {IDC_UTILITY_DELETE_BUTTON, TextId::UTILITY_RC_BUTTON_DELETE},
    {IDC_UTILITY_SAVE_BUTTON, TextId::UTILITY_RC_BUTTON_SAVE},
    {IDC_UTILITY_FORM_NAME_LABEL, TextId::UTILITY_RC_STATIC_FORMNAME},
    {IDC_UTILITY_WIDTH_LABEL, TextId::UTILITY_RC_STATIC_FORMWIDTH},
    {IDC_UTILITY_HEIGHT_LABEL, TextId::UTILITY_RC_STATIC_FORMHEIGHT},
}};

HANDLE PrinterOf(HWND page) {
    const DevicePageContext* context = DeviceContextOf(page);
    return context != nullptr && context->pOEMCUIPParam != nullptr ? context->pOEMCUIPParam->hPrinter : nullptr;
}

// Runs `action` on the page's form store.
template <typename Action>
auto WithFormStore(HWND page, Action action) {
    if (FormStore* store = g_formStore.load())
        return action(*store);
    SpoolerFormStore spooler(PrinterOf(page));
    return action(spooler);
}

HWND Item(HWND page, int id) {
    return GetDlgItem(page, id);
}

std::u16string ItemText(HWND page, int id, int capacity) {
    std::wstring text(static_cast<size_t>(capacity) + 1, L'\0');
    const int length = GetDlgItemTextW(page, id, text.data(), capacity + 1);
    return std::u16string(text.begin(), text.begin() + std::max(length, 0));
}

std::u16string ListItemText(HWND list, int index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return std::u16string(text.begin(), text.begin() + (copied == LB_ERR ? 0 : copied));
}

std::vector<std::u16string> ListItems(HWND page) {
    const HWND list = Item(page, IDC_UTILITY_PAPER_LIST);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    std::vector<std::u16string> items;
    for (int i = 0; i < count; ++i)
        items.push_back(ListItemText(list, i));
    return items;
}

int SelectedIndex(HWND page) {
    const LRESULT index = SendDlgItemMessageW(page, IDC_UTILITY_PAPER_LIST, LB_GETCURSEL, 0, 0);
    return index == LB_ERR ? -1 : static_cast<int>(index);
}

std::optional<std::u16string> SelectedName(HWND page) {
    const int index = SelectedIndex(page);
    if (index < 0)
        return std::nullopt;
    return ListItemText(Item(page, IDC_UTILITY_PAPER_LIST), index);
}

void Select(HWND page, int index) {
    SendDlgItemMessageW(page, IDC_UTILITY_PAPER_LIST, LB_SETCURSEL, index, 0);
}

void AppendItem(HWND page, std::u16string_view name) {
    const std::wstring wide(name.begin(), name.end());
    SendDlgItemMessageW(page, IDC_UTILITY_PAPER_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void EnableDelete(HWND page, bool enabled) {
    EnableControl(page, IDC_UTILITY_DELETE_BUTTON, enabled);
}

void ShowSize(HWND page, PaperSize size) {
    SetDlgItemInt(page, IDC_UTILITY_WIDTH_EDIT, static_cast<UINT>(size.width), TRUE);
    SetDlgItemInt(page, IDC_UTILITY_HEIGHT_EDIT, static_cast<UINT>(size.height), TRUE);
}

void ShowSelection(HWND page, const PaperSelectionView& view) {
    SetControlText(page, IDC_UTILITY_FORM_NAME_EDIT, view.nameText);
    EnableDelete(page, view.deleteEnabled);
    if (view.size)
        ShowSize(page, *view.size);
}

void SetSpin(HWND page, int spinId, PaperRange range) {
    SendDlgItemMessageW(page, spinId, UDM_SETRANGE32, range.min, range.max);
}

void SetLimits(HWND page) {
    SendDlgItemMessageW(page, IDC_UTILITY_FORM_NAME_EDIT, EM_LIMITTEXT, kPaperNameMaxLength, 0);
    SendDlgItemMessageW(page, IDC_UTILITY_WIDTH_EDIT, EM_LIMITTEXT, kPaperWidthTextLength, 0);
    SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT_EDIT, EM_LIMITTEXT, kPaperHeightTextLength, 0);
    SetSpin(page, IDC_UTILITY_WIDTH_SPIN, kPaperWidthRange);
    SetSpin(page, IDC_UTILITY_HEIGHT_SPIN, kPaperHeightRange);
    SetControlText(page, IDC_UTILITY_WIDTH_RANGE, kPaperWidthRangeText);
    SetControlText(page, IDC_UTILITY_HEIGHT_RANGE, kPaperHeightRangeText);
}

INT_PTR Start(HWND page, NoPageState&, LPARAM) {
    EnableDelete(page, false);  // until a form other than the default one is selected
    const PaperStart start = WithFormStore(page, [](FormStore& store) { return StartPaperList(store); });
    if (start.result == PaperStartResult::kEnumerateFailed || start.result == PaperStartResult::kAddDefaultFailed)
        return TRUE;
    SetLimits(page);
    if (start.result == PaperStartResult::kNoForms)
        return TRUE;
    for (const std::u16string& name : start.items)
        AppendItem(page, name);
    Select(page, start.selected);
    if (start.view.size) {
        SendDlgItemMessageW(page, IDC_UTILITY_WIDTH_SPIN, UDM_SETPOS32, 0, start.view.size->width);
        SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT_SPIN, UDM_SETPOS32, 0, start.view.size->height);
    }
    ShowSelection(page, start.view);
    AttachHoverHelp(page, IDD_UTILITY_PAGE);
    return TRUE;
}

void SelectionChanged(HWND page) {
    const std::optional<std::u16string> name = SelectedName(page);
    const PaperSelectionView view = WithFormStore(page, [&name](FormStore& store) {
        return ViewOfSelection(store, name ? std::optional<std::u16string_view>(*name) : std::nullopt);
    });
    ShowSelection(page, view);
}

void NameChanged(HWND page) {
    const std::optional<std::u16string> name = SelectedName(page);
    EnableDelete(page, PaperDeleteEnabled(name ? std::optional<std::u16string_view>(*name) : std::nullopt));
}

// The name edit holds 18 characters; more is read so that a longer text is cut, not refused.
constexpr int kTypedNameCapacity = 255;

bool Save(HWND page) {
    const int32_t width = ControlNumber(page, IDC_UTILITY_WIDTH_EDIT);
    const int32_t height = ControlNumber(page, IDC_UTILITY_HEIGHT_EDIT);
    const std::u16string name = ItemText(page, IDC_UTILITY_FORM_NAME_EDIT, kTypedNameCapacity);
    const PaperSave save =
        WithFormStore(page, [&](FormStore& store) { return SavePaperForm(store, name, width, height); });
    ShowSize(page, save.size);
    switch (save.result) {
        case PaperSaveResult::kAdded:
            AppendItem(page, save.addedName);
            Select(page, static_cast<int>(SendDlgItemMessageW(page, IDC_UTILITY_PAPER_LIST, LB_GETCOUNT, 0, 0)) - 1);
            EnableDelete(page, true);
            return true;
        case PaperSaveResult::kRefused:
            ShowMessage(page, TextId::MSG_MB_UTILITY_ERROR1, TextId::MSG_MB_ERROR, MB_ICONERROR);
            return true;
        case PaperSaveResult::kUpdated:
            return true;
        case PaperSaveResult::kEnumerateFailed:
            return false;
    }
    return false;
}

bool Delete(HWND page) {
    const std::vector<std::u16string> items = ListItems(page);
    const int selected = SelectedIndex(page);
    const PaperDelete deletion =
        WithFormStore(page, [&](FormStore& store) { return DeletePaperForm(store, items, selected); });
    if (deletion.refused)
        ShowMessage(page, TextId::MSG_MB_UTILITY_ERROR1, TextId::MSG_MB_ERROR, MB_ICONERROR);
    if (!deletion.removed)
        return false;
    SendDlgItemMessageW(page, IDC_UTILITY_PAPER_LIST, LB_DELETESTRING, selected, 0);
    Select(page, deletion.selected);
    ShowSelection(page, deletion.view);
    return true;
}

bool SelfTest(HWND page) {
    return SendSelfTest(RawPrinterChannel(WinspoolCalls(PrinterOf(page))));
}

INT_PTR OnCommand(HWND page, NoPageState&, WORD id, WORD code) {
    switch (id) {
        case IDC_UTILITY_SELFTEST_BUTTON:
            return code == BN_CLICKED && SelfTest(page);
        case IDC_UTILITY_CONTROL_FONT_BUTTON:
            if (code == BN_CLICKED)
                OpenControlFontTable(page);
            return TRUE;
        case IDC_UTILITY_SAVE_BUTTON:
            return code == BN_CLICKED && Save(page);
        case IDC_UTILITY_DELETE_BUTTON:
            return code == BN_CLICKED && Delete(page);
        case IDC_UTILITY_PAPER_LIST:
            if (code == LBN_SELCHANGE)
                SelectionChanged(page);
            return TRUE;
        case IDC_UTILITY_FORM_NAME_EDIT:
            if (code == EN_CHANGE)
                NameChanged(page);
            return TRUE;
        default:
            return FALSE;
    }
}

constexpr PageParts<NoPageState> kParts = {
    .host = PageHost::DeviceSheet,
    .section = kUtilitySection,
    .texts = kTexts,
    .start = Start,
    .command = OnCommand,
};

}  // namespace

void SetUtilityFormStore(FormStore* store) {
    g_formStore = store;
}

INT_PTR CALLBACK UtilityPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
