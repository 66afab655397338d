// The loading protocol of the busy tree, with a scripted fill.
#include "foldertree/BusyTreeCtrl.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace {

class CScriptedTree : public CBusyTreeCtrl {
public:
    std::function<BOOL(HTREEITEM)> m_fill = [](HTREEITEM) { return TRUE; };
    int m_nLoads = 0;
    int m_nBegins = 0;
    int m_nEnds = 0;
    std::vector<std::string> m_childrenAtBegin;
    std::mutex m_drawLock;
    int m_nTicks = 0;
    int m_nProgressDraws = 0;
    std::vector<UINT> m_messages;
    bool m_bRefuseInserts = false;
    bool m_bRedraw = true; // as the last WM_SETREDRAW left it
    // Copies of the worker's thread and events, taken during a fill.
    std::vector<CKernelHandle> m_fillHandles;

    HTREEITEM Insert(HTREEITEM parent, const char* text, int children = 0) {
        TVINSERTSTRUCTA ins = {};
        ins.hParent = parent;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_CHILDREN;
        ins.item.pszText = const_cast<char*>(text);
        ins.item.cChildren = children;
        return reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
    }
    int Children(HTREEITEM h) {
        TVITEMA item = {};
        item.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_STATE;
        item.hItem = h;
        item.stateMask = TVIS_EXPANDED;
        SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.cChildren;
    }
    bool Expanded(HTREEITEM h) {
        return (SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(h), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    std::vector<std::string> ChildTexts(HTREEITEM h) {
        std::vector<std::string> texts;
        for (HTREEITEM c = GetChildItem(h); c; c = GetNextSiblingItem(c))
            texts.push_back(GetItemText(c));
        return texts;
    }
    void KeepFillHandles() {
        for (const CKernelHandle* h : {&m_hWorker, &m_hTickEvent, &m_hProgressEvent}) {
            HANDLE copy = nullptr;
            ::DuplicateHandle(::GetCurrentProcess(), h->Get(), ::GetCurrentProcess(), &copy, 0,
                              FALSE, DUPLICATE_SAME_ACCESS);
            m_fillHandles.emplace_back(copy);
        }
    }
    using CBusyTreeCtrl::BackgroundColour;
    using CBusyTreeCtrl::m_nTickPeriod;
    using CBusyTreeCtrl::ReloadRootKeepScroll;

protected:
    BOOL LoadChildren(HTREEITEM h) override {
        ++m_nLoads;
        return m_fill(h);
    }
    void OnFeedbackBegin(HTREEITEM hLoading) override {
        ++m_nBegins;
        m_childrenAtBegin = ChildTexts(m_hLoadParent);
        (void)hLoading;
    }
    void OnFeedbackDraw(BOOL bTick, int, int) override {
        std::lock_guard<std::mutex> lock(m_drawLock);
        (bTick ? m_nTicks : m_nProgressDraws)++;
    }
    void OnFeedbackEnd() override { ++m_nEnds; }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        m_messages.push_back(message);
        if (message == TVM_INSERTITEMA && m_bRefuseInserts)
            return 0;
        if (message == WM_SETREDRAW)
            m_bRedraw = wParam != 0;
        return CBusyTreeCtrl::WindowProc(message, wParam, lParam);
    }
};

class CTreeParent : public CWnd {};

class BusyTree : public ::testing::Test {
protected:
    CTreeParent m_parent;
    CScriptedTree m_tree;
    HTREEITEM m_node = nullptr;

