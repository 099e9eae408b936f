#include "toolkit/win32/Win32WindowFactory.h"

#include "core/Errors.h"
#include "core/Text.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

TWin32WindowFactory::TWin32WindowFactory(HINSTANCE Instance) : FInstance(Instance) {}

TWin32WindowFactory::~TWin32WindowFactory() {
    while (!FMethods.empty()) {
        DestroyWindowHandle(reinterpret_cast<HWND_T>(FMethods.begin()->first));
    }
    for (const std::u16string& name : FClasses) {
        ::UnregisterClassW(AsWide(name), FInstance);
    }
}

LRESULT CALLBACK TWin32WindowFactory::StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    auto* method = reinterpret_cast<TWndMethod*>(::GetWindowLongPtrW(Wnd, GWLP_USERDATA));
    if (!method) {
        // The messages of the creation, before the object has its window.
        return ::DefWindowProcW(Wnd, Msg, WParam, LParam);
    }
    // The toolkit's methods handle their own errors; one that still escapes must not unwind through the
    // system's frames, so it ends the program here (the method is noexcept-called).
    return [&]() noexcept { return (*method)(Msg, WParam, LParam); }();
}

void TWin32WindowFactory::RegisterClassOnce(const std::u16string& ClassName) {
    if (FClasses.count(ClassName)) {
        return;
    }
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &StdWndProc;
    wc.hInstance = FInstance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = AsWide(ClassName);
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        const DWORD code = ::GetLastError();
        throw OsError(code, SystemErrorText(code));
    }
    FClasses.insert(ClassName);
}

HWND_T TWin32WindowFactory::CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) {
    RegisterClassOnce(Params.ClassName);
    const HWND wnd = ::CreateWindowExW(Params.ExStyle, AsWide(Params.ClassName), AsWide(Params.Caption),
                                       Params.Style, Params.X, Params.Y, Params.Width, Params.Height,
                                       reinterpret_cast<HWND>(Params.WndParent), nullptr, FInstance, nullptr);
    if (!wnd) {
        const DWORD code = ::GetLastError();
        throw OsError(code, SystemErrorText(code));
    }
    auto method = std::make_unique<TWndMethod>(std::move(Method));
    ::SetWindowLongPtrW(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(method.get()));
    FMethods[wnd] = std::move(method);
    return reinterpret_cast<HWND_T>(wnd);
}

void TWin32WindowFactory::DestroyWindowHandle(HWND_T Handle) {
    const HWND wnd = reinterpret_cast<HWND>(Handle);
    // Cut the route first: the messages of the destruction get the default handling, and the object,
    // which is going away, hears nothing more.
    if (::IsWindow(wnd)) {
        ::SetWindowLongPtrW(wnd, GWLP_USERDATA, 0);
        ::DestroyWindow(wnd);
    }
    FMethods.erase(wnd);
}

} // namespace tarnwick::win32
