#include "ExpertPage.h"

#include "RenamerDlg.h"

#include "app/LanguageFile.h"
#include "app/LocalizeWindow.h"
#include "rename/RenameOptions.h"
#include "res/resource.h"

#include "platform/Accessibility.h"
#include "platform/DataExchange.h"
#include "platform/WinApp.h"

#include <algorithm>

namespace {
// Where the options sit on the page, in its dialog units: below the notice and
// the contact text, which end at y = 60 once raised. Their template's height
// fits above the page's bottom at the window's smallest size.
constexpr int kOptionsTop = 60;
// How far the notice, its icon and the contact text move up to make room for
// the options when these are made.
constexpr int kNoticeRaise = 20;
constexpr int kPatternLimit = 100;
constexpr int kTimeShiftLimit = 16;
} // namespace

BEGIN_MESSAGE_MAP(CExpertOptions, CDialog)
    ON_BN_CLICKED(IDC_USE_PHOTO_DATE, OnOptionClicked)
    ON_BN_CLICKED(IDC_SHOW_NEW_NAMES, OnOptionClicked)
    ON_BN_CLICKED(IDC_KEEP_RELATED, OnOptionClicked)
    ON_BN_CLICKED(IDC_USE_PATTERN, OnUsePattern)
    ON_EN_CHANGE(IDC_PATTERN, OnOptionClicked)
    ON_EN_CHANGE(IDC_TIME_SHIFT, OnOptionClicked)
    ON_BN_CLICKED(IDC_DATE_ORDER, OnOptionClicked)
    ON_BN_CLICKED(IDC_LOWER_CASE_EXTENSIONS, OnOptionClicked)
END_MESSAGE_MAP()

void CExpertOptions::DoDataExchange(CDataExchange* pDX) {
    DDX_Check(pDX, IDC_USE_PHOTO_DATE, m_bUsePhotoDate);
    DDX_Check(pDX, IDC_SHOW_NEW_NAMES, m_bShowNewNames);
    DDX_Check(pDX, IDC_KEEP_RELATED, m_bKeepRelated);
    DDX_Check(pDX, IDC_USE_PATTERN, m_bUsePattern);
    DDX_Text(pDX, IDC_PATTERN, m_strPattern);
    DDV_MaxChars(pDX, m_strPattern, kPatternLimit);
    DDX_Text(pDX, IDC_TIME_SHIFT, m_strTimeShift);
    DDV_MaxChars(pDX, m_strTimeShift, kTimeShiftLimit);
    DDX_Check(pDX, IDC_DATE_ORDER, m_bDateOrder);
    DDX_Check(pDX, IDC_LOWER_CASE_EXTENSIONS, m_bLowerCaseExtensions);
}

BOOL CExpertOptions::OnInitDialog() {
    CDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);
    // Looked up when a screen reader asks, as the main window's names are.
    auto name = [](const char* text) { return [text] { return LookupText(text, text); }; };
    SetAccessibleName(GetDlgItemHwnd(IDC_PATTERN), name("Name pattern"));
    SetAccessibleName(GetDlgItemHwnd(IDC_TIME_SHIFT), name("Time shift"));
    return TRUE;
}

void CExpertOptions::OnOptionClicked() {
    UpdateData(TRUE);
    CWinApp* app = AfxGetApp();
    if (auto* dlg = app ? dynamic_cast<CRenamerDlg*>(app->m_pMainWnd) : nullptr)
        dlg->OnOptionsChanged();
}

void CExpertOptions::OnUsePattern() {
    UpdateData(TRUE);
    ::EnableWindow(GetDlgItemHwnd(IDC_PATTERN), m_bUsePattern != 0);
    OnOptionClicked();
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
        RECT place = {0, kOptionsTop, 0, 0};
        ::MapDialogRect(m_options.m_hWnd, &place);
        // The notice, its icon and the contact text make room for them.
        RECT raise = {0, 0, 0, kNoticeRaise};
        ::MapDialogRect(m_options.m_hWnd, &raise);
        for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (h == m_options.m_hWnd)
                continue;
            RECT rc;
            ::GetWindowRect(h, &rc);
            ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
            ::SetWindowPos(h, nullptr, rc.left, rc.top - raise.bottom, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // The page is as large as the tab control leaves it, which may be less
        // than its template.
        RECT page;
        GetClientRect(&page);
        RECT own;
        m_options.GetClientRect(&own);
        place.right = std::min(own.right, page.right);
        place.bottom = std::min(place.top + own.bottom, page.bottom);
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

void CExpertPage::ReadNamingOptions(RenameOptions& o) {
    if (!m_options.m_hWnd) {
        o.usePattern = 0;
        o.pattern.clear();
        o.timeShift.clear();
        o.dateOrder = 0;
        o.lowerCaseExtensions = 0;
        return;
    }
    m_options.UpdateData(TRUE);
    o.usePattern = m_options.m_bUsePattern != 0 ? 1 : 0;
    o.pattern = m_options.m_strPattern;
    o.timeShift = m_options.m_strTimeShift;
    o.dateOrder = m_options.m_bDateOrder != 0 ? 1 : 0;
    o.lowerCaseExtensions = m_options.m_bLowerCaseExtensions != 0 ? 1 : 0;
}
