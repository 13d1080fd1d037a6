#include "device/download_page.h"

#include <commctrl.h>
#include <commdlg.h>
#include <prsht.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/module_win.h"
#include "core/hover_help_win.h"
#include "core/language_win.h"
#include "core/page_state_win.h"
#include "core/page_win.h"
#include "device/logo_jobs.h"
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

// One copy of the page, owned by its window: the type every logo of its list gets, and the
// settings of each logo.
struct DownloadPageState {
    LogoType type = LogoType::Original;
    LogoSettingsTable settings{};
    // The working copies this page wrote itself: the only files it ever replaces or deletes.
    // A working copy's name that a file the page did not make already has is left alone.
    std::vector<std::wstring> madeCopies;
    std::vector<std::wstring> reportedTaken;  // names of such files the user was told of
    // The selected logo's file as the preview last read it, kept while its size and write time
    // stay the same: a slider step converts it again without reading 2 MiB from the disk.
    std::wstring keptPath;
    uint64_t keptSize = 0;
    uint64_t keptWriteTime = 0;
    std::optional<std::vector<uint8_t>> keptBytes;
};

DownloadPageState& StateOf(HWND page) {
    return *PageStateOf<DownloadPageState>(page);  // the procedure runs nothing without it
}

// The open-file dialog's path and file-name buffers, in characters.
constexpr DWORD kDialogPathCapacity = 1024;
// The largest logo file read: a 1024 × 768 24-bit bitmap with its headers is 2.3 MiB, so a
// file far larger cannot be a logo the page takes.
constexpr uint64_t kMaxLogoFileBytes = 16 * 1024 * 1024;
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

const wchar_t* Wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}
std::u16string U16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

// ---- files ---------------------------------------------------------------------------------

enum class ReadFailure { None, Open, Size, Memory, Seek, Read };

struct FileRead {
    ReadFailure failure = ReadFailure::None;
    std::vector<uint8_t> bytes;
};

ReadFailure ReadOpenFile(HANDLE file, uint64_t limit, std::vector<uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit)
        return ReadFailure::Size;
    // A size past what this build can hold (2 GiB and more on 32 bits) is a memory failure
    // like any other: resize throws length_error there, not bad_alloc.
    if (static_cast<uint64_t>(size.QuadPart) > bytes.max_size())
        return ReadFailure::Memory;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::exception&) {
        return ReadFailure::Memory;
    }
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return ReadFailure::Seek;
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        return ReadFailure::Read;
    return ReadFailure::None;
}

// The whole file in one read, refused past `limit` bytes. `share` is the sharing the file is
// opened with (the file download shares it with nobody).
FileRead ReadWholeFile(const std::wstring& path, DWORD share, uint64_t limit) {
    FileRead read;
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        read.failure = ReadFailure::Open;
        return read;
    }
    read.failure = ReadOpenFile(file, limit, read.bytes);
    CloseHandle(file);
    if (read.failure != ReadFailure::None)
        read.bytes.clear();
    return read;
}

std::optional<std::vector<uint8_t>> ReadLogoFile(const std::wstring& path) {
    FileRead read = ReadWholeFile(path, FILE_SHARE_READ, kMaxLogoFileBytes);
    if (read.failure != ReadFailure::None)
        return std::nullopt;
    return std::move(read.bytes);
}

// The logo file's bytes for the preview: those kept from the last read while the file's size and
// write time are unchanged, else read again (nullopt when the file cannot be read).
const std::optional<std::vector<uint8_t>>& KeptLogoFile(HWND page, const std::wstring& path) {
    DownloadPageState& state = StateOf(page);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const bool seen = GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
    const uint64_t size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    const uint64_t written = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    if (!seen || !state.keptBytes || path != state.keptPath || size != state.keptSize ||
        written != state.keptWriteTime) {
        state.keptBytes.reset();  // the old bytes go before the new ones come
        state.keptBytes = seen ? ReadLogoFile(path) : std::nullopt;
        state.keptPath = path;
        state.keptSize = size;
        state.keptWriteTime = written;
    }
    return state.keptBytes;
}

