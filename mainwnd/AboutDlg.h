// CAboutDlg: the About box, shown from the system menu.
#pragma once

#include "platform/Dialog.h"

class CAboutDlg : public CDialog {
public:
    enum { IDD = 100 };
    explicit CAboutDlg(CWnd* pParentWnd) : CDialog(IDD, pParentWnd) {}
};
