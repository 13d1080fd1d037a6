#include "document/layout_page.h"
#include "document/graphics_reset_win.h"

#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "core/module_win.h"
#include "core/density_relabel_win.h"
#include "core/hover_help_win.h"
#include "core/language_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
#include "document/layout_rules.h"
#include "document/record_text.h"
#include "layout_page_ids.h"

namespace m450 {
namespace {

// One copy of the page, owned by its window: the language list read when it opened, and whether
// it is filling its controls (their change notifications are then not the user's).
struct LayoutPageState {
    std::vector<LanguageEntry> languages;
    bool filling = false;
    // The list index of the paper the user chose on this page since it last showed the host's
    // choice (-1: none). A choice reaches the host at once; Apply hands it over again only while
    // the host still holds it, so a paper chosen on the host's page since, or one the list does
    // not hold, is never undone.
    LRESULT chosenPaper = -1;
};

constexpr std::array<ControlText, 16> kTexts = {{
    {IDC_LAYOUT_LOG_GROUP, TextId::LAYOUT_RC_STATIC_LOG},
    {IDC_LAYOUT_LOG_CHECK, TextId::LAYOUT_RC_CHECK_LOG},
    {IDC_LAYOUT_LOG_BROWSE_BUTTON, TextId::LAYOUT_RC_BUTTON_LOG},
    {IDC_LAYOUT_LOG_VIEWER_BUTTON, TextId::LAYOUT_RC_BUTTON_VIEWER},
    {IDC_LAYOUT_SAVE_LOG_LABEL, TextId::LAYOUT_RC_SAVEFILE},
    {IDC_LAYOUT_DOCUMENT_GROUP, TextId::LAYOUT_RC_DOCSETTING},
    {IDC_LAYOUT_AS_IMAGE_LABEL, TextId::LAYOUT_RC_PRINT_AS_IMAGE},
    {IDC_LAYOUT_AS_IMAGE_YES_RADIO, TextId::LAYOUT_RC_RADIO_ASGRAPHICSYES},
    {IDC_LAYOUT_AS_IMAGE_NO_RADIO, TextId::LAYOUT_RC_RADIO_ASGRAPHICSNO},
    {IDC_LAYOUT_ZOOM_CHECK, TextId::LAYOUT_RC_CHECK_ZOOM},
    {IDC_LAYOUT_SCALE_LABEL, TextId::LAYOUT_RC_SCALE},
    {IDC_LAYOUT_ROTATE_GROUP, TextId::LAYOUT_RC_ROTATE},
    {IDC_LAYOUT_ROTATE_NORMAL_RADIO, TextId::LAYOUT_RC_RADIO_ROTATENOMAL},
    {IDC_LAYOUT_ROTATE_180_RADIO, TextId::LAYOUT_RC_RADIO_ROTATE180},
    {IDC_LAYOUT_PAPER_SIZE_LABEL, TextId::LAYOUT_RC_PAPERSIZE},
    {IDC_LAYOUT_LANGUAGE_LABEL, TextId::LAYOUT_RC_LANGUAGE},
}};

std::u16string_view View(const wchar_t* text) {
    return text != nullptr ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view();
}

std::u16string SelectedEntry(HWND page, int id) {
    const LRESULT index = SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return {};
    const LRESULT length = SendDlgItemMessageW(page, id, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR)
        return {};
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const LRESULT got =
        SendDlgItemMessageW(page, id, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// The host's option items that are the form name (the public DEVMODE item).
template <typename Visit>
void ForEachFormItem(const DocumentPageContext* context, Visit visit) {
    const OEMCUIPPARAM* block = context != nullptr ? context->pOEMCUIPParam : nullptr;
    if (block == nullptr || block->pDrvOptItems == nullptr)
        return;
    for (DWORD i = 0; i < block->cDrvOptItems; ++i) {
        OPTITEM& item = block->pDrvOptItems[i];
        if (item.DMPubID == DMPUB_FORMNAME && item.pOptType != nullptr)
            visit(item);
    }
}

const wchar_t* OptionText(const OPTITEM& item, LONG index) {
    const OPTTYPE* type = item.pOptType;
    if (type == nullptr || type->pOptParam == nullptr || index < 0 || index >= type->Count)
        return nullptr;
    const void* data = type->pOptParam[index].pData;
    return data == nullptr || IS_INTRESOURCE(data) ? nullptr : static_cast<const wchar_t*>(data);
}

// Selects the entry whose text is `name` exactly ("A4" is not "A4 Small"); false when the list
// has none.
bool SelectPaperNamed(HWND page, const wchar_t* name) {
    const LRESULT index = SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_FINDSTRINGEXACT,
                                              static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
    if (index == CB_ERR)
        return false;
    SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    return true;
}

void ShowHostPaperSize(HWND page, const DocumentPageContext* context) {
    ForEachFormItem(context, [&](const OPTITEM& item) {
        if (const wchar_t* text = OptionText(item, item.Sel))
            SelectPaperNamed(page, text);
    });
}

void FillPaperSizes(HWND page, const DocumentPageContext* context, const PlugInDevMode& dm) {
    ForEachFormItem(context, [&](const OPTITEM& item) {
        for (LONG j = 0; j < item.pOptType->Count; ++j) {
            const wchar_t* text = OptionText(item, j);
            SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text != nullptr ? text : L""));
        }
    });
    const std::u16string stored = RecordText(dm, &PlugInDevMode::paperSizeName);
    // The record keeps at most 31 characters of a name: a longer one is found by its beginning.
    if (stored.empty())
        ShowHostPaperSize(page, context);
    else if (!SelectPaperNamed(page, WStr(stored)))
        SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(WStr(stored)));
}

// The list's choice goes to every form-name item of the host, reported as the user's change,
// and into the record.
void PushPaperSize(HWND page, const DocumentPageContext* context, PlugInDevMode& dm) {
    const LRESULT index = SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)  // nothing chosen (no form-name item): the host's choice stays
        return;
    ForEachFormItem(context, [&](OPTITEM& item) {
        item.Sel = static_cast<LONG>(index);
        item.Flags |= OPTIF_CHANGED;
    });
    ForEachFormItem(context, [&](OPTITEM& item) {
        if (context->pDriverUI != nullptr)
            context->pDriverUI->DrvUpdateUISetting(context->pOEMCUIPParam->poemuiobj, &item, 0, OEMCUIP_DOCPROP);
    });
    StoreRecordText(dm, &PlugInDevMode::paperSizeName, SelectedEntry(page, IDC_LAYOUT_PAPER_SIZE_COMBO));
}

