// The text fields of the private record: fixed UTF-16 fields, zero-terminated inside the field.
//
// The record is packed and the host's buffer may sit at any address, so the fields are moved
// with memcpy, never through a char16_t reference.
#pragma once

#include "core/devmode.h"
#include "core/text_store.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace m450 {

// Stores text in a field, cut to the field's capacity less the terminator; the rest of the
// field is cleared. Example: StoreRecordText(dm, &PlugInDevMode::watermarkText, text).
template <size_t N>
void StoreRecordText(PlugInDevMode& dm, char16_t (PlugInDevMode::*field)[N], std::u16string_view text) {
    char16_t chars[N] = {};
    const std::u16string_view cut = CutToCapacity(text, N);
    cut.copy(chars, cut.size());
    std::memcpy(dm.*field, chars, sizeof(chars));
}

// A field's text up to its first null; a field without one (a record from elsewhere) ends
// with the field.
template <size_t N>
std::u16string RecordText(const PlugInDevMode& dm, char16_t (PlugInDevMode::*field)[N]) {
    char16_t chars[N];
    std::memcpy(chars, dm.*field, sizeof(chars));
    return std::u16string(chars, std::find(chars, chars + N, u'\0'));
}

}  // namespace m450
