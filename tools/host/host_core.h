// The part of the printer driver's UI core that M450UI.dll meets, played by us: it loads the
// plug-in through its class factory, hands it a driver interface, keeps the private record,
// offers the core's own option items, and builds the property sheets the way the printing
// system does (the core's pages first, the plug-in's pages added through pfnComPropSheet).
//
// m450host.exe and the Windows test harness both drive the plug-in through this library.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/printoem.h"
#include "uicore/config_module.h"

namespace m450::gpd {
class File;
}

namespace m450host {

inline constexpr wchar_t kDefaultPrinterName[] = L"KVL-M450";
// The model the package's INF installs; every printer of ours uses this driver.
inline constexpr wchar_t kDriverName[] = L"KVL-M450";

enum class SheetKind { Document, Device };

// "KVL-M450 Printing Preferences" / "KVL-M450 Properties".
std::wstring SheetTitle(SheetKind kind, std::wstring_view printerName);

// A Unix path ("/work/...") as Wine's DOS path ("Z:\work\..."); other paths unchanged.
std::wstring WindowsPath(std::wstring_view path);
std::wstring WindowsPath(const char* path);

// "what failed (error N)".
std::wstring ErrorText(std::wstring_view what, DWORD code);

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, std::span<const uint8_t> bytes);

// Installs the driver from this build's package (package/x64 or package/x86) as Windows would
// from its INF: AddPrinterDriverExW with the model, data file and files the INF names, the
// stand-in UI core (m450uicore.dll) as the driver's ConfigFile. The spooler copies every file
// into the printer-driver directory. `packageDir` and `configModule` default to this build's.
bool InstallPackageDriver(std::wstring* error, std::wstring packageDir = {}, std::wstring configModule = {});

// A printer `name` whose port is the file `portPath`, on the driver installed from the package
// (installed first), as the test prefix and the demo need it. Idempotent: an existing printer
// on the same port and driver is kept, another one is replaced. `error` says what failed.
bool InstallFilePortPrinter(const std::wstring& name, const std::wstring& portPath, std::wstring* error);

// What the printer's installed driver names, with full paths in the driver directory: the
// plug-in DLL named by the plug-in .ini among its dependent files ([OEMFiles]
// OEMConfigFile1), and its data file (the GPD). False with `error` set when there is none.
struct InstalledDriverFiles {
    std::wstring plugin;
    std::wstring dataFile;
    std::wstring configFile;
};
bool FindInstalledDriverFiles(HANDLE printer, InstalledDriverFiles* files, std::wstring* error);

// An in-memory dialog template (DLGTEMPLATE followed by its items), for the core's own pages
// and for tests that need a dialog of their own.
class DialogTemplate {
  public:
    DialogTemplate(DWORD style, short cx, short cy, std::wstring_view title = {});
    // `windowClass` is one of the predefined atoms: 0x0080 button, 0x0081 edit, 0x0082 static,
    // 0x0083 list box, 0x0085 combo box; AddControl takes a class name instead.
    void AddItem(WORD id, WORD windowClass, DWORD style, short x, short y, short cx, short cy, std::wstring_view text);
    void AddControl(WORD id,
                    std::wstring_view windowClass,
                    DWORD style,
                    short x,
                    short y,
                    short cx,
                    short cy,
                    std::wstring_view text = {});
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    void AddString(std::wstring_view text);
    void AlignToDword();
    void AddItemHeader(WORD id, DWORD style, short x, short y, short cx, short cy);
    std::vector<WORD> words_;
};

// One call the plug-in made to DrvUpdateUISetting, through the interface or through OEMUIOBJ.
struct UISettingCall {
    void* pci = nullptr;
    OPTITEM* item = nullptr;
    DWORD previousSelection = 0;
    DWORD mode = 0;
    LONG itemSelection = 0;  // the item's Sel when the call was made
};

// One CPSFUNC_SET_RESULT call of a page.
struct SetResultCall {
    HANDLE page = nullptr;
    LPARAM result = 0;
};

// The driver interface handed to PublishDriverInterface; it records what the plug-in reports.
class RecordingDriverUI final : public IPrintOemDriverUI {
  public:
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(DrvGetDriverSetting)(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) override;
    STDMETHOD(DrvUpgradeRegistrySetting)(HANDLE, PCSTR, PCSTR) override;
    STDMETHOD(DrvUpdateUISetting)(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) override;

    void Record(PVOID pci, PVOID item, DWORD previousSelection, DWORD mode);
    const std::vector<UISettingCall>& calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    LONG references() const { return references_; }

  private:
    LONG references_ = 1;  // owned by the session, never freed by Release
    std::vector<UISettingCall> calls_;
};