// `disposition` is CREATE_ALWAYS for a file the page made before, CREATE_NEW for a new one (so
// that a file that appeared meanwhile is never replaced: ERROR_FILE_EXISTS). A file the page made
// is written over from its start and cut only where it was longer: a file emptied and written
// again is flushed by the file system at once (3 ms and more for a logo's working copy, at every
// step of a slider), while the same bytes written over it are not.
bool WriteWholeFile(const std::wstring& path, std::span<const uint8_t> bytes, DWORD disposition) {
    const DWORD open = disposition == CREATE_ALWAYS ? OPEN_ALWAYS : disposition;
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, open, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    LARGE_INTEGER size{};
    if (ok && (!GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) > bytes.size()))
        ok = SetEndOfFile(file) != FALSE;  // the file pointer stands at the end of what was written
    CloseHandle(file);
    return ok;
}

// The logo's working copy, or empty when its path would not fit.
std::wstring CopyPathOf(const std::wstring& source) {
    const std::optional<std::u16string> copy = WorkingCopyPath(U16(source));
    return copy ? std::wstring(copy->begin(), copy->end()) : std::wstring();
}

// ---- controls ------------------------------------------------------------------------------

HWND Item(HWND page, int id) {
    return GetDlgItem(page, id);
}
HWND List(HWND page) {
    return Item(page, IDC_DOWNLOAD_LOGO_LIST);
}

