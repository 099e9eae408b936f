// Opening a file or address through the desktop shell's own process: the shell's dispatch object of the
// desktop window carries out IShellDispatch2::ShellExecute inside Explorer, with the user's rights, so
// that an elevated program does not hand its rights to the browser or mail program it starts.

#include <windows.h>
// clang-format off
#include <shellapi.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
// clang-format on

#include "platform/win32/Win32ShellExecute.h"
#include "platform/win32/Win32Text.h"

namespace tarnwick::win32 {

namespace {

// One reference to a COM object, released when it goes.
template <class T> class TComRef {
public:
    TComRef() = default;
    ~TComRef() { Reset(); }
    TComRef(const TComRef&) = delete;
    TComRef& operator=(const TComRef&) = delete;

    T** Put() {
        Reset();
        return &FObject;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    T* operator->() const { return FObject; }
    explicit operator bool() const { return FObject != nullptr; }

private:
    void Reset() {
        if (FObject) {
            FObject->Release();
            FObject = nullptr;
        }
    }
    T* FObject = nullptr;
};

// A VARIANT cleared when it goes.
struct TVariant {
    TVariant() { ::VariantInit(&Value); }
    ~TVariant() { ::VariantClear(&Value); }
    TVariant(const TVariant&) = delete;
    TVariant& operator=(const TVariant&) = delete;
    VARIANT Value;
};

// COM for this thread for the length of one call; a thread that has it already keeps it.
struct TComForCall {
    TComForCall() : Initialized(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~TComForCall() {
        if (Initialized) {
            ::CoUninitialize();
        }
    }
    TComForCall(const TComForCall&) = delete;
    TComForCall& operator=(const TComForCall&) = delete;
    const bool Initialized;
};

// The desktop shell's IShellDispatch2: the desktop window among the shell's windows, its top-level
// browser, the active view's background object, and that object's application.
bool DesktopShellDispatch(TComRef<IShellDispatch2>& Shell) {
    TComRef<IShellWindows> windows;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                  windows.PutVoid()))) {
        return false;
    }
    TVariant location;
    location.Value.vt = VT_I4;
    location.Value.lVal = CSIDL_DESKTOP;
    TVariant root;
    long window = 0;
    TComRef<IDispatch> desktop;
    if (windows->FindWindowSW(&location.Value, &root.Value, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                              desktop.Put()) != S_OK ||
        !desktop) {
        return false;
    }
    TComRef<IServiceProvider> services;
    TComRef<IShellBrowser> browser;
    TComRef<IShellView> view;
    TComRef<IDispatch> background;
    TComRef<IShellFolderViewDual> folderView;
    TComRef<IDispatch> application;
    return SUCCEEDED(desktop->QueryInterface(IID_IServiceProvider, services.PutVoid())) &&
           SUCCEEDED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid())) &&
           SUCCEEDED(browser->QueryActiveShellView(view.Put())) &&
           SUCCEEDED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) &&
           SUCCEEDED(background->QueryInterface(IID_IShellFolderViewDual, folderView.PutVoid())) &&
           SUCCEEDED(folderView->get_Application(application.Put())) &&
           SUCCEEDED(application->QueryInterface(IID_IShellDispatch2, Shell.PutVoid()));
}

} // namespace

bool TWin32ShellExecutePlatform::ShellExecuteFromDesktop(const char16_t* lpOperation, const char16_t* lpFile,
                                                         std::int32_t nShowCmd) {
    const TComForCall com;
    TComRef<IShellDispatch2> shell;
    if (lpFile == nullptr || !DesktopShellDispatch(shell)) {
        return false;
    }
    const BSTR file = ::SysAllocString(AsWide(lpFile));
    if (file == nullptr) {
        return false;
    }
    TVariant arguments, folder, operation, show;
    if (lpOperation != nullptr) {
        operation.Value.vt = VT_BSTR;
        operation.Value.bstrVal = ::SysAllocString(AsWide(lpOperation));
    }
    show.Value.vt = VT_I4;
    show.Value.lVal = nShowCmd;
    // IShellDispatch2::ShellExecute (shellapi.h's macro renames the declaration and this call alike).
    const HRESULT result =
        shell->ShellExecute(file, arguments.Value, folder.Value, operation.Value, show.Value);
    ::SysFreeString(file);
    return SUCCEEDED(result);
}

} // namespace tarnwick::win32
