#include "platform/win32/Win32Text.h"

#include <gtest/gtest.h>

namespace tarnwick::win32 {
namespace {

TEST(SystemErrorText, IsTheSystemMessageOnOneLineWithoutFullStop) {
    const std::u16string text = SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(text.find(u'\n'), std::u16string::npos);
    EXPECT_EQ(text.find(u'\r'), std::u16string::npos);
    EXPECT_NE(text.back(), u'.');
}

TEST(SystemErrorText, UnknownCodeGivesEmptyText) {
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), u"");
}

} // namespace
} // namespace tarnwick::win32