// The core's option items as its document sheet offers them: the form name (a public DEVMODE
// item), the printer's print density (a GPD feature, level 2, no public identifier), and two
// ordinary items. Texts live in buffers of their own, so that a plug-in may repoint pData.
class DriverOptionItems {
  public:
    DriverOptionItems();
    // One item per feature of the printer's description, in its order: PaperSize is the form
    // name, Orientation the public orientation, every other feature a level-2 item without a
    // public identifier (as Unidrv lists "Printer Features"), each at its default option.
    explicit DriverOptionItems(const m450::gpd::File& description);
    DriverOptionItems(const DriverOptionItems&) = delete;
    DriverOptionItems& operator=(const DriverOptionItems&) = delete;

    static constexpr std::array<const wchar_t*, 5> kFormNames = {L"Letter", L"A4", L"Custom Paper-M450",
                                                                 L"80mm x 297mm", L"58mm x 297mm"};
    static constexpr LONG kDefaultForm = 3;  // "80mm x 297mm"

    POPTITEM items() { return items_.data(); }
    DWORD count() const { return static_cast<DWORD>(items_.size()); }
    OPTITEM& formName() { return items_[formIndex_]; }
    OPTITEM& density() { return items_[densityIndex_]; }
    // The display text of option `index` of `item` (whatever pData points at now).
    static std::wstring OptionText(const OPTITEM& item, size_t index);

  private:
    struct Choice {
        OPTTYPE type{};
        std::vector<OPTPARAM> params;
        std::vector<std::wstring> texts;
    };
    void Add(std::wstring_view name, BYTE level, BYTE dmPubId, std::span<const wchar_t* const> options, LONG sel);
    void Add(std::wstring_view name,
             BYTE level,
             BYTE dmPubId,
             std::initializer_list<const wchar_t*> options,
             LONG sel) {
        Add(name, level, dmPubId, std::span<const wchar_t* const>(options.begin(), options.size()), sel);
    }

    std::vector<OPTITEM> items_;
    size_t formIndex_ = 0;
    size_t densityIndex_ = 1;
    std::vector<std::unique_ptr<Choice>> choices_;
    std::vector<std::unique_ptr<std::wstring>> names_;
};

struct SessionOptions {
    std::wstring dllPath;  // empty: the DLL this build made
    std::wstring printerName = kDefaultPrinterName;
    // The plug-in and the option items from the printer's installed driver (the DLL its .ini
    // names, the features of its GPD), as the UI core finds them; dllPath is then ignored.
    bool installedDriver = false;
};

// One plug-in object and what the core keeps for it: the record, the option items, the
// parameter blocks, and at most one open sheet.
class HostSession {
  public:
    // Loads the DLL (kept loaded for the process: pages may leave windows of its classes
    // behind), creates the plug-in, publishes the driver interface, sizes and defaults the
    // record, opens the printer. Null with `error` set on failure.
    static std::unique_ptr<HostSession> Create(const SessionOptions& options, std::wstring* error);
    ~HostSession();
    HostSession(const HostSession&) = delete;
    HostSession& operator=(const HostSession&) = delete;

    // Merges a stored record (any size from the 12-byte header on) into the defaults, as the
    // core does with the record a document brings along.
    bool MergeRecord(std::span<const uint8_t> stored, std::wstring* error);
    bool LoadRecord(const std::wstring& path, std::wstring* error);
    bool SaveRecord(const std::wstring& path) const;
    std::span<uint8_t> record() { return record_; }

    // The whole device mode: the public part, the core's part, the record.
    std::vector<uint8_t> DevModeBytes() const;
    size_t DevModeSize() const { return sizeof(DEVMODEW) + sizeof(CorePrivate) + record_.size(); }
    // Takes what a device mode of `size` bytes carries: the form name and orientation, the
    // core's selections, the plug-in's record (merged, so a record of another version or
    // with a false size is refused or filled out by the plug-in). False with `error` set when
    // the device mode is not one of this driver's; what it could take is kept.
    bool MergeDevMode(const DEVMODEW* devMode, size_t size, std::wstring* error);

    // Opens a sheet: CommonUIProp, the core's pages, the plug-in's sheet routine at INIT, then
    // PropertySheetW. RunModal returns when the sheet is closed (and has called DESTROY);
    // OpenModeless returns the sheet window, or null when the sheet could not be made.
    INT_PTR RunModal(SheetKind kind);
    HWND OpenModeless(SheetKind kind);
    // For a modeless sheet: whether OK or Cancel has ended it; Close destroys it and calls the
    // sheet routine with DESTROY (also done by the destructor).
    bool SheetEnded() const;
    void CloseSheet();
    HWND sheet() const { return sheet_; }
    bool sheetApplied() const { return applied_; }  // OK or Apply reached the core's pages
    bool closedWithOk() const { return closedWithOk_; }

