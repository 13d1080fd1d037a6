// The document event operations dialog: a switchboard between its controls and
// EventDialogValues. What is enabled, what is stored on OK, what Default restores and which
// picture shows are decided by event_operations.h.
#include "document/event_dialog.h"

#include <commctrl.h>

#include <array>
#include <string>

#include "core/hex_input_filter_win.h"
#include "core/module_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
#include "core/hover_help_win.h"
#include "core/language_win.h"
#include "event_dialog_ids.h"

namespace m450 {
namespace {

constexpr std::array<ControlText, 19> kTexts = {{
    {IDC_EVENT_SEND_COMMAND_CHECK, TextId::DOCUMENT_RC_SEND_COMMAND},
    {IDC_EVENT_DRAWER_RADIO, TextId::DOCUMENT_RC_OPEN_DRAWER},
    {IDC_EVENT_MESSENGER_RADIO, TextId::DOCUMENT_RC_ORDER_MESSENGER},
    {IDC_EVENT_BUZZER_LABEL, TextId::DOCUMENT_RC_STATIC_OPERATION_BUZZER},
    {IDC_EVENT_VOLUME_LABEL, TextId::DOCUMENT_RC_STATIC_BUZZER_VOLUME},
    {IDC_EVENT_FEED_LABEL, TextId::DOCUMENT_RC_STATIC_OPERATION_FEED},
    {IDC_EVENT_FEED_TO_CUT_CHECK, TextId::DOCUMENT_RC_FEEDTOPOSITION},
    {IDC_EVENT_CUT_LABEL, TextId::DOCUMENT_RC_PAPERCUT},
    {IDC_EVENT_LOGO_LABEL, TextId::DOCUMENT_RC_STATIC_OPERATION_LOGO},
    {IDC_EVENT_ALIGN_LABEL, TextId::DOCUMENT_RC_STATIC_OPERATION_ALIGN},
    {IDC_EVENT_ALIGN_LEFT_RADIO, TextId::DOCUMENT_RC_LEFT},
    {IDC_EVENT_ALIGN_CENTER_RADIO, TextId::DOCUMENT_RC_CENTERED},
    {IDC_EVENT_ALIGN_RIGHT_RADIO, TextId::DOCUMENT_RC_RIGHT},
    {IDC_EVENT_POSITION_LABEL, TextId::DOCUMENT_RC_STATIC_OPERATION_POSITION},
    {IDC_EVENT_BEFORE_CUT_RADIO, TextId::DOCUMENT_RC_BEFORE_CUT},
    {IDC_EVENT_AFTER_CUT_RADIO, TextId::DOCUMENT_RC_AFTER_CUT},
    {IDC_EVENT_DEFAULT_BUTTON, TextId::DOCUMENT_RC_OPERATION_DEFAULT},
    {IDOK, TextId::DOCUMENT_RC_OPERATION_OK},
    {IDCANCEL, TextId::DOCUMENT_RC_OPERATION_CANCEL},
}};

// A drop-down list and its entries: consecutive text slots, index = position.
struct ListEntries {
    int controlId;
    TextId first;
    int count;
};

constexpr int Span(TextId first, TextId last) {
    return static_cast<int>(last) - static_cast<int>(first) + 1;
}
static_assert(Span(TextId::DOCUMENT_RC_OPENDRAWER1, TextId::DOCUMENT_RC_OPENDRAWER13) == kCashDrawerChoices);
static_assert(Span(TextId::DOCUMENT_RC_ORDERMESSENGER1, TextId::DOCUMENT_RC_ORDERMESSENGER2) == kOrderMessengerChoices);
static_assert(Span(TextId::DOCUMENT_RC_OPERATION_BUZZER1, TextId::DOCUMENT_RC_OPERATION_BUZZER6) == kBuzzerChoices);
static_assert(Span(TextId::DOCUMENT_RC_PAPER_CUT1, TextId::DOCUMENT_RC_PAPER_CUT3) == kPaperCutChoices);
static_assert(Span(TextId::DOCUMENT_RC_PRINT_LOGO1, TextId::DOCUMENT_RC_PRINT_LOGO10) == kLogoChoices);

constexpr std::array<ListEntries, 5> kLists = {{
    {IDC_EVENT_DRAWER_COMBO, TextId::DOCUMENT_RC_OPENDRAWER1, kCashDrawerChoices},
    {IDC_EVENT_MESSENGER_COMBO, TextId::DOCUMENT_RC_ORDERMESSENGER1, kOrderMessengerChoices},
    {IDC_EVENT_BUZZER_COMBO, TextId::DOCUMENT_RC_OPERATION_BUZZER1, kBuzzerChoices},
    {IDC_EVENT_CUT_COMBO, TextId::DOCUMENT_RC_PAPER_CUT1, kPaperCutChoices},
    {IDC_EVENT_LOGO_COMBO, TextId::DOCUMENT_RC_PRINT_LOGO1, kLogoChoices},
}};

constexpr std::array<int, 5> kLogoPlacementButtons = {
    IDC_EVENT_ALIGN_LEFT_RADIO, IDC_EVENT_ALIGN_CENTER_RADIO, IDC_EVENT_ALIGN_RIGHT_RADIO,
    IDC_EVENT_BEFORE_CUT_RADIO, IDC_EVENT_AFTER_CUT_RADIO,
};

// The up-down arrows write their number into the edit, which reports EN_CHANGE, which moves
// the arrows again: the dialog's flag ends that round at the first step.
constexpr wchar_t kMovingArrowsFlag[] = L"M450.MovingArrows";

// One open dialog: the working copy it edits, WM_INITDIALOG's lParam.
struct EventDialogState {
    OperationsWorkingCopy* copy = nullptr;
};

// kNoSelection clears the list's selection.
void Select(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int SelectionOf(HWND dialog, int id) {
    const LRESULT selected = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return selected == CB_ERR ? kNoSelection : static_cast<int>(selected);
}

void MoveArrows(HWND dialog, int arrowsId, int32_t position) {
    if (WindowFlag(dialog, kMovingArrowsFlag))
        return;
    const WindowFlagScope moving(dialog, kMovingArrowsFlag);
    SendDlgItemMessageW(dialog, arrowsId, UDM_SETPOS32, 0, position);
}

std::u16string ReadText(HWND dialog, int id) {
    const HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

void ShowTexts(HWND dialog, DocumentEvent event) {
    SetWindowTextW(dialog, WText(EventDialogCaption(event)));
    ShowControlTexts(dialog, kTexts);
}

void FillLists(HWND dialog) {
    for (const ListEntries& list : kLists) {
        SendDlgItemMessageW(dialog, list.controlId, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < list.count; ++i) {
            const auto text = static_cast<TextId>(static_cast<int>(list.first) + i);
            SendDlgItemMessageW(dialog, list.controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WText(text)));
        }
    }
}

void SetUpNumberField(HWND dialog, int editId, int arrowsId, uint32_t maximum) {
    SendDlgItemMessageW(dialog, editId, EM_LIMITTEXT, kNumberFieldLength, 0);
    SendDlgItemMessageW(dialog, arrowsId, UDM_SETRANGE32, 0, static_cast<LPARAM>(maximum));
}

void ApplyEnables(HWND dialog, const EventDialogEnables& enables) {
    EnableControl(dialog, IDC_EVENT_COMMAND_EDIT, enables.commandEdit);
    EnableControl(dialog, IDC_EVENT_DRAWER_COMBO, enables.drawerList);
    EnableControl(dialog, IDC_EVENT_MESSENGER_COMBO, enables.messengerList);
    for (const int id : kLogoPlacementButtons)
        EnableControl(dialog, id, enables.logoPlacement);
    EnableControl(dialog, IDC_EVENT_VOLUME_EDIT, enables.buzzerVolume);
    EnableControl(dialog, IDC_EVENT_VOLUME_SPIN, enables.buzzerVolume);
}

void ShowValues(HWND dialog, const EventDialogValues& values) {
    CheckControl(dialog, IDC_EVENT_SEND_COMMAND_CHECK, values.sendCommand);
    SetDlgItemTextW(dialog, IDC_EVENT_COMMAND_EDIT, WStr(values.commandText));
    CheckControl(dialog, IDC_EVENT_FEED_TO_CUT_CHECK, values.feedToCutPosition);
    Select(dialog, IDC_EVENT_DRAWER_COMBO, values.cashDrawer);
    Select(dialog, IDC_EVENT_MESSENGER_COMBO, values.orderMessenger);
    Select(dialog, IDC_EVENT_CUT_COMBO, values.paperCut);
    MoveArrows(dialog, IDC_EVENT_FEED_SPIN, values.feedDistance);
    Select(dialog, IDC_EVENT_BUZZER_COMBO, values.buzzer);
    MoveArrows(dialog, IDC_EVENT_VOLUME_SPIN, values.buzzerVolume);
    Select(dialog, IDC_EVENT_LOGO_COMBO, values.logo);
    CheckControl(dialog, IDC_EVENT_DRAWER_RADIO, values.drawerChosen);
    CheckControl(dialog, IDC_EVENT_MESSENGER_RADIO, !values.drawerChosen);
    CheckControl(dialog, IDC_EVENT_ALIGN_LEFT_RADIO, values.logoAlign == 0);
    CheckControl(dialog, IDC_EVENT_ALIGN_CENTER_RADIO, values.logoAlign == 1);
    CheckControl(dialog, IDC_EVENT_ALIGN_RIGHT_RADIO, values.logoAlign == 2);
    CheckControl(dialog, IDC_EVENT_BEFORE_CUT_RADIO, values.logoBeforeCut);
    CheckControl(dialog, IDC_EVENT_AFTER_CUT_RADIO, !values.logoBeforeCut);
    ApplyEnables(dialog, EventDialogEnablesOf(values));
}

EventDialogValues ReadValues(HWND dialog) {
    EventDialogValues values;
    values.sendCommand = IsControlChecked(dialog, IDC_EVENT_SEND_COMMAND_CHECK);
    values.commandText = ReadText(dialog, IDC_EVENT_COMMAND_EDIT);
    values.drawerChosen = IsControlChecked(dialog, IDC_EVENT_DRAWER_RADIO);
    values.cashDrawer = SelectionOf(dialog, IDC_EVENT_DRAWER_COMBO);
    values.orderMessenger = SelectionOf(dialog, IDC_EVENT_MESSENGER_COMBO);
    values.buzzer = SelectionOf(dialog, IDC_EVENT_BUZZER_COMBO);
    values.buzzerVolume = ControlNumber(dialog, IDC_EVENT_VOLUME_EDIT);
    values.feedDistance = ControlNumber(dialog, IDC_EVENT_FEED_EDIT);
    values.feedToCutPosition = IsControlChecked(dialog, IDC_EVENT_FEED_TO_CUT_CHECK);
    values.paperCut = SelectionOf(dialog, IDC_EVENT_CUT_COMBO);
    values.logo = SelectionOf(dialog, IDC_EVENT_LOGO_COMBO);
    values.logoAlign = IsControlChecked(dialog, IDC_EVENT_ALIGN_LEFT_RADIO)     ? 0
                       : IsControlChecked(dialog, IDC_EVENT_ALIGN_CENTER_RADIO) ? 1
                                                                                : 2;
    values.logoBeforeCut = IsControlChecked(dialog, IDC_EVENT_BEFORE_CUT_RADIO);
    return values;
}

// Stretches the bitmap over the frame's whole client area.
void DrawPreview(HWND frame, int bitmapId) {
    const HBITMAP bitmap = LoadBitmapW(g_moduleInstance, MAKEINTRESOURCEW(bitmapId));
    if (bitmap == nullptr)
        return;
    BITMAP size{};
    RECT client{};
    const HDC frameDc = GetDC(frame);
    const HDC memory = frameDc != nullptr ? CreateCompatibleDC(frameDc) : nullptr;
    if (memory != nullptr && GetObjectW(bitmap, sizeof(size), &size) != 0 && GetClientRect(frame, &client)) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        SetStretchBltMode(frameDc, COLORONCOLOR);
        StretchBlt(frameDc, 0, 0, client.right, client.bottom, memory, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(memory, previous);
    }
    if (memory != nullptr)
        DeleteDC(memory);
    if (frameDc != nullptr)
        ReleaseDC(frame, frameDc);
    DeleteObject(bitmap);
}

// The picture for the event and the feed-to-cut and cut choices shown now; the frame keeps
// its number.
void ShowPreview(HWND dialog, const OperationsWorkingCopy& copy) {
    const HWND frame = GetDlgItem(dialog, IDC_EVENT_PREVIEW);
    if (frame == nullptr)
        return;
    const int bitmapId = PreviewBitmapId(copy.event, IsControlChecked(dialog, IDC_EVENT_FEED_TO_CUT_CHECK),
                                         SelectionOf(dialog, IDC_EVENT_CUT_COMBO));
    SetPropW(frame, kPreviewBitmapProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(bitmapId)));
    DrawPreview(frame, bitmapId);
}

// A dialog without a working copy ends at once (-1).
INT_PTR Start(HWND dialog, EventDialogState& state, LPARAM lParam) {
    auto* copy = reinterpret_cast<OperationsWorkingCopy*>(lParam);
    if (copy == nullptr) {
        EndDialog(dialog, -1);
        return FALSE;
    }
    state.copy = copy;
    ReloadTexts(kDocumentSection);
    AttachHexInputFilter(GetDlgItem(dialog, IDC_EVENT_COMMAND_EDIT));
    ShowTexts(dialog, copy->event);
    FillLists(dialog);
    SetUpNumberField(dialog, IDC_EVENT_FEED_EDIT, IDC_EVENT_FEED_SPIN, kMaxFeedDistance);
    SetUpNumberField(dialog, IDC_EVENT_VOLUME_EDIT, IDC_EVENT_VOLUME_SPIN, kMaxBuzzerVolume);
    ShowValues(dialog, DialogValuesOf(copy->operations));
    AttachHoverHelp(dialog, IDD_EVENT_DIALOG);
    return TRUE;
}

void Confirm(HWND dialog, OperationsWorkingCopy& copy) {
    EventOperations confirmed = copy.operations;
    if (CommitEventDialog(ReadValues(dialog), confirmed) == EventDialogCommit::kCommandTooLong) {
        ShowMessage(dialog, TextId::MSG_MB_OPERATION_ERROR1, TextId::MSG_MB_ERROR, 0);
        return;
    }
    copy.operations = confirmed;
    EndDialog(dialog, IDOK);
}

void OnCommand(HWND dialog, OperationsWorkingCopy& copy, int id, int code) {
    if ((id == IDC_EVENT_FEED_TO_CUT_CHECK && code == BN_CLICKED) ||
        (id == IDC_EVENT_CUT_COMBO && code == CBN_SELCHANGE))
        ShowPreview(dialog, copy);
    switch (id) {
        case IDC_EVENT_DRAWER_RADIO:
        case IDC_EVENT_MESSENGER_RADIO:
            CheckControl(dialog, IDC_EVENT_DRAWER_RADIO, id == IDC_EVENT_DRAWER_RADIO);
            CheckControl(dialog, IDC_EVENT_MESSENGER_RADIO, id == IDC_EVENT_MESSENGER_RADIO);
            ApplyEnables(dialog, EventDialogEnablesOf(ReadValues(dialog)));
            break;
        case IDC_EVENT_SEND_COMMAND_CHECK:
        case IDC_EVENT_LOGO_COMBO:
            ApplyEnables(dialog, EventDialogEnablesOf(ReadValues(dialog)));
            break;
        case IDC_EVENT_BUZZER_COMBO:
            if (code == CBN_SELCHANGE)
                ApplyEnables(dialog, EventDialogEnablesOf(ReadValues(dialog)));
            break;
        case IDC_EVENT_FEED_EDIT:
            if (code == EN_CHANGE)
                MoveArrows(dialog, IDC_EVENT_FEED_SPIN, ClampFeedDistance(ControlNumber(dialog, IDC_EVENT_FEED_EDIT)));
            break;
        case IDC_EVENT_VOLUME_EDIT:
            if (code == EN_CHANGE)
                MoveArrows(dialog, IDC_EVENT_VOLUME_SPIN,
                           ClampBuzzerVolume(ControlNumber(dialog, IDC_EVENT_VOLUME_EDIT)));
            break;
        case IDC_EVENT_DEFAULT_BUTTON:
            ShowValues(dialog, DialogValuesOf(DefaultEventOperations(copy.event)));
            ShowPreview(dialog, copy);
            break;
        case IDOK:
            Confirm(dialog, copy);
            break;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            break;
        default:
            break;
    }
}

INT_PTR Command(HWND dialog, EventDialogState& state, WORD id, WORD code) {
    if (state.copy == nullptr)
        return FALSE;
    OnCommand(dialog, *state.copy, id, code);
    return TRUE;
}

INT_PTR Repaint(HWND dialog, EventDialogState& state) {
    if (state.copy == nullptr)
        return FALSE;
    PAINTSTRUCT paint{};
    BeginPaint(dialog, &paint);
    EndPaint(dialog, &paint);
    ShowPreview(dialog, *state.copy);
    return TRUE;
}

void Finish(HWND dialog, EventDialogState&) {
    RemovePropW(GetDlgItem(dialog, IDC_EVENT_PREVIEW), kPreviewBitmapProperty);
}

constexpr PageParts<EventDialogState> kParts = {
    .host = PageHost::ModalDialog,
    .start = Start,
    .command = Command,
    .paint = Repaint,
    .finish = Finish,
};

}  // namespace

INT_PTR CALLBACK EventDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, dialog, message, wParam, lParam);
}

INT_PTR EditEventOperations(HWND owner, OperationsWorkingCopy& copy) {
    const ActivationScope scope;
    return DialogBoxParamW(g_moduleInstance, MAKEINTRESOURCEW(IDD_EVENT_DIALOG), owner, &EventDialogProc,
                           reinterpret_cast<LPARAM>(&copy));
}

}  // namespace m450
