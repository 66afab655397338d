#include "BusyTreeCtrl.h"

#include "platform/Dpi.h"
#include "platform/ScopedHandles.h"

#include <mmsystem.h>

BEGIN_MESSAGE_MAP(CBusyTreeCtrl, CWnd)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGA, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDINGW, OnItemExpanding)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDEDA, OnItemExpanded)
    ON_NOTIFY_REFLECT(TVN_ITEMEXPANDEDW, OnItemExpanded)
    ON_NOTIFY_REFLECT(TVN_SELCHANGINGA, OnSelChanging)
    ON_NOTIFY_REFLECT(TVN_SELCHANGINGW, OnSelChanging)
    ON_WM_SETFOCUS()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CBusyTreeCtrl::CBusyTreeCtrl() : m_strLoadingText("Loading...") {}

// ---- thin tree operations ----------------------------------------------------------------------

HTREEITEM CBusyTreeCtrl::GetChildItem(HTREEITEM hItem) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hItem)));
}

HTREEITEM CBusyTreeCtrl::GetNextSiblingItem(HTREEITEM hItem) const {
    return reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(hItem)));
}

bool CBusyTreeCtrl::QueryItem(TVITEMA& item, HTREEITEM hItem, UINT mask) const {
    item.mask = TVIF_HANDLE | mask;
    item.hItem = hItem;
    return SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

BOOL CBusyTreeCtrl::ItemHasChildren(HTREEITEM hItem) const {
    TVITEMA item = {};
    return QueryItem(item, hItem, TVIF_CHILDREN) && item.cChildren != 0;
}

BOOL CBusyTreeCtrl::GetItemRect(HTREEITEM hItem, RECT* prc, BOOL bTextOnly) const {
    // The request carries the item in the rectangle's first bytes; a failure
    // must not hand those back as coordinates.
    *reinterpret_cast<HTREEITEM*>(prc) = hItem;
    if (SendMessage(TVM_GETITEMRECT, bTextOnly, reinterpret_cast<LPARAM>(prc)))
        return TRUE;
    *prc = RECT{};
    return FALSE;
}

LPARAM CBusyTreeCtrl::GetItemData(HTREEITEM hItem) const {
    TVITEMA item = {};
    QueryItem(item, hItem, TVIF_PARAM);
    return item.lParam;
}

std::string CBusyTreeCtrl::GetItemText(HTREEITEM hItem) const {
    char text[MAX_PATH] = {};
    TVITEMA item = {};
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    QueryItem(item, hItem, TVIF_TEXT);
    return text;
}

BOOL CBusyTreeCtrl::Expand(HTREEITEM hItem, UINT nCode) {
    return static_cast<BOOL>(SendMessage(TVM_EXPAND, nCode, reinterpret_cast<LPARAM>(hItem)));
}

BOOL CBusyTreeCtrl::SelectItem(HTREEITEM hItem) {
    return static_cast<BOOL>(
        SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(hItem)));
}

HTREEITEM CBusyTreeCtrl::GetSelectedItem() const {
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// ---- hooks -------------------------------------------------------------------------------------

void CBusyTreeCtrl::OnFeedbackBegin(HTREEITEM) {}
void CBusyTreeCtrl::OnFeedbackDraw(BOOL, int, int) {}
void CBusyTreeCtrl::OnFeedbackEnd() {}
BOOL CBusyTreeCtrl::ShouldReloadChildren(HTREEITEM) {
    return FALSE;
}
BOOL CBusyTreeCtrl::LoadChildren(HTREEITEM) {
    return FALSE;
}
void CBusyTreeCtrl::OnItemSelecting(HTREEITEM) {}

// ---- notifications -----------------------------------------------------------------------------

void CBusyTreeCtrl::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* nm = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    if (nm->action & TVE_EXPAND)
        BeginNodeLoad(nm->itemNew.hItem);
    *pResult = 0;
}

void CBusyTreeCtrl::OnItemExpanded(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* nm = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    if (nm->action & TVE_EXPAND)
        FinishNodeLoad(nm->itemNew.hItem);
    *pResult = 0;
}

void CBusyTreeCtrl::OnSelChanging(NMHDR* pNMHDR, LRESULT* pResult) {
    if (m_bHoldSelection) {
        *pResult = TRUE; // refused: the list stays empty until a folder is chosen
        return;
    }
    OnItemSelecting(reinterpret_cast<NMTREEVIEWA*>(pNMHDR)->itemNew.hItem);
    *pResult = 0;
}

void CBusyTreeCtrl::OnSetFocus(HWND) {
    m_bHoldSelection = GetSelectedItem() == nullptr;
    Default();
    m_bHoldSelection = false;
}

