// Writes the logo golden files into the folder given: the photo-like source and its working
// copies for every case of logo_golden_cases.h. Run when a case is added: it writes only the
// files that are not there yet. Look at the pictures (convert them to PNG) before they are
// committed; a frozen file is never regenerated.
#include "../logo_test_images.h"
#include "logo_golden_cases.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A frozen file is never written again: only cases added since are.
bool WriteNew(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (std::filesystem::exists(path))
        return true;
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
    bool ok = WriteNew(folder + test::kGoldenSource, test::PhotoLikeBitmap24(test::kGoldenWidth, test::kGoldenHeight));
    ok = WriteNew(folder + test::kGoldenSource8, test::PhotoLikeBitmap8(test::kGoldenWidth, test::kGoldenHeight)) && ok;
    for (const test::GoldenCase& c : test::kGoldenCases) {
        const std::vector<uint8_t> source = Read(folder + c.source);
        const LogoConversion converted = c.gray ? ConvertToGray(source, c.settings.contrast, c.settings.brightness)
                                                : ConvertToMono(source, c.settings);
        ok = converted.result == ConversionResult::Converted && WriteNew(folder + c.file, converted.workingCopy) && ok;
    }
    return ok ? 0 : 1;
}
