// M450UI.dll as the driver's UI core meets it: loaded by its full path, reached only through
// DllGetClassObject and DllCanUnloadNow, then driven through IPrintOemUI.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "core/devmode.h"
#include "object_counter.h"
#include "sheet_driver.h"
#include "platform/printoem.h"

namespace {

using m450::kDevModeSize;
using m450::kPlugInSignature;
using m450::PlugInDevMode;

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFunction = HRESULT(STDAPICALLTYPE*)();

struct PluginDll {
    HMODULE module = nullptr;
    GetClassObjectFunction getClassObject = nullptr;
    CanUnloadNowFunction canUnloadNow = nullptr;
};

const PluginDll& Dll() {
    static const PluginDll dll = [] {
        PluginDll d;
        d.module = m450test::PluginModule();
        if (d.module != nullptr) {
            d.getClassObject = reinterpret_cast<GetClassObjectFunction>(
                reinterpret_cast<void*>(GetProcAddress(d.module, "DllGetClassObject")));
            d.canUnloadNow = reinterpret_cast<CanUnloadNowFunction>(
                reinterpret_cast<void*>(GetProcAddress(d.module, "DllCanUnloadNow")));
        }
        return d;
    }();
    return dll;
}

class PluginContract : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(Dll().module, nullptr) << "M450UI.dll did not load: " << GetLastError();
        ASSERT_NE(Dll().getClassObject, nullptr);
        ASSERT_NE(Dll().canUnloadNow, nullptr);
    }

    static HRESULT CanUnloadNow() { return Dll().canUnloadNow(); }

    static IClassFactory* Factory() {
        void* factory = nullptr;
        EXPECT_EQ(Dll().getClassObject(CLSID_M450UI, IID_IClassFactory, &factory), S_OK);
        return static_cast<IClassFactory*>(factory);
    }

    // One plug-in object, created the way the host creates it.
    static IPrintOemUI* CreatePlugin() {
        IClassFactory* factory = Factory();
        if (factory == nullptr)
            return nullptr;
        void* object = nullptr;
        EXPECT_EQ(factory->CreateInstance(nullptr, IID_IPrintOemUI, &object), S_OK);
        factory->Release();
        return static_cast<IPrintOemUI*>(object);
    }
};

// The host's driver interface, counting what the plug-in does with it.
class FakeDriverUI final : public IPrintOemDriverUI {
  public:
    explicit FakeDriverUI(bool offersDriverUI = true) : offersDriverUI_(offersDriverUI) {}

    LONG references = 1;
    int queries = 0;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
        ++queries;
        if (IsEqualIID(riid, IID_IUnknown) || (offersDriverUI_ && IsEqualIID(riid, IID_IPrintOemDriverUI))) {
            *ppv = static_cast<IPrintOemDriverUI*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++references; }
    STDMETHOD_(ULONG, Release)() override { return --references; }
    STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override { return E_NOTIMPL; }
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override { return E_NOTIMPL; }
    STDMETHOD(DrvUpdateUISetting)(PVOID, PVOID, DWORD, DWORD) override { return E_NOTIMPL; }

  private:
    bool offersDriverUI_;
};

