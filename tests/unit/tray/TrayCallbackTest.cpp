#include "tray/TrayCallback.h"

#include <gtest/gtest.h>

#include "core/PlatformConstants.h"

namespace tarnwick {
namespace {

TEST(TrayCallback, Version4CountsTheEventsAndAnOlderShellTheMouseMessages) {
    struct Case {
        std::uint32_t Event;
        bool Version4;
        TTrayRequest Request;
    };
    const Case cases[] = {
        {NIN_SELECT, true, TTrayRequest::trShowWindowAtCursor},
        {NIN_KEYSELECT, true, TTrayRequest::trShowWindowForKeys},
        {WM_CONTEXTMENU, true, TTrayRequest::trShowMenu},
        // Sent as well as the events they make: counting them too would open things twice.
        {WM_LBUTTONDOWN, true, TTrayRequest::trNone},
        {WM_RBUTTONDOWN, true, TTrayRequest::trNone},
        {WM_MOUSEMOVE, true, TTrayRequest::trNone},
        {WM_LBUTTONDOWN, false, TTrayRequest::trShowWindowAtCursor},
        {WM_RBUTTONDOWN, false, TTrayRequest::trShowMenu},
        {WM_LBUTTONUP, false, TTrayRequest::trNone},
        {NIN_SELECT, false, TTrayRequest::trNone},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << std::hex << c.Event << " version 4: " << c.Version4);
        // Version 4 puts the icon's id in the high word of lParam.
        const TTrayCallback callback = ReadTrayCallback(0, std::intptr_t(c.Event | (7u << 16)), c.Version4);
        EXPECT_EQ(callback.Request, c.Request);
        EXPECT_EQ(callback.HasPoint, c.Version4 && c.Event == WM_CONTEXTMENU);
    }
}

TEST(TrayCallback, TheMenusAnchorIsASignedPointInWParam) {
    const auto at = [](std::int16_t X, std::int16_t Y) {
        const auto wParam = std::uintptr_t(std::uint16_t(X)) | (std::uintptr_t(std::uint16_t(Y)) << 16);
        return ReadTrayCallback(wParam, WM_CONTEXTMENU, true).Point;
    };
    EXPECT_EQ(at(1250, 780), (TPoint{1250, 780}));
    EXPECT_EQ(at(-1700, -20), (TPoint{-1700, -20})) << "a monitor left of and above the primary one";
}

} // namespace
} // namespace tarnwick
