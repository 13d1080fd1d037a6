#include "host_core.h"

#include <winspool.h>

#include <algorithm>
#include <cstring>
#include <cwchar>

#include "uicore/gpd_reader.h"

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

// Posted by the core's page after an Apply: every page has applied when it arrives.
constexpr UINT kCommitMessage = WM_APP + 0x4D;

// The public fields the core's items stand for, kept apart from the rest of a DEVMODEW.
void TakePublicFields(const DEVMODEW& from, DEVMODEW* to) {
    if ((from.dmFields & DM_FORMNAME) && from.dmSize >= offsetof(DEVMODEW, dmFormName) + sizeof(from.dmFormName)) {
        std::memcpy(to->dmFormName, from.dmFormName, sizeof(to->dmFormName));
        to->dmFormName[CCHFORMNAME - 1] = 0;
    }
    if ((from.dmFields & DM_ORIENTATION) &&
        (from.dmOrientation == DMORIENT_PORTRAIT || from.dmOrientation == DMORIENT_LANDSCAPE))
        to->dmOrientation = from.dmOrientation;
}

}  // namespace

std::wstring ErrorText(std::wstring_view what, DWORD code) {
    return std::wstring(what) + L" failed (error " + std::to_wstring(code) + L")";
}

size_t RecordOffset(const DEVMODEW* devMode, size_t size) {
    constexpr size_t kFieldsEnd = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
    if (devMode == nullptr || size < kFieldsEnd || devMode->dmSize < kFieldsEnd ||
        size_t{devMode->dmSize} + devMode->dmDriverExtra > size ||
        devMode->dmDriverExtra < sizeof(CorePrivate) + sizeof(OEM_DMEXTRAHEADER))
        return 0;
    CorePrivate core;
    std::memcpy(&core, reinterpret_cast<const BYTE*>(devMode) + devMode->dmSize, sizeof(core));
    return core.signature == CorePrivate::kSignature ? devMode->dmSize + sizeof(CorePrivate) : 0;
}

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

DriverOptionItems::DriverOptionItems(const m450::gpd::File& description) {
    const auto& features = description.Features();
    items_.reserve(features.size());
    auto wide = [](const std::string& text) {
        // The description's names are ASCII; any other byte is shown as '?'.
        std::wstring result;
        for (const char c : text)
            result += static_cast<unsigned char>(c) < 0x80 ? static_cast<wchar_t>(c) : L'?';
        return result;
    };
    for (const m450::gpd::Feature& feature : features) {
        std::vector<std::wstring> options;
        LONG selected = 0;
        for (const m450::gpd::Option& option : feature.options) {
            if (option.name == feature.defaultOption)
                selected = static_cast<LONG>(options.size());
            options.push_back(wide(option.displayName.empty() ? option.name : option.displayName));
        }
        BYTE level = 2;
        BYTE publicId = DMPUB_NONE;
        if (feature.name == "PaperSize") {
            formIndex_ = items_.size();
            level = 1;
            publicId = DMPUB_FORMNAME;
        } else if (feature.name == "Orientation") {
            level = 1;
            publicId = DMPUB_ORIENTATION;
        } else if (!options.empty() && options[0].find(L"Density") != std::wstring::npos) {
            densityIndex_ = items_.size();
        }
        std::vector<const wchar_t*> texts;
        for (const std::wstring& text : options)
            texts.push_back(text.c_str());
        Add(wide(feature.displayName.empty() ? feature.name : feature.displayName), level, publicId, texts, selected);
    }
    // A description without these still gets the items the core's pages and the plug-in use.
    if (formIndex_ >= items_.size()) {
        formIndex_ = items_.size();
        Add(L"Paper Size", 1, DMPUB_FORMNAME, {kFormNames[kDefaultForm]}, 0);
    }
    if (densityIndex_ >= items_.size() || densityIndex_ == formIndex_) {
        densityIndex_ = items_.size();
        Add(L"Printing Density", 2, DMPUB_NONE, {L"Normal Density"}, 0);
    }
}

