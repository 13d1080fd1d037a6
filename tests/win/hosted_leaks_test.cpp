// The DLL hosted for hours: sheets opened, every page visited and closed, over and over, in one
// process. The objects M450UI.dll makes (fonts, bitmaps, DCs, icons, image lists, windows) and
// the kernel objects it opens (registry keys, file and find handles, activation contexts, printer
// handles) are counted through its import table, since Wine's GetGuiResources answers 0; after
// every close each kind is back at its count before the open, and the process's heap does not
// grow.
// The plug-in object itself is made and released ten thousand times.
#include <gtest/gtest.h>

#include <windows.h>
#include <unknwn.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "harness.h"
#include "logo_test_images.h"
#include "page_test.h"
#include "sheet_tour.h"

namespace {

using m450host::SheetKind;
using m450test::DllObjectCounter;
using m450test::ObjectCounts;
using m450test::ObjectKind;
using m450test::SheetDriver;

// Cycles of both sheets; the heap is compared between the end of kSettledCycle and the last.
constexpr int kDefaultCycles = 100;
constexpr int kSettledCycle = 10;
// 90 cycles grew the heap by 36,720 bytes (Wine 8, x64); a leak of more than about 300 bytes a
// cycle fails.
constexpr size_t kHeapGrowthLimit = 64 * 1024;

// {ABCE80D7-9F46-11D1-882A-00C04FB961EC}, the plug-in's class as the driver's set-up file names it.
constexpr CLSID kPluginClass = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

class HostedLeaks : public m450test::PageTest {};

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

void PrintCounts(const char* when, const ObjectCounts& counts) {
    std::printf("%s: %s\n", when, counts.Describe().c_str());
}

// M450_HOSTED_CYCLES=<n> runs fewer or more cycles (at least the settled cycle's), for a quick look.
int Cycles() {
    wchar_t value[16] = {};
    if (GetEnvironmentVariableW(L"M450_HOSTED_CYCLES", value, 16) == 0)
        return kDefaultCycles;
    return std::max(static_cast<int>(std::wcstol(value, nullptr, 10)), kSettledCycle);
}

TEST_F(HostedLeaks, HundredCyclesOfBothSheetsLeaveNothingBehind) {
    const int cycles = Cycles();
    m450test::ScratchFolder folder(L"m450-hosted");
    const std::wstring logo = folder.Write(L"logo.bmp", m450::test::PhotoLikeBitmap24(1024, 768));
    const std::wstring picture = folder.Write(L"mark.bmp", m450::test::PhotoLikeBitmap24(200, 150));
    m450test::SheetOptions document;
    document.installedDriver = true;
    m450test::SheetOptions device;
    device.installedDriver = true;
    document.storedRecord = m450test::RecordWithImageWatermark(picture);
    ASSERT_FALSE(document.storedRecord->empty());

    ASSERT_NE(m450test::InstalledPluginModule(), nullptr);
    DllObjectCounter counter(m450test::InstalledPluginModule());
    ASSERT_TRUE(counter.ok());
    std::string patched;
    for (const std::string& name : counter.Patched())
        patched += name + " ";
    std::printf("patched %zu imports: %s\n", counter.Patched().size(), patched.c_str());

    size_t settledHeap = 0;
    size_t lastHeap = 0;
    ObjectCounts after;
    for (int cycle = 1; cycle <= cycles; ++cycle) {
        const bool confirm = cycle % 2 == 1;  // OK, then Cancel, in turn
        for (const SheetKind kind : {SheetKind::Document, SheetKind::Device}) {
            const ObjectCounts before = counter.Counts();
            {
                SheetDriver sheet(kind, kind == SheetKind::Document ? document : device);
                ASSERT_TRUE(sheet.ok()) << Narrow(sheet.error());
                const bool toured = kind == SheetKind::Document ? m450test::TourDocumentSheet(sheet, confirm)
                                                                : m450test::TourDeviceSheet(sheet, logo);
                ASSERT_TRUE(toured) << "cycle " << cycle << (kind == SheetKind::Document ? " document" : " device");
                ASSERT_TRUE(confirm ? sheet.PressOk() : sheet.PressCancel()) << "cycle " << cycle;
            }
            after = counter.Counts();
            ASSERT_EQ(after.Live(), before.Live())
                << "cycle " << cycle << (kind == SheetKind::Document ? " document" : " device") << "\nbefore "
                << before.Describe() << "\nafter  " << after.Describe();
            ASSERT_EQ(after.unknownReleases, 0) << after.Describe();
            ASSERT_EQ(after.failedReleases, 0) << after.Describe();
        }
        if (cycle == 1)
            PrintCounts("after cycle 1", after);
        if (cycle == kSettledCycle)
            settledHeap = m450test::HeapBytesInUse();
    }
    lastHeap = m450test::HeapBytesInUse();
    PrintCounts("after the last cycle", after);
    std::printf("heap in use: %zu bytes after cycle %d, %zu after cycle %d (%+lld)\n", settledHeap, kSettledCycle,
                lastHeap, cycles, static_cast<long long>(lastHeap) - static_cast<long long>(settledHeap));
    // Every kind the tour makes was made, or the counting saw nothing.
    for (const ObjectKind kind : {ObjectKind::Font, ObjectKind::Bitmap, ObjectKind::MemoryDC, ObjectKind::WindowDC,
                                  ObjectKind::Icon, ObjectKind::ImageList, ObjectKind::RegistryKey})
        EXPECT_GE(after.Made(kind), cycles) << m450test::ObjectKindName(kind);
    EXPECT_LT(lastHeap, settledHeap + kHeapGrowthLimit);
    // The module's one activation context, made at the first sheet and kept.
    EXPECT_EQ(after.Made(ObjectKind::ActivationContext), 1);
}

TEST(HostedPluginObjects, TenThousandMadeAndReleasedLeaveTheDllUnloadable) {
    const HMODULE dll = m450test::InstalledPluginModule();
    ASSERT_NE(dll, nullptr);
    using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
    const auto getClassObject =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
    const auto canUnloadNow =
        reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
    ASSERT_NE(getClassObject, nullptr);
    ASSERT_NE(canUnloadNow, nullptr);
    ASSERT_EQ(canUnloadNow(), S_OK);

    DllObjectCounter counter(dll);
    const ObjectCounts before = counter.Counts();
    size_t heapAfterFirst = 0;
    for (int round = 1; round <= 10000; ++round) {
        IClassFactory* factory = nullptr;
        ASSERT_EQ(getClassObject(kPluginClass, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        IUnknown* plugin = nullptr;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&plugin)), S_OK);
        factory->Release();
        ASSERT_EQ(plugin->Release(), 0u) << "round " << round;
        if (round == 100)
            heapAfterFirst = m450test::HeapBytesInUse();
    }
    const size_t heapAfterAll = m450test::HeapBytesInUse();
    EXPECT_EQ(canUnloadNow(), S_OK);
    EXPECT_EQ(counter.Counts().Live(), before.Live()) << counter.Counts().Describe();
    EXPECT_EQ(counter.Counts().made, before.made) << counter.Counts().Describe();
    std::printf("heap in use: %zu bytes after 100 rounds, %zu after 10000 (%+lld)\n", heapAfterFirst, heapAfterAll,
                static_cast<long long>(heapAfterAll) - static_cast<long long>(heapAfterFirst));
    EXPECT_LT(heapAfterAll, heapAfterFirst + 64 * 1024);
}

}  // namespace
