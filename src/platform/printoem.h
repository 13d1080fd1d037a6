// The printer-UI plug-in interfaces of the universal printer driver, which mingw-w64 does not
// ship: the IPrintOemUI interface the plug-in implements, the IPrintOemDriverUI interface the
// driver's UI core hands it, their parameter blocks and constants. Declared from the
// platform's public documentation; the common property-sheet types (OPTITEM,
// PROPSHEETUI_INFO, PFNCOMPROPSHEET ...) come from mingw-w64's compstui.h.
//
// The slot order of both interfaces and the member order of every block are binary contracts
// with the host: do not reorder anything here.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <unknwn.h>
#include <compstui.h>

#include <cstddef>

// ntdef.h's flag word; repeating an identical typedef is harmless where it is already known.
typedef ULONG FLONG;

// Interface and class identifiers.

// {C6A7A9D0-774C-11D1-947F-00A0C90640B8}
inline constexpr IID IID_IPrintOemUI = {0xC6A7A9D0, 0x774C, 0x11D1, {0x94, 0x7F, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {92B05D50-78BC-11D1-9480-00A0C90640B8}
inline constexpr IID IID_IPrintOemDriverUI = {0x92B05D50,
                                              0x78BC,
                                              0x11D1,
                                              {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// The plug-in's own class: {ABCE80D7-9F46-11D1-882A-00C04FB961EC}
inline constexpr CLSID CLSID_M450UI = {0xABCE80D7, 0x9F46, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

// IPrintOemUI::GetInfo modes.
#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

// IPrintOemUI::DevMode modes.
#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

// IPrintOemUI::CommonUIProp modes.
#define OEMCUIP_DOCPROP 1
#define OEMCUIP_PRNPROP 2

// IPrintOemUI::QueryColorProfile query modes and the flags of the profile data.
#ifndef QCP_DEVICEPROFILE
#define QCP_DEVICEPROFILE 0x0000
#define QCP_SOURCEPROFILE 0x0001
#define QCP_PROFILEMEMORY 0x00000001
#define QCP_PROFILEDISK 0x00000002
#endif

// The header the host expects at the start of every plug-in's private device-mode part.
typedef struct _OEM_DMEXTRAHEADER {
    DWORD dwSize;
    DWORD dwSignature;
    DWORD dwVersion;
} OEM_DMEXTRAHEADER, *POEM_DMEXTRAHEADER;

static_assert(sizeof(OEM_DMEXTRAHEADER) == 12);

// The two driver helpers the UI core offers through OEMUIOBJ.
typedef BOOL(APIENTRY* PFN_DrvGetDriverSetting)(PVOID pdriverobj,
                                                PCSTR Feature,
                                                PVOID pOutput,
                                                DWORD cbSize,
                                                PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
typedef BOOL(APIENTRY* PFN_DrvUpdateUISetting)(PVOID pdriverobj,
                                               PVOID pOptItem,
                                               DWORD dwPreviousSelection,
                                               DWORD dwMode);

typedef struct _OEMUIPROCS {
    PFN_DrvGetDriverSetting DrvGetDriverSetting;
    PFN_DrvUpdateUISetting DrvUpdateUISetting;
} OEMUIPROCS, *POEMUIPROCS;

typedef struct _OEMUIOBJ {
    DWORD cbSize;
    POEMUIPROCS pOemUIProcs;
} OEMUIOBJ, *POEMUIOBJ;

// IPrintOemUI::DevMode's parameter block.
typedef struct _OEMDMPARAM {
    DWORD cbSize;
    PVOID pdriverobj;
    HANDLE hPrinter;
    HANDLE hModule;
    PDEVMODEW pPublicDMIn;
    PDEVMODEW pPublicDMOut;
    PVOID pOEMDMIn;
    PVOID pOEMDMOut;
    DWORD cbBufSize;
} OEMDMPARAM, *POEMDMPARAM;

// The lParamInit of the document sheet's PROPSHEETUI_INFO. Note the member order after
// pOEMDM: pOEMUserData, then dwFlags (OEMCUIPPARAM has dwFlags first).
typedef struct _OEMUIPSPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    PVOID pOEMUserData;
    DWORD dwFlags;
    PVOID pOemEntry;
} OEMUIPSPARAM, *POEMUIPSPARAM;

struct _OEMCUIPPARAM;
typedef LONG(APIENTRY* OEMCUIPCALLBACK)(PCPSUICBPARAM, struct _OEMCUIPPARAM*);

// IPrintOemUI::CommonUIProp's parameter block: the host's option items and room for ours.
typedef struct _OEMCUIPPARAM {
    DWORD cbSize;
    POEMUIOBJ poemuiobj;
    HANDLE hPrinter;
    PWSTR pPrinterName;
    HANDLE hModule;
    HANDLE hOEMHeap;
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;
    DWORD dwFlags;
    POPTITEM pDrvOptItems;
    DWORD cDrvOptItems;
    POPTITEM pOEMOptItems;
    DWORD cOEMOptItems;
    PVOID pOEMUserData;
    OEMCUIPCALLBACK OEMCUIPCallback;
} OEMCUIPPARAM, *POEMCUIPPARAM;

// IPrintOemUI::DevQueryPrintEx's query record.
typedef struct _DEVQUERYPRINT_INFO {
    WORD cbSize;
    WORD Level;
    HANDLE hPrinter;
    DEVMODEW* pDevMode;
    LPWSTR pszErrorStr;
    DWORD cchErrorStr;
    DWORD cchNeeded;
} DEVQUERYPRINT_INFO, *PDEVQUERYPRINT_INFO;

// Member offsets in pointer-sized words: every DWORD member sits in a word of its own on
// 64-bit builds too, so these hold for both pointer sizes.
static_assert(offsetof(OEMDMPARAM, pOEMDMIn) == 6 * sizeof(void*));
static_assert(offsetof(OEMDMPARAM, cbBufSize) == 8 * sizeof(void*));
static_assert(offsetof(OEMUIPSPARAM, pOEMDM) == 7 * sizeof(void*));
static_assert(offsetof(OEMUIPSPARAM, dwFlags) == 9 * sizeof(void*));
static_assert(offsetof(OEMUIPSPARAM, pOemEntry) == 10 * sizeof(void*));
static_assert(offsetof(OEMCUIPPARAM, dwFlags) == 8 * sizeof(void*));
static_assert(offsetof(OEMCUIPPARAM, pDrvOptItems) == 9 * sizeof(void*));
static_assert(offsetof(OEMCUIPPARAM, cOEMOptItems) == 12 * sizeof(void*));
static_assert(offsetof(OEMCUIPPARAM, OEMCUIPCallback) == 14 * sizeof(void*));
static_assert(offsetof(DEVQUERYPRINT_INFO, hPrinter) == sizeof(void*));

// The driver's UI core, as handed to PublishDriverInterface.
struct IPrintOemDriverUI : public IUnknown {
    STDMETHOD(DrvGetDriverSetting)
    (PVOID pci, PCSTR Feature, PVOID pOutput, DWORD cbSize, PDWORD pcbNeeded, PDWORD pdwOptionsReturned) PURE;
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE hPrinter, PCSTR pFeature, PCSTR pOption) PURE;
    STDMETHOD(DrvUpdateUISetting)(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) PURE;
};

// The plug-in's interface. Slots 3 and 4 are the common part every plug-in interface starts
// with; the UI-specific slots follow.
struct IPrintOemUI : public IUnknown {
    STDMETHOD(GetInfo)(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) PURE;
    STDMETHOD(DevMode)(DWORD dwMode, POEMDMPARAM pOemDMParam) PURE;
    STDMETHOD(PublishDriverInterface)(IUnknown* pIUnknown) PURE;
    STDMETHOD(CommonUIProp)(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) PURE;
    STDMETHOD(DocumentPropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) PURE;
    STDMETHOD(DevicePropertySheets)(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) PURE;
    STDMETHOD(DevQueryPrintEx)
    (POEMUIOBJ poemuiobj, PDEVQUERYPRINT_INFO pDQPInfo, PDEVMODEW pPublicDM, PVOID pOEMDM) PURE;
    STDMETHOD(DeviceCapabilities)
    (POEMUIOBJ poemuiobj,
     HANDLE hPrinter,
     PWSTR pDeviceName,
     WORD wCapability,
     PVOID pOutput,
     PDEVMODEW pPublicDM,
     PVOID pOEMDM,
     DWORD dwOld,
     DWORD* dwResult) PURE;
    STDMETHOD(UpgradePrinter)(DWORD dwLevel, PBYTE pDriverUpgradeInfo) PURE;
    STDMETHOD(PrinterEvent)(PWSTR pPrinterName, INT iDriverEvent, DWORD dwFlags, LPARAM lParam) PURE;
    STDMETHOD(DriverEvent)(DWORD dwDriverEvent, DWORD dwLevel, LPBYTE pDriverInfo, LPARAM lParam) PURE;
    STDMETHOD(QueryColorProfile)
    (HANDLE hPrinter,
     POEMUIOBJ poemuiobj,
     PDEVMODEW pPublicDM,
     PVOID pOEMDM,
     ULONG ulQueryMode,
     VOID* pvProfileData,
     ULONG* pcbProfileData,
     FLONG* pflProfileData) PURE;
    STDMETHOD(FontInstallerDlgProc)(HWND hWnd, UINT usMsg, WPARAM wParam, LPARAM lParam) PURE;
    STDMETHOD(UpdateExternalFonts)(HANDLE hPrinter, HANDLE hHeap, PWSTR pwstrCartridges) PURE;
};
