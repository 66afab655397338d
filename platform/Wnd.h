// CWnd: a C++ object bound to one window. Windows created or taken over through
// CWnd have their messages routed through the object's message map; what the
// map does not handle goes to the window's original procedure (Default()).
#pragma once

#include "MessageMap.h"

#include <string>
#include <unordered_map>

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null when none is.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Creates a window whose messages go through this object from its first one on.
    BOOL CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                  const RECT& rect, HWND hWndParent, UINT_PTR nID);
    // Takes over an existing window (a dialog's control): PreSubclassWindow, then subclassing.
    BOOL SubclassWindow(HWND hWnd);
    HWND UnsubclassWindow();
    virtual BOOL DestroyWindow();

    // Relays messages before dispatch; true stops the dispatch.
    virtual BOOL PreTranslateMessage(MSG* pMsg);

    // Runs the window's original processing of the message being handled.
    LRESULT Default();

    // Thin forms of the window functions the program uses.
    BOOL ShowWindow(int nCmdShow) { return ::ShowWindow(m_hWnd, nCmdShow); }
    BOOL EnableWindow(BOOL bEnable = TRUE) { return ::EnableWindow(m_hWnd, bEnable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void MoveWindow(const RECT& rc, BOOL bRepaint = TRUE);
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    CWnd* GetDlgItem(int nID) const;
    // A child control by its ID; remembered, since asking the system each time
    // costs a trip to the window server on some platforms.
    HWND GetDlgItemHwnd(int nID) const;
    void SetDlgItemText(int nID, const std::string& text);
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void Invalidate(BOOL bErase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, bErase); }
    void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
    void ScreenToClient(RECT* rc) const;
    void ClientToScreen(RECT* rc) const;
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    // Entry point of every window bound to a CWnd.
    static LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Looks the message up in the map chain; false when no entry handles it.
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    // Hands a child's notification back to the child's object; true when it handled it.
    BOOL ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    virtual void PreSubclassWindow() {}
    virtual void PostNcDestroy() {}
    virtual void DoDataExchange(class CDataExchange*) {}

    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    void Attach(HWND hWnd);
    HWND Detach();

    // Windows created while the hook is set are bound to the object from WM_NCCREATE on.
    static void HookWindowCreate(CWnd* pWnd);
    static bool UnhookWindowCreate();

    WNDPROC m_pfnSuper = nullptr;

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    CurrentMessage m_msgCur = {0, 0, 0};
    mutable std::unordered_map<int, HWND> m_controls;

    static LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam);
};