void Enable(HWND page, std::span<const int> ids, bool enabled) {
    for (const int id : ids)
        EnableWindow(Item(page, id), enabled ? TRUE : FALSE);
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

// ---- working copies ------------------------------------------------------------------------

// Paths name the same file whatever their letter case.
std::wstring PathKey(std::wstring path) {
    if (!path.empty())
        CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

bool Contains(const std::vector<std::wstring>& keys, const std::wstring& key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

bool MadeByPage(HWND page, const std::wstring& copyPath) {
    return Contains(StateOf(page).madeCopies, PathKey(copyPath));
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A file that bears the working-copy mark in its header: one a page of this plug-in wrote and
// could not delete (its host ended first).
bool IsLeftoverCopy(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::array<uint8_t, kBmpFileHeaderSize> head{};
    DWORD got = 0;
    const bool read = ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr) != FALSE;
    CloseHandle(file);
    return read && IsMarkedWorkingCopy(std::span<const uint8_t>(head.data(), got));
}

// A working copy's name that a file of the user's already has. A leftover working copy is taken
// over instead: the page replaces it, and deletes it with its own copies.
bool CopyNameTaken(HWND page, const std::wstring& copyPath) {
    if (copyPath.empty() || MadeByPage(page, copyPath) || !FileExists(copyPath))
        return false;
    if (!IsLeftoverCopy(copyPath))
        return true;
    StateOf(page).madeCopies.push_back(PathKey(copyPath));
    return false;
}

void ForgetCopy(HWND page, const std::wstring& copyPath) {
    std::erase(StateOf(page).madeCopies, PathKey(copyPath));
}

// Deletes the working copy if this page made it; a file of anybody else's stays.
void DeleteOwnCopy(HWND page, const std::wstring& copyPath) {
    if (copyPath.empty() || !MadeByPage(page, copyPath))
        return;
    DeleteFileW(copyPath.c_str());
    ForgetCopy(page, copyPath);
}

// An error message followed by the file it is about, on a line of its own.
void ShowNamingMessage(HWND page, TextId text, const std::wstring& path) {
    const std::wstring shown = std::wstring(WText(text)) + L"\n" + path;
    const ActivationScope scope;
    MessageBoxW(page, shown.c_str(), WText(TextId::MSG_MB_ERROR), MB_OK | MB_ICONERROR);
}

// Told once per page and name: a repaint must not bring the message back.
void ReportCopyNameTaken(HWND page, const std::wstring& copyPath) {
    std::vector<std::wstring>& reported = StateOf(page).reportedTaken;
    const std::wstring key = PathKey(copyPath);
    if (Contains(reported, key))
        return;
    reported.push_back(key);
    ShowNamingMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR11, copyPath);
}

enum class CopyWrite { Written, Taken, Failed };

// Writes the working copy a conversion made, marked as the page's. A conversion that failed
// leaves no copy of the page's behind, so that nothing stale is previewed or sent; a name that is
// taken is not touched.
CopyWrite StoreWorkingCopy(HWND page, const std::wstring& copyPath, LogoConversion& conversion) {
    if (copyPath.empty())
        return CopyWrite::Failed;
    if (CopyNameTaken(page, copyPath))
        return CopyWrite::Taken;
    const bool ours = MadeByPage(page, copyPath);
    if (conversion.result != ConversionResult::Converted) {
        DeleteOwnCopy(page, copyPath);
        return CopyWrite::Failed;
    }
    if (!ours)
        StateOf(page).madeCopies.push_back(PathKey(copyPath));  // before the write: a half file is ours too
    MarkWorkingCopy(conversion.workingCopy);
    if (WriteWholeFile(copyPath, conversion.workingCopy, ours ? CREATE_ALWAYS : CREATE_NEW))
        return CopyWrite::Written;
    const bool appeared = !ours && GetLastError() == ERROR_FILE_EXISTS;
    if (appeared) {
        ForgetCopy(page, copyPath);
        return CopyWrite::Taken;
    }
    DeleteOwnCopy(page, copyPath);
    return CopyWrite::Failed;
}

// What making a logo's working copy came to: the core's step, and whether the copy's name was
// found taken (the logo then has no copy).
struct CopyOutcome {
    LogoCopyStep step;
    bool taken = false;
    std::vector<uint8_t> copy{};  // the working copy as written, when it was
};

CopyOutcome MakeWorkingCopy(HWND page,
                            const std::wstring& source,
                            std::span<const uint8_t> bytes,
                            LogoType type,
                            const LogoSettings& settings) {
    const LogoCopyStep step = WorkingCopyStep(type, ReadBitmapHeader(bytes));
    if (step != LogoCopyStep::Made)
        return {step};
    const std::wstring copyPath = CopyPathOf(source);
    if (CopyNameTaken(page, copyPath)) {
        ReportCopyNameTaken(page, copyPath);
        return {step, true};
    }
    LogoConversion conversion = ConvertLogo(type, bytes, settings);
    const CopyWrite write = StoreWorkingCopy(page, copyPath, conversion);
    if (write == CopyWrite::Taken) {
        ReportCopyNameTaken(page, copyPath);
        return {step, true};
    }
    if (write == CopyWrite::Written)
        return {step, false, std::move(conversion.workingCopy)};
    return {step};
}

CopyOutcome MakeWorkingCopy(HWND page, const std::wstring& source, LogoType type, const LogoSettings& settings) {
    const std::optional<std::vector<uint8_t>> bytes = ReadLogoFile(source);
    if (!bytes)
        return {LogoCopyStep::Stop};
    return MakeWorkingCopy(page, source, *bytes, type, settings);
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

std::wstring LogoPath(HWND page, int row) {
    return CellText(page, row, kPathColumn);
}

std::vector<std::wstring> LogoPaths(HWND page) {
    std::vector<std::wstring> paths;
    const int count = LogoCount(page);
    for (int row = 0; row < count; ++row)
        paths.push_back(LogoPath(page, row));
    return paths;
}

// Every working copy the page made, and only those.
void DeleteWorkingCopies(HWND page) {
    std::vector<std::wstring> made;
    made.swap(StateOf(page).madeCopies);
    for (const std::wstring& copy : made)
        DeleteFileW(copy.c_str());
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

// The type radios can be used while a logo is selected.
void EnableTypeRadios(HWND page) {
    Enable(page, kTypeRadios, LogoCount(page) > 0 && Selection(page) >= 0);
}

void ShowTexts(HWND page) {
    ShowControlTexts(page, kTexts);
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

void ShowMessage(HWND page, TextId text, TextId caption = TextId::MSG_MB_ERROR) {
    const ActivationScope scope;
    MessageBoxW(page, WText(text), WText(caption), MB_OK);
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

// The system's open-file dialog; the chosen full path, or nullopt when cancelled.
std::optional<std::wstring> AskForFile(HWND page, const wchar_t* filter) {
    std::vector<wchar_t> path(kDialogPathCapacity, L'\0');
    std::vector<wchar_t> name(kDialogPathCapacity, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = page;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kDialogPathCapacity;
    dialog.lpstrFileTitle = name.data();
    dialog.nMaxFileTitle = kDialogPathCapacity;
    dialog.lpstrTitle = WText(TextId::DOWNLOAD_RC_BROWSEBOX);
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_EXTENSIONDIFFERENT | OFN_PATHMUSTEXIST |
                   OFN_CREATEPROMPT | OFN_LONGNAMES;
    const ActivationScope scope;
    if (!GetOpenFileNameW(&dialog))
        return std::nullopt;
    path.back() = L'\0';
    return std::wstring(path.data());
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

// The selected logo as it will be sent: its working copy is made afresh from its settings.
void Preview(HWND page) {
    const int selected = Selection(page);
    if (selected < 0) {
        ClearPreview(page);
        return;
    }
    const std::wstring source = LogoPath(page, selected);
    const LogoSettings settings = SettingsOf(page)[static_cast<size_t>(selected)];
    const std::optional<std::vector<uint8_t>>& bytes = KeptLogoFile(page, source);
    if (TypeOf(page) == LogoType::Original) {
        Enable(page, kMethodRadios, false);
        Enable(page, kSliders, false);
    } else {
        const CopyOutcome copy =
            bytes ? MakeWorkingCopy(page, source, *bytes, TypeOf(page), settings) : CopyOutcome{LogoCopyStep::Stop};
        if (copy.step == LogoCopyStep::Stop || copy.taken) {
            ClearPreview(page);  // never another logo's picture, never the user's other file
            return;
        }
        Enable(page, kMethodRadios, TypeOf(page) == LogoType::Mono && copy.step == LogoCopyStep::Made);
        Enable(page, kSliders, TypeOf(page) == LogoType::Gray || copy.step == LogoCopyStep::Made);
        if (copy.step == LogoCopyStep::Made) {
            // The bytes just written, not read back; a copy that could not be made shows nothing.
            DrawBitmap(page, copy.copy.empty() ? nullptr : BitmapOfPicture(copy.copy));
            return;
        }
    }
    // The logo itself, drawn from the reader's pixels.
    DrawBitmap(page, bytes ? BitmapOfPicture(*bytes) : nullptr);
}

void Paint(HWND page) {
    ReloadTexts(kDownloadSection);
    ShowTexts(page);
    PAINTSTRUCT paint{};
    BeginPaint(page, &paint);
    EndPaint(page, &paint);
    Preview(page);
}

// ---- logo list -----------------------------------------------------------------------------

void AppendRow(HWND page, const std::wstring& path) {
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
    const size_t slash = path.find_last_of(L"\\/");
    SetCellText(page, inserted, kNameColumn, slash == std::wstring::npos ? path : path.substr(slash + 1));
    SetCellText(page, inserted, kPathColumn, path);
}

void Renumber(HWND page) {
    const int count = LogoCount(page);
    for (int row = 0; row < count; ++row)
        SetCellText(page, row, kIdColumn, std::to_wstring(row + 1));
}

// Reads, checks and lists one chosen bitmap; a refusal shows its message.
void AddChosen(HWND page, const std::wstring& path) {
    FileRead read = ReadWholeFile(path, FILE_SHARE_READ, kMaxLogoFileBytes);
    if (read.failure == ReadFailure::Open) {
        ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR1);
        return;
    }
    const LogoDownloadCheck check =
        read.failure != ReadFailure::None ? LogoDownloadCheck::NoHeaders : CheckAddedLogo(read.bytes);
    if (const std::optional<TextId> message = LogoDownloadMessage(check)) {
        ShowMessage(page, *message);
        return;
    }
    const std::optional<BitmapHeader> header = ReadBitmapHeader(read.bytes);
    if (!header)  // the check above has read it already; never reached
        return;
    char trace[48];
    std::snprintf(trace, sizeof(trace), "biwidth = %d\n", static_cast<int>(header->width));
    OutputDebugStringA(trace);
    std::snprintf(trace, sizeof(trace), "biHeight = %d\n", static_cast<int>(header->height));
    OutputDebugStringA(trace);

    const size_t row = static_cast<size_t>(LogoCount(page));
    if (row >= kMaxLogos)
        return;
    const LogoSettings settings{TypeOf(page) == LogoType::Mono ? 1 : 0, 0, 0};
    if (MakeWorkingCopy(page, path, read.bytes, TypeOf(page), settings).step == LogoCopyStep::Stop)
        return;
    AppendRow(page, path);
    SettingsOf(page)[row] = settings;
}

void AddLogo(HWND page) {
    if (LogoCount(page) >= static_cast<int>(kMaxLogos)) {
        ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR4, TextId::MSG_MB_INFORMATION);
        return;
    }
    if (const std::optional<std::wstring> chosen = AskForFile(page, L"*.bmp\0*.bmp\0"))
        AddChosen(page, *chosen);
    SetFocus(List(page));
    EnableTypeRadios(page);
}

// The working-copy names of the listed logos, as path keys.
std::vector<std::wstring> LogoCopyPaths(HWND page) {
    std::vector<std::wstring> copies;
    for (const std::wstring& path : LogoPaths(page))
        copies.push_back(PathKey(CopyPathOf(path)));
    return copies;
}

// The row and its settings go together, with no repaint in between (the list's notifications
// wait for the end), so that no logo is ever converted with another logo's settings.
void DeleteLogo(HWND page) {
    const int selected = Selection(page);
    if (selected >= 0) {
        const std::wstring copy = CopyPathOf(LogoPath(page, selected));
        {
            const WindowFlagScope changing(page, kListChangingFlag);
            RemoveLogoSettings(SettingsOf(page), static_cast<size_t>(selected));
            SendMessageW(List(page), LVM_DELETEITEM, static_cast<WPARAM>(selected), 0);
            Renumber(page);
        }
        if (!Contains(LogoCopyPaths(page), PathKey(copy)))  // two rows may list one file
            DeleteOwnCopy(page, copy);
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
        DeleteWorkingCopies(page);
    StateOf(page).type = type;
    g_lastChosenLogoType.store(type, std::memory_order_relaxed);
    EnableWindow(Item(page, IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON), type != LogoType::Original && LogoCount(page) > 0);
    if (LogoCount(page) > 0 && Selection(page) >= 0) {
        const LogoSettings settings{type == LogoType::Mono ? 1 : 0, 0, 0};
        LogoSettingsTable& table = SettingsOf(page);
        const std::vector<std::wstring> paths = LogoPaths(page);
        for (size_t row = 0; row < paths.size() && row < table.size(); ++row) {
            if (type != LogoType::Original &&
                MakeWorkingCopy(page, paths[row], type, settings).step == LogoCopyStep::Stop)
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
    PropSheet_Changed(GetParent(page), page);
    LogoSettings& settings = SettingsOf(page)[static_cast<size_t>(selected)];
    (contrast ? settings.contrast : settings.brightness) = value;
    Repaint(page);
}

// A click in the list: the controls show the selected logo's settings.
void ListClicked(HWND page) {
    Repaint(page);
    const int selected = Selection(page);
    if (LogoCount(page) == 0 || selected < 0) {
        Enable(page, kTypeRadios, false);
        return;
    }
    Enable(page, kTypeRadios, true);
    const LogoSettings settings = ClampLogoSettings(SettingsOf(page)[static_cast<size_t>(selected)]);
    SetSliders(page, settings.contrast, settings.brightness);
    CheckOnly(page, kMethodRadios, kMethodRadios[static_cast<size_t>(settings.method)]);
}

// "Download all": every logo is converted afresh from its settings, as the preview shows it,
// checked, and the whole job made before it is sent in list order: a logo that cannot be sent,
// or whose working copy's name a file of the user's has, stops it all, and the message names the
// file. Returns what the channel returned (0 when nothing was sent).
bool DownloadLogos(HWND page) {
    const std::vector<std::wstring> paths = LogoPaths(page);
    const LogoSettingsTable& table = SettingsOf(page);
    std::vector<ListedLogo> logos;
    for (size_t row = 0; row < paths.size() && row < table.size(); ++row)
        logos.push_back({ReadLogoFile(paths[row]), table[row]});
    LogoDownload download = PrepareLogoDownload(TypeOf(page), logos);
    for (size_t row = 0; row < download.copies.size(); ++row) {
        if (WorkingCopyStep(TypeOf(page), ReadBitmapHeader(*logos[row].source)) != LogoCopyStep::Made)
            continue;
        const std::wstring copyPath = CopyPathOf(paths[row]);
        if (StoreWorkingCopy(page, copyPath, download.copies[row]) == CopyWrite::Taken) {
            ShowNamingMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR11, copyPath);
            return false;
        }
    }
    if (download.check == LogoDownloadCheck::LogoRefused && download.logo && *download.logo < paths.size()) {
        ShowNamingMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR12, paths[*download.logo]);
        return false;
    }
    if (const std::optional<TextId> message = LogoDownloadMessage(download.check)) {
        ShowMessage(page, *message);
        return false;
    }
    return SendLogoJob(ChannelOf(page), download.job);
}

// ---- file download -------------------------------------------------------------------------

void BrowseFile(HWND page) {
    RefreshCurrentTextFile();
    const std::u16string filter = FileDownloadFilter(Texts().TextFileName());
    const std::optional<std::wstring> chosen = AskForFile(page, Wide(filter));
    if (!chosen)
        return;
    SetDlgItemTextW(page, IDC_DOWNLOAD_FILE_EDIT, chosen->c_str());
    EnableWindow(Item(page, IDC_DOWNLOAD_FILE_BUTTON), TRUE);
}

// Returns what the channel returned (0 when nothing was sent).
bool DownloadFile(HWND page) {
    std::array<wchar_t, kDialogPathCapacity + 1> path{};
    if (GetDlgItemTextW(page, IDC_DOWNLOAD_FILE_EDIT, path.data(), static_cast<int>(path.size())) == 0)
        return false;
    const FileRead read = ReadWholeFile(path.data(), 0, kMaxDownloadFileBytes);
    switch (read.failure) {
        case ReadFailure::None:
            return SendFileDownload(ChannelOf(page), read.bytes);
        case ReadFailure::Open:
            ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR1);
            return false;
        case ReadFailure::Size:
            ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR8);
            return false;
        case ReadFailure::Memory:
            ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR9);
            return false;
        case ReadFailure::Seek:
            ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR10);
            return false;
        case ReadFailure::Read:
            ShowMessage(page, TextId::MSG_MB_DOWNLOAD_ERROR2);
            return false;
    }
    return false;
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

void Start(HWND page) {
    StateOf(page).type = g_lastChosenLogoType.load(std::memory_order_relaxed);
    SetUpList(page);
    ShowTexts(page);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_FILE_EDIT, EM_SETREADONLY, TRUE, 0);
    SendDlgItemMessageW(page, IDC_DOWNLOAD_FILE_EDIT, EM_LIMITTEXT, kDialogPathCapacity, 0);
    EnableWindow(Item(page, IDC_DOWNLOAD_BROWSE_BUTTON), TRUE);
    EnableWindow(Item(page, IDC_DOWNLOAD_FILE_BUTTON), FALSE);
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
    EnableWindow(Item(page, IDC_DOWNLOAD_LOGO_DOWNLOAD_BUTTON), FALSE);
    AttachHoverHelp(page, IDD_DOWNLOAD_PAGE);
}

// The sheet may go without OK or Cancel (its host closes it): no working copy is left behind.
void End(HWND page) {
    DeleteWorkingCopies(page);
    FreePageState<DownloadPageState>(page);
}

INT_PTR Command(HWND page, int id, int code) {
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

INT_PTR Notify(HWND page, const NMHDR* header) {
    switch (header->code) {
        case PSN_APPLY:
            ReportApplied(DeviceContextOf(page));
            DeleteWorkingCopies(page);
            return AnswerNotification(page, PSNRET_NOERROR);
        case PSN_QUERYCANCEL:
            DeleteWorkingCopies(page);
            return AnswerNotification(page, FALSE);
        case PSN_SETACTIVE:
        case PSN_KILLACTIVE:
            return AnswerNotification(page, 0);
        case LVN_ITEMCHANGED:
            if (header->idFrom == IDC_DOWNLOAD_LOGO_LIST && !WindowFlag(page, kListChangingFlag))
                Repaint(page);
            return FALSE;
        case NM_CLICK:
            if (header->idFrom == IDC_DOWNLOAD_LOGO_LIST)
                ListClicked(page);
            return FALSE;
        case NM_RELEASEDCAPTURE:
            if (header->idFrom == IDC_DOWNLOAD_CONTRAST_SLIDER || header->idFrom == IDC_DOWNLOAD_BRIGHTNESS_SLIDER)
                SliderReleased(page, static_cast<int>(header->idFrom));
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK DownloadPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        if (message == WM_INITDIALOG) {
            KeepDevicePageContext(page, lParam);
            if (MakePageState<DownloadPageState>(page) != nullptr)
                Start(page);
            return TRUE;
        }
        if (PageStateOf<DownloadPageState>(page) == nullptr)
            return FALSE;
        switch (message) {
            case WM_PAINT:
                Paint(page);
                return TRUE;
            case WM_COMMAND:
                return Command(page, LOWORD(wParam), HIWORD(wParam));
            case WM_NOTIFY:
                return lParam != 0 && Notify(page, reinterpret_cast<const NMHDR*>(lParam));
            case WM_HSCROLL:
                // Every scroll code but the end of a track (TB_ENDTRACK, 8).
                if (LOWORD(wParam) <= TB_BOTTOM)
                    SlidersMoved(page);
                return TRUE;
            case WM_DESTROY:
                End(page);
                return FALSE;
            default:
                return FALSE;
        }
    } catch (...) {  // memory ran short: the page keeps what it showed
        return FALSE;
    }
}

}  // namespace m450
