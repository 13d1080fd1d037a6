// The records every property page receives as the lParam of its page record: what it needs
// to reach the sheet, the host's parameter blocks and the driver interface. Both live inside
// the PluginObject, so their addresses stay valid while the host holds the object.
//
// The two sheets lay them out differently (the device sheet has no OEMUIPSPARAM word and keeps
// the callback in word 3); pages address them by word, so the layouts are asserted.
#pragma once

#include <cstddef>

#include "platform/printoem.h"

namespace m450 {

// Handles the sheet has not given yet.
inline HANDLE NoSheetHandle() {
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
}

struct DocumentPageContext {
    HANDLE hComPropSheet = NoSheetHandle();     // the sheet, from PROPSHEETUI_INFO
    HANDLE hPage = NoSheetHandle();             // returned by the last page addition
    POEMUIPSPARAM pOEMUIPSParam = nullptr;      // lParamInit: pOEMDM, hPrinter, pPrinterName, pPublicDM
    POEMCUIPPARAM pOEMCUIPParam = nullptr;      // from the last CommonUIProp call
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;  // the sheet's callback
    IPrintOemDriverUI* pDriverUI = nullptr;     // copied in on every DocumentPropertySheets call
};

struct DevicePageContext {
    HANDLE hComPropSheet = NoSheetHandle();
    HANDLE hPage = NoSheetHandle();
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;
    POEMCUIPPARAM pOEMCUIPParam = nullptr;  // the device pages take hPrinter and pPrinterName from it
    IPrintOemDriverUI* pDriverUI = nullptr;
};

inline constexpr size_t kWord = sizeof(void*);
static_assert(offsetof(DocumentPageContext, hComPropSheet) == 0 * kWord);
static_assert(offsetof(DocumentPageContext, hPage) == 1 * kWord);
static_assert(offsetof(DocumentPageContext, pOEMUIPSParam) == 2 * kWord);
static_assert(offsetof(DocumentPageContext, pOEMCUIPParam) == 3 * kWord);
static_assert(offsetof(DocumentPageContext, pfnComPropSheet) == 4 * kWord);
static_assert(offsetof(DocumentPageContext, pDriverUI) == 5 * kWord);
static_assert(sizeof(DocumentPageContext) == 6 * kWord);
static_assert(offsetof(DevicePageContext, hComPropSheet) == 0 * kWord);
static_assert(offsetof(DevicePageContext, hPage) == 1 * kWord);
static_assert(offsetof(DevicePageContext, pfnComPropSheet) == 2 * kWord);
static_assert(offsetof(DevicePageContext, pOEMCUIPParam) == 3 * kWord);
static_assert(offsetof(DevicePageContext, pDriverUI) == 4 * kWord);
static_assert(sizeof(DevicePageContext) == 5 * kWord);

}  // namespace m450
