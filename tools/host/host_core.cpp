#include "host_core.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace m450host {
namespace {

using GetClassObjectFunction = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

// A plug-in record is at least its header and never more than this; a size outside that is
// not a record.
constexpr DWORD kHeaderSize = sizeof(OEM_DMEXTRAHEADER);
constexpr DWORD kLargestRecord = 64 * 1024;
// The most option items the core makes room for when a plug-in asks for some.
constexpr DWORD kMostPluginItems = 256;

constexpr std::array<const wchar_t*, 2> kDocumentPageTitles = {L"Layout", L"Paper/Quality"};
constexpr std::array<const wchar_t*, 6> kDevicePageTitles = {L"General",  L"Sharing",  L"Ports",
                                                             L"Advanced", L"Security", L"Device Settings"};
constexpr WORD kStaticClass = 0x0082;
constexpr WORD kComboBoxClass = 0x0085;

std::wstring DefaultDllPath() {
#ifdef M450UI_DLL_PATH
    return WindowsPath(M450UI_DLL_PATH);
#else
    return L"M450UI.dll";
#endif
}

// Sessions may live on several threads of one process (the thread tests): the list is locked.
SRWLOCK g_sessionsLock = SRWLOCK_INIT;

std::vector<HostSession*>& LiveSessions() {
    static std::vector<HostSession*> sessions;
    return sessions;
}

class SessionsLock {
  public:
    SessionsLock() { AcquireSRWLockExclusive(&g_sessionsLock); }
    ~SessionsLock() { ReleaseSRWLockExclusive(&g_sessionsLock); }
    SessionsLock(const SessionsLock&) = delete;
    SessionsLock& operator=(const SessionsLock&) = delete;
};

LONG_PTR CALLBACK ComPropSheetEntry(HANDLE sheet, UINT function, LPARAM lParam1, LPARAM lParam2) {
    HostSession* session = HostSession::FromSheetHandle(sheet);
    return session != nullptr ? session->ComPropSheet(function, lParam1, lParam2) : 0;
}

std::wstring PrinterPort(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    if (needed == 0)
        return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterW(printer, 2, buffer.data(), needed, &needed))
        return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2W*>(buffer.data());
    return info->pPortName != nullptr ? info->pPortName : L"";
}

bool DeletePrinterNamed(const std::wstring& name) {
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &printer, &access))
        return false;
    const BOOL deleted = DeletePrinter(printer);
    ClosePrinter(printer);
    return deleted != FALSE;
}

std::wstring ErrorText(std::wstring_view what, DWORD code) {
    return std::wstring(what) + L" failed (error " + std::to_wstring(code) + L")";
}

}  // namespace

std::wstring SheetTitle(SheetKind kind, std::wstring_view printerName) {
    return std::wstring(printerName) + (kind == SheetKind::Document ? L" Printing Preferences" : L" Properties");
}

std::wstring WindowsPath(const char* path) {
    using DosNameFunction = WCHAR*(CDECL*)(const char*);
    if (path[0] == '/') {
        auto toDos = reinterpret_cast<DosNameFunction>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
        if (toDos != nullptr) {
            if (WCHAR* dos = toDos(path)) {
                std::wstring result(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                return result;
            }
        }
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, path, -1, nullptr, 0);
    std::wstring result(length > 0 ? length - 1 : 0, L'\0');
    if (length > 1)
        MultiByteToWideChar(CP_UTF8, 0, path, -1, result.data(), length);
    return result;
}

std::wstring WindowsPath(std::wstring_view path) {
    if (path.empty() || path[0] != L'/')
        return std::wstring(path);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), narrow.data(), length, nullptr,
                        nullptr);
    return WindowsPath(narrow.c_str());
}

std::optional<std::vector<uint8_t>> ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    LARGE_INTEGER size{};
    std::optional<std::vector<uint8_t>> bytes;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart <= 256 * 1024 * 1024) {
        std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        if (data.empty() ||
            (ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) && read == data.size()))
            bytes = std::move(data);
    }
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::wstring& path, std::span<const uint8_t> bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        bytes.empty() ||
        (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size());
    CloseHandle(file);
    return ok;
}

