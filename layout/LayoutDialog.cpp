#include "LayoutDialog.h"

BEGIN_MESSAGE_MAP(CLayoutDialog, CDialog)
    ON_WM_CREATE()
    ON_WM_GETMINMAXINFO()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

int CLayoutDialog::OnCreate(LPCREATESTRUCTA) {
    if (Default() == -1)
        return -1;
    RECT rc;
    GetClientRect(&rc);
    ModifyStyle(DS_MODALFRAME, WS_POPUP | WS_THICKFRAME);
    ::AdjustWindowRectEx(&rc, GetStyle(), ::IsMenu(::GetMenu(m_hWnd)), GetExStyle());
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                       SWP_NOOWNERZORDER);
    return CreateGrip() ? 0 : -1;
}

BOOL CLayoutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    RECT rc;
    GetWindowRect(&rc);
    SetMinimumSize(rc.right - rc.left, rc.bottom - rc.top);
    UpdateGripPosition();
    m_bLayoutReady = true;
    return TRUE;
}

void CLayoutDialog::OnSize(UINT nType, int, int) {
    Default();
    if (nType == SIZE_MAXHIDE || nType == SIZE_MAXSHOW)
        return;
    if (m_bLayoutReady) {
        UpdateGripPosition();
        ArrangeChildren();
    }
}

void CLayoutDialog::OnGetMinMaxInfo(MINMAXINFO* lpMMI) {
    Default();
    if (m_bLayoutReady)
        ApplySizeLimits(lpMMI);
}

BOOL CLayoutDialog::OnEraseBkgnd(HDC hdc) {
    ClipChildrenForErase(hdc);
    return static_cast<BOOL>(Default());
}

void CLayoutDialog::OnDestroy() {
    RemoveAllAnchors();
    Default();
}
