// The BMP reader and both logo conversions on any file (1-, 8- and 24-bit sources and whatever
// else), with any settings: a conversion either refuses with nothing written or makes a working
// copy of exactly the size its header states, which reads back as a logo.
#include "device/logo_conversion.h"
#include "device/logo_raster.h"
#include "logo_bitmap_fuzz.h"

#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

void CheckWorkingCopy(const m450::LogoConversion& conversion, uint16_t bitCount) {
    if (conversion.result != m450::ConversionResult::Converted) {
        Check(conversion.workingCopy.empty() && conversion.problem != m450::BitmapProblem::None);
        return;
    }
    const m450::BitmapRead read = m450::ReadBitmap(conversion.workingCopy, {bitCount});
    Check(read.problem == m450::BitmapProblem::None);
    Check(conversion.workingCopy.size() == m450::StandardPixelOffset(bitCount) + read.view.pixels.size());
    const m450::LogoRaster raster =
        bitCount == 1 ? m450::BuildColumnData(conversion.workingCopy) : m450::BuildPlaneData(conversion.workingCopy);
    Check(raster.problem == m450::BitmapProblem::None);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3)
        return 0;
    const m450::LogoSettings settings{data[0] % 5, static_cast<int8_t>(data[1]) % 110,
                                      static_cast<int8_t>(data[2]) % 110};
    const std::vector<uint8_t> file = m450::fuzz::LogoFileFrom({data + 3, size - 3});
    CheckWorkingCopy(m450::ConvertToMono(file, settings), 1);
    CheckWorkingCopy(m450::ConvertToGray(file, settings.contrast, settings.brightness), 8);
    return 0;
}