bool InstallFilePortPrinter(const std::wstring& name, const std::wstring& portPath, std::wstring* error) {
    HANDLE existing = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(name.c_str()), &existing, nullptr)) {
        const std::wstring port = PrinterPort(existing);
        ClosePrinter(existing);
        if (_wcsicmp(port.c_str(), portPath.c_str()) == 0)
            return true;
        if (!DeletePrinterNamed(name)) {
            *error = ErrorText(L"DeletePrinter of the printer on port " + port, GetLastError());
            return false;
        }
    }

    // The spooler wants existing files for the driver; the plug-in itself is loaded by the
    // host, not by the spooler, so a placeholder serves.
    wchar_t temp[MAX_PATH];
    const DWORD tempLength = GetTempPathW(MAX_PATH, temp);
    if (tempLength == 0 || tempLength >= MAX_PATH) {
        *error = ErrorText(L"GetTempPathW", GetLastError());
        return false;
    }
    std::wstring placeholder = std::wstring(temp) + name + L".gpd";
    static constexpr char kPlaceholder[] = "*% Placeholder driver data of the test printer\r\n";
    if (!WriteFileBytes(placeholder, {reinterpret_cast<const uint8_t*>(kPlaceholder), sizeof(kPlaceholder) - 1})) {
        *error = ErrorText(L"Writing " + placeholder, GetLastError());
        return false;
    }

    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(name.c_str());
#ifdef _WIN64
    driver.pEnvironment = const_cast<LPWSTR>(L"Windows x64");
#else
    driver.pEnvironment = const_cast<LPWSTR>(L"Windows NT x86");
#endif
    driver.pDriverPath = placeholder.data();
    driver.pDataFile = placeholder.data();
    driver.pConfigFile = placeholder.data();
    driver.pDefaultDataType = const_cast<LPWSTR>(L"RAW");
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES) &&
        GetLastError() != ERROR_PRINTER_DRIVER_ALREADY_INSTALLED) {
        *error = ErrorText(L"AddPrinterDriverExW", GetLastError());
        return false;
    }

    PRINTER_INFO_2W info{};
    info.pPrinterName = const_cast<LPWSTR>(name.c_str());
    info.pPortName = const_cast<LPWSTR>(portPath.c_str());
    info.pDriverName = const_cast<LPWSTR>(name.c_str());
    info.pPrintProcessor = const_cast<LPWSTR>(L"WinPrint");
    info.pDatatype = const_cast<LPWSTR>(L"RAW");
    HANDLE added = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (added == nullptr) {
        if (GetLastError() == ERROR_PRINTER_ALREADY_EXISTS)
            return true;
        *error = ErrorText(L"AddPrinterW", GetLastError());
        return false;
    }
    ClosePrinter(added);
    return true;
}

// DialogTemplate ---------------------------------------------------------------------------

DialogTemplate::DialogTemplate(DWORD style, short cx, short cy, std::wstring_view title) {
    style |= DS_SETFONT;
    words_ = {LOWORD(style),         HIWORD(style),   0, 0, 0 /* items */, 0, 0, static_cast<WORD>(cx),
              static_cast<WORD>(cy), 0 /* no menu */, 0 /* default class */};
    AddString(title);
    words_.push_back(8);
    AddString(L"MS Shell Dlg");
}

void DialogTemplate::AddString(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
}

void DialogTemplate::AlignToDword() {
    if (words_.size() % 2 != 0)
        words_.push_back(0);
}

void DialogTemplate::AddItemHeader(WORD id, DWORD style, short x, short y, short cx, short cy) {
    AlignToDword();
    style |= WS_CHILD | WS_VISIBLE;
    words_.insert(words_.end(), {LOWORD(style), HIWORD(style), 0, 0, static_cast<WORD>(x), static_cast<WORD>(y),
                                 static_cast<WORD>(cx), static_cast<WORD>(cy), id});
    ++words_[4];
}

void DialogTemplate::AddItem(WORD id,
                             WORD windowClass,
                             DWORD style,
                             short x,
                             short y,
                             short cx,
                             short cy,
                             std::wstring_view text) {
    AddItemHeader(id, style, x, y, cx, cy);
    words_.insert(words_.end(), {0xFFFF, windowClass});
    AddString(text);
    words_.push_back(0);  // no creation data
}

