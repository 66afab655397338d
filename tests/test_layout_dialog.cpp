// The resizable dialog on a real window: anchors, the deferred batch and its
// flags, the erase rules, the size grip, the size limits and a DPI change.
#include "layout/LayoutDialog.h"
#include "platform/Dpi.h"
#include "support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

namespace {

enum { kLabel = 901, kEdit, kTree, kFrame, kTab, kInfo, kList, kGroup, kListBox };

struct PosChange {
    HWND hWnd;
    UINT flags;
};
std::vector<PosChange> g_changes;

LRESULT CALLBACK RecordPosChanges(HWND hWnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg == WM_WINDOWPOSCHANGING)
        g_changes.push_back({hWnd, reinterpret_cast<WINDOWPOS*>(lp)->flags});
    return ::DefSubclassProc(hWnd, msg, wp, lp);
}

class CTestLayoutDlg : public CLayoutDialog {
public:
    CTestLayoutDlg() : CLayoutDialog(900) {}
    BOOL OnInitDialog() override {
        CLayoutDialog::OnInitDialog();
        AnchorChild(Item(kTab), ANCHOR_TOP_RIGHT, ANCHOR_NONE);
        AnchorChild(Item(kTree), ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
        AnchorChild(Item(kEdit), ANCHOR_TOP_LEFT, ANCHOR_TOP_RIGHT);
        AnchorChild(Item(kInfo), ANCHOR_TOP_RIGHT, ANCHOR_NONE);
        AnchorChild(Item(kFrame), ANCHOR_BOTTOM_LEFT, ANCHOR_BOTTOM_RIGHT);
        AnchorChild(Item(kList), ANCHOR_TOP_RIGHT, ANCHOR_BOTTOM_RIGHT);
        AnchorChild(Item(kGroup), ANCHOR_TOP_LEFT, ANCHOR_NONE);
        AnchorChild(Item(kListBox), ANCHOR_TOP_LEFT, ANCHOR_TOP_RIGHT);
        for (int id = kLabel; id <= kListBox; ++id)
            ::SetWindowSubclass(Item(id), &RecordPosChanges, 1, 0);
        return TRUE;
    }
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    using AnchorLayout::Anchors;

    std::vector<std::pair<UINT, UINT>> m_dpiChanges; // (old, new) of each hook call

protected:
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override {
        m_dpiChanges.emplace_back(nOldDpi, nNewDpi);
    }
};

class Layout : public ::testing::Test {
protected:
    CTestLayoutDlg m_dlg;
    std::map<int, RECT> m_initial;
    SIZE m_initialSize = {};

    void SetUp() override {
        ASSERT_TRUE(m_dlg.Create(900, nullptr));
        ::ShowWindow(m_dlg.m_hWnd, SW_SHOW);
        PumpPending();
        for (int id = kLabel; id <= kListBox; ++id)
            m_initial[id] = Rect(id);
        RECT rc;
        m_dlg.GetWindowRect(&rc);
        m_initialSize = {rc.right - rc.left, rc.bottom - rc.top};
        g_changes.clear();
    }
    void TearDown() override { m_dlg.DestroyWindow(); }

