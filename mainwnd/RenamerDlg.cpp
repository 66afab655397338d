#include "RenamerDlg.h"

#include "app/LanguageFile.h"
#include "app/LocalizeWindow.h"
#include "res/resource.h"

#include "platform/Accessibility.h"
#include "platform/CodePage.h"
#include "platform/DataExchange.h"
#include "platform/Dpi.h"
#include "platform/FileFind.h"
#include "platform/ScopedHandles.h"
#include "platform/TabOrder.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kNameColumnWidth = 200; // at 96 DPI
// Posted by the window to itself, once it shows: the last run's journal, then
// the command line's paths.
constexpr UINT WM_OPEN_JOURNAL = WM_APP + 1;
constexpr UINT WM_OPEN_START_PATHS = WM_APP + 2;
constexpr UINT WM_FILE_FACTS_READ = WM_APP + 3;
constexpr UINT WM_SET_NEW_NAME_SLOTS = WM_APP + 4;
// Items that get their "New name" slot at a time: about 30 ms of a list view's work.
constexpr int kNewNameSlotsAtOnce = 20000;
} // namespace

BEGIN_MESSAGE_MAP(CRenamerDlg, CLayoutDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_WM_CLOSE()
    ON_WM_DROPFILES()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_MESSAGE(WM_OPEN_JOURNAL, OnOpenJournal)
    ON_MESSAGE(WM_OPEN_START_PATHS, OnOpenStartPaths)
    ON_MESSAGE(WM_FILE_FACTS_READ, OnFileFactsRead)
    ON_MESSAGE(WM_SET_NEW_NAME_SLOTS, OnSetNewNameSlots)
    ON_NOTIFY(NM_CLICK, IDC_PAGE_TABS, OnClickTab)
    ON_NOTIFY(TCN_SELCHANGE, IDC_PAGE_TABS, OnClickTab)
    ON_NOTIFY(TVN_SELCHANGEDA, IDC_FOLDER_TREE, OnFolderSelChanged)
    ON_NOTIFY(TVN_SELCHANGEDW, IDC_FOLDER_TREE, OnFolderSelChanged)
    ON_NOTIFY(LVN_GETDISPINFOA, IDC_FILE_LIST, OnListGetDispInfo)
    ON_NOTIFY(LVN_GETDISPINFOW, IDC_FILE_LIST, OnListGetDispInfo)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_FILE_LIST, OnListItemChanged)
    ON_NOTIFY(LVN_INSERTITEM, IDC_FILE_LIST, OnListInsertItem)
    ON_NOTIFY(LVN_DELETEALLITEMS, IDC_FILE_LIST, OnListDeleteAllItems)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CRenamerDlg::CRenamerDlg() : CLayoutDialog(IDD), m_knownFolders(SystemKnownFolders()) {
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    m_tree.m_bFeedback = 1;
    m_tree.SetTickPeriod(125);
    m_tree.m_hAnimCursor = static_cast<HCURSOR>(::LoadImageA(
        hInst, MAKEINTRESOURCEA(IDC_LOADING_ANIMATION), IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR));
    m_hIcon = ::LoadIconA(hInst, MAKEINTRESOURCEA(IDR_MAINFRAME));
    m_pSkinBitmap = ::LoadBitmapA(hInst, MAKEINTRESOURCEA(IDB_PROGRESS_SKIN));
}