void DialogTemplate::AddControl(WORD id,
                                std::wstring_view windowClass,
                                DWORD style,
                                short x,
                                short y,
                                short cx,
                                short cy,
                                std::wstring_view text) {
    AddItemHeader(id, style, x, y, cx, cy);
    AddString(windowClass);
    AddString(text);
    words_.push_back(0);
}

// RecordingDriverUI ------------------------------------------------------------------------

HRESULT RecordingDriverUI::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr)
        return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG RecordingDriverUI::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG RecordingDriverUI::Release() {
    return static_cast<ULONG>(InterlockedDecrement(&references_));
}

HRESULT RecordingDriverUI::DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) {
    return E_NOTIMPL;
}

HRESULT RecordingDriverUI::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
    return E_NOTIMPL;
}

HRESULT RecordingDriverUI::DrvUpdateUISetting(PVOID pci, PVOID pOptItem, DWORD dwPreviousSelection, DWORD dwMode) {
    Record(pci, pOptItem, dwPreviousSelection, dwMode);
    return S_OK;
}

void RecordingDriverUI::Record(PVOID pci, PVOID item, DWORD previousSelection, DWORD mode) {
    auto* optItem = static_cast<OPTITEM*>(item);
    calls_.push_back({pci, optItem, previousSelection, mode, optItem != nullptr ? optItem->Sel : 0});
}

// DriverOptionItems ------------------------------------------------------------------------

DriverOptionItems::DriverOptionItems() {
    items_.reserve(4);
    Add(L"Paper Size", 1, DMPUB_FORMNAME, {kFormNames[0], kFormNames[1], kFormNames[2], kFormNames[3], kFormNames[4]},
        kDefaultForm);
    Add(L"Printing Density", 2, DMPUB_NONE, {L"Light Density", L"Normal Density", L"Dark Density"}, 1);
    Add(L"Orientation", 1, DMPUB_ORIENTATION, {L"Portrait", L"Landscape"}, 0);
    Add(L"Print Speed", 2, DMPUB_NONE, {L"Standard", L"High"}, 0);
}

void DriverOptionItems::Add(std::wstring_view name,
                            BYTE level,
                            BYTE dmPubId,
                            std::initializer_list<const wchar_t*> options,
                            LONG sel) {
    auto choice = std::make_unique<Choice>();
    choice->texts.assign(options.begin(), options.end());
    for (std::wstring& text : choice->texts) {
        OPTPARAM param{};
        param.cbSize = sizeof(OPTPARAM);
        param.pData = text.data();
        choice->params.push_back(param);
    }
    choice->type.cbSize = sizeof(OPTTYPE);
    choice->type.Type = TVOT_LISTBOX;
    choice->type.Count = static_cast<WORD>(choice->params.size());
    choice->type.pOptParam = choice->params.data();

    names_.push_back(std::make_unique<std::wstring>(name));
    OPTITEM item{};
    item.cbSize = sizeof(OPTITEM);
    item.Level = level;
    item.pName = names_.back()->data();
    item.Sel = sel;
    item.pOptType = &choice->type;
    item.DMPubID = dmPubId;
    items_.push_back(item);
    choices_.push_back(std::move(choice));
}

std::wstring DriverOptionItems::OptionText(const OPTITEM& item, size_t index) {
    if (item.pOptType == nullptr || index >= item.pOptType->Count || item.pOptType->pOptParam == nullptr)
        return {};
    const LPWSTR text = item.pOptType->pOptParam[index].pData;
    return text != nullptr ? text : L"";
}

// HostSession ------------------------------------------------------------------------------

std::unique_ptr<HostSession> HostSession::Create(const SessionOptions& options, std::wstring* error) {
    std::unique_ptr<HostSession> session(new (std::nothrow) HostSession());
    if (session == nullptr) {
        *error = L"out of memory";
        return nullptr;
    }
    if (!session->Start(options, error))
        return nullptr;
    return session;
}