    // What the core received and recorded.
    IPrintOemUI* plugin() const { return plugin_; }
    RecordingDriverUI& driverUI() { return driverUI_; }
    DriverOptionItems& optionItems() { return *optionItems_; }
    const std::vector<SetResultCall>& setResultCalls() const { return setResults_; }
    const std::vector<HPROPSHEETPAGE>& pluginPages() const { return pluginPages_; }
    size_t hostPageCount() const { return hostPages_.size(); }
    // What the sheet routine returned at INIT (and the Result it stored), and at DESTROY.
    HRESULT sheetInitResult() const { return initResult_; }
    ULONG_PTR sheetInitInfoResult() const { return initInfoResult_; }
    HRESULT sheetDestroyResult() const { return destroyResult_; }
    const OEMCUIPPARAM& commonUIParam() const { return cuiParam_; }
    const OEMUIPSPARAM& sheetParam() const { return uipsParam_; }
    HANDLE printer() const { return printer_; }
    const std::wstring& printerName() const { return printerName_; }
    DEVMODEW& publicDevMode() { return publicDM_; }

    // A sheet made by somebody else (compstui, for the configuration module): BuildSheet makes
    // the core's and the plug-in's pages (the caller then owns the handles) and EndSheet tells
    // the plug-in the sheet is gone. The record is then the one last applied.
    bool BuildSheet(SheetKind kind, std::vector<HPROPSHEETPAGE>* pages) { return PrepareSheet(kind, pages); }
    void EndSheet() { FinishSheet(); }
    HMODULE pluginModule() const { return module_; }
    const std::wstring& sheetTitle() const { return title_; }

    // Used by the core's own pages and the sheet callback.
    void NoteApplied(bool ok);
    // What OK or Apply left: a Cancel gives it back (posted by the core's page after an Apply,
    // so that every page has applied first).
    void Commit();
    LONG_PTR ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2);
    static HostSession* FromSheetHandle(HANDLE handle);

  private:
    struct HostPage {
        HostSession* session;
        std::wstring title;
        DialogTemplate dialog;
    };
    struct UiObject {
        OEMUIOBJ obj;
        HostSession* session;
    };
    static BOOL APIENTRY UpdateUISettingThroughObject(PVOID pdriverobj, PVOID item, DWORD previous, DWORD mode);
    static BOOL APIENTRY GetDriverSettingThroughObject(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD);
    static INT_PTR CALLBACK HostPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HostSession() = default;
    bool Start(const SessionOptions& options, std::wstring* error);
    bool DevModeCall(DWORD mode, const void* in);
    bool PrepareSheet(SheetKind kind, std::vector<HPROPSHEETPAGE>* pages);
    PROPSHEETHEADERW SheetHeader(SheetKind kind, std::vector<HPROPSHEETPAGE>& pages, bool modeless);
    HRESULT CallSheetRoutine(WORD reason, LPARAM lParam);
    void FinishSheet();

    HMODULE module_ = nullptr;
    IPrintOemUI* plugin_ = nullptr;
    RecordingDriverUI driverUI_;
    OEMUIPROCS procs_{};
    UiObject uiObject_{};
    std::wstring printerName_;
    HANDLE printer_ = nullptr;
    DEVMODEW publicDM_{};
    std::vector<uint8_t> record_;
    std::unique_ptr<DriverOptionItems> optionItems_;
    // What the last OK or Apply left (or the sheet's start), for a Cancel.
    std::vector<uint8_t> committedRecord_;
    DEVMODEW committedPublicDM_{};
    std::vector<LONG> committedSelections_;
    std::vector<OPTITEM> pluginOptionItems_;
    OEMCUIPPARAM cuiParam_{};
    OEMUIPSPARAM uipsParam_{};

    // The sheet.
    SheetKind kind_ = SheetKind::Document;
    bool sheetOpen_ = false;
    std::wstring title_;
    std::vector<std::unique_ptr<HostPage>> hostPages_;
    std::vector<HPROPSHEETPAGE> pluginPages_;
    PROPSHEETUI_INFO sheetInfo_{};
    HRESULT initResult_ = E_FAIL;
    ULONG_PTR initInfoResult_ = 0;
    HRESULT destroyResult_ = E_FAIL;
    std::vector<SetResultCall> setResults_;
    HWND sheet_ = nullptr;
    bool applied_ = false;
    bool closedWithOk_ = false;
};

// The id of the paper-size list on the core's "Paper/Quality" page.
inline constexpr int kHostPaperSizeList = 1001;

}  // namespace m450host
