#include "plugin/plugin_object_win.h"
#include "plugin/sheets_win.h"

#include <cstring>
#include <new>

#include "core/devmode.h"
#include "core/devmode_win.h"

namespace m450 {

namespace {

// Module-wide: these two counts, changed only through interlocked calls.
LONG g_objectCount = 0;  // live PluginObjects
LONG g_lockCount = 0;    // LockServer(TRUE) calls not yet matched

constexpr DWORD kPluginVersion = 1;
constexpr wchar_t kColorProfileName[] = L"OEMPROFILE.icm";
constexpr ULONG kColorProfileBufferSize = 32;
static_assert(sizeof(kColorProfileName) <= kColorProfileBufferSize);

HRESULT Fail(DWORD lastError) {
    SetLastError(lastError);
    return E_FAIL;
}

// The IUnknown answer both objects give: the object for the identifiers it offers, null
// and E_NOINTERFACE for any other.
template <typename Object>
HRESULT Answer(Object* self, bool offered, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (!offered) {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    *ppv = self;
    self->AddRef();
    return S_OK;
}

// A new object answers the requested interface; the creation reference is dropped either way,
// so a refused interface leaves nothing alive.
template <typename Object>
HRESULT CreateAndQuery(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    *ppv = nullptr;
    auto* object = new (std::nothrow) Object();
    if (object == nullptr)
        return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

}  // namespace

HRESULT GetPluginClassObject(REFCLSID classId, REFIID interfaceId, void** object) {
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(classId, CLSID_M450UI))
        return CLASS_E_CLASSNOTAVAILABLE;
    return CreateAndQuery<PluginClassFactory>(interfaceId, object);
}

HRESULT CanUnloadModule() {
    const bool inUse =
        InterlockedCompareExchange(&g_objectCount, 0, 0) != 0 || InterlockedCompareExchange(&g_lockCount, 0, 0) != 0;
    return inUse ? S_FALSE : S_OK;
}

// Class factory.

HRESULT PluginClassFactory::QueryInterface(REFIID riid, void** ppv) {
    return Answer(this, IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory), ppv);
}

ULONG PluginClassFactory::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG PluginClassFactory::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT PluginClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) {
    if (outer != nullptr) {
        if (ppv != nullptr)
            *ppv = nullptr;
        return CLASS_E_NOAGGREGATION;
    }
    return CreateAndQuery<PluginObject>(riid, ppv);
}

HRESULT PluginClassFactory::LockServer(BOOL lock) {
    if (lock)
        InterlockedIncrement(&g_lockCount);
    else
        InterlockedDecrement(&g_lockCount);
    return S_OK;
}

// Plug-in object.

PluginObject::PluginObject() {
    InterlockedIncrement(&g_objectCount);
}

PluginObject::~PluginObject() {
    if (driverUI_ != nullptr) {
        driverUI_->Release();
        driverUI_ = nullptr;
    }
    InterlockedDecrement(&g_objectCount);
}

HRESULT PluginObject::QueryInterface(REFIID riid, void** ppv) {
    return Answer(this, IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemUI), ppv);
}

ULONG PluginObject::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG PluginObject::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

HRESULT PluginObject::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    return GetPluginInfo(dwMode, pBuffer, cbSize, pcbNeeded);
}

HRESULT PluginObject::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    return HandleDevMode(dwMode, pOemDMParam);
}

HRESULT PluginObject::PublishDriverInterface(IUnknown* pIUnknown) {
    return KeepDriverInterface(pIUnknown, &driverUI_);
}

HRESULT PluginObject::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
    return HandleCommonUIProp(dwMode, pOemCUIPParam, document_.context, deviceContext_);
}

HRESULT PluginObject::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    document_.context.pDriverUI = HeldDriverInterface(&driverUI_);
    return DocumentSheets(pPSUIInfo, lParam, &document_.context);
}

HRESULT PluginObject::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    deviceContext_.pDriverUI = HeldDriverInterface(&driverUI_);
    return DeviceSheets(pPSUIInfo, lParam, &deviceContext_);
}

