// The main window as a keyboard user and Explorer reach it: one Tab order
// through the window and its pages, page switching, Enter and Escape that
// never end the program, mnemonics, and folders given by a path.
#include "support/MainWindowFixture.h"

#include "platform/CodePage.h"

#include <shlobj.h>

#include <map>
#include <set>

namespace {

class Keyboard : public MainWindowTest {
protected:
    int FocusedId() { return ::GetDlgCtrlID(::GetFocus()); }
    bool Checked(int id) { return ::SendMessageA(PageItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void Focus(HWND h) {
        ::SetFocus(h);
        PumpPending();
    }
    bool StillOpen() { return m_dlg->IsWindowVisible() && !m_dlg->IsEnding(); }
    void ClickExpertTab() {
        m_dlg->m_tabPages.SetCurSel(1);
        NMHDR hdr = {m_dlg->m_tabPages.m_hWnd, IDC_PAGE_TABS, static_cast<UINT>(TCN_SELCHANGE)};
        m_dlg->SendMessage(WM_NOTIFY, IDC_PAGE_TABS, reinterpret_cast<LPARAM>(&hdr));
    }
    HWND Item(int id) { return m_dlg->GetDlgItemHwnd(id); }
};

TEST_F(Keyboard, TabWalksTheWindowAndTheShownPageAndCtrlTabSwitchesPages) {
    Focus(Item(IDC_PATH));
    const std::vector<int> ring = {IDC_FOLDER_TREE, IDC_PAGE_TABS,          IDC_ADD_PREFIX,
                                   IDC_ADD_DATE,    IDC_ADD_TIME,           IDC_REMOVE_OLD_NAME,
                                   IDC_REPLACE,     IDC_INCLUDE_SUBFOLDERS, IDOK,
                                   IDC_BACK,        IDC_HOMEPAGE_LINK,      IDC_FILE_LIST,
                                   IDC_PATH};
    std::vector<int> walked;
    for (size_t i = 0; i < ring.size(); ++i) {
        Press(VK_TAB);
        walked.push_back(FocusedId());
    }
    EXPECT_EQ(walked, ring);
    Press(VK_TAB, false, true);
    EXPECT_EQ(FocusedId(), IDC_FILE_LIST);

    // Pages switch from anywhere; the focus does not stay on a hidden page.
    Focus(PageItem(IDC_ADD_DATE));
    Press(VK_TAB, true);
    EXPECT_TRUE(m_dlg->m_pageExpert.IsWindowVisible());
    EXPECT_FALSE(Page().IsWindowVisible());
    EXPECT_EQ(::GetFocus(), m_dlg->m_tabPages.m_hWnd);
    Press(VK_TAB, true, true);
    EXPECT_TRUE(Page().IsWindowVisible());
    Press(VK_NEXT, true);
    EXPECT_EQ(m_dlg->m_tabPages.GetCurSel(), 1);
    Press(VK_PRIOR, true);
    EXPECT_EQ(m_dlg->m_tabPages.GetCurSel(), 0);
    // the tab control's own arrow keys bring the page of the tab they choose
    Focus(m_dlg->m_tabPages.m_hWnd);
    Press(VK_RIGHT);
    EXPECT_EQ(m_dlg->m_tabPages.GetCurSel(), 1);
    EXPECT_TRUE(m_dlg->m_pageExpert.IsWindowVisible());
    // and Tab walks the Expert page's own options, past the pattern while it is off
    const std::vector<int> options = {
        IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES, IDC_KEEP_RELATED,         IDC_USE_PATTERN,
        IDC_TIME_SHIFT,     IDC_DATE_ORDER,     IDC_LOWER_CASE_EXTENSIONS};
    walked.clear();
    for (size_t i = 0; i < options.size(); ++i) {
        Press(VK_TAB);
        walked.push_back(FocusedId());
    }
    EXPECT_EQ(walked, options);
}

TEST_F(Keyboard, EnterAndEscapeNeverEndTheProgramAndEnterOnThePathGoesThere) {
    WriteTextFile(m_photos / "a.jpg", "a");
    MakeFolder(m_photos / "inner");
    for (HWND h : {Item(IDC_FOLDER_TREE), Item(IDC_FILE_LIST), m_dlg->m_tabPages.m_hWnd,
                   PageItem(IDC_BACK)}) {
        Focus(h);
        Press(VK_ESCAPE);
        if (h != PageItem(IDC_BACK))
            Press(VK_RETURN);
    }
    EXPECT_TRUE(StillOpen());
    EXPECT_TRUE(m_boxes.m_shown.empty());
    EXPECT_EQ(m_dlg->m_strFolderPath, ""); // nothing was chosen by itself

    // a path that names no folder is said so, and changes nothing
    Focus(Item(IDC_PATH));
    ::SetWindowTextA(Item(IDC_PATH), (m_photos / "missing").c_str());
    Press(VK_RETURN);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_NE(m_boxes.m_shown[0].text.find(m_photos / "missing"), std::string::npos);
    EXPECT_EQ(m_dlg->m_strFolderPath, "");
    // a folder is chosen in the tree as a click would choose it
    ::SetWindowTextA(Item(IDC_PATH), (m_photos.Path() + "\\").c_str());
    Press(VK_RETURN);
    EXPECT_TRUE(StillOpen());
    EXPECT_EQ(m_dlg->m_strFolderPath, m_photos.Path());
    EXPECT_EQ(m_dlg->m_tree.m_strSelPath, m_photos.Path());
    EXPECT_EQ(ListedNames(), std::vector<std::string>{"a.jpg"});

    // F5 reads the folder again, in the tree too; Ctrl+A in the list selects every file
    WriteTextFile(m_photos / "b.jpg", "b");
    MakeFolder(m_photos / "inner2");
    Focus(Item(IDC_FILE_LIST));
    Press(VK_F5);
    EXPECT_EQ(ListedNames().size(), 2u);
    int subfolders = 0;
    CBusyTreeCtrl& tree = m_dlg->m_tree;
    for (HTREEITEM c = tree.GetChildItem(tree.GetSelectedItem()); c; c = tree.GetNextSiblingItem(c))
        ++subfolders;
    EXPECT_EQ(subfolders, 2);
    // a closed folder stays closed and shows what is there when it opens
    HTREEITEM current = tree.GetSelectedItem();
    tree.Expand(current, TVE_COLLAPSE);
    MakeFolder(m_photos / "inner3");
    Press(VK_F5);
    TVITEMA item = {};
    item.mask = TVIF_STATE | TVIF_HANDLE;
    item.hItem = current;
    item.stateMask = TVIS_EXPANDED;
    tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_FALSE(item.state & TVIS_EXPANDED);
    tree.Expand(current, TVE_EXPAND);
    subfolders = 0;
    for (HTREEITEM c = tree.GetChildItem(current); c; c = tree.GetNextSiblingItem(c))
        ++subfolders;
    EXPECT_EQ(subfolders, 3);
    Focus(Item(IDC_FILE_LIST));
    Press('A', true);
    EXPECT_EQ(m_dlg->m_listFiles.GetSelectedCount(), 2);
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    EXPECT_TRUE(StillOpen());
    EXPECT_EQ(Journal().size(), 0u);
}

// Files dropped from Explorer, as the shell hands them over.
HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::wstring list;
    for (const std::string& p : paths)
        list += WidenName(p) + L'\0';
    list += L'\0';
    HGLOBAL mem = ::GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(mem));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::copy(list.begin(), list.end(), reinterpret_cast<wchar_t*>(drop + 1));
    ::GlobalUnlock(mem);
    return static_cast<HDROP>(mem);
}

TEST_F(Keyboard, DroppedFilesChooseTheirFolderAndAreSelected) {
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        WriteTextFile(m_photos / name, name);
    m_dlg->SendMessage(
        WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({m_photos / "c.jpg", m_photos / "a.jpg"})));
    EXPECT_EQ(m_dlg->m_strFolderPath, m_photos.Path());
    EXPECT_EQ(m_dlg->m_listFiles.GetSelectedCount(), 2);
    EXPECT_EQ(m_dlg->GetExStyle() & WS_EX_ACCEPTFILES, static_cast<DWORD>(WS_EX_ACCEPTFILES));
    CTempFolder other;
    m_dlg->SendMessage(WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({other.Path()})));
    EXPECT_EQ(m_dlg->m_strFolderPath, other.Path());
    EXPECT_EQ(m_dlg->m_listFiles.GetItemCount(), 0);
    EXPECT_TRUE(m_boxes.m_shown.empty());
}

