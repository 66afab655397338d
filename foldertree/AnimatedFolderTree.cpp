#include "AnimatedFolderTree.h"

#include "platform/ScopedHandles.h"

CAnimatedFolderTree::~CAnimatedFolderTree() {
    if (m_hAnimCursor)
        ::DestroyCursor(m_hAnimCursor);
}

void CAnimatedFolderTree::OnFeedbackBegin(HTREEITEM hLoadingItem) {
    m_nFrame = 0;
    GetLoadingIconRect(hLoadingItem, &m_rcIcon);
    m_hBkBrush = ::CreateSolidBrush(BackgroundColour());
}

void CAnimatedFolderTree::OnFeedbackDraw(BOOL bTick, int, int) {
    if (bTick)
        DrawNextFrame();
}

void CAnimatedFolderTree::DrawNextFrame() {
    m_nFrame = (m_nFrame + 1) % 10;
    CClientDC dc(m_hWnd);
    ::DrawIconEx(dc.Get(), m_rcIcon.left, m_rcIcon.top, m_hAnimCursor,
                 m_rcIcon.right - m_rcIcon.left, m_rcIcon.bottom - m_rcIcon.top,
                 static_cast<UINT>(m_nFrame), m_hBkBrush, DI_NORMAL);
}

void CAnimatedFolderTree::OnFeedbackEnd() {
    if (m_hBkBrush)
        ::DeleteObject(m_hBkBrush);
    m_hBkBrush = nullptr;
}