CRenamerDlg::~CRenamerDlg() {
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
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
    m_pTaskbar = std::make_unique<CTaskbarProgress>(m_hWnd);
    m_pProgress->SetPercentListener([this](int nPercent) { m_pTaskbar->Show(nPercent); });
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

    SetWindowIcons();

    // The pages sit inside the tab control: as a container of controls it lets
    // the dialog manager find their mnemonics, and Tab walk into them.
    ::SetWindowLongW(m_tabPages.m_hWnd, GWL_EXSTYLE,
                     ::GetWindowLongW(m_tabPages.m_hWnd, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
    m_pageBeginner.Create(CBeginnerPage::IDD, &m_tabPages);
    m_pageExpert.Create(CExpertPage::IDD, &m_tabPages);

    m_listFiles.InsertColumn(0, LookupText("File List", "File List"), LVCFMT_LEFT,
                             ScaleForDpi(kNameColumnWidth, GetDpi()));
    m_pageBeginner.ShowWindow(SW_SHOW);

    m_tabPages.SetCurSel(0);
    m_tabPages.InsertItem(0, LookupText("Beginner", "  Beginner  "));
    m_tabPages.InsertItem(1, LookupText("Expert", "  Expert  "));
    // Below the headers, which the tab control measures once it holds them.
    PlacePages();
    NameControlsForScreenReaders();

    // Folders dropped from Explorer choose the folder; the system takes the
    // drop from a program of lower rights too when this one runs elevated.
    ::DragAcceptFiles(m_hWnd, TRUE);
    using ChangeFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    if (auto allow = reinterpret_cast<ChangeFilterFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("user32.dll"), "ChangeWindowMessageFilterEx"))))
        for (UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA),
                             0x0049u /* WM_COPYGLOBALDATA */})
            allow(m_hWnd, message, 1 /* MSGFLT_ALLOW */, nullptr);
    m_preview.NotifyWhenRead(m_hWnd, WM_FILE_FACTS_READ);
    ::PostMessageA(m_hWnd, WM_OPEN_JOURNAL, 0, 0);
    if (!m_startPaths.empty())
        ::PostMessageA(m_hWnd, WM_OPEN_START_PATHS, 0, 0);
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

void CRenamerDlg::NameControlsForScreenReaders() {
    // Looked up when a screen reader asks, so that a language file gains the
    // texts only where one is used.
    auto name = [](const char* text) { return [text] { return LookupText(text, text); }; };
    SetAccessibleName(m_tree.m_hWnd, name("Folders"));
    SetAccessibleName(m_tabPages.m_hWnd, name("Options"));
    SetAccessibleName(m_listFiles.m_hWnd, name("Files"));
    SetAccessibleName(m_pageBeginner.GetDlgItemHwnd(IDC_PREFIX), name("Text to add"));
    SetAccessibleName(m_pageBeginner.GetDlgItemHwnd(IDC_REPLACE_FROM), name("Text to replace"));
    SetAccessibleName(m_pageBeginner.GetDlgItemHwnd(IDC_REPLACE_TO), name("Replacement"));
    // Its window text may be shortened to fit (German "Zur."): the name is whole.
    SetAccessibleName(m_pageBeginner.GetDlgItemHwnd(IDC_BACK), name("Back"));
    m_pProgress->SetAccessibleName(name("Progress"));
}

void CRenamerDlg::SetWindowIcons() {
    // The small one drawn for the DPI from its own image, not shrunk from the large one.
    const UINT dpi = GetDpi();
    HICON smallIcon = static_cast<HICON>(::LoadImageA(
        ::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
        SystemMetricForDpi(SM_CXSMICON, dpi), SystemMetricForDpi(SM_CYSMICON, dpi), 0));
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon ? smallIcon : m_hIcon));
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
    m_hSmallIcon = smallIcon;
}

void CRenamerDlg::OnDpiChanged(UINT nOldDpi, UINT nNewDpi) {
    PlacePages();
    // The columns keep the widths the user gave them, at the new scale.
    const int columns = Header_GetItemCount(ListView_GetHeader(m_listFiles.m_hWnd));
    for (int i = 0; i < columns; ++i) {
        const int width = static_cast<int>(m_listFiles.SendMessage(LVM_GETCOLUMNWIDTH, i));
        m_listFiles.SendMessage(
            LVM_SETCOLUMNWIDTH, i,
            ::MulDiv(width, static_cast<int>(nNewDpi), static_cast<int>(nOldDpi)));
    }
    m_pProgress->Rescale();
    SetWindowIcons();
}

void CRenamerDlg::PlacePages() {
    RECT rc;
    m_tabPages.GetClientRect(&rc);
    m_tabPages.SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    m_pageBeginner.MoveWindow(rc);
    m_pageExpert.MoveWindow(rc);
}

