// Language files of any bytes: parsing and looking up never read out of bounds, and any text
// the writer's encoding accepts reads back exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "core/language_file.h"
#include "core/language_rules.h"
#include "core/text_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    if (const std::optional<m450::LanguageFile> file = m450::LanguageFile::FromBytes(bytes)) {
        const auto keys = file->Keys();
        for (size_t i = 0; i < keys.size() && i < 64; ++i)  // each lookup is a scan: keep it linear
            (void)file->Text(keys[i].first, keys[i].second);
        m450::LanguageTextStore& store = m450::Texts();
        store.LoadSection(u"LAYOUT", m450::ReaderOf(*file));
        (void)m450::BuildLanguageList(m450::ReaderOf(*file));
        (void)m450::ProfileInt(file->Value(u"FILEVER", u"INIVERSION"), 0);
    }

    // The same bytes as a text (UTF-16LE): stored and read back through a file line.
    std::u16string text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    if (const std::optional<std::u16string> stored = m450::EncodeLanguageText(text)) {
        const m450::LanguageFile file = m450::LanguageFile::FromText(u"[S]\r\nK=" + *stored + u"\r\n");
        if (file.Text(u"S", u"K") != text)
            std::abort();
    }
    return 0;
}
