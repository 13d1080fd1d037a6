#include "barcode/barcode_page_win.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "barcode/barcode_page_rules.h"
#include "core/language_win.h"
#include "core/raw_channel_win.h"

namespace m450 {
namespace {

// The data field is read into 400 characters, its terminator included.
constexpr int kTestDataCapacity = 400;

std::u16string ListEntry(HWND list, int index) {
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length < 0)
        return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const LRESULT copied = SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

template <typename TextOf>
void Fill(HWND page, int listId, size_t count, TextOf textOf) {
    const HWND list = GetDlgItem(page, listId);
    if (list == nullptr)
        return;
    bool same = SendMessageW(list, CB_GETCOUNT, 0, 0) == static_cast<LRESULT>(count);
    for (size_t i = 0; same && i < count; ++i)
        same = ListEntry(list, static_cast<int>(i)) == textOf(i);
    if (same)
        return;
    const LRESULT selection = SendMessageW(list, CB_GETCURSEL, 0, 0);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < count; ++i) {
        const std::u16string text(textOf(i));
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WStr(text)));
    }
    SendMessageW(list, CB_SETCURSEL, selection, 0);
}

}  // namespace

void PrepareNumberField(HWND page, const NumberControls& controls, const BarcodeNumberField& field) {
    SendDlgItemMessageW(page, controls.edit, EM_LIMITTEXT, field.textLimit, 0);
    SetSpinRange(page, controls.spin, field.least, field.greatest);
    if (controls.rangeLabel != 0 && !field.rangeLabel.empty())
        SetControlText(page, controls.rangeLabel, field.rangeLabel);
}

void SetSpinRange(HWND page, int spin, uint32_t least, uint32_t greatest) {
    SendDlgItemMessageW(page, spin, UDM_SETRANGE32, least, greatest);
}

void SetSpinValue(HWND page, int spin, uint32_t value) {
    SendDlgItemMessageW(page, spin, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
}

int32_t TypedNumber(HWND page, int edit) {
    BOOL read = FALSE;
    return static_cast<int32_t>(GetDlgItemInt(page, edit, &read, TRUE));
}

void FillList(HWND page, int list, std::span<const TextId> texts) {
    Fill(page, list, texts.size(), [&](size_t i) { return std::u16string(Texts().View(texts[i])); });
}

void FillList(HWND page, int list, std::span<const std::u16string_view> texts) {
    Fill(page, list, texts.size(), [&](size_t i) { return std::u16string(texts[i]); });
}

int ListSelection(HWND page, int list) {
    return static_cast<int>(SendDlgItemMessageW(page, list, CB_GETCURSEL, 0, 0));
}

void SelectListEntry(HWND page, int list, int index) {
    SendDlgItemMessageW(page, list, CB_SETCURSEL, index, 0);
}

std::vector<uint8_t> TestDataBytes(HWND page, int edit) {
    std::array<wchar_t, kTestDataCapacity> text{};
    const int length = GetDlgItemTextW(page, edit, text.data(), kTestDataCapacity);
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    const int converted = WideCharToMultiByte(CP_ACP, 0, text.data(), length, reinterpret_cast<char*>(bytes.data()),
                                              size, nullptr, nullptr);
    bytes.resize(converted > 0 ? static_cast<size_t>(converted) : 0);
    return bytes;
}

bool HasText(HWND page, int edit) {
    return GetWindowTextLengthW(GetDlgItem(page, edit)) > 0;
}

SpoolerCalls DocumentPrinterCalls(const DocumentPageContext* context) {
    const HANDLE printer =
        context != nullptr && context->pOEMUIPSParam != nullptr ? context->pOEMUIPSParam->hPrinter : nullptr;
    return WinspoolCalls(printer);
}

bool WritingFields(HWND page) {
    return WindowFlag(page, kWritingFieldsFlag);
}

}  // namespace m450