bool HostSession::Start(const SessionOptions& options, std::wstring* error) {
    {
        const SessionsLock lock;
        LiveSessions().push_back(this);
    }
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    const std::wstring dllPath = options.dllPath.empty() ? DefaultDllPath() : WindowsPath(options.dllPath);
    module_ = LoadLibraryW(dllPath.c_str());
    if (module_ == nullptr) {
        *error = ErrorText(L"LoadLibraryW(" + dllPath + L")", GetLastError());
        return false;
    }
    auto getClassObject =
        reinterpret_cast<GetClassObjectFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    if (getClassObject == nullptr) {
        *error = L"the DLL has no DllGetClassObject";
        return false;
    }
    IClassFactory* factory = nullptr;
    HRESULT hr = getClassObject(CLSID_M450UI, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr) || factory == nullptr) {
        *error = ErrorText(L"DllGetClassObject", static_cast<DWORD>(hr));
        return false;
    }
    hr = factory->CreateInstance(nullptr, IID_IPrintOemUI, reinterpret_cast<void**>(&plugin_));
    factory->Release();
    if (FAILED(hr) || plugin_ == nullptr) {
        plugin_ = nullptr;
        *error = ErrorText(L"CreateInstance(IPrintOemUI)", static_cast<DWORD>(hr));
        return false;
    }
    hr = plugin_->PublishDriverInterface(&driverUI_);
    if (FAILED(hr)) {
        *error = ErrorText(L"PublishDriverInterface", static_cast<DWORD>(hr));
        return false;
    }

    printerName_ = options.printerName;
    if (!OpenPrinterW(printerName_.data(), &printer_, nullptr))
        printer_ = nullptr;  // the sheets still open; device pages then find no printer
    procs_.DrvGetDriverSetting = &GetDriverSettingThroughObject;
    procs_.DrvUpdateUISetting = &UpdateUISettingThroughObject;
    uiObject_.obj.cbSize = sizeof(OEMUIOBJ);
    uiObject_.obj.pOemUIProcs = &procs_;
    uiObject_.session = this;

    publicDM_.dmSpecVersion = DM_SPECVERSION;
    publicDM_.dmSize = sizeof(DEVMODEW);
    publicDM_.dmFields = DM_ORIENTATION | DM_FORMNAME;
    publicDM_.dmOrientation = DMORIENT_PORTRAIT;
    wcsncpy(publicDM_.dmDeviceName, printerName_.c_str(), CCHDEVICENAME - 1);
    wcsncpy(publicDM_.dmFormName, DriverOptionItems::kFormNames[DriverOptionItems::kDefaultForm], CCHFORMNAME - 1);

    if (!DevModeCall(OEMDM_SIZE, nullptr)) {
        *error = L"DevMode(OEMDM_SIZE) failed or gave a size out of range";
        return false;
    }
    if (!DevModeCall(OEMDM_DEFAULT, nullptr)) {
        *error = L"DevMode(OEMDM_DEFAULT) failed";
        return false;
    }
    return true;
}

HostSession::~HostSession() {
    CloseSheet();
    if (plugin_ != nullptr)
        plugin_->Release();
    if (printer_ != nullptr)
        ClosePrinter(printer_);
    const SessionsLock lock;
    auto& live = LiveSessions();
    live.erase(std::remove(live.begin(), live.end(), this), live.end());
}

HostSession* HostSession::FromSheetHandle(HANDLE handle) {
    const SessionsLock lock;
    for (HostSession* session : LiveSessions()) {
        if (static_cast<HANDLE>(session) == handle)
            return session;
    }
    return nullptr;
}

bool HostSession::DevModeCall(DWORD mode, const void* in) {
    OEMDMPARAM param{};
    param.cbSize = sizeof(param);
    param.pdriverobj = &uiObject_.obj;
    param.hPrinter = printer_;
    param.hModule = module_;
    param.pPublicDMIn = &publicDM_;
    param.pPublicDMOut = &publicDM_;
    if (mode == OEMDM_SIZE) {
        if (FAILED(plugin_->DevMode(mode, &param)))
            return false;
        if (param.cbBufSize < kHeaderSize || param.cbBufSize > kLargestRecord)
            return false;
        record_.assign(param.cbBufSize, 0);
        publicDM_.dmDriverExtra = static_cast<WORD>(param.cbBufSize);
        return true;
    }
    param.pOEMDMIn = const_cast<void*>(in);
    param.pOEMDMOut = record_.data();
    param.cbBufSize = static_cast<DWORD>(record_.size());
    return SUCCEEDED(plugin_->DevMode(mode, &param));
}