    RECT Rect(int id) const { return RectInParent(m_dlg.Item(id), m_dlg.m_hWnd); }
    void Grow(int dx, int dy) {
        ::SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, m_initialSize.cx + dx, m_initialSize.cy + dy,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    static bool Same(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }
    std::vector<UINT> FlagsFor(int id) const {
        std::vector<UINT> flags;
        for (const PosChange& c : g_changes)
            if (c.hWnd == m_dlg.Item(id))
                flags.push_back(c.flags);
        return flags;
    }
};

TEST_F(Layout, WideningMovesRightAnchoredChildrenAndStretchesTheOthers) {
    Grow(40, 0);
    EXPECT_EQ(Rect(kTab).left, m_initial[kTab].left + 40);
    EXPECT_EQ(Rect(kTab).right, m_initial[kTab].right + 40);
    EXPECT_EQ(Rect(kInfo).left, m_initial[kInfo].left + 40);
    EXPECT_EQ(Rect(kList).left, m_initial[kList].left + 40);
    EXPECT_EQ(Rect(kList).right, m_initial[kList].right + 40);
    EXPECT_EQ(Rect(kTree).right, m_initial[kTree].right + 40);
    EXPECT_EQ(Rect(kEdit).right, m_initial[kEdit].right + 40);
    EXPECT_EQ(Rect(kEdit).left, m_initial[kEdit].left);
    EXPECT_EQ(Rect(kFrame).right, m_initial[kFrame].right + 40);
    EXPECT_TRUE(Same(m_initial[kLabel], Rect(kLabel)));
}

TEST_F(Layout, HeighteningLengthensStretchedChildrenAndMovesTheBottomOneDown) {
    Grow(0, 30);
    EXPECT_EQ(Rect(kTree).bottom, m_initial[kTree].bottom + 30);
    EXPECT_EQ(Rect(kList).bottom, m_initial[kList].bottom + 30);
    EXPECT_EQ(Rect(kList).top, m_initial[kList].top);
    EXPECT_EQ(Rect(kFrame).top, m_initial[kFrame].top + 30);
    EXPECT_EQ(Rect(kFrame).bottom, m_initial[kFrame].bottom + 30);
    EXPECT_TRUE(Same(m_initial[kTab], Rect(kTab)));
    EXPECT_TRUE(Same(m_initial[kLabel], Rect(kLabel)));
}

TEST_F(Layout, ChildDestroyedSinceItWasAnchoredIsSkippedAndTheOthersStillMove) {
    ::DestroyWindow(m_dlg.Item(kTree)); // anchored second of eight
    Grow(40, 0);
    EXPECT_EQ(Rect(kEdit).right, m_initial[kEdit].right + 40);
    EXPECT_EQ(Rect(kList).left, m_initial[kList].left + 40);
    EXPECT_EQ(Rect(kFrame).right, m_initial[kFrame].right + 40);
}

TEST_F(Layout, BatchCarriesOnlyChangedChildrenWithMoveOnlyAndSizeOnlyFlags) {
    Grow(0, 0);
    EXPECT_TRUE(g_changes.empty());

    Grow(40, 0);
    ASSERT_EQ(FlagsFor(kTab).size(), 1u);
    EXPECT_TRUE(FlagsFor(kTab)[0] & SWP_NOSIZE);
    EXPECT_FALSE(FlagsFor(kTab)[0] & SWP_NOMOVE);
    ASSERT_EQ(FlagsFor(kEdit).size(), 1u);
    EXPECT_TRUE(FlagsFor(kEdit)[0] & SWP_NOMOVE);
    EXPECT_FALSE(FlagsFor(kEdit)[0] & SWP_NOSIZE);
    EXPECT_TRUE(FlagsFor(kLabel).empty());
    EXPECT_TRUE(FlagsFor(kGroup).empty());
    for (const PosChange& c : g_changes)
        EXPECT_TRUE(c.flags & SWP_NOZORDER);
    // a text static is repainted whole, a list view is not
    EXPECT_TRUE(FlagsFor(kInfo)[0] & SWP_NOCOPYBITS);
    EXPECT_FALSE(FlagsFor(kList)[0] & SWP_NOCOPYBITS);
}

TEST_F(Layout, ListBoxScrolledFullyRightIsRepaintedWholeWhenItGrows) {
    Grow(20, 0);
    ASSERT_EQ(FlagsFor(kListBox).size(), 1u);
    EXPECT_FALSE(FlagsFor(kListBox)[0] & SWP_NOCOPYBITS); // no horizontal range

    HWND lb = m_dlg.Item(kListBox);
    ::SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("a long line of text to scroll"));
    ::SendMessageA(lb, LB_SETHORIZONTALEXTENT, 1000, 0);
    ::SendMessageA(lb, WM_HSCROLL, SB_RIGHT, 0);
    ASSERT_GT(::GetScrollPos(lb, SB_HORZ), 0);
    g_changes.clear();
    Grow(40, 0);
    ASSERT_EQ(FlagsFor(kListBox).size(), 1u);
    EXPECT_TRUE(FlagsFor(kListBox)[0] & SWP_NOCOPYBITS);
}

TEST_F(Layout, GroupBoxClipsItsSiblings) {
    EXPECT_TRUE(::GetWindowLongA(m_dlg.Item(kGroup), GWL_STYLE) & WS_CLIPSIBLINGS);
    EXPECT_FALSE(::GetWindowLongA(m_dlg.Item(kLabel), GWL_STYLE) & WS_CLIPSIBLINGS);
}

TEST_F(Layout, EraseLeavesOutChildrenThatPaintTheirOwnBackground) {
    HDC hdc = ::GetDC(m_dlg.m_hWnd);
    m_dlg.ClipChildrenForErase(hdc);
    auto visible = [&](int id) {
        RECT r = Rect(id);
        POINT mid = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        return ::PtVisible(hdc, mid.x, mid.y) != FALSE;
    };
    EXPECT_FALSE(visible(kTree));
    EXPECT_FALSE(visible(kList));
    EXPECT_FALSE(visible(kEdit));
    EXPECT_TRUE(visible(kInfo));  // text static: erased behind
    EXPECT_TRUE(visible(kGroup)); // group box: erased behind
    EXPECT_TRUE(visible(kFrame)); // black frame: erased behind
    ::ReleaseDC(m_dlg.m_hWnd, hdc);
}

TEST_F(Layout, GripIsATriangleInTheLowerRightCornerReportingTheSizingCorner) {
    HWND grip = m_dlg.GetGripWindow();
    ASSERT_NE(grip, nullptr);
    EXPECT_EQ(::GetDlgCtrlID(grip), 0);
    RECT rc;
    ::GetWindowRect(grip, &rc);
    const int w = rc.right - rc.left;
    const int h = rc.bottom - rc.top;
    EXPECT_EQ(w, SystemMetricForDpi(SM_CXVSCROLL, WindowDpi(m_dlg.m_hWnd)));
    HRGN rgn = ::CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(grip, rgn), COMPLEXREGION);
    int top = 0, bottom = 0;
    for (int x = 0; x < w; ++x) {
        top += ::PtInRegion(rgn, x, 0) ? 1 : 0;
        bottom += ::PtInRegion(rgn, x, h - 1) ? 1 : 0;
    }
    ::DeleteObject(rgn);
    EXPECT_EQ(top, 0);
    EXPECT_EQ(bottom, w - 1);

