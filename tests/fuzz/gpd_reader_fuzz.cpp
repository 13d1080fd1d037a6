// Printer descriptions of any bytes: reading never reads out of bounds or overflows the stack,
// a refused text always says why, and every feature and option of an accepted one points into
// its entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "uicore/gpd_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const m450::gpd::Result read = m450::gpd::Read(text);
    if (!read.file) {
        if (read.error == m450::gpd::Error::kNone || read.Message().empty())
            std::abort();
        return 0;
    }
    for (const m450::gpd::Feature& feature : read.file->Features()) {
        if (!feature.entry || feature.entry->keyword != "Feature")
            std::abort();
        for (const m450::gpd::Option& option : feature.options) {
            if (!option.entry || option.entry->keyword != "Option")
                std::abort();
            if (const m450::gpd::Entry* size = option.entry->Child("MinSize"))
                (void)m450::gpd::ReadPair(size->value);
        }
    }
    for (const m450::gpd::Entry& entry : read.file->Entries())
        (void)m450::gpd::Unquote(entry.value);
    return 0;
}
