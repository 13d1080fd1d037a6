#include "core/text_store.h"

#include "core/language_rules.h"

#include <memory>

namespace m450 {
namespace {

constexpr std::array<TextKey, kTextCount> kKeys = {{
#define M450_TEXT(id, section, key, text, capacity) {section, key, text, capacity},
#include "core/text_keys.inc"
#undef M450_TEXT
}};

// A built-in text that its own slot would cut is a mistake in the table.
constexpr bool DefaultsFit() {
    for (const TextKey& key : kKeys) {
        if (key.capacity == 0 || key.defaultText.size() >= key.capacity)
            return false;
    }
    return true;
}
static_assert(DefaultsFit(), "a built-in text is longer than its slot");

// Each slot's start in the pool, computed once from the capacities.
constexpr std::array<size_t, kTextCount> SlotOffsets() {
    std::array<size_t, kTextCount> offsets{};
    size_t next = 0;
    for (size_t i = 0; i < kTextCount; ++i) {
        offsets[i] = next;
        next += kKeys[i].capacity;
    }
    return offsets;
}
constexpr std::array<size_t, kTextCount> kOffsets = SlotOffsets();
static_assert(kOffsets[kTextCount - 1] + kKeys[kTextCount - 1].capacity == kTextPoolSize);

constexpr bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool StartsWith(std::u16string_view text, std::u16string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

size_t IndexOf(TextId id) {
    return static_cast<size_t>(id);
}

}  // namespace

const TextKey& KeyOf(TextId id) {
    return kKeys[IndexOf(id)];
}

std::span<const TextKey> AllTextKeys() {
    return kKeys;
}

std::optional<TextId> FindTextId(std::u16string_view section, std::u16string_view key) {
    for (size_t i = 0; i < kTextCount; ++i) {
        if (kKeys[i].section == section && kKeys[i].key == key)
            return static_cast<TextId>(i);
    }
    return std::nullopt;
}

std::u16string_view CutToCapacity(std::u16string_view text, size_t capacity) {
    if (capacity == 0)
        return {};
    if (text.size() < capacity)
        return text;
    size_t length = capacity - 1;
    if (length > 0 && IsHighSurrogate(text[length - 1]))
        --length;
    return text.substr(0, length);
}

bool IsMessageOf(TextId id, MessageSet set) {
    const TextKey& key = KeyOf(id);
    if (key.section != kMessageSection)
        return false;
    if (set == MessageSet::All)
        return true;
    if (key.key == u"MB_INFORMATION" || key.key == u"MB_WARNING" || key.key == u"MB_ERROR")
        return true;
    const bool deviceMessage = StartsWith(key.key, u"MB_UTILITY_") || StartsWith(key.key, u"MB_DOWNLOAD_");
    return deviceMessage == (set == MessageSet::DeviceSheet);
}

LanguageTextStore::LanguageTextStore() {
    for (size_t i = 0; i < kTextCount; ++i)
        Write(static_cast<TextId>(i), kKeys[i].defaultText);
    SetTextFileName(std::nullopt);
    SetSystemEntryText(kDefaultSystemEntry);
}

const char16_t* LanguageTextStore::Text(TextId id) const {
    return pool_.data() + kOffsets[IndexOf(id)];
}

std::u16string_view LanguageTextStore::View(TextId id) const {
    return {Text(id), lengths_[IndexOf(id)]};
}

void LanguageTextStore::Write(TextId id, std::u16string_view text) {
    const size_t index = IndexOf(id);
    const std::u16string_view cut = CutToCapacity(text, kKeys[index].capacity);
    char16_t* slot = pool_.data() + kOffsets[index];
    cut.copy(slot, cut.size());
    slot[cut.size()] = u'\0';
    lengths_[index] = static_cast<uint16_t>(cut.size());
}

void LanguageTextStore::Load(TextId id, const TextReader& reader) {
    const TextKey& key = KeyOf(id);
    std::optional<std::u16string> text;
    if (reader)
        text = reader(key.section, key.key);
    Write(id, text ? std::u16string_view(*text) : key.defaultText);
}

void LanguageTextStore::LoadSection(std::u16string_view section, const TextReader& reader) {
    for (size_t i = 0; i < kTextCount; ++i) {
        if (kKeys[i].section == section)
            Load(static_cast<TextId>(i), reader);
    }
}

void LanguageTextStore::LoadMessages(MessageSet set, const TextReader& reader) {
    for (size_t i = 0; i < kTextCount; ++i) {
        if (IsMessageOf(static_cast<TextId>(i), set))
            Load(static_cast<TextId>(i), reader);
    }
}

bool LanguageTextStore::SetUserFolder(std::u16string_view folder) {
    const bool kept = userFolder_.Assign(folder);
    RebuildPaths();
    return kept;
}

void LanguageTextStore::SetTextFileName(std::optional<std::u16string_view> name) {
    fileName_.Assign(AcceptedTextFileName(name));
    RebuildPaths();
}

// Both paths are the user folder plus a file name; without a folder there is no path, so a
// read falls back to the built-in texts instead of searching the platform's default folder.
void LanguageTextStore::RebuildPaths() {
    const std::u16string_view folder = userFolder_.view();
    if (folder.empty()) {
        textFilePath_.Assign({});
        listPath_.Assign({});
        return;
    }
    textFilePath_.AssignJoined(folder, fileName_.view());
    listPath_.AssignJoined(folder, kLanguageListFile);
}

// Thread-local: one store per thread, never seen by another (see the header).
LanguageTextStore& Texts() {
    thread_local std::unique_ptr<LanguageTextStore> store;
    if (!store)
        store = std::make_unique<LanguageTextStore>();
    return *store;
}

}  // namespace m450
