// The language text store: one fixed-capacity slot per text of the plug-in, filled by section
// and key from the current language file, or with the key's built-in English text.
//
// The keys, defaults and capacities are the rows of text_keys.inc. Slots live in one pool for
// the life of the module and never move, so a page record's title can point into one; every
// load rewrites a slot in place. The store also holds the module-wide strings that name the
// current language: the text file's name and path, the user's language list path and the text
// of the language list's system entry.
//
// Each thread has a store of its own (Texts()): a sheet's pages run on the thread that made the
// sheet, so the slots a page shows are written only by that thread's own loads, never by another
// thread's. The sheets of one thread share its store, as they share the user's language.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace m450 {

enum class TextId : uint16_t {
#define M450_TEXT(id, section, key, text, capacity) id,
#include "core/text_keys.inc"
#undef M450_TEXT
    Count
};
inline constexpr size_t kTextCount = static_cast<size_t>(TextId::Count);

struct TextKey {
    std::u16string_view section;
    std::u16string_view key;
    std::u16string_view defaultText;
    uint16_t capacity;  // characters, terminator included
};

const TextKey& KeyOf(TextId id);
std::span<const TextKey> AllTextKeys();
std::optional<TextId> FindTextId(std::u16string_view section, std::u16string_view key);

// Section names the sheets load by.
inline constexpr std::u16string_view kLayoutSection = u"LAYOUT";
inline constexpr std::u16string_view kGpdSection = u"GPD";
inline constexpr std::u16string_view kWatermarkSection = u"WATERMARK";
inline constexpr std::u16string_view kOperationSection = u"OPERATION";
inline constexpr std::u16string_view kDocumentSection = u"DOCUMENT";
inline constexpr std::u16string_view kCode1DSection = u"1DCODE";
inline constexpr std::u16string_view kCode2DSection = u"2DCODE";
inline constexpr std::u16string_view kVersionSection = u"VERSION";
inline constexpr std::u16string_view kUtilitySection = u"UTILITY";
inline constexpr std::u16string_view kDownloadSection = u"DOWNLOAD";
inline constexpr std::u16string_view kFontSection = u"FONT";
inline constexpr std::u16string_view kMessageSection = u"MessageBox";

// Reads one key of the current text file: the text as a page shows it (line breaks decoded),
// or nullopt when the file, the section or the key is missing.
using TextReader = std::function<std::optional<std::u16string>(std::u16string_view section, std::u16string_view key)>;

// The first capacity - 1 characters of text, never ending in half of a surrogate pair.
std::u16string_view CutToCapacity(std::u16string_view text, size_t capacity);

// Which messages a sheet loads: each sheet takes the three captions and its own pages'
// messages; the Layout page takes all of them.
enum class MessageSet { DocumentSheet, DeviceSheet, All };
bool IsMessageOf(TextId id, MessageSet set);

// The current text file's name holds at most 29 characters.
inline constexpr size_t kTextFileNameCapacity = 30;
// Folder plus file name; a longer path is not kept (and reads then fall back to defaults).
inline constexpr size_t kLanguagePathCapacity = 520;
inline constexpr size_t kSystemEntryCapacity = 50;

inline constexpr size_t kTextPoolSize = 0
#define M450_TEXT(id, section, key, text, capacity) +capacity
#include "core/text_keys.inc"
#undef M450_TEXT
    ;

// A zero-terminated string of at most N - 1 characters in place.
template <size_t N>
class FixedText {
  public:
    static_assert(N > 0);
    // Keeps the text when it fits; otherwise keeps nothing and says so.
    bool Assign(std::u16string_view text) { return AssignJoined(text, {}); }
    // Keeps first + second when both fit together; otherwise keeps nothing and says so.
    bool AssignJoined(std::u16string_view first, std::u16string_view second) {
        if (first.size() >= N || second.size() >= N - first.size()) {  // no overflow: first < N
            size_ = 0;
            chars_[0] = u'\0';
            return false;
        }
        first.copy(chars_.data(), first.size());
        second.copy(chars_.data() + first.size(), second.size());
        size_ = first.size() + second.size();
        chars_[size_] = u'\0';
        return true;
    }
    void AssignCut(std::u16string_view text) { Assign(CutToCapacity(text, N)); }
    const char16_t* c_str() const { return chars_.data(); }
    std::u16string_view view() const { return {chars_.data(), size_}; }

  private:
    std::array<char16_t, N> chars_{};
    size_t size_ = 0;
};

// About 300 KB of slots: the module keeps one, Texts(); tests make their own.
class LanguageTextStore {
  public:
    // Every slot starts with its built-in text; the current file is "ENG_M450.res".
    LanguageTextStore();
    LanguageTextStore(const LanguageTextStore&) = delete;
    LanguageTextStore& operator=(const LanguageTextStore&) = delete;

    // Always zero-terminated, at most the key's capacity - 1 characters; the address is stable.
    const char16_t* Text(TextId id) const;
    std::u16string_view View(TextId id) const;

    // The file's text, or the built-in text when the reader has none; cut to the capacity.
    void Load(TextId id, const TextReader& reader);
    void LoadSection(std::u16string_view section, const TextReader& reader);
    void LoadMessages(MessageSet set, const TextReader& reader);

    // The per-user language folder, ending in a backslash. The text file's path and the
    // language list's path are built on it.
    bool SetUserFolder(std::u16string_view folder);
    std::u16string_view UserFolder() const { return userFolder_.view(); }

    // A missing, empty or over-long name (more than 29 characters) selects "ENG_M450.res".
    void SetTextFileName(std::optional<std::u16string_view> name);
    std::u16string_view TextFileName() const { return fileName_.view(); }
    // Empty until a user folder is set, and when folder plus name would not fit.
    const char16_t* TextFilePath() const { return textFilePath_.c_str(); }
    const char16_t* LanguageListPath() const { return listPath_.c_str(); }

    // The language list's last entry: the system language, named in that language.
    void SetSystemEntryText(std::u16string_view text) { systemEntry_.AssignCut(text); }
    std::u16string_view SystemEntryText() const { return systemEntry_.view(); }

  private:
    void Write(TextId id, std::u16string_view text);
    void RebuildPaths();

    std::array<char16_t, kTextPoolSize> pool_{};
    std::array<uint16_t, kTextCount> lengths_{};
    FixedText<kLanguagePathCapacity> userFolder_;
    FixedText<kTextFileNameCapacity> fileName_;
    FixedText<kLanguagePathCapacity> textFilePath_;
    FixedText<kLanguagePathCapacity> listPath_;
    FixedText<kSystemEntryCapacity> systemEntry_;
};

// The calling thread's store, made at its first use (std::bad_alloc when there is no memory for
// it) and freed when the thread ends.
LanguageTextStore& Texts();

}  // namespace m450
