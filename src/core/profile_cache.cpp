#include "core/profile_cache.h"

namespace m450 {

std::optional<std::u16string> ProfileCache::Value(std::u16string_view path,
                                                  const std::optional<FileStamp>& stamp,
                                                  std::u16string_view section,
                                                  std::u16string_view key,
                                                  const FileRead& read) {
    auto file = files_.find(path);
    if (!stamp) {
        if (file != files_.end())
            files_.erase(file);
        return read(section, key);
    }
    if (file == files_.end()) {
        if (files_.size() >= kMaxFiles)
            files_.clear();
        file = files_.emplace(std::u16string(path), KeptFile{*stamp, {}}).first;
    } else if (file->second.stamp != *stamp) {
        file->second = KeptFile{*stamp, {}};
    }
    auto& values = file->second.values;
    std::pair<std::u16string, std::u16string> name{section, key};
    const auto kept = values.find(name);
    if (kept != values.end())
        return kept->second;
    std::optional<std::u16string> value = read(section, key);
    values.emplace(std::move(name), value);
    return value;
}

ProfileCache& LanguageFileCache() {
    static ProfileCache cache;
    return cache;
}

}  // namespace m450
