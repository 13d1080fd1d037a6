// m450uicore.dll: the stand-in for the universal driver's UI core, installed as the printer
// driver's configuration module. Each sheet or device-mode call gets a HostSession of its own
// (the same host part the Windows tests drive): it loads the plug-in the driver's .ini names
// from the driver directory, builds its option items from the driver's GPD, keeps the device
// mode and gives compstui the core's and the plug-in's pages.
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "config_module.h"
#include "gpd_reader.h"
#include "host_core.h"

using m450host::HostSession;
using m450host::SheetKind;

namespace {

std::unique_ptr<HostSession> OpenSession(const wchar_t* printerName) {
    if (printerName == nullptr)
        return nullptr;
    m450host::SessionOptions options;
    options.printerName = printerName;
    options.installedDriver = true;
    std::wstring error;
    return HostSession::Create(options, &error);
}

// Writes the session's device mode to `out`. Wine's winspool gives as cbOut the dmSize of the
// output buffer, not its size, so the size the caller was told (DocumentProperties with no
// mode) is what the buffer holds, except where the output is the input buffer: that one holds
// what its own header says, and a device mode of another driver there gets the public part only.
void WriteDevMode(const HostSession& session, const DOCUMENTPROPERTYHEADER& header) {
    const std::vector<uint8_t> bytes = session.DevModeBytes();
    size_t room = bytes.size();
    if (header.pdmOut == header.pdmIn && header.pdmIn != nullptr)
        room = size_t{header.pdmIn->dmSize} + header.pdmIn->dmDriverExtra;
    if (room >= bytes.size()) {
        std::memcpy(header.pdmOut, bytes.data(), bytes.size());
        return;
    }
    if (room >= sizeof(DEVMODEW)) {
        std::memcpy(header.pdmOut, bytes.data(), sizeof(DEVMODEW));
        header.pdmOut->dmDriverExtra = 0;
    }
}

void MergeInput(HostSession& session, const DOCUMENTPROPERTYHEADER& header) {
    if (!(header.fMode & DM_IN_BUFFER) || header.pdmIn == nullptr)
        return;
    std::wstring error;
    session.MergeDevMode(header.pdmIn, size_t{header.pdmIn->dmSize} + header.pdmIn->dmDriverExtra, &error);
}

// The sheet's pages go to compstui one by one; a page it does not take is destroyed here.
bool AddPages(HostSession& session, SheetKind kind, PPROPSHEETUI_INFO info) {
    std::vector<HPROPSHEETPAGE> pages;
    if (!session.BuildSheet(kind, &pages))
        return false;
    size_t added = 0;
    for (HPROPSHEETPAGE page : pages) {
        if (info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_HPROPSHEETPAGE, reinterpret_cast<LPARAM>(page), 0))
            ++added;
        else
            DestroyPropertySheetPage(page);
    }
    return added > 0;
}

// What both sheets share: the session made at INIT lives in UserData until DESTROY.
LONG SheetCall(PPROPSHEETUI_INFO info, LPARAM lParam, SheetKind kind, const wchar_t* printerName) {
    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT: {
            std::unique_ptr<HostSession> session = OpenSession(printerName);
            if (session == nullptr)
                return ERR_CPSUI_GETLASTERROR;
            if (kind == SheetKind::Document)
                MergeInput(*session, *reinterpret_cast<PDOCUMENTPROPERTYHEADER>(info->lParamInit));
            if (!AddPages(*session, kind, info)) {
                session->EndSheet();
                return ERR_CPSUI_GETLASTERROR;
            }
            info->UserData = reinterpret_cast<ULONG_PTR>(session.release());
            info->Result = CPSUI_OK;
            return 1;
        }
        case PROPSHEETUI_REASON_GET_INFO_HEADER: {
            auto* session = reinterpret_cast<HostSession*>(info->UserData);
            auto* header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
            if (session == nullptr || header == nullptr)
                return 0;
            header->pTitle = const_cast<LPWSTR>(session->sheetTitle().c_str());
            header->Flags = PSUIHDRF_EXACT_PTITLE;
            return 1;
        }
        case PROPSHEETUI_REASON_DESTROY: {
            std::unique_ptr<HostSession> session(reinterpret_cast<HostSession*>(info->UserData));
            info->UserData = 0;
            if (session == nullptr)
                return 1;
            session->EndSheet();
            if (kind == SheetKind::Document) {
                const auto& header = *reinterpret_cast<PDOCUMENTPROPERTYHEADER>(info->lParamInit);
                if ((header.fMode & DM_OUT_BUFFER) && header.pdmOut != nullptr)
                    WriteDevMode(*session, header);
            }
            info->Result = session->closedWithOk() || session->sheetApplied() ? CPSUI_OK : CPSUI_CANCEL;
            return 1;
        }
        default:
            return 1;
    }
}

// DeviceCapabilities' lists of paper sizes, from the GPD's PaperSize options.
struct Paper {
    std::wstring name;
    POINT tenthsOfMm{};
};

