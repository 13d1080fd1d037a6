#include "core/file_replace.h"

#include <exception>
#include <fstream>
#include <system_error>

namespace m450 {
namespace {

bool WriteBesideThenRename(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
    std::filesystem::path beside = target;
    beside += ".new";
    bool written = false;
    {
        std::ofstream file(beside, std::ios::binary | std::ios::trunc);
        if (file) {
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            file.close();
            written = !file.fail();
        }
    }
    std::error_code ec;
    if (written)
        std::filesystem::rename(beside, target, ec);
    if (!written || ec) {
        std::filesystem::remove(beside, ec);
        return false;
    }
    return true;
}

}  // namespace

bool ReplaceFileWith(const std::filesystem::path& target, std::span<const uint8_t> bytes) {
    try {
        return WriteBesideThenRename(target, bytes);
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace m450
