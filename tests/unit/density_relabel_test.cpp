// The print-density item of the host: which item is relabelled, and the option texts it gets.
#include "core/density_relabel.h"

#include <gtest/gtest.h>

#include <string>

namespace m450 {
namespace {

constexpr uint8_t kNoPublicId = 0;
constexpr uint8_t kFormNameId = 9;                       // a public device-mode item (DMPUB_FORMNAME)
const std::u16string kChineseDensity = u"\u6D53\u5EA6";  // 浓度

TEST(DensityRelabel, OnlyTheLevelTwoPrinterFeatureNamingTheDensityQualifies) {
    EXPECT_TRUE(DensityItemQualifies(kNoPublicId, 2, u"Light Density", false));
    EXPECT_TRUE(DensityItemQualifies(kNoPublicId, 2, u"Density", false));
    EXPECT_TRUE(DensityItemQualifies(kNoPublicId, 2, u"\u6D45\u6D53\u5EA6", false));  // 浅浓度
    EXPECT_TRUE(DensityItemQualifies(kNoPublicId, 2, u"\u6DE1\u6FC3\u5EA6", false));  // 淡濃度

    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 1, u"Light Density", false));  // level 1
    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 3, u"Light Density", false));
    EXPECT_FALSE(DensityItemQualifies(kFormNameId, 2, u"Light Density", false));  // public item
    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 2, u"Standard", false));
    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 2, u"density", false));  // the word as written
    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 2, u"", false));

    // Once relabelled, the item stays the density item in a language whose word differs.
    EXPECT_TRUE(DensityItemQualifies(kNoPublicId, 2, u"Dichte0", true));
    EXPECT_FALSE(DensityItemQualifies(kNoPublicId, 1, u"Dichte0", true));
}

TEST(DensityRelabel, OptionTextsAreTheIndexTextFollowedByTheNumber) {
    DensityOptionTexts texts;
    ASSERT_EQ(texts.Build(u"Density", 3), 3u);
    EXPECT_EQ(std::u16string(texts.Text(0)), u"Density0");
    EXPECT_EQ(std::u16string(texts.Text(1)), u"Density1");
    EXPECT_EQ(std::u16string(texts.Text(2)), u"Density2");

    ASSERT_EQ(texts.Build(kChineseDensity, 3), 3u);
    EXPECT_EQ(std::u16string(texts.Text(0)), kChineseDensity + u"0");
    EXPECT_EQ(std::u16string(texts.Text(2)), kChineseDensity + u"2");

    EXPECT_TRUE(texts.Owns(texts.Text(2)));
    EXPECT_FALSE(texts.Owns(u"Density2"));
    EXPECT_EQ(texts.Build(u"Density", 0), 0u);
}

TEST(DensityRelabel, OptionCountAndTextLengthAreCapped) {
    DensityOptionTexts texts;
    EXPECT_EQ(texts.Build(u"D", 1000), kMostDensityOptions);
    EXPECT_EQ(std::u16string(texts.Text(kMostDensityOptions - 1)), u"D63");

    // The longest index text the store keeps (49 characters) still gets its number.
    const std::u16string longest(49, u'x');
    texts.Build(longest, 13);
    EXPECT_EQ(std::u16string(texts.Text(12)), longest + u"12");

    // A longer text is cut so that the number always fits.
    FixedText<kDensityOptionTextCapacity> out;
    const std::u16string_view text = DensityOptionText(std::u16string(100, u'y'), 4294967295u, out);
    EXPECT_EQ(text.size(), kDensityOptionTextCapacity - 1);
    EXPECT_EQ(text.substr(text.size() - 10), u"4294967295");
}

}  // namespace
}  // namespace m450