    void SetUp() override {
        ASSERT_TRUE(CreateTestParent(m_parent, RECT{50, 50, 350, 350}, COLOR_WINDOW));
        HWND h = ::CreateWindowExA(
            0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES, 0, 0, 300,
            300, m_parent.m_hWnd, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
        ASSERT_TRUE(m_tree.SubclassWindow(h));
        m_node = m_tree.Insert(TVI_ROOT, "Node", 1);
    }
    void TearDown() override { m_parent.DestroyWindow(); }
    void Expand(HTREEITEM h) { m_tree.Expand(h, TVE_EXPAND); }
};

TEST_F(BusyTree, LoadingItemStandsUnderTheNodeDuringTheFillOnly) {
    m_tree.m_bFeedback = 1;
    m_tree.m_fill = [this](HTREEITEM h) {
        m_tree.Insert(h, "Child A");
        m_tree.Insert(h, "Child B");
        return TRUE;
    };
    Expand(m_node);
    EXPECT_EQ(m_tree.m_childrenAtBegin, std::vector<std::string>{"Loading..."});
    EXPECT_EQ(m_tree.ChildTexts(m_node), (std::vector<std::string>{"Child A", "Child B"}));
    EXPECT_EQ(m_tree.m_nLoads, 1);
    EXPECT_EQ(m_tree.m_nEnds, 1);
    EXPECT_TRUE(m_tree.Expanded(m_node));
}

TEST_F(BusyTree, NodeThatHasChildrenIsNotFilledAgain) {
    m_tree.m_fill = [this](HTREEITEM h) {
        m_tree.Insert(h, "Child");
        return TRUE;
    };
    Expand(m_node);
    m_tree.Expand(m_node, TVE_COLLAPSE);
    Expand(m_node);
    EXPECT_EQ(m_tree.m_nLoads, 1);
    EXPECT_EQ(m_tree.m_nBegins, 1);
}

TEST_F(BusyTree, SettledChildlessLosesItsButtonUnsettledKeepsItCollapsed) {
    m_tree.m_fill = [](HTREEITEM) { return TRUE; };
    Expand(m_node);
    EXPECT_EQ(m_tree.Children(m_node), 0);

    HTREEITEM drive = m_tree.Insert(TVI_ROOT, "Drive", 1);
    m_tree.m_fill = [](HTREEITEM) { return FALSE; };
    Expand(drive);
    EXPECT_EQ(m_tree.Children(drive), 1);
    EXPECT_FALSE(m_tree.Expanded(drive));
    // the user opens it again: it is filled again
    m_tree.SelectItem(drive);
    m_tree.SendMessage(WM_KEYDOWN, VK_ADD, 0);
    EXPECT_EQ(m_tree.m_nLoads, 3);
}

TEST_F(BusyTree, WithoutATickPeriodTheWorkerGetsOneTickAtStart) {
    m_tree.m_fill = [](HTREEITEM) {
        ::Sleep(300);
        return TRUE;
    };
    Expand(m_node);
    EXPECT_EQ(m_tree.m_nTicks, 1);
    EXPECT_GE(m_tree.m_nProgressDraws, 1);

    HTREEITEM other = m_tree.Insert(TVI_ROOT, "Other", 1);
    m_tree.m_nTicks = 0;
    m_tree.SetTickPeriod(40);
    Expand(other);
    EXPECT_GE(m_tree.m_nTicks, 4);
}

TEST_F(BusyTree, FeedbackOffRunsTheWorkerButPaintsNothingOnScreen) {
    m_tree.m_bFeedback = 0;
    m_tree.m_fill = [](HTREEITEM) {
        ::Sleep(100); // long enough for the worker to wake
        return TRUE;
    };
    Expand(m_node);
    EXPECT_GE(m_tree.m_nTicks + m_tree.m_nProgressDraws, 1);
    for (UINT m : m_tree.m_messages) {
        EXPECT_NE(m, static_cast<UINT>(TVM_ENSUREVISIBLE));
        EXPECT_NE(m, static_cast<UINT>(TVM_GETIMAGELIST)); // the icon place is never painted
    }
    m_tree.m_messages.clear();
    m_tree.m_bFeedback = 1;
    HTREEITEM other = m_tree.Insert(TVI_ROOT, "Other", 1);
    Expand(other);
    EXPECT_NE(std::find(m_tree.m_messages.begin(), m_tree.m_messages.end(),
                        static_cast<UINT>(TVM_GETIMAGELIST)),
              m_tree.m_messages.end());
}

int CountThreads() {
    HANDLE snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te = {};
    te.dwSize = sizeof(te);
    int n = 0;
    for (BOOL ok = ::Thread32First(snap, &te); ok; ok = ::Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == ::GetCurrentProcessId())
            ++n;
    ::CloseHandle(snap);
    return n;
}

// How many handles the process holds to the object behind h.
ULONG HandlesTo(HANDLE h) {
    using QueryObject = NTSTATUS(NTAPI*)(HANDLE, OBJECT_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    auto query = reinterpret_cast<QueryObject>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryObject")));
    PUBLIC_OBJECT_BASIC_INFORMATION info = {};
    if (!h || !query || query(h, ObjectBasicInformation, &info, sizeof(info), nullptr) < 0)
        return 0;
    return info.HandleCount;
}

// The copies of a fill's handles are the last ones: the tree closed its own,
// and the worker thread has ended.
void ExpectFillHandlesClosed(CScriptedTree& tree) {
    ASSERT_EQ(tree.m_fillHandles.size(), 3u);
    for (const CKernelHandle& copy : tree.m_fillHandles)
        EXPECT_EQ(HandlesTo(copy.Get()), 1u);
    EXPECT_EQ(::WaitForSingleObject(tree.m_fillHandles[0].Get(), 0), WAIT_OBJECT_0);
    tree.m_fillHandles.clear();
}

TEST_F(BusyTree, EveryFillJoinsItsWorkerAndClosesItsHandles) {
    m_tree.m_fill = [this](HTREEITEM h) {
        m_tree.Insert(h, "Child");
        return TRUE;
    };
    m_tree.ReloadNode(m_node); // the first fill starts the platform's timer thread
    const int threads = CountThreads();
    for (int i = 0; i < 50; ++i)
        m_tree.ReloadNode(m_node);
    EXPECT_EQ(m_tree.m_nLoads, 51);
    EXPECT_EQ(m_tree.m_nEnds, 51);
    EXPECT_EQ(CountThreads(), threads);

    // with ticks the platform's timer thread comes and goes, so the handles are followed
    m_tree.SetTickPeriod(5);
    m_tree.m_fill = [this](HTREEITEM h) {
        m_tree.KeepFillHandles();
        m_tree.Insert(h, "Child");
        return TRUE;
    };
    m_tree.ReloadNode(m_node);
    ExpectFillHandlesClosed(m_tree);
}

TEST_F(BusyTree, FillThatThrowsStillStopsItsFeedbackAndRedraws) {
    CMessageBoxLog boxes;
    m_tree.SetTickPeriod(5);
    m_tree.m_fill = [this](HTREEITEM) -> BOOL {
        m_tree.KeepFillHandles();
        throw std::runtime_error("the shell failed");
    };
    Expand(m_node);
    ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"the shell failed"});
    EXPECT_EQ(m_tree.m_nEnds, 1);
    EXPECT_TRUE(m_tree.m_bRedraw);
    ExpectFillHandlesClosed(m_tree);
}

TEST_F(BusyTree, RefusedLoadingItemLeavesEveryOtherItemInPlace) {
    m_tree.Insert(TVI_ROOT, "Other", 1);
    m_tree.m_bRefuseInserts = true;
    m_tree.ReloadNode(m_node); // an expansion without the item would stop before the fill
    m_tree.m_bRefuseInserts = false;
    EXPECT_EQ(m_tree.m_nLoads, 1);
    EXPECT_EQ(m_tree.ChildTexts(TVI_ROOT), (std::vector<std::string>{"Node", "Other"}));
}

TEST_F(BusyTree, RectangleOfAnItemOutOfSightIsEmpty) {
    HTREEITEM hidden = m_tree.Insert(m_node, "Under a collapsed node");
    RECT rc = {1, 2, 3, 4};
    EXPECT_FALSE(m_tree.GetItemRect(hidden, &rc, TRUE));
    EXPECT_EQ(rc.left | rc.top | rc.right | rc.bottom, 0);
}

TEST_F(BusyTree, ReloadingTheTopLevelShowsTheFirstItemAndKeepsTheHorizontalPosition) {
    static const std::string wide(200, 'W');
    m_tree.m_fill = [&](HTREEITEM h) {
        for (int i = 0; i < 40; ++i)
            m_tree.Insert(h, wide.c_str());
        return TRUE;
    };
    m_tree.ReloadNode(TVI_ROOT);
    EXPECT_EQ(m_tree.ChildTexts(TVI_ROOT).size(), 40u);
    m_tree.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 120), 0);
    m_tree.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    int scrolled = ::GetScrollPos(m_tree.m_hWnd, SB_HORZ);
    ASSERT_GT(scrolled, 0);
    m_tree.ReloadRootKeepScroll(); // the top level has children, so only the view is reset
    EXPECT_EQ(::GetScrollPos(m_tree.m_hWnd, SB_HORZ), scrolled);
    EXPECT_EQ(m_tree.SendMessage(TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0),
              reinterpret_cast<LRESULT>(m_tree.GetChildItem(TVI_ROOT)));
}

TEST_F(BusyTree, DefaultBackgroundGivesAWhiteBrush) {
    EXPECT_EQ(m_tree.BackgroundColour(), 0xFFFFFFu);
    EXPECT_EQ(m_tree.m_nTickPeriod, 0u);
    EXPECT_EQ(m_tree.m_bFeedback, 0);
}

} // namespace
