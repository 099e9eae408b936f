#pragma once
// The toolkit's windows on Win32: one window procedure for every class the toolkit registers, which hands
// each message to the method of the portable object that asked for the window.

#include <windows.h>

#include <map>
#include <memory>
#include <set>
#include <string>

#include "toolkit/WindowFactory.h"

namespace tarnwick::win32 {

class TWin32WindowFactory final : public IWindowFactory {
public:
    explicit TWin32WindowFactory(HINSTANCE Instance);
    // Destroys the windows still alive and unregisters the classes.
    ~TWin32WindowFactory() override;
    TWin32WindowFactory(const TWin32WindowFactory&) = delete;
    TWin32WindowFactory& operator=(const TWin32WindowFactory&) = delete;

    HWND_T CreateWindowHandle(const TCreateParams& Params, TWndMethod Method) override;
    void DestroyWindowHandle(HWND_T Handle) override;

private:
    static LRESULT CALLBACK StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void RegisterClassOnce(const std::u16string& ClassName);

    HINSTANCE FInstance;
    std::set<std::u16string> FClasses;
    std::map<HWND, std::unique_ptr<TWndMethod>> FMethods;
};

} // namespace tarnwick::win32
