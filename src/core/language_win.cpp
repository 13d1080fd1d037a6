#include "core/language_win.h"

#include <shlobj.h>

#include <array>

#include "core/language_file.h"
#include "core/file_stamp_win.h"
#include "core/profile_cache.h"

namespace m450 {
namespace {

std::wstring WideCopy(std::u16string_view text) {
    return std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

std::u16string FromWide(const wchar_t* text, size_t length) {
    return std::u16string(reinterpret_cast<const char16_t*>(text), length);
}

std::u16string_view View(const char16_t* text) {
    return text;
}

bool FileExists(std::u16string_view path) {
    const DWORD attributes = GetFileAttributesW(WideCopy(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(std::u16string_view path) {
    const DWORD attributes = GetFileAttributesW(WideCopy(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void CopyOver(std::u16string_view from, std::u16string_view to) {
    CopyFileW(WideCopy(from).c_str(), WideCopy(to).c_str(), FALSE);
}

// A language file's bytes; nullopt when it cannot be read whole or is larger than any
// language file (a few hundred KB at most).
std::optional<std::vector<char>> ReadSmallFile(std::u16string_view path) {
    constexpr DWORD kLargest = 4 << 20;
    const HANDLE file = CreateFileW(WideCopy(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::optional<std::vector<char>> bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart <= kLargest) {
        std::vector<char> read(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        if (read.empty() ||
            (ReadFile(file, read.data(), static_cast<DWORD>(read.size()), &got, nullptr) && got == read.size()))
            bytes = std::move(read);
    }
    CloseHandle(file);
    return bytes;
}

// Whether the user's copy already holds the driver's file byte for byte: a refresh would write
// the same bytes again, in every process that starts.
bool SameBytes(std::u16string_view driverFile, std::u16string_view userFile) {
    const std::optional<FileStamp> driver = FileStampOf(driverFile);
    const std::optional<FileStamp> user = FileStampOf(userFile);
    if (!driver || !user || driver->size != user->size)
        return false;
    const std::optional<std::vector<char>> driverBytes = ReadSmallFile(driverFile);
    return driverBytes && driverBytes == ReadSmallFile(userFile);
}

// The platform's reader returns its default for a missing file, section or key; a default no
// language file holds tells "missing" from an empty text.
constexpr wchar_t kMissing[] = L"\x01";

std::optional<std::u16string> ReadProfileValueFromFile(std::u16string_view path,
                                                       std::u16string_view section,
                                                       std::u16string_view key) {
    // Room for a 1023-character help text even with every line break stored as \n.
    std::array<wchar_t, 4096> buffer;
    const DWORD length =
        GetPrivateProfileStringW(WideCopy(section).c_str(), WideCopy(key).c_str(), kMissing, buffer.data(),
                                 static_cast<DWORD>(buffer.size()), WideCopy(path).c_str());
    if (length == 1 && buffer[0] == kMissing[0])
        return std::nullopt;
    return FromWide(buffer.data(), length);
}

// The value through the module's cache, which reads the file only when it has changed.
std::optional<std::u16string> ReadProfileValue(std::u16string_view path,
                                               const std::optional<FileStamp>& stamp,
                                               std::u16string_view section,
                                               std::u16string_view key) {
    if (path.empty())
        return std::nullopt;
    return LanguageFileCache().Value(path, stamp, section, key,
                                     [path](std::u16string_view fileSection, std::u16string_view fileKey) {
                                         return ReadProfileValueFromFile(path, fileSection, fileKey);
                                     });
}

std::optional<std::u16string> ReadProfileValue(std::u16string_view path,
                                               std::u16string_view section,
                                               std::u16string_view key) {
    return ReadProfileValue(path, FileStampOf(path), section, key);
}

// The language key, open with full access for as long as the object lives.
class LanguageKey {
  public:
    static LanguageKey Open() {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, WideCopy(kLanguageRegistryKey).c_str(), 0, KEY_ALL_ACCESS, &key) !=
            ERROR_SUCCESS)
            return LanguageKey(nullptr);
        return LanguageKey(key);
    }
    static LanguageKey Create() {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, WideCopy(kLanguageRegistryKey).c_str(), 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return LanguageKey(nullptr);
        return LanguageKey(key);
    }

    LanguageKey(LanguageKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    LanguageKey& operator=(LanguageKey&& other) noexcept {
        std::swap(key_, other.key_);
        return *this;
    }
    LanguageKey(const LanguageKey&) = delete;
    LanguageKey& operator=(const LanguageKey&) = delete;
    ~LanguageKey() { Close(); }

    explicit operator bool() const { return key_ != nullptr; }
    void Close() {
        if (key_)
            RegCloseKey(key_);
        key_ = nullptr;
    }

    // A string value of at most 255 characters; nullopt when missing, longer or not a string.
    std::optional<std::u16string> Read(std::u16string_view name) const {
        if (!key_)
            return std::nullopt;
        std::array<wchar_t, 256> data{};
        DWORD type = 0;
        DWORD size = sizeof(data) - sizeof(wchar_t);  // keeps a terminator after whatever is read
        if (RegQueryValueExW(key_, WideCopy(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                             &size) != ERROR_SUCCESS)
            return std::nullopt;
        if (type != REG_SZ && type != REG_EXPAND_SZ)
            return std::nullopt;
        const size_t stored = size / sizeof(wchar_t);
        size_t length = 0;
        while (length < stored && data[length] != L'\0')
            ++length;
        return FromWide(data.data(), length);
    }

    // REG_SZ, written with its terminating null.
    bool Write(std::u16string_view name, std::u16string_view text) const {
        if (!key_)
            return false;
        const std::wstring data = WideCopy(text);
        const DWORD size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
        return RegSetValueExW(key_, WideCopy(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                              size) == ERROR_SUCCESS;
    }

  private:
    explicit LanguageKey(HKEY key) : key_(key) {}
    HKEY key_;
};

std::optional<std::u16string_view> AsView(const std::optional<std::u16string>& text) {
    if (!text)
        return std::nullopt;
    return std::u16string_view(*text);
}

// Each thread's store learns the folder (and the system language's entry, which depends on
// nothing else) at its first load; pages may also load before start-up has run (a program that
// links the shell directly). The folder is created only when asked.
void EnsureUserFolderKnown(bool create) {
    if (!Texts().UserFolder().empty() && !create)
        return;
    if (Texts().UserFolder().empty())
        Texts().SetSystemEntryText(SystemLanguageFor(GetSystemDefaultLangID()).systemEntry);
    const std::u16string folder = UserLanguageFolder(create);
    if (!folder.empty())
        Texts().SetUserFolder(folder);
}

void RefreshFromKey(const LanguageKey& key) {
    Texts().SetTextFileName(AsView(key.Read(kLanguageValueName)));
}

// Copies come only from a known driver directory into a known user folder.
void RefreshUserCopy(std::u16string_view driverDirectory, std::u16string_view fileName) {
    const std::u16string userFolder(Texts().UserFolder());
    if (driverDirectory.empty() || userFolder.empty() || fileName.empty())
        return;
    const std::u16string user = userFolder + std::u16string(fileName);
    const std::u16string driver = std::u16string(driverDirectory) + std::u16string(fileName);
    if (!FileExists(user)) {
        CopyOver(driver, user);
        return;
    }
    if (ShouldRefreshUserCopy(ReadProfileValue(driver, kFileVersionSection, kFileVersionKey),
                              ReadProfileValue(user, kFileVersionSection, kFileVersionKey)) &&
        !SameBytes(driver, user))
        CopyOver(driver, user);
}

void CopyListIfMissing(std::u16string_view driverDirectory) {
    const std::u16string_view listPath = View(Texts().LanguageListPath());
    if (!driverDirectory.empty() && !listPath.empty() && !FileExists(listPath))
        CopyOver(std::u16string(driverDirectory) + std::u16string(kLanguageListFile), listPath);
}

// Start-up step 2: the current file name from the key, or, when the key is new, from the
// user's language list ("CUR_INI"), which is then stored.
LanguageKey OpenKeyAndReadFileName() {
    LanguageKey key = LanguageKey::Open();
    if (key) {
        RefreshFromKey(key);
        return key;
    }
    key = LanguageKey::Create();
    if (!key) {
        Texts().SetTextFileName(std::nullopt);
        return key;
    }
    const std::optional<std::u16string> listed =
        ProfileFileReader(View(Texts().LanguageListPath()))(kLanguageListSection, kCurrentFileKey);
    Texts().SetTextFileName(AsView(listed));
    key.Write(kLanguageValueName, Texts().TextFileName());
    return key;
}

void LoadSections(std::initializer_list<std::u16string_view> sections, MessageSet messages) {
    RefreshCurrentTextFile();
    const TextReader reader = CurrentTextFileReader();
    for (std::u16string_view section : sections)
        Texts().LoadSection(section, reader);
    Texts().LoadMessages(messages, reader);
}

}  // namespace

// The file is looked at once, when the reader is made: one load (a sheet's, a repaint's) reads
// from one state of the file.
TextReader ProfileFileReader(std::u16string_view path) {
    return [file = std::u16string(path), stamp = FileStampOf(path)](
               std::u16string_view section, std::u16string_view key) -> std::optional<std::u16string> {
        std::optional<std::u16string> value = ReadProfileValue(file, stamp, section, key);
        if (!value)
            return std::nullopt;
        return DecodeLanguageText(*value);
    };
}

TextReader CurrentTextFileReader() {
    return ProfileFileReader(View(Texts().TextFilePath()));
}

std::u16string DriverDirectory() {
    std::array<wchar_t, MAX_PATH> windows{};
    const UINT length = GetWindowsDirectoryW(windows.data(), static_cast<UINT>(windows.size()));
    if (length == 0 || length >= windows.size())
        return {};
    SYSTEM_INFO info{};
    GetSystemInfo(&info);
    return DriverDirectoryOf(FromWide(windows.data(), length), info.wProcessorArchitecture);
}

std::u16string UserLanguageFolder(bool create) {
    std::array<wchar_t, MAX_PATH> appData{};
    if (!SHGetSpecialFolderPathW(nullptr, appData.data(), CSIDL_APPDATA, FALSE))
        return {};
    std::u16string folder = FromWide(appData.data(), wcsnlen(appData.data(), appData.size()));
    folder += u"\\";
    folder += kUserFolderName;
    if (create && !FolderExists(folder))
        CreateDirectoryW(WideCopy(folder).c_str(), nullptr);
    folder += u"\\";
    return folder;
}

void RefreshUserTextFile(std::u16string_view fileName) noexcept {
    try {
        EnsureUserFolderKnown(true);
        RefreshUserCopy(DriverDirectory(), fileName);
    } catch (...) {
    }
}

void RunLanguageStartup(HMODULE) noexcept {
    try {
        // 1. The per-user folder and, with it, the paths of the list and the text file.
        EnsureUserFolderKnown(true);
        // 2, 3. The registry key and the current text file (the store rebuilds the path).
        LanguageKey key = OpenKeyAndReadFileName();
        // 4. The module handle is kept at process attach.
        // 5, 6. The first-run value and the system language.
        const StartupLanguage language =
            DecideStartupLanguage(Texts().TextFileName(), key.Read(kFirstRunValueName), GetSystemDefaultLangID());
        if (language.writeFirstRun)
            key.Write(kFirstRunValueName, kFirstRunTrue);
        if (language.writeTextFile) {
            Texts().SetTextFileName(language.textFile);
            key.Write(kLanguageValueName, Texts().TextFileName());
        }
        Texts().SetSystemEntryText(language.systemEntry);
        // 7.
        key.Close();
        // 8, 9. The user's copies of the language list and of the current text file.
        const std::u16string driverDirectory = DriverDirectory();
        CopyListIfMissing(driverDirectory);
        RefreshUserCopy(driverDirectory, Texts().TextFileName());
        // 10.
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    } catch (...) {
    }
}

namespace {

// Once per process, by the first sheet; sheets built meanwhile on other threads wait for it.
INIT_ONCE g_startupOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK StartUp(PINIT_ONCE, PVOID module, PVOID*) {
    RunLanguageStartup(static_cast<HMODULE>(module));
    return TRUE;
}

}  // namespace

void RunLanguageStartupOnce(HMODULE module) noexcept {
    InitOnceExecuteOnce(&g_startupOnce, &StartUp, module, nullptr);
}

void RefreshCurrentTextFile() noexcept {
    try {
        EnsureUserFolderKnown(false);
        RefreshFromKey(LanguageKey::Open());
    } catch (...) {
        Texts().SetTextFileName(std::nullopt);
    }
}

void ReloadTexts(std::u16string_view section) noexcept {
    try {
        RefreshCurrentTextFile();
        Texts().LoadSection(section, CurrentTextFileReader());
    } catch (...) {
    }
}

void LoadMessages(MessageSet set) noexcept {
    try {
        RefreshCurrentTextFile();
        Texts().LoadMessages(set, CurrentTextFileReader());
    } catch (...) {
    }
}

void LoadDocumentSheetTexts() noexcept {
    try {
        LoadSections({kLayoutSection, kOperationSection, kVersionSection, kWatermarkSection, kCode1DSection,
                      kCode2DSection, kGpdSection},
                     MessageSet::DocumentSheet);
    } catch (...) {
    }
}

void LoadDeviceSheetTexts() noexcept {
    try {
        LoadSections({kUtilitySection, kDownloadSection, kFontSection, kVersionSection}, MessageSet::DeviceSheet);
        // Without a text of its own, the Utility page's communication label keeps its template's
        // wording until the page reloads its texts at its first repaint.
        Texts().Load(TextId::UTILITY_RC_STATIC_CHECKCOMM,
                     [reader = CurrentTextFileReader()](std::u16string_view section,
                                                        std::u16string_view key) -> std::optional<std::u16string> {
                         std::optional<std::u16string> text = reader(section, key);
                         return text ? text : u"Check that communication settings is correct firest";
                     });
    } catch (...) {
    }
}

void RememberPrinterPort(std::u16string_view portName) noexcept {
    try {
        EnsureUserFolderKnown(false);
        const LanguageKey key = LanguageKey::Open();
        RefreshFromKey(key);
        if (key && !portName.empty())
            key.Write(portName, kLanguageValueName);
    } catch (...) {
    }
}

std::vector<LanguageEntry> LoadLanguageList() noexcept {
    try {
        EnsureUserFolderKnown(true);
        const std::u16string driverDirectory = DriverDirectory();
        CopyListIfMissing(driverDirectory);
        std::vector<LanguageEntry> list = BuildLanguageList(ProfileFileReader(View(Texts().LanguageListPath())));
        for (const LanguageEntry& language : list)
            RefreshUserCopy(driverDirectory, language.textFile);
        return list;
    } catch (...) {
        return {};
    }
}

std::optional<size_t> SelectInitialLanguage(const std::vector<LanguageEntry>& list,
                                            const std::vector<std::u16string>& entries) noexcept {
    try {
        RefreshCurrentTextFile();
        const LanguageKey key = LanguageKey::Open();
        const InitialLanguage initial =
            InitialLanguageEntry(list, entries, Texts().TextFileName(), key.Read(kFirstRunValueName));
        if (initial.writeFirstRun)
            key.Write(kFirstRunValueName, kFirstRunTrue);
        return initial.entry;
    } catch (...) {
        return std::nullopt;
    }
}

bool ApplyLanguage(const std::vector<LanguageEntry>& list, std::u16string_view selected) noexcept {
    try {
        const std::optional<LanguageChoice> choice = ChooseLanguage(list, selected);
        if (!choice)
            return false;
        const LanguageKey key = LanguageKey::Create();
        const bool stored =
            key.Write(kLanguageValueName, choice->textFile) && key.Write(kFirstRunValueName, choice->firstRun);
        RefreshCurrentTextFile();
        return stored;
    } catch (...) {
        return false;
    }
}

}  // namespace m450