void CBusyTreeCtrl::OnKeyDown(UINT nChar, UINT, UINT) {
    if (!GetSelectedItem()) {
        switch (nChar) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
            SelectItem(
                reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0)));
            return;
        default:
            break;
        }
    }
    Default();
}

// ---- the fill ----------------------------------------------------------------------------------

void CBusyTreeCtrl::BeginNodeLoad(HTREEITEM hItem) {
    if (GetChildItem(hItem)) {
        if (!ShouldReloadChildren(hItem)) {
            m_hLoadParent = nullptr;
            return;
        }
        ClearChildren(hItem);
    }
    m_hLoadParent = hItem;
    m_nLoadParentChildren = hItem == TVI_ROOT ? 0 : ItemHasChildren(hItem);
    ::UpdateWindow(m_hWnd);
    SetRedraw(FALSE);

    TVINSERTSTRUCTA ins = {};
    ins.hParent = hItem;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<char*>(m_strLoadingText.c_str());
    m_hLoadingItem = reinterpret_cast<HTREEITEM>(
        SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    m_nLoadTotal = 1;
    m_nLoadDone = 0;
    if (m_onProgressReport)
        m_onProgressReport(1, 0);
}

void CBusyTreeCtrl::FinishNodeLoad(HTREEITEM hItem) {
    if (!m_hLoadParent)
        return;
    // However the fill ends, an exception from LoadChildren included, the
    // feedback stops before the tree paints again.
    struct CRedrawAtExit {
        CBusyTreeCtrl& tree;
        ~CRedrawAtExit() { tree.SetRedraw(TRUE); }
    } redraw{*this};
    struct CFeedbackRun {
        CBusyTreeCtrl& tree;
        explicit CFeedbackRun(CBusyTreeCtrl& t) : tree(t) { tree.StartFeedback(); }
        CFeedbackRun(const CFeedbackRun&) = delete;
        CFeedbackRun& operator=(const CFeedbackRun&) = delete;
        ~CFeedbackRun() { tree.StopFeedback(); }
    };

    if (m_bFeedback) {
        SetRedraw(TRUE);
        SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(m_hLoadingItem));
        ::UpdateWindow(m_hWnd);
    }
    BOOL settled = FALSE;
    {
        CFeedbackRun feedback(*this);
        if (m_bFeedback)
            PaintLoadingIcon();
        SetRedraw(FALSE);
        // A null item would stand for the root: deleting it empties the tree.
        if (m_hLoadingItem)
            SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(m_hLoadingItem));
        m_hLoadingItem = nullptr;
        settled = LoadChildren(hItem);
    }

    if (hItem != TVI_ROOT) {
        BOOL hasChild = GetChildItem(hItem) != nullptr;
        if (settled) {
            TVITEMA item = {};
            item.mask = TVIF_HANDLE | TVIF_CHILDREN;
            item.hItem = hItem;
            item.cChildren = hasChild ? 1 : 0;
            SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        } else if (!hasChild) {
            // Collapsed, with the button it had before the fill: some tree
            // controls drop it with the parent's last child (the loading item).
            TVITEMA item = {};
            item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_CHILDREN;
            item.hItem = hItem;
            item.state = 0;
            item.stateMask = TVIS_EXPANDED;
            item.cChildren = m_nLoadParentChildren;
            SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void CBusyTreeCtrl::ReloadNode(HTREEITEM hItem) {
    if (hItem != TVI_ROOT && !ItemHasChildren(hItem))
        return;
    SetRedraw(FALSE);
    ClearChildren(hItem);
    if (hItem == TVI_ROOT) {
        ReloadRootKeepScroll();
    } else {
        BeginNodeLoad(hItem);
        FinishNodeLoad(hItem);
    }
    SetRedraw(TRUE);
}

void CBusyTreeCtrl::ReloadRootKeepScroll() {
    BeginNodeLoad(TVI_ROOT);
    FinishNodeLoad(TVI_ROOT);
    SetRedraw(FALSE);
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, SB_HORZ, &si);
    SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(GetChildItem(TVI_ROOT)));
    ::SetScrollInfo(m_hWnd, SB_HORZ, &si, FALSE);
    // The bar alone is not the view: the tree scrolls back to the saved place
    // too, or it would reset the bar from its own offset when redrawing resumes.
    SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, si.nPos));
    SetRedraw(TRUE);
}

void CBusyTreeCtrl::ClearChildren(HTREEITEM hItem) {
    HTREEITEM child = GetChildItem(hItem);
    while (child) {
        HTREEITEM next = GetNextSiblingItem(child);
        SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(child));
        child = next;
    }
}

