#include "ProgressFolderTree.h"

#include "FeedbackBar.h"

#include "platform/Dpi.h"
#include "platform/ScopedHandles.h"

#include <initializer_list>

void CProgressFolderTree::OnFeedbackBegin(HTREEITEM hLoadingItem) {
    CAnimatedFolderTree::OnFeedbackBegin(hLoadingItem);
    RECT text = {};
    GetItemRect(hLoadingItem, &text, TRUE);
    BarRect frame, fill;
    m_nBarDpi = WindowDpi(m_hWnd);
    FeedbackBarRects({text.left, text.top, text.right, text.bottom}, m_nBarDpi, frame, fill);
    m_rcBar = {frame.left, frame.top, frame.right, frame.bottom};
    m_rcBarFill = {fill.left, fill.top, fill.right, fill.bottom};
    m_hBarFrameBrush = ::CreateSolidBrush(RGB(0, 0, 0));
    m_hBarFillBrush = ::CreateSolidBrush(RGB(66, 66, 66));
}

void CProgressFolderTree::OnFeedbackDraw(BOOL bTick, int nTotal, int nDone) {
    if (bTick) {
        DrawNextFrame();
        return;
    }
    CClientDC dc(m_hWnd);
    ::FrameRect(dc.Get(), &m_rcBar, m_hBarFrameBrush);
    m_rcBarFill.right = m_rcBarFill.left + FeedbackFillWidth(nTotal, nDone, m_nBarDpi);
    ::FillRect(dc.Get(), &m_rcBarFill, m_hBarFillBrush);
}

void CProgressFolderTree::OnFeedbackEnd() {
    for (HBRUSH* brush : {&m_hBarFrameBrush, &m_hBarFillBrush}) {
        if (*brush)
            ::DeleteObject(*brush);
        *brush = nullptr;
    }
    CAnimatedFolderTree::OnFeedbackEnd();
}
