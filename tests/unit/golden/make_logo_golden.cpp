// Writes the logo golden files into the folder given: the photo-like source and its working
// copies for every case of logo_golden_cases.h. Run once when a case is added; look at the
// pictures (convert them to PNG) before they are committed, and never regenerate a frozen one.
#include "../logo_test_images.h"
#include "logo_golden_cases.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

bool Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_logo_golden FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    using namespace m450;
    const std::vector<uint8_t> source = test::PhotoLikeBitmap24(test::kGoldenWidth, test::kGoldenHeight);
    bool ok = Write(folder + test::kGoldenSource, source);
    for (const test::GoldenCase& c : test::kGoldenCases) {
        const LogoConversion converted = c.gray ? ConvertToGray(source, c.settings.contrast, c.settings.brightness)
                                                : ConvertToMono(source, c.settings);
        ok = converted.result == 1 && Write(folder + c.file, converted.workingCopy) && ok;
    }
    return ok ? 0 : 1;
}