std::vector<Paper> PapersOf(const wchar_t* printerName) {
    std::vector<Paper> papers;
    HANDLE printer = nullptr;
    if (printerName == nullptr || !OpenPrinterW(const_cast<LPWSTR>(printerName), &printer, nullptr))
        return papers;
    m450host::InstalledDriverFiles files;
    std::wstring error;
    const bool found = m450host::FindInstalledDriverFiles(printer, &files, &error);
    ClosePrinter(printer);
    const auto text = found ? m450host::ReadFileBytes(files.dataFile) : std::nullopt;
    if (!text)
        return papers;
    const m450::gpd::Result description =
        m450::gpd::Read(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
    const m450::gpd::Feature* sizes = description.file ? description.file->FindFeature("PaperSize") : nullptr;
    if (sizes == nullptr)
        return papers;
    const auto units = m450::gpd::ReadPair(description.file->RootAttribute("MasterUnits").value_or(""));
    for (const m450::gpd::Option& option : sizes->options) {
        const m450::gpd::Entry* dimensions = option.entry->Child("PageDimensions");
        const auto size = dimensions != nullptr ? m450::gpd::ReadPair(dimensions->value) : std::nullopt;
        if (!size || !units || units->first <= 0 || units->second <= 0)
            continue;  // the custom size has no dimensions of its own
        Paper paper;
        const std::string& name = option.displayName.empty() ? option.name : option.displayName;
        paper.name.assign(name.begin(), name.end());
        paper.tenthsOfMm = {static_cast<LONG>(size->first * 254 / units->first),
                            static_cast<LONG>(size->second * 254 / units->second)};
        papers.push_back(paper);
    }
    return papers;
}

}  // namespace

extern "C" {

LONG APIENTRY DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    try {
        if (info != nullptr) {
            const auto* header = reinterpret_cast<PDOCUMENTPROPERTYHEADER>(info->lParamInit);
            if (header == nullptr || header->cbSize < sizeof(DOCUMENTPROPERTYHEADER))
                return ERR_CPSUI_GETLASTERROR;
            return SheetCall(info, lParam, SheetKind::Document, header->pszPrinterName);
        }
        // No sheet: the size, the defaults, or a device mode merged into them.
        auto* header = reinterpret_cast<PDOCUMENTPROPERTYHEADER>(lParam);
        if (header == nullptr || header->cbSize < sizeof(DOCUMENTPROPERTYHEADER))
            return -1;
        std::unique_ptr<HostSession> session = OpenSession(header->pszPrinterName);
        if (session == nullptr)
            return -1;
        if (header->fMode == 0 || header->pdmOut == nullptr) {
            header->cbOut = static_cast<DWORD>(session->DevModeSize());
            return static_cast<LONG>(header->cbOut);
        }
        MergeInput(*session, *header);
        if (header->fMode & DM_OUT_BUFFER)
            WriteDevMode(*session, *header);
        return IDOK;
    } catch (...) {
        return -1;
    }
}

LONG APIENTRY DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    try {
        if (info == nullptr)
            return -1;
        const auto* header = reinterpret_cast<PDEVICEPROPERTYHEADER>(info->lParamInit);
        if (header == nullptr || header->cbSize < sizeof(DEVICEPROPERTYHEADER))
            return ERR_CPSUI_GETLASTERROR;
        return SheetCall(info, lParam, SheetKind::Device, header->pszPrinterName);
    } catch (...) {
        return ERR_CPSUI_GETLASTERROR;
    }
}

DWORD APIENTRY DrvDeviceCapabilities(HANDLE, PWSTR printerName, WORD capability, PVOID output, PDEVMODEW) {
    try {
        switch (capability) {
            case DC_FIELDS:
                return DM_ORIENTATION | DM_FORMNAME | DM_PAPERSIZE;
            case DC_SIZE:
                return sizeof(DEVMODEW);
            case DC_EXTRA: {
                std::unique_ptr<HostSession> session = OpenSession(printerName);
                return session != nullptr ? static_cast<DWORD>(session->DevModeSize() - sizeof(DEVMODEW)) : 0;
            }
            case DC_VERSION:
                return DM_SPECVERSION;
            case DC_DRIVER:
                return 0x0500;
            case DC_COPIES:
                return 1;
            case DC_ORIENTATION:
                return 90;
            case DC_PAPERS:
            case DC_PAPERNAMES:
            case DC_PAPERSIZE: {
                const std::vector<Paper> papers = PapersOf(printerName);
                for (size_t i = 0; output != nullptr && i < papers.size(); ++i) {
                    if (capability == DC_PAPERS) {
                        static_cast<WORD*>(output)[i] = static_cast<WORD>(DMPAPER_USER + i);
                    } else if (capability == DC_PAPERSIZE) {
                        static_cast<POINT*>(output)[i] = papers[i].tenthsOfMm;
                    } else {
                        wchar_t* slot = static_cast<wchar_t*>(output) + i * 64;
                        std::fill(slot, slot + 64, L'\0');
                        std::copy_n(papers[i].name.begin(), std::min<size_t>(papers[i].name.size(), 63), slot);
                    }
                }
                return static_cast<DWORD>(papers.size());
            }
            default:
                return 0;
        }
    } catch (...) {
        return static_cast<DWORD>(-1);
    }
}

BOOL APIENTRY DrvDriverEvent(DWORD, DWORD, LPBYTE, LPARAM) {
    return TRUE;
}

}  // extern "C"
