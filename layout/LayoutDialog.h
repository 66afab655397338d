// CLayoutDialog: a dialog that can be resized. It gets a sizing border and a
// size grip, cannot be made smaller than it opens, and after every size change
// moves its anchored children and its grip. When it moves to a monitor of
// another DPI it scales itself, every window inside it and their font.
#pragma once

#include "AnchorLayout.h"
#include "SizeGrip.h"
#include "TrackLimits.h"

#include "platform/Dialog.h"
#include "platform/DpiScale.h"
#include "platform/ScopedHandles.h"

class CLayoutDialog : public CDialog, public AnchorLayout, public SizeGrip, public TrackLimits {
public:
    CLayoutDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : CDialog(nIDTemplate, pParentWnd) {}

    HWND GetHostWindow() override { return m_hWnd; }
    bool FollowsDpiItself() const override { return true; }
    BOOL OnInitDialog() override;

    // The DPI the dialog is laid out for: its window's at initialisation, then
    // the one each WM_DPICHANGED brings. Kept, not asked for, as Wine goes on
    // reporting the process's DPI for every window.
    UINT GetDpi() const { return m_nDpi; }

protected:
    // After a DPI change has scaled the dialog, its descendants, their font,
    // the anchors, the minimum size and the grip: for what a derived dialog
    // places or sizes itself.
    virtual void OnDpiChanged(UINT nOldDpi, UINT nNewDpi);

    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnDestroy();
    LRESULT HandleDpiChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    bool m_bLayoutReady = false;

private:
    // The controls' font at the new DPI, made from the one they use now.
    CFontHandle ScaledFont(UINT nOldDpi, UINT nNewDpi);
    void ScaleDescendants(UINT nOldDpi, UINT nNewDpi, HFONT hFont);

    UINT m_nDpi = kDefaultDpi;
    bool m_bFollowingDpi = false; // while the dialog takes the rectangle a DPI change suggests
    CFontHandle m_fontDpi;        // the controls' font since the first DPI change
};