void FillLanguages(HWND page, LayoutPageState& state) {
    state.languages = LoadLanguageList();
    const std::vector<std::u16string> entries = LanguageListEntries(state.languages, Texts().SystemEntryText());
    for (const std::u16string& entry : entries)
        SendDlgItemMessageW(page, IDC_LAYOUT_LANGUAGE_COMBO, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WStr(entry)));
    if (const std::optional<size_t> selected = SelectInitialLanguage(state.languages, entries))
        SendDlgItemMessageW(page, IDC_LAYOUT_LANGUAGE_COMBO, CB_SETCURSEL, *selected, 0);
}

void ShowGraphicsButtons(HWND page, const GraphicsButtons& buttons) {
    if (buttons.yes) {
        CheckControl(page, IDC_LAYOUT_AS_IMAGE_YES_RADIO, *buttons.yes);
        CheckControl(page, IDC_LAYOUT_AS_IMAGE_NO_RADIO, !*buttons.yes);
    }
    EnableControl(page, IDC_LAYOUT_AS_IMAGE_YES_RADIO, buttons.enabled);
    EnableControl(page, IDC_LAYOUT_AS_IMAGE_NO_RADIO, buttons.enabled);
}

void ShowSwitch(HWND page, const LayoutSwitch& change) {
    if (change.showGraphicsMessage)
        ShowMessage(page, TextId::MSG_MB_LAYOUT_INFORMATION1, TextId::MSG_MB_INFORMATION, MB_ICONINFORMATION);
    ShowGraphicsButtons(page, change.buttons);
}

void ShowScaleEnabled(HWND page, bool enabled) {
    for (const int id : {IDC_LAYOUT_SCALE_EDIT, IDC_LAYOUT_SCALE_SPIN, IDC_LAYOUT_SCALE_LABEL})
        EnableControl(page, id, enabled);
}