HRESULT PluginObject::QueryColorProfile(HANDLE,
                                        POEMUIOBJ,
                                        PDEVMODEW,
                                        PVOID,
                                        ULONG ulQueryMode,
                                        VOID* pvProfileData,
                                        ULONG* pcbProfileData,
                                        FLONG* pflProfileData) {
    return ReportColorProfile(ulQueryMode, pvProfileData, pcbProfileData, pflProfileData);
}

// The slots the plug-in leaves to the driver.

HRESULT PluginObject::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) {
    return E_NOTIMPL;
}

HRESULT PluginObject::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID, DWORD, DWORD*) {
    return E_NOTIMPL;
}

HRESULT PluginObject::UpgradePrinter(DWORD, PBYTE) {
    return E_NOTIMPL;
}

HRESULT PluginObject::PrinterEvent(PWSTR, INT, DWORD, LPARAM) {
    return E_NOTIMPL;
}

HRESULT PluginObject::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) {
    return E_NOTIMPL;
}

HRESULT PluginObject::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return E_NOTIMPL;
}

HRESULT PluginObject::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) {
    return E_NOTIMPL;
}

// The work behind the methods.

HRESULT GetPluginInfo(DWORD mode, void* buffer, DWORD size, DWORD* needed) {
    if (needed == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    if (mode != OEMGI_GETSIGNATURE && mode != OEMGI_GETVERSION && mode != OEMGI_GETPUBLISHERINFO)
        return Fail(ERROR_INVALID_PARAMETER);
    *needed = sizeof(DWORD);
    if (buffer == nullptr || size < sizeof(DWORD))
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    if (mode == OEMGI_GETPUBLISHERINFO) {
        *needed = 0;
        return Fail(ERROR_NOT_SUPPORTED);
    }
    const DWORD value = mode == OEMGI_GETSIGNATURE ? kPlugInSignature : kPluginVersion;
    std::memcpy(buffer, &value, sizeof(value));
    return S_OK;
}

// The first driver interface stays: the pages may already hold it through their contexts. Two
// threads publishing at once each ask the host; the first to store its answer keeps it and the
// other releases its own.
HRESULT KeepDriverInterface(IUnknown* host, IPrintOemDriverUI** held) {
    if (HeldDriverInterface(held) != nullptr)
        return S_OK;
    if (host == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    IPrintOemDriverUI* offered = nullptr;
    if (FAILED(host->QueryInterface(IID_IPrintOemDriverUI, reinterpret_cast<void**>(&offered))) || offered == nullptr)
        return E_FAIL;
    if (InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(held), offered, nullptr) != nullptr)
        offered->Release();
    return S_OK;
}

IPrintOemDriverUI* HeldDriverInterface(IPrintOemDriverUI* const* held) {
    return static_cast<IPrintOemDriverUI*>(InterlockedCompareExchangePointer(
        reinterpret_cast<void* volatile*>(const_cast<IPrintOemDriverUI**>(held)), nullptr, nullptr));
}

// Both sheets keep the host's option-item block, whatever the mode; the plug-in adds no
// option items of its own.
HRESULT HandleCommonUIProp(DWORD mode, POEMCUIPPARAM param, DocumentPageContext& document, DevicePageContext& device) {
    document.pOEMCUIPParam = param;
    device.pOEMCUIPParam = param;
    switch (mode) {
        case OEMCUIP_DOCPROP:
            return S_OK;
        case OEMCUIP_PRNPROP:
            if (param == nullptr)
                return Fail(ERROR_INVALID_PARAMETER);
            if (param->pOEMOptItems == nullptr)
                param->cOEMOptItems = 0;  // the host asks how many items to make room for
            return S_OK;
        default:
            return Fail(ERROR_INVALID_PARAMETER);
    }
}

HRESULT ReportColorProfile(ULONG queryMode, void* profileData, ULONG* profileSize, FLONG* profileFlags) {
    if (queryMode != QCP_DEVICEPROFILE)
        return E_FAIL;
    if (profileSize == nullptr)
        return Fail(ERROR_INVALID_PARAMETER);
    const ULONG available = *profileSize;
    *profileSize = kColorProfileBufferSize;
    if (profileData == nullptr || available < kColorProfileBufferSize)
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::memcpy(profileData, kColorProfileName, sizeof(kColorProfileName));
    if (profileFlags != nullptr)
        *profileFlags = QCP_PROFILEDISK;
    return S_OK;
}

}  // namespace m450
