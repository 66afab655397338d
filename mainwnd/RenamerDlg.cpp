#include "RenamerDlg.h"

#include "app/LanguageFile.h"
#include "app/LocalizeWindow.h"
#include "res/resource.h"

#include "platform/DataExchange.h"
#include "platform/FileFind.h"
#include "platform/ScopedHandles.h"

#include <vector>

BEGIN_MESSAGE_MAP(CRenamerDlg, CLayoutDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_NOTIFY(NM_CLICK, IDC_PAGE_TABS, OnClickTab)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnFolderSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnFolderSelChanged)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CRenamerDlg::CRenamerDlg() : CLayoutDialog(IDD) {
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    m_tree.m_bFeedback = 1;
    m_tree.SetTickPeriod(125);
    m_tree.m_hAnimCursor = static_cast<HCURSOR>(::LoadImageA(
        hInst, MAKEINTRESOURCEA(IDC_LOADING_ANIMATION), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
    m_hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_pSkinBitmap = ::LoadBitmapA(hInst, MAKEINTRESOURCEA(IDB_PROGRESS_SKIN));
}

CRenamerDlg::~CRenamerDlg() {
    m_pProgress.reset();
    if (m_pSkinBitmap)
        ::DeleteObject(m_pSkinBitmap);
}

void CRenamerDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_PROGRESS_FRAME, m_stcProgressFrame);
    DDX_Control(pDX, IDC_FILE_LIST, m_listFiles);
    DDX_Control(pDX, IDC_PAGE_TABS, m_tabPages);
    DDX_Control(pDX, IDC_FOLDER_TREE, m_tree);
    DDX_Text(pDX, IDC_PATH, m_strFolderPath);
    DDV_MaxChars(pDX, m_strFolderPath, 200);
}

BOOL CRenamerDlg::OnInitDialog() {
    CLayoutDialog::OnInitDialog();
    LocalizeWindow(m_hWnd, IDD);

    AnchorChild(GetDlgItemHwnd(IDC_PAGE_TABS), ANCHOR_TOP_RIGHT, ANCHOR_NONE);
    AnchorChild(GetDlgItemHwnd(IDC_FOLDER_TREE), ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    AnchorChild(GetDlgItemHwnd(IDC_PATH), ANCHOR_TOP_LEFT, ANCHOR_TOP_RIGHT);
    AnchorChild(GetDlgItemHwnd(IDC_FILE_LIST_LABEL), ANCHOR_TOP_RIGHT, ANCHOR_NONE);
    AnchorChild(GetDlgItemHwnd(IDC_PROGRESS_FRAME), ANCHOR_BOTTOM_LEFT, ANCHOR_BOTTOM_RIGHT);
    AnchorChild(GetDlgItemHwnd(IDC_FILE_LIST), ANCHOR_TOP_RIGHT, ANCHOR_BOTTOM_RIGHT);

    m_pProgress = std::make_unique<CProgressStrip>(&m_stcProgressFrame, 10000, m_pSkinBitmap);
    m_pProgress->ShowWindow(SW_HIDE);

    char about[256] = {};
    ::LoadStringA(::GetModuleHandleA(nullptr), IDS_ABOUTBOX, about, sizeof(about));
    if (about[0]) {
        HMENU sys = ::GetSystemMenu(m_hWnd, FALSE);
        ::AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, about);
    }

    m_tree.SetWindowText("ShellTree Control");
    m_tree.SetRootFolder(nullptr);

    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    m_pageBeginner.Create(CBeginnerPage::IDD, &m_tabPages);
    m_pageExpert.Create(CExpertPage::IDD, &m_tabPages);
    RECT rc;
    m_tabPages.GetClientRect(&rc);
    rc.left += 4;
    rc.top += 25;
    rc.right -= 4;
    rc.bottom -= 4;
    m_pageBeginner.MoveWindow(rc);
    m_pageExpert.MoveWindow(rc);

    m_listFiles.InsertColumn(0, LookupText("File List", "File List"), LVCFMT_LEFT, 200);
    m_pageBeginner.ShowWindow(SW_SHOW);

    m_tabPages.SetCurSel(0);
    m_tabPages.InsertItem(0, LookupText("Beginner", "  Beginner  "));
    m_tabPages.InsertItem(1, LookupText("Expert", "  Expert  "));
    return TRUE;
}

void CRenamerDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about(this); // modal to the main window and always above it
        about.DoModal();
    } else {
        Default();
    }
}

void CRenamerDlg::OnPaint() {
    if (!::IsIconic(m_hWnd)) {
        Default();
        return;
    }
    CPaintDC dc(m_hWnd);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
    RECT rc;
    GetClientRect(&rc);
    int x = (rc.right - rc.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (rc.bottom - rc.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.Get(), x, y, m_hIcon);
}

HCURSOR CRenamerDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

void CRenamerDlg::OnClickTab(NMHDR*, LRESULT* pResult) {
    switch (m_tabPages.GetCurSel()) {
    case 0:
        m_pageBeginner.ShowWindow(SW_SHOW);
        m_pageExpert.ShowWindow(SW_HIDE);
        break;
    case 1:
        m_pageBeginner.ShowWindow(SW_HIDE);
        m_pageExpert.ShowWindow(SW_SHOW);
        break;
    default:
        break;
    }
    *pResult = 0;
}

void CRenamerDlg::OnFolderSelChanged(NMHDR*, LRESULT* pResult) {
    m_strFolderPath = m_tree.m_strSelPath;
    SetDlgItemText(IDC_PATH, m_strFolderPath);
    FillFileList();
    *pResult = 0;
}

void CRenamerDlg::FillFileList() {
    if (m_strFolderPath.empty())
        return;
    // The names are read first and inserted in one go: under Wine, reading the
    // folder between insertions makes a folder of 100,000 files fill a third
    // slower, and the list can be told its size before it grows.
    std::vector<std::string> names;
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(m_strFolderPath, "*.*"));
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory() || finder.MatchesMask(FILE_ATTRIBUTE_HIDDEN) ||
            !finder.IsNameIntact())
            continue;
        names.push_back(finder.GetFileName());
    }
    finder.Close();
    // Redrawing stays off while a large folder fills the list.
    m_listFiles.SendMessage(WM_SETREDRAW, FALSE);
    m_listFiles.DeleteAllItems();
    m_listFiles.SetItemCount(static_cast<int>(names.size()));
    for (size_t i = 0; i < names.size(); ++i)
        m_listFiles.InsertItem(static_cast<int>(i), names[i], 0);
    m_listFiles.SendMessage(WM_SETREDRAW, TRUE);
    m_listFiles.Invalidate(TRUE);
}

void CRenamerDlg::OnDestroy() {
    CLayoutDialog::OnDestroy();
    m_pProgress.reset();
    if (m_pSkinBitmap)
        ::DeleteObject(m_pSkinBitmap);
    m_pSkinBitmap = nullptr;
}
