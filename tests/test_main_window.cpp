// The main window and its option pages on real windows.
#include "support/MainWindowFixture.h"

#include "platform/Exceptions.h"

#include <map>

namespace {

class MainWindow : public MainWindowTest {
protected:
    RECT Rect(int id) { return RectInParent(m_dlg->GetDlgItemHwnd(id), m_dlg->m_hWnd); }
    bool Checked(int id) { return ::SendMessageA(PageItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) { return ::IsWindowEnabled(PageItem(id)) != FALSE; }
    std::string Sample() { return Text(PageItem(IDC_SAMPLE)); }
    void ClickTab(int index) {
        m_dlg->m_tabPages.SetCurSel(index);
        NMHDR hdr = {m_dlg->m_tabPages.m_hWnd, IDC_PAGE_TABS, static_cast<UINT>(NM_CLICK)};
        m_dlg->SendMessage(WM_NOTIFY, IDC_PAGE_TABS, reinterpret_cast<LPARAM>(&hdr));
    }
};

TEST_F(MainWindow, FirstDisplayShowsTheBeginnerDefaults) {
    EXPECT_TRUE(Checked(IDC_ADD_DATE));
    EXPECT_TRUE(Checked(IDC_ADD_TIME));
    EXPECT_TRUE(Checked(IDC_INCLUDE_SUBFOLDERS));
    EXPECT_FALSE(Checked(IDC_ADD_PREFIX));
    EXPECT_FALSE(Checked(IDC_REMOVE_OLD_NAME));
    EXPECT_FALSE(Checked(IDC_REPLACE));
    for (int edit : {IDC_PREFIX, IDC_REPLACE_FROM, IDC_REPLACE_TO})
        EXPECT_FALSE(Enabled(edit)) << edit;
    EXPECT_EQ(Sample(), "filename2004-09-21 11_19_48");
    EXPECT_TRUE(Page().IsWindowVisible());
    EXPECT_FALSE(m_dlg->m_pageExpert.IsWindowVisible());
    EXPECT_FALSE(m_dlg->m_pProgress->IsWindowVisible());
    EXPECT_EQ(Text(m_dlg->m_tree.m_hWnd), "ShellTree Control");
    EXPECT_GT(::SendMessageA(m_dlg->m_tree.m_hWnd, TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(m_dlg->m_listFiles.GetItemCount(), 0);
    EXPECT_EQ(reinterpret_cast<HICON>(m_dlg->SendMessage(WM_QUERYDRAGICON)), m_dlg->m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(m_dlg->SendMessage(WM_GETICON, ICON_BIG)), m_dlg->m_hIcon);
}

TEST_F(MainWindow, ChoosingAFolderListsItsVisibleFilesInFileSystemOrder) {
    WriteTextFile(m_photos / "b.jpg", "b");
    WriteTextFile(m_photos / "a.jpg", "a");
    WriteTextFile(m_photos / "c.jpg", "c");
    ::SetFileAttributesA((m_photos / "c.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(m_photos / "sub");
    std::vector<std::string> expected;
    for (const std::string& n : ListFolder(m_photos.Path()))
        if (n == "a.jpg" || n == "b.jpg")
            expected.push_back(n);
    ChooseFolder(m_photos.Path());
    EXPECT_EQ(ListedNames(), expected);
}

TEST_F(MainWindow, NodeWithoutAPathEmptiesThePathBoxAndKeepsTheList) {
    WriteTextFile(m_photos / "a.jpg", "a");
    ChooseFolder(m_photos.Path());
    m_dlg->SetDlgItemText(IDC_PATH, m_photos.Path());
    CBusyTreeCtrl& tree = m_dlg->m_tree;
    HTREEITEM outside = nullptr;
    for (HTREEITEM h = tree.GetChildItem(TVI_ROOT); h && !outside; h = tree.GetNextSiblingItem(h)) {
        char path[MAX_PATH] = {};
        auto pidl = reinterpret_cast<LPCITEMIDLIST>(tree.GetItemData(h));
        if (!::SHGetPathFromIDListA(pidl, path))
            outside = h;
    }
    ASSERT_NE(outside, nullptr);
    tree.SelectItem(outside);
    PumpPending();
    EXPECT_EQ(m_dlg->m_strFolderPath, "");
    EXPECT_EQ(Text(m_dlg->GetDlgItemHwnd(IDC_PATH)), "");
    EXPECT_EQ(ListedNames(), std::vector<std::string>{"a.jpg"});
}

TEST_F(MainWindow, ClickingTheTabsSwapsThePages) {
    ClickTab(1);
    EXPECT_FALSE(Page().IsWindowVisible());
    EXPECT_TRUE(m_dlg->m_pageExpert.IsWindowVisible());
    ClickTab(0);
    EXPECT_TRUE(Page().IsWindowVisible());
    EXPECT_FALSE(m_dlg->m_pageExpert.IsWindowVisible());
}

TEST_F(MainWindow, PagesSitInsideTheTabControl) {
    RECT tab;
    m_dlg->m_tabPages.GetClientRect(&tab);
    RECT page = RectInParent(Page().m_hWnd, m_dlg->m_tabPages.m_hWnd);
    EXPECT_EQ(page.left, 4);
    EXPECT_EQ(page.top, 25);
    EXPECT_EQ(page.right, tab.right - 4);
    EXPECT_EQ(page.bottom, tab.bottom - 4);
    EXPECT_EQ(::GetParent(Page().m_hWnd), m_dlg->m_tabPages.m_hWnd);
}

TEST_F(MainWindow, TabLabelsAndColumnAreLookedUp) {
    EXPECT_EQ(m_dlg->m_tabPages.GetItemCount(), 2);
    EXPECT_EQ(m_dlg->m_tabPages.GetItemText(0), "  Beginner  ");
    EXPECT_EQ(m_dlg->m_tabPages.GetItemText(1), "  Expert  ");
    EXPECT_EQ(m_dlg->m_tabPages.GetCurSel(), 0);
    char heading[64] = {};
    LVCOLUMNA col = {};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = heading;
    col.cchTextMax = sizeof(heading);
    m_dlg->m_listFiles.SendMessage(LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    EXPECT_STREQ(heading, "File List");
    EXPECT_EQ(col.cx, 200);
}

class TranslatedTabs : public MainWindow {
    std::string LanguageFile() const override {
        return "[Setting]\r\nLanguage=English\r\n[Message]\r\nBeginner=Start "
               "here\r\nExpert=More\r\n";
    }
};

TEST_F(TranslatedTabs, TabLabelsComeFromTheLanguageFile) {
    EXPECT_EQ(m_dlg->m_tabPages.GetItemText(0), "Start here");
    EXPECT_EQ(m_dlg->m_tabPages.GetItemText(1), "More");
}

// What the About box looked like while it was open.
struct AboutSeen {
    bool seen = false;
    HWND owner = nullptr;
    bool ownerEnabled = true;
    bool overOwner = false;
    std::vector<std::string> clipped; // texts wider than their control
};
AboutSeen g_about;

BOOL CALLBACK NoteClippedText(HWND hChild, LPARAM) {
    char text[256] = {};
    // text statics only: the icon's "text" is its resource number
    if ((::GetWindowLongA(hChild, GWL_STYLE) & SS_TYPEMASK) > SS_RIGHT ||
        !::GetWindowTextA(hChild, text, sizeof(text)))
        return TRUE;
    RECT rc;
    ::GetClientRect(hChild, &rc);
    CClientDC dc(hChild);
    CSelectObject font(dc.Get(),
                       reinterpret_cast<HGDIOBJ>(::SendMessageA(hChild, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(strlen(text)), &extent);
    if (extent.cx > rc.right)
        g_about.clipped.push_back(text);
    return TRUE;
}

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
    HWND about = ::FindWindowA(nullptr, "About Tessivox");
    if (!about)
        return;
    ::KillTimer(nullptr, id);
    g_about.seen = true;
    g_about.owner = ::GetWindow(about, GW_OWNER);
    g_about.ownerEnabled = ::IsWindowEnabled(g_about.owner) != FALSE;
    RECT box, owner, both;
    ::GetWindowRect(about, &box);
    ::GetWindowRect(g_about.owner, &owner);
    g_about.overOwner = ::IntersectRect(&both, &box, &owner) != FALSE;
    ::EnumChildWindows(about, &NoteClippedText, 0);
    ::PostMessageA(about, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindow, AboutItemOpensTheAboutBoxModalToTheMainWindow) {
    char item[64] = {};
    ::GetMenuStringA(::GetSystemMenu(m_dlg->m_hWnd, FALSE), IDM_ABOUTBOX, item, sizeof(item),
                     MF_BYCOMMAND);
    EXPECT_STREQ(item, "&About Tessivox...");
    ::SetTimer(nullptr, 0, 20, &CloseAbout);
    m_dlg->SendMessage(WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
    ASSERT_TRUE(g_about.seen);
    EXPECT_EQ(g_about.owner, m_dlg->m_hWnd); // owned, so always above it
    EXPECT_FALSE(g_about.ownerEnabled);
    EXPECT_TRUE(g_about.overOwner);
    EXPECT_EQ(g_about.clipped, std::vector<std::string>{});
    EXPECT_EQ(::FindWindowA(nullptr, "About Tessivox"), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(m_dlg->m_hWnd));
}

TEST_F(MainWindow, ResizingMovesAndStretchesTheControlsByTheirAnchors) {
    std::map<int, RECT> before;
    for (int id : {IDC_PAGE_TABS, IDC_FILE_LIST_LABEL, IDC_FILE_LIST, IDC_FOLDER_TREE, IDC_PATH,
                   IDC_PROGRESS_FRAME, IDC_PATH_LABEL})
        before[id] = Rect(id);
    RECT win;
    m_dlg->GetWindowRect(&win);
    ::SetWindowPos(m_dlg->m_hWnd, nullptr, 0, 0, win.right - win.left + 50,
                   win.bottom - win.top + 40, SWP_NOMOVE | SWP_NOZORDER);
    for (int id : {IDC_PAGE_TABS, IDC_FILE_LIST_LABEL}) {
        EXPECT_EQ(Rect(id).left, before[id].left + 50) << id;
        EXPECT_EQ(Rect(id).right, before[id].right + 50) << id;
        EXPECT_EQ(Rect(id).bottom, before[id].bottom) << id;
    }
    EXPECT_EQ(Rect(IDC_FILE_LIST).left, before[IDC_FILE_LIST].left + 50);
    EXPECT_EQ(Rect(IDC_FILE_LIST).bottom, before[IDC_FILE_LIST].bottom + 40);
    EXPECT_EQ(Rect(IDC_FOLDER_TREE).right, before[IDC_FOLDER_TREE].right + 50);
    EXPECT_EQ(Rect(IDC_FOLDER_TREE).bottom, before[IDC_FOLDER_TREE].bottom + 40);
    EXPECT_EQ(Rect(IDC_PATH).right, before[IDC_PATH].right + 50);
    EXPECT_EQ(Rect(IDC_PATH).bottom, before[IDC_PATH].bottom);
    EXPECT_EQ(Rect(IDC_PROGRESS_FRAME).top, before[IDC_PROGRESS_FRAME].top + 40);
    EXPECT_EQ(Rect(IDC_PROGRESS_FRAME).right, before[IDC_PROGRESS_FRAME].right + 50);
    RECT label = Rect(IDC_PATH_LABEL);
    EXPECT_TRUE(::EqualRect(&before[IDC_PATH_LABEL], &label));
}

TEST_F(MainWindow, AddEnablesThePrefixAndTypingShowsItInTheSample) {
    Click(IDC_ADD_PREFIX);
    EXPECT_TRUE(Enabled(IDC_PREFIX));
    EXPECT_EQ(Sample(), "filename2004-09-21 11_19_48");
    Type(IDC_PREFIX, "X");
    EXPECT_EQ(Sample(), "Xfilename2004-09-21 11_19_48");
    Click(IDC_ADD_PREFIX);
    EXPECT_FALSE(Enabled(IDC_PREFIX));
    EXPECT_EQ(Sample(), "filename2004-09-21 11_19_48");
}

TEST_F(MainWindow, ReplaceChangesTheSampleAndUncheckingItLeavesTheSample) {
    Click(IDC_REPLACE);
    EXPECT_TRUE(Enabled(IDC_REPLACE_FROM));
    EXPECT_TRUE(Enabled(IDC_REPLACE_TO));
    Type(IDC_REPLACE_FROM, "file");
    Type(IDC_REPLACE_TO, "photo");
    EXPECT_EQ(Sample(), "photoname2004-09-21 11_19_48");
    Click(IDC_REPLACE);
    EXPECT_FALSE(Enabled(IDC_REPLACE_FROM));
    EXPECT_FALSE(Enabled(IDC_REPLACE_TO));
    EXPECT_EQ(Sample(), "photoname2004-09-21 11_19_48");
    Click(IDC_REMOVE_OLD_NAME); // the next recomputation drops the replacement
    EXPECT_EQ(Sample(), "2004-09-21 11_19_48");
}

TEST_F(MainWindow, OptionTextsStopAtFortyCharacters) {
    Click(IDC_ADD_PREFIX);
    Click(IDC_REPLACE);
    for (int id : {IDC_PREFIX, IDC_REPLACE_FROM, IDC_REPLACE_TO}) {
        Type(id, std::string(41, 'k'));
        EXPECT_EQ(Text(PageItem(id)).size(), 40u) << id;
        // characters, not bytes of UTF-8
        ::SetWindowTextA(PageItem(id), "");
        for (int i = 0; i < 41; ++i)
            ::SendMessageW(PageItem(id), WM_CHAR, 0x65E5, 0);
        EXPECT_EQ(::GetWindowTextLengthW(PageItem(id)), 40) << id;
    }
}

TEST_F(MainWindow, ExpertOptionsAreMadeOnFirstShowingOffAndEnterDoesNothing) {
    CExpertOptions& options = m_dlg->m_pageExpert.m_options;
    EXPECT_EQ(options.m_hWnd, nullptr);
    ClickTab(1);
    ASSERT_NE(options.m_hWnd, nullptr);
    EXPECT_FALSE(m_dlg->m_pageExpert.UsesPhotoDate());
    EXPECT_FALSE(m_dlg->m_pageExpert.ShowsNewNames());
    HWND header = ListView_GetHeader(m_dlg->m_listFiles.m_hWnd);
    const HWND showNames = ::GetDlgItem(options.m_hWnd, IDC_SHOW_NEW_NAMES);
    ::SendMessageA(showNames, BM_CLICK, 0, 0);
    EXPECT_EQ(Header_GetItemCount(header), 2);
    ::SendMessageA(showNames, BM_CLICK, 0, 0);
    EXPECT_EQ(Header_GetItemCount(header), 1);
    for (CWnd* page : {static_cast<CWnd*>(&m_dlg->m_pageExpert), static_cast<CWnd*>(&options)}) {
        page->SendMessage(WM_COMMAND, IDOK, 0);
        page->SendMessage(WM_COMMAND, IDCANCEL, 0);
    }
    // Enter on a check box, as the program's message loop hands it on
    HWND box = ::GetDlgItem(options.m_hWnd, IDC_USE_PHOTO_DATE);
    ::SetFocus(box);
    MSG enter = {box, WM_KEYDOWN, VK_RETURN, 0, 0, {0, 0}};
    if (!AfxPreTranslateMessage(&enter))
        ::DispatchMessageA(&enter);
    EXPECT_TRUE(options.IsWindowVisible());
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    EXPECT_TRUE(m_dlg->m_pageExpert.IsWindowVisible());
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_EQ(Journal().size(), 0u);
}

TEST_F(MainWindow, FolderTreeSelectionGivesThePathAndTheList) {
    WriteTextFile(m_photos / "x.jpg", "x");
    // the tree's own notification, as a selection produces it
    m_dlg->m_tree.m_strSelPath = m_photos.Path();
    NMTREEVIEWA nm = {};
    nm.hdr = {m_dlg->m_tree.m_hWnd, IDC_FOLDER_TREE, static_cast<UINT>(TVN_SELCHANGEDA)};
    m_dlg->SendMessage(WM_NOTIFY, IDC_FOLDER_TREE, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(m_dlg->m_strFolderPath, m_photos.Path());
    EXPECT_EQ(Text(m_dlg->GetDlgItemHwnd(IDC_PATH)), m_photos.Path());
    EXPECT_EQ(ListedNames(), std::vector<std::string>{"x.jpg"});
}

// Whether a control's text fits it, measured in the control's own font: a
// check box's on one line beside its box, a static text wrapped to its width.
bool TextFits(HWND hCtrl) {
    wchar_t text[512] = {};
    const int length = ::GetWindowTextW(hCtrl, text, 512);
    RECT rc;
    ::GetClientRect(hCtrl, &rc);
    const bool checkBox = (::GetWindowLongA(hCtrl, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    if (checkBox)
        rc.right -= ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
    CClientDC dc(hCtrl);
    CSelectObject font(dc.Get(),
                       reinterpret_cast<HGDIOBJ>(::SendMessageA(hCtrl, WM_GETFONT, 0, 0)));
    RECT need = {0, 0, rc.right, 0};
    ::DrawTextW(dc.Get(), text, length, &need,
                DT_CALCRECT | (checkBox ? DT_SINGLELINE : DT_WORDBREAK));
    return need.right <= rc.right && need.bottom <= rc.bottom;
}

// The Expert page at the window's smallest size, with new names shown: every
// text fits, and the picture goes to the README.
void CheckAndPictureExpertPage(CRenamerDlg& dlg, const std::string& folder, const char* picture) {
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"})
        WriteTextFile(folder + "\\" + name, name);
    dlg.m_strFolderPath = folder;
    dlg.FillFileList();
    dlg.m_tabPages.SetCurSel(1);
    NMHDR hdr = {dlg.m_tabPages.m_hWnd, IDC_PAGE_TABS, static_cast<UINT>(NM_CLICK)};
    dlg.SendMessage(WM_NOTIFY, IDC_PAGE_TABS, reinterpret_cast<LPARAM>(&hdr));
    HWND options = dlg.m_pageExpert.m_options.m_hWnd;
    for (int id : {IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES})
        ::SendMessageA(::GetDlgItem(options, id), BM_CLICK, 0, 0);
    for (int id : {IDC_EXPERT_OPTIONS_NOTE, IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES})
        EXPECT_TRUE(TextFits(::GetDlgItem(options, id))) << id;
    // below the contact text, which stays where it was, and all of it on the page
    HWND page = dlg.m_pageExpert.m_hWnd;
    RECT placed = RectInParent(options, page),
         contact = RectInParent(::GetDlgItem(page, IDC_CONTACT), page), all;
    ::GetClientRect(page, &all);
    EXPECT_GE(placed.top, contact.bottom);
    EXPECT_LE(placed.bottom, all.bottom);
    ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(SaveCapture(CaptureClient(dlg.m_hWnd), picture));
}

TEST_F(MainWindow, ExpertPageFitsItsTextsInEnglish) {
    CheckAndPictureExpertPage(*m_dlg, m_photos.Path(), "expert-page-en.png");
}

class GermanWindow : public MainWindow {
    std::string LanguageFile() const override {
        return ReadTextFile(std::string(TESSIVOX_SOURCE_DIR) + "\\res\\Languages\\German.ini");
    }
};

TEST_F(GermanWindow, ExpertPageFitsItsTextsInGerman) {
    CheckAndPictureExpertPage(*m_dlg, m_photos.Path(), "expert-page-de.png");
}

} // namespace
