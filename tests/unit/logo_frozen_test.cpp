// The photo-like picture at the logo page's largest size and at two odd ones, 24 and 8 bits,
// through every method and the gray conversion with two tone settings, against checksums of the
// working copies taken from the conversions before their inner loops were made faster: the fast
// paths (a picture read once for method 0, eight pixels compared at a time, rows whose width is
// no multiple of 16) must give every bit as before.
#include "device/logo_conversion.h"

#include "logo_test_images.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace m450 {
namespace {

// FNV-1a, 64 bits.
uint64_t Checksum(const std::vector<uint8_t>& bytes) {
    uint64_t hash = 14695981039346656037ull;
    for (const uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 1099511628211ull;
    }
    return hash;
}

struct FrozenCase {
    uint32_t width;
    uint32_t height;
    int bitCount;
    int contrast;
    int brightness;
    std::array<uint64_t, 5> checksums;  // methods 0, 1, 2, 3, then gray
};

// clang-format off
constexpr FrozenCase kFrozen[] = {
    {1024, 768, 24, 20, -10, {0x3A3C5D031C871DC7ull, 0xE732988E8559E886ull, 0xA26E9E645F3F6863ull, 0x94B822E378D8D671ull, 0x0C2C8B12E1EE4B7Eull}},
    {1024, 768, 24, -35, 12, {0xAFEE6D879750641Bull, 0xC2BB5EB848532DA5ull, 0x4780F22E589CBF06ull, 0xE98460E119B4D055ull, 0xA51701A96B71F169ull}},
    {1024, 768, 8, 20, -10, {0xC0C615E50B3DBDBEull, 0x68FB960046EC95DDull, 0xD6A8353367DD1418ull, 0xFCDE33FB73FB7659ull, 0x8A195E7AEAE5A86Dull}},
    {1024, 768, 8, -35, 12, {0xCC23DC808A34EACAull, 0x5F65F5B9C839C302ull, 0xED520CCBBBD3BFB0ull, 0xD43AF80C98D06A31ull, 0x6DFC96A2D123D4E5ull}},
    {200, 37, 24, 20, -10, {0xE2EFF7782A82D87Eull, 0x7844FB19E669C1E5ull, 0x07C75278CE26C5A4ull, 0xCC1D835664E008C5ull, 0x42DA11534FD818EEull}},
    {200, 37, 24, -35, 12, {0x4B2517DC99968F6Dull, 0x50E58527C6E9D7FDull, 0x70F91C444D990F18ull, 0x293D13875437B648ull, 0x41AB7340C6431C70ull}},
    {200, 37, 8, 20, -10, {0x1182E94688511DD8ull, 0xE2A9229D786037A2ull, 0x395276EF8FBA0C74ull, 0x6CE8A1B6A6CD2B77ull, 0xE250B64681FD0F85ull}},
    {200, 37, 8, -35, 12, {0x1182E94688511DD8ull, 0x00F00CC215B10CBBull, 0x1235027685E7F9D1ull, 0x0699482C7FD341A2ull, 0x8EAA92F04506783Dull}},
    {13, 5, 24, 20, -10, {0x251B99BD195C30BDull, 0x047177BF34C3D35Bull, 0xD0C89F21091F1661ull, 0x4BEA13C16B6360ACull, 0xE96DB9216FF1A4E3ull}},
    {13, 5, 24, -35, 12, {0x251B99BD195C30BDull, 0x529B525E04006FCAull, 0x934DEDD1B7DD448Bull, 0x921BF627C3FD977Aull, 0xBD2EAB90F14CA344ull}},
    {13, 5, 8, 20, -10, {0x251B99BD195C30BDull, 0x047177BF34C3D35Bull, 0x047177BF34C3D35Bull, 0xD414692F81A2F97Eull, 0x5FFA0562DA3BD99Dull}},
    {13, 5, 8, -35, 12, {0x251B99BD195C30BDull, 0x4CDAADAEE094241Bull, 0x529B525E04006FCAull, 0x3DB3B59FECA278EAull, 0x44B3A15B25F2050Eull}},
};
// clang-format on

TEST(LogoConversion, FrozenChecksumsOfThePhotoAtThreeSizes) {
    for (const FrozenCase& c : kFrozen) {
        const std::vector<uint8_t> source =
            c.bitCount == 24 ? test::PhotoLikeBitmap24(c.width, c.height) : test::PhotoLikeBitmap8(c.width, c.height);
        for (int method = 0; method < 4; ++method) {
            SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.bitCount << " bits, method "
                                            << method << ", contrast " << c.contrast);
            const LogoConversion mono = ConvertToMono(source, {method, c.contrast, c.brightness});
            ASSERT_EQ(mono.result, ConversionResult::Converted);
            EXPECT_EQ(Checksum(mono.workingCopy), c.checksums[method]);
        }
        const LogoConversion gray = ConvertToGray(source, c.contrast, c.brightness);
        ASSERT_EQ(gray.result, ConversionResult::Converted);
        EXPECT_EQ(Checksum(gray.workingCopy), c.checksums[4]) << c.width << " x " << c.height << " gray";
    }
}

}  // namespace
}  // namespace m450
