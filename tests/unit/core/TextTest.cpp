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

// The text ends at the first NUL wherever it lies, whatever units stand beside it, or at the capacity.
TEST(ViewUpToNul, EndsAtTheFirstNulOrTheCapacity) {
    for (const char16_t filler : {u'a', u'\x0100', u'\x8000', u'\xFFFF', u'\x0001'}) {
        for (std::size_t capacity = 0; capacity <= 11; ++capacity) {
            for (std::size_t nul = 0; nul <= capacity; ++nul) {
                std::u16string buffer(capacity + 1, filler); // one unit past the capacity, never read
                buffer[capacity] = u'\0';
                if (nul < capacity) {
                    buffer[nul] = u'\0';
                    buffer[std::min(nul + 2, capacity)] = u'\0';
                } else {
                    buffer[capacity] = filler;
                }
                EXPECT_EQ(ViewUpToNul(buffer.data(), capacity).size(), nul)
                    << "capacity " << capacity << ", NUL at " << nul << ", filler " << int(filler);
            }
        }
    }
}

TEST(Utf8, RoundTripsAndReplacesLoneSurrogates) {
    const std::u16string text = u"Сеть \U0001F310 ok";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
    EXPECT_EQ(ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
    EXPECT_EQ(FromUtf8("\xC3"), u"\uFFFD");
}

TEST(FormatText, FormatsTheSystemPatterns) {
    const std::u16string_view message = u"Access is denied";
    EXPECT_EQ(FormatText(u"Windows error %d (%s)", {std::int64_t(5), message}),
              u"Windows error 5 (Access is denied)");
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