constexpr std::array<int, 6> kLogControls = {IDC_LAYOUT_LOG_FOLDER_EDIT,   IDC_LAYOUT_LOG_BROWSE_BUTTON,
                                             IDC_LAYOUT_LOG_VIEWER_BUTTON, IDC_LAYOUT_LOG_PRN_CHECK,
                                             IDC_LAYOUT_LOG_BMP_CHECK,     IDC_LAYOUT_LOG_JPEG_CHECK};

void ShowDriverLog(HWND page, const PlugInDevMode& dm) {
    const DriverLogControls log = DriverLogControlsFor(dm);
    CheckControl(page, IDC_LAYOUT_LOG_CHECK, log.record);
    for (const int id : kLogControls)
        EnableControl(page, id, log.enabled);
    CheckControl(page, IDC_LAYOUT_LOG_PRN_CHECK, log.prn);
    CheckControl(page, IDC_LAYOUT_LOG_BMP_CHECK, log.bmp);
    CheckControl(page, IDC_LAYOUT_LOG_JPEG_CHECK, log.jpeg);
}

INT_PTR Start(HWND page, LayoutPageState& state, LPARAM) {
    const DocumentPageContext* context = DocumentContextOf(page);
    PlugInDevMode* dm = RecordOf(context);
    try {
        FillLanguages(page, state);
    } catch (const std::exception&) {
        state.languages.clear();  // no list to choose from; the page works otherwise
    }
    if (dm == nullptr)
        return TRUE;
    state.filling = true;
    FillPaperSizes(page, context, *dm);
    CheckControl(page, IDC_LAYOUT_ROTATE_NORMAL_RADIO, dm->rotate180 == 0);
    CheckControl(page, IDC_LAYOUT_ROTATE_180_RADIO, dm->rotate180 == 1);
    SendDlgItemMessageW(page, IDC_LAYOUT_SCALE_EDIT, EM_LIMITTEXT, kZoomFieldChars, 0);
    SendDlgItemMessageW(page, IDC_LAYOUT_SCALE_SPIN, UDM_SETRANGE32, kZoomArrowsMin, kZoomArrowsMax);
    SendDlgItemMessageW(page, IDC_LAYOUT_SCALE_SPIN, UDM_SETPOS32, 0, dm->zoomPercent);
    SetDlgItemInt(page, IDC_LAYOUT_SCALE_EDIT, dm->zoomPercent, FALSE);
    SetDlgItemTextW(page, IDC_LAYOUT_LOG_FOLDER_EDIT, WStr(RecordText(*dm, &PlugInDevMode::logDirectory)));
    ShowDriverLog(page, *dm);
    CheckControl(page, IDC_LAYOUT_ZOOM_CHECK, dm->zoomPrinting != 0);
    EnableControl(page, IDC_LAYOUT_SCALE_EDIT, dm->zoomPrinting != 0);
    EnableControl(page, IDC_LAYOUT_SCALE_SPIN, dm->zoomPrinting != 0);
    ShowGraphicsButtons(page, GraphicsButtonsOnOpen(*dm));
    state.filling = false;
    AttachHoverHelp(page, IDD_LAYOUT_PAGE);
    return TRUE;
}

// The page's language refresh beside its own texts: the shared messages and the host's print
// density.
INT_PTR Repaint(HWND page, LayoutPageState&) {
    DocumentPageContext* context = DocumentContextOf(page);
    if (RecordOf(context) == nullptr)
        return FALSE;
    ReloadTexts(kGpdSection);
    LoadMessages(MessageSet::All);
    RelabelPrintDensity(*context);
    return FALSE;
}

void BrowseLogFolder(HWND page, PlugInDevMode& dm) {
    const ActivationScope scope;
    BROWSEINFOW info{};
    info.hwndOwner = page;
    info.lpszTitle = L"";
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderW(&info);
    if (folder == nullptr)
        return;
    std::array<wchar_t, MAX_PATH> path{};
    if (SHGetPathFromIDListW(folder, path.data())) {
        SetDlgItemTextW(page, IDC_LAYOUT_LOG_FOLDER_EDIT, path.data());
        StoreRecordText(dm, &PlugInDevMode::logDirectory, View(path.data()));
    }
    CoTaskMemFree(folder);
}

