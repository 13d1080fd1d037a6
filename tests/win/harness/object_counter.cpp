#include "object_counter.h"

#include <commctrl.h>

#include <winspool.h>

#include <atomic>
#include <map>
#include <mutex>
#include <set>

#include "host_core.h"

namespace m450test {
namespace {

// The live objects by handle (a window DC may be handed out twice: counted per hand-out).
struct Ledger {
    std::mutex lock;
    std::array<std::map<void*, long>, kObjectKinds> live;
    ObjectCounts counts;

    void Made(ObjectKind kind, void* handle) {
        if (handle == nullptr)
            return;
        std::lock_guard<std::mutex> hold(lock);
        ++live[static_cast<size_t>(kind)][handle];
        ++counts.made[static_cast<size_t>(kind)];
    }
    // Which kind a handle freed by DeleteObject was; nullopt-like -1 when it is not ours.
    int KindOf(void* handle, std::initializer_list<ObjectKind> kinds) {
        std::lock_guard<std::mutex> hold(lock);
        for (ObjectKind kind : kinds) {
            if (live[static_cast<size_t>(kind)].count(handle) != 0)
                return static_cast<int>(kind);
        }
        return -1;
    }
    void Freed(int kind, void* handle, bool succeeded) {
        std::lock_guard<std::mutex> hold(lock);
        if (handle == nullptr) {  // after a creation that failed: frees nothing
            ++counts.nullReleases;
            return;
        }
        if (kind < 0) {
            ++counts.unknownReleases;
            return;
        }
        if (!succeeded) {
            ++counts.failedReleases;
            return;
        }
        auto& handles = live[static_cast<size_t>(kind)];
        auto found = handles.find(handle);
        if (found == handles.end()) {
            ++counts.unknownReleases;
            return;
        }
        if (--found->second == 0)
            handles.erase(found);
        ++counts.freed[static_cast<size_t>(kind)];
    }
    // An object the module keeps for the life of the process: made, but not counted as live.
    void Keep(ObjectKind kind, void* handle) {
        std::lock_guard<std::mutex> hold(lock);
        auto& handles = live[static_cast<size_t>(kind)];
        auto found = handles.find(handle);
        if (found != handles.end() && --found->second == 0)
            handles.erase(found);
    }
};

Ledger& TheLedger() {
    static Ledger* ledger = new Ledger;  // outlives every wrapper call, also at process exit
    return *ledger;
}

// A handle made by the module, entered as live (a failed creation's null is not).
template <typename Handle>
Handle Counted(ObjectKind kind, Handle made) {
    TheLedger().Made(kind, made);
    return made;
}

// A free through `release` of a handle of one of `kinds`: entered when it succeeded.
template <typename Handle, typename Release>
auto Released(Handle handle, std::initializer_list<ObjectKind> kinds, Release release) {
    const int kind = TheLedger().KindOf(handle, kinds);
    const auto done = release();
    TheLedger().Freed(kind, handle, done != 0);
    return done;
}

// The functions the wrappers call: what the import entries held before.
struct Originals {
    decltype(&CreateFontIndirectW) createFontIndirectW = nullptr;
    decltype(&CreateFontW) createFontW = nullptr;
    decltype(&CreateCompatibleBitmap) createCompatibleBitmap = nullptr;
    decltype(&CreateDIBSection) createDIBSection = nullptr;
    decltype(&CreateBitmap) createBitmap = nullptr;
    decltype(&CreateDIBitmap) createDIBitmap = nullptr;
    decltype(&CreateSolidBrush) createSolidBrush = nullptr;
    decltype(&CreatePatternBrush) createPatternBrush = nullptr;
    decltype(&CreatePen) createPen = nullptr;
    decltype(&CreateCompatibleDC) createCompatibleDC = nullptr;
    decltype(&DeleteDC) deleteDC = nullptr;
    decltype(&DeleteObject) deleteObject = nullptr;
    decltype(&GetDC) getDC = nullptr;
    decltype(&GetWindowDC) getWindowDC = nullptr;
    decltype(&ReleaseDC) releaseDC = nullptr;
    decltype(&LoadImageW) loadImageW = nullptr;
    decltype(&LoadBitmapW) loadBitmapW = nullptr;
    decltype(&LoadIconW) loadIconW = nullptr;
    decltype(&CopyImage) copyImage = nullptr;
    decltype(&CreateIconIndirect) createIconIndirect = nullptr;
    decltype(&DestroyIcon) destroyIcon = nullptr;
    decltype(&ImageList_Create) imageListCreate = nullptr;
    decltype(&ImageList_Destroy) imageListDestroy = nullptr;
    decltype(&CreateWindowExW) createWindowExW = nullptr;
    decltype(&DestroyWindow) destroyWindow = nullptr;
    decltype(&RegOpenKeyExW) regOpenKeyExW = nullptr;
    decltype(&RegCreateKeyExW) regCreateKeyExW = nullptr;
    decltype(&RegCloseKey) regCloseKey = nullptr;
    decltype(&CreateFileW) createFileW = nullptr;
    decltype(&CloseHandle) closeHandle = nullptr;
    decltype(&FindFirstFileW) findFirstFileW = nullptr;
    decltype(&FindClose) findClose = nullptr;
    decltype(&CreateActCtxW) createActCtxW = nullptr;
    decltype(&ReleaseActCtx) releaseActCtx = nullptr;
    decltype(&OpenPrinterW) openPrinterW = nullptr;
    decltype(&ClosePrinter) closePrinter = nullptr;
};
Originals g_real;

HFONT WINAPI CountCreateFontIndirectW(const LOGFONTW* font) {
    return Counted(ObjectKind::Font, g_real.createFontIndirectW(font));
}

HFONT WINAPI CountCreateFontW(int height,
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
    return Counted(ObjectKind::Font,
                   g_real.createFontW(height, width, escapement, orientation, weight, italic, underline, strikeOut,
                                      charSet, precision, clip, quality, pitch, face));
}

HBITMAP WINAPI CountCreateCompatibleBitmap(HDC dc, int width, int height) {
    return Counted(ObjectKind::Bitmap, g_real.createCompatibleBitmap(dc, width, height));
}

HBITMAP WINAPI
CountCreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset) {
    return Counted(ObjectKind::Bitmap, g_real.createDIBSection(dc, info, usage, bits, section, offset));
}

HBITMAP WINAPI CountCreateBitmap(int width, int height, UINT planes, UINT bitCount, const void* bits) {
    return Counted(ObjectKind::Bitmap, g_real.createBitmap(width, height, planes, bitCount, bits));
}

HBITMAP WINAPI CountCreateDIBitmap(HDC dc,
                                   const BITMAPINFOHEADER* header,
                                   DWORD init,
                                   const void* bits,
                                   const BITMAPINFO* info,
                                   UINT usage) {
    return Counted(ObjectKind::Bitmap, g_real.createDIBitmap(dc, header, init, bits, info, usage));
}

HBRUSH WINAPI CountCreateSolidBrush(COLORREF color) {
    return Counted(ObjectKind::Brush, g_real.createSolidBrush(color));
}

HBRUSH WINAPI CountCreatePatternBrush(HBITMAP bitmap) {
    return Counted(ObjectKind::Brush, g_real.createPatternBrush(bitmap));
}

// Pens are rare enough to share the brushes' count.
HPEN WINAPI CountCreatePen(int style, int width, COLORREF color) {
    return Counted(ObjectKind::Brush, g_real.createPen(style, width, color));
}

HDC WINAPI CountCreateCompatibleDC(HDC dc) {
    return Counted(ObjectKind::MemoryDC, g_real.createCompatibleDC(dc));
}

BOOL WINAPI CountDeleteDC(HDC dc) {
    return Released(dc, {ObjectKind::MemoryDC}, [&] { return g_real.deleteDC(dc); });
}

BOOL WINAPI CountDeleteObject(HGDIOBJ object) {
    return Released(object, {ObjectKind::Font, ObjectKind::Bitmap, ObjectKind::Brush},
                    [&] { return g_real.deleteObject(object); });
}

HDC WINAPI CountGetDC(HWND window) {
    return Counted(ObjectKind::WindowDC, g_real.getDC(window));
}

HDC WINAPI CountGetWindowDC(HWND window) {
    return Counted(ObjectKind::WindowDC, g_real.getWindowDC(window));
}

int WINAPI CountReleaseDC(HWND window, HDC dc) {
    return Released(dc, {ObjectKind::WindowDC}, [&] { return g_real.releaseDC(window, dc); });
}

// A shared image belongs to the system and is never freed by its user: not counted.
HANDLE WINAPI CountLoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    const HANDLE image = g_real.loadImageW(instance, name, type, width, height, flags);
    if ((flags & LR_SHARED) == 0)
        TheLedger().Made(type == IMAGE_BITMAP ? ObjectKind::Bitmap : ObjectKind::Icon, image);
    return image;
}

