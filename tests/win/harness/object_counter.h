// Counts the GDI, USER and common-control objects one module makes and frees, through its import
// table (Wine's GetGuiResources answers 0): fonts, bitmaps (compatible, DIB sections, loaded
// from files and resources), brushes, memory DCs, window DCs, icons, image lists and windows;
// and the kernel objects it opens: registry keys, file and find handles, activation contexts
// and printer handles. The module keeps one activation context for the process (released at
// process detach): the first it makes is counted as made but not as live; any other is live
// until released.
// Only what the module imports is patched; the rest of the process is not seen.
//
//   m450test::DllObjectCounter counter(GetModuleHandleW(L"M450UI.dll"));
//   const m450test::ObjectCounts before = counter.Counts();
//   ... open and close a sheet ...
//   EXPECT_EQ(counter.Counts().Live(), before.Live()) << counter.Counts().Describe();
#pragma once

#include <windows.h>

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "import_patch.h"

namespace m450test {

enum class ObjectKind {
    Font,
    Bitmap,
    Brush,
    MemoryDC,
    WindowDC,
    Icon,
    ImageList,
    Window,
    RegistryKey,
    File,
    Find,
    ActivationContext,
    Printer
};
inline constexpr size_t kObjectKinds = 13;
const char* ObjectKindName(ObjectKind kind);

struct ObjectCounts {
    std::array<long, kObjectKinds> live{};   // made and not yet freed
    std::array<long, kObjectKinds> made{};   // ever made
    std::array<long, kObjectKinds> freed{};  // freed successfully
    long unknownReleases = 0;  // a free of a handle that is not a live object the module made (twice, or foreign)
    long failedReleases = 0;   // a free the system refused (a bitmap still selected, ...): the object lives on
    long nullReleases = 0;     // a free of a null handle (after a creation that failed): frees nothing

    long Live(ObjectKind kind) const { return live[static_cast<size_t>(kind)]; }
    long Made(ObjectKind kind) const { return made[static_cast<size_t>(kind)]; }
    std::array<long, kObjectKinds> Live() const { return live; }
    // "fonts 2 live (6 made), bitmaps 0 live (14 made), ..., 0 unknown releases"
    std::string Describe() const;
};

class DllObjectCounter {
  public:
    // Patches the module's imports of the creating and freeing calls. One counter at a time.
    explicit DllObjectCounter(HMODULE module);
    ~DllObjectCounter();
    DllObjectCounter(const DllObjectCounter&) = delete;
    DllObjectCounter& operator=(const DllObjectCounter&) = delete;

    bool ok() const { return !patches_.empty(); }
    // "GDI32.dll!CreateFontW", ... for every entry rewritten.
    std::vector<std::string> Patched() const;
    ObjectCounts Counts() const;

  private:
    std::vector<ImportPatch> patches_;
    std::vector<std::string> names_;
};

// Bytes of the process's heaps in busy blocks (HeapWalk over GetProcessHeaps).
size_t HeapBytesInUse();

// The test's own handle of M450UI.dll, loaded from the build's path (the same module the host
// sessions load).
HMODULE PluginModule();
// The test's own handle of the M450UI.dll that the printer "KVL-M450"'s installed driver names
// (in the printer-driver directory), which sessions with SheetOptions::installedDriver load.
HMODULE InstalledPluginModule();

}  // namespace m450test
