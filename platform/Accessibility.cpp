#include "Accessibility.h"

#include "ScopedHandles.h"

#include <commctrl.h>
#include <oleauto.h>

#include <unordered_map>
#include <utility>

namespace {

BSTR AllocUtf8String(const std::string& text) {
    const int len = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), len, nullptr, 0);
    BSTR b = ::SysAllocStringLen(nullptr, static_cast<UINT>(n > 0 ? n : 0));
    if (b && n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), len, b, n);
    return b;
}

HRESULT ReturnText(const std::string& text, BSTR* pText) {
    *pText = AllocUtf8String(text);
    return *pText ? S_OK : E_OUTOFMEMORY;
}

bool IsSelf(const VARIANT& varChild) {
    return varChild.vt == VT_I4 && varChild.lVal == CHILDID_SELF;
}

// A COM object made here, with the interfaces it implements: the last Release deletes it.
template <typename... Interfaces> class CComObject : public Interfaces... {
public:
    CComObject() = default;
    CComObject(const CComObject&) = delete;
    CComObject& operator=(const CComObject&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override { return ::InterlockedIncrement(&m_nRefs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG n = ::InterlockedDecrement(&m_nRefs);
        if (n == 0)
            delete this;
        return static_cast<ULONG>(n);
    }

protected:
    virtual ~CComObject() = default;

private:
    LONG m_nRefs = 1;
};

// The standard client object of a window, with what the traits say in place of
// its own answers about the object itself; its children, navigation, hit
// testing, location and everything else are the standard object's.
class CAccessibleDecorator final : public CComObject<IAccessible, IOleWindow, IEnumVARIANT> {
public:
    CAccessibleDecorator(HWND hWnd, CComPtr<IAccessible> pStandard,
                         std::weak_ptr<const AccessibleTraits> pTraits)
        : m_hWnd(hWnd), m_pStandard(std::move(pStandard)), m_pTraits(std::move(pTraits)) {
        m_pStandard->QueryInterface(IID_IEnumVARIANT,
                                    reinterpret_cast<void**>(m_pStandardChildren.Receive()));
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible)
            *ppv = static_cast<IAccessible*>(this);
        else if (riid == IID_IOleWindow)
            *ppv = static_cast<IOleWindow*>(this);
        else if (riid == IID_IEnumVARIANT && m_pStandardChildren)
            *ppv = static_cast<IEnumVARIANT*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }

    // IDispatch: late-bound calls reach the overrides below through the standard type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* pctinfo) override {
        return m_pStandard->GetTypeInfoCount(pctinfo);
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return m_pStandard->GetTypeInfo(iTInfo, lcid, ppTInfo);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames,
                                            LCID lcid, DISPID* rgDispId) override {
        return m_pStandard->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                                     DISPPARAMS* pDispParams, VARIANT* pVarResult,
                                     EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
        if (riid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        CComPtr<ITypeInfo> info;
        HRESULT hr = m_pStandard->GetTypeInfo(0, lcid, info.Receive());
        if (FAILED(hr))
            return hr;
        return ::DispInvoke(static_cast<IAccessible*>(this), info.Get(), dispIdMember, wFlags,
                            pDispParams, pVarResult, pExcepInfo, puArgErr);
    }

    // IAccessible: what the traits give about the object itself
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT varID, BSTR* pszName) override {
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || !traits->name)
            return m_pStandard->get_accName(varID, pszName);
        return ReturnText(traits->name(), pszName);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT varID, BSTR* pszValue) override {
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || !traits->value)
            return m_pStandard->get_accValue(varID, pszValue);
        return ReturnText(traits->value(), pszValue);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT varID, VARIANT* pvarRole) override {
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || !traits->role)
            return m_pStandard->get_accRole(varID, pvarRole);
        pvarRole->vt = VT_I4;
        pvarRole->lVal = traits->role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT varID, VARIANT* pvarState) override {
        HRESULT hr = m_pStandard->get_accState(varID, pvarState);
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || !traits->state)
            return hr;
        const LONG standard = SUCCEEDED(hr) && pvarState->vt == VT_I4 ? pvarState->lVal : 0;
        if (SUCCEEDED(hr))
            ::VariantClear(pvarState);
        else
            ::VariantInit(pvarState); // a failed call may leave it as the caller passed it
        pvarState->vt = VT_I4;
        pvarState->lVal = traits->state(standard);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT varID, BSTR* pszDefaultAction) override {
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || traits->defaultAction.empty())
            return m_pStandard->get_accDefaultAction(varID, pszDefaultAction);
        return ReturnText(traits->defaultAction, pszDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT varID) override {
        auto traits = m_pTraits.lock();
        if (!IsSelf(varID) || !traits || !traits->doDefaultAction)
            return m_pStandard->accDoDefaultAction(varID);
        traits->doDefaultAction();
        return S_OK;
    }

    // IAccessible: the standard object's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** ppdispParent) override {
        return m_pStandard->get_accParent(ppdispParent);
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* pcountChildren) override {
        return m_pStandard->get_accChildCount(pcountChildren);
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT varChildID, IDispatch** ppdispChild) override {
        return m_pStandard->get_accChild(varChildID, ppdispChild);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT varID, BSTR* pszDescription) override {
        return m_pStandard->get_accDescription(varID, pszDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT varID, BSTR* pszHelp) override {
        return m_pStandard->get_accHelp(varID, pszHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* pszHelpFile, VARIANT varID,
                                               LONG* pidTopic) override {
        return m_pStandard->get_accHelpTopic(pszHelpFile, varID, pidTopic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT varID,
                                                      BSTR* pszKeyboardShortcut) override {
        return m_pStandard->get_accKeyboardShortcut(varID, pszKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* pvarID) override {
        return m_pStandard->get_accFocus(pvarID);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* pvarID) override {
        return m_pStandard->get_accSelection(pvarID);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flagsSelect, VARIANT varID) override {
        return m_pStandard->accSelect(flagsSelect, varID);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* pxLeft, LONG* pyTop, LONG* pcxWidth,
                                          LONG* pcyHeight, VARIANT varID) override {
        return m_pStandard->accLocation(pxLeft, pyTop, pcxWidth, pcyHeight, varID);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG navDir, VARIANT varStart,
                                          VARIANT* pvarEnd) override {
        return m_pStandard->accNavigate(navDir, varStart, pvarEnd);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG xLeft, LONG yTop, VARIANT* pvarID) override {
        return m_pStandard->accHitTest(xLeft, yTop, pvarID);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT varID, BSTR pszName) override {
        return m_pStandard->put_accName(varID, pszName);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT varID, BSTR pszValue) override {
        return m_pStandard->put_accValue(varID, pszValue);
    }

    // IOleWindow: how the system finds the window of an object it did not make itself
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* phwnd) override {
        if (!phwnd)
            return E_POINTER;
        *phwnd = m_hWnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IEnumVARIANT: the standard object's children, which AccessibleChildren walks
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override {
        return m_pStandardChildren->Next(celt, rgVar, pCeltFetched);
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override { return m_pStandardChildren->Skip(celt); }
    HRESULT STDMETHODCALLTYPE Reset() override { return m_pStandardChildren->Reset(); }
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** ppEnum) override {
        return m_pStandardChildren->Clone(ppEnum);
    }

private:
    HWND m_hWnd;
    CComPtr<IAccessible> m_pStandard;
    CComPtr<IEnumVARIANT> m_pStandardChildren; // null when the standard object has none
    std::weak_ptr<const AccessibleTraits> m_pTraits;
};

// The annotation service's source of a window's name: it asks the traits for
// as long as they live.
class CNamePropServer final : public CComObject<IAccPropServer> {
public:
    explicit CNamePropServer(std::weak_ptr<const AccessibleTraits> pTraits)
        : m_pTraits(std::move(pTraits)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IAccPropServer) {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        *ppv = static_cast<IAccPropServer*>(this);
        AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE*, DWORD, MSAAPROPID idProp,
                                           VARIANT* pvarValue, BOOL* pfHasProp) override {
        if (!pvarValue || !pfHasProp)
            return E_POINTER;
        ::VariantInit(pvarValue);
        *pfHasProp = FALSE;
        auto traits = m_pTraits.lock();
        if (idProp != PROPID_ACC_NAME || !traits || !traits->name)
            return S_OK;
        pvarValue->bstrVal = AllocUtf8String(traits->name());
        if (!pvarValue->bstrVal)
            return E_OUTOFMEMORY;
        pvarValue->vt = VT_BSTR;
        *pfHasProp = TRUE;
        return S_OK;
    }

private:
    std::weak_ptr<const AccessibleTraits> m_pTraits;
};

// A named window's own state, owned by its subclass until WM_NCDESTROY.
struct NamedWindow {
    std::shared_ptr<AccessibleTraits> pTraits = std::make_shared<AccessibleTraits>();
    CComPtr<IAccPropServices> pServices; // set while the annotation service holds the name
    WNDPROC pfnPrevious = nullptr;
};

// Every named window by its handle; the interface thread is the only user.
// Looked up here rather than in a window property: under Wine each property
// lookup is a trip to the server, and an edit box is asked for its text at
// every file of a run.
std::unordered_map<HWND, NamedWindow*>& NamedWindows() {
    static std::unordered_map<HWND, NamedWindow*> windows;
    return windows;
}

LRESULT CALLBACK NamedWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = NamedWindows().find(hWnd);
    if (found == NamedWindows().end())
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    NamedWindow* named = found->second;
    const WNDPROC previous = named->pfnPrevious;
    if (message == WM_GETOBJECT && !named->pServices) {
        LRESULT answer = AnswerClientObject(hWnd, static_cast<DWORD>(wParam),
                                            static_cast<DWORD>(lParam), named->pTraits);
        if (answer)
            return answer;
    } else if (message == WM_NCDESTROY) {
        // Annotations outlive their window unless cleared, and a new window may get this handle.
        if (named->pServices)
            named->pServices->ClearHwndProps(hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                             &PROPID_ACC_NAME, 1);
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        NamedWindows().erase(found);
        delete named;
    }
    return ::CallWindowProcW(previous, hWnd, message, wParam, lParam);
}

} // namespace

LRESULT AnswerClientObject(HWND hWnd, DWORD dwFlags, DWORD dwObjectId,
                           const std::shared_ptr<const AccessibleTraits>& pTraits) {
    if (dwObjectId != static_cast<DWORD>(OBJID_CLIENT))
        return 0;
    CComPtr<IAccessible> standard;
    if (FAILED(::CreateStdAccessibleObject(hWnd, OBJID_CLIENT, IID_IAccessible,
                                           reinterpret_cast<void**>(standard.Receive()))))
        return 0;
    CComPtr<IAccessible> decorator;
    decorator.Reset(new CAccessibleDecorator(hWnd, std::move(standard), pTraits));
    const LRESULT result = ::LresultFromObject(IID_IAccessible, dwFlags, decorator.Get());
    return result > 0 ? result : 0; // a failure leaves the answer to the window
}

void SetAccessibleName(HWND hWnd, std::function<std::string()> name) {
    CComPtr<IAccPropServices> services;
    ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                       reinterpret_cast<void**>(services.Receive()));
    SetAccessibleName(hWnd, std::move(name), services.Get());
}

void SetAccessibleName(HWND hWnd, std::function<std::string()> name, IAccPropServices* pServices) {
    if (!::IsWindow(hWnd))
        return;
    const auto known = NamedWindows().find(hWnd);
    if (known != NamedWindows().end()) {
        known->second->pTraits->name = std::move(name);
        return;
    }
    auto named = std::make_unique<NamedWindow>();
    named->pTraits->name = std::move(name);
    if (pServices) {
        CComPtr<IAccPropServer> server;
        server.Reset(new CNamePropServer(named->pTraits));
        if (SUCCEEDED(pServices->SetHwndPropServer(hWnd, static_cast<DWORD>(OBJID_CLIENT),
                                                   CHILDID_SELF, &PROPID_ACC_NAME, 1, server.Get(),
                                                   ANNO_THIS)))
            named->pServices.Share(pServices);
    }
    // The wide call keeps the window a Unicode one.
    named->pfnPrevious = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NamedWindowProc)));
    if (named->pfnPrevious) {
        NamedWindows().emplace(hWnd, named.release()); // the subclass owns it now
    } else if (named->pServices) {
        named->pServices->ClearHwndProps(hWnd, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         &PROPID_ACC_NAME, 1);
    }
}
