// The main window's keyboard (CRenamerDlg::PreTranslateMessage): one Tab order
// through the window and the page it shows, the pages switched from anywhere
// as in every property sheet, and Enter and Escape that act where they are
// pressed and never end the program.
#include "RenamerDlg.h"

#include "res/resource.h"

#include "platform/CodePage.h"
#include "platform/TabOrder.h"

namespace {
// Whether the control with the focus takes this key itself, as a multi-line
// edit box takes Enter and the homepage link takes Space and Enter.
bool WantsKey(HWND hFocus, const MSG& msg, UINT nAlsoWanted) {
    if (!hFocus)
        return false;
    const LRESULT code =
        ::SendMessageW(hFocus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    return (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | nAlsoWanted)) != 0;
}

bool IsPushButton(HWND hWnd) {
    wchar_t cls[8] = {};
    ::GetClassNameW(hWnd, cls, 8);
    const LONG type = ::GetWindowLongW(hWnd, GWL_STYLE) & BS_TYPEMASK;
    return ::lstrcmpiW(cls, L"Button") == 0 && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

// To the control, as the message loop would have delivered it.
void Deliver(const MSG& msg) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

bool IsKeyDown(int nVirtKey) {
    return ::GetKeyState(nVirtKey) < 0;
}

// A control reached by the keyboard shows where the focus is.
void ShowFocusCues(HWND hTopLevel) {
    ::SendMessageW(hTopLevel, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}
} // namespace

BOOL CRenamerDlg::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message == WM_KEYDOWN && OnKey(*pMsg))
        return TRUE;
    return CLayoutDialog::PreTranslateMessage(pMsg);
}

bool CRenamerDlg::OnKey(const MSG& msg) {
    const HWND focus = ::GetFocus();
    const bool ctrl = IsKeyDown(VK_CONTROL);
    switch (msg.wParam) {
    case VK_TAB:
        if (ctrl) {
            SwitchPage(IsKeyDown(VK_SHIFT) ? -1 : 1);
            return true;
        }
        if (WantsKey(focus, msg, DLGC_WANTTAB))
            return false;
        if (HWND next = NextInTabOrder(m_hWnd, focus, IsKeyDown(VK_SHIFT))) {
            ShowFocusCues(m_hWnd);
            FocusControl(next);
        }
        return true;
    case VK_NEXT:
    case VK_PRIOR:
        if (!ctrl)
            return false;
        SwitchPage(msg.wParam == VK_NEXT ? 1 : -1);
        return true;
    case VK_RETURN:
        return OnEnter(msg);
    case VK_ESCAPE:
        if (WantsKey(focus, msg, 0))
            Deliver(msg);
        return true;
    case VK_F5:
        RefreshFromDisk();
        return true;
    case 'A':
        if (!ctrl || focus != m_listFiles.m_hWnd)
            return false;
        m_listFiles.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED);
        return true;
    default:
        return false;
    }
}

bool CRenamerDlg::OnEnter(const MSG& msg) {
    const HWND focus = ::GetFocus();
    if (WantsKey(focus, msg, 0)) {
        Deliver(msg);
        return true;
    }
    if (focus == GetDlgItemHwnd(IDC_PATH)) {
        std::wstring typed(static_cast<size_t>(::GetWindowTextLengthW(focus)) + 1, L'\0');
        typed.resize(static_cast<size_t>(
            ::GetWindowTextW(focus, typed.data(), static_cast<int>(typed.size()))));
        std::string path;
        if (NarrowNameExactly(typed, path))
            OpenPaths({path});
        return true;
    }
    if (focus && IsPushButton(focus) && ::IsChild(m_hWnd, focus)) {
        ::SendMessageW(::GetParent(focus), WM_COMMAND,
                       MAKEWPARAM(::GetDlgCtrlID(focus), BN_CLICKED),
                       reinterpret_cast<LPARAM>(focus));
        return true;
    }
    // On the option page Enter is its default button, Start; anywhere else nothing.
    if (focus && ::IsChild(m_pageBeginner.m_hWnd, focus)) {
        const LRESULT def = m_pageBeginner.SendMessage(DM_GETDEFID);
        const HWND defButton = ::GetDlgItem(m_pageBeginner.m_hWnd, LOWORD(def));
        if (HIWORD(def) == DC_HASDEFID && defButton && ::IsWindowEnabled(defButton))
            m_pageBeginner.SendMessage(WM_COMMAND, MAKEWPARAM(LOWORD(def), BN_CLICKED),
                                       reinterpret_cast<LPARAM>(defButton));
    }
    return true;
}
