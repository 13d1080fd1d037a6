// The COM side of the plug-in: the class factory the host gets from DllGetClassObject and the
// PluginObject it creates, which implements IPrintOemUI and owns the two page contexts.
//
// Each method is a short forward to the function that does the work; the module-wide counts
// behind DllCanUnloadNow live here too, so the shell library (and the tests that link it)
// carries everything but the DLL's entry points.
#pragma once

#include "core/density_relabel_win.h"
#include "core/module_win.h"
#include "core/page_context_win.h"
#include "platform/printoem.h"

namespace m450 {

// DllGetClassObject: a class factory for the plug-in's class, nothing for any other.
HRESULT GetPluginClassObject(REFCLSID classId, REFIID interfaceId, void** object);
// DllCanUnloadNow: S_FALSE while a PluginObject is alive or the server is locked.
HRESULT CanUnloadModule();

class PluginClassFactory final : public IClassFactory {
  public:
    PluginClassFactory() = default;
    PluginClassFactory(const PluginClassFactory&) = delete;
    PluginClassFactory& operator=(const PluginClassFactory&) = delete;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID riid, void** ppv) override;
    STDMETHOD(LockServer)(BOOL lock) override;

  private:
    ~PluginClassFactory() = default;

    LONG refCount_ = 1;
};

class PluginObject final : public IPrintOemUI {
  public:
    PluginObject();
    PluginObject(const PluginObject&) = delete;
    PluginObject& operator=(const PluginObject&) = delete;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;

    STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
    STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) override;
    STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) override;
    STDMETHOD(DevQueryPrintEx)
    (POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM, PVOID pOEMDM) override;
    STDMETHOD(DeviceCapabilities)
    (POEMUIOBJ poemuiobj,
     HANDLE hPrinter,
     PWSTR pDeviceName,
     WORD wCapability,
     PVOID pOutput,
     PDEVMODEW pPublicDM,
     PVOID pOEMDM,
     DWORD dwOld,
     DWORD* dwResult) override;
    STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) override;
    STDMETHOD(PrinterEvent)(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) override;
    STDMETHOD(DriverEvent)(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) override;
    STDMETHOD(QueryColorProfile)
    (HANDLE hPrinter,
     POEMUIOBJ poemuiobj,
     PDEVMODEW pPublicDM,
     PVOID pOEMDM,
     ULONG ulQueryMode,
     VOID* pvProfileData,
     ULONG* pcbProfileData,
     FLONG* pflProfileData) override;
    STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) override;
    STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) override;

  private:
    ~PluginObject();

    LONG refCount_ = 1;
    // One reference, from the first PublishDriverInterface; set with an interlocked exchange (a
    // host may publish from two threads at once) and never changed after.
    IPrintOemDriverUI* driverUI_ = nullptr;
    // The pages keep pointers to these: they must stay members of the object. One object serves
    // one sheet of each kind at a time (see docs/architecture.md).
    DevicePageContext deviceContext_;
    DocumentSheetData document_;
};

// The work behind the small IPrintOemUI methods.
HRESULT GetPluginInfo(DWORD mode, void* buffer, DWORD size, DWORD* needed);
HRESULT KeepDriverInterface(IUnknown* host, IPrintOemDriverUI** held);
IPrintOemDriverUI* HeldDriverInterface(IPrintOemDriverUI* const* held);
HRESULT HandleCommonUIProp(DWORD mode, POEMCUIPPARAM param, DocumentPageContext& document, DevicePageContext& device);
HRESULT ReportColorProfile(ULONG queryMode, void* profileData, ULONG* profileSize, FLONG* profileFlags);

}  // namespace m450
