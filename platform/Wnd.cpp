// Message routing of CWnd: binding, subclassing, reflection and map dispatch.
#include "Wnd.h"

#include "DataExchange.h"
#include "Exceptions.h"
#include "MessageBox.h"

#include <unordered_map>
#include <vector>

namespace {

// Every window bound to an object; the user-interface thread is the only user.
std::unordered_map<HWND, CWnd*>& WindowMap() {
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

thread_local CWnd* t_pWndInit = nullptr;
thread_local HHOOK t_hHookCbt = nullptr;

const AFX_MSGMAP_ENTRY* FindEntry(const AFX_MSGMAP* map, UINT message, UINT code, UINT id) {
    for (; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
            if (e->nMessage != message)
                continue;
            if (message == WM_COMMAND || message == WM_NOTIFY) {
                if (e->nCode == code && id >= e->nID && id <= e->nLastID)
                    return e;
            } else if (message == WM_REFLECT_BASE + WM_COMMAND ||
                       message == WM_REFLECT_BASE + WM_NOTIFY) {
                if (e->nCode == code)
                    return e;
            } else {
                return e;
            }
        }
    }
    return nullptr;
}

} // namespace

CWnd::~CWnd() {
    if (m_hWnd && ::IsWindow(m_hWnd))
        DestroyWindow();
    if (m_hWnd)
        Detach();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    auto it = WindowMap().find(hWnd);
    return it == WindowMap().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hWnd) {
    m_hWnd = hWnd;
    WindowMap()[hWnd] = this;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h)
        WindowMap().erase(h);
    m_hWnd = nullptr;
    m_controls.clear();
    return h;
}

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CALLBACK CWnd::CbtFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && t_pWndInit) {
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        CWnd* pWnd = t_pWndInit;
        t_pWndInit = nullptr;
        pWnd->Attach(hWnd);
        pWnd->m_pfnSuper = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    }
    return ::CallNextHookEx(t_hHookCbt, code, wParam, lParam);
}

void CWnd::HookWindowCreate(CWnd* pWnd) {
    if (!t_hHookCbt)
        t_hHookCbt = ::SetWindowsHookExA(WH_CBT, &CbtFilterHook, nullptr, ::GetCurrentThreadId());
    t_pWndInit = pWnd;
}

bool CWnd::UnhookWindowCreate() {
    if (t_hHookCbt) {
        ::UnhookWindowsHookEx(t_hHookCbt);
        t_hHookCbt = nullptr;
    }
    bool bound = t_pWndInit == nullptr;
    t_pWndInit = nullptr;
    return bound;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, HWND hWndParent, UINT_PTR nID) {
    HookWindowCreate(this);
    HWND hWnd =
        ::CreateWindowExA(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, hWndParent,
                          reinterpret_cast<HMENU>(nID), ::GetModuleHandleA(nullptr), nullptr);
    UnhookWindowCreate();
    if (!hWnd && m_hWnd)
        Detach(); // the window was bound and destroyed during creation
    return hWnd != nullptr;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!hWnd || m_hWnd)
        return FALSE;
    Attach(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    if (m_pfnSuper)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    return Detach();
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd)
        return FALSE;
    return ::DestroyWindow(m_hWnd);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

LRESULT CWnd::Default() {
    if (m_pfnSuper)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, m_msgCur.message, m_msgCur.wParam,
                                 m_msgCur.lParam);
    return ::DefWindowProcA(m_hWnd, m_msgCur.message, m_msgCur.wParam, m_msgCur.lParam);
}

LRESULT CALLBACK CWnd::AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    CurrentMessage saved = pWnd->m_msgCur;
    pWnd->m_msgCur = {message, wParam, lParam};
    LRESULT result = 0;
    // Exceptions never cross the system's frames: a failed command is reported
    // here and the program goes on with the next message.
    try {
        result = pWnd->WindowProc(message, wParam, lParam);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
    if (message == WM_NCDESTROY) {
        if (pWnd->m_pfnSuper)
            ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pWnd->m_pfnSuper));
        pWnd->m_pfnSuper = nullptr;
        pWnd->Detach();
        pWnd->PostNcDestroy();
        return result;
    }
    pWnd->m_msgCur = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (ReflectChildNotify(message, wParam, lParam, &result))
        return result;
    if (OnWndMsg(message, wParam, lParam, &result))
        return result;
    return Default();
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    HWND hChild = nullptr;
    UINT reflected = 0;
    WPARAM wp = wParam;
    LPARAM lp = lParam;
    if (message == WM_COMMAND && lParam != 0) {
        hChild = reinterpret_cast<HWND>(lParam);
        reflected = WM_REFLECT_BASE + WM_COMMAND;
    } else if (message == WM_NOTIFY) {
        hChild = reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
        reflected = WM_REFLECT_BASE + WM_NOTIFY;
    } else if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        hChild = reinterpret_cast<HWND>(lParam);
        reflected = WM_REFLECT_BASE + WM_CTLCOLOR_ANY;
        lp = static_cast<LPARAM>(message - WM_CTLCOLORMSGBOX);
    } else {
        return FALSE;
    }
    CWnd* pChild = FromHandlePermanent(hChild);
    if (!pChild || pChild == this)
        return FALSE;
    return pChild->OnWndMsg(reflected, wp, lp, pResult);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    UINT code = 0;
    UINT id = 0;
    if (message == WM_COMMAND || message == WM_REFLECT_BASE + WM_COMMAND) {
        code = HIWORD(wParam);
        id = LOWORD(wParam);
    } else if (message == WM_NOTIFY || message == WM_REFLECT_BASE + WM_NOTIFY) {
        const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
        code = hdr->code;
        id = static_cast<UINT>(hdr->idFrom);
    }
    const AFX_MSGMAP_ENTRY* e = FindEntry(GetMessageMap(), message, code, id);
    if (!e)
        return FALSE;
    *pResult = e->pfn(this, wParam, lParam);
    return TRUE;
}

void CWnd::MoveWindow(const RECT& rc, BOOL bRepaint) {
    ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, bRepaint);
}

void CWnd::SetWindowText(const std::string& text) {
    ::SetWindowTextA(m_hWnd, text.c_str());
}

std::string CWnd::GetWindowText() const {
    int len = ::GetWindowTextLengthA(m_hWnd);
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    int got = ::GetWindowTextA(m_hWnd, buf.data(), len + 1);
    return std::string(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
}

HWND CWnd::GetDlgItemHwnd(int nID) const {
    auto known = m_controls.find(nID);
    if (known != m_controls.end() && ::IsWindow(known->second) &&
        ::GetParent(known->second) == m_hWnd && ::GetDlgCtrlID(known->second) == nID)
        return known->second;
    HWND hCtrl = ::GetDlgItem(m_hWnd, nID);
    if (hCtrl)
        m_controls[nID] = hCtrl;
    return hCtrl;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandlePermanent(GetDlgItemHwnd(nID));
}

void CWnd::SetDlgItemText(int nID, const std::string& text) {
    ::SetDlgItemTextA(m_hWnd, nID, text.c_str());
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::ScreenToClient(RECT* rc) const {
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rc), 2);
}

void CWnd::ClientToScreen(RECT* rc) const {
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(rc), 2);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}