// The texts a keyboard user reaches by Alt and a letter, in each shipped file.
TEST(ShippedLanguageFiles, GiveEveryOptionAndCommandAMnemonicOfItsOwn) {
    const char* keys[] = {"IDD102_1025", "IDD129_1018", "IDD129_1009", "IDD129_1011",
                          "IDD129_1010", "IDD129_1016", "IDD129_1022", "IDD129_1",
                          "IDD129_1024", "IDD140_1040", "IDD140_1041", "IDD140_1043",
                          "IDD140_1044", "IDD140_1047", "IDD140_1049", "IDD140_1050"};
    for (const char* file : {"English.ini", "German.ini"}) {
        const std::string path = std::string(TESSIVOX_SOURCE_DIR) + "\\res\\Languages\\" + file;
        std::set<wchar_t> letters;
        for (const char* key : keys) {
            wchar_t value[256] = {};
            ::GetPrivateProfileStringW(L"String", WidenName(key).c_str(), L"", value, 256,
                                       WidenName(path).c_str());
            const std::wstring text = value;
            const size_t amp = text.find(L'&');
            ASSERT_NE(amp, std::wstring::npos) << file << " " << key;
            EXPECT_EQ(text.find(L'&', amp + 1), std::wstring::npos) << file << " " << key;
            wchar_t letter[2] = {text[amp + 1], 0};
            ::CharUpperW(letter);
            EXPECT_TRUE(letters.insert(letter[0]).second) << file << " " << key;
        }
    }
}

