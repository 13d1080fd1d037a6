// The photo-like picture through every method, against the frozen working copies: any change
// of a tone curve, a matrix, a tie-break, the diffusion or the reading of a gray-ramp or
// black-then-white colour table shows up here as a changed bit.
#include "device/logo_conversion.h"

#include "golden/logo_golden_cases.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace m450 {
namespace {

std::vector<uint8_t> ReadGolden(const char* name) {
    const auto path = std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path;
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(LogoGolden, PhotoThroughEveryMethod) {
    for (const test::GoldenCase& c : test::kGoldenCases) {
        SCOPED_TRACE(c.file);
        const std::vector<uint8_t> source = ReadGolden(c.source);
        ASSERT_FALSE(source.empty());
        const LogoConversion converted = c.gray ? ConvertToGray(source, c.settings.contrast, c.settings.brightness)
                                                : ConvertToMono(source, c.settings);
        ASSERT_EQ(converted.result, ConversionResult::Converted);
        const std::vector<uint8_t> golden = ReadGolden(c.file);
        ASSERT_EQ(converted.workingCopy.size(), golden.size());
        EXPECT_TRUE(converted.workingCopy == golden);  // not EXPECT_EQ: a diff of 2000 bytes helps nobody
    }
}

}  // namespace
}  // namespace m450