HBITMAP WINAPI CountLoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return Counted(ObjectKind::Bitmap, g_real.loadBitmapW(instance, name));
}

HANDLE WINAPI CountCopyImage(HANDLE image, UINT type, int width, int height, UINT flags) {
    const HANDLE copy = g_real.copyImage(image, type, width, height, flags);
    if (copy != image)
        TheLedger().Made(type == IMAGE_BITMAP ? ObjectKind::Bitmap : ObjectKind::Icon, copy);
    return copy;
}

HICON WINAPI CountCreateIconIndirect(PICONINFO info) {
    return Counted(ObjectKind::Icon, g_real.createIconIndirect(info));
}

BOOL WINAPI CountDestroyIcon(HICON icon) {
    return Released(icon, {ObjectKind::Icon}, [&] { return g_real.destroyIcon(icon); });
}

HIMAGELIST WINAPI CountImageListCreate(int width, int height, UINT flags, int initial, int grow) {
    return Counted(ObjectKind::ImageList, g_real.imageListCreate(width, height, flags, initial, grow));
}

BOOL WINAPI CountImageListDestroy(HIMAGELIST list) {
    return Released(list, {ObjectKind::ImageList}, [&] { return g_real.imageListDestroy(list); });
}

HWND WINAPI CountCreateWindowExW(DWORD exStyle,
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
    const HWND window =
        g_real.createWindowExW(exStyle, windowClass, name, style, x, y, width, height, parent, menu, instance, param);
    TheLedger().Made(ObjectKind::Window, window);
    return window;
}

