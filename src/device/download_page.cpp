#include "device/download_page.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/module_win.h"
#include "core/hover_help_win.h"
#include "core/language_win.h"
#include "core/page_controls_win.h"
#include "core/page_procedure_win.h"
#include "core/page_state_win.h"
#include "core/page_win.h"
#include "device/download_rules.h"
#include "device/logo_files_win.h"
#include "device/logo_jobs.h"
#include "device/logo_working_copies.h"
#include "core/raw_channel_win.h"
#include "download_page_ids.h"

namespace m450 {
namespace {

// The type last chosen on any Download page of the process, the one value that outlives a page
// (a page that opens again starts with it): a plain value, copied into the page's own state at
// start-up, so that two open pages never change each other's type. Atomic, because the sheets
// of two printers may run on two threads of one host.
std::atomic<LogoType> g_lastChosenLogoType{LogoType::Original};

// Set while the page itself changes its list: the list's notifications then bring no repaint.
constexpr wchar_t kListChangingFlag[] = L"M450.ListChanging";

// One copy of the page, owned by its window: the type every logo of its list gets, the
// settings of each logo, and the working copies the page wrote.
struct DownloadPageState {
    LogoType type = LogoType::Original;
    LogoSettingsTable settings{};
    Win32LogoFiles files;
    LogoWorkingCopies copies{files};
};

DownloadPageState& StateOf(HWND page) {
    return *PageStateOf<DownloadPageState>(page);  // the procedure runs nothing without it
}

// The open-file dialog's path and file-name buffers, in characters.
constexpr DWORD kDialogPathCapacity = 1024;
// The file download goes in one write, whose length is 32 bits.
constexpr uint64_t kMaxDownloadFileBytes = 0xFFFFFFFFu;

constexpr ControlText kTexts[] = {
    {IDC_DOWNLOAD_FILE_GROUP, TextId::DOWNLOAD_RC_STATIC_FWDOWNLOAD},
    {IDC_DOWNLOAD_FILE_INFO, TextId::DOWNLOAD_RC_STATIC_DOWN_INFO},
    {IDC_DOWNLOAD_BROWSE_BUTTON, TextId::DOWNLOAD_RC_BROWSE_FIREWARE},
    {IDC_DOWNLOAD_FILE_BUTTON, TextId::DOWNLOAD_RC_DOWNLOAD_FIREWARE},
    {IDC_DOWNLOAD_LOGO_GROUP, TextId::DOWNLOAD_RC_STATIC_LOGODOWNLOAD},
    {IDC_DOWNLOAD_TYPE_GROUP, TextId::DOWNLOAD_RC_STATIC_PREVIEW},
    {IDC_DOWNLOAD_HALFTONE_GROUP, TextId::DOWNLOAD_RC_STATIC_HALFTONE},
    {IDC_DOWNLOAD_ADJUST_GROUP, TextId::DOWNLOAD_RC_STATIC_CONANDBRIGHT},
    {IDC_DOWNLOAD_ORIGINAL_RADIO, TextId::DOWNLOAD_RC_ORIGINAL},
    {IDC_DOWNLOAD_MONO_RADIO, TextId::DOWNLOAD_RC_MONO},
    {IDC_DOWNLOAD_GRAY_RADIO, TextId::DOWNLOAD_RC_GRAY},
    {IDC_DOWNLOAD_HALFTONE_NONE_RADIO, TextId::DOWNLOAD_RC_NONE},
    {IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO, TextId::DOWNLOAD_RC_DITHERM3},
    {IDC_DOWNLOAD_HALFTONE_DITHER_M4_RADIO, TextId::DOWNLOAD_RC_DITHERM4},
    {IDC_DOWNLOAD_HALFTONE_DIFFUSE_RADIO, TextId::DOWNLOAD_RC_DIFFUSE},
    {IDC_DOWNLOAD_CONTRAST_LABEL, TextId::DOWNLOAD_RC_STATIC_CONTRA},
    {IDC_DOWNLOAD_BRIGHTNESS_LABEL, TextId::DOWNLOAD_RC_STATIC_BRIGHT},
    {IDC_DOWNLOAD_LOGO_ADD_BUTTON, TextId::DOWNLOAD_RC_LOGO_ADD},
    {IDC_DOWNLOAD_LOGO_DELETE_BUTTON, TextId::DOWNLOAD_RC_LOGO_DELETE},
    {IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON, TextId::DOWNLOAD_RC_LOGO_DOWNLOAD},
    {IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON, TextId::DOWNLOAD_RC_LOGO_CLEARALLLOGOS},
    {IDC_DOWNLOAD_LOGO_NOTICE, TextId::DOWNLOAD_RC_STATIC_DOWNOWNLOAD_NOTICE},
};

struct Column {
    TextId title;
    int width;
};
constexpr std::array<Column, 3> kColumns = {{
    {TextId::DOWNLOAD_RC_LOGOID, 40},
    {TextId::DOWNLOAD_RC_LOGONAME, 150},
    {TextId::DOWNLOAD_RC_LOGOPATH, 300},
}};
constexpr int kIdColumn = 0;
constexpr int kNameColumn = 1;
constexpr int kPathColumn = 2;

constexpr std::array<int, 3> kTypeRadios = {IDC_DOWNLOAD_ORIGINAL_RADIO, IDC_DOWNLOAD_MONO_RADIO,
                                            IDC_DOWNLOAD_GRAY_RADIO};  // in LogoType order
constexpr std::array<int, 4> kMethodRadios = {IDC_DOWNLOAD_HALFTONE_NONE_RADIO, IDC_DOWNLOAD_HALFTONE_DITHER_M3_RADIO,
                                              IDC_DOWNLOAD_HALFTONE_DITHER_M4_RADIO,
                                              IDC_DOWNLOAD_HALFTONE_DIFFUSE_RADIO};  // in HalftoneMethod order
constexpr std::array<int, 2> kSliders = {IDC_DOWNLOAD_CONTRAST_SLIDER, IDC_DOWNLOAD_BRIGHTNESS_SLIDER};

std::u16string U16(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

// ---- controls ------------------------------------------------------------------------------

HWND Item(HWND page, int id) {
    return GetDlgItem(page, id);
}
HWND List(HWND page) {
    return Item(page, IDC_DOWNLOAD_LOGO_LIST);
}

void CheckOnly(HWND page, std::span<const int> group, int checked) {
    for (const int id : group)
        CheckDlgButton(page, id, id == checked ? BST_CHECKED : BST_UNCHECKED);
}

LogoSettingsTable& SettingsOf(HWND page) {
    return StateOf(page).settings;
}

LogoType TypeOf(HWND page) {
    return StateOf(page).type;
}

int LogoCount(HWND page) {
    return static_cast<int>(SendMessageW(List(page), LVM_GETITEMCOUNT, 0, 0));
}

// The first selected row, or -1.
int Selection(HWND page) {
    return static_cast<int>(SendMessageW(List(page), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

std::wstring CellText(HWND page, int row, int column) {
    std::array<wchar_t, kDialogPathCapacity + 1> text{};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = static_cast<int>(text.size());
    SendMessageW(List(page), LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text.data();
}

void SetCellText(HWND page, int row, int column, const std::wstring& text) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(List(page), LVM_SETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

std::u16string LogoPath(HWND page, int row) {
    return U16(CellText(page, row, kPathColumn).c_str());
}

std::vector<std::u16string> LogoPaths(HWND page) {
    std::vector<std::u16string> paths;
    const int count = LogoCount(page);
    for (int row = 0; row < count; ++row)
        paths.push_back(LogoPath(page, row));
    return paths;
}

LogoWorkingCopies& CopiesOf(HWND page) {
    return StateOf(page).copies;
}

void ShowNumber(HWND page, int id, int value) {
    SetDlgItemTextW(page, id, std::to_wstring(value).c_str());
}

int SliderPosition(HWND page, int id) {
    return static_cast<int>(SendDlgItemMessageW(page, id, TBM_GETPOS, 0, 0));
}

void SetSliders(HWND page, int contrast, int brightness) {
    SendDlgItemMessageW(page, IDC_DOWNLOAD_CONTRAST_SLIDER, TBM_SETPOS, TRUE, contrast);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_BRIGHTNESS_SLIDER, TBM_SETPOS, TRUE, brightness);
    ShowNumber(page, IDC_DOWNLOAD_CONTRAST_VALUE, contrast);
    ShowNumber(page, IDC_DOWNLOAD_BRIGHTNESS_VALUE, brightness);
}

LogoControlsEnabled EnabledControls(HWND page, LogoCopyStep previewStep = LogoCopyStep::Stop) {
    return LogoControlsFor(TypeOf(page), LogoCount(page), Selection(page), previewStep);
}

void EnableTypeRadios(HWND page) {
    EnableControls(page, kTypeRadios, EnabledControls(page).typeRadios);
}

// The list's column titles in the current language (the other texts are the skeleton's).
void ShowColumnTitles(HWND page) {
    for (size_t i = 0; i < kColumns.size(); ++i) {
        std::array<wchar_t, 64> shown{};
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT;
        column.pszText = shown.data();
        column.cchTextMax = static_cast<int>(shown.size());
        SendMessageW(List(page), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
        if (std::wstring(shown.data()) == WText(kColumns[i].title))
            continue;
        column.pszText = const_cast<wchar_t*>(WText(kColumns[i].title));
        SendMessageW(List(page), LVM_SETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
}

// The page's messages: an error without an icon, or one that names a file on a line of its own.
void ShowError(HWND page, TextId text) {
    ShowMessage(page, text, TextId::MSG_MB_ERROR, 0);
}
void ShowNamingError(HWND page, TextId text, const std::u16string& path) {
    ShowMessageText(page, U16(WText(text)) + u"\n" + path, TextId::MSG_MB_ERROR, MB_ICONERROR);
}

// A logo's working copy made afresh; a name found taken is told of once per page and name.
CopyOutcome Told(HWND page, const std::u16string& source, CopyOutcome outcome) {
    if (outcome.tell)
        ShowNamingError(page, TextId::MSG_MB_DOWNLOAD_ERROR11, LogoWorkingCopies::CopyPathOf(source));
    return outcome;
}

void Repaint(HWND page) {
    SendMessageW(page, WM_PAINT, 0, 0);
}

RawPrinterChannel ChannelOf(HWND page) {
    const DevicePageContext* context = DeviceContextOf(page);
    const HANDLE printer =
        context != nullptr && context->pOEMCUIPParam != nullptr ? context->pOEMCUIPParam->hPrinter : nullptr;
    return RawPrinterChannel(WinspoolCalls(printer));
}

// What "Add" and "Browse" ask the open-file dialog for.
OpenFileRequest FileRequest(const wchar_t* filter) {
    return {filter, 1, kDialogPathCapacity, WText(TextId::DOWNLOAD_RC_BROWSEBOX)};
}

// ---- preview -------------------------------------------------------------------------------

void ClearPreview(HWND page) {
    const HWND frame = Item(page, IDC_DOWNLOAD_LOGO_PREVIEW);
    RECT client{};
    GetClientRect(frame, &client);
    const HDC dc = GetDC(frame);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    ReleaseDC(frame, dc);
}

// A picture as the bitmap reader gives it (a logo file or a working copy), in a DIB section:
// a fresh information header, the colour table the reader kept and the rows bottom row first.
// Null for bytes the reader refuses, which therefore never reach the system's image code.
HBITMAP BitmapOfPicture(std::span<const uint8_t> file) {
    const BitmapRead read = ReadBitmap(file, {24, 8, 1});
    if (read.problem != BitmapProblem::None)
        return nullptr;
    const BitmapView& view = read.view;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + view.colours.size());
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = static_cast<LONG>(view.width);
    header.biHeight = static_cast<LONG>(view.height);  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = view.bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = static_cast<DWORD>(view.ColourCount());
    std::memcpy(info.data(), &header, sizeof(header));
    std::copy(view.colours.begin(), view.colours.end(), info.begin() + sizeof(header));
    void* bits = nullptr;
    const HBITMAP bitmap =
        CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(info.data()), DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr)
        return bitmap;
    for (uint32_t row = 0; row < view.height; ++row)  // the DIB's stride is the file's
        std::memcpy(static_cast<uint8_t*>(bits) + row * view.stride, view.Row(row), view.stride);
    return bitmap;
}

// Stretches the bitmap over the whole frame (and releases it). A bitmap that did not load (a
// conversion refused the logo) clears the frame rather than leave another logo's picture in it.
void DrawBitmap(HWND page, HBITMAP bitmap) {
    if (bitmap == nullptr) {
        ClearPreview(page);
        return;
    }
    BITMAP shape{};
    GetObjectW(bitmap, sizeof(shape), &shape);
    const HWND frame = Item(page, IDC_DOWNLOAD_LOGO_PREVIEW);
    RECT client{};
    GetClientRect(frame, &client);
    const HDC dc = GetDC(frame);
    const HDC memory = CreateCompatibleDC(dc);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, shape.bmWidth, shape.bmHeight, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(frame, dc);
    DeleteObject(bitmap);
}

// The halftone radios and the sliders, as the selected logo's preview came to `step`.
void EnableAdjustments(HWND page, LogoCopyStep step) {
    const LogoControlsEnabled enabled = EnabledControls(page, step);
    EnableControls(page, kMethodRadios, enabled.methodRadios);
    EnableControls(page, kSliders, enabled.sliders);
}

// The selected logo as it will be sent: its working copy is made afresh from its settings.
void Preview(HWND page) {
    const int selected = Selection(page);
    if (selected < 0) {
        ClearPreview(page);
        return;
    }
    const std::u16string source = LogoPath(page, selected);
    const LogoSettings settings = SettingsOf(page)[static_cast<size_t>(selected)];
    const std::optional<std::vector<uint8_t>>& bytes = CopiesOf(page).KeptLogo(source);
    if (TypeOf(page) == LogoType::Original) {
        EnableAdjustments(page, LogoCopyStep::Stop);
    } else {
        const CopyOutcome copy = bytes ? Told(page, source, CopiesOf(page).Make(source, *bytes, TypeOf(page), settings))
                                       : CopyOutcome{LogoCopyStep::Stop};
        if (copy.step == LogoCopyStep::Stop || copy.taken) {
            ClearPreview(page);  // never another logo's picture, never the user's other file
            return;
        }
        EnableAdjustments(page, copy.step);
        if (copy.step == LogoCopyStep::Made) {
            // The bytes just written, not read back; a copy that could not be made shows nothing.
            DrawBitmap(page, copy.copy.empty() ? nullptr : BitmapOfPicture(copy.copy));
            return;
        }
    }
    // The logo itself, drawn from the reader's pixels.
    DrawBitmap(page, bytes ? BitmapOfPicture(*bytes) : nullptr);
}

INT_PTR Paint(HWND page, DownloadPageState&) {
    ShowColumnTitles(page);
    PAINTSTRUCT paint{};
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    Preview(page);
    return TRUE;
}

// ---- logo list -----------------------------------------------------------------------------

void AppendRow(HWND page, const std::u16string& source) {
    const int row = LogoCount(page);
    const std::wstring id = std::to_wstring(row + 1);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<wchar_t*>(id.c_str());
    const int inserted =
        static_cast<int>(SendMessageW(List(page), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (inserted < 0)
        return;
    SetCellText(page, inserted, kNameColumn, WStr(LogoListName(source)));
    SetCellText(page, inserted, kPathColumn, WStr(source));
}

void Renumber(HWND page) {
    const int count = LogoCount(page);
    for (int row = 0; row < count; ++row)
        SetCellText(page, row, kIdColumn, std::to_wstring(row + 1));
}

// Reads, checks and lists one chosen bitmap; a refusal shows its message.
void AddChosen(HWND page, const std::u16string& path) {
    const FileRead read = StateOf(page).files.Read(path, FileSharing::Readers, kMaxLogoFileBytes);
    if (const std::optional<TextId> message = AddedLogoMessage(read.failure, read.bytes)) {
        ShowError(page, *message);
        return;
    }
    const size_t row = static_cast<size_t>(LogoCount(page));
    if (row >= kMaxLogos)
        return;
    const LogoSettings settings = DefaultLogoSettings(TypeOf(page));
    if (Told(page, path, CopiesOf(page).Make(path, read.bytes, TypeOf(page), settings)).step == LogoCopyStep::Stop)
        return;
    AppendRow(page, path);
    SettingsOf(page)[row] = settings;
}

void AddLogo(HWND page) {
    if (LogoCount(page) >= static_cast<int>(kMaxLogos)) {
        ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR4, TextId::MSG_MB_INFORMATION, 0);
        return;
    }
    if (const std::optional<std::wstring> chosen = ChooseFileToOpen(page, FileRequest(L"*.bmp\0*.bmp\0")))
        AddChosen(page, U16(chosen->c_str()));
    SetFocus(List(page));
    EnableTypeRadios(page);
}

// The row and its settings go together, with no repaint in between (the list's notifications
// wait for the end), so that no logo is ever converted with another logo's settings.
void DeleteLogo(HWND page) {
    const int selected = Selection(page);
    if (selected >= 0) {
        const std::u16string source = LogoPath(page, selected);
        {
            const WindowFlagScope changing(page, kListChangingFlag);
            RemoveLogoSettings(SettingsOf(page), static_cast<size_t>(selected));
            SendMessageW(List(page), LVM_DELETEITEM, static_cast<WPARAM>(selected), 0);
            Renumber(page);
        }
        CopiesOf(page).Dropped(source, LogoPaths(page));
        Repaint(page);
    }
    SetFocus(List(page));
    EnableTypeRadios(page);
    if (Selection(page) < 0)
        ClearPreview(page);
}

// A type radio: every logo gets the type's fresh working copy and default settings.
void ChooseType(HWND page, LogoType type) {
    if (type != LogoType::Original)
        CopiesOf(page).DeleteAll();
    StateOf(page).type = type;
    g_lastChosenLogoType.store(type, std::memory_order_relaxed);
    EnableControl(page, IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON, EnabledControls(page).downloadLogos);
    if (LogoCount(page) > 0 && Selection(page) >= 0) {
        const LogoSettings settings = DefaultLogoSettings(type);
        LogoSettingsTable& table = SettingsOf(page);
        const std::vector<std::u16string> paths = LogoPaths(page);
        for (size_t row = 0; row < paths.size() && row < table.size(); ++row) {
            if (type != LogoType::Original &&
                Told(page, paths[row], CopiesOf(page).Make(paths[row], type, settings)).step == LogoCopyStep::Stop)
                return;
            table[row] = settings;
        }
        SetSliders(page, 0, 0);
        CheckOnly(page, kMethodRadios, kMethodRadios[static_cast<size_t>(settings.method)]);
    }
    Repaint(page);
}

void ChooseMethod(HWND page, int method) {
    const int selected = Selection(page);
    if (selected < 0)
        return;
    SettingsOf(page)[static_cast<size_t>(selected)].method = method;
    Repaint(page);
}

// A slider moved (keys or dragging): the selected logo takes both positions.
void SlidersMoved(HWND page) {
    const int selected = Selection(page);
    if (selected < 0)
        return;
    const int contrast = SliderPosition(page, IDC_DOWNLOAD_CONTRAST_SLIDER);
    const int brightness = SliderPosition(page, IDC_DOWNLOAD_BRIGHTNESS_SLIDER);
    ShowNumber(page, IDC_DOWNLOAD_CONTRAST_VALUE, contrast);
    ShowNumber(page, IDC_DOWNLOAD_BRIGHTNESS_VALUE, brightness);
    LogoSettings& settings = SettingsOf(page)[static_cast<size_t>(selected)];
    settings.contrast = contrast;
    settings.brightness = brightness;
    Repaint(page);
}

// A slider let go of the mouse: its value is the selected logo's, and the sheet may apply.
void SliderReleased(HWND page, int sliderId) {
    const int selected = Selection(page);
    if (selected < 0)
        return;
    const int value = SliderPosition(page, sliderId);
    const bool contrast = sliderId == IDC_DOWNLOAD_CONTRAST_SLIDER;
    ShowNumber(page, contrast ? IDC_DOWNLOAD_CONTRAST_VALUE : IDC_DOWNLOAD_BRIGHTNESS_VALUE, value);
    MarkChanged(page);
    LogoSettings& settings = SettingsOf(page)[static_cast<size_t>(selected)];
    (contrast ? settings.contrast : settings.brightness) = value;
    Repaint(page);
}

// A click in the list: the controls show the selected logo's settings.
void ListClicked(HWND page) {
    Repaint(page);
    const int selected = Selection(page);
    EnableTypeRadios(page);
    if (selected < 0)
        return;
    const LogoSettings settings = ClampLogoSettings(SettingsOf(page)[static_cast<size_t>(selected)]);
    SetSliders(page, settings.contrast, settings.brightness);
    CheckOnly(page, kMethodRadios, kMethodRadios[static_cast<size_t>(settings.method)]);
}

// "Download all": every logo is converted afresh from its settings, as the preview shows it,
// checked, and the whole job made before it is sent in list order: a logo that cannot be sent,
// or whose working copy's name a file of the user's has, stops it all, and the message names the
// file. True when the channel took the job, false when nothing was sent or the spooler refused.
bool DownloadLogos(HWND page) {
    const std::vector<std::u16string> paths = LogoPaths(page);
    const LogoSettingsTable& table = SettingsOf(page);
    LogoWorkingCopies& copies = CopiesOf(page);
    std::vector<ListedLogo> logos;
    for (size_t row = 0; row < paths.size() && row < table.size(); ++row)
        logos.push_back({copies.ReadLogo(paths[row]), table[row]});
    LogoDownload download = PrepareLogoDownload(TypeOf(page), logos);
    if (const std::optional<std::u16string> taken = copies.StoreAll(TypeOf(page), paths, logos, download.copies)) {
        ShowNamingError(page, TextId::MSG_MB_DOWNLOAD_ERROR11, *taken);
        return false;
    }
    if (const std::optional<DownloadRefusal> refusal = LogoDownloadRefusal(download, paths)) {
        if (refusal->file)
            ShowNamingError(page, refusal->text, *refusal->file);
        else
            ShowError(page, refusal->text);
        return false;
    }
    return SendLogoJob(ChannelOf(page), download.job);
}

// ---- file download -------------------------------------------------------------------------

void BrowseFile(HWND page) {
    RefreshCurrentTextFile();
    const std::u16string filter = FileDownloadFilter(Texts().TextFileName());
    const std::optional<std::wstring> chosen = ChooseFileToOpen(page, FileRequest(WStr(filter)));
    if (!chosen)
        return;
    SetDlgItemTextW(page, IDC_DOWNLOAD_FILE_EDIT, chosen->c_str());
    EnableControl(page, IDC_DOWNLOAD_FILE_BUTTON, true);
}

// True when the spooler took the whole file, false when nothing was sent or it was refused.
bool DownloadFile(HWND page) {
    std::array<wchar_t, kDialogPathCapacity + 1> path{};
    if (GetDlgItemTextW(page, IDC_DOWNLOAD_FILE_EDIT, path.data(), static_cast<int>(path.size())) == 0)
        return false;
    const FileRead read = StateOf(page).files.Read(U16(path.data()), FileSharing::Nobody, kMaxDownloadFileBytes);
    if (const std::optional<TextId> message = FileReadMessage(read.failure)) {
        ShowError(page, *message);
        return false;
    }
    return SendFileDownload(ChannelOf(page), read.bytes);
}

// ---- dialog procedure ----------------------------------------------------------------------

void SetUpList(HWND page) {
    const HWND list = List(page);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    for (size_t i = 0; i < kColumns.size(); ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<wchar_t*>(WText(kColumns[i].title));
        column.iSubItem = static_cast<int>(i);
        SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
    }
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

INT_PTR Start(HWND page, DownloadPageState& state, LPARAM) {
    state.type = g_lastChosenLogoType.load(std::memory_order_relaxed);
    SetUpList(page);
    ShowColumnTitles(page);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_FILE_EDIT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_FILE_EDIT, EM_LIMITTEXT, kDialogPathCapacity, 0);
    EnableControl(page, IDC_DOWNLOAD_BROWSE_BUTTON, true);
    EnableControl(page, IDC_DOWNLOAD_FILE_BUTTON, false);
    // The radio shows the type the page works in.
    CheckOnly(page, kTypeRadios, kTypeRadios[static_cast<size_t>(TypeOf(page))]);
    CheckOnly(page, kMethodRadios, IDC_DOWNLOAD_HALFTONE_NONE_RADIO);
    for (const int slider : kSliders) {
        SendDlgItemMessageW(page, slider, TBM_SETRANGEMIN, FALSE, kMinLogoAdjustment);
        SendDlgItemMessageW(page, slider, TBM_SETRANGEMAX, TRUE, kMaxLogoAdjustment);
        SendDlgItemMessageW(page, slider, TBM_SETLINESIZE, 0, 1);
        // Some trackbars place the thumb only when the position changes: move it off 0 first
        // so that it is drawn in the middle of the new range.
        SendDlgItemMessageW(page, slider, TBM_SETPOS, FALSE, kMaxLogoAdjustment);
    }
    SetSliders(page, 0, 0);
    EnableControl(page, IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON, false);
    AttachHoverHelp(page, IDD_DOWNLOAD_PAGE);
    return TRUE;
}

// The sheet may go without OK or Cancel (its host closes it): no working copy is left behind.
void End(HWND, DownloadPageState& state) {
    state.copies.DeleteAll();
}

INT_PTR Command(HWND page, DownloadPageState&, WORD id, WORD code) {
    if (code != BN_CLICKED)
        return FALSE;
    for (size_t method = 0; method < kMethodRadios.size(); ++method)
        if (id == kMethodRadios[method]) {
            ChooseMethod(page, static_cast<int>(method));
            return TRUE;
        }
    switch (id) {
        case IDC_DOWNLOAD_BROWSE_BUTTON:
            BrowseFile(page);
            return TRUE;
        case IDC_DOWNLOAD_FILE_BUTTON:
            return DownloadFile(page) ? TRUE : FALSE;
        case IDC_DOWNLOAD_LOGO_ADD_BUTTON:
            AddLogo(page);
            return TRUE;
        case IDC_DOWNLOAD_LOGO_DELETE_BUTTON:
            DeleteLogo(page);
            return TRUE;
        case IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON:
            return DownloadLogos(page) ? TRUE : FALSE;
        case IDC_DOWNLOAD_CLEAR_LOGOS_BUTTON:
            return SendClearLogos(ChannelOf(page)) ? TRUE : FALSE;
        case IDC_DOWNLOAD_ORIGINAL_RADIO:
            ChooseType(page, LogoType::Original);
            return TRUE;
        case IDC_DOWNLOAD_MONO_RADIO:
            ChooseType(page, LogoType::Mono);
            return TRUE;
        case IDC_DOWNLOAD_GRAY_RADIO:
            ChooseType(page, LogoType::Gray);
            return TRUE;
        default:
            return FALSE;
    }
}

// The sheet's notifications the skeleton does not answer the usual way, and the list's and the
// sliders'; nullopt leaves the answer to the skeleton (FALSE for all but the sheet's).
std::optional<INT_PTR> Notify(HWND page, DownloadPageState& state, const NMHDR& header) {
    switch (header.code) {
        case PSN_APPLY:
            ReportApplied(DeviceContextOf(page));
            state.copies.DeleteAll();
            return AnswerNotification(page, PSNRET_NOERROR);
        case PSN_QUERYCANCEL:
            state.copies.DeleteAll();
            return AnswerNotification(page, FALSE);
        case LVN_ITEMCHANGED:
            if (header.idFrom == IDC_DOWNLOAD_LOGO_LIST && !WindowFlag(page, kListChangingFlag))
                Repaint(page);
            return FALSE;
        case NM_CLICK:
            if (header.idFrom == IDC_DOWNLOAD_LOGO_LIST)
                ListClicked(page);
            return FALSE;
        case NM_RELEASEDCAPTURE:
            if (header.idFrom == IDC_DOWNLOAD_CONTRAST_SLIDER || header.idFrom == IDC_DOWNLOAD_BRIGHTNESS_SLIDER)
                SliderReleased(page, static_cast<int>(header.idFrom));
            return FALSE;
        default:
            return std::nullopt;
    }
}

// A slider moving: every scroll code but the end of a track (TB_ENDTRACK, 8).
INT_PTR Other(HWND page, DownloadPageState&, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_HSCROLL)
        return FALSE;
    if (LOWORD(wParam) <= TB_BOTTOM)
        SlidersMoved(page);
    return TRUE;
}

constexpr PageParts<DownloadPageState> kParts = {
    .host = PageHost::DeviceSheet,
    .section = kDownloadSection,
    .texts = kTexts,
    .start = Start,
    .command = Command,
    .notify = Notify,
    .paint = Paint,
    .other = Other,
    .finish = End,
};

}  // namespace

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RunPage(kParts, page, message, wParam, lParam);
}

}  // namespace m450