void CRenamerDlg::ShowPage(int nPage) {
    switch (nPage) {
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
}

// Every change of the tab, by the mouse or the keyboard, brings its page.
void CRenamerDlg::OnClickTab(NMHDR*, LRESULT* pResult) {
    ShowPage(m_tabPages.GetCurSel());
    *pResult = 0;
}

void CRenamerDlg::SwitchPage(int nDelta) {
    const int count = m_tabPages.GetItemCount();
    if (count <= 0)
        return;
    const int current = std::max(m_tabPages.GetCurSel(), 0);
    const int next = ((current + nDelta) % count + count) % count;
    const HWND focus = ::GetFocus();
    m_tabPages.SetCurSel(next);
    ShowPage(next);
    // The focus never stays on a control that went with its page.
    if (focus && ::IsChild(m_tabPages.m_hWnd, focus) && !::IsWindowVisible(focus)) {
        SendMessage(WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
        FocusControl(m_tabPages.m_hWnd);
    }
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
    m_preview.StopReading();
    CLayoutDialog::OnDestroy();
    m_pProgress.reset();
    if (m_pSkinBitmap)
        ::DeleteObject(m_pSkinBitmap);
    m_pSkinBitmap = nullptr;
}

void CRenamerDlg::OnOptionsChanged() {
    const bool show = m_pageExpert.ShowsNewNames();
    if (show != m_bNewNamesShown)
        ShowNewNames(show);
    if (!m_bNewNamesShown)
        return;
    m_preview.Restart();
    m_listFiles.Invalidate(FALSE);
}

void CRenamerDlg::ShowNewNames(bool bShow) {
    m_bNewNamesShown = bShow;
    if (!bShow) {
        m_nNextNewNameSlot = -1;
        m_preview.StopReading();
        m_listFiles.SendMessage(LVM_DELETECOLUMN, 1);
        m_listFiles.SendMessage(LVM_SETCOLUMNWIDTH, 0, ScaleForDpi(kNameColumnWidth, GetDpi()));
        return;
    }
    // Looked up once, here: the column asks for its texts at every repaint.
    CNewNamePreview::Reasons reasons;
    reasons.leftAlone[LeftAloneReason::Gone] = LookupText("PreviewLeftAlone", "(left alone)");
    reasons.leftAlone[LeftAloneReason::NameNotExact] = reasons.leftAlone[LeftAloneReason::Gone];
    reasons.leftAlone[LeftAloneReason::PathTooLong] = reasons.leftAlone[LeftAloneReason::Gone];
    reasons.leftAlone[LeftAloneReason::NotTheListedFile] = reasons.leftAlone[LeftAloneReason::Gone];
    reasons.leftAlone[LeftAloneReason::Separator] =
        LookupText("PreviewSeparator", "(left alone: its name holds \\ or /)");
    reasons.leftAlone[LeftAloneReason::Unaddressable] = LookupText(
        "PreviewUnaddressable", "(left alone: Windows would not address this name exactly)");
    reasons.leftAlone[LeftAloneReason::CaseTwin] = LookupText(
        "PreviewCaseTwin", "(left alone: another name differs from it only in letter case)");
    reasons.leftAlone[LeftAloneReason::NotAFile] =
        LookupText("PreviewNotAFile", "(left alone: not a plain file)");
    reasons.file[RenameVerdict::NoDate] =
        LookupText("PreviewNoDate", "(stops the run: no readable date)");
    reasons.file[RenameVerdict::Unreadable] =
        LookupText("PreviewUnreadable", "(stops the run: the photo cannot be read)");
    reasons.file[RenameVerdict::BadText] =
        LookupText("PreviewBadText", "(stops the run: a character no name can hold)");
    reasons.file[RenameVerdict::Reserved] =
        LookupText("PreviewReserved", "(stops the run: a name Windows reserves)");
    reasons.file[RenameVerdict::PathTooLong] =
        LookupText("PreviewTooLong", "(stops the run: the path would be too long)");
    reasons.start[RenameVerdict::BadText] =
        LookupText("PreviewStartBadText", "(Start refuses: a character no name can hold)");
    reasons.start[RenameVerdict::Reserved] =
        LookupText("PreviewStartReserved", "(Start refuses: a name Windows reserves)");
    reasons.start[RenameVerdict::BadPattern] =
        LookupText("PreviewStartBadPattern", "(Start refuses: %1 is not a token of the pattern)");
    reasons.start[RenameVerdict::BadPatternText] = LookupText(
        "PreviewStartBadPatternText", "(Start refuses: a character no name can hold in the pattern)");
    reasons.start[RenameVerdict::BadShift] =
        LookupText("PreviewStartBadShift", "(Start refuses: the shift is not +H:MM or -H:MM)");
    reasons.takenTwice =
        LookupText("PreviewTakenTwice", "(stops the run: its numbered name is taken too)");
    reasons.notReached = LookupText("PreviewNotReached", "(not reached: the run stops before)");
    reasons.reading = LookupText("PreviewReading", "(reading\xE2\x80\xA6)");
    reasons.readingDates = LookupText("PreviewReadingDates", "(reading dates\xE2\x80\xA6)");
    m_preview.SetReasons(std::move(reasons));
    // Camera names are short and new names long: the new one gets the room.
    const int width = ScaleForDpi(kNameColumnWidth, GetDpi());
    m_listFiles.SendMessage(LVM_SETCOLUMNWIDTH, 0, width * 3 / 5);
    m_listFiles.InsertColumn(1, LookupText("New name", "New name"), LVCFMT_LEFT, width);
    m_listFiles.SendMessage(LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
    // The rows on show first, then the rest a share at a time, so that the
    // window answers while a large list takes its slots.
    const int top = static_cast<int>(m_listFiles.SendMessage(LVM_GETTOPINDEX));
    SetNewNameCallbacks(top,
                        top + static_cast<int>(m_listFiles.SendMessage(LVM_GETCOUNTPERPAGE)) + 1);
    m_nNextNewNameSlot = 0;
    OnSetNewNameSlots(0, 0);
}

LRESULT CRenamerDlg::OnSetNewNameSlots(WPARAM, LPARAM) {
    if (!m_bNewNamesShown || m_nNextNewNameSlot < 0)
        return 0;
    const int count = m_listFiles.GetItemCount();
    const int end = std::min(count, m_nNextNewNameSlot + kNewNameSlotsAtOnce);
    SetNewNameCallbacks(m_nNextNewNameSlot, end);
    m_nNextNewNameSlot = end < count ? end : -1;
    if (m_nNextNewNameSlot >= 0)
        ::PostMessageA(m_hWnd, WM_SET_NEW_NAME_SLOTS, 0, 0);
    return 0;
}

void CRenamerDlg::SetNewNameCallbacks(int nFrom, int nTo) {
    nTo = std::min(nTo, m_listFiles.GetItemCount());
    if (nFrom >= nTo)
        return;
    // Redrawing off, each item's change costs no repaint of its own.
    m_listFiles.SendMessage(WM_SETREDRAW, FALSE);
    for (int i = nFrom; i < nTo; ++i)
        SetNewNameCallback(i);
    m_listFiles.SendMessage(WM_SETREDRAW, TRUE);
    m_listFiles.Invalidate(FALSE);
}

void CRenamerDlg::SetNewNameCallback(int nItem) {
    LVITEMA item = {};
    item.iSubItem = 1;
    item.pszText = LPSTR_TEXTCALLBACKA;
    m_listFiles.SendMessage(LVM_SETITEMTEXTA, nItem, reinterpret_cast<LPARAM>(&item));
}

void CRenamerDlg::OnListGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    // Both forms hold the same item, with its text buffer of their own character type.
    LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(pNMHDR)->item;
    if (!m_bNewNamesShown || item.iSubItem != 1 || !(item.mask & LVIF_TEXT) || !item.pszText ||
        item.cchTextMax <= 0)
        return;
    const std::string text = m_preview.TextFor(item.iItem, m_strFolderPath);
    if (pNMHDR->code == LVN_GETDISPINFOW)
        ::lstrcpynW(reinterpret_cast<LPWSTR>(item.pszText), WidenName(text).c_str(),
                    item.cchTextMax);
    else
        ::lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
}

LRESULT CRenamerDlg::OnFileFactsRead(WPARAM, LPARAM) {
    if (m_preview.FactsArrived())
        m_listFiles.Invalidate(FALSE);
    return 0;
}

void CRenamerDlg::OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    const auto* change = reinterpret_cast<const NMLISTVIEW*>(pNMHDR);
    if (m_bNewNamesShown && (change->uChanged & LVIF_STATE) &&
        ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) {
        m_preview.Restart();
        m_listFiles.Invalidate(FALSE);
    }
}

void CRenamerDlg::OnListInsertItem(NMHDR* pNMHDR, LRESULT* pResult) {
    *pResult = 0;
    if (m_bNewNamesShown)
        SetNewNameCallback(reinterpret_cast<const NMLISTVIEW*>(pNMHDR)->iItem);
}

void CRenamerDlg::OnListDeleteAllItems(NMHDR*, LRESULT* pResult) {
    m_preview.FolderRefilled(); // the list is about to be filled again
    m_nNextNewNameSlot = -1;    // its items get their slots as they come
    *pResult = FALSE;           // each item's own deletion is still told
}
