// The Version page's link rectangle.
#include "core/version_link.h"

#include <gtest/gtest.h>

namespace m450 {
namespace {

// A page at (100, 50) without a border, 460 x 400; the link control 384 x 44 at (36, 205) in
// the page.
constexpr PixelRect kPage{100, 50, 560, 450};
constexpr PixelRect kPageClient{0, 0, 460, 400};
constexpr PixelRect kLink{136, 255, 520, 299};
constexpr PixelRect kLinkClient{0, 0, 384, 44};

TEST(VersionLink, WidthIsFivePointSixPixelsPerCharacterRoundedDown) {
    const PixelRect shortAddress = LinkRect(kPage, kLink, kPageClient, kLinkClient, 25);
    EXPECT_EQ(shortAddress.right - shortAddress.left, 140);
    const PixelRect longerAddress = LinkRect(kPage, kLink, kPageClient, kLinkClient, 26);
    EXPECT_EQ(longerAddress.right - longerAddress.left, 145);  // 145.6
    EXPECT_EQ(LinkRect(kPage, kLink, kPageClient, kLinkClient, 0).right, 36);
}

TEST(VersionLink, RectangleCoversTheTopOfTheControl) {
    const PixelRect rect = LinkRect(kPage, kLink, kPageClient, kLinkClient, 25);
    EXPECT_EQ(rect.left, 36);                   // 136 - 100
    EXPECT_EQ(rect.top, 299 - 450 + 400 - 42);  // 207: 2 pixels below the control's top
    EXPECT_EQ(rect.right, 176);
    EXPECT_EQ(rect.bottom, 44 + 207 - 33);  // 218

    // A taller control at another place moves and grows the rectangle with it.
    const PixelRect tall = LinkRect({0, 0, 300, 200}, {10, 100, 200, 160}, {0, 0, 300, 200}, {0, 0, 190, 60}, 10);
    EXPECT_EQ(tall.left, 10);
    EXPECT_EQ(tall.top, 118);  // 160 - 200 + 200 - 42
    EXPECT_EQ(tall.right, 66);
    EXPECT_EQ(tall.bottom, 145);  // 60 + 118 - 33

    EXPECT_TRUE(Contains(rect, 36, 207));
    EXPECT_TRUE(Contains(rect, 175, 217));
    EXPECT_FALSE(Contains(rect, 176, 210));  // right edge lies outside
    EXPECT_FALSE(Contains(rect, 100, 218));  // bottom edge lies outside
    EXPECT_FALSE(Contains(rect, 35, 210));
    EXPECT_FALSE(Contains(rect, 100, 206));
}

TEST(VersionLink, HugeAddressLengthsDoNotOverflow) {
    const PixelRect rect = LinkRect(kPage, kLink, kPageClient, kLinkClient, static_cast<size_t>(-1));
    EXPECT_GT(rect.right, rect.left);
}

}  // namespace
}  // namespace m450
