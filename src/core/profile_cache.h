// What the platform's private-profile reader returned for a language file, kept while the file
// stays as it was. The reader opens and searches the file for every key, and a page reads its
// whole section at every repaint: with the values kept, a repaint reads no file at all until the
// file's size or last write time changes (a language file refreshed from the driver directory,
// or replaced by the user), and then every value is read again.
//
// The module keeps one, shared by the sheets of every thread: its map is behind a reader-writer
// lock, taken shared to look a value up and exclusive to keep one, and never held while the file
// is read. A value is handed out as a copy.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <utility>

#include "core/file_stamp.h"

namespace m450 {

class ProfileCache {
  public:
    // Reads a key from the file (the platform's reader): the value, or nullopt when the file,
    // section or key is missing.
    using FileRead = std::function<std::optional<std::u16string>(std::u16string_view section, std::u16string_view key)>;

    // The value of `key` in `section` of the file at `path`, read with `read` unless the file's
    // values are kept for `stamp`. A file without a stamp (it cannot be looked at) is read
    // every time and nothing is kept of it.
    std::optional<std::u16string> Value(std::u16string_view path,
                                        const std::optional<FileStamp>& stamp,
                                        std::u16string_view section,
                                        std::u16string_view key,
                                        const FileRead& read);

    // Files whose values are kept.
    size_t FileCount() const;

  private:
    struct KeptFile {
        FileStamp stamp;
        // Names as asked for: the platform's reader decides how they match.
        std::map<std::pair<std::u16string, std::u16string>, std::optional<std::u16string>, std::less<>> values;
    };
    // A handful of files: the list and the text files of the user's folder and the driver's.
    static constexpr size_t kMaxFiles = 16;
    std::optional<std::optional<std::u16string>> Kept(std::u16string_view path,
                                                      const FileStamp& stamp,
                                                      std::u16string_view section,
                                                      std::u16string_view key) const;
    void Keep(std::u16string_view path,
              const FileStamp& stamp,
              std::u16string_view section,
              std::u16string_view key,
              const std::optional<std::u16string>& value);
    void Forget(std::u16string_view path);

    mutable std::shared_mutex lock_;
    std::map<std::u16string, KeptFile, std::less<>> files_;  // guarded by lock_
};

// The module's cache of language-file values.
ProfileCache& LanguageFileCache();

}  // namespace m450
