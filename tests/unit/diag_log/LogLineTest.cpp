// The bytes of one log line, as the file receives them.

#include <gtest/gtest.h>

#include "diag/LogFile.h"
#include "diag/LogLine.h"
#include "tests/unit/support/FakeFilePlatform.h"
#include "tests/unit/support/FakeSystemPlatform.h"

namespace tarnwick {
namespace {

const std::u16string kFolder = u"C:\\Users\\tester\\AppData\\Roaming\\Tarnwick";
const std::u16string kFile = kFolder + u"\\Tarnwick.log.txt";

struct LineCase {
    const char* Title;
    std::u16string Message;
    std::string Bytes;
    std::u16string Separator = u":";
    SYSTEMTIME Time{2012, 3, 6, 24, 17, 5, 9, 41};
    std::uint32_t ProcessId = 2412, ThreadId = 3080;
};

std::string WrittenLine(const LineCase& c) {
    testing::FakeSystemPlatform system;
    system.TimeSeparator = c.Separator;
    system.Now = c.Time;
    system.ProcessId = c.ProcessId;
    system.ThreadId = c.ThreadId;
    testing::FakeFilePlatform files;
    files.AddFolder(u"C:\\Users\\tester\\AppData\\Roaming");
    TLogFile log(system, files);
    log.Write(c.Message, false);
    return files.Content(kFile);
}

TEST(LogLine, IsStampThreeSpacesPrefixMessageAndLineBreakInCodePage1251) {
    const LineCase cases[] = {
        {"an empty message", u"", "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] \r\n"},
        {"a plain message", u"Taskbar not found",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] Taskbar not found\r\n"},
        {"a line break inside stays and gets no prefix", u"first\r\nsecond",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] first\r\nsecond\r\n"},
        {"Cyrillic letters are single bytes", u"\u0421\u0435\u0442\u044C \u0401",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] \xD1\xE5\xF2\xFC \xA8\r\n"},
        {"characters outside the code page become question marks", u"a\u4E2D\u2713b\u00E9",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] a??b?\r\n"},
        {"a lone surrogate becomes a question mark", u"x\xD800y",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] x?y\r\n"},
        {"a full-stop time separator", u"m", "24.03.2012 17.05.09.041   [p\\t: 2412\\3080] m\r\n", u"."},
        {"no separator from the locale falls back to a colon", u"m",
         "24.03.2012 17:05:09:041   [p\\t: 2412\\3080] m\r\n", u""},
        {"small values are zero-padded", u"m", "02.01.0999 03:04:05:006   [p\\t: 4\\8] m\r\n", u":",
         SYSTEMTIME{999, 1, 0, 2, 3, 4, 5, 6}, 4, 8},
        {"the largest identifiers are unsigned", u"m",
         "31.12.2030 23:59:59:999   [p\\t: 4294967295\\4294967294] m\r\n", u":",
         SYSTEMTIME{2030, 12, 0, 31, 23, 59, 59, 999}, 0xFFFFFFFF, 0xFFFFFFFE},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WrittenLine(c), c.Bytes) << c.Title;
    }
}

TEST(LogLine, PrefixHasLiteralBackslashesAndNoTab) {
    const std::u16string prefix = LogPrefix(2412, 3080);
    EXPECT_EQ(prefix, u"[p\\t: 2412\\3080] ");
    EXPECT_EQ(prefix.find(u'\t'), std::u16string::npos);
}

} // namespace
} // namespace tarnwick
