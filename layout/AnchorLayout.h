// AnchorLayout: keeps a resizable window's children in place. Each registered
// child has two anchor points in percent of the window's client area, one for
// each of its corners; after every size change all children move together in
// one deferred batch. It also keeps children that paint their own background
// out of the window's background erase.
#pragma once

#include "AnchorRules.h"

#include <windows.h>

#include <vector>

struct AnchorRecord {
    HWND hWnd;
    int bListBox;
    int bFullRepaint;
    AnchorPoint ptTopLeft;
    POINT offTopLeft;
    AnchorPoint ptBottomRight; // never ANCHOR_NONE once stored
    POINT offBottomRight;
};

class AnchorLayout {
public:
    virtual BOOL WantsEraseClip(HWND hChild);
    virtual BOOL WantsFullRepaint(HWND hChild);
    virtual void GetLayoutArea(RECT* prc);
    virtual HWND GetHostWindow() = 0;
    virtual ~AnchorLayout() = default;

    void AnchorChild(HWND hChild, AnchorPoint topLeft, AnchorPoint bottomRight = ANCHOR_NONE);
    void ArrangeChildren();
    // The offsets measured at one DPI, at another, so that the children keep
    // their places when the window is laid out for the new DPI.
    void ScaleAnchorOffsets(UINT nOldDpi, UINT nNewDpi);
    void ClipChildrenForErase(HDC hdc);
    void ClipChildForErase(HWND hChild, HDC hdc);

protected:
    void RemoveAllAnchors() { m_anchors.clear(); }
    const std::vector<AnchorRecord>& Anchors() const { return m_anchors; }

private:
    RECT ChildRect(HWND hChild);
    std::vector<AnchorRecord> m_anchors;
};
