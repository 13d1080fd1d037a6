// Command bytes typed as hex text: the parse walk, the formatted form, and the 128-byte limit.
#include "core/hex_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace m450 {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(HexText, ParsesPairsSingleDigitsAndSeparators) {
    EXPECT_EQ(ParseHexBytes(u"1D 56 42 00"), (Bytes{0x1D, 0x56, 0x42, 0x00}));
    EXPECT_EQ(ParseHexBytes(u"1d5642"), (Bytes{0x1D, 0x56, 0x42}));
    EXPECT_EQ(ParseHexBytes(u"1 D"), (Bytes{0x01, 0x0D}));          // a digit before a space is a byte
    EXPECT_EQ(ParseHexBytes(u"123"), (Bytes{0x12, 0x03}));          // odd digit at the end
    EXPECT_EQ(ParseHexBytes(u"  1D   56  "), (Bytes{0x1D, 0x56}));  // runs of spaces are one separator
    EXPECT_EQ(ParseHexBytes(u"aF Ff"), (Bytes{0xAF, 0xFF}));
    // Non-digits (pasted text, the hyphen and full stop the field lets through) count as 0.
    EXPECT_EQ(ParseHexBytes(u"1-"), (Bytes{0x10}));
    EXPECT_EQ(ParseHexBytes(u"G1 x."), (Bytes{0x01, 0x00}));
    EXPECT_EQ(ParseHexBytes(u"\u4E2D9"), (Bytes{0x09}));
    EXPECT_TRUE(ParseHexBytes(u"").empty());
    EXPECT_TRUE(ParseHexBytes(u"     ").empty());
}

TEST(HexText, FormatsTwoUpperCaseDigitsAndATrailingSpacePerByte) {
    const uint8_t bytes[] = {0x0A, 0xFF, 0x00, 0x1D};
    EXPECT_EQ(FormatHexBytes(bytes), u"0A FF 00 1D ");
    EXPECT_EQ(FormatHexBytes({}), u"");
}

TEST(HexText, LongestCommandRoundTripsAndFitsItsField) {
    Bytes all(kMaxCommandBytes);
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = static_cast<uint8_t>(i * 2 + 1);
    const std::u16string text = FormatHexBytes(all);
    EXPECT_EQ(text.size(), 384u);
    EXPECT_EQ(ParseHexBytes(text), all);
    EXPECT_EQ(ParseCommandText(text), all);
}

TEST(HexText, CommandTextRefusesMoreThan128BytesOrAnOverlongField) {
    EXPECT_EQ(ParseCommandText(u"")->size(), 0u);
    EXPECT_EQ(ParseCommandText(std::u16string(256, u'1'))->size(), 128u);
    EXPECT_FALSE(ParseCommandText(std::u16string(258, u'1')).has_value());  // 129 bytes
    // 399 characters are read; one more is refused rather than silently cut off.
    EXPECT_TRUE(ParseCommandText(std::u16string(398, u' ') + u"1").has_value());
    EXPECT_FALSE(ParseCommandText(std::u16string(399, u' ') + u"1").has_value());
}

TEST(HexText, PasteTakesHexDigitsAndWhiteSpaceOnlyOrNothing) {
    EXPECT_EQ(PastedCommandText(u"1d 56 42 00"), u"1d 56 42 00");
    EXPECT_EQ(PastedCommandText(u"1B 40\r\n1D\t56"), u"1B 40  1D 56");  // line breaks and tabs separate bytes
    EXPECT_EQ(PastedCommandText(u""), u"");
    // Anything else refuses the whole paste rather than becoming bytes.
    EXPECT_FALSE(PastedCommandText(u"hello world 1G").has_value());
    EXPECT_FALSE(PastedCommandText(u"0x1B").has_value());
    EXPECT_FALSE(PastedCommandText(u"1B-40").has_value());  // typed, the hyphen passes; pasted, it does not
    EXPECT_FALSE(PastedCommandText(u"1B\u00A040").has_value());
    EXPECT_FALSE(PastedCommandText(u"\uFF11\uFF22").has_value());  // full-width digits
}

}  // namespace
}  // namespace m450
