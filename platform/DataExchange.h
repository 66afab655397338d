// Data exchange between a dialog's members and its controls: with
// m_bSaveAndValidate the controls' states go into the members, otherwise the
// members into the controls.
#pragma once

#include "Wnd.h"

#include <string>

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd; // not owned
    HWND m_hWndLastControl = nullptr;

    HWND PrepareCtrl(int nIDC);
};

// Binds a control object to the dialog's control: it takes the control over once.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
// A window's text; the control is written only when its text differs, so writing
// back an unchanged text raises no change notification.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// Limits the last exchanged edit control to nChars characters when it is filled.
void DDV_MaxChars(CDataExchange* pDX, const std::string& value, int nChars);