bool HostSession::MergeRecord(std::span<const uint8_t> stored, std::wstring* error) {
    if (stored.size() < kHeaderSize) {
        *error = L"a stored record has at least its 12-byte header; this one has " + std::to_wstring(stored.size());
        return false;
    }
    uint32_t claimed = 0;
    std::memcpy(&claimed, stored.data(), sizeof(claimed));
    // A record that claims more bytes than it has would let the plug-in read past it.
    if (claimed > stored.size()) {
        *error = L"the stored record claims " + std::to_wstring(claimed) + L" bytes but has " +
                 std::to_wstring(stored.size());
        return false;
    }
    std::vector<uint8_t> input(std::max(stored.size(), record_.size()), 0);
    std::copy(stored.begin(), stored.end(), input.begin());
    if (!DevModeCall(OEMDM_MERGE, input.data())) {
        *error = L"DevMode(OEMDM_MERGE) failed";
        return false;
    }
    return true;
}

bool HostSession::LoadRecord(const std::wstring& path, std::wstring* error) {
    const auto bytes = ReadFileBytes(WindowsPath(path));
    if (!bytes) {
        *error = L"cannot read " + path;
        return false;
    }
    return MergeRecord(*bytes, error);
}

bool HostSession::SaveRecord(const std::wstring& path) const {
    return WriteFileBytes(WindowsPath(path), record_);
}

BOOL APIENTRY HostSession::UpdateUISettingThroughObject(PVOID pdriverobj, PVOID item, DWORD previous, DWORD mode) {
    if (pdriverobj == nullptr)
        return FALSE;
    // The OEMUIOBJ is the first member of UiObject, so the pointer leads back to the session.
    auto* object = static_cast<UiObject*>(pdriverobj);
    object->session->driverUI_.Record(pdriverobj, item, previous, mode);
    return TRUE;
}

BOOL APIENTRY HostSession::GetDriverSettingThroughObject(PVOID, PCSTR, PVOID, DWORD, PDWORD, PDWORD) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

INT_PTR CALLBACK HostSession::HostPageProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page = reinterpret_cast<HostPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->session->sheet_ = GetParent(dialog);
        if (HWND list = GetDlgItem(dialog, kHostPaperSizeList)) {
            const OPTITEM& form = page->session->optionItems_.formName();
            for (WORD i = 0; i < form.pOptType->Count; ++i)
                SendMessageW(list, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(DriverOptionItems::OptionText(form, i).c_str()));
        }
        return TRUE;
    }
    auto* page = reinterpret_cast<HostPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (page == nullptr)
        return FALSE;
    OPTITEM& form = page->session->optionItems_.formName();
    if (message == WM_COMMAND && LOWORD(wParam) == kHostPaperSizeList && HIWORD(wParam) == CBN_SELCHANGE) {
        const LRESULT selected = SendDlgItemMessageW(dialog, kHostPaperSizeList, CB_GETCURSEL, 0, 0);
        if (selected >= 0) {
            form.Sel = static_cast<LONG>(selected);
            form.Flags |= OPTIF_CHANGED;
            PropSheet_Changed(GetParent(dialog), dialog);
        }
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == PSN_SETACTIVE) {
            // The plug-in may have chosen another form on its own page.
            SendDlgItemMessageW(dialog, kHostPaperSizeList, CB_SETCURSEL, static_cast<WPARAM>(form.Sel), 0);
        } else if (header->code == PSN_APPLY) {
            page->session->NoteApplied(reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam != 0);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
    }
    return FALSE;
}

