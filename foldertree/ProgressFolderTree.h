// CProgressFolderTree: the animated folder tree with a small progress bar to
// the right of the loading item's text, redrawn on every progress report.
#pragma once

#include "AnimatedFolderTree.h"

#include "platform/DpiScale.h"

class CProgressFolderTree : public CAnimatedFolderTree {
protected:
    void OnFeedbackBegin(HTREEITEM hLoadingItem) override;
    void OnFeedbackDraw(BOOL bTick, int nTotal, int nDone) override;
    void OnFeedbackEnd() override;

    RECT m_rcBar = {};
    RECT m_rcBarFill = {};
    UINT m_nBarDpi = kDefaultDpi;      // the tree's when the feedback began
    HBRUSH m_hBarFrameBrush = nullptr; // owned from OnFeedbackBegin to OnFeedbackEnd
    HBRUSH m_hBarFillBrush = nullptr;  // owned likewise
};