    EXPECT_EQ(::SendMessageA(grip, WM_NCHITTEST, 0, 0), HTBOTTOMRIGHT);
    LONG ex = ::GetWindowLongA(grip, GWL_EXSTYLE);
    ::SetWindowLongA(grip, GWL_EXSTYLE, ex | WS_EX_LAYOUTRTL);
    EXPECT_EQ(::SendMessageA(grip, WM_NCHITTEST, 0, 0), HTBOTTOMLEFT);
    ::SetWindowLongA(grip, GWL_EXSTYLE, ex);

    for (int grow : {0, 33, 7}) {
        Grow(grow, grow * 2);
        RECT client;
        m_dlg.GetClientRect(&client);
        RECT g = RectInParent(grip, m_dlg.m_hWnd);
        EXPECT_EQ(g.right, client.right);
        EXPECT_EQ(g.bottom, client.bottom);
    }
}

TEST_F(Layout, GripIsDisabledWhileMaximised) {
    HWND grip = m_dlg.GetGripWindow();
    EXPECT_TRUE(::IsWindowEnabled(grip));
    ::ShowWindow(m_dlg.m_hWnd, SW_MAXIMIZE);
    PumpPending();
    EXPECT_TRUE(::IsZoomed(m_dlg.m_hWnd));
    EXPECT_FALSE(::IsWindowEnabled(grip));
    ::ShowWindow(m_dlg.m_hWnd, SW_RESTORE);
    PumpPending();
    EXPECT_TRUE(::IsWindowEnabled(grip));
}

