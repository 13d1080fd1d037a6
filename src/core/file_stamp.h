// A file as its directory entry describes it; two stamps are equal when nothing tells the
// file's contents apart.
#pragma once

#include <cstdint>

namespace m450 {

struct FileStamp {
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;
    bool operator==(const FileStamp&) const = default;
};

}  // namespace m450
