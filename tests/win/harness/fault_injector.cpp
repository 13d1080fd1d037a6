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

// Every function the injector can make fail, once: its id (kId, and FaultId the replacement
// below), the DLL the module imports it from, its name there, its group and what a failed call
// gives. The index, the list FallibleFunctions returns and the replacements are made from it.
#define M450_FALLIBLE_FUNCTIONS(X)                                                                                   \
    X(CreateFileW, "KERNEL32.dll", "CreateFileW", "file", "INVALID_HANDLE_VALUE, ERROR_ACCESS_DENIED")               \
    X(ReadFile, "KERNEL32.dll", "ReadFile", "file", "FALSE, ERROR_READ_FAULT, nothing read")                         \
    X(WriteFile, "KERNEL32.dll", "WriteFile", "file", "FALSE, ERROR_DISK_FULL, nothing written")                     \
    X(GetFileSizeEx, "KERNEL32.dll", "GetFileSizeEx", "file", "FALSE, ERROR_ACCESS_DENIED")                          \
    X(SetFilePointerEx, "KERNEL32.dll", "SetFilePointerEx", "file", "FALSE, ERROR_INVALID_PARAMETER")                \
    X(SetFilePointer, "KERNEL32.dll", "SetFilePointer", "file", "INVALID_SET_FILE_POINTER, ERROR_INVALID_PARAMETER") \
    X(SetEndOfFile, "KERNEL32.dll", "SetEndOfFile", "file", "FALSE, ERROR_DISK_FULL")                                \
    X(MoveFileExW, "KERNEL32.dll", "MoveFileExW", "file", "FALSE, ERROR_ACCESS_DENIED")                              \
    X(CreateHardLinkW, "KERNEL32.dll", "CreateHardLinkW", "file", "FALSE, ERROR_ACCESS_DENIED")                      \
    X(DeleteFileW, "KERNEL32.dll", "DeleteFileW", "file", "FALSE, ERROR_ACCESS_DENIED")                              \
    X(CopyFileW, "KERNEL32.dll", "CopyFileW", "file", "FALSE, ERROR_DISK_FULL")                                      \
    X(GetTempPathW, "KERNEL32.dll", "GetTempPathW", "file", "0, ERROR_PATH_NOT_FOUND")                               \
    X(CreateDirectoryW, "KERNEL32.dll", "CreateDirectoryW", "file", "FALSE, ERROR_ACCESS_DENIED")                    \
    X(GetPrivateProfileStringW, "KERNEL32.dll", "GetPrivateProfileStringW", "profile",                               \
      "the default copied, ERROR_FILE_NOT_FOUND")                                                                    \
    X(WritePrivateProfileStringW, "KERNEL32.dll", "WritePrivateProfileStringW", "profile",                           \
      "FALSE, ERROR_ACCESS_DENIED")                                                                                  \
    X(RegOpenKeyExW, "ADVAPI32.dll", "RegOpenKeyExW", "registry", "ERROR_ACCESS_DENIED")                             \
    X(RegCreateKeyExW, "ADVAPI32.dll", "RegCreateKeyExW", "registry", "ERROR_ACCESS_DENIED")                         \
    X(RegQueryValueExW, "ADVAPI32.dll", "RegQueryValueExW", "registry", "ERROR_ACCESS_DENIED")                       \
    X(RegSetValueExW, "ADVAPI32.dll", "RegSetValueExW", "registry", "ERROR_ACCESS_DENIED")                           \
    X(OpenPrinterW, "WINSPOOL.DRV", "OpenPrinterW", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE")                    \
    X(GetPrinterW, "WINSPOOL.DRV", "GetPrinterW", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE")                      \
    X(StartDocPrinterW, "WINSPOOL.DRV", "StartDocPrinterW", "spooler", "0, RPC_S_SERVER_UNAVAILABLE")                \
    X(StartPagePrinter, "WINSPOOL.DRV", "StartPagePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE")            \
    X(WritePrinter, "WINSPOOL.DRV", "WritePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE, nothing written")   \
    X(EndPagePrinter, "WINSPOOL.DRV", "EndPagePrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE")                \
    X(EndDocPrinter, "WINSPOOL.DRV", "EndDocPrinter", "spooler", "FALSE, RPC_S_SERVER_UNAVAILABLE")                  \
    X(AddFormW, "WINSPOOL.DRV", "AddFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE")                              \
    X(DeleteFormW, "WINSPOOL.DRV", "DeleteFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE")                        \
    X(GetFormW, "WINSPOOL.DRV", "GetFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE")                              \
    X(SetFormW, "WINSPOOL.DRV", "SetFormW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE")                              \
    X(EnumFormsW, "WINSPOOL.DRV", "EnumFormsW", "forms", "FALSE, RPC_S_SERVER_UNAVAILABLE, none returned")           \
    X(CreateFontIndirectW, "GDI32.dll", "CreateFontIndirectW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")               \
    X(CreateFontW, "GDI32.dll", "CreateFontW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")                               \
    X(CreateCompatibleDC, "GDI32.dll", "CreateCompatibleDC", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")                 \
    X(CreateCompatibleBitmap, "GDI32.dll", "CreateCompatibleBitmap", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")         \
    X(CreateDIBSection, "GDI32.dll", "CreateDIBSection", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY, no bits")            \
    X(GetDC, "USER32.dll", "GetDC", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")                                          \
    X(LoadImageW, "USER32.dll", "LoadImageW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")                                \
    X(LoadBitmapW, "USER32.dll", "LoadBitmapW", "gdi", "NULL, ERROR_NOT_ENOUGH_MEMORY")                              \
    X(ImageListCreate, "COMCTL32.dll", "ImageList_Create", "gdi", "NULL")                                            \
    X(CreateWindowExW, "USER32.dll", "CreateWindowExW", "user", "NULL, ERROR_NOT_ENOUGH_MEMORY")                     \
    X(GetOpenFileNameW, "comdlg32.dll", "GetOpenFileNameW", "dialog", "FALSE (as when the user cancels)")            \
    X(SHGetSpecialFolderPathW, "SHELL32.dll", "SHGetSpecialFolderPathW", "shell", "FALSE")                           \
    X(Malloc, "msvcrt.dll", "malloc", "memory", "NULL, errno ENOMEM")                                                \
    X(Calloc, "msvcrt.dll", "calloc", "memory", "NULL, errno ENOMEM")                                                \
    X(Realloc, "msvcrt.dll", "realloc", "memory", "NULL, errno ENOMEM, the block kept")

enum Function : int {
#define M450_INDEX(id, dll, name, group, failure) k##id,
    M450_FALLIBLE_FUNCTIONS(M450_INDEX)
#undef M450_INDEX
        kFunctionCount
};

constexpr FallibleFunction kFunctions[kFunctionCount] = {
#define M450_ENTRY(id, dll, name, group, failure) {dll, name, group, failure},
    M450_FALLIBLE_FUNCTIONS(M450_ENTRY)
#undef M450_ENTRY
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
#define M450_REPLACEMENT(id, dll, name, group, failure) reinterpret_cast<void*>(&Fault##id),
    M450_FALLIBLE_FUNCTIONS(M450_REPLACEMENT)
#undef M450_REPLACEMENT
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