class ShippedEnglish : public Keyboard {
    std::string LanguageFile() const override {
        return ReadTextFile(std::string(TESSIVOX_SOURCE_DIR) + "\\res\\Languages\\English.ini");
    }
};

TEST_F(ShippedEnglish, AltAndTheUnderlinedLetterReachesAnOptionOnThePage) {
    // Windows' dialog manager looks for the letters in containers of controls
    // only (Wine's looks everywhere): the tab control and the pages are ones.
    ClickExpertTab();
    for (HWND h : {m_dlg->m_tabPages.m_hWnd, Page().m_hWnd, m_dlg->m_pageExpert.m_hWnd,
                   m_dlg->m_pageExpert.m_options.m_hWnd})
        EXPECT_TRUE(::GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    Press(VK_TAB, true); // back to the Beginner page
    Focus(Item(IDC_FOLDER_TREE));
    ASSERT_TRUE(Checked(IDC_INCLUDE_SUBFOLDERS));
    MSG alt = {::GetFocus(), WM_SYSCHAR, 'i', 1 << 29, 0, {0, 0}};
    if (!AfxPreTranslateMessage(&alt))
        ::DispatchMessageA(&alt);
    PumpPending();
    EXPECT_FALSE(Checked(IDC_INCLUDE_SUBFOLDERS));
    EXPECT_EQ(Text(PageItem(IDC_INCLUDE_SUBFOLDERS)), "&Include subfolder");
    // a label's letter goes to the control after it
    MSG path = {::GetFocus(), WM_SYSCHAR, 'p', 1 << 29, 0, {0, 0}};
    if (!AfxPreTranslateMessage(&path))
        ::DispatchMessageA(&path);
    PumpPending();
    EXPECT_EQ(::GetFocus(), Item(IDC_PATH));
    // on the Expert page, the pattern's box and then its edit; the shift's label gives its edit
    ClickExpertTab();
    HWND options = m_dlg->m_pageExpert.m_options.m_hWnd;
    auto altKey = [](char letter) {
        MSG key = {::GetFocus(), WM_SYSCHAR, static_cast<WPARAM>(letter), 1 << 29, 0, {0, 0}};
        if (!AfxPreTranslateMessage(&key))
            ::DispatchMessageA(&key);
        PumpPending();
    };
    Focus(::GetDlgItem(options, IDC_USE_PHOTO_DATE));
    altKey('m');
    EXPECT_EQ(::SendMessageA(::GetDlgItem(options, IDC_USE_PATTERN), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    Press(VK_TAB);
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(options, IDC_PATTERN));
    altKey('c');
    EXPECT_EQ(::GetFocus(), ::GetDlgItem(options, IDC_TIME_SHIFT));
}

} // namespace
