// The working copies of the Download page's logos, as one page owns them: which files it wrote
// (the only files it ever replaces or deletes), which taken names the user was told of, and the
// selected logo's source kept between previews.
//
// The files are reached through LogoFiles: the DLL implements it over Win32
// (logo_files_win.h), the native tests use MemoryLogoFiles.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/file_stamp.h"
#include "device/download_rules.h"
#include "device/logo_jobs.h"

namespace m450 {

struct FileRead {
    FileReadFailure failure = FileReadFailure::None;
    std::vector<uint8_t> bytes;  // empty unless the whole file was read
};

enum class FileWrite : uint8_t { Written, AlreadyThere, Failed };

// How a logo's source is opened: shared with readers (a logo), or with nobody (the file
// download).
enum class FileSharing : uint8_t { Readers, Nobody };

class LogoFiles {
  public:
    virtual ~LogoFiles() = default;
    // The name under which a path is kept: two paths of one key name the same file.
    virtual std::u16string Key(const std::u16string& path) = 0;
    virtual bool Exists(const std::u16string& path) = 0;
    // Size and write time; nullopt when the file cannot be seen.
    virtual std::optional<FileStamp> Stamp(const std::u16string& path) = 0;
    // The whole file, refused past `limit` bytes.
    virtual FileRead Read(const std::u16string& path, FileSharing sharing, uint64_t limit) = 0;
    // Up to `count` bytes from the start; empty when the file cannot be read.
    virtual std::vector<uint8_t> ReadHead(const std::u16string& path, size_t count) = 0;
    // `replace` writes over a file that is there; otherwise a file that is there is left alone
    // (AlreadyThere).
    virtual FileWrite Write(const std::u16string& path, std::span<const uint8_t> bytes, bool replace) = 0;
    virtual void Delete(const std::u16string& path) = 0;
};

// Files in memory; keys fold ASCII letter case. Each write moves the write time on by one.
class MemoryLogoFiles final : public LogoFiles {
  public:
    std::u16string Key(const std::u16string& path) override;
    bool Exists(const std::u16string& path) override;
    std::optional<FileStamp> Stamp(const std::u16string& path) override;
    FileRead Read(const std::u16string& path, FileSharing sharing, uint64_t limit) override;
    std::vector<uint8_t> ReadHead(const std::u16string& path, size_t count) override;
    FileWrite Write(const std::u16string& path, std::span<const uint8_t> bytes, bool replace) override;
    void Delete(const std::u16string& path) override;

    std::map<std::u16string, std::vector<uint8_t>> files;  // by key
    bool failWrites = false;
    int reads = 0;  // calls of Read

  private:
    uint64_t clock_ = 0;
    std::map<std::u16string, uint64_t> written_;
};

// The largest logo file read: a 1024 × 768 24-bit bitmap with its headers is 2.3 MiB, so a
// file far larger cannot be a logo the page takes.
inline constexpr uint64_t kMaxLogoFileBytes = 16 * 1024 * 1024;

// What making a logo's working copy came to: the core's step; whether the copy's name was found
// taken (the logo then has no copy) and the user is to be told so (once per page and name).
struct CopyOutcome {
    LogoCopyStep step = LogoCopyStep::Stop;
    bool taken = false;
    bool tell = false;
    std::vector<uint8_t> copy{};  // the working copy as written, when it was
};

class LogoWorkingCopies {
  public:
    explicit LogoWorkingCopies(LogoFiles& files) : files_(files) {}

    // The logo's working copy, or empty when its path would not fit.
    static std::u16string CopyPathOf(const std::u16string& source);

    // The logo file's whole bytes (nullopt when it cannot be read).
    std::optional<std::vector<uint8_t>> ReadLogo(const std::u16string& source);
    // The same for the preview: kept from the last call while the file's size and write time
    // stay the same, so that a slider step converts it again without reading it from the disk.
    const std::optional<std::vector<uint8_t>>& KeptLogo(const std::u16string& source);

    // The working copy of `source` made afresh from `bytes` and written, or why not.
    CopyOutcome Make(const std::u16string& source,
                     std::span<const uint8_t> bytes,
                     LogoType type,
                     const LogoSettings& settings);
    // The same, the source read from its file.
    CopyOutcome Make(const std::u16string& source, LogoType type, const LogoSettings& settings);

    // "Download all"'s fresh copies written, per source whose type makes one (`copies` as
    // PrepareLogoDownload made them). The first copy whose name is taken stops the writing:
    // its path, or nullopt when none was.
    std::optional<std::u16string> StoreAll(LogoType type,
                                           std::span<const std::u16string> sources,
                                           std::span<const ListedLogo> logos,
                                           std::span<LogoConversion> copies);

    // A logo left the list: its copy is deleted unless a logo still listed has the same one.
    void Dropped(const std::u16string& source, std::span<const std::u16string> listed);
    // Every working copy the page made, and only those.
    void DeleteAll();

    bool Owns(const std::u16string& copyPath);

  private:
    enum class CopyWrite { Written, Taken, Failed };
    bool NameTaken(const std::u16string& copyPath);
    bool FirstTelling(const std::u16string& copyPath);
    bool IsLeftoverCopy(const std::u16string& copyPath);
    CopyWrite Store(const std::u16string& copyPath, LogoConversion& conversion);
    void Forget(const std::u16string& copyPath);
    void DeleteOwn(const std::u16string& copyPath);

    LogoFiles& files_;
    // Keys of the working copies this page wrote itself. A working copy's name that a file the
    // page did not make already has is left alone.
    std::vector<std::u16string> made_;
    std::vector<std::u16string> told_;  // keys of such files the user was told of
    std::u16string keptPath_;
    std::optional<FileStamp> keptStamp_;
    std::optional<std::vector<uint8_t>> keptBytes_;
};

}  // namespace m450
