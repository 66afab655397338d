#include "ExpertPage.h"

#include "RenamerDlg.h"

#include "app/LocalizeWindow.h"
#include "res/resource.h"

#include "platform/DataExchange.h"
#include "platform/WinApp.h"

#include <algorithm>

namespace {
// Where the options sit on the page, in its dialog units: below the notice and
// the contact text, which end at y = 80, and above the page's edge at the
// window's smallest size.
constexpr RECT kOptionsPlace = {0, 84, 221, 158};
} // namespace

BEGIN_MESSAGE_MAP(CExpertOptions, CDialog)
    ON_BN_CLICKED(IDC_USE_PHOTO_DATE, OnOptionClicked)
    ON_BN_CLICKED(IDC_SHOW_NEW_NAMES, OnOptionClicked)
    ON_BN_CLICKED(IDC_KEEP_RELATED, OnOptionClicked)
END_MESSAGE_MAP()

void CExpertOptions::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_USE_PHOTO_DATE, m_bUsePhotoDate);
    DDX_Check(pDX, IDC_SHOW_NEW_NAMES, m_bShowNewNames);
    DDX_Check(pDX, IDC_KEEP_RELATED, m_bKeepRelated);
}

BOOL CExpertOptions::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    return TRUE;
}

void CExpertOptions::OnOptionClicked() {
    UpdateData(TRUE);
    CWinApp* app = AfxGetApp();
    if (auto* dlg = app ? dynamic_cast<CRenamerDlg*>(app->m_pMainWnd) : nullptr)
        dlg->OnOptionsChanged();
}

BEGIN_MESSAGE_MAP(CExpertPage, CDialog)
    ON_MESSAGE(WM_SHOWWINDOW, OnShowWindow)
END_MESSAGE_MAP()

BOOL CExpertPage::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    return TRUE;
}

LRESULT CExpertPage::OnShowWindow(WPARAM bShow, LPARAM) {
    const LRESULT result = Default();
    if (bShow && !m_options.m_hWnd && m_options.Create(CExpertOptions::IDD, this)) {
        // In the options' own units: they are made at the DPI the window has
        // now, which a change of monitor may have made another than the page's.
        RECT place = kOptionsPlace;
        ::MapDialogRect(m_options.m_hWnd, &place);
        // The page is as large as the tab control leaves it, which may be less
        // than its template.
        RECT page;
        GetClientRect(&page);
        place.right = std::min(place.right, page.right);
        place.bottom = std::min(place.bottom, page.bottom);
        m_options.MoveWindow(place);
        m_options.ShowWindow(SW_SHOW);
    }
    return result;
}

bool CExpertPage::UsesPhotoDate() {
    if (!m_options.m_hWnd)
        return false;
    m_options.UpdateData(TRUE);
    return m_options.m_bUsePhotoDate != 0;
}

bool CExpertPage::ShowsNewNames() {
    if (!m_options.m_hWnd)
        return false;
    m_options.UpdateData(TRUE);
    return m_options.m_bShowNewNames != 0;
}

bool CExpertPage::KeepsRelatedTogether() {
    if (!m_options.m_hWnd)
        return false;
    m_options.UpdateData(TRUE);
    return m_options.m_bKeepRelated != 0;
}
