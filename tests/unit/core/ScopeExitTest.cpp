#include "core/ScopeExit.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tarnwick {
namespace {

TEST(ScopeExit, RunsOnceOnEveryWayOutUnlessDismissed) {
    int runs = 0;
    {
        const TScopeExit done{[&runs] { ++runs; }};
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);

    EXPECT_THROW(
        {
            const TScopeExit done{[&runs] { ++runs; }};
            throw std::runtime_error("failed");
        },
        std::runtime_error);
    EXPECT_EQ(runs, 2) << "also when an exception leaves the scope";

    {
        TScopeExit done{[&runs] { ++runs; }};
        done.Dismiss();
    }
    EXPECT_EQ(runs, 2);
}

} // namespace
} // namespace tarnwick
