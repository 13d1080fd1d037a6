#include "core/profile_cache.h"

#include <mutex>

namespace m450 {

std::optional<std::u16string> ProfileCache::Value(std::u16string_view path,
                                                  const std::optional<FileStamp>& stamp,
                                                  std::u16string_view section,
                                                  std::u16string_view key,
                                                  const FileRead& read) {
    if (!stamp) {
        Forget(path);
        return read(section, key);
    }
    if (std::optional<std::optional<std::u16string>> kept = Kept(path, *stamp, section, key))
        return std::move(*kept);
    // Read with no lock held: other threads go on looking up meanwhile.
    std::optional<std::u16string> value = read(section, key);
    Keep(path, *stamp, section, key, value);
    return value;
}

size_t ProfileCache::FileCount() const {
    const std::shared_lock lock(lock_);
    return files_.size();
}

// The kept value (itself nullopt for a missing key), or nullopt when nothing is kept for it.
std::optional<std::optional<std::u16string>> ProfileCache::Kept(std::u16string_view path,
                                                                const FileStamp& stamp,
                                                                std::u16string_view section,
                                                                std::u16string_view key) const {
    const std::pair<std::u16string, std::u16string> name{section, key};
    const std::shared_lock lock(lock_);
    const auto file = files_.find(path);
    if (file == files_.end() || file->second.stamp != stamp)
        return std::nullopt;
    const auto kept = file->second.values.find(name);
    if (kept == file->second.values.end())
        return std::nullopt;
    return kept->second;
}

// A value read for `stamp`; a file kept for another stamp starts over with it.
void ProfileCache::Keep(std::u16string_view path,
                        const FileStamp& stamp,
                        std::u16string_view section,
                        std::u16string_view key,
                        const std::optional<std::u16string>& value) {
    std::pair<std::u16string, std::u16string> name{section, key};
    const std::unique_lock lock(lock_);
    auto file = files_.find(path);
    if (file == files_.end()) {
        if (files_.size() >= kMaxFiles)
            files_.clear();
        file = files_.emplace(std::u16string(path), KeptFile{stamp, {}}).first;
    } else if (file->second.stamp != stamp) {
        file->second = KeptFile{stamp, {}};
    }
    file->second.values.emplace(std::move(name), value);
}

void ProfileCache::Forget(std::u16string_view path) {
    const std::unique_lock lock(lock_);
    const auto file = files_.find(path);
    if (file != files_.end())
        files_.erase(file);
}

ProfileCache& LanguageFileCache() {
    static ProfileCache cache;
    return cache;
}

}  // namespace m450
