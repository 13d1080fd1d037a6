// A file's stamp as the file system gives it.
#pragma once

#include <optional>
#include <string_view>

#include "core/file_stamp.h"

namespace m450 {

// Size and last write time of a file; nullopt when it is missing or a folder.
std::optional<FileStamp> FileStampOf(std::u16string_view path);

}  // namespace m450
