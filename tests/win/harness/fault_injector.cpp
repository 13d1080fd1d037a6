#include "fault_injector.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>
#include <winspool.h>

#include <cerrno>
#include <cstdlib>
#include <cwchar>

namespace m450test {
namespace {

// The spooler is not running: what its calls give a client then.
constexpr DWORD kSpoolerGone = RPC_S_SERVER_UNAVAILABLE;

enum Function : int {
    kCreateFileW,
    kReadFile,
    kWriteFile,
    kGetFileSizeEx,
    kSetFilePointerEx,
    kSetFilePointer,
    kSetEndOfFile,
    kMoveFileExW,
    kCreateHardLinkW,
    kDeleteFileW,
    kCopyFileW,
    kGetTempPathW,
    kCreateDirectoryW,
    kGetPrivateProfileStringW,
    kWritePrivateProfileStringW,
    kRegOpenKeyExW,
    kRegCreateKeyExW,
    kRegQueryValueExW,
    kRegSetValueExW,
    kOpenPrinterW,
    kGetPrinterW,
    kStartDocPrinterW,
    kStartPagePrinter,
    kWritePrinter,
    kEndPagePrinter,
    kEndDocPrinter,
    kAddFormW,
    kDeleteFormW,
    kGetFormW,
    kSetFormW,
    kEnumFormsW,
    kCreateFontIndirectW,
    kCreateFontW,
    kCreateCompatibleDC,
    kCreateCompatibleBitmap,
    kCreateDIBSection,
    kGetDC,
    kLoadImageW,
    kLoadBitmapW,
    kImageListCreate,
    kCreateWindowExW,
    kGetOpenFileNameW,
    kSHGetSpecialFolderPathW,
    kMalloc,
    kCalloc,
    kRealloc,
    kFunctionCount
};

constexpr FallibleFunction kFunctions[kFunctionCount] = {
    {"KERNEL32.dll", "CreateFileW", "file", "INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "ReadFile", "file", "FALSE, ERROR_READ_FAULT, nothing read"},
    {"KERNEL32.dll", "WriteFile", "file", "FALSE, ERROR_DISK_FULL, nothing written"},
    {"KERNEL32.dll", "GetFileSizeEx", "file", "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "SetFilePointerEx", "file", "FALSE, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll", "SetFilePointer", "file", "INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER"},
    {"KERNEL32.dll", "SetEndOfFile", "file", "FALSE, ERROR_DISK_FULL"},
    {"KERNEL32.dll", "MoveFileExW", "file", "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "CreateHardLinkW", "file", "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "DeleteFileW", "file", "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "CopyFileW", "file", "FALSE, ERROR_DISK_FULL"},
    {"KERNEL32.dll", "GetTempPathW", "file", "0, ERROR_PATH_NOT_FOUND"},
    {"KERNEL32.dll", "CreateDirectoryW", "file", "FALSE, ERROR_ACCESS_DENIED"},
    {"KERNEL32.dll", "GetPrivateProfileStringW", "profile", "the default copied, ERROR_FILE_NOT_FOUND"},
    {"KERNEL32.dll", "WritePrivateProfileStringW", "profile", "FALSE, ERROR_ACCESS_DENIED"},
    {"ADVAPI32.dll", "RegOpenKeyExW", "registry", "ERROR_ACCESS_DENIED"},
    {"ADVAPI32.dll", "RegCreateKeyExW", "registry", "ERROR_ACCESS_DENIED"},
    {"ADVAPI32.dll", "RegQueryValueExW", "registry", "ERROR_ACCESS_DENIED"},
    {"ADVAPI32.dll", "RegSetValueExW", "registry", "ERROR_ACCESS_DENIED"},
    {"WINSPOOL.DRV", "OpenPrinterW", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "GetPrinterW", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "StartDocPrinterW", "spooler", "0, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "StartPagePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "WritePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE, nothing written"},
    {"WINSPOOL.DRV", "EndPagePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "EndDocPrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "AddFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "DeleteFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "GetFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "SetFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE"},
    {"WINSPOOL.DRV", "EnumFormsW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE, none returned"},
    {"GDI32.dll", "CreateFontIndirectW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"GDI32.dll", "CreateFontW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"GDI32.dll", "CreateCompatibleDC", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"GDI32.dll", "CreateCompatibleBitmap", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"GDI32.dll", "CreateDIBSection", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY, no bits"},
    {"USER32.dll", "GetDC", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll", "LoadImageW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"USER32.dll", "LoadBitmapW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"COMCTL32.dll", "ImageList_Create", "gdi", "NULL"},
    {"USER32.dll", "CreateWindowExW", "user", "NULL, ERROR_NOT_ENOUGH_MEMORY"},
    {"comdlg32.dll", "GetOpenFileNameW", "dialog", "FALSE (as when the user cancels)"},
    {"SHELL32.dll", "SHGetSpecialFolderPathW", "shell", "FALSE"},
    {"msvcrt.dll", "malloc", "memory", "NULL, errno ENOMEM"},
    {"msvcrt.dll", "calloc", "memory", "NULL, errno ENOMEM"},
    {"msvcrt.dll", "realloc", "memory", "NULL, errno ENOMEM, the block kept"},
};

struct State {
    std::atomic<long> calls[kFunctionCount] = {};
    std::atomic<int> armed{-1};
    std::atomic<long> armedAt{0};
    std::atomic<bool> fired{false};
    std::atomic<bool> failing{true};
    void* original[kFunctionCount] = {};
};
State g_state;

template <typename Function>
Function Real(int index) {
    return reinterpret_cast<Function>(g_state.original[index]);
}

// Counts the call; true when this is the call to fail.
bool Fail(int index) {
    const long call = ++g_state.calls[index];
    if (!g_state.failing.load() || g_state.armed.load() != index || call != g_state.armedAt.load())
        return false;
    g_state.fired = true;
    return true;
}

bool FailWith(int index, DWORD error) {
    if (!Fail(index))
        return false;
    SetLastError(error);
    return true;
}

#define REAL(name) Real<decltype(&name)>(k##name)

HANDLE WINAPI FaultCreateFileW(LPCWSTR name,
                               DWORD access,
                               DWORD share,
                               LPSECURITY_ATTRIBUTES security,
                               DWORD disposition,
                               DWORD flags,
                               HANDLE model) {
    if (FailWith(kCreateFileW, ERROR_ACCESS_DENIED))
        return INVALID_HANDLE_VALUE;
    return REAL(CreateFileW)(name, access, share, security, disposition, flags, model);
}

BOOL WINAPI FaultReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD read, LPOVERLAPPED overlapped) {
    if (FailWith(kReadFile, ERROR_READ_FAULT)) {
        if (read != nullptr)
            *read = 0;
        return FALSE;
    }
    return REAL(ReadFile)(file, buffer, size, read, overlapped);
}

BOOL WINAPI FaultWriteFile(HANDLE file, LPCVOID buffer, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    if (FailWith(kWriteFile, ERROR_DISK_FULL)) {
        if (written != nullptr)
            *written = 0;
        return FALSE;
    }
    return REAL(WriteFile)(file, buffer, size, written, overlapped);
}

BOOL WINAPI FaultGetFileSizeEx(HANDLE file, PLARGE_INTEGER size) {
    if (FailWith(kGetFileSizeEx, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(GetFileSizeEx)(file, size);
}

BOOL WINAPI FaultSetFilePointerEx(HANDLE file, LARGE_INTEGER distance, PLARGE_INTEGER position, DWORD method) {
    if (FailWith(kSetFilePointerEx, ERROR_INVALID_PARAMETER))
        return FALSE;
    return REAL(SetFilePointerEx)(file, distance, position, method);
}

DWORD WINAPI FaultSetFilePointer(HANDLE file, LONG distance, PLONG high, DWORD method) {
    if (FailWith(kSetFilePointer, ERROR_INVALID_PARAMETER))
        return INVALID_SET_FILE_POINTER;
    return REAL(SetFilePointer)(file, distance, high, method);
}

BOOL WINAPI FaultSetEndOfFile(HANDLE file) {
    if (FailWith(kSetEndOfFile, ERROR_DISK_FULL))
        return FALSE;
    return REAL(SetEndOfFile)(file);
}

BOOL WINAPI FaultMoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (FailWith(kMoveFileExW, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(MoveFileExW)(from, to, flags);
}

BOOL WINAPI FaultCreateHardLinkW(LPCWSTR link, LPCWSTR target, LPSECURITY_ATTRIBUTES security) {
    if (FailWith(kCreateHardLinkW, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(CreateHardLinkW)(link, target, security);
}

BOOL WINAPI FaultDeleteFileW(LPCWSTR name) {
    if (FailWith(kDeleteFileW, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(DeleteFileW)(name);
}

BOOL WINAPI FaultCopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    if (FailWith(kCopyFileW, ERROR_DISK_FULL))
        return FALSE;
    return REAL(CopyFileW)(from, to, failIfExists);
}

DWORD WINAPI FaultGetTempPathW(DWORD size, LPWSTR path) {
    if (FailWith(kGetTempPathW, ERROR_PATH_NOT_FOUND))
        return 0;
    return REAL(GetTempPathW)(size, path);
}

BOOL WINAPI FaultCreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security) {
    if (FailWith(kCreateDirectoryW, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(CreateDirectoryW)(path, security);
}

// A profile that cannot be read gives the default, as a missing file does.
DWORD WINAPI
FaultGetPrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR text, DWORD size, LPCWSTR file) {
    if (FailWith(kGetPrivateProfileStringW, ERROR_FILE_NOT_FOUND)) {
        if (text == nullptr || size == 0)
            return 0;
        const wchar_t* from = fallback != nullptr ? fallback : L"";
        size_t length = wcslen(from);
        if (length >= size)
            length = size - 1;
        wmemcpy(text, from, length);
        text[length] = 0;
        return static_cast<DWORD>(length);
    }
    return REAL(GetPrivateProfileStringW)(section, key, fallback, text, size, file);
}

BOOL WINAPI FaultWritePrivateProfileStringW(LPCWSTR section, LPCWSTR key, LPCWSTR text, LPCWSTR file) {
    if (FailWith(kWritePrivateProfileStringW, ERROR_ACCESS_DENIED))
        return FALSE;
    return REAL(WritePrivateProfileStringW)(section, key, text, file);
}

LONG WINAPI FaultRegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY opened) {
    if (FailWith(kRegOpenKeyExW, ERROR_ACCESS_DENIED))
        return ERROR_ACCESS_DENIED;
    return REAL(RegOpenKeyExW)(key, subKey, options, access, opened);
}

LONG WINAPI FaultRegCreateKeyExW(HKEY key,
                                 LPCWSTR subKey,
                                 DWORD reserved,
                                 LPWSTR keyClass,
                                 DWORD options,
                                 REGSAM access,
                                 const LPSECURITY_ATTRIBUTES security,
                                 PHKEY made,
                                 LPDWORD disposition) {
    if (FailWith(kRegCreateKeyExW, ERROR_ACCESS_DENIED))
        return ERROR_ACCESS_DENIED;
    return REAL(RegCreateKeyExW)(key, subKey, reserved, keyClass, options, access, security, made, disposition);
}

LONG WINAPI FaultRegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size) {
    if (FailWith(kRegQueryValueExW, ERROR_ACCESS_DENIED))
        return ERROR_ACCESS_DENIED;
    return REAL(RegQueryValueExW)(key, name, reserved, type, data, size);
}

LONG WINAPI FaultRegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    if (FailWith(kRegSetValueExW, ERROR_ACCESS_DENIED))
        return ERROR_ACCESS_DENIED;
    return REAL(RegSetValueExW)(key, name, reserved, type, data, size);
}

BOOL WINAPI FaultOpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    if (FailWith(kOpenPrinterW, kSpoolerGone))
        return FALSE;
    return REAL(OpenPrinterW)(name, printer, defaults);
}

BOOL WINAPI FaultGetPrinterW(HANDLE printer, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (FailWith(kGetPrinterW, kSpoolerGone)) {
        if (needed != nullptr)
            *needed = 0;
        return FALSE;
    }
    return REAL(GetPrinterW)(printer, level, buffer, size, needed);
}

DWORD WINAPI FaultStartDocPrinterW(HANDLE printer, DWORD level, LPBYTE info) {
    if (FailWith(kStartDocPrinterW, kSpoolerGone))
        return 0;
    return REAL(StartDocPrinterW)(printer, level, info);
}

BOOL WINAPI FaultStartPagePrinter(HANDLE printer) {
    if (FailWith(kStartPagePrinter, kSpoolerGone))
        return FALSE;
    return REAL(StartPagePrinter)(printer);
}

BOOL WINAPI FaultWritePrinter(HANDLE printer, LPVOID buffer, DWORD size, LPDWORD written) {
    if (FailWith(kWritePrinter, kSpoolerGone)) {
        if (written != nullptr)
            *written = 0;
        return FALSE;
    }
    return REAL(WritePrinter)(printer, buffer, size, written);
}

BOOL WINAPI FaultEndPagePrinter(HANDLE printer) {
    if (FailWith(kEndPagePrinter, kSpoolerGone))
        return FALSE;
    return REAL(EndPagePrinter)(printer);
}

BOOL WINAPI FaultEndDocPrinter(HANDLE printer) {
    if (FailWith(kEndDocPrinter, kSpoolerGone))
        return FALSE;
    return REAL(EndDocPrinter)(printer);
}

BOOL WINAPI FaultAddFormW(HANDLE printer, DWORD level, LPBYTE form) {
    if (FailWith(kAddFormW, kSpoolerGone))
        return FALSE;
    return REAL(AddFormW)(printer, level, form);
}

BOOL WINAPI FaultDeleteFormW(HANDLE printer, LPWSTR name) {
    if (FailWith(kDeleteFormW, kSpoolerGone))
        return FALSE;
    return REAL(DeleteFormW)(printer, name);
}

BOOL WINAPI FaultGetFormW(HANDLE printer, LPWSTR name, DWORD level, LPBYTE form, DWORD size, LPDWORD needed) {
    if (FailWith(kGetFormW, kSpoolerGone)) {
        if (needed != nullptr)
            *needed = 0;
        return FALSE;
    }
    return REAL(GetFormW)(printer, name, level, form, size, needed);
}

BOOL WINAPI FaultSetFormW(HANDLE printer, LPWSTR name, DWORD level, LPBYTE form) {
    if (FailWith(kSetFormW, kSpoolerGone))
        return FALSE;
    return REAL(SetFormW)(printer, name, level, form);
}

BOOL WINAPI FaultEnumFormsW(HANDLE printer, DWORD level, LPBYTE forms, DWORD size, LPDWORD needed, LPDWORD returned) {
    if (FailWith(kEnumFormsW, kSpoolerGone)) {
        if (needed != nullptr)
            *needed = 0;
        if (returned != nullptr)
            *returned = 0;
        return FALSE;
    }
    return REAL(EnumFormsW)(printer, level, forms, size, needed, returned);
}

HFONT WINAPI FaultCreateFontIndirectW(const LOGFONTW* font) {
    if (FailWith(kCreateFontIndirectW, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(CreateFontIndirectW)(font);
}

HFONT WINAPI FaultCreateFontW(int height,
                              int width,
                              int escapement,
                              int orientation,
                              int weight,
                              DWORD italic,
                              DWORD underline,
                              DWORD strikeOut,
                              DWORD charSet,
                              DWORD precision,
                              DWORD clip,
                              DWORD quality,
                              DWORD pitch,
                              LPCWSTR face) {
    if (FailWith(kCreateFontW, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(CreateFontW)(height, width, escapement, orientation, weight, italic, underline, strikeOut, charSet,
                             precision, clip, quality, pitch, face);
}

HDC WINAPI FaultCreateCompatibleDC(HDC dc) {
    if (FailWith(kCreateCompatibleDC, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(CreateCompatibleDC)(dc);
}

HBITMAP WINAPI FaultCreateCompatibleBitmap(HDC dc, int width, int height) {
    if (FailWith(kCreateCompatibleBitmap, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(CreateCompatibleBitmap)(dc, width, height);
}

HBITMAP WINAPI
FaultCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
    if (FailWith(kCreateDIBSection, ERROR_NOT_ENOUGH_MEMORY)) {
        if (bits != nullptr)
            *bits = nullptr;
        return nullptr;
    }
    return REAL(CreateDIBSection)(dc, info, usage, bits, section, offset);
}

HDC WINAPI FaultGetDC(HWND window) {
    if (FailWith(kGetDC, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(GetDC)(window);
}

HANDLE WINAPI FaultLoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    if (FailWith(kLoadImageW, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(LoadImageW)(instance, name, type, width, height, flags);
}

HBITMAP WINAPI FaultLoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    if (FailWith(kLoadBitmapW, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(LoadBitmapW)(instance, name);
}

HIMAGELIST WINAPI FaultImageListCreate(int width, int height, UINT flags, int initial, int grow) {
    if (Fail(kImageListCreate))
        return nullptr;
    return Real<decltype(&ImageList_Create)>(kImageListCreate)(width, height, flags, initial, grow);
}

HWND WINAPI FaultCreateWindowExW(DWORD exStyle,
                                 LPCWSTR windowClass,
                                 LPCWSTR name,
                                 DWORD style,
                                 int x,
                                 int y,
                                 int width,
                                 int height,
                                 HWND parent,
                                 HMENU menu,
                                 HINSTANCE instance,
                                 LPVOID param) {
    if (FailWith(kCreateWindowExW, ERROR_NOT_ENOUGH_MEMORY))
        return nullptr;
    return REAL(CreateWindowExW)(exStyle, windowClass, name, style, x, y, width, height, parent, menu, instance, param);
}

BOOL WINAPI FaultGetOpenFileNameW(LPOPENFILENAMEW dialog) {
    if (Fail(kGetOpenFileNameW))
        return FALSE;
    return REAL(GetOpenFileNameW)(dialog);
}

BOOL WINAPI FaultSHGetSpecialFolderPathW(HWND owner, LPWSTR path, int folder, BOOL create) {
    if (Fail(kSHGetSpecialFolderPathW))
        return FALSE;
    return REAL(SHGetSpecialFolderPathW)(owner, path, folder, create);
}

void* __cdecl FaultMalloc(size_t size) {
    if (Fail(kMalloc)) {
        errno = ENOMEM;
        return nullptr;
    }
    return Real<decltype(&std::malloc)>(kMalloc)(size);
}

void* __cdecl FaultCalloc(size_t count, size_t size) {
    if (Fail(kCalloc)) {
        errno = ENOMEM;
        return nullptr;
    }
    return Real<decltype(&std::calloc)>(kCalloc)(count, size);
}

void* __cdecl FaultRealloc(void* block, size_t size) {
    if (Fail(kRealloc)) {
        errno = ENOMEM;
        return nullptr;
    }
    return Real<decltype(&std::realloc)>(kRealloc)(block, size);
}

#undef REAL

void* const kReplacements[kFunctionCount] = {
    reinterpret_cast<void*>(&FaultCreateFileW),
    reinterpret_cast<void*>(&FaultReadFile),
    reinterpret_cast<void*>(&FaultWriteFile),
    reinterpret_cast<void*>(&FaultGetFileSizeEx),
    reinterpret_cast<void*>(&FaultSetFilePointerEx),
    reinterpret_cast<void*>(&FaultSetFilePointer),
    reinterpret_cast<void*>(&FaultSetEndOfFile),
    reinterpret_cast<void*>(&FaultMoveFileExW),
    reinterpret_cast<void*>(&FaultCreateHardLinkW),
    reinterpret_cast<void*>(&FaultDeleteFileW),
    reinterpret_cast<void*>(&FaultCopyFileW),
    reinterpret_cast<void*>(&FaultGetTempPathW),
    reinterpret_cast<void*>(&FaultCreateDirectoryW),
    reinterpret_cast<void*>(&FaultGetPrivateProfileStringW),
    reinterpret_cast<void*>(&FaultWritePrivateProfileStringW),
    reinterpret_cast<void*>(&FaultRegOpenKeyExW),
    reinterpret_cast<void*>(&FaultRegCreateKeyExW),
    reinterpret_cast<void*>(&FaultRegQueryValueExW),
    reinterpret_cast<void*>(&FaultRegSetValueExW),
    reinterpret_cast<void*>(&FaultOpenPrinterW),
    reinterpret_cast<void*>(&FaultGetPrinterW),
    reinterpret_cast<void*>(&FaultStartDocPrinterW),
    reinterpret_cast<void*>(&FaultStartPagePrinter),
    reinterpret_cast<void*>(&FaultWritePrinter),
    reinterpret_cast<void*>(&FaultEndPagePrinter),
    reinterpret_cast<void*>(&FaultEndDocPrinter),
    reinterpret_cast<void*>(&FaultAddFormW),
    reinterpret_cast<void*>(&FaultDeleteFormW),
    reinterpret_cast<void*>(&FaultGetFormW),
    reinterpret_cast<void*>(&FaultSetFormW),
    reinterpret_cast<void*>(&FaultEnumFormsW),
    reinterpret_cast<void*>(&FaultCreateFontIndirectW),
    reinterpret_cast<void*>(&FaultCreateFontW),
    reinterpret_cast<void*>(&FaultCreateCompatibleDC),
    reinterpret_cast<void*>(&FaultCreateCompatibleBitmap),
    reinterpret_cast<void*>(&FaultCreateDIBSection),
    reinterpret_cast<void*>(&FaultGetDC),
    reinterpret_cast<void*>(&FaultLoadImageW),
    reinterpret_cast<void*>(&FaultLoadBitmapW),
    reinterpret_cast<void*>(&FaultImageListCreate),
    reinterpret_cast<void*>(&FaultCreateWindowExW),
    reinterpret_cast<void*>(&FaultGetOpenFileNameW),
    reinterpret_cast<void*>(&FaultSHGetSpecialFolderPathW),
    reinterpret_cast<void*>(&FaultMalloc),
    reinterpret_cast<void*>(&FaultCalloc),
    reinterpret_cast<void*>(&FaultRealloc),
};

int IndexOf(std::string_view function) {
    for (int i = 0; i < kFunctionCount; ++i) {
        if (function == kFunctions[i].name)
            return i;
    }
    return -1;
}

}  // namespace

std::span<const FallibleFunction> FallibleFunctions() {
    return kFunctions;
}

FaultInjector::FaultInjector(HMODULE module) {
    Arm({}, 0);
    for (int i = 0; i < kFunctionCount; ++i) {
        ImportPatch patch(module, kFunctions[i].dll, kFunctions[i].name, kReplacements[i]);
        if (!patch.ok())
            continue;
        g_state.original[i] = patch.original();
        patches_.push_back(std::move(patch));
    }
}

FaultInjector::~FaultInjector() {
    Disarm();
    while (!patches_.empty())
        patches_.pop_back();
}

std::vector<std::string> FaultInjector::Patched() const {
    std::vector<std::string> names;
    for (const ImportPatch& patch : patches_)
        names.push_back(patch.function());
    return names;
}

bool FaultInjector::Knows(std::string_view function) const {
    for (const ImportPatch& patch : patches_) {
        if (patch.function() == function)
            return true;
    }
    return false;
}

void FaultInjector::Arm(std::string_view function, long k) {
    g_state.armed = -1;
    for (auto& calls : g_state.calls)
        calls = 0;
    g_state.fired = false;
    g_state.armedAt = k;
    g_state.failing = true;
    g_state.armed = k > 0 ? IndexOf(function) : -1;
}

void FaultInjector::Disarm() {
    g_state.failing = false;
}

bool FaultInjector::Fired() const {
    return g_state.fired.load();
}

long FaultInjector::Calls(std::string_view function) const {
    const int index = IndexOf(function);
    return index >= 0 ? g_state.calls[index].load() : 0;
}

std::map<std::string, long> FaultInjector::AllCalls() const {
    std::map<std::string, long> calls;
    for (const ImportPatch& patch : patches_)
        calls[patch.function()] = Calls(patch.function());
    return calls;
}

}  // namespace m450test
