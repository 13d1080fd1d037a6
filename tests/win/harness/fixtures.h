// What a page test sets up around the sheet: the printer on a file port, the language
// registry values and the language files. The registry and file fixtures put back what they
// changed when they end, so tests sharing the prefix do not see each other's settings.
#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host_core.h"

namespace m450test {

// The printer the sheets open, on a file port inside the test prefix. Every job replaces the
// file when it ends, so LastJob is the last job's bytes.
class PrinterFixture {
  public:
    explicit PrinterFixture(std::wstring name = m450host::kDefaultPrinterName);
    bool ok() const { return error_.empty(); }
    const std::wstring& error() const { return error_; }
    const std::wstring& name() const { return name_; }
    const std::wstring& portPath() const { return portPath_; }

    // Removes the last job, so that LastJob then tells whether a new one arrived.
    void ForgetLastJob() const;
    std::optional<std::vector<uint8_t>> LastJob() const;

  private:
    std::wstring name_;
    std::wstring portPath_;
    std::wstring error_;
};

inline constexpr wchar_t kLanguageKey[] = L"SOFTWARE\\QUORVEN\\LANGUAGE";
inline constexpr wchar_t kLanguageValue[] = L"LANGUAGE_M450";
inline constexpr wchar_t kFirstRunValue[] = L"IsFirstRun_M450";

// HKEY_CURRENT_USER's language key: set, remove and read its values. The whole key is put
// back as it was (values, or its absence) when the fixture ends.
class LanguageRegistry {
  public:
    LanguageRegistry();
    ~LanguageRegistry();
    LanguageRegistry(const LanguageRegistry&) = delete;
    LanguageRegistry& operator=(const LanguageRegistry&) = delete;

    bool Set(std::wstring_view name, std::wstring_view data);  // REG_SZ
    bool Remove(std::wstring_view name);
    bool RemoveKey();
    static std::optional<std::wstring> Read(std::wstring_view name);

  private:
    struct Value {
        DWORD type;
        std::vector<BYTE> data;
    };
    bool existed_ = false;
    std::map<std::wstring, Value> saved_;
};

enum class LanguageFolder {
    PerUser,  // %APPDATA%\ZERN\ (the per-user copies the pages read)
    Driver,   // the printer-driver directory (the shipped copies)
};
// The folder's path with a trailing backslash.
std::wstring LanguageFolderPath(LanguageFolder folder);

// Language list and text files put into either folder; every file touched is restored (or
// removed when it was not there) when the fixture ends.
class LanguageFiles {
  public:
    LanguageFiles() = default;
    ~LanguageFiles();
    LanguageFiles(const LanguageFiles&) = delete;
    LanguageFiles& operator=(const LanguageFiles&) = delete;

    bool Install(LanguageFolder folder, std::wstring_view fileName, std::span<const uint8_t> bytes);
    // The text as UTF-16 little-endian with a byte-order mark, as the language files are kept.
    bool InstallText(LanguageFolder folder, std::wstring_view fileName, std::wstring_view text);
    // A file of the source tree ("lang/ENG_M450.res").
    bool InstallFromSource(LanguageFolder folder, std::wstring_view fileName, std::wstring_view sourceRelativePath);
    bool Remove(LanguageFolder folder, std::wstring_view fileName);
    static std::optional<std::vector<uint8_t>> Read(LanguageFolder folder, std::wstring_view fileName);

  private:
    bool Remember(const std::wstring& path);
    std::map<std::wstring, std::optional<std::vector<uint8_t>>> saved_;
};

// A folder of its own under the temporary folder ("<temp>\<name>-<process id>\"), emptied and
// removed when it ends.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // Writes a file into the folder; its full path.
    std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const;
    // Makes an empty folder in the folder (removed with it); its full path.
    std::wstring MakeFolder(const std::wstring& name) const;
    // The names of everything in the folder, sorted.
    std::vector<std::wstring> Names() const;
    const std::wstring& path() const { return path_; }

  private:
    std::wstring path_;
};

// A file of this name in the temporary folder: its full path.
std::wstring TempFile(std::wstring_view name);

// A path in the source tree, as a Windows path.
std::wstring SourcePath(std::wstring_view relativePath);

// A program run to its end as its own process (a whole command line): what it wrote to its
// standard output and error, and its exit code; nullopt when it could not be started.
struct ProgramRun {
    DWORD exitCode = 1;
    std::string output;
};
std::optional<ProgramRun> RunProgram(std::wstring commandLine);

}  // namespace m450test