BOOL CBusyTreeCtrl::GetLoadingIconRect(HTREEITEM hItem, RECT* prc) {
    const auto images = reinterpret_cast<HIMAGELIST>(SendMessage(TVM_GETIMAGELIST, TVSIL_NORMAL));
    if (!images)
        return FALSE;
    RECT rc;
    if (!GetItemRect(hItem, &rc, TRUE))
        return FALSE;
    // The icons' own size: the system's image list is made for the scale the
    // program started at, which a monitor of another scale does not change.
    const UINT dpi = WindowDpi(m_hWnd);
    int cx = SystemMetricForDpi(SM_CXSMICON, dpi);
    int cy = SystemMetricForDpi(SM_CYSMICON, dpi);
    ImageList_GetIconSize(images, &cx, &cy);
    ::OffsetRect(&rc, -(cx + ScaleForDpi(3, dpi)), ((rc.bottom - rc.top) - cy) / 2);
    *prc = {rc.left, rc.top, rc.left + cx, rc.top + cy};
    return TRUE;
}

COLORREF CBusyTreeCtrl::BackgroundColour() const {
    return static_cast<COLORREF>(SendMessage(TVM_GETBKCOLOR)) & 0x00FFFFFF;
}

void CBusyTreeCtrl::PaintLoadingIcon() {
    RECT rc;
    if (!GetLoadingIconRect(m_hLoadingItem, &rc))
        return;
    CBrushHandle background(::CreateSolidBrush(BackgroundColour()));
    CClientDC dc(m_hWnd);
    if (m_hLoadingIcon)
        ::DrawIconEx(dc.Get(), rc.left, rc.top, m_hLoadingIcon, rc.right - rc.left,
                     rc.bottom - rc.top, 0, background.Get(), DI_NORMAL);
    else
        ::FillRect(dc.Get(), &rc, background.Get());
}

// ---- the worker --------------------------------------------------------------------------------

void CBusyTreeCtrl::StartFeedback() {
    OnFeedbackBegin(m_hLoadingItem);
    m_bStopWorker = 0;
    m_hTickEvent.Reset(::CreateEventA(nullptr, FALSE, TRUE, nullptr));
    m_hProgressEvent.Reset(::CreateEventA(nullptr, FALSE, TRUE, nullptr));
    m_hWorker.Reset(::CreateThread(nullptr, 0, &FeedbackWorker, this, 0, nullptr));
    m_nTimerId = 0;
    if (m_nTickPeriod > 0)
        m_nTimerId =
            ::timeSetEvent(m_nTickPeriod, 5, reinterpret_cast<LPTIMECALLBACK>(m_hTickEvent.Get()),
                           0, TIME_PERIODIC | TIME_CALLBACK_EVENT_SET);
}

DWORD WINAPI CBusyTreeCtrl::FeedbackWorker(LPVOID pParam) {
    auto* tree = static_cast<CBusyTreeCtrl*>(pParam);
    const HANDLE events[2] = {tree->m_hTickEvent.Get(), tree->m_hProgressEvent.Get()};
    while (!tree->m_bStopWorker) {
        DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (tree->m_bStopWorker || woke == WAIT_FAILED)
            break;
        // Total first, as reports write it first. A report between the two reads
        // can still pair them wrongly; the drawing keeps any width in its frame.
        const int total = tree->m_nLoadTotal;
        const int done = tree->m_nLoadDone;
        tree->OnFeedbackDraw(woke == WAIT_OBJECT_0, total, done);
    }
    return 0;
}

void CBusyTreeCtrl::StopFeedback() {
    if (m_nTimerId)
        ::timeKillEvent(m_nTimerId);
    m_nTimerId = 0;
    m_bStopWorker = 1;
    ::SetEvent(m_hProgressEvent.Get());
    if (m_hWorker.Get())
        ::WaitForSingleObject(m_hWorker.Get(), INFINITE);
    m_hTickEvent.Reset();
    m_hProgressEvent.Reset();
    m_hWorker.Reset();
    OnFeedbackEnd();
}

void CBusyTreeCtrl::SetLoadProgress(int nTotal, int nDone) {
    m_nLoadTotal = nTotal;
    m_nLoadDone = nDone;
    if (m_onProgressReport)
        m_onProgressReport(nTotal, nDone);
    ::SetEvent(m_hProgressEvent.Get());
}

void CBusyTreeCtrl::StepLoadProgress(int nStep) {
    m_nLoadDone += nStep;
    if (m_onProgressReport)
        m_onProgressReport(m_nLoadTotal, m_nLoadDone);
    ::SetEvent(m_hProgressEvent.Get());
}
