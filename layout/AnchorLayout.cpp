#include "AnchorLayout.h"

#include "platform/DpiScale.h"
#include "platform/ScopedHandles.h"

#include <string>

namespace {
std::string ClassOf(HWND hWnd) {
    char name[261] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    return name;
}
unsigned long StyleOf(HWND hWnd) {
    return static_cast<unsigned long>(::GetWindowLongA(hWnd, GWL_STYLE));
}

// What a list box's horizontal bar can scroll to, at most.
int HorzScrollLimit(HWND hWnd) {
    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    if (!::GetScrollInfo(hWnd, SB_HORZ, &si))
        return 0;
    int page = si.nPage > 0 ? static_cast<int>(si.nPage) - 1 : 0;
    return si.nMax - page;
}
} // namespace

BOOL AnchorLayout::WantsEraseClip(HWND hChild) {
    return DefaultWantsEraseClip(ClassOf(hChild), StyleOf(hChild));
}

BOOL AnchorLayout::WantsFullRepaint(HWND hChild) {
    return DefaultWantsFullRepaint(ClassOf(hChild), StyleOf(hChild));
}

void AnchorLayout::GetLayoutArea(RECT* prc) {
    ::GetClientRect(GetHostWindow(), prc);
}

RECT AnchorLayout::ChildRect(HWND hChild) {
    RECT rc = {};
    ::GetWindowRect(hChild, &rc);
    ::MapWindowPoints(nullptr, GetHostWindow(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void AnchorLayout::AnchorChild(HWND hChild, AnchorPoint topLeft, AnchorPoint bottomRight) {
    const std::string cls = ClassOf(hChild);
    const unsigned long style = StyleOf(hChild);
    if (cls == "Button" && (style & 0x1F) == BS_GROUPBOX)
        ::SetWindowLongA(hChild, GWL_STYLE, static_cast<LONG>(style | WS_CLIPSIBLINGS));

    RECT area;
    GetLayoutArea(&area);
    RECT r = ChildRect(hChild);
    AnchorOffsets a = MeasureAnchors({r.left, r.top, r.right, r.bottom}, area.right - area.left,
                                     area.bottom - area.top, topLeft, bottomRight);
    AnchorRecord rec;
    rec.hWnd = hChild;
    rec.bListBox = cls == "ListBox";
    rec.bFullRepaint = WantsFullRepaint(hChild) ? 1 : 0;
    rec.ptTopLeft = a.ptTopLeft;
    rec.offTopLeft = {a.offLeft, a.offTop};
    rec.ptBottomRight = a.ptBottomRight;
    rec.offBottomRight = {a.offRight, a.offBottom};
    m_anchors.push_back(rec);
}

void AnchorLayout::ArrangeChildren() {
    RECT area;
    GetLayoutArea(&area);
    const int w = area.right - area.left;
    const int h = area.bottom - area.top;
    HDWP hdwp = ::BeginDeferWindowPos(static_cast<int>(m_anchors.size()));
    for (const AnchorRecord& rec : m_anchors) {
        // A child destroyed since it was anchored would fail the whole batch.
        if (!::IsWindow(rec.hWnd))
            continue;
        RECT cur = ChildRect(rec.hWnd);
        AnchorOffsets a = {rec.ptTopLeft,     rec.offTopLeft.x,     rec.offTopLeft.y,
                           rec.ptBottomRight, rec.offBottomRight.x, rec.offBottomRight.y};
        AnchorEdges e = PlaceAnchored(a, w, h);
        RECT next = {e.left, e.top, e.right, e.bottom};
        if (::EqualRect(&next, &cur))
            continue;

        const int curW = cur.right - cur.left;
        const int curH = cur.bottom - cur.top;
        // An empty (minimised) client area can make edges cross; the platform
        // gets an empty size, and the next arrangement starts from the offsets again.
        const int newW = next.right > next.left ? next.right - next.left : 0;
        const int newH = next.bottom > next.top ? next.bottom - next.top : 0;

        bool fullRepaint = rec.bFullRepaint != 0;
        if (rec.bListBox) {
            int limit = HorzScrollLimit(rec.hWnd);
            fullRepaint = limit > 0 && ::GetScrollPos(rec.hWnd, SB_HORZ) > limit - (newW - curW);
        }
        UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
        if (fullRepaint)
            flags |= SWP_NOCOPYBITS;
        if (next.left == cur.left && next.top == cur.top)
            flags |= SWP_NOMOVE;
        if (newW == curW && newH == curH)
            flags |= SWP_NOSIZE;
        if (hdwp)
            hdwp =
                ::DeferWindowPos(hdwp, rec.hWnd, nullptr, next.left, next.top, newW, newH, flags);
    }
    if (hdwp)
        ::EndDeferWindowPos(hdwp);
}

void AnchorLayout::ScaleAnchorOffsets(UINT nOldDpi, UINT nNewDpi) {
    auto scale = [&](LONG& v) { v = ScaleBetweenDpis(v, nOldDpi, nNewDpi); };
    for (AnchorRecord& rec : m_anchors) {
        scale(rec.offTopLeft.x);
        scale(rec.offTopLeft.y);
        scale(rec.offBottomRight.x);
        scale(rec.offBottomRight.y);
    }
}

void AnchorLayout::ClipChildrenForErase(HDC hdc) {
    for (const AnchorRecord& rec : m_anchors)
        if (::IsWindow(rec.hWnd) && ::IsWindowVisible(rec.hWnd))
            ClipChildForErase(rec.hWnd, hdc);
}

void AnchorLayout::ClipChildForErase(HWND hChild, HDC hdc) {
    RECT r = ChildRect(hChild);
    ::DPtoLP(hdc, reinterpret_cast<POINT*>(&r), 2);
    CRgnHandle rgn(::CreateRectRgn(0, 0, 0, 0));
    if (::GetWindowRgn(hChild, rgn.Get()) == COMPLEXREGION)
        ::OffsetRgn(rgn.Get(), r.left, r.top);
    else
        ::SetRectRgn(rgn.Get(), r.left, r.top, r.right, r.bottom);
    ::ExtSelectClipRgn(hdc, rgn.Get(), WantsEraseClip(hChild) ? RGN_DIFF : RGN_OR);
}