// Windows also end with their parent, without a call of the module: a window counts as live
// while it exists (see Counts); only a DestroyWindow of one of ours is entered here.
BOOL WINAPI CountDestroyWindow(HWND window) {
    const int kind = TheLedger().KindOf(window, {ObjectKind::Window});
    const BOOL done = g_real.destroyWindow(window);
    if (kind >= 0)
        TheLedger().Freed(kind, window, done != FALSE);
    return done;
}

// Kernel objects. A key or handle is entered only when the call succeeded.
LSTATUS WINAPI CountRegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    const LSTATUS status = g_real.regOpenKeyExW(key, subKey, options, access, result);
    if (status == ERROR_SUCCESS && result != nullptr)
        TheLedger().Made(ObjectKind::RegistryKey, *result);
    return status;
}

LSTATUS WINAPI CountRegCreateKeyExW(HKEY key,
                                    LPCWSTR subKey,
                                    DWORD reserved,
                                    LPWSTR keyClass,
                                    DWORD options,
                                    REGSAM access,
                                    const LPSECURITY_ATTRIBUTES security,
                                    PHKEY result,
                                    LPDWORD disposition) {
    const LSTATUS status =
        g_real.regCreateKeyExW(key, subKey, reserved, keyClass, options, access, security, result, disposition);
    if (status == ERROR_SUCCESS && result != nullptr)
        TheLedger().Made(ObjectKind::RegistryKey, *result);
    return status;
}

