#include "fixtures.h"

#include <algorithm>
#include <shlobj.h>

namespace m450test {
namespace {

constexpr wchar_t kPortFolder[] = L"C:\\m450-tests";

bool MakeFolders(const std::wstring& path) {
    const int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    return result == ERROR_SUCCESS || result == ERROR_ALREADY_EXISTS || result == ERROR_FILE_EXISTS;
}

std::wstring FilePath(LanguageFolder folder, std::wstring_view fileName) {
    return LanguageFolderPath(folder) + std::wstring(fileName);
}

}  // namespace

std::wstring TempFile(std::wstring_view name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + std::wstring(name);
}

// RunProgram ---------------------------------------------------------------------------------

std::optional<ProgramRun> RunProgram(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0))
        return std::nullopt;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    ProgramRun run;
    char chunk[4096];
    DWORD got = 0;
    while (started && ReadFile(readEnd, chunk, sizeof(chunk), &got, nullptr) && got > 0)
        run.output.append(chunk, got);
    CloseHandle(readEnd);
    if (!started)
        return std::nullopt;
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return run;
}

// PrinterFixture ---------------------------------------------------------------------------

PrinterFixture::PrinterFixture(std::wstring name)
    : name_(std::move(name)), portPath_(std::wstring(kPortFolder) + L"\\" + name_ + L".prn") {
    if (!MakeFolders(kPortFolder)) {
        error_ = L"cannot create " + std::wstring(kPortFolder);
        return;
    }
    m450host::InstallFilePortPrinter(name_, portPath_, &error_);
    ForgetLastJob();
}

void PrinterFixture::ForgetLastJob() const {
    DeleteFileW(portPath_.c_str());
}

std::optional<std::vector<uint8_t>> PrinterFixture::LastJob() const {
    return m450host::ReadFileBytes(portPath_);
}

// LanguageRegistry -------------------------------------------------------------------------

LanguageRegistry::LanguageRegistry() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kLanguageKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    existed_ = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = static_cast<DWORD>(std::size(name));
        DWORD type = 0;
        DWORD size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        Value value{type, std::vector<BYTE>(size)};
        if (RegQueryValueExW(key, name, nullptr, &type, value.data.data(), &size) == ERROR_SUCCESS) {
            value.data.resize(size);
            saved_[name] = std::move(value);
        }
    }
    RegCloseKey(key);
}

LanguageRegistry::~LanguageRegistry() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kLanguageKey);
    if (!existed_)
        return;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kLanguageKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    for (const auto& [name, value] : saved_)
        RegSetValueExW(key, name.c_str(), 0, value.type, value.data.data(), static_cast<DWORD>(value.data.size()));
    RegCloseKey(key);
}

bool LanguageRegistry::Set(std::wstring_view name, std::wstring_view data) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kLanguageKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const std::wstring valueName(name);
    const std::wstring value(data);
    const LONG result = RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool LanguageRegistry::Remove(std::wstring_view name) {
    const std::wstring valueName(name);
    const LONG result = RegDeleteKeyValueW(HKEY_CURRENT_USER, kLanguageKey, valueName.c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool LanguageRegistry::RemoveKey() {
    const LONG result = RegDeleteTreeW(HKEY_CURRENT_USER, kLanguageKey);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

std::optional<std::wstring> LanguageRegistry::Read(std::wstring_view name) {
    const std::wstring valueName(name);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kLanguageKey, valueName.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, kLanguageKey, valueName.c_str(), RRF_RT_REG_SZ, nullptr, value.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    value.resize(wcslen(value.c_str()));
    return value;
}

// LanguageFiles ----------------------------------------------------------------------------

std::wstring LanguageFolderPath(LanguageFolder folder) {
    wchar_t path[MAX_PATH] = {};
    if (folder == LanguageFolder::PerUser) {
        SHGetSpecialFolderPathW(nullptr, path, CSIDL_APPDATA, FALSE);
        return std::wstring(path) + L"\\ZERN\\";
    }
    GetWindowsDirectoryW(path, MAX_PATH);
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const bool wide = system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                      system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_IA64;
    return std::wstring(path) +
           (wide ? L"\\system32\\spool\\drivers\\x64\\3\\" : L"\\system32\\spool\\drivers\\w32x86\\3\\");
}

LanguageFiles::~LanguageFiles() {
    for (const auto& [path, bytes] : saved_) {
        if (bytes)
            m450host::WriteFileBytes(path, *bytes);
        else
            DeleteFileW(path.c_str());
    }
}

bool LanguageFiles::Remember(const std::wstring& path) {
    if (saved_.find(path) == saved_.end())
        saved_[path] = m450host::ReadFileBytes(path);
    const size_t folderEnd = path.find_last_of(L'\\');
    return MakeFolders(path.substr(0, folderEnd));
}

bool LanguageFiles::Install(LanguageFolder folder, std::wstring_view fileName, std::span<const uint8_t> bytes) {
    const std::wstring path = FilePath(folder, fileName);
    return Remember(path) && m450host::WriteFileBytes(path, bytes);
}

bool LanguageFiles::InstallText(LanguageFolder folder, std::wstring_view fileName, std::wstring_view text) {
    std::vector<uint8_t> bytes = {0xFF, 0xFE};
    for (wchar_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return Install(folder, fileName, bytes);
}

bool LanguageFiles::InstallFromSource(LanguageFolder folder,
                                      std::wstring_view fileName,
                                      std::wstring_view sourceRelativePath) {
    const auto bytes = m450host::ReadFileBytes(SourcePath(sourceRelativePath));
    return bytes && Install(folder, fileName, *bytes);
}

bool LanguageFiles::Remove(LanguageFolder folder, std::wstring_view fileName) {
    const std::wstring path = FilePath(folder, fileName);
    Remember(path);
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND;
}

std::optional<std::vector<uint8_t>> LanguageFiles::Read(LanguageFolder folder, std::wstring_view fileName) {
    return m450host::ReadFileBytes(FilePath(folder, fileName));
}

// ScratchFolder ----------------------------------------------------------------------------

ScratchFolder::ScratchFolder(const std::wstring& name) {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            DeleteFileW((path_ + found.cFileName).c_str());
            RemoveDirectoryW((path_ + found.cFileName).c_str());  // an empty folder MakeFolder made
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.c_str());
}

std::wstring ScratchFolder::MakeFolder(const std::wstring& name) const {
    const std::wstring folder = path_ + name;
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::vector<std::wstring> ScratchFolder::Names() const {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((path_ + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring ScratchFolder::Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
    const std::wstring file = path_ + name;
    m450host::WriteFileBytes(file, bytes);
    return file;
}

std::wstring SourcePath(std::wstring_view relativePath) {
    std::wstring path = m450host::WindowsPath(M450_SOURCE_DIR) + L"\\";
    for (wchar_t c : relativePath)
        path += c == L'/' ? L'\\' : c;
    return path;
}

}  // namespace m450test
