#include "RenamerDlg.h"

#include "app/LocalizeWindow.h"

BOOL CRenamerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    return TRUE;
}
