// Control-font files of any bytes: reading never reads out of bounds, and the file written for
// whatever was read is printable ASCII lines that read back to a table again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "device/control_font_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const m450::ControlFontTable table = m450::ControlFontTableFromBytes(std::span<const uint8_t>(data, size));
    const std::vector<uint8_t> file = m450::ControlFontFileBytes(table);
    for (size_t i = 0; i < file.size(); ++i) {
        const uint8_t b = file[i];
        const bool lineEnd =
            (b == '\r' && i + 1 < file.size() && file[i + 1] == '\n') || (b == '\n' && i > 0 && file[i - 1] == '\r');
        if (!lineEnd && (b < 0x20 || b >= 0x7F))
            std::abort();
    }
    (void)m450::ControlFontTableFromBytes(file);
    return 0;
}
