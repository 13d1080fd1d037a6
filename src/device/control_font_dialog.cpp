#include "device/control_font_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "device/control_font_table.h"
#include "core/hex_input_filter_win.h"
#include "core/hex_text.h"
#include "control_font_ids.h"
#include "core/module_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"

namespace m450 {
namespace {

// What the table hands to the translator, and what the translator gives back on OK.
struct TranslatorRequest {
    std::wstring charText;
    std::wstring codeText;
    std::vector<uint8_t> command;
};

struct Column {
    const wchar_t* title;
    int width;
};
constexpr std::array<Column, 3> kColumns = {{{L"Char", 50}, {L"Hex", 50}, {L"Command", 450}}};
constexpr int kCharColumn = 0;
constexpr int kCodeColumn = 1;
constexpr int kCommandColumn = 2;

// A larger file is not the table's: it is read as far as this.
constexpr DWORD kMaxFileBytes = 1 << 20;

std::wstring Wide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

std::u16string Utf16(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring WindowsDirectory() {
    std::array<wchar_t, MAX_PATH + 1> buffer{};
    const UINT length = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    return length > 0 && length < buffer.size() ? std::wstring(buffer.data(), length) : std::wstring();
}

std::u16string TableFilePath() {
    return ControlFontFilePath(Utf16(WindowsDirectory()));
}

// The file's bytes; empty when it is missing, nullopt when it is there but cannot be read (an
// empty table shown for it would replace the user's commands on OK).
std::optional<std::vector<uint8_t>> ReadFileBytes(const std::u16string& path) {
    std::vector<uint8_t> bytes;
    const std::wstring widePath = Wide(path);
    const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return bytes;
        return std::nullopt;
    }
    LARGE_INTEGER size{};
    bool complete = GetFileSizeEx(file, &size) != FALSE;
    if (complete && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kMaxFileBytes)));
        DWORD read = 0;
        complete = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) != FALSE &&
                   read == bytes.size();
    }
    CloseHandle(file);
    if (!complete)
        return std::nullopt;
    return bytes;
}

// ---- translator (template 116) -----------------------------------------------------------

// One open translator: the request it edits, WM_INITDIALOG's lParam.
struct TranslatorState {
    TranslatorRequest* request = nullptr;
};

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

INT_PTR StartTranslator(HWND dialog, TranslatorState& state, LPARAM lParam) {
    auto* request = reinterpret_cast<TranslatorRequest*>(lParam);
    if (request == nullptr) {
        EndDialog(dialog, -1);
        return FALSE;
    }
    state.request = request;
    SetDlgItemTextW(dialog, IDC_TRANSLATOR_CHAR_EDIT, request->charText.c_str());
    SetDlgItemTextW(dialog, IDC_TRANSLATOR_HEX_EDIT, request->codeText.c_str());
    SendDlgItemMessageW(dialog, IDC_TRANSLATOR_CHAR_EDIT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageW(dialog, IDC_TRANSLATOR_HEX_EDIT, EM_SETREADONLY, TRUE, 0);
    const HWND command = GetDlgItem(dialog, IDC_TRANSLATOR_COMMAND_EDIT);
    AttachHexInputFilter(command);
    SetWindowTextW(command, Wide(FormatHexBytes(request->command)).c_str());
    return TRUE;
}

void ConfirmTranslator(HWND dialog, TranslatorRequest& request) {
    const std::wstring text = WindowText(GetDlgItem(dialog, IDC_TRANSLATOR_COMMAND_EDIT));
    std::optional<std::vector<uint8_t>> command = ParseCommandText(Utf16(text));
    if (!command) {
        ShowMessage(dialog, TextId::MSG_MB_OPERATION_ERROR1, TextId::MSG_MB_ERROR, 0);
        return;
    }
    request.command = *std::move(command);
    EndDialog(dialog, IDOK);
}

INT_PTR TranslatorCommand(HWND dialog, TranslatorState& state, WORD id, WORD) {
    if (state.request == nullptr)
        return FALSE;
    if (id == IDOK) {
        ConfirmTranslator(dialog, *state.request);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

constexpr PageParts<TranslatorState> kTranslatorParts = {
    .host = PageHost::ModalDialog,
    .start = StartTranslator,
    .command = TranslatorCommand,
};

INT_PTR CALLBACK TranslatorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kTranslatorParts, dialog, message, wParam, lParam);
}

// ---- table (template 115) ----------------------------------------------------------------

HWND ListOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_TRANSLATION_LIST);
}

std::wstring CellText(HWND list, int row, int column) {
    std::array<wchar_t, kControlFontValueCapacity> text{};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    const LRESULT length = SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return std::wstring(text.data(), static_cast<size_t>(std::max<LRESULT>(length, 0)));
}