void StartLogViewer(HWND page, const PlugInDevMode& dm) {
    std::array<wchar_t, MAX_PATH> system{};
    GetSystemDirectoryW(system.data(), static_cast<UINT>(system.size()));
    const std::u16string program = LogViewerProgram(View(system.data()));
    const std::u16string parameters = LogViewerParameters(dm);
    SetLastError(ERROR_SUCCESS);
    const HINSTANCE started = ShellExecuteW(nullptr, L"open", WStr(program), WStr(parameters), nullptr, SW_SHOW);
    const uint32_t error = LogViewerStartError(reinterpret_cast<intptr_t>(started), GetLastError());
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExW(&version);
    if (ReportMissingLogViewer(error, version.dwMajorVersion, version.dwMinorVersion))
        ShowMessage(page, TextId::MSG_MB_LAYOUT_VIEWER, TextId::MSG_MB_ERROR, MB_OK);
}

void OnScaleTyped(HWND page, PlugInDevMode& dm) {
    const ClampedNumber scale = ClampZoomPercent(ControlNumber(page, IDC_LAYOUT_SCALE_EDIT));
    dm.zoomPercent = static_cast<uint8_t>(scale.value);
    if (scale.corrected)
        SendDlgItemMessageW(page, IDC_LAYOUT_SCALE_SPIN, UDM_SETPOS32, 0, scale.value);
    MarkChanged(page);
}

void OnRecordLog(HWND page, PlugInDevMode& dm) {
    MarkChanged(page);
    SetRecordDriverLog(dm, IsControlChecked(page, IDC_LAYOUT_LOG_CHECK));
    ShowDriverLog(page, dm);
}

void OnLogFileKind(HWND page, PlugInDevMode& dm, int id, LogFileKind kind) {
    MarkChanged(page);
    SetLogFileKind(dm, kind, IsControlChecked(page, id));
}

void OnZoom(HWND page, PlugInDevMode& dm) {
    MarkChanged(page);
    const bool on = IsControlChecked(page, IDC_LAYOUT_ZOOM_CHECK);
    ShowScaleEnabled(page, on);
    ShowSwitch(page, SetZoomPrinting(dm, on));
}

// A list chosen from or a field typed in; false for any other control.
bool OnFieldChange(HWND page,
                   LayoutPageState& state,
                   const DocumentPageContext* context,
                   PlugInDevMode& dm,
                   int id,
                   int code) {
    switch (id) {
        case IDC_LAYOUT_PAPER_SIZE_COMBO:
            if (code == CBN_SELCHANGE) {
                state.chosenPaper = SendDlgItemMessageW(page, IDC_LAYOUT_PAPER_SIZE_COMBO, CB_GETCURSEL, 0, 0);
                PushPaperSize(page, context, dm);
                MarkChanged(page);
            }
            return true;
        case IDC_LAYOUT_LANGUAGE_COMBO:
            if (code == CBN_SELCHANGE)
                MarkChanged(page);
            return true;
        case IDC_LAYOUT_SCALE_EDIT:
            if (code == EN_CHANGE)
                OnScaleTyped(page, dm);
            return true;
        default:
            return false;
    }
}

void OnClick(HWND page, PlugInDevMode& dm, int id) {
    switch (id) {
        case IDC_LAYOUT_AS_IMAGE_YES_RADIO:
        case IDC_LAYOUT_AS_IMAGE_NO_RADIO:
            dm.printTextAsImage = id == IDC_LAYOUT_AS_IMAGE_YES_RADIO ? 1 : 0;
            MarkChanged(page);
            return;
        case IDC_LAYOUT_ROTATE_NORMAL_RADIO:
        case IDC_LAYOUT_ROTATE_180_RADIO:
            ShowSwitch(page, SetRotate180(dm, id == IDC_LAYOUT_ROTATE_180_RADIO));
            MarkChanged(page);
            return;
        case IDC_LAYOUT_ZOOM_CHECK:
            OnZoom(page, dm);
            return;
        case IDC_LAYOUT_LOG_CHECK:
            OnRecordLog(page, dm);
            return;
        case IDC_LAYOUT_LOG_PRN_CHECK:
            OnLogFileKind(page, dm, id, LogFileKind::Prn);
            return;
        case IDC_LAYOUT_LOG_BMP_CHECK:
            OnLogFileKind(page, dm, id, LogFileKind::Bmp);
            return;
        case IDC_LAYOUT_LOG_JPEG_CHECK:
            OnLogFileKind(page, dm, id, LogFileKind::Jpeg);
            return;
        case IDC_LAYOUT_LOG_BROWSE_BUTTON:
            MarkChanged(page);
            BrowseLogFolder(page, dm);
            return;
        case IDC_LAYOUT_LOG_VIEWER_BUTTON:
            StartLogViewer(page, dm);
            return;
        default:
            return;
    }
}

