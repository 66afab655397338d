// CDialog: a window made from a dialog template, either modal (DoModal runs its
// own loop, so that windows inside it can pre-translate their messages) or a
// child of another window (Create).
#pragma once

#include "Wnd.h"

class CDialog : public CWnd {
public:
    CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

    virtual INT_PTR DoModal();
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd);
    void EndDialog(int nResult);
    // True once EndDialog has been asked for in a modal run.
    bool IsEnding() const { return m_bEndModal; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    // Whether the dialog lays itself out again after a change of DPI, so that
    // the system's own rescaling must keep out; a dialog laid into another
    // window follows that window.
    virtual bool FollowsDpiItself() const { return false; }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd; // not owned

    LRESULT HandleInitDialog(WPARAM, LPARAM);

    DECLARE_MESSAGE_MAP()

private:
    HWND CreateFromTemplate(HWND hWndParent);
    bool m_bModal = false;
    bool m_bEndModal = false;
    int m_nModalResult = -1;
};
