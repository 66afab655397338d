#include "ExpertPage.h"

#include "app/LocalizeWindow.h"

BOOL CExpertPage::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    return TRUE;
}