LSTATUS WINAPI CountRegCloseKey(HKEY key) {
    const int kind = TheLedger().KindOf(key, {ObjectKind::RegistryKey});
    const LSTATUS status = g_real.regCloseKey(key);
    TheLedger().Freed(kind, key, status == ERROR_SUCCESS);
    return status;
}

HANDLE WINAPI CountCreateFileW(LPCWSTR name,
                               DWORD access,
                               DWORD share,
                               LPSECURITY_ATTRIBUTES security,
                               DWORD disposition,
                               DWORD flags,
                               HANDLE templateFile) {
    const HANDLE file = g_real.createFileW(name, access, share, security, disposition, flags, templateFile);
    if (file != INVALID_HANDLE_VALUE)
        TheLedger().Made(ObjectKind::File, file);
    return file;
}

// CloseHandle also ends handles this counter does not follow (the runtime's own): only a close of
// a file handle of the module is entered.
BOOL WINAPI CountCloseHandle(HANDLE handle) {
    const int kind = TheLedger().KindOf(handle, {ObjectKind::File});
    const BOOL done = g_real.closeHandle(handle);
    if (kind >= 0)
        TheLedger().Freed(kind, handle, done != FALSE);
    return done;
}

HANDLE WINAPI CountFindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    const HANDLE find = g_real.findFirstFileW(pattern, data);
    if (find != INVALID_HANDLE_VALUE)
        TheLedger().Made(ObjectKind::Find, find);
    return find;
}

BOOL WINAPI CountFindClose(HANDLE find) {
    return Released(find, {ObjectKind::Find}, [&] { return g_real.findClose(find); });
}

// The module's first context is its own for the life of the process.
std::atomic<bool> g_moduleContextSeen{false};

HANDLE WINAPI CountCreateActCtxW(PCACTCTXW request) {
    const HANDLE context = g_real.createActCtxW(request);
    if (context == INVALID_HANDLE_VALUE)
        return context;
    TheLedger().Made(ObjectKind::ActivationContext, context);
    if (!g_moduleContextSeen.exchange(true))
        TheLedger().Keep(ObjectKind::ActivationContext, context);
    return context;
}

void WINAPI CountReleaseActCtx(HANDLE context) {
    const int kind = TheLedger().KindOf(context, {ObjectKind::ActivationContext});
    g_real.releaseActCtx(context);
    TheLedger().Freed(kind, context, true);
}

BOOL WINAPI CountOpenPrinterW(LPWSTR name, LPHANDLE printer, LPPRINTER_DEFAULTSW defaults) {
    const BOOL opened = g_real.openPrinterW(name, printer, defaults);
    if (opened && printer != nullptr)
        TheLedger().Made(ObjectKind::Printer, *printer);
    return opened;
}

BOOL WINAPI CountClosePrinter(HANDLE printer) {
    return Released(printer, {ObjectKind::Printer}, [&] { return g_real.closePrinter(printer); });
}

struct Wrapper {
    const char* dll;
    const char* function;
    void* replacement;
    void** original;
};

template <typename Function>
void** Slot(Function* pointer) {
    return reinterpret_cast<void**>(pointer);
}

