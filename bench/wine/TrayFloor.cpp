// The floor of start-up and memory: the least a tray program does. A hidden window, one notification
// icon, and the message loop; statically linked like tarnwick.exe.

#include <windows.h>

#include <shellapi.h>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"TrayFloor";
    ::RegisterClassExW(&windowClass);
    const HWND window = ::CreateWindowExW(0, L"TrayFloor", L"TrayFloor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                          CW_USEDEFAULT, 300, 200, nullptr, nullptr, instance, nullptr);
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = window;
    icon.uID = 1;
    icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
    icon.uCallbackMessage = WM_APP;
    icon.hIcon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ::lstrcpynW(icon.szTip, L"Tray floor", ARRAYSIZE(icon.szTip));
    ::Shell_NotifyIconW(NIM_ADD, &icon);
    ::SetWindowTextW(window, L"TrayFloor ready"); // what the benchmark waits for
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::Shell_NotifyIconW(NIM_DELETE, &icon);
    return 0;
}
