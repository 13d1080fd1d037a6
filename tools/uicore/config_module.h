// The printer's configuration module as winspool meets it: the stand-in for the universal
// driver's UI core, installed as the driver's ConfigFile. winspool loads it for
// DocumentPropertiesW and DeviceCapabilitiesW, the spooler for DrvDriverEvent, and m450host
// calls DrvDevicePropertySheets through compstui where Wine has no PrinterPropertiesW.
//
// The device mode it keeps: the public DEVMODEW, then the core's own part (CorePrivate: the
// selections of its option items), then the plug-in's record.
//
//   offset 0                   DEVMODEW (dmSize bytes; dmDriverExtra counts the rest)
//   offset dmSize              CorePrivate, 16 bytes
//   offset dmSize + 16         the plug-in's record (its size from OEMDM_SIZE: 1980 for M450UI)
#pragma once

#include <windows.h>
#include <compstui.h>

#include <cstddef>
#include <cstdint>

// winddiui.h's parameter blocks, which mingw-w64 does not declare.
#ifndef DM_NOPERMISSION
#define DM_NOPERMISSION 0x0080
#endif
#ifndef DPS_NOPERMISSION
#define DPS_NOPERMISSION 0x0001
#endif

typedef struct _DOCUMENTPROPERTYHEADER {
    WORD cbSize;
    WORD Reserved;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
    PDEVMODEW pdmIn;
    PDEVMODEW pdmOut;
    DWORD cbOut;
    DWORD fMode;
} DOCUMENTPROPERTYHEADER, *PDOCUMENTPROPERTYHEADER;

typedef struct _DEVICEPROPERTYHEADER {
    WORD cbSize;
    WORD Flags;
    HANDLE hPrinter;
    LPWSTR pszPrinterName;
} DEVICEPROPERTYHEADER, *PDEVICEPROPERTYHEADER;

extern "C" {
using DrvPropertySheetsFunction = LONG(APIENTRY*)(PPROPSHEETUI_INFO info, LPARAM lParam);
}

namespace m450host {

// The core's part of the device mode, between the public part and the plug-in's record.
struct CorePrivate {
    static constexpr DWORD kSignature = 0x4355344D;  // "M4UC"
    static constexpr size_t kMostItems = 8;
    DWORD signature = kSignature;
    DWORD itemCount = 0;               // option items whose selection follows
    BYTE selections[kMostItems] = {};  // each option item's Sel, in the order the GPD lists features
};
static_assert(sizeof(CorePrivate) == 16);

// Where the plug-in's record starts in a device mode of this driver, or 0 when `devMode` (of
// `size` bytes in all) does not carry one: a public part of at least the fields up to
// dmFields, the core's part with its signature, and a record header inside dmDriverExtra.
size_t RecordOffset(const DEVMODEW* devMode, size_t size);

}  // namespace m450host