const Wrapper kWrappers[] = {
    {"GDI32.dll", "CreateFontIndirectW", reinterpret_cast<void*>(&CountCreateFontIndirectW),
     Slot(&g_real.createFontIndirectW)},
    {"GDI32.dll", "CreateFontW", reinterpret_cast<void*>(&CountCreateFontW), Slot(&g_real.createFontW)},
    {"GDI32.dll", "CreateCompatibleBitmap", reinterpret_cast<void*>(&CountCreateCompatibleBitmap),
     Slot(&g_real.createCompatibleBitmap)},
    {"GDI32.dll", "CreateDIBSection", reinterpret_cast<void*>(&CountCreateDIBSection), Slot(&g_real.createDIBSection)},
    {"GDI32.dll", "CreateBitmap", reinterpret_cast<void*>(&CountCreateBitmap), Slot(&g_real.createBitmap)},
    {"GDI32.dll", "CreateDIBitmap", reinterpret_cast<void*>(&CountCreateDIBitmap), Slot(&g_real.createDIBitmap)},
    {"GDI32.dll", "CreateSolidBrush", reinterpret_cast<void*>(&CountCreateSolidBrush), Slot(&g_real.createSolidBrush)},
    {"GDI32.dll", "CreatePatternBrush", reinterpret_cast<void*>(&CountCreatePatternBrush),
     Slot(&g_real.createPatternBrush)},
    {"GDI32.dll", "CreatePen", reinterpret_cast<void*>(&CountCreatePen), Slot(&g_real.createPen)},
    {"GDI32.dll", "CreateCompatibleDC", reinterpret_cast<void*>(&CountCreateCompatibleDC),
     Slot(&g_real.createCompatibleDC)},
    {"GDI32.dll", "DeleteDC", reinterpret_cast<void*>(&CountDeleteDC), Slot(&g_real.deleteDC)},
    {"GDI32.dll", "DeleteObject", reinterpret_cast<void*>(&CountDeleteObject), Slot(&g_real.deleteObject)},
    {"USER32.dll", "GetDC", reinterpret_cast<void*>(&CountGetDC), Slot(&g_real.getDC)},
    {"USER32.dll", "GetWindowDC", reinterpret_cast<void*>(&CountGetWindowDC), Slot(&g_real.getWindowDC)},
    {"USER32.dll", "ReleaseDC", reinterpret_cast<void*>(&CountReleaseDC), Slot(&g_real.releaseDC)},
    {"USER32.dll", "LoadImageW", reinterpret_cast<void*>(&CountLoadImageW), Slot(&g_real.loadImageW)},
    {"USER32.dll", "LoadBitmapW", reinterpret_cast<void*>(&CountLoadBitmapW), Slot(&g_real.loadBitmapW)},
    {"USER32.dll", "CopyImage", reinterpret_cast<void*>(&CountCopyImage), Slot(&g_real.copyImage)},
    {"USER32.dll", "CreateIconIndirect", reinterpret_cast<void*>(&CountCreateIconIndirect),
     Slot(&g_real.createIconIndirect)},
    {"USER32.dll", "DestroyIcon", reinterpret_cast<void*>(&CountDestroyIcon), Slot(&g_real.destroyIcon)},
    {"COMCTL32.dll", "ImageList_Create", reinterpret_cast<void*>(&CountImageListCreate), Slot(&g_real.imageListCreate)},
    {"COMCTL32.dll", "ImageList_Destroy", reinterpret_cast<void*>(&CountImageListDestroy),
     Slot(&g_real.imageListDestroy)},
    {"USER32.dll", "CreateWindowExW", reinterpret_cast<void*>(&CountCreateWindowExW), Slot(&g_real.createWindowExW)},
    {"USER32.dll", "DestroyWindow", reinterpret_cast<void*>(&CountDestroyWindow), Slot(&g_real.destroyWindow)},
    {"ADVAPI32.dll", "RegOpenKeyExW", reinterpret_cast<void*>(&CountRegOpenKeyExW), Slot(&g_real.regOpenKeyExW)},
    {"ADVAPI32.dll", "RegCreateKeyExW", reinterpret_cast<void*>(&CountRegCreateKeyExW), Slot(&g_real.regCreateKeyExW)},
    {"ADVAPI32.dll", "RegCloseKey", reinterpret_cast<void*>(&CountRegCloseKey), Slot(&g_real.regCloseKey)},
    {"KERNEL32.dll", "CreateFileW", reinterpret_cast<void*>(&CountCreateFileW), Slot(&g_real.createFileW)},
    {"KERNEL32.dll", "CloseHandle", reinterpret_cast<void*>(&CountCloseHandle), Slot(&g_real.closeHandle)},
    {"KERNEL32.dll", "FindFirstFileW", reinterpret_cast<void*>(&CountFindFirstFileW), Slot(&g_real.findFirstFileW)},
    {"KERNEL32.dll", "FindClose", reinterpret_cast<void*>(&CountFindClose), Slot(&g_real.findClose)},
    {"KERNEL32.dll", "CreateActCtxW", reinterpret_cast<void*>(&CountCreateActCtxW), Slot(&g_real.createActCtxW)},
    {"KERNEL32.dll", "ReleaseActCtx", reinterpret_cast<void*>(&CountReleaseActCtx), Slot(&g_real.releaseActCtx)},
    {"WINSPOOL.DRV", "OpenPrinterW", reinterpret_cast<void*>(&CountOpenPrinterW), Slot(&g_real.openPrinterW)},
    {"WINSPOOL.DRV", "ClosePrinter", reinterpret_cast<void*>(&CountClosePrinter), Slot(&g_real.closePrinter)},
};

