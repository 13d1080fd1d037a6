#include "core/file_stamp_win.h"

#include <windows.h>

#include <string>

namespace m450 {

std::optional<FileStamp> FileStampOf(std::u16string_view path) {
    const std::wstring wide(reinterpret_cast<const wchar_t*>(path.data()), path.size());
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return std::nullopt;
    return FileStamp{(uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow,
                     (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime};
}

}  // namespace m450
