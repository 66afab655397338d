#include "LayoutDialog.h"

#include "platform/Dpi.h"

#include <cstring>
#include <utility>
#include <vector>

namespace {
bool IsDialog(HWND hWnd) {
    char name[16] = {};
    return ::GetClassNameA(hWnd, name, sizeof(name)) && std::strcmp(name, "#32770") == 0;
}

struct PlacedWindow {
    HWND hWnd;
    RECT rc; // in the parent's client area
};

BOOL CALLBACK CollectPlace(HWND hWnd, LPARAM lParam) {
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    ::MapWindowPoints(nullptr, ::GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
    reinterpret_cast<std::vector<PlacedWindow>*>(lParam)->push_back({hWnd, rc});
    return TRUE;
}
} // namespace

BEGIN_MESSAGE_MAP(CLayoutDialog, CDialog)
    ON_WM_CREATE()
    ON_WM_GETMINMAXINFO()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_MESSAGE(WM_DPICHANGED, HandleDpiChanged)
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
    m_nDpi = WindowDpi(m_hWnd);
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
    if (m_bLayoutReady && !m_bFollowingDpi)
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

void CLayoutDialog::OnDpiChanged(UINT, UINT) {}

LRESULT CLayoutDialog::HandleDpiChanged(WPARAM wParam, LPARAM lParam) {
    const UINT oldDpi = m_nDpi;
    const UINT newDpi = LOWORD(wParam); // the same as the vertical one in HIWORD
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    if (!m_bLayoutReady || newDpi == 0 || newDpi == oldDpi || !suggested)
        return 0;
    m_nDpi = newDpi;

    // The anchors and the minimum are scaled before the window takes its new
    // size, so that the size change already lays the children out for the new DPI.
    ScaleAnchorOffsets(oldDpi, newDpi);
    ScaleMinimumSize(oldDpi, newDpi);
    CFontHandle font = ScaledFont(oldDpi, newDpi);
    ScaleDescendants(oldDpi, newDpi, font.Get());
    m_fontDpi = std::move(font); // the previous one is no control's any more
    SetGripDpi(newDpi);
    // The suggested rectangle is taken as it is: the system chose it for the
    // new monitor. The minimum, scaled with a frame that may not scale alike,
    // holds again for the resizes after it.
    m_bFollowingDpi = true;
    ::SetWindowPos(m_hWnd, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    m_bFollowingDpi = false;
    // A suggested size equal to the old one brings no WM_SIZE.
    UpdateGripPosition();
    ArrangeChildren();

    OnDpiChanged(oldDpi, newDpi);
    ::RedrawWindow(m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return 0;
}

CFontHandle CLayoutDialog::ScaledFont(UINT nOldDpi, UINT nNewDpi) {
    // The dialog keeps its template's font: its controls use that one until a
    // first change, and the one made here after it.
    HFONT current = m_fontDpi ? m_fontDpi.Get() : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONTW lf = {};
    if (!current || !::GetObjectW(current, sizeof(lf), &lf))
        return CFontHandle();
    if (lf.lfHeight < 0) {
        // A template gives whole points, which the dialog manager made pixels
        // of: made again from the points, the font is the one a dialog opened
        // at the new DPI gets, not one a rounding larger.
        const int points = ::MulDiv(-lf.lfHeight, 72, static_cast<int>(nOldDpi));
        lf.lfHeight = -::MulDiv(points, static_cast<int>(nNewDpi), 72);
    } else {
        lf.lfHeight = ScaleBetweenDpis(lf.lfHeight, nOldDpi, nNewDpi);
    }
    lf.lfWidth = ScaleBetweenDpis(lf.lfWidth, nOldDpi, nNewDpi);
    return CFontHandle(::CreateFontIndirectW(&lf));
}

void CLayoutDialog::ScaleDescendants(UINT nOldDpi, UINT nNewDpi, HFONT hFont) {
    // Every place is read before any window moves: a control that lays out its
    // own children (a list view its header) would otherwise have them scaled twice.
    std::vector<PlacedWindow> placed;
    ::EnumChildWindows(m_hWnd, &CollectPlace, reinterpret_cast<LPARAM>(&placed));
    auto scale = [&](LONG v) { return ScaleBetweenDpis(v, nOldDpi, nNewDpi); };
    for (const PlacedWindow& p : placed) {
        if (p.hWnd == GetGripWindow())
            continue;
        const RECT r = {scale(p.rc.left), scale(p.rc.top), scale(p.rc.right), scale(p.rc.bottom)};
        ::SetWindowPos(p.hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER | SWP_NOREDRAW);
    }
    // Redrawn once the whole dialog is laid out. A child dialog keeps its own
    // font, as this one does.
    if (hFont)
        for (const PlacedWindow& p : placed)
            if (p.hWnd != GetGripWindow() && !IsDialog(p.hWnd))
                ::SendMessageA(p.hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
}
