#include "platform/win32/Win32Accessible.h"

// clang-format off
#include <oleacc.h>
// clang-format on

#include <string>

namespace tarnwick::win32 {

namespace {

// IID_IAccessible, spelt out: MinGW's import library gives a thunk under that name, not the GUID.
constexpr GUID AccessibleIid = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

constexpr wchar_t OriginalProcProperty[] = L"Tarnwick.Accessible.WndProc";
constexpr wchar_t RoleProperty[] = L"Tarnwick.Accessible.Role";
constexpr wchar_t ApartmentProperty[] = L"Tarnwick.Accessible.Apartment";

bool IsSelf(const VARIANT& Child) {
    return Child.vt == VT_I4 && Child.lVal == CHILDID_SELF;
}

// The standard object with the role and the name replaced; everything else is the standard object's
// answer, so a system control keeps its states, default action and keyboard shortcut.
class TRoleAccessible final : public IAccessible {
public:
    // Takes over the reference to Standard.
    TRoleAccessible(IAccessible* Standard, HWND Window, DWORD Role)
        : FStandard(Standard), FWindow(Window), FRole(Role) {}
    TRoleAccessible(const TRoleAccessible&) = delete;
    TRoleAccessible& operator=(const TRoleAccessible&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch) ||
            IsEqualIID(riid, AccessibleIid)) {
            *ppv = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // Its other faces (IEnumVARIANT over the children, IOleWindow for the window) are the standard's.
        return FStandard->QueryInterface(riid, ppv);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&FReferences); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = ::InterlockedDecrement(&FReferences);
        if (left == 0) {
            FStandard->Release();
            delete this; // COM's own lifetime: the last reference ends the object
        }
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        return FStandard->GetTypeInfoCount(pctinfo);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return FStandard->GetTypeInfo(iTInfo, lcid, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                            DISPID* rgDispId) override {
        return FStandard->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                                     UINT* puArgErr) override {
        return FStandard->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo,
                                 puArgErr);
    }

    // IAccessible: the two answers of our own.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varChild, BSTR* pszName) override {
        if (!IsSelf(varChild)) {
            return FStandard->get_accName(varChild, pszName);
        }
        if (!pszName) {
            return E_POINTER;
        }
        // Read now: the text changes with the state, and a client may keep the object.
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(FWindow)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(::GetWindowTextW(FWindow, text.data(), int(text.size()))));
        *pszName = ::SysAllocStringLen(text.data(), UINT(text.size()));
        return *pszName ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varChild, VARIANT* pvarRole) override {
        if (!IsSelf(varChild)) {
            return FStandard->get_accRole(varChild, pvarRole);
        }
        if (!pvarRole) {
            return E_POINTER;
        }
        ::VariantInit(pvarRole);
        pvarRole->vt = VT_I4;
        pvarRole->lVal = LONG(FRole);
        return S_OK;
    }

    // IAccessible: the standard object's answers.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override {
        return FStandard->get_accParent(ppdispParent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override {
        return FStandard->get_accChildCount(pcountChildren);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChild, IDispatch** ppdispChild) override {
        return FStandard->get_accChild(varChild, ppdispChild);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varChild, BSTR* pszValue) override {
        return FStandard->get_accValue(varChild, pszValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varChild, BSTR* pszDescription) override {
        return FStandard->get_accDescription(varChild, pszDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varChild, VARIANT* pvarState) override {
        return FStandard->get_accState(varChild, pvarState);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varChild, BSTR* pszHelp) override {
        return FStandard->get_accHelp(varChild, pszHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, LONG* pidTopic) override {
        return FStandard->get_accHelpTopic(pszHelpFile, varChild, pidTopic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override {
        return FStandard->get_accKeyboardShortcut(varChild, pszKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarChild) override {
        return FStandard->get_accFocus(pvarChild);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarChildren) override {
        return FStandard->get_accSelection(pvarChildren);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override {
        return FStandard->get_accDefaultAction(varChild, pszDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varChild) override {
        return FStandard->accSelect(flagsSelect, varChild);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth, LONG* pcyHeight,
                                          VARIANT varChild) override {
        return FStandard->accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varChild);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override {
        return FStandard->accNavigate(navDir, varStart, pvarEndUpAt);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarChild) override {
        return FStandard->accHitTest(xLeft, yTop, pvarChild);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varChild) override {
        return FStandard->accDoDefaultAction(varChild);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varChild, BSTR szName) override {
        return FStandard->put_accName(varChild, szName);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varChild, BSTR szValue) override {
        return FStandard->put_accValue(varChild, szValue);
    }

private:
    ~TRoleAccessible() = default;

    IAccessible* FStandard;
    HWND FWindow;
    DWORD FRole;
    LONG FReferences = 1;
};

// WM_GETOBJECT's answer for the client area; 0 when the object cannot be made or handed over.
LRESULT ClientObjectResult(HWND Window, WPARAM WParam) {
    auto* com = static_cast<TComApartment*>(::GetPropW(Window, ApartmentProperty));
    com->Enter(); // the object is marshalled to the asking process
    IAccessible* standard = nullptr;
    if (FAILED(::CreateStdAccessibleObject(Window, OBJID_CLIENT, AccessibleIid,
                                           reinterpret_cast<void**>(&standard))) ||
        !standard) {
        return 0;
    }
    const auto role = static_cast<DWORD>(reinterpret_cast<UINT_PTR>(::GetPropW(Window, RoleProperty)));
    auto* object = new TRoleAccessible(standard, Window, role); // its references end it
    const LRESULT result = ::LresultFromObject(AccessibleIid, WParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0 ? result : 0;
}

LRESULT CALLBACK AnsweringWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
    const auto original = reinterpret_cast<WNDPROC>(::GetPropW(Window, OriginalProcProperty));
    if (Msg == WM_GETOBJECT && static_cast<DWORD>(LParam) == static_cast<DWORD>(OBJID_CLIENT)) {
        if (const LRESULT answer = ClientObjectResult(Window, WParam)) {
            return answer;
        }
    } else if (Msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        for (const wchar_t* name : {OriginalProcProperty, RoleProperty, ApartmentProperty}) {
            ::RemovePropW(Window, name);
        }
    }
    return ::CallWindowProcW(original, Window, Msg, WParam, LParam);
}

} // namespace

bool AnswerAccessibleRole(HWND Window, DWORD Role, TComApartment& Com) {
    if (!::IsWindow(Window)) {
        return false;
    }
    if (!::SetPropW(Window, RoleProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(Role))) ||
        !::SetPropW(Window, ApartmentProperty, &Com)) {
        return false;
    }
    if (::GetPropW(Window, OriginalProcProperty)) {
        return true; // answers already; the role is the new one
    }
    // Kept before the window procedure is put in front, which asks for it with the next message.
    const LONG_PTR original = ::GetWindowLongPtrW(Window, GWLP_WNDPROC);
    return original && ::SetPropW(Window, OriginalProcProperty, reinterpret_cast<HANDLE>(original)) &&
           ::SetWindowLongPtrW(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AnsweringWndProc));
}

} // namespace tarnwick::win32