// `size` bytes that end where an inaccessible page begins: touching a byte past them faults,
// so a read or write beyond a record ends the test process.
class GuardedBytes {
  public:
    explicit GuardedBytes(size_t size, uint8_t fill = 0xFF) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        const size_t page = system.dwPageSize;
        const size_t usable = (size + page - 1) / page * page;
        base_ = static_cast<uint8_t*>(VirtualAlloc(nullptr, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        VirtualProtect(base_ + usable, page, PAGE_NOACCESS, &old);
        data_ = base_ + usable - size;
        size_ = size;
        std::memset(data_, fill, size);
    }
    ~GuardedBytes() { VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;

    uint8_t* data() { return data_; }
    uint8_t& operator[](size_t i) { return data_[i]; }
    PlugInDevMode* record() { return reinterpret_cast<PlugInDevMode*>(data_); }
    void SetHeader(uint32_t size, uint32_t signature) {
        std::memcpy(data_ + 0, &size, 4);
        std::memcpy(data_ + 4, &signature, 4);
        const uint32_t version = 1;
        std::memcpy(data_ + 8, &version, 4);
    }
    bool SameBytes(GuardedBytes& other, size_t from, size_t to) {
        return std::memcmp(data_ + from, other.data_ + from, to - from) == 0;
    }

  private:
    uint8_t* base_ = nullptr;
    uint8_t* data_ = nullptr;
    size_t size_ = 0;
};

TEST_F(PluginContract, ClassObjectOnlyForThePluginClass) {
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(Dll().getClassObject(IID_IPrintOemUI, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // The factory offers IUnknown and IClassFactory; a refused interface leaves nothing alive.
    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(Dll().getClassObject(CLSID_M450UI, IID_IPrintOemUI, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    ASSERT_EQ(Dll().getClassObject(CLSID_M450UI, IID_IUnknown, &object), S_OK);
    auto* unknown = static_cast<IUnknown*>(object);
    void* factory = nullptr;
    EXPECT_EQ(unknown->QueryInterface(IID_IClassFactory, &factory), S_OK);
    EXPECT_EQ(factory, object);
    EXPECT_EQ(static_cast<IUnknown*>(factory)->Release(), 1u);
    EXPECT_EQ(unknown->Release(), 0u);
}

TEST_F(PluginContract, CreateInstanceRefusesAggregationAndUnknownInterfaces) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    FakeDriverUI outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    object = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_OK);

    // The object answers IUnknown and IPrintOemUI only.
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
    auto* unknown = static_cast<IUnknown*>(object);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(unknown->QueryInterface(IID_IPrintOemDriverUI, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    ASSERT_EQ(unknown->QueryInterface(IID_IPrintOemUI, &other), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(other)->Release(), 1u);
    EXPECT_EQ(unknown->Release(), 0u);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(PluginContract, CanUnloadNowFollowsLocksAndLiveObjects) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    EXPECT_EQ(factory->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);  // the lock outlives the factory
    factory = Factory();
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_OK);
    factory->Release();

    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(plugin->AddRef(), 2u);
    EXPECT_EQ(plugin->Release(), 1u);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(PluginContract, GetInfoReportsSignatureAndVersionOnly) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    DWORD value = 0;
    DWORD needed = 0;
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), &needed), S_OK);
    EXPECT_EQ(value, 0x5A45524Eu);  // 'ZERN'
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETVERSION, &value, sizeof(value), &needed), S_OK);
    EXPECT_EQ(value, 1u);