constexpr const char* kKindNames[kObjectKinds] = {
    "fonts",   "bitmaps",       "brushes",      "memory DCs",   "window DCs",          "icons",          "image lists",
    "windows", "registry keys", "file handles", "find handles", "activation contexts", "printer handles"};

}  // namespace

const char* ObjectKindName(ObjectKind kind) {
    return kKindNames[static_cast<size_t>(kind)];
}

std::string ObjectCounts::Describe() const {
    std::string text;
    for (size_t i = 0; i < kObjectKinds; ++i) {
        text += std::string(kKindNames[i]) + " " + std::to_string(live[i]) + " live (" + std::to_string(made[i]) +
                " made), ";
    }
    text += std::to_string(unknownReleases) + " unknown releases, " + std::to_string(failedReleases) +
            " refused releases, " + std::to_string(nullReleases) + " releases of no object";
    return text;
}

DllObjectCounter::DllObjectCounter(HMODULE module) {
    for (const Wrapper& wrapper : kWrappers) {
        ImportPatch patch(module, wrapper.dll, wrapper.function, wrapper.replacement);
        if (!patch.ok())
            continue;
        *wrapper.original = patch.original();
        names_.push_back(std::string(wrapper.dll) + "!" + wrapper.function);
        patches_.push_back(std::move(patch));
    }
}

DllObjectCounter::~DllObjectCounter() {
    while (!patches_.empty())
        patches_.pop_back();  // the last made first
}

std::vector<std::string> DllObjectCounter::Patched() const {
    return names_;
}

ObjectCounts DllObjectCounter::Counts() const {
    Ledger& ledger = TheLedger();
    std::lock_guard<std::mutex> hold(ledger.lock);
    // A window made by the module is live while it exists, however it ended.
    auto& windows = ledger.live[static_cast<size_t>(ObjectKind::Window)];
    for (auto it = windows.begin(); it != windows.end();) {
        if (!IsWindow(static_cast<HWND>(it->first))) {
            ++ledger.counts.freed[static_cast<size_t>(ObjectKind::Window)];
            it = windows.erase(it);
        } else {
            ++it;
        }
    }
    ObjectCounts counts = ledger.counts;
    for (size_t i = 0; i < kObjectKinds; ++i) {
        long live = 0;
        for (const auto& [handle, times] : ledger.live[i])
            live += times;
        counts.live[i] = live;
    }
    return counts;
}

size_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(64);
    DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
    if (count > heaps.size()) {
        heaps.resize(count);
        count = GetProcessHeaps(count, heaps.data());
    }
    size_t bytes = 0;
    for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0)
                bytes += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

HMODULE PluginModule() {
    static const HMODULE module = LoadLibraryW(m450host::WindowsPath(M450UI_DLL_PATH).c_str());
    return module;
}

HMODULE InstalledPluginModule() {
    static const HMODULE module = [] {
        std::wstring name = m450host::kDefaultPrinterName;
        HANDLE printer = nullptr;
        if (!OpenPrinterW(name.data(), &printer, nullptr))
            return HMODULE{};
        m450host::InstalledDriverFiles files;
        std::wstring error;
        const bool found = m450host::FindInstalledDriverFiles(printer, &files, &error);
        ClosePrinter(printer);
        return found ? LoadLibraryW(files.plugin.c_str()) : HMODULE{};
    }();
    return module;
}

}  // namespace m450test
