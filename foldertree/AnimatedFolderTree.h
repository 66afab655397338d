// CAnimatedFolderTree: plays an animated cursor, one step per tick, where the
// loading item's icon would be while a node fills.
#pragma once

#include "FolderTree.h"

class CAnimatedFolderTree : public CFolderTree {
public:
    ~CAnimatedFolderTree() override;

    HCURSOR m_hAnimCursor = nullptr; // owned; set by the owner after construction

protected:
    void OnFeedbackBegin(HTREEITEM hLoadingItem) override;
    void OnFeedbackDraw(BOOL bTick, int nTotal, int nDone) override;
    void OnFeedbackEnd() override;
    // One step of the animation: runs on the worker thread.
    void DrawNextFrame();

    HBRUSH m_hBkBrush = nullptr; // owned from OnFeedbackBegin to OnFeedbackEnd
    RECT m_rcIcon = {};
    int m_nFrame = 0;
};