void DriverOptionItems::Add(std::wstring_view name,
                            BYTE level,
                            BYTE dmPubId,
                            std::span<const wchar_t* const> options,
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

    printerName_ = options.printerName;
    if (!OpenPrinterW(printerName_.data(), &printer_, nullptr))
        printer_ = nullptr;  // the sheets still open; device pages then find no printer

    std::wstring dllPath = options.dllPath.empty() ? DefaultDllPath() : WindowsPath(options.dllPath);
    if (options.installedDriver) {
        InstalledDriverFiles files;
        if (printer_ == nullptr) {
            *error = ErrorText(L"OpenPrinterW(" + printerName_ + L")", GetLastError());
            return false;
        }
        if (!FindInstalledDriverFiles(printer_, &files, error))
            return false;
        dllPath = files.plugin;
        const auto text = ReadFileBytes(files.dataFile);
        if (!text) {
            *error = L"cannot read the printer description " + files.dataFile;
            return false;
        }
        m450::gpd::Result description =
            m450::gpd::Read(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
        if (!description.file) {
            const std::string message = description.Message();
            *error = files.dataFile + L": " + std::wstring(message.begin(), message.end());
            return false;
        }
        optionItems_ = std::make_unique<DriverOptionItems>(*description.file);
    } else {
        optionItems_ = std::make_unique<DriverOptionItems>();
    }

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

    procs_.DrvGetDriverSetting = &GetDriverSettingThroughObject;
    procs_.DrvUpdateUISetting = &UpdateUISettingThroughObject;
    uiObject_.obj.cbSize = sizeof(OEMUIOBJ);
    uiObject_.obj.pOemUIProcs = &procs_;
    uiObject_.session = this;

    const OPTITEM& form = optionItems_->formName();
    publicDM_.dmSpecVersion = DM_SPECVERSION;
    publicDM_.dmSize = sizeof(DEVMODEW);
    publicDM_.dmFields = DM_ORIENTATION | DM_FORMNAME;
    publicDM_.dmOrientation = DMORIENT_PORTRAIT;
    wcsncpy(publicDM_.dmDeviceName, printerName_.c_str(), CCHDEVICENAME - 1);
    wcsncpy(publicDM_.dmFormName, DriverOptionItems::OptionText(form, static_cast<size_t>(form.Sel)).c_str(),
            CCHFORMNAME - 1);

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

std::vector<uint8_t> HostSession::DevModeBytes() const {
    DEVMODEW head = publicDM_;
    head.dmSize = sizeof(DEVMODEW);
    head.dmDriverExtra = static_cast<WORD>(sizeof(CorePrivate) + record_.size());
    CorePrivate core;
    const OPTITEM* items = optionItems_->items();
    for (size_t i = 0; i < std::size(core.selections) && i < optionItems_->count(); ++i) {
        core.selections[i] = static_cast<BYTE>(items[i].Sel);
        core.itemCount = static_cast<DWORD>(i + 1);
    }
    std::vector<uint8_t> bytes(DevModeSize());
    std::memcpy(bytes.data(), &head, sizeof(head));
    std::memcpy(bytes.data() + sizeof(head), &core, sizeof(core));
    std::copy(record_.begin(), record_.end(), bytes.begin() + sizeof(head) + sizeof(core));
    return bytes;
}

bool HostSession::MergeDevMode(const DEVMODEW* devMode, size_t size, std::wstring* error) {
    constexpr size_t kFieldsEnd = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
    if (devMode == nullptr || size < kFieldsEnd || devMode->dmSize < kFieldsEnd || devMode->dmSize > size) {
        *error = L"not a device mode";
        return false;
    }
    DEVMODEW head{};
    std::memcpy(&head, devMode, std::min<size_t>(devMode->dmSize, sizeof(head)));
    head.dmSize = std::min<WORD>(devMode->dmSize, sizeof(head));
    TakePublicFields(head, &publicDM_);
    const size_t recordAt = RecordOffset(devMode, size);
    if (recordAt == 0) {
        *error = L"the device mode carries no record of this driver";
        return false;
    }
    CorePrivate core;
    const auto* bytes = reinterpret_cast<const uint8_t*>(devMode);
    std::memcpy(&core, bytes + devMode->dmSize, sizeof(core));
    for (DWORD i = 0; i < std::min<DWORD>({core.itemCount, CorePrivate::kMostItems, optionItems_->count()}); ++i) {
        OPTITEM& item = optionItems_->items()[i];
        if (item.pOptType != nullptr && core.selections[i] < item.pOptType->Count)
            item.Sel = core.selections[i];
    }
    const size_t recordEnd = size_t{devMode->dmSize} + devMode->dmDriverExtra;
    return MergeRecord({bytes + recordAt, recordEnd - recordAt}, error);
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
            const OPTITEM& form = page->session->optionItems_->formName();
            for (WORD i = 0; i < form.pOptType->Count; ++i)
                SendMessageW(list, CB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(DriverOptionItems::OptionText(form, i).c_str()));
        }
        return TRUE;
    }
    auto* page = reinterpret_cast<HostPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (page == nullptr)
        return FALSE;
    OPTITEM& form = page->session->optionItems_->formName();
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
            const bool ok = reinterpret_cast<const PSHNOTIFY*>(lParam)->lParam != 0;
            page->session->NoteApplied(ok);
            if (!ok)
                PostMessageW(dialog, kCommitMessage, 0, 0);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
    }
    if (message == kCommitMessage) {
        page->session->Commit();
        return TRUE;
    }
    return FALSE;
}

void HostSession::NoteApplied(bool ok) {
    applied_ = true;
    closedWithOk_ = closedWithOk_ || ok;
    const OPTITEM& form = optionItems_->formName();
    const std::wstring formName = DriverOptionItems::OptionText(form, static_cast<size_t>(form.Sel));
    std::memset(publicDM_.dmFormName, 0, sizeof(publicDM_.dmFormName));
    wcsncpy(publicDM_.dmFormName, formName.c_str(), CCHFORMNAME - 1);
}

void HostSession::Commit() {
    committedRecord_ = record_;
    committedPublicDM_ = publicDM_;
    committedSelections_.clear();
    for (DWORD i = 0; i < optionItems_->count(); ++i)
        committedSelections_.push_back(optionItems_->items()[i].Sel);
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
    Commit();

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
    cuiParam_.pDrvOptItems = optionItems_->items();
    cuiParam_.cDrvOptItems = optionItems_->count();
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
    // Cancel gives back what the last Apply (or the sheet's start) left, as the core does.
    if (!closedWithOk_) {
        record_ = committedRecord_;
        publicDM_ = committedPublicDM_;
        for (DWORD i = 0; i < optionItems_->count() && i < committedSelections_.size(); ++i)
            optionItems_->items()[i].Sel = committedSelections_[i];
    }
    // The core tells the sheet routine whether the sheet was closed with OK.
    destroyResult_ = CallSheetRoutine(PROPSHEETUI_REASON_DESTROY, closedWithOk_ ? 1 : 0);
    sheetOpen_ = false;
    sheet_ = nullptr;
}

}  // namespace m450host
