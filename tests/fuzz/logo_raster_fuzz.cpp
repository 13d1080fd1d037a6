// Column data and plane data built from any file: refused, or exactly the size the header
// announces (x × y × 8 and a × b × 8 bytes).
#include "device/logo_raster.h"
#include "logo_bitmap_fuzz.h"

#include <cstdlib>

namespace {

size_t Field16(const std::vector<uint8_t>& header, size_t at) {
    return header.at(at) | (header.at(at + 1) << 8);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file = m450::fuzz::LogoFileFrom({data, size});
    const m450::LogoRaster columns = m450::BuildColumnData(file);
    if (columns.problem == m450::BitmapProblem::None) {
        if (columns.header.size() != 4 ||
            columns.data.size() != Field16(columns.header, 0) * Field16(columns.header, 2) * 8)
            std::abort();
    } else if (!columns.header.empty() || !columns.data.empty()) {
        std::abort();
    }
    const m450::LogoRaster planes = m450::BuildPlaneData(file);
    if (planes.problem == m450::BitmapProblem::None) {
        if (planes.header.size() != 6 ||
            planes.data.size() != Field16(planes.header, 2) * Field16(planes.header, 4) * 8)
            std::abort();
    } else if (!planes.header.empty() || !planes.data.empty()) {
        std::abort();
    }
    return 0;
}
