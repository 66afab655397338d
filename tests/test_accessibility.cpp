// Accessible names given apart from the window texts, as a screen reader asks
// for them, through the annotation service or, where it refuses, the windows'
// own answer.
#include "platform/Accessibility.h"
#include "support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(AccessibleName, IsAskedForEachTimeAndLeavesTheWindowTextAlone) {
    HWND host = CreateTestHostWindow(420, 300);
    ::CreateWindowExA(0, "STATIC",
                      "Choose the folder which you need to replace their name. If you need to "
                      "replace some files only, select them from the list.",
                      WS_CHILD | WS_VISIBLE, 5, 5, 400, 30, host, nullptr, nullptr, nullptr);
    struct Case {
        const char* cls;
        const char* text;
        const char* name;
        DWORD style;
    } cases[] = {
        {"EDIT", "", "Prefix f\xC3\xBCr jeden Namen", WS_BORDER},
        {WC_TREEVIEWA, "ShellTree Control", "Folders", WS_BORDER},
        {WC_TABCONTROLA, "Tab1", "Options", 0},
        {WC_LISTVIEWA, "List1", "Files in the folder", LVS_REPORT},
    };
    auto alive = std::make_shared<int>(0);
    int asked = 0;
    std::vector<HWND> windows;
    for (const Case& c : cases) {
        HWND h = ::CreateWindowExA(0, c.cls, c.text, WS_CHILD | WS_VISIBLE | c.style, 5,
                                   40 + 60 * static_cast<int>(windows.size()), 200, 50, host,
                                   nullptr, nullptr, nullptr);
        std::string name = c.name;
        SetAccessibleName(h, [alive, &asked, name] {
            ++asked;
            return name;
        });
        windows.push_back(h);
    }
    EXPECT_EQ(asked, 0);
    for (size_t i = 0; i < windows.size(); ++i) {
        EXPECT_EQ(ReadAccessible(windows[i]).name, cases[i].name) << cases[i].cls;
        char text[64] = {};
        ::GetWindowTextA(windows[i], text, sizeof(text));
        EXPECT_STREQ(text, cases[i].text);
        EXPECT_EQ(asked, static_cast<int>(i) + 1) << cases[i].cls;
    }
    std::weak_ptr<int> watch = alive;
    alive.reset();
    ::DestroyWindow(host);
    EXPECT_TRUE(watch.expired()); // the names went with their windows
}

// Holds the one annotation the name makes, as the system's service does.
class CAnnotationService : public IAccPropServices {
public:
    LONG m_nRefs = 1;
    HWND m_hAnnotated = nullptr;
    CComPtr<IAccPropServer> m_pServer;
    std::vector<HWND> m_cleared;

    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND hwnd, DWORD idObject, DWORD idChild,
                                                const MSAAPROPID* paProps, int cProps,
                                                IAccPropServer* pServer, AnnoScope) override {
        if (idObject != static_cast<DWORD>(OBJID_CLIENT) || idChild != CHILDID_SELF ||
            cProps != 1 || paProps[0] != PROPID_ACC_NAME)
            return E_INVALIDARG;
        m_hAnnotated = hwnd;
        m_pServer.Share(pServer);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND hwnd, DWORD, DWORD, const MSAAPROPID*,
                                             int) override {
        m_cleared.push_back(hwnd);
        m_pServer.Reset();
        return S_OK;
    }
    std::string AnnotatedName() {
        VARIANT v;
        BOOL has = FALSE;
        if (!m_pServer || FAILED(m_pServer->GetPropValue(nullptr, 0, PROPID_ACC_NAME, &v, &has)) ||
            !has || v.vt != VT_BSTR)
            return "(none)";
        std::string name(v.bstrVal, v.bstrVal + ::SysStringLen(v.bstrVal));
        ::VariantClear(&v);
        return name;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
        *ppv = riid == IID_IUnknown || riid == IID_IAccPropServices ? this : nullptr;
        if (!*ppv)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int,
                                            IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND, DWORD, DWORD, MSAAPROPID, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**,
                                                        DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*,
                                                          DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int,
                                                 IAccPropServer*, AnnoScope) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*,
                                                           DWORD*) override {
        return E_NOTIMPL;
    }
};

TEST(AccessibleName, AnnotationServiceThatTakesItServesItUntilTheWindowGoes) {
    CAnnotationService service;
    HWND h = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr,
                               nullptr);
    SetAccessibleName(
        h, [] { return std::string("Prefix"); }, &service);
    EXPECT_EQ(service.m_hAnnotated, h);
    EXPECT_EQ(service.AnnotatedName(), "Prefix");
    // the service's wrapper adds the name: the window's own answer stays the standard one
    EXPECT_EQ(::SendMessageA(h, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);

    ::DestroyWindow(h);
    EXPECT_EQ(service.m_cleared, std::vector<HWND>{h});
    EXPECT_EQ(service.m_nRefs, 1);
}

} // namespace
