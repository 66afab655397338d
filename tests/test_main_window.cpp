// The main window and its option pages on real windows.
#include "support/MainWindowFixture.h"

#include "platform/Dpi.h"
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

TEST_F(MainWindow, PagesFillTheTabControlsDisplayArea) {
    RECT display;
    m_dlg->m_tabPages.GetClientRect(&display);
    m_dlg->m_tabPages.SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    for (CWnd* page : {static_cast<CWnd*>(&Page()), static_cast<CWnd*>(&m_dlg->m_pageExpert)}) {
        RECT placed = RectInParent(page->m_hWnd, m_dlg->m_tabPages.m_hWnd);
        EXPECT_TRUE(::EqualRect(&placed, &display));
        EXPECT_EQ(::GetParent(page->m_hWnd), m_dlg->m_tabPages.m_hWnd);
    }
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
    EXPECT_EQ(col.cx, ScaleForDpi(200, m_dlg->GetDpi()));
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
    HWND page = m_dlg->m_pageExpert.m_hWnd;
    const RECT contact = RectInParent(::GetDlgItem(page, IDC_CONTACT), page);
    ClickTab(1);
    ASSERT_NE(options.m_hWnd, nullptr);
    // the contact text, as the notice and its icon, went up by 20 units, to make room
    RECT raise = {0, 0, 0, 20};
    ::MapDialogRect(options.m_hWnd, &raise);
    const RECT raised = RectInParent(::GetDlgItem(page, IDC_CONTACT), page);
    EXPECT_EQ(raised.top, contact.top - raise.bottom);
    EXPECT_EQ(raised.bottom, contact.bottom - raise.bottom);
    EXPECT_FALSE(m_dlg->m_pageExpert.UsesPhotoDate());
    EXPECT_FALSE(m_dlg->m_pageExpert.ShowsNewNames());
    EXPECT_FALSE(m_dlg->m_pageExpert.KeepsRelatedTogether());
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

TEST_F(MainWindow, NamingOptionsAreOffUntilThePageOpensThenFollowEveryClickAndKeystroke) {
    RenameOptions read;
    read.usePattern = read.dateOrder = read.lowerCaseExtensions = 1;
    read.pattern = read.timeShift = "x";
    m_dlg->m_pageExpert.ReadNamingOptions(read);
    EXPECT_EQ(m_dlg->m_pageExpert.m_options.m_hWnd, nullptr);
    EXPECT_EQ(read.usePattern, 0);
    EXPECT_EQ(read.pattern, "");
    EXPECT_EQ(read.timeShift, "");
    EXPECT_EQ(read.dateOrder, 0);
    EXPECT_EQ(read.lowerCaseExtensions, 0);

    ClickTab(1);
    HWND options = m_dlg->m_pageExpert.m_options.m_hWnd;
    auto item = [options](int id) { return ::GetDlgItem(options, id); };
    auto type = [](HWND edit, const wchar_t* text) {
        for (; *text; ++text)
            ::SendMessageW(edit, WM_CHAR, *text, 0);
    };
    EXPECT_FALSE(::IsWindowEnabled(item(IDC_PATTERN)));
    ::SendMessageA(item(IDC_USE_PATTERN), BM_CLICK, 0, 0);
    EXPECT_TRUE(::IsWindowEnabled(item(IDC_PATTERN)));
    // Each keystroke reaches the main window: with the new names switched on
    // silently, the first one brings their column, and off again, the next takes it.
    HWND header = ListView_GetHeader(m_dlg->m_listFiles.m_hWnd);
    ::SendMessageA(item(IDC_SHOW_NEW_NAMES), BM_SETCHECK, BST_CHECKED, 0);
    type(item(IDC_PATTERN), L"<yyyy>-<nnn> \x65E5");
    EXPECT_EQ(Header_GetItemCount(header), 2);
    ::SendMessageA(item(IDC_SHOW_NEW_NAMES), BM_SETCHECK, BST_UNCHECKED, 0);
    type(item(IDC_TIME_SHIFT), L"+1 2:00");
    EXPECT_EQ(Header_GetItemCount(header), 1);
    ::SendMessageA(item(IDC_DATE_ORDER), BM_CLICK, 0, 0);
    ::SendMessageA(item(IDC_LOWER_CASE_EXTENSIONS), BM_CLICK, 0, 0);

    const RenameOptions& o = Page().ReadOptions();
    EXPECT_EQ(o.usePattern, 1);
    EXPECT_EQ(o.pattern, "<yyyy>-<nnn> \xE6\x97\xA5");
    EXPECT_EQ(o.timeShift, "+1 2:00");
    EXPECT_EQ(o.dateOrder, 1);
    EXPECT_EQ(o.lowerCaseExtensions, 1);
    // a hundred characters of a pattern, not bytes
    ::SetWindowTextW(item(IDC_PATTERN), L"");
    for (int i = 0; i < 101; ++i)
        ::SendMessageW(item(IDC_PATTERN), WM_CHAR, 0x65E5, 0);
    EXPECT_EQ(::GetWindowTextLengthW(item(IDC_PATTERN)), 100);
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

TEST_F(MainWindow, ScreenReadersHearWhatEachControlIsAndTheLinkAndStripRoles) {
    struct Named {
        HWND hWnd;
        const char* name;
        LONG role; // 0: the system's own, which Wine reports as a plain client area
    };
    ClickTab(1); // which makes the expert options
    HWND options = m_dlg->m_pageExpert.m_options.m_hWnd;
    const Named controls[] = {
        {m_dlg->m_tree.m_hWnd, "Folders", 0},
        {m_dlg->m_tabPages.m_hWnd, "Options", 0},
        {m_dlg->m_listFiles.m_hWnd, "Files", 0},
        {PageItem(IDC_PREFIX), "Text to add", ROLE_SYSTEM_TEXT},
        {PageItem(IDC_REPLACE_FROM), "Text to replace", ROLE_SYSTEM_TEXT},
        {PageItem(IDC_REPLACE_TO), "Replacement", ROLE_SYSTEM_TEXT},
        {PageItem(IDC_HOMEPAGE_LINK), "Visit Tessivox's Homepage", ROLE_SYSTEM_LINK},
        {m_dlg->m_pProgress->m_hWnd, "Progress", ROLE_SYSTEM_PROGRESSBAR},
        {::GetDlgItem(options, IDC_PATTERN), "Name pattern", ROLE_SYSTEM_TEXT},
        {::GetDlgItem(options, IDC_TIME_SHIFT), "Time shift", ROLE_SYSTEM_TEXT},
    };
    for (const Named& c : controls) {
        const AccessibleFacts facts = ReadAccessible(c.hWnd);
        EXPECT_EQ(facts.name, c.name);
        if (c.role) {
            EXPECT_EQ(facts.role, c.role) << c.name;
        }
    }
    EXPECT_EQ(ReadAccessible(m_dlg->m_pProgress->m_hWnd).value, "0%");
    // the window texts the language file's keys are made from stay as they were
    EXPECT_EQ(Text(m_dlg->m_tree.m_hWnd), "ShellTree Control");
    EXPECT_EQ(Text(m_dlg->m_tabPages.m_hWnd), "Tab1");
}

// What a user at this DPI would see wrong in a window and everything in it: a
// text its control cuts, two controls on top of each other, a control cut by
// its parent's edge, a page over the tab headers. Empty when nothing is.
class CLayoutFaults {
public:
    explicit CLayoutFaults(HWND hRoot) { Visit(hRoot); }
    std::vector<std::string> m_faults;

private:
    static std::string Describe(HWND h) {
        char text[64] = {};
        ::GetWindowTextA(h, text, sizeof(text));
        return std::to_string(::GetDlgCtrlID(h)) + " \"" + text + "\"";
    }
    static std::wstring ClassOf(HWND h) {
        wchar_t cls[32] = {};
        ::GetClassNameW(h, cls, 32);
        return cls;
    }
    // Group boxes hold other controls and the size grip lies under the list's corner.
    static bool MayOverlap(HWND h) {
        const LONG style = ::GetWindowLongW(h, GWL_STYLE);
        const std::wstring cls = ClassOf(h);
        return (cls == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX) ||
               (cls == L"ScrollBar" && (style & SBS_SIZEGRIP));
    }
    void CheckText(HWND h) {
        const std::wstring cls = ClassOf(h);
        const LONG style = ::GetWindowLongW(h, GWL_STYLE);
        wchar_t text[512] = {};
        const int length = ::GetWindowTextW(h, text, 512);
        if (length == 0 || (cls != L"Button" && cls != L"Static"))
            return;
        RECT rc;
        ::GetClientRect(h, &rc);
        const UINT dpi = WindowDpi(h);
        UINT format = DT_SINGLELINE;
        if (cls == L"Static") {
            if ((style & SS_TYPEMASK) > SS_RIGHT)
                return; // icons, frames, bitmaps
            format = DT_WORDBREAK;
        } else {
            switch (style & BS_TYPEMASK) {
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                rc.right -= SystemMetricForDpi(SM_CXMENUCHECK, dpi) + ScaleForDpi(4, dpi);
                break;
            case BS_GROUPBOX:
                rc.right -= ScaleForDpi(16, dpi);
                break;
            default: // a push button's edge
                rc.right -= ScaleForDpi(4, dpi);
                break;
            }
            if (style & BS_MULTILINE)
                format = DT_WORDBREAK;
        }
        CClientDC dc(h);
        CSelectObject font(dc.Get(),
                           reinterpret_cast<HGDIOBJ>(::SendMessageW(h, WM_GETFONT, 0, 0)));
        RECT need = {0, 0, rc.right, 0};
        ::DrawTextW(dc.Get(), text, length, &need, DT_CALCRECT | format);
        if (need.right > rc.right || (format == DT_WORDBREAK && need.bottom > rc.bottom))
            m_faults.push_back("cut text: " + Describe(h));
    }
    void Visit(HWND hParent) {
        RECT area;
        ::GetClientRect(hParent, &area);
        std::vector<std::pair<HWND, RECT>> shown;
        for (HWND h = ::GetWindow(hParent, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(h))
                continue;
            const RECT rc = RectInParent(h, hParent);
            RECT inside;
            if (!MayOverlap(h) &&
                (!::IntersectRect(&inside, &rc, &area) || !::EqualRect(&inside, &rc)))
                m_faults.push_back("cut by its parent's edge: " + Describe(h));
            for (const auto& [other, otherRc] : shown) {
                // Controls whose places meet in dialog units may share the
                // pixel their edges round to at some DPIs.
                RECT both;
                if (!MayOverlap(h) && !MayOverlap(other) && ::IntersectRect(&both, &rc, &otherRc) &&
                    both.right - both.left > 1 && both.bottom - both.top > 1)
                    m_faults.push_back("overlap: " + Describe(h) + " and " + Describe(other));
            }
            shown.push_back({h, rc});
            CheckText(h);
            const std::wstring cls = ClassOf(h);
            if (cls == L"#32770" || cls == WC_TABCONTROLW)
                Visit(h);
            if (cls == WC_TABCONTROLW)
                CheckHeaders(h);
        }
    }
    void CheckHeaders(HWND hTab) {
        for (HWND page = ::GetWindow(hTab, GW_CHILD); page; page = ::GetWindow(page, GW_HWNDNEXT)) {
            if (!::IsWindowVisible(page))
                continue;
            const RECT rc = RectInParent(page, hTab);
            for (int i = 0, n = TabCtrl_GetItemCount(hTab); i < n; ++i) {
                RECT header, both;
                TabCtrl_GetItemRect(hTab, i, &header);
                if (::IntersectRect(&both, &rc, &header))
                    m_faults.push_back("page over tab header " + std::to_string(i));
            }
        }
    }
};

// The picture's name: the same at 96 DPI as always, with the DPI otherwise.
std::string PictureName(const char* base, HWND hWnd) {
    const UINT dpi = WindowDpi(hWnd);
    return std::string(base) + (dpi == kDefaultDpi ? "" : "-" + std::to_string(dpi)) + ".png";
}

// The window at its smallest size, the Beginner page and then the Expert page
// with the new names shown: nothing is cut or covered, and the pictures go to
// the README and the notes.
void CheckAndPictureBothPages(CRenamerDlg& dlg, const std::string& folder, const char* language) {
    for (const char* name : {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"})
        WriteTextFile(folder + "\\" + name, name);
    dlg.m_strFolderPath = folder;
    dlg.FillFileList();
    auto redraw = [&] {
        ::RedrawWindow(dlg.m_hWnd, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    };
    redraw();
    EXPECT_EQ(CLayoutFaults(dlg.m_hWnd).m_faults, std::vector<std::string>{});
    EXPECT_TRUE(
        SaveCapture(CaptureClient(dlg.m_hWnd),
                    PictureName(("main-window-" + std::string(language)).c_str(), dlg.m_hWnd)));

    dlg.m_tabPages.SetCurSel(1);
    NMHDR hdr = {dlg.m_tabPages.m_hWnd, IDC_PAGE_TABS, static_cast<UINT>(NM_CLICK)};
    dlg.SendMessage(WM_NOTIFY, IDC_PAGE_TABS, reinterpret_cast<LPARAM>(&hdr));
    HWND options = dlg.m_pageExpert.m_options.m_hWnd;
    for (int id : {IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES, IDC_KEEP_RELATED})
        ::SendMessageA(::GetDlgItem(options, id), BM_CLICK, 0, 0);
    // below the contact text, which was raised to make room for them
    HWND page = dlg.m_pageExpert.m_hWnd;
    EXPECT_GE(RectInParent(options, page).top,
              RectInParent(::GetDlgItem(page, IDC_CONTACT), page).bottom);
    redraw();
    EXPECT_EQ(CLayoutFaults(dlg.m_hWnd).m_faults, std::vector<std::string>{});
    EXPECT_TRUE(
        SaveCapture(CaptureClient(dlg.m_hWnd),
                    PictureName(("expert-page-" + std::string(language)).c_str(), dlg.m_hWnd)));
}

using MainWindowLayout = MainWindow;

TEST_F(MainWindowLayout, FitsEveryTextAndOverlapsNothingInEnglish) {
    CheckAndPictureBothPages(*m_dlg, m_photos.Path(), "en");
}

class GermanWindowLayout : public MainWindow {
    std::string LanguageFile() const override {
        return ReadTextFile(std::string(TESSIVOX_SOURCE_DIR) + "\\res\\Languages\\German.ini");
    }
};

TEST_F(GermanWindowLayout, FitsEveryTextAndOverlapsNothingInGerman) {
    CheckAndPictureBothPages(*m_dlg, m_photos.Path(), "de");
}

// A move to a monitor of twice the scale: what the window sizes itself
// follows, and the whole window still fits its texts and overlaps nothing.
using MainWindowDpi = MainWindow;

TEST_F(MainWindowDpi, FollowsAMoveToAMonitorOfAnotherScale) {
    const UINT dpi = m_dlg->GetDpi();
    const int column = static_cast<int>(m_dlg->m_listFiles.SendMessage(LVM_GETCOLUMNWIDTH, 0));
    EXPECT_EQ(column, ScaleForDpi(200, dpi));
    RECT client;
    m_dlg->GetClientRect(&client);
    RECT suggested = {0, 0, 2 * client.right, 2 * client.bottom};
    ::AdjustWindowRectEx(&suggested, m_dlg->GetStyle(), FALSE, m_dlg->GetExStyle());
    ::OffsetRect(&suggested, -suggested.left, -suggested.top);
    m_dlg->SendMessage(WM_DPICHANGED, MAKEWPARAM(2 * dpi, 2 * dpi),
                       reinterpret_cast<LPARAM>(&suggested));
    PumpPending();
    EXPECT_EQ(m_dlg->m_listFiles.SendMessage(LVM_GETCOLUMNWIDTH, 0), 2 * column);
    RECT display;
    m_dlg->m_tabPages.GetClientRect(&display);
    m_dlg->m_tabPages.SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    RECT page = RectInParent(Page().m_hWnd, m_dlg->m_tabPages.m_hWnd);
    EXPECT_TRUE(::EqualRect(&page, &display));
    RECT strip;
    m_dlg->m_stcProgressFrame.GetWindowRect(&strip);
    EXPECT_EQ(m_dlg->m_pProgress->GetTileHeight(), strip.bottom - strip.top - 2);
    ::RedrawWindow(m_dlg->m_hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(CLayoutFaults(m_dlg->m_hWnd).m_faults, std::vector<std::string>{});
}

} // namespace
