#include "core/Text.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(SameTextAscii, FoldsAsciiLettersOnly) {
    EXPECT_TRUE(SameTextAscii(u"PCI\\VEN_8086", u"pci\\ven_8086"));
    EXPECT_TRUE(SameTextAscii(u"", u""));
    EXPECT_FALSE(SameTextAscii(u"Ä", u"ä")); // outside ASCII, codes are compared
    EXPECT_FALSE(SameTextAscii(u"ab", u"abc"));
    EXPECT_FALSE(SameTextAscii(u"[", u"{")); // 0x5B and 0x7B differ by 32 but are not letters
}

TEST(AsciiCaseInsensitiveHash, EqualTextsHashAlike) {
    AsciiCaseInsensitiveHash h;
    EXPECT_EQ(h(u"Root\\Net\\0000"), h(u"ROOT\\NET\\0000"));
}

TEST(Utf8, RoundTripsAndReplacesLoneSurrogates) {
    const std::u16string text = u"Сеть \U0001F310 ok";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
}

TEST(FormatText, FormatsTheSystemPatterns) {
    const std::u16string_view message = u"Access is denied";
    EXPECT_EQ(FormatText(u"Os Error: %d (%s)", {std::int64_t(5), message}),
              u"Os Error: 5 (Access is denied)");
    EXPECT_EQ(FormatText(u"%d", {std::int64_t(-7)}), u"-7");
    EXPECT_EQ(FormatText(u"%u%%", {std::uint64_t(4294967295u)}), u"4294967295%");
    EXPECT_EQ(FormatText(u"%.3f", {1.5}), u"1.500");
    EXPECT_EQ(FormatText(u"%x", {std::uint64_t(0x2D1400)}), u"2D1400");
    EXPECT_EQ(FormatText(u"(%s) and (%s)", {std::u16string_view(u"a")}), u"(a) and (%s)");
}

TEST(TrimSystemMessage, KeepsOneLineWithoutTrailingStop) {
    EXPECT_EQ(TrimSystemMessage(u"Access is denied.\r\n"), u"Access is denied");
    EXPECT_EQ(TrimSystemMessage(u"First line.\r\nSecond line. \r\n"), u"First line. Second line");
    EXPECT_EQ(TrimSystemMessage(u""), u"");
}

} // namespace
} // namespace tarnwick