TEST_F(Layout, GripPutsItsProcedureBackWhenDestroyed) {
    HWND grip = m_dlg.GetGripWindow();
    auto own = reinterpret_cast<WNDPROC>(::GetPropA(grip, kGripProperty));
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(grip, GWLP_WNDPROC)),
              &SizeGrip::GripHitTestProc);
    ::SendMessageA(grip, WM_DESTROY, 0, 0);
    EXPECT_EQ(::GetPropA(grip, kGripProperty), nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(grip, GWLP_WNDPROC)), own);
}

TEST(SizeGripShape, RegionTheWindowDoesNotTakeIsFreed) {
    const int before = CountGdiObjects();
    ASSERT_GT(before, 0);
    EXPECT_FALSE(SizeGrip::ShapeGrip(nullptr, SIZE{17, 17}));
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(Layout, CannotBeTrackedSmallerThanItOpened) {
    MINMAXINFO mmi = {};
    m_dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, m_initialSize.cx);
    EXPECT_EQ(mmi.ptMinTrackSize.y, m_initialSize.cy);
    Grow(-30, -30);
    RECT rc;
    m_dlg.GetWindowRect(&rc);
    EXPECT_EQ(rc.right - rc.left, m_initialSize.cx);
    EXPECT_EQ(rc.bottom - rc.top, m_initialSize.cy);
}

TEST_F(Layout, MaxShowAndMaxHideSizeMessagesChangeNothing) {
    for (WPARAM type : {static_cast<WPARAM>(SIZE_MAXHIDE), static_cast<WPARAM>(SIZE_MAXSHOW)}) {
        m_dlg.SendMessage(WM_SIZE, type, MAKELPARAM(900, 700));
        EXPECT_TRUE(g_changes.empty());
        EXPECT_TRUE(Same(m_initial[kTree], Rect(kTree)));
    }
}

TEST_F(Layout, MinimiseThenRestorePutsEveryChildBack) {
    ::ShowWindow(m_dlg.m_hWnd, SW_MINIMIZE);
    PumpPending();
    ::ShowWindow(m_dlg.m_hWnd, SW_RESTORE);
    PumpPending();
    for (int id = kLabel; id <= kListBox; ++id)
        EXPECT_TRUE(Same(m_initial[id], Rect(id))) << id;
}

TEST_F(Layout, OpensAtItsResourceSizeWithASizingBorder) {
    RECT client;
    m_dlg.GetClientRect(&client);
    RECT units = {0, 0, 200, 120};
    ::MapDialogRect(m_dlg.m_hWnd, &units);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    EXPECT_TRUE(m_dlg.GetStyle() & WS_THICKFRAME);
    EXPECT_FALSE(m_dlg.GetStyle() & DS_MODALFRAME);
}

LONG FontHeight(HWND hWnd) {
    LOGFONTA lf = {};
    ::GetObjectA(reinterpret_cast<HGDIOBJ>(::SendMessageA(hWnd, WM_GETFONT, 0, 0)), sizeof(lf),
                 &lf);
    return lf.lfHeight;
}

