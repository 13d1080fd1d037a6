#include "device/logo_files_win.h"

#include <windows.h>

#include "core/file_stamp_win.h"
#include "core/language_win.h"

namespace m450 {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 paths are the core's UTF-16 paths");

FileReadFailure ReadOpenFile(HANDLE file, uint64_t limit, std::vector<uint8_t>& bytes) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0 || static_cast<uint64_t>(size.QuadPart) > limit)
        return FileReadFailure::Size;
    // A size past what this build can hold (2 GiB and more on 32 bits) is a memory failure
    // like any other: resize throws length_error there, not bad_alloc.
    if (static_cast<uint64_t>(size.QuadPart) > bytes.max_size())
        return FileReadFailure::Memory;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::exception&) {
        return FileReadFailure::Memory;
    }
    const LARGE_INTEGER start{};
    if (!SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return FileReadFailure::Seek;
    DWORD got = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) || got != bytes.size())
        return FileReadFailure::Read;
    return FileReadFailure::None;
}

}  // namespace

// Paths name the same file whatever their letter case.
std::u16string Win32LogoFiles::Key(const std::u16string& path) {
    std::u16string key = path;
    if (!key.empty())
        CharLowerBuffW(reinterpret_cast<wchar_t*>(key.data()), static_cast<DWORD>(key.size()));
    return key;
}

bool Win32LogoFiles::Exists(const std::u16string& path) {
    return GetFileAttributesW(WStr(path)) != INVALID_FILE_ATTRIBUTES;
}

std::optional<FileStamp> Win32LogoFiles::Stamp(const std::u16string& path) {
    return FileStampOf(path);
}

// The whole file in one read. The file download shares the file with nobody.
FileRead Win32LogoFiles::Read(const std::u16string& path, FileSharing sharing, uint64_t limit) {
    FileRead read;
    const DWORD share = sharing == FileSharing::Readers ? FILE_SHARE_READ : 0;
    const HANDLE file =
        CreateFileW(WStr(path), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        read.failure = FileReadFailure::Open;
        return read;
    }
    read.failure = ReadOpenFile(file, limit, read.bytes);
    CloseHandle(file);
    if (read.failure != FileReadFailure::None)
        read.bytes.clear();
    return read;
}

std::vector<uint8_t> Win32LogoFiles::ReadHead(const std::u16string& path, size_t count) {
    const HANDLE file = CreateFileW(WStr(path), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::vector<uint8_t> head(count);
    DWORD got = 0;
    const bool read = ReadFile(file, head.data(), static_cast<DWORD>(head.size()), &got, nullptr) != FALSE;
    CloseHandle(file);
    head.resize(read ? got : 0);
    return head;
}

// A new file is made with CREATE_NEW, so that a file that appeared meanwhile is never replaced.
// A file the page made is written over from its start and cut only where it was longer: a file
// emptied and written again is flushed by the file system at once (3 ms and more for a logo's
// working copy, at every step of a slider), while the same bytes written over it are not.
FileWrite Win32LogoFiles::Write(const std::u16string& path, std::span<const uint8_t> bytes, bool replace) {
    const DWORD open = replace ? OPEN_ALWAYS : CREATE_NEW;
    const HANDLE file = CreateFileW(WStr(path), GENERIC_WRITE, 0, nullptr, open, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return !replace && GetLastError() == ERROR_FILE_EXISTS ? FileWrite::AlreadyThere : FileWrite::Failed;
    DWORD written = 0;
    bool ok =
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    LARGE_INTEGER size{};
    if (ok && (!GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) > bytes.size()))
        ok = SetEndOfFile(file) != FALSE;  // the file pointer stands at the end of what was written
    CloseHandle(file);
    return ok ? FileWrite::Written : FileWrite::Failed;
}

void Win32LogoFiles::Delete(const std::u16string& path) {
    DeleteFileW(WStr(path));
}

}  // namespace m450