void OnActivate(HWND page, LayoutPageState& state, const DocumentPageContext* context, const PlugInDevMode& dm) {
    bool graphicsResetPending = GraphicsResetPending(page);
    ShowGraphicsButtons(page, GraphicsButtonsOnActivate(dm, graphicsResetPending));
    SetGraphicsResetPending(page, graphicsResetPending);
    ShowHostPaperSize(page, context);
    state.chosenPaper = -1;
}

void Apply(HWND page, LayoutPageState& state, const DocumentPageContext* context, PlugInDevMode& dm) {
    if (IsControlChecked(page, IDC_LAYOUT_ROTATE_NORMAL_RADIO))
        dm.rotate180 = 0;
    else if (IsControlChecked(page, IDC_LAYOUT_ROTATE_180_RADIO))
        dm.rotate180 = 1;
    bool hostHoldsChoice = state.chosenPaper >= 0;
    ForEachFormItem(context,
                    [&](const OPTITEM& item) { hostHoldsChoice = hostHoldsChoice && item.Sel == state.chosenPaper; });
    if (hostHoldsChoice) {
        PushPaperSize(page, context, dm);
    } else {
        // The host's choice stands; the record names it.
        ForEachFormItem(context, [&](const OPTITEM& item) {
            if (const wchar_t* text = OptionText(item, item.Sel))
                StoreRecordText(dm, &PlugInDevMode::paperSizeName, reinterpret_cast<const char16_t*>(text));
        });
    }
    ReportApplied(context);
    MarkUnchanged(page);
    ApplyLanguage(state.languages, SelectedEntry(page, IDC_LAYOUT_LANGUAGE_COMBO));
    ShowLanguageInOpenSheets(page, PrinterNameOf(context));
}

// Without a record the page answers nothing.
std::optional<INT_PTR> OnNotify(HWND page, LayoutPageState& state, const NMHDR& header) {
    const DocumentPageContext* context = DocumentContextOf(page);
    PlugInDevMode* dm = RecordOf(context);
    if (dm == nullptr)
        return FALSE;
    switch (header.code) {
        case PSN_SETACTIVE:
            OnActivate(page, state, context, *dm);
            return std::nullopt;
        case PSN_APPLY:
            Apply(page, state, context, *dm);
            return AnswerNotification(page, PSNRET_NOERROR);
        default:
            return std::nullopt;
    }
}

// The page's own writes to its lists bring no command.
INT_PTR Command(HWND page, LayoutPageState& state, WORD id, WORD code) {
    const DocumentPageContext* context = DocumentContextOf(page);
    PlugInDevMode* dm = RecordOf(context);
    if (dm == nullptr || state.filling)
        return FALSE;
    if (!OnFieldChange(page, state, context, *dm, id, code) && code == BN_CLICKED)
        OnClick(page, *dm, id);
    return FALSE;
}

// The sheet goes with its pages.
void Finish(HWND page, LayoutPageState&) {
    SetGraphicsResetPending(page, false);
}

constexpr PageParts<LayoutPageState> kParts = {
    .host = PageHost::DocumentSheet,
    .section = kLayoutSection,
    .texts = kTexts,
    .start = Start,
    .command = Command,
    .notify = OnNotify,
    .paint = Repaint,
    .finish = Finish,
};

}  // namespace

INT_PTR CALLBACK LayoutPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
