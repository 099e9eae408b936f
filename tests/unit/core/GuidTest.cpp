#include "core/Guid.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(Guid, TextFormRoundTrips) {
    EXPECT_EQ(GuidToText(GUID_DEVCLASS_NET), u"{4D36E972-E325-11CE-BFC1-08002BE10318}");
    Guid parsed{};
    ASSERT_TRUE(TextToGuid(u"{4d36e972-e325-11ce-bfc1-08002be10318}", parsed));
    EXPECT_EQ(parsed, GUID_DEVCLASS_NET);
    EXPECT_FALSE(TextToGuid(u"4D36E972-E325-11CE-BFC1-08002BE10318", parsed));
    EXPECT_FALSE(TextToGuid(u"{4D36E972-E325-11CE-BFC1-08002BE1031G}", parsed));
}

} // namespace
} // namespace tarnwick
