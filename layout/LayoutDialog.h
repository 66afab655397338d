// CLayoutDialog: a dialog that can be resized. It gets a sizing border and a
// size grip, cannot be made smaller than it opens, and after every size change
// moves its anchored children and its grip.
#pragma once

#include "AnchorLayout.h"
#include "SizeGrip.h"
#include "TrackLimits.h"

#include "platform/Dialog.h"

class CLayoutDialog : public CDialog, public AnchorLayout, public SizeGrip, public TrackLimits {
public:
    CLayoutDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : CDialog(nIDTemplate, pParentWnd) {}

    HWND GetHostWindow() override { return m_hWnd; }
    BOOL OnInitDialog() override;

protected:
    int OnCreate(LPCREATESTRUCTA lpcs);
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

    bool m_bLayoutReady = false;
};
