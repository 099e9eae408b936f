#pragma once
// What a screen reader reads from a window: the role and the name of its client object, asked through
// oleacc's AccessibleObjectFromWindow as any assistive technology asks.

#include <windows.h>
// clang-format off
#include <oleacc.h>
// clang-format on

#include <string>

namespace tarnwick::test {

// IID_IAccessible, spelt out: MinGW's import library gives a thunk under that name, not the GUID.
inline constexpr GUID AccessibleIid = {
    0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// The client object of a window, released when it goes; the calls go through the object the client got.
class TAccessibleClient {
public:
    explicit TAccessibleClient(HWND Window) {
        using TFromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
        const HMODULE oleacc = ::LoadLibraryW(L"oleacc.dll");
        const auto fromWindow = oleacc ? reinterpret_cast<TFromWindow>(reinterpret_cast<void*>(
                                             ::GetProcAddress(oleacc, "AccessibleObjectFromWindow")))
                                       : nullptr;
        Result = fromWindow ? fromWindow(Window, DWORD(OBJID_CLIENT), AccessibleIid,
                                         reinterpret_cast<void**>(&FObject))
                            : E_NOTIMPL;
    }
    ~TAccessibleClient() {
        if (FObject) {
            FObject->Release();
        }
    }
    TAccessibleClient(const TAccessibleClient&) = delete;
    TAccessibleClient& operator=(const TAccessibleClient&) = delete;

    explicit operator bool() const { return FObject != nullptr; }
    // ROLE_SYSTEM_*; 0 when it cannot be read.
    LONG Role() const {
        VARIANT role;
        ::VariantInit(&role);
        if (!FObject || FAILED(FObject->get_accRole(Self(), &role)) || role.vt != VT_I4) {
            return 0;
        }
        return role.lVal;
    }
    std::wstring Name() const {
        BSTR name = nullptr;
        if (!FObject || FAILED(FObject->get_accName(Self(), &name)) || !name) {
            return L"";
        }
        std::wstring text(name, ::SysStringLen(name));
        ::SysFreeString(name);
        return text;
    }

    HRESULT Result = E_FAIL;

private:
    static VARIANT Self() {
        VARIANT self;
        ::VariantInit(&self);
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        return self;
    }
    IAccessible* FObject = nullptr;
};

} // namespace tarnwick::test
