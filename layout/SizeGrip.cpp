#include "SizeGrip.h"

#include "platform/Dpi.h"
#include "platform/ScopedHandles.h"

const char* const kGripProperty = "ResizableGrip";

namespace {
SIZE GripSizeForDpi(UINT nDpi) {
    return {SystemMetricForDpi(SM_CXVSCROLL, nDpi), SystemMetricForDpi(SM_CYHSCROLL, nDpi)};
}
} // namespace

BOOL SizeGrip::CreateGrip() {
    m_gripSize = GripSizeForDpi(WindowDpi(GetHostWindow()));
    const int w = m_gripSize.cx;
    const int h = m_gripSize.cy;
    m_gripBar =
        ::CreateWindowExA(0, "SCROLLBAR", "", WS_CHILD | WS_CLIPSIBLINGS | SBS_SIZEGRIP, 0, 0, w, h,
                          GetHostWindow(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (!m_gripBar)
        return FALSE;

    ShapeGrip(m_gripBar, m_gripSize);

    ::SetPropA(m_gripBar, kGripProperty,
               reinterpret_cast<HANDLE>(::GetWindowLongPtrA(m_gripBar, GWLP_WNDPROC)));
    ::SetWindowLongPtrA(m_gripBar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&GripHitTestProc));

    UpdateGripPosition();
    ShowGrip(TRUE);
    return TRUE;
}

BOOL SizeGrip::ShapeGrip(HWND hGrip, SIZE size) {
    // Keep only the lower-right triangle: pixel (x, y) stays when x >= cx - y.
    CRgnHandle shape(::CreateRectRgn(0, 0, size.cx, size.cy));
    CRgnHandle row(::CreateRectRgn(0, 0, 0, 0));
    for (int y = 0; y < size.cy; ++y) {
        ::SetRectRgn(row.Get(), 0, y, size.cx - y, y + 1);
        ::CombineRgn(shape.Get(), shape.Get(), row.Get(), RGN_DIFF);
    }
    if (!::SetWindowRgn(hGrip, shape.Get(), FALSE))
        return FALSE;
    shape.Release(); // the window owns the region from here on
    return TRUE;
}

void SizeGrip::SetGripDpi(UINT nDpi) {
    m_gripSize = GripSizeForDpi(nDpi);
    ::SetWindowPos(m_gripBar, nullptr, 0, 0, m_gripSize.cx, m_gripSize.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    ShapeGrip(m_gripBar, m_gripSize);
    UpdateGripPosition();
}

void SizeGrip::UpdateGripPosition() {
    HWND host = GetHostWindow();
    RECT rc;
    ::GetClientRect(host, &rc);
    ::SetWindowPos(m_gripBar, HWND_BOTTOM, rc.right - m_gripSize.cx, rc.bottom - m_gripSize.cy, 0,
                   0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    ::EnableWindow(m_gripBar, !::IsZoomed(host));
}

void SizeGrip::ShowGrip(BOOL bShow) {
    ::ShowWindow(m_gripBar, bShow ? SW_SHOW : SW_HIDE);
}

LRESULT CALLBACK SizeGrip::GripHitTestProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto oldProc = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kGripProperty));
    switch (message) {
    case WM_NCHITTEST:
        return (::GetWindowLongA(hWnd, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) ? HTBOTTOMLEFT
                                                                       : HTBOTTOMRIGHT;
    case WM_DESTROY:
        ::RemovePropA(hWnd, kGripProperty);
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc));
        break;
    default:
        break;
    }
    return ::CallWindowProcA(oldProc, hWnd, message, wParam, lParam);
}