void SetCellText(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void AddColumns(HWND list) {
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t*>(kColumns[i].title);
        column.iSubItem = i;
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void AddRows(HWND list, const ControlFontTable& table) {
    for (size_t row = 0; row < kControlFontRowCount; ++row) {
        const std::wstring charText = Wide(ControlFontCharText(row));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = const_cast<wchar_t*>(charText.c_str());
        const LRESULT index = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (index < 0)
            continue;
        SetCellText(list, static_cast<int>(index), kCodeColumn, Wide(ControlFontKey(row)));
        SetCellText(list, static_cast<int>(index), kCommandColumn, Wide(table[row]));
    }
}

// WM_INITDIALOG's lParam is the table file's bytes.
INT_PTR StartTable(HWND dialog, NoPageState&, LPARAM lParam) {
    const auto& file = *reinterpret_cast<const std::vector<uint8_t>*>(lParam);
    SetDlgItemTextW(dialog, IDC_TRANSLATION_DRIVER_NAME_EDIT, Wide(kControlFontDriverName).c_str());
    SendDlgItemMessageW(dialog, IDC_TRANSLATION_DRIVER_NAME_EDIT, EM_SETREADONLY, TRUE, 0);
    const HWND list = ListOf(dialog);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    AddColumns(list);
    AddRows(list, ControlFontTableFromBytes(file));
    return TRUE;
}

int SelectedRow(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The edited row comes into view with the row before it, and the list takes the focus back.
void ShowRow(HWND list, int row) {
    SendMessageW(list, LVM_ENSUREVISIBLE, row, FALSE);
    if (row > 1)
        SendMessageW(list, LVM_ENSUREVISIBLE, row - 1, FALSE);
    SetFocus(list);
}

void EditRow(HWND dialog) {
    const HWND list = ListOf(dialog);
    const int row = SelectedRow(list);
    if (row < 0)
        return;
    std::optional<std::vector<uint8_t>> command = ParseCommandText(Utf16(CellText(list, row, kCommandColumn)));
    if (!command) {
        ShowMessageText(dialog, kControlFontLengthError, TextId::MSG_MB_ERROR, 0);
        return;
    }
    TranslatorRequest request{CellText(list, row, kCharColumn), CellText(list, row, kCodeColumn), *std::move(command)};
    INT_PTR answer = 0;
    {
        const ActivationScope scope;
        answer = DialogBoxParamW(g_moduleInstance, MAKEINTRESOURCEW(IDD_CONTROL_FONT_TRANSLATOR), dialog,
                                 TranslatorProc, reinterpret_cast<LPARAM>(&request));
    }
    if (answer == IDOK)
        SetCellText(list, row, kCommandColumn, Wide(FormatHexBytes(request.command)));
    ShowRow(list, row);
}

void DeleteRow(HWND dialog) {
    const HWND list = ListOf(dialog);
    const int row = SelectedRow(list);
    if (row < 0)
        return;
    SetCellText(list, row, kCommandColumn, std::wstring());
    ShowRow(list, row);
}

void SaveTable(HWND dialog) {
    const HWND list = ListOf(dialog);
    ControlFontTable table;
    for (size_t row = 0; row < kControlFontRowCount; ++row)
        table[row] = Utf16(CellText(list, static_cast<int>(row), kCommandColumn));
    if (SaveControlFontFile(std::filesystem::path(TableFilePath()), table) == ControlFontSave::kFailed) {
        ShowMessageText(dialog, kControlFontSaveError, TextId::MSG_MB_ERROR, MB_ICONERROR);
        return;
    }
    EndDialog(dialog, IDOK);
}

INT_PTR TableCommand(HWND dialog, NoPageState&, WORD id, WORD code) {
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
        case IDC_TRANSLATION_EDIT_BUTTON:
            EditRow(dialog);
            return TRUE;
        case IDC_TRANSLATION_DELETE_BUTTON:
            DeleteRow(dialog);
            return TRUE;
        case IDOK:
            SaveTable(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
    }
}

// A double click on a row edits it.
std::optional<INT_PTR> TableNotify(HWND dialog, NoPageState&, const NMHDR& header) {
    if (header.idFrom == IDC_TRANSLATION_LIST && header.code == NM_DBLCLK)
        EditRow(dialog);
    return std::nullopt;
}

constexpr PageParts<NoPageState> kTableParts = {
    .host = PageHost::ModalDialog,
    .start = StartTable,
    .command = TableCommand,
    .notify = TableNotify,
};

INT_PTR CALLBACK TableProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kTableParts, dialog, message, wParam, lParam);
}

}  // namespace

// A file that is there but cannot be read is not shown as an empty table, whose OK would
// replace the commands in it: the user hears why, and nothing opens.
INT_PTR OpenControlFontTable(HWND owner) {
    std::optional<std::vector<uint8_t>> file;
    try {
        file = ReadFileBytes(TableFilePath());
    } catch (...) {  // memory ran short
        return IDCANCEL;
    }
    if (!file) {
        ShowMessageText(owner, kControlFontSaveError, TextId::MSG_MB_ERROR, MB_ICONERROR);
        return IDCANCEL;
    }
    const ActivationScope scope;
    return DialogBoxParamW(g_moduleInstance, MAKEINTRESOURCEW(IDD_CONTROL_FONT_TABLE), owner, TableProc,
                           reinterpret_cast<LPARAM>(&*file));
}

}  // namespace m450
