#pragma once
// How the toolkit gets windows of its own: a window whose messages go to a method of a portable object.
// The Win32 side registers the window classes and routes the messages; tests use a stand-in.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/WindowPlatform.h"

namespace tarnwick {

// A window's message handler: message, wParam, lParam; returns the message result.
using TWndMethod =
    std::function<std::intptr_t(std::uint32_t Msg, std::uintptr_t WParam, std::intptr_t LParam)>;

// What CreateWindowExW gets: the class (registered by the factory on first use), caption, styles,
// placement and the owner window.
struct TCreateParams {
    std::u16string ClassName;
    std::u16string Caption;
    std::uint32_t Style = 0;
    std::uint32_t ExStyle = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    HWND_T WndParent = 0;
};

class IWindowFactory {
public:
    virtual ~IWindowFactory() = default;
    // Creates the window; every message it receives after this returns goes to Method (the messages of
    // the creation itself get the default handling). Raises an EOSError when the window cannot be made.
    virtual HWND_T CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) = 0;
    // Destroys the window; no message reaches its method afterwards.
    virtual void DestroyWindowHandle(HWND_T Handle) = 0;
};

} // namespace tarnwick