    uint8_t small[3] = {};
    needed = 0;
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, small, sizeof(small), &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 4u);
    needed = 0;
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETVERSION, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, 4u);

    uint8_t large[64] = {};
    needed = 99;
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETPUBLISHERINFO, large, sizeof(large), &needed), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(needed, 0u);

    for (DWORD mode : {DWORD{0}, DWORD{OEMGI_GETINTERFACEVERSION}, DWORD{5}}) {
        SetLastError(0);
        EXPECT_EQ(plugin->GetInfo(mode, large, sizeof(large), &needed), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0);
    EXPECT_EQ(plugin->GetInfo(OEMGI_GETSIGNATURE, &value, sizeof(value), nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    plugin->Release();
}

TEST_F(PluginContract, KeepsTheFirstDriverInterfaceUntilItDies) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);

    FakeDriverUI refusing(false);
    EXPECT_EQ(plugin->PublishDriverInterface(&refusing), E_FAIL);
    EXPECT_EQ(refusing.references, 1);

    FakeDriverUI first;
    FakeDriverUI second;
    EXPECT_EQ(plugin->PublishDriverInterface(&first), S_OK);
    EXPECT_EQ(first.references, 2);
    EXPECT_EQ(plugin->PublishDriverInterface(&second), S_OK);
    EXPECT_EQ(second.queries, 0);
    EXPECT_EQ(second.references, 1);
    EXPECT_EQ(first.references, 2);

    // The sheets borrow the held interface; they take no reference of their own.
    PROPSHEETUI_INFO info = m450test::SheetInfo(PROPSHEETUI_REASON_DESTROY, nullptr);
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, 0), S_OK);
    EXPECT_EQ(plugin->DevicePropertySheets(&info, 0), S_OK);
    EXPECT_EQ(first.references, 2);

    EXPECT_EQ(plugin->Release(), 0u);
    EXPECT_EQ(first.references, 1);
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(PluginContract, QueryColorProfileNamesTheProfileFile) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    wchar_t profile[32] = {};
    ULONG size = 31 * sizeof(wchar_t);
    FLONG flags = 0;

    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_SOURCEPROFILE, profile, &size, &flags),
              E_FAIL);
    size = 0;
    SetLastError(0);
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, nullptr, &size, &flags),
              E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 32u);
    size = 31;
    SetLastError(0);
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, profile, &size, &flags),
              E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(profile[0], L'\0');

    size = 32;
    EXPECT_EQ(plugin->QueryColorProfile(nullptr, nullptr, nullptr, nullptr, QCP_DEVICEPROFILE, profile, &size, &flags),
              S_OK);
    EXPECT_STREQ(profile, L"OEMPROFILE.icm");
    EXPECT_EQ(size, 32u);
    EXPECT_EQ(flags, static_cast<FLONG>(QCP_PROFILEDISK));
    plugin->Release();
}

