#include "BeginnerPage.h"

#include "RenamerDlg.h"

#include "app/LocalizeWindow.h"
#include "res/resource.h"

#include "platform/DataExchange.h"
#include "platform/WinApp.h"

const char* const kHomepageAddress = "https://www.tessivox.example/";

namespace {
constexpr int kOptionTextLimit = 40;
} // namespace

BEGIN_MESSAGE_MAP(CBeginnerPage, CDialog)
    ON_BN_CLICKED(IDC_REPLACE, OnReplace)
    ON_BN_CLICKED(IDC_ADD_PREFIX, OnAdd)
    ON_BN_CLICKED(IDC_ADD_DATE, UpdateSample)
    ON_BN_CLICKED(IDC_ADD_TIME, UpdateSample)
    ON_BN_CLICKED(IDC_REMOVE_OLD_NAME, UpdateSample)
    ON_EN_CHANGE(IDC_PREFIX, UpdateSample)
    ON_EN_CHANGE(IDC_REPLACE_FROM, UpdateSample)
    ON_EN_CHANGE(IDC_REPLACE_TO, UpdateSample)
    ON_BN_CLICKED(IDC_BACK, OnBack)
END_MESSAGE_MAP()

CRenamerDlg* CBeginnerPage::MainWindow() const {
    CWinApp* app = AfxGetApp();
    return app ? dynamic_cast<CRenamerDlg*>(app->m_pMainWnd) : nullptr;
}

void CBeginnerPage::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_HOMEPAGE_LINK, m_linkHomepage);
    DDX_Check(pDX, IDC_ADD_DATE, m_options.addDate);
    DDX_Check(pDX, IDC_REMOVE_OLD_NAME, m_options.removeOldName);
    DDX_Check(pDX, IDC_ADD_TIME, m_options.addTime);
    DDX_Text(pDX, IDC_SAMPLE, m_strSample);
    DDX_Check(pDX, IDC_REPLACE, m_options.replace);
    DDX_Text(pDX, IDC_REPLACE_FROM, m_options.replaceFrom);
    DDV_MaxChars(pDX, m_options.replaceFrom, kOptionTextLimit);
    DDX_Text(pDX, IDC_PREFIX, m_options.prefix);
    DDV_MaxChars(pDX, m_options.prefix, kOptionTextLimit);
    DDX_Check(pDX, IDC_ADD_PREFIX, m_options.addPrefix);
    DDX_Text(pDX, IDC_REPLACE_TO, m_options.replaceTo);
    DDV_MaxChars(pDX, m_options.replaceTo, kOptionTextLimit);
    DDX_Check(pDX, IDC_INCLUDE_SUBFOLDERS, m_options.includeSubfolders);
}

BOOL CBeginnerPage::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    m_linkHomepage.SetTarget(kHomepageAddress);
    m_linkHomepage.SetUnderlineMode(1);
    UpdateSample();
    return TRUE;
}

void CBeginnerPage::OnCancel() {}

void CBeginnerPage::OnReplace() {
    UpdateData(TRUE);
    ::EnableWindow(GetDlgItemHwnd(IDC_REPLACE_FROM), m_options.replace != 0);
    ::EnableWindow(GetDlgItemHwnd(IDC_REPLACE_TO), m_options.replace != 0);
    if (CRenamerDlg* dlg = MainWindow())
        dlg->OnOptionsChanged();
}

void CBeginnerPage::OnAdd() {
    UpdateData(TRUE);
    ::EnableWindow(GetDlgItemHwnd(IDC_PREFIX), m_options.addPrefix != 0);
    UpdateSample();
}
