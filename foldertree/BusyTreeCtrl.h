// CBusyTreeCtrl: a tree control that fills its nodes when they are first
// expanded. While a node fills, a "Loading..." item stands under it and a
// feedback worker thread, woken by a periodic tick and by every progress
// report, lets the derived class draw one step of its feedback.
//
// The fill itself (LoadChildren) runs on the interface thread; the worker only
// draws. They share the two counts and the stop flag, and two auto-reset events.
#pragma once

#include "platform/ScopedHandles.h"
#include "platform/Wnd.h"

#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>

class CBusyTreeCtrl : public CWnd {
public:
    CBusyTreeCtrl();
    ~CBusyTreeCtrl() override = default;

    void ReloadNode(HTREEITEM hItem);
    void SetTickPeriod(UINT nMilliseconds) { m_nTickPeriod = nMilliseconds; }
    void SetLoadProgress(int nTotal, int nDone);
    void StepLoadProgress(int nStep);
    BOOL GetLoadingIconRect(HTREEITEM hItem, RECT* prc);

    // Sees the counts of a fill as they are set (at its start and at every
    // report), on the interface thread.
    std::function<void(int nTotal, int nDone)> m_onProgressReport;

    // Thin tree operations.
    HTREEITEM GetChildItem(HTREEITEM hItem) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const;
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    BOOL GetItemRect(HTREEITEM hItem, RECT* prc, BOOL bTextOnly) const;
    LPARAM GetItemData(HTREEITEM hItem) const;
    std::string GetItemText(HTREEITEM hItem) const;
    BOOL Expand(HTREEITEM hItem, UINT nCode);
    BOOL SelectItem(HTREEITEM hItem);
    HTREEITEM GetSelectedItem() const;

    int m_bFeedback = 0;
    HICON m_hLoadingIcon = nullptr; // not owned; never set in this program

protected:
    // The hooks, in their slot order.
    virtual void OnFeedbackBegin(HTREEITEM hLoadingItem);
    virtual void OnFeedbackDraw(BOOL bTick, int nTotal, int nDone);
    virtual void OnFeedbackEnd();
    virtual BOOL ShouldReloadChildren(HTREEITEM hItem);
    virtual BOOL LoadChildren(HTREEITEM hParent);
    virtual void OnItemSelecting(HTREEITEM hNewItem);

    void BeginNodeLoad(HTREEITEM hItem);
    void FinishNodeLoad(HTREEITEM hItem);
    void ReloadRootKeepScroll();
    void ClearChildren(HTREEITEM hItem);
    void PaintLoadingIcon();
    void StartFeedback();
    void StopFeedback();
    static DWORD WINAPI FeedbackWorker(LPVOID pParam);
    COLORREF BackgroundColour() const;
    void SetRedraw(BOOL bRedraw) { SendMessage(WM_SETREDRAW, bRedraw); }
    // One TVM_GETITEM of the fields in mask (besides the handle).
    bool QueryItem(TVITEMA& item, HTREEITEM hItem, UINT mask) const;

    void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    void OnItemExpanded(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult);
    // A tree selects its first item when it gets the focus with none selected;
    // this one waits for the user to choose.
    void OnSetFocus(HWND hOldWnd);
    // With nothing selected, the first move of the keyboard selects the first item.
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    DECLARE_MESSAGE_MAP()

    CKernelHandle m_hWorker;
    CKernelHandle m_hTickEvent;
    CKernelHandle m_hProgressEvent;
    std::atomic<int> m_bStopWorker{0};
    UINT m_nTimerId = 0;
    UINT m_nTickPeriod = 0;
    const std::string m_strLoadingText;
    std::atomic<int> m_nLoadDone{0};
    std::atomic<int> m_nLoadTotal{0};
    HTREEITEM m_hLoadingItem = nullptr;
    HTREEITEM m_hLoadParent = nullptr;
    int m_nLoadParentChildren = 0; // the node's children flag when its fill began
    bool m_bHoldSelection = false; // while the focus arrives: no selection by itself
};