// Wine never sends the message, so the move to a monitor of twice the DPI is
// simulated; the client area doubles, as the frame scales with it on Windows.
TEST_F(Layout, DpiChangeScalesEverythingAndLaterResizesKeepTheAnchors) {
    const UINT oldDpi = m_dlg.GetDpi();
    const UINT newDpi = 2 * oldDpi;
    EXPECT_EQ(oldDpi, WindowDpi(m_dlg.m_hWnd));
    EXPECT_EQ(FontHeight(m_dlg.Item(kLabel)), -::MulDiv(8, static_cast<int>(oldDpi), 72));
    RECT grip = RectInParent(m_dlg.GetGripWindow(), m_dlg.m_hWnd);
    RECT client;
    m_dlg.GetClientRect(&client);
    RECT suggested = {0, 0, 2 * client.right, 2 * client.bottom};
    ::AdjustWindowRectEx(&suggested, m_dlg.GetStyle(), FALSE, m_dlg.GetExStyle());
    ::OffsetRect(&suggested, 10 - suggested.left, 10 - suggested.top);
    m_dlg.SendMessage(WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi),
                      reinterpret_cast<LPARAM>(&suggested));

    EXPECT_EQ(m_dlg.GetDpi(), newDpi);
    EXPECT_EQ(m_dlg.m_dpiChanges, (std::vector<std::pair<UINT, UINT>>{{oldDpi, newDpi}}));
    for (int id = kLabel; id <= kListBox; ++id) {
        const RECT was = m_initial[id], now = Rect(id);
        EXPECT_NEAR(now.left, 2 * was.left, 1) << id;
        EXPECT_NEAR(now.top, 2 * was.top, 1) << id;
        EXPECT_NEAR(now.right, 2 * was.right, 1) << id;
        EXPECT_NEAR(now.bottom, 2 * was.bottom, 1) << id;
        if (id != kFrame) { // a frame keeps no font; the others the template's 8 points
            EXPECT_EQ(FontHeight(m_dlg.Item(id)), -::MulDiv(8, static_cast<int>(newDpi), 72)) << id;
        }
    }

    RECT newGrip = RectInParent(m_dlg.GetGripWindow(), m_dlg.m_hWnd);
    m_dlg.GetClientRect(&client);
    EXPECT_EQ(newGrip.right - newGrip.left, SystemMetricForDpi(SM_CXVSCROLL, newDpi));
    EXPECT_GT(newGrip.right - newGrip.left, grip.right - grip.left);
    EXPECT_EQ(newGrip.right, client.right);
    EXPECT_EQ(newGrip.bottom, client.bottom);
    CRgnHandle shape(::CreateRectRgn(0, 0, 0, 0));
    ::GetWindowRgn(m_dlg.GetGripWindow(), shape.Get());
    EXPECT_TRUE(::PtInRegion(shape.Get(), newGrip.right - newGrip.left - 1,
                             newGrip.bottom - newGrip.top - 1));

    MINMAXINFO mmi = {};
    m_dlg.SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 2 * m_initialSize.cx);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 2 * m_initialSize.cy);

    // The same offsets from the anchors in a larger client area: Wine's frame
    // keeps its size, so the minimum is larger than the dialog now is.
    const RECT tab = Rect(kTab), tree = Rect(kTree), label = Rect(kLabel);
    ::SetWindowPos(m_dlg.m_hWnd, nullptr, 0, 0, mmi.ptMinTrackSize.x + 40,
                   mmi.ptMinTrackSize.y + 30, SWP_NOMOVE | SWP_NOZORDER);
    RECT grown;
    m_dlg.GetClientRect(&grown);
    const int dx = grown.right - client.right, dy = grown.bottom - client.bottom;
    ASSERT_GE(dx, 40);
    EXPECT_EQ(Rect(kTab).left, tab.left + dx);
    EXPECT_EQ(Rect(kTree).right, tree.right + dx);
    EXPECT_EQ(Rect(kTree).bottom, tree.bottom + dy);
    EXPECT_TRUE(Same(Rect(kLabel), label));
}

TEST_F(Layout, DestroyingDropsTheAnchors) {
    EXPECT_EQ(m_dlg.Anchors().size(), 8u);
    m_dlg.DestroyWindow();
    EXPECT_TRUE(m_dlg.Anchors().empty());
}

} // namespace
