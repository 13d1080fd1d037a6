#include "core/page_controls_win.h"

#include <commdlg.h>
#include <prsht.h>

#include <vector>

#include "core/language_win.h"
#include "core/module_win.h"
#include "core/page_win.h"

namespace m450 {
void EnableControl(HWND page, int id, bool enabled) {
    EnableWindow(GetDlgItem(page, id), enabled ? TRUE : FALSE);
}

void EnableControls(HWND page, std::span<const int> ids, bool enabled) {
    for (const int id : ids)
        EnableControl(page, id, enabled);
}

void ShowControls(HWND page, std::span<const int> ids, bool shown) {
    for (const int id : ids)
        ShowWindow(GetDlgItem(page, id), shown ? SW_SHOW : SW_HIDE);
}

void SetControlText(HWND page, int id, std::u16string_view text) {
    const std::wstring copy(text.begin(), text.end());
    SetDlgItemTextW(page, id, copy.c_str());
}

void CheckControl(HWND page, int id, bool checked) {
    CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool IsControlChecked(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED;
}

int32_t ControlNumber(HWND page, int id) {
    BOOL isNumber = FALSE;
    const int value = static_cast<int>(GetDlgItemInt(page, id, &isNumber, TRUE));
    return isNumber ? value : 0;
}

void ShowMessage(HWND owner, TextId text, TextId caption, UINT icon) {
    const ActivationScope scope;
    MessageBoxW(owner, WText(text), WText(caption), MB_OK | icon);
}

void ShowMessageText(HWND owner, std::u16string_view text, TextId caption, UINT icon) {
    const std::wstring shown(text.begin(), text.end());
    const ActivationScope scope;
    MessageBoxW(owner, shown.c_str(), WText(caption), MB_OK | icon);
}

std::optional<std::wstring> ChooseFileToOpen(HWND owner, const OpenFileRequest& request) {
    std::vector<wchar_t> path(request.capacity, L'\0');
    std::vector<wchar_t> name(request.capacity, L'\0');
    if (path.empty())
        return std::nullopt;
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter;
    dialog.nFilterIndex = request.filterIndex;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = request.capacity;
    dialog.lpstrFileTitle = name.data();
    dialog.nMaxFileTitle = request.capacity;
    dialog.lpstrTitle = request.title;
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST |
                   OFN_CREATEPROMPT | OFN_LONGNAMES;
    const ActivationScope scope;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    path.back() = L'\0';
    return std::wstring(path.data());
}

PlugInDevMode* RecordOf(const DocumentPageContext* context) {
    if (context == nullptr || context->pOEMUIPSParam == nullptr)
        return nullptr;
    return static_cast<PlugInDevMode*>(context->pOEMUIPSParam->pOEMDM);
}

PlugInDevMode* RecordOf(HWND page) {
    return RecordOf(DocumentContextOf(page));
}

void MarkChanged(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

void MarkUnchanged(HWND page) {
    SendMessageW(GetParent(page), PSM_UNCHANGED, reinterpret_cast<WPARAM>(page), 0);
}

}  // namespace m450