void HostSession::NoteApplied(bool ok) {
    applied_ = true;
    closedWithOk_ = closedWithOk_ || ok;
    const OPTITEM& form = optionItems_.formName();
    const std::wstring formName = DriverOptionItems::OptionText(form, static_cast<size_t>(form.Sel));
    std::memset(publicDM_.dmFormName, 0, sizeof(publicDM_.dmFormName));
    wcsncpy(publicDM_.dmFormName, formName.c_str(), CCHFORMNAME - 1);
}

LONG_PTR HostSession::ComPropSheet(UINT function, LPARAM lParam1, LPARAM lParam2) {
    switch (function) {
        case CPSFUNC_ADD_PROPSHEETPAGEW: {
            const auto* page = reinterpret_cast<const PROPSHEETPAGEW*>(lParam1);
            if (page == nullptr)
                return 0;
            HPROPSHEETPAGE handle = CreatePropertySheetPageW(page);
            if (handle == nullptr)
                return 0;
            pluginPages_.push_back(handle);
            return reinterpret_cast<LONG_PTR>(handle);
        }
        case CPSFUNC_SET_RESULT:
            setResults_.push_back({reinterpret_cast<HANDLE>(lParam1), lParam2});
            return 1;
        default:
            return 0;
    }
}

HRESULT HostSession::CallSheetRoutine(WORD reason, LPARAM lParam) {
    sheetInfo_.Reason = reason;
    if (kind_ == SheetKind::Document)
        return plugin_->DocumentPropertySheets(&sheetInfo_, lParam);
    return plugin_->DevicePropertySheets(&sheetInfo_, lParam);
}

bool HostSession::PrepareSheet(SheetKind kind, std::vector<HPROPSHEETPAGE>* pages) {
    kind_ = kind;
    title_ = SheetTitle(kind, printerName_);
    pluginPages_.clear();
    setResults_.clear();
    destroyResult_ = E_FAIL;
    applied_ = false;
    closedWithOk_ = false;
    sheet_ = nullptr;

    // The common UI's option items: first asked with no room, as the core asks how many items
    // the plug-in wants to add, then again with room when it wants some.
    const bool document = kind == SheetKind::Document;
    cuiParam_ = OEMCUIPPARAM{};
    cuiParam_.cbSize = sizeof(cuiParam_);
    cuiParam_.poemuiobj = &uiObject_.obj;
    cuiParam_.hPrinter = printer_;
    cuiParam_.pPrinterName = printerName_.data();
    cuiParam_.hModule = module_;
    cuiParam_.hOEMHeap = GetProcessHeap();
    cuiParam_.pPublicDM = document ? &publicDM_ : nullptr;
    cuiParam_.pOEMDM = document ? record_.data() : nullptr;
    cuiParam_.pDrvOptItems = optionItems_.items();
    cuiParam_.cDrvOptItems = optionItems_.count();
    const DWORD commonMode = document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    // More items than any sheet holds are not made room for (nor asked for again).
    if (SUCCEEDED(plugin_->CommonUIProp(commonMode, &cuiParam_)) && cuiParam_.cOEMOptItems > 0 &&
        cuiParam_.cOEMOptItems <= kMostPluginItems) {
        pluginOptionItems_.assign(cuiParam_.cOEMOptItems, OPTITEM{});
        cuiParam_.pOEMOptItems = pluginOptionItems_.data();
        plugin_->CommonUIProp(commonMode, &cuiParam_);
    }

    uipsParam_ = OEMUIPSPARAM{};
    uipsParam_.cbSize = sizeof(uipsParam_);
    uipsParam_.poemuiobj = &uiObject_.obj;
    uipsParam_.hPrinter = printer_;
    uipsParam_.pPrinterName = printerName_.data();
    uipsParam_.hModule = module_;
    uipsParam_.hOEMHeap = GetProcessHeap();
    uipsParam_.pPublicDM = cuiParam_.pPublicDM;
    uipsParam_.pOEMDM = cuiParam_.pOEMDM;

    // The core's own pages come first, as in the real sheets.
    hostPages_.clear();
    pages->clear();
    const std::span<const wchar_t* const> titles = document ? std::span<const wchar_t* const>(kDocumentPageTitles)
                                                            : std::span<const wchar_t* const>(kDevicePageTitles);
    for (const wchar_t* title : titles) {
        auto page =
            std::unique_ptr<HostPage>(new HostPage{this, title, DialogTemplate(WS_CHILD | WS_CAPTION, 200, 120)});
        page->dialog.AddItem(0xFFFF, kStaticClass, SS_LEFT, 7, 7, 186, 20,
                             L"This page belongs to the printer driver's UI core.");
        if (page->title == L"Paper/Quality") {
            page->dialog.AddItem(0xFFFF, kStaticClass, SS_LEFT, 7, 32, 60, 10, L"Paper Size:");
            page->dialog.AddItem(kHostPaperSizeList, kComboBoxClass, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 70, 30,
                                 120, 100, L"");
        }
        PROPSHEETPAGEW record{};
        record.dwSize = sizeof(record);
        record.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        record.hInstance = GetModuleHandleW(nullptr);
        record.pResource = page->dialog.get();
        record.pszTitle = page->title.c_str();
        record.pfnDlgProc = &HostPageProc;
        record.lParam = reinterpret_cast<LPARAM>(page.get());
        if (HPROPSHEETPAGE handle = CreatePropertySheetPageW(&record))
            pages->push_back(handle);
        hostPages_.push_back(std::move(page));
    }

    sheetInfo_ = PROPSHEETUI_INFO{};
    sheetInfo_.cbSize = sizeof(sheetInfo_);
    sheetInfo_.Version = PROPSHEETUI_INFO_VERSION;
    sheetInfo_.hComPropSheet = static_cast<HANDLE>(this);
    sheetInfo_.pfnComPropSheet = &ComPropSheetEntry;
    sheetInfo_.lParamInit = reinterpret_cast<LPARAM>(&uipsParam_);
    initResult_ = CallSheetRoutine(PROPSHEETUI_REASON_INIT, sheetInfo_.lParamInit);
    initInfoResult_ = sheetInfo_.Result;
    pages->insert(pages->end(), pluginPages_.begin(), pluginPages_.end());
    sheetOpen_ = true;
    return !pages->empty();
}