TEST_F(PluginContract, CommonUIPropAddsNoOptionItems) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    OEMCUIPPARAM param = {};
    param.cbSize = sizeof(param);
    param.cOEMOptItems = 7;
    EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_DOCPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 7u);
    EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 0u);  // asked for the count: none

    OPTITEM items[2] = {};
    param.pOEMOptItems = items;
    param.cOEMOptItems = 2;
    EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, &param), S_OK);
    EXPECT_EQ(param.cOEMOptItems, 2u);
    EXPECT_EQ(items[0].cbSize, 0);

    SetLastError(0);
    EXPECT_EQ(plugin->CommonUIProp(3, &param), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(plugin->CommonUIProp(OEMCUIP_PRNPROP, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    plugin->Release();
}

TEST_F(PluginContract, DriverSlotsAreNotImplemented) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    DWORD result = 0;
    EXPECT_EQ(plugin->DevQueryPrintEx(nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->DeviceCapabilities(nullptr, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0, &result),
              E_NOTIMPL);
    EXPECT_EQ(plugin->UpgradePrinter(1, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->PrinterEvent(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->DriverEvent(0, 0, nullptr, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->FontInstallerDlgProc(nullptr, 0, 0, 0), E_NOTIMPL);
    EXPECT_EQ(plugin->UpdateExternalFonts(nullptr, nullptr, nullptr), E_NOTIMPL);
    plugin->Release();
}

TEST_F(PluginContract, PropertySheetsRefuseABadSheetInfo) {
    IPrintOemUI* plugin = CreatePlugin();
    ASSERT_NE(plugin, nullptr);
    PROPSHEETUI_INFO info = m450test::SheetInfo(0, nullptr);
    info.Version = 0x0101;
    for (PPROPSHEETUI_INFO sheet : {PPROPSHEETUI_INFO{nullptr}, &info}) {
        SetLastError(0);
        EXPECT_EQ(plugin->DocumentPropertySheets(sheet, 0), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        SetLastError(0);
        EXPECT_EQ(plugin->DevicePropertySheets(sheet, 0), E_FAIL);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }

    // SET_RESULT hands back the host's own result.
    SETRESULT_INFO setResult = {};
    setResult.cbSize = sizeof(setResult);
    setResult.Result = 2;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_SET_RESULT;
    EXPECT_EQ(plugin->DocumentPropertySheets(&info, reinterpret_cast<LPARAM>(&setResult)), S_OK);
    EXPECT_EQ(info.Result, 2u);
    plugin->Release();
}

// The private record through IPrintOemUI::DevMode, as the host sizes, defaults, converts and
// merges it. Every record sits against a guard page.
class DevModeContract : public PluginContract {
  protected:
    void SetUp() override {
        PluginContract::SetUp();
        plugin_ = CreatePlugin();
        ASSERT_NE(plugin_, nullptr);
    }
    void TearDown() override {
        if (plugin_ != nullptr) {
            EXPECT_EQ(plugin_->Release(), 0u);
        }
    }

    HRESULT Run(DWORD mode, void* in, void* out) {
        OEMDMPARAM param = {};
        param.cbSize = sizeof(param);
        param.pOEMDMIn = in;
        param.pOEMDMOut = out;
        param.cbBufSize = kDevModeSize;
        return plugin_->DevMode(mode, &param);
    }

    // What Default writes over a 0xFF-filled record.
    void Defaults(GuardedBytes& out) { ASSERT_EQ(Run(OEMDM_DEFAULT, nullptr, out.data()), S_OK); }

    IPrintOemUI* plugin_ = nullptr;
};

TEST_F(DevModeContract, SizeAndDefault) {
    OEMDMPARAM param = {};
    param.cbSize = sizeof(param);
    EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, 1980u);

    GuardedBytes out(kDevModeSize);
    Defaults(out);
    const PlugInDevMode& dm = *out.record();
    EXPECT_EQ(dm.dmExtraHeader.dwSize, 1980u);
    EXPECT_EQ(dm.dmExtraHeader.dwSignature, kPlugInSignature);
    EXPECT_EQ(dm.dmExtraHeader.dwVersion, 1u);
    EXPECT_EQ(dm.reservedValue, 0);
    EXPECT_EQ(out[147], 12);  // cash drawer at the start of the document
    EXPECT_EQ(out[309], 1);   // end of document: feed to the cut position
    EXPECT_EQ(out[440], 1);   // and a partial cut
    const uint8_t types1D[] = {0, 1, 3, 4, 5, 6, 7, 8};
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(out[596 + 36 * i], types1D[i]) << i;
    EXPECT_EQ(out[884 + 5], 5);   // PDF417 error correction
    EXPECT_EQ(out[908 + 17], 4);  // GS1 segments per row, second 2D font
    EXPECT_EQ(out[1392], 4);      // watermark position
    EXPECT_EQ(out[1395], 100);    // zoom
    EXPECT_EQ(dm.watermarkAngle, 45u);

    // The log folder sits on the system drive: "C:\" under Wine.
    wchar_t system[MAX_PATH] = {};
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 3u);
    const std::wstring expected = std::wstring(system, 3) + L"ZERNDriverlog\\KVL-M450";
    const std::wstring logDirectory(reinterpret_cast<const wchar_t*>(dm.logDirectory));
    EXPECT_EQ(logDirectory, expected);
    EXPECT_EQ(expected.substr(0, 3), L"C:\\");

    // Every byte is written: pad bytes and the log-format flags read 0, not what the buffer held.
    for (size_t pad : {151, 297, 933, 999, 1979, 1976, 1977, 1978})
        EXPECT_EQ(out[pad], 0) << pad;
}

TEST_F(DevModeContract, ConvertReplacesAForeignRecordWithDefaults) {
    GuardedBytes defaults(kDevModeSize);
    Defaults(defaults);

    GuardedBytes in(kDevModeSize, 0x5A);
    in.SetHeader(kDevModeSize, 0x41424344);
    GuardedBytes out(kDevModeSize);
    out.SetHeader(kDevModeSize, kPlugInSignature);
    ASSERT_EQ(Run(OEMDM_CONVERT, in.data(), out.data()), S_OK);
    EXPECT_TRUE(out.SameBytes(defaults, 0, kDevModeSize));
}

TEST_F(DevModeContract, ConvertCopiesNoMoreThanTheInputHolds) {
    GuardedBytes defaults(kDevModeSize);
    Defaults(defaults);

    // An older, 1000-byte record: an over-read of it faults on the guard page.
    GuardedBytes older(1000, 0x5A);
    older.SetHeader(1000, kPlugInSignature);
    GuardedBytes out(kDevModeSize);
    out.SetHeader(kDevModeSize, kPlugInSignature);
    ASSERT_EQ(Run(OEMDM_CONVERT, older.data(), out.data()), S_OK);
    EXPECT_EQ(out.record()->dmExtraHeader.dwSize, 1980u);
    EXPECT_EQ(out.record()->dmExtraHeader.dwSignature, kPlugInSignature);
    EXPECT_EQ(out.record()->dmExtraHeader.dwVersion, 1u);
    EXPECT_TRUE(out.SameBytes(older, 12, 1000));
    EXPECT_TRUE(out.SameBytes(defaults, 1000, kDevModeSize));

    // A record claiming 5000 bytes: 1980 are taken, none beyond.
    GuardedBytes claimsMore(kDevModeSize, 0x5A);
    claimsMore.SetHeader(5000, kPlugInSignature);
    GuardedBytes out2(kDevModeSize);
    out2.SetHeader(kDevModeSize, kPlugInSignature);
    ASSERT_EQ(Run(OEMDM_CONVERT, claimsMore.data(), out2.data()), S_OK);
    EXPECT_EQ(out2.record()->dmExtraHeader.dwSize, 1980u);
    EXPECT_TRUE(out2.SameBytes(claimsMore, 12, kDevModeSize));

    // A header claiming 0 or 3 bytes copies nothing of use: the defaults stay.
    for (uint32_t claimed : {0u, 3u}) {
        GuardedBytes header(sizeof(OEM_DMEXTRAHEADER));
        header.SetHeader(claimed, kPlugInSignature);
        GuardedBytes out3(kDevModeSize);
        out3.SetHeader(kDevModeSize, kPlugInSignature);
        ASSERT_EQ(Run(OEMDM_CONVERT, header.data(), out3.data()), S_OK) << claimed;
        EXPECT_TRUE(out3.SameBytes(defaults, 0, kDevModeSize)) << claimed;
    }
}

TEST_F(DevModeContract, MergeResetsReservedValueAbove100) {
    for (auto [given, merged] : {std::pair{101, 0}, std::pair{100, 100}, std::pair{-5, -5}}) {
        GuardedBytes in(kDevModeSize);
        Defaults(in);
        in.record()->reservedValue = given;
        in.record()->dmExtraHeader.dwVersion = 7;
        GuardedBytes out(kDevModeSize);
        out.SetHeader(kDevModeSize, kPlugInSignature);
        ASSERT_EQ(Run(OEMDM_MERGE, in.data(), out.data()), S_OK);
        EXPECT_EQ(out.record()->reservedValue, merged) << given;
        EXPECT_EQ(out.record()->dmExtraHeader.dwVersion, 1u);
    }
}

TEST_F(DevModeContract, BadCallsFailAndMissingRecordsAreLeftAlone) {
    SetLastError(0);
    EXPECT_EQ(plugin_->DevMode(OEMDM_SIZE, nullptr), E_FAIL);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    GuardedBytes in(kDevModeSize);
    Defaults(in);
    GuardedBytes out(kDevModeSize);
    for (DWORD mode : {DWORD{0}, DWORD{5}}) {
        SetLastError(0);
        EXPECT_EQ(Run(mode, in.data(), out.data()), E_FAIL) << mode;
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER)) << mode;
    }

    GuardedBytes untouched(kDevModeSize);
    EXPECT_EQ(Run(OEMDM_DEFAULT, nullptr, nullptr), S_OK);
    EXPECT_EQ(Run(OEMDM_CONVERT, in.data(), nullptr), S_OK);
    EXPECT_EQ(Run(OEMDM_MERGE, in.data(), nullptr), S_OK);
    EXPECT_EQ(Run(OEMDM_CONVERT, nullptr, out.data()), S_OK);
    EXPECT_TRUE(out.SameBytes(untouched, 0, kDevModeSize));
}

}  // namespace