PROPSHEETHEADERW HostSession::SheetHeader(SheetKind, std::vector<HPROPSHEETPAGE>& pages, bool modeless) {
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_NOCONTEXTHELP | (modeless ? PSH_MODELESS : 0);
    header.hInstance = GetModuleHandleW(nullptr);
    header.pszCaption = title_.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.phpage = pages.data();
    return header;
}

INT_PTR HostSession::RunModal(SheetKind kind) {
    if (sheetOpen_)
        return -1;
    std::vector<HPROPSHEETPAGE> pages;
    if (!PrepareSheet(kind, &pages)) {
        FinishSheet();
        return -1;
    }
    PROPSHEETHEADERW header = SheetHeader(kind, pages, false);
    const INT_PTR result = PropertySheetW(&header);
    FinishSheet();
    return result;
}

HWND HostSession::OpenModeless(SheetKind kind) {
    if (sheetOpen_)
        return nullptr;
    std::vector<HPROPSHEETPAGE> pages;
    if (!PrepareSheet(kind, &pages)) {
        FinishSheet();
        return nullptr;
    }
    PROPSHEETHEADERW header = SheetHeader(kind, pages, true);
    const INT_PTR result = PropertySheetW(&header);
    if (result == 0 || result == -1) {
        FinishSheet();
        return nullptr;
    }
    sheet_ = reinterpret_cast<HWND>(result);
    return sheet_;
}

bool HostSession::SheetEnded() const {
    return sheet_ == nullptr || !IsWindow(sheet_) || PropSheet_GetCurrentPageHwnd(sheet_) == nullptr;
}

void HostSession::CloseSheet() {
    if (!sheetOpen_)
        return;
    if (sheet_ != nullptr && IsWindow(sheet_))
        DestroyWindow(sheet_);
    FinishSheet();
}

void HostSession::FinishSheet() {
    if (!sheetOpen_)
        return;
    // The core tells the sheet routine whether the sheet was closed with OK.
    destroyResult_ = CallSheetRoutine(PROPSHEETUI_REASON_DESTROY, closedWithOk_ ? 1 : 0);
    sheetOpen_ = false;
    sheet_ = nullptr;
}

}  // namespace m450host
