// Rename runs on real files through the real window: selections, whole
// folders and trees, clashes, failures, Back, and input during a run.
#include "support/MainWindowFixture.h"

#include "rename/JournalFile.h"
#include "rename/NameComposer.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/MessageBox.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <thread>

namespace {

const char* const kDone = "Files name have been replaced successfully!";
const char* const kBackAsk = "Do you really want to cancel your changes?";
const char* const kBackDone = "All the name of files have been changed.";

class RenameRun : public MainWindowTest {
protected:
    // Messages the window meets once the run has renamed its first file.
    void PostAfterFirstFile(std::vector<std::pair<UINT, WPARAM>> messages) {
        m_dlg->m_pProgress->SetPercentListener([this, messages, posted = false](int p) mutable {
            if (p <= 0 || p >= 100 || posted)
                return;
            for (const auto& [message, wParam] : messages)
                ::PostMessageA(m_dlg->m_hWnd, message, wParam, 0);
            posted = true;
        });
    }
    void PostAfterFirstFile(UINT message) { PostAfterFirstFile({{message, 0}}); }
    // Files with distinct contents, so that every rename and Back can be checked byte for byte.
    void MakeFiles(const std::string& folder, const std::vector<std::string>& names) {
        for (const std::string& n : names)
            WriteTextFile(folder + "\\" + n, "content of " + folder + "\\" + n);
    }
    void AllOptionsOff() {
        for (int id : {IDC_ADD_DATE, IDC_ADD_TIME, IDC_INCLUDE_SUBFOLDERS})
            Check(id, false);
    }
    void Start() { Click(IDOK); }
    // An expert option clicked on: the Expert page is shown first, which makes it.
    void ClickExpert(int id) {
        m_dlg->m_pageExpert.ShowWindow(SW_SHOW);
        ::SendMessageA(::GetDlgItem(m_dlg->m_pageExpert.m_options.m_hWnd, id), BM_CLICK, 0, 0);
    }
    std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }
    // The last run's names: each old name with the name the journal says it got.
    std::map<std::string, std::string> RenamedByJournal() {
        std::map<std::string, std::string> renamed;
        for (size_t i = 0; i < Journal().size(); ++i)
            renamed[NameOf(Journal().oldPaths[i])] = NameOf(Journal().newPaths[i]);
        return renamed;
    }
    // The photo folder's names, sorted.
    std::vector<std::string> PhotoNames() {
        std::vector<std::string> names = ListFolder(m_photos.Path());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Back, answered Yes, gives every file of the photo folder its old name.
    void ExpectBackRestores(const std::vector<std::string>& before) {
        m_boxes.QueueAnswer(IDYES);
        Click(IDC_BACK);
        EXPECT_EQ(m_boxes.Texts().back(), kBackDone);
        EXPECT_EQ(PhotoNames(), before);
    }
    // The folder's files in the order the file system lists them, then each subfolder's.
    std::vector<std::string> WalkOrder(const std::string& folder, bool subfolders) {
        std::vector<std::string> files, order;
        std::vector<std::string> dirs;
        for (const std::string& n : ListFolder(folder)) {
            std::string full = folder + "\\" + n;
            if (::GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                dirs.push_back(full);
            else
                order.push_back(full);
        }
        if (subfolders)
            for (const std::string& d : dirs)
                for (const std::string& f : WalkOrder(d, true))
                    order.push_back(f);
        return order;
    }
};

TEST_F(RenameRun, SelectionRenamesExactlyTheSelectedFilesInListOrder) {
    std::vector<std::string> names;
    for (int i = 0; i < 10; ++i)
        names.push_back("IMG_00" + std::to_string(10 + i) + ".JPG");
    MakeFiles(m_photos.Path(), names);
    ChooseFolder(m_photos.Path());
    auto listed = ListedNames();
    ASSERT_EQ(listed.size(), 10u);
    for (int i : {7, 2, 4})
        Select(listed[i]);

    bool stripShownAtTheTop = false;
    AfxSetMessageBoxScript([&](const std::string& text, UINT) {
        m_boxes.m_shown.push_back({text, 0});
        stripShownAtTheTop =
            m_dlg->m_pProgress->IsWindowVisible() && m_dlg->m_pProgress->GetPos() == 10000;
        return IDOK;
    });
    Start();
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kDone});
    EXPECT_TRUE(stripShownAtTheTop);
    EXPECT_FALSE(m_dlg->m_pProgress->IsWindowVisible());
    std::vector<std::string> expected = {m_photos / listed[2], m_photos / listed[4],
                                         m_photos / listed[7]};
    EXPECT_EQ(Journal().oldPaths, expected);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_FALSE(FileExists(expected[i]));
        EXPECT_EQ(ReadTextFile(Journal().newPaths[i]), "content of " + expected[i]);
        EXPECT_EQ(
            NameOf(Journal().newPaths[i]).find(SplitFileName(NameOf(expected[i])).title + " "), 0u);
    }
    EXPECT_EQ(ListFolder(m_photos.Path()).size(), 10u);
    EXPECT_EQ(ListedNames().size(), 10u); // the list shows the new names
}

TEST_F(RenameRun, WholeFolderRenamesEachFoldersFilesBeforeItsSubfolders) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    WriteTextFile(m_photos / "hidden.jpg", "hidden");
    ::SetFileAttributesA((m_photos / "hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(m_photos / "sub1");
    MakeFolder(m_photos / "sub1\\deep");
    MakeFolder(m_photos / "sub2");
    MakeFiles(m_photos / "sub1", {"c.jpg"});
    MakeFiles(m_photos / "sub1\\deep", {"d.jpg", "e.jpg"});
    MakeFiles(m_photos / "sub2", {"f.jpg"});
    ChooseFolder(m_photos.Path());
    EXPECT_EQ(ListedNames().size(), 2u); // the hidden file is not listed

    auto expected = WalkOrder(m_photos.Path(), true);
    ASSERT_EQ(expected.size(), 7u);
    Start();
    EXPECT_EQ(Journal().oldPaths, expected);
    EXPECT_EQ(m_dlg->m_pProgress->GetPos(), 10000);
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_FALSE(FileExists(expected[i])) << expected[i];
}

TEST_F(RenameRun, SubfoldersOffRenamesOnlyTheFolderItself) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    MakeFolder(m_photos / "sub");
    MakeFiles(m_photos / "sub", {"d.jpg"});
    ChooseFolder(m_photos.Path());
    Click(IDC_INCLUDE_SUBFOLDERS);
    Start();
    EXPECT_EQ(Journal().size(), 3u);
    EXPECT_TRUE(FileExists(m_photos / "sub\\d.jpg"));
}

TEST_F(RenameRun, ClashNumbersRunThroughTheRunAndStartAgainInTheNext) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    AllOptionsOff();
    Start();
    ASSERT_EQ(Journal().size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        auto parts = SplitFileName(NameOf(Journal().oldPaths[i]));
        EXPECT_EQ(NameOf(Journal().newPaths[i]),
                  parts.title + "-" + std::to_string(i + 1) + ".jpg");
    }
    Start();
    std::set<std::string> suffixes;
    for (const std::string& p : Journal().newPaths)
        suffixes.insert(p.substr(p.rfind('-')));
    EXPECT_EQ(suffixes, (std::set<std::string>{"-1.jpg", "-2.jpg", "-3.jpg"}));
}

TEST_F(RenameRun, NameDifferingOnlyInLetterCaseOrTakenByAFolderClashes) {
    MakeFiles(m_photos.Path(), {"A.jpg", "x.jpg", "xx.jpg"});
    ASSERT_TRUE(::CreateDirectoryA((m_photos / "AA.jpg").c_str(), nullptr));
    ChooseFolder(m_photos.Path());
    AllOptionsOff();
    Click(IDC_REPLACE);
    Type(IDC_REPLACE_FROM, "x");
    Type(IDC_REPLACE_TO, "a");
    Select("x.jpg");
    Select("xx.jpg");
    Start();
    ASSERT_EQ(Journal().size(), 2u);
    std::set<std::string> made = {NameOf(Journal().newPaths[0]), NameOf(Journal().newPaths[1])};
    EXPECT_TRUE(made.count("a-1.jpg") || made.count("a-2.jpg")) << *made.begin();
    EXPECT_TRUE(made.count("aa-1.jpg") || made.count("aa-2.jpg")) << *made.rbegin();
    EXPECT_EQ(ReadTextFile(m_photos / "A.jpg"), "content of " + (m_photos / "A.jpg"));
    EXPECT_TRUE(::GetFileAttributesA((m_photos / "AA.jpg").c_str()) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(RenameRun, OptionChangedDuringARunTakesEffectFromTheNextFile) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    for (const std::string& n : ListedNames())
        Select(n);
    // dispatched by the run after its first file
    ::PostMessageA(PageItem(IDC_ADD_DATE), BM_SETCHECK, BST_UNCHECKED, 0);
    Start();
    ASSERT_EQ(Journal().size(), 3u);
    EXPECT_NE(NameOf(Journal().newPaths[0]).find("  "), std::string::npos); // date and time
    EXPECT_EQ(NameOf(Journal().newPaths[1]).find("  "), std::string::npos); // time only
    EXPECT_EQ(NameOf(Journal().newPaths[2]).find("  "), std::string::npos);
}

TEST_F(RenameRun, FileInUseStopsTheRunAndBackRestoresWhatWasRenamed) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    auto listed = ListedNames();
    for (const std::string& n : listed)
        Select(n);
    HANDLE held = ::CreateFileA((m_photos / listed[1]).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Start();
    ::CloseHandle(held);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u); // the platform's error, not the closing message
    EXPECT_NE(m_boxes.m_shown[0].text.find(listed[1]), std::string::npos);
    ASSERT_EQ(Journal().size(), 1u);
    EXPECT_EQ(Journal().oldPaths[0], m_photos / listed[0]);
    EXPECT_TRUE(m_dlg->m_pProgress->IsWindowVisible()); // left as the failure found it
    EXPECT_TRUE(FileExists(m_photos / listed[2]));
    auto shownNow = ListedNames(); // the folder as it is, not the names before the run
    auto onDisk = ListFolder(m_photos.Path());
    std::sort(shownNow.begin(), shownNow.end());
    std::sort(onDisk.begin(), onDisk.end());
    EXPECT_EQ(shownNow, onDisk);

    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    for (const std::string& n : listed)
        EXPECT_EQ(ReadTextFile(m_photos / n), "content of " + (m_photos / n)) << n;
    EXPECT_EQ(m_boxes.Texts().back(), kBackDone);
}

TEST_F(RenameRun, RunAndBackKeepEveryFilesBytes) {
    MakeFiles(m_photos.Path(), {"1.jpg", "2.jpg", "3.jpg", "4.jpg"});
    MakeFolder(m_photos / "sub");
    MakeFiles(m_photos / "sub", {"5.jpg"});
    auto before = WalkOrder(m_photos.Path(), true);
    ChooseFolder(m_photos.Path());
    Start();
    std::multiset<std::string> contents;
    for (const std::string& p : Journal().newPaths)
        contents.insert(ReadTextFile(p));
    std::multiset<std::string> expected;
    for (const std::string& p : before)
        expected.insert("content of " + p);
    EXPECT_EQ(contents, expected);

    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.m_shown.back().text, kBackDone);
    for (const std::string& p : before)
        EXPECT_EQ(ReadTextFile(p), "content of " + p);

    // a second Back after a complete one has nothing left to do, and says so as usual
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.m_shown.back().text, kBackDone);
    for (const std::string& p : before)
        EXPECT_EQ(ReadTextFile(p), "content of " + p);
}

TEST_F(RenameRun, BackAnsweredNoChangesNothingAndAnEmptyBackReports) {
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{kBackAsk, kBackDone}));

    MakeFiles(m_photos.Path(), {"a.jpg"});
    ChooseFolder(m_photos.Path());
    Start();
    std::string renamed = Journal().newPaths.at(0);
    m_boxes.QueueAnswer(IDNO);
    Click(IDC_BACK);
    EXPECT_TRUE(FileExists(renamed));
    EXPECT_EQ(m_boxes.Texts().back(), kBackAsk);
}

TEST_F(RenameRun, AStartThatRenamesNothingSaysSoAndKeepsTheLastRunUndoable) {
    MakeFiles(m_photos.Path(), {"a.jpg"});
    ChooseFolder(m_photos.Path());
    Start();
    ASSERT_EQ(Journal().size(), 1u);
    const std::string renamed = Journal().newPaths[0];
    MakeFolder(m_photos / "empty");
    ChooseFolder(m_photos / "empty");
    Start(); // a folder without files: no division by zero, an ordinary end
    EXPECT_EQ(m_boxes.Texts().back(), "No file was renamed.");
    EXPECT_EQ(m_dlg->m_pProgress->GetPos(), 10000);
    ASSERT_EQ(Journal().size(), 1u);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_TRUE(FileExists(m_photos / "a.jpg"));
    EXPECT_FALSE(FileExists(renamed));
}

TEST_F(RenameRun, StartWithoutAFolderRenamesNothingAndAsksForOne) {
    MakeFiles(m_photos.Path(), {"a.jpg"});
    ChooseFolder(m_photos.Path());
    m_dlg->m_strFolderPath.clear();
    Start();
    EXPECT_EQ(m_boxes.Texts(),
              std::vector<std::string>{"Please choose a folder in the tree first."});
    EXPECT_TRUE(FileExists(m_photos / "a.jpg"));
    EXPECT_FALSE(m_dlg->m_pProgress->IsWindowVisible());
}

TEST_F(RenameRun, NothingRunsOverAFolderTheUserDidNotMean) {
    // The tree's first focus chooses no folder by itself.
    ::SetFocus(m_dlg->m_tree.m_hWnd);
    PumpPending();
    EXPECT_EQ(m_dlg->m_tree.GetSelectedItem(), nullptr);
    EXPECT_EQ(m_dlg->m_strFolderPath, "");
    EXPECT_EQ(m_dlg->m_listFiles.GetItemCount(), 0);

    // A run over a folder that stands for a whole profile asks first, with
    // the count; No renames nothing and keeps the last run undoable.
    CTempFolder other;
    MakeFiles(other.Path(), {"x.jpg"});
    ChooseFolder(other.Path());
    Start();
    const std::vector<std::string> lastRun = Journal().newPaths;
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    MakeFolder(m_photos / "sub");
    MakeFiles(m_photos / "sub", {"c.jpg"});
    m_dlg->m_knownFolders.profile = m_photos.Path();
    ChooseFolder(m_photos.Path());
    m_boxes.m_shown.clear();
    m_boxes.QueueAnswer(IDNO);
    Start();
    ASSERT_EQ(m_boxes.Texts(), std::vector<std::string>{"Rename 3 files in " + m_photos.Path() +
                                                        " and all its subfolders?"});
    EXPECT_EQ(m_boxes.m_shown[0].type & MB_DEFMASK, static_cast<UINT>(MB_DEFBUTTON2));
    EXPECT_EQ(Journal().newPaths, lastRun);
    EXPECT_TRUE(FileExists(m_photos / "a.jpg"));
    EXPECT_TRUE(FileExists(m_photos / "sub\\c.jpg"));
    m_boxes.QueueAnswer(IDYES);
    Start();
    EXPECT_EQ(Journal().size(), 3u);
}

TEST_F(RenameRun, TextThatWouldLeaveTheFolderIsRefusedBeforeAnyRename) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    ChooseFolder(m_photos.Path());
    Click(IDC_ADD_PREFIX);
    Type(IDC_PREFIX, "..\\");
    Start();
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_NE(m_boxes.m_shown[0].text.find("cannot contain"), std::string::npos);
    EXPECT_EQ(Journal().size(), 0u);
    EXPECT_EQ(ListFolder(m_photos.Path()).size(), 2u);
    EXPECT_TRUE(FileExists(m_photos / "a.jpg"));
}

TEST_F(RenameRun, TextTypedDuringARunStopsItInsteadOfMovingAFile) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    for (const std::string& n : ListedNames())
        Select(n);
    Click(IDC_ADD_PREFIX);
    Type(IDC_PREFIX, "x");
    ::PostMessageA(PageItem(IDC_PREFIX), WM_CHAR, '/', 0); // typed while the run goes on
    Start();
    EXPECT_EQ(Journal().size(), 1u);
    ASSERT_FALSE(m_boxes.m_shown.empty());
    EXPECT_NE(m_boxes.m_shown.back().text.find(SystemErrorText(ERROR_INVALID_NAME)),
              std::string::npos);
    EXPECT_EQ(ListFolder(m_photos.Path()).size(), 3u);
    std::string parent = m_photos.Path().substr(0, m_photos.Path().rfind('\\'));
    for (const std::string& n : ListFolder(parent))
        EXPECT_EQ(n.find("x "), std::string::npos) << n; // nothing moved up a folder

    // So does a pattern left open, which would make the other names ".jpg".
    Click(IDC_ADD_PREFIX);
    ClickExpert(IDC_USE_PATTERN);
    HWND pattern = ::GetDlgItem(m_dlg->m_pageExpert.m_options.m_hWnd, IDC_PATTERN);
    ::SetWindowTextA(pattern, "p");
    ::SendMessageA(pattern, EM_SETSEL, 1, 1);
    ::PostMessageA(pattern, WM_CHAR, '<', 0);
    Start();
    EXPECT_EQ(Journal().size(), 1u);
    EXPECT_NE(m_boxes.m_shown.back().text.find("The name pattern now holds \"<\""),
              std::string::npos)
        << m_boxes.m_shown.back().text;
    for (const std::string& n : ListFolder(m_photos.Path()))
        EXPECT_NE(n[0], '.') << n;
}

TEST_F(RenameRun, NameTakenTwiceStopsTheRunWithoutReplacingAnything) {
    MakeFiles(m_photos.Path(), {"a.jpg", "a-1.jpg"});
    ChooseFolder(m_photos.Path());
    AllOptionsOff();
    Select("a.jpg");
    ClickExpert(IDC_SHOW_NEW_NAMES); // which says so beforehand
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(NewNameShown(i), ListedNames()[i] == "a.jpg"
                                       ? "(stops the run: its numbered name is taken too)"
                                       : "");
    Start();
    EXPECT_EQ(Journal().size(), 0u);
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_EQ(ReadTextFile(m_photos / "a.jpg"), "content of " + (m_photos / "a.jpg"));
    EXPECT_EQ(ReadTextFile(m_photos / "a-1.jpg"), "content of " + (m_photos / "a-1.jpg"));
}

TEST_F(RenameRun, NoFileIsRenamedTwiceInOneRun) {
    std::vector<std::string> names;
    for (int i = 0; i < 150; ++i)
        names.push_back("p" + std::to_string(i) + ".jpg");
    MakeFiles(m_photos.Path(), names);
    ChooseFolder(m_photos.Path());
    AllOptionsOff(); // every file gets a new name in the folder being listed
    Start();
    EXPECT_EQ(Journal().size(), 150u);
    std::set<std::string> olds(Journal().oldPaths.begin(), Journal().oldPaths.end());
    EXPECT_EQ(olds.size(), 150u);
    for (const std::string& p : Journal().newPaths)
        EXPECT_EQ(olds.count(p), 0u) << p;
    for (const std::string& n : ListFolder(m_photos.Path()))
        EXPECT_EQ(std::count(n.begin(), n.end(), '-'), 1) << n;
}

TEST_F(RenameRun, SecondStartAndBackDuringARunAreIgnored) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    ::PostMessageA(Page().m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(PageItem(IDOK)));
    ::PostMessageA(Page().m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_BACK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(PageItem(IDC_BACK)));
    Start();
    EXPECT_EQ(Journal().size(), 3u);
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kDone});
}

// Runs an action when the run lets a posted message through.
class CLaterAction : public CWnd {
public:
    std::function<void()> m_action;
    LRESULT OnAct(WPARAM, LPARAM) {
        m_action();
        return 0;
    }
    void PostAct() {
        CreateEx(0, "STATIC", "", WS_POPUP, RECT{0, 0, 1, 1}, nullptr, 0);
        ::PostMessageA(m_hWnd, WM_APP, 0, 0);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLaterAction, CWnd)
    ON_MESSAGE(WM_APP, OnAct)
END_MESSAGE_MAP()

TEST_F(RenameRun, RunKeepsTheFolderItStartedWith) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    CTempFolder other;
    MakeFiles(other.Path(), {"z.jpg"});
    ChooseFolder(m_photos.Path());
    CLaterAction chooseOther;
    chooseOther.m_action = [&] { ChooseFolder(other.Path()); };
    chooseOther.PostAct();
    Start();
    EXPECT_EQ(Journal().size(), 2u);
    for (const std::string& p : Journal().oldPaths)
        EXPECT_EQ(p.rfind(m_photos.Path(), 0), 0u) << p;
    EXPECT_TRUE(FileExists(other / "z.jpg"));
    chooseOther.DestroyWindow();
}

TEST_F(RenameRun, NamesBeyondOldCodePagesAreRenamedExactlyAndRestored) {
    const std::string japanese = u8"日本1.jpg", circumflex = u8"Ŝ1.jpg", folder = u8"日本";
    MakeFiles(m_photos.Path(), {japanese, circumflex, "S1.jpg"});
    MakeFolder(m_photos / folder);
    MakeFiles(m_photos / folder, {u8"写真.jpg"});
    ChooseFolder(m_photos.Path());

    // a selection renames exactly the file selected, never its look-alike
    Select(circumflex);
    Start();
    ASSERT_EQ(Journal().size(), 1u);
    EXPECT_EQ(Journal().oldPaths[0], m_photos / circumflex);
    EXPECT_EQ(NameOf(Journal().newPaths[0]).rfind(u8"Ŝ1 ", 0), 0u);
    EXPECT_EQ(ReadTextFile(m_photos / "S1.jpg"), "content of " + (m_photos / "S1.jpg"));
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);

    // the whole folder, its wide-named subfolder too, and back
    auto before = WalkOrder(m_photos.Path(), true);
    Start();
    EXPECT_EQ(m_boxes.Texts().back(), kDone);
    EXPECT_EQ(Journal().oldPaths, before);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.Texts().back(), kBackDone);
    for (const std::string& p : before)
        EXPECT_EQ(ReadTextFile(p), "content of " + p) << p;
}

TEST_F(RenameRun, BackUndoesChainsAndASecondBackFinishesWhatTheFirstCouldNot) {
    // b takes the name a gave up; c is held open while Back runs
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    AllOptionsOff();
    Click(IDC_REPLACE);
    Type(IDC_REPLACE_FROM, "b");
    Type(IDC_REPLACE_TO, "a");
    CListCtrl& list = m_dlg->m_listFiles; // a before b, whatever order the folder lists
    list.DeleteAllItems();
    for (int i = 0; i < 3; ++i) {
        list.InsertItem(i, std::string(1, static_cast<char>('a' + i)) + ".jpg", 0);
        list.SetItemState(i, LVIS_SELECTED, LVIS_SELECTED);
    }
    Start();
    ASSERT_EQ(Journal().size(), 3u);
    ASSERT_EQ(Journal().newPaths[1], m_photos / "a.jpg"); // b took the name a gave up
    const std::string held = Journal().newPaths[2];
    HANDLE h = ::CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                             nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    ::CloseHandle(h);
    const std::string partial = m_boxes.Texts().back();
    EXPECT_NE(partial.find("old names again: 2"), std::string::npos) << partial;
    EXPECT_NE(partial.find(held), std::string::npos);
    EXPECT_EQ(ReadTextFile(m_photos / "a.jpg"), "content of " + (m_photos / "a.jpg"));
    EXPECT_EQ(ReadTextFile(m_photos / "b.jpg"), "content of " + (m_photos / "b.jpg"));

    for (int press = 0; press < 2; ++press) { // the rest, then nothing left to do
        m_boxes.QueueAnswer(IDYES);
        Click(IDC_BACK);
        EXPECT_EQ(m_boxes.Texts().back(), kBackDone);
    }
    EXPECT_EQ(ReadTextFile(m_photos / "c.jpg"), "content of " + (m_photos / "c.jpg"));
    EXPECT_EQ(ListFolder(m_photos.Path()).size(), 3u);
}

TEST_F(RenameRun, RefusedStartKeepsTheJournalAndDeviceNamesAreRefused) {
    MakeFiles(m_photos.Path(), {"a.jpg", "LPTx"});
    ChooseFolder(m_photos.Path());
    Select("a.jpg");
    Start();
    ASSERT_EQ(Journal().size(), 1u);

    // refused by the checks: the last run stays undoable
    AllOptionsOff();
    Click(IDC_REMOVE_OLD_NAME);
    Click(IDC_ADD_PREFIX);
    Type(IDC_PREFIX, "nul");
    Start();
    EXPECT_NE(m_boxes.Texts().back().find("\"nul\""), std::string::npos);
    EXPECT_EQ(Journal().size(), 1u);

    // a device name that only one file makes stops the run before that file
    Click(IDC_REMOVE_OLD_NAME);
    Click(IDC_ADD_PREFIX);
    Click(IDC_REPLACE);
    Type(IDC_REPLACE_FROM, "x");
    Type(IDC_REPLACE_TO, "1");
    ChooseFolder(m_photos.Path());
    Select("LPTx");
    Start();
    EXPECT_NE(m_boxes.Texts().back().find(m_photos / "LPTx"), std::string::npos);
    EXPECT_TRUE(FileExists(m_photos / "LPTx"));
    EXPECT_EQ(Journal().size(), 1u); // stopped before renaming anything: the last run stays
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_TRUE(FileExists(m_photos / "a.jpg"));
}

TEST_F(RenameRun, PathsAtTheLimitAreNeverMadeNorMovedOutOfTheirFolder) {
    const std::string deep = m_photos / std::string(242 - m_photos.Path().size() - 1, 'd');
    MakeFolder(deep);
    ASSERT_EQ(deep.size(), 242u);
    auto longName = [](const std::string& p) { return WidenName("\\\\?\\" + p); };
    const std::string exact = deep + "\\" + std::string(260 - 243 - 4, 'f') + ".jpg";
    ASSERT_EQ(exact.size(), 260u);
    HANDLE h =
        ::CreateFileW(longName(exact).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    ChooseFolder(deep);
    Start(); // the file cannot be addressed by its path: it stays where it is
    EXPECT_NE(m_boxes.Texts().back().find("left alone"), std::string::npos);
    EXPECT_NE(::GetFileAttributesW(longName(exact).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Journal().size(), 0u);
    ::DeleteFileW(longName(exact).c_str());

    MakeFiles(deep, {"a.jpg"}); // its new name would pass the limit
    Start();
    EXPECT_NE(m_boxes.Texts().back().find(deep + "\\a.jpg"), std::string::npos);
    EXPECT_NE(m_boxes.Texts().back().find("260"), std::string::npos);
    EXPECT_TRUE(FileExists(deep + "\\a.jpg"));
    EXPECT_EQ(Journal().size(), 0u);
}

// A tree with a sibling link and a loop (made by the test command, where the
// bench can make links): best -> 2004, 2004/loop -> 2004.
TEST_F(RenameRun, LinksAreNotWalkedSoEachFileIsRenamedOnce) {
    const char* tree = std::getenv("TESSIVOX_LINK_TREE");
    if (!tree || !*tree)
        GTEST_SKIP() << "TESSIVOX_LINK_TREE is not set: no tree with links to walk";
    ChooseFolder(tree);
    Start();
    EXPECT_EQ(m_boxes.Texts().back(), kDone);
    ASSERT_EQ(Journal().size(), 2u);
    EXPECT_EQ(m_dlg->CountFiles(std::string(tree) + "\\*.*"), 2); // the count sees the same two
    for (const std::string& p : Journal().newPaths)
        EXPECT_EQ(std::count(p.begin(), p.end(), '_'), 2) << p; // one date and time, not two
}

TEST_F(RenameRun, ClosingDuringARunStopsItAndOffersToUndoIt) {
    for (int answer : {IDYES, IDNO}) {
        MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
        ChooseFolder(m_photos.Path());
        for (const std::string& n : ListedNames())
            Select(n);
        ::ShowWindow(m_dlg->m_hWnd, SW_SHOW);
        ::PostMessageA(m_dlg->m_hWnd, WM_CLOSE, 0, 0); // met after the first file
        m_boxes.QueueAnswer(answer);
        Start();
        ASSERT_FALSE(m_boxes.m_shown.empty());
        EXPECT_NE(m_boxes.Texts().back().find("Files renamed: 1 of 3"), std::string::npos)
            << m_boxes.Texts().back();
        EXPECT_FALSE(m_dlg->IsWindowVisible()); // closed
        const size_t kept = answer == IDYES ? 3 : 2;
        size_t original = 0;
        for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
            original += FileExists(m_photos / n) ? 1 : 0;
        EXPECT_EQ(original, kept);
        for (const std::string& n : ListFolder(m_photos.Path()))
            ::DeleteFileA((m_photos / n).c_str());
    }
}

// Camera-style files written by Pillow and heif-enc (see tools/make_photo_samples.py).
TEST_F(RenameRun, PhotoDateNamesEachPhotoByTheDateItsCameraRecorded) {
    std::map<std::string, std::string> expected = {
        {"original.jpg", "original 2019-7-14  9_8_7.jpg"},
        {"little-endian.tif", "little-endian 2016-1-2  3_4_5.tif"},
        {"big-endian.tif", "big-endian 2015-10-11  12_13_14.tif"},
        {"photo.heic", "photo 2022-8-9  10_11_12.heic"},
    };
    for (const auto& [name, newName] : expected)
        ASSERT_TRUE(::CopyFileA((std::string(TESSIVOX_PHOTO_SAMPLES) + "\\" + name).c_str(),
                                (m_photos / name).c_str(), TRUE));
    ChooseFolder(m_photos.Path());
    ClickExpert(IDC_USE_PHOTO_DATE);
    EXPECT_EQ(Text(PageItem(IDC_SAMPLE)), "filename2004-09-21 11_19_48"); // the fixed example
    Start();
    ASSERT_EQ(Journal().size(), expected.size());
    for (size_t i = 0; i < Journal().size(); ++i)
        EXPECT_EQ(Journal().newPaths[i], m_photos / expected[NameOf(Journal().oldPaths[i])]);
}

// Clashes among camera dates, with a hidden file and a folder in the way, and
// files without EXIF named by their creation time; then a selection.
TEST_F(RenameRun, NewNamesShownAreTheNamesTheRunGives) {
    const std::string samples = TESSIVOX_PHOTO_SAMPLES;
    for (const char* name : {"x1.jpg", "x2.jpg", "hidden.jpg"})
        ASSERT_TRUE(
            ::CopyFileA((samples + "\\original.jpg").c_str(), (m_photos / name).c_str(), TRUE));
    ASSERT_TRUE(
        ::CopyFileA((samples + "\\photo.heic").c_str(), (m_photos / "p.heic").c_str(), TRUE));
    ::SetFileAttributesA((m_photos / "hidden.jpg").c_str(), FILE_ATTRIBUTE_HIDDEN);
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    MakeFolder(m_photos / " 2022-8-9  10_11_12.heic");
    ChooseFolder(m_photos.Path());
    ClickExpert(IDC_USE_PHOTO_DATE);
    ClickExpert(IDC_SHOW_NEW_NAMES);
    Click(IDC_REMOVE_OLD_NAME);

    for (int round = 0; round < 2; ++round) {
        if (round == 1) { // what a further run does, on a selection, with the old names
            Click(IDC_REMOVE_OLD_NAME);
            auto listed = ListedNames();
            Select(listed[1]);
            Select(listed[3]);
            Select(listed[4]);
        }
        std::map<std::string, std::string> shown = NewNamesShown();
        Start();
        EXPECT_EQ(m_boxes.Texts().back(), kDone);
        std::map<std::string, std::string> renamed = RenamedByJournal();
        for (const auto& [name, newName] : shown)
            EXPECT_EQ(newName, renamed.count(name) ? renamed[name] : "")
                << name << " in round " << round;
        EXPECT_EQ(Journal().size(), round == 0 ? 7u : 3u);
    }
}

// A camera's folder with related files kept together, one file of each group
// selected: the preview shows what Start gives every file it pulls in, and
// Back gives every name back. The raw's date is a second after its JPEG's.
TEST_F(RenameRun, RelatedFilesKeptTogetherGetOneTitleAndBackRestoresThemAll) {
    const std::string corpus = std::string(TESSIVOX_PHOTO_CORPUS) + "\\exiftool";
    const std::string samples = TESSIVOX_PHOTO_SAMPLES;
    const std::string movies = TESSIVOX_CAMERA_SAMPLES;
    if (::GetFileAttributesA(corpus.c_str()) == INVALID_FILE_ATTRIBUTES ||
        !FileExists(movies + "\\iphone.mov"))
        GTEST_SKIP() << "no real camera files at " << corpus << " or no movies at " << movies;
    const std::pair<const char*, std::string> copies[] = {
        {"IMG_1234.CR3", corpus + "\\CanonRaw.cr3"}, // 2018:02:21 12:08:56
        {"IMG_2000.HEIC", samples + "\\photo.heic"}, // 2022:08:09 10:11:12
        {"IMG_2000.MOV", corpus + "\\QuickTime.mov"},
        {"MVI_0001.AVI", corpus + "\\RIFF.avi"},      // 2003:03:10 15:04:43
        {"MVI_0001.THM", samples + "\\original.jpg"}, // its own date never names the group
        {"C0001.MP4", movies + "\\iphone.mov"},       // Apple's 2019:06:25 14:31:41
        {"P_0001.JPG", samples + "\\original.jpg"},   // 2019:07:14 09:08:07
        {"DSC_0005.JPG", samples + "\\original.jpg"},
    };
    for (const auto& [name, from] : copies)
        ASSERT_TRUE(::CopyFileA(from.c_str(), (m_photos / name).c_str(), TRUE)) << name;
    std::string jpeg = ReadTextFile(samples + "\\original.jpg");
    const size_t date = jpeg.find("2019:07:14 09:08:07");
    ASSERT_NE(date, std::string::npos);
    WriteTextFile(m_photos / "IMG_1234.JPG", jpeg.replace(date, 19, "2018:02:21 12:08:55"));
    MakeFiles(m_photos.Path(), {"IMG_1234.xmp", "IMG_1234.CR3.xmp", "IMG_2000.AAE", "C0001M01.XML",
                                "P_0001.xmp", "P_0001 2019-7-14  9_8_7.JPG", "alone.txt"});
    const std::map<std::string, std::string> expected = {
        {"IMG_1234.CR3", "IMG_1234 2018-2-21  12_8_56.CR3"},
        {"IMG_1234.JPG", "IMG_1234 2018-2-21  12_8_56.JPG"},
        {"IMG_1234.xmp", "IMG_1234 2018-2-21  12_8_56.xmp"},
        {"IMG_1234.CR3.xmp", "IMG_1234 2018-2-21  12_8_56.CR3.xmp"},
        {"IMG_2000.HEIC", "IMG_2000 2022-8-9  10_11_12.HEIC"},
        {"IMG_2000.MOV", "IMG_2000 2022-8-9  10_11_12.MOV"},
        {"IMG_2000.AAE", "IMG_2000 2022-8-9  10_11_12.AAE"},
        {"MVI_0001.AVI", "MVI_0001 2003-3-10  15_4_43.AVI"},
        {"MVI_0001.THM", "MVI_0001 2003-3-10  15_4_43.THM"},
        {"C0001.MP4", "C0001 2019-6-25  14_31_41.MP4"},
        {"C0001M01.XML", "C0001 2019-6-25  14_31_41M01.XML"},
        {"P_0001.JPG", "P_0001 2019-7-14  9_8_7-1.JPG"}, // the name is the outsider's
        {"P_0001.xmp", "P_0001 2019-7-14  9_8_7-1.xmp"},
        {"DSC_0005.JPG", "DSC_0005 2019-7-14  9_8_7.JPG"},
    };
    ChooseFolder(m_photos.Path());
    const std::vector<std::string> before = PhotoNames();
    for (int id : {IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES, IDC_KEEP_RELATED})
        ClickExpert(id);
    for (const char* name : {"IMG_1234.JPG", "IMG_2000.AAE", "MVI_0001.THM", "C0001M01.XML",
                             "P_0001.xmp", "DSC_0005.JPG", "alone.txt"})
        Select(name);

    const std::map<std::string, std::string> shown = NewNamesShown();
    Start();
    EXPECT_EQ(m_boxes.Texts().back(), kDone);
    std::map<std::string, std::string> renamed = RenamedByJournal();
    for (const auto& [name, newName] : shown)
        EXPECT_EQ(newName, renamed.count(name) ? renamed[name] : "") << name;
    for (const auto& [name, newName] : expected)
        EXPECT_EQ(renamed[name], newName) << name;
    EXPECT_EQ(renamed.size(), expected.size() + 1); // and alone.txt, by its own creation time
    EXPECT_EQ(renamed.count("P_0001 2019-7-14  9_8_7.JPG"), 0u);
    ExpectBackRestores(before);
}

// Real camera files named by patterns, in date order and with the camera's
// clock set back an hour: each time the column shows what Start then gives,
// and Back gives every name back. Two of the photos share their second.
TEST_F(RenameRun, PatternsDateOrderAndAShiftNameWhatTheColumnShows) {
    const std::string corpus = std::string(TESSIVOX_PHOTO_CORPUS) + "\\exiftool";
    if (::GetFileAttributesA(corpus.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no real camera files at " << corpus;
    // Each file with its camera's date, earliest first.
    const std::pair<const char*, const char*> files[] = {
        {"Olympus.jpg", "19991206_163840"},  {"Casio.jpg", "20000331_104415"},
        {"ExifTool.jpg", "20010519_183641"}, {"FujiFilm.jpg", "20010519_183641"},
        {"Nikon.nef", "20040609_160235"},    {"M2TS.mts", "20081231_231624"},
        {"Apple.jpg", "20160928_181805"},    {"CanonRaw.cr3", "20180221_120856"},
    };
    for (const auto& [name, date] : files)
        ASSERT_TRUE(::CopyFileA((corpus + "\\" + name).c_str(), (m_photos / name).c_str(), TRUE))
            << name;
    ChooseFolder(m_photos.Path());
    const std::vector<std::string> before = PhotoNames();
    for (int id : {IDC_USE_PHOTO_DATE, IDC_SHOW_NEW_NAMES, IDC_USE_PATTERN})
        ClickExpert(id);
    HWND options = m_dlg->m_pageExpert.m_options.m_hWnd;
    auto run = [&](const char* pattern, const char* shift) {
        ::SetWindowTextA(::GetDlgItem(options, IDC_PATTERN), pattern);
        ::SetWindowTextA(::GetDlgItem(options, IDC_TIME_SHIFT), shift);
        const std::map<std::string, std::string> shown = NewNamesShown();
        Start();
        EXPECT_EQ(m_boxes.Texts().back(), kDone) << pattern;
        std::map<std::string, std::string> renamed = RenamedByJournal();
        EXPECT_EQ(renamed.size(), std::size(files)) << pattern;
        for (const auto& [name, newName] : shown)
            EXPECT_EQ(newName, renamed[name]) << name << " by " << pattern;
        ExpectBackRestores(before);
        return renamed;
    };
    // The two photos of one second: the first in the run has the name, the other the number.
    auto twins = [](std::map<std::string, std::string>& renamed, const std::string& a,
                    const std::string& b) {
        EXPECT_EQ((std::set<std::string>{renamed["ExifTool.jpg"], renamed["FujiFilm.jpg"]}),
                  (std::set<std::string>{a, b}));
    };

    std::map<std::string, std::string> renamed = run("<yyyy><MM><dd>_<HH><mm><ss>", "");
    auto ext = [](const std::string& name) { return name.substr(name.rfind('.')); };
    for (const auto& [name, date] : files)
        if (std::strcmp(date, "20010519_183641") != 0)
            EXPECT_EQ(renamed[name], date + ext(name)) << name;
    twins(renamed, "20010519_183641.jpg", "20010519_183641-1.jpg");

    Click(IDC_ADD_PREFIX); // not used with a pattern
    ClickExpert(IDC_DATE_ORDER);
    renamed = run("Trip <nnn>", "");
    int number = 0;
    for (const auto& [name, date] : files) {
        char expected[32];
        std::snprintf(expected, sizeof(expected), "Trip %03d", ++number);
        if (number != 3 && number != 4)
            EXPECT_EQ(renamed[name], expected + ext(name)) << name;
    }
    twins(renamed, "Trip 003.jpg", "Trip 004.jpg");

    ClickExpert(IDC_DATE_ORDER);
    renamed = run("<yyyy><MM><dd>_<HH><mm><ss>", "-1:00");
    EXPECT_EQ(renamed["Olympus.jpg"], "19991206_153840.jpg");
    EXPECT_EQ(renamed["M2TS.mts"], "20081231_221624.mts");
    EXPECT_EQ(renamed["CanonRaw.cr3"], "20180221_110856.cr3");
    twins(renamed, "20010519_173641.jpg", "20010519_173641-1.jpg");

    // Only the letter case of its extension changes: the file's own entry, no clash.
    MakeFiles(m_photos.Path(), {"CASE.JPG"});
    ChooseFolder(m_photos.Path());
    ClickExpert(IDC_LOWER_CASE_EXTENSIONS);
    ::SetWindowTextA(::GetDlgItem(options, IDC_TIME_SHIFT), "");
    ::SetWindowTextA(::GetDlgItem(options, IDC_PATTERN), "<name>");
    Select("CASE.JPG");
    EXPECT_EQ(NewNamesShown()["CASE.JPG"], "CASE.jpg");
    Start();
    EXPECT_EQ(m_boxes.Texts().back(), kDone);
    ASSERT_EQ(Journal().size(), 1u);
    EXPECT_EQ(Journal().newPaths[0], m_photos / "CASE.jpg");
    // Wine's rename finds the new name as the old file and keeps its letter
    // case; Windows gives the entry the new case.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
        std::printf("[  NOTE    ] under Wine a rename of the letter case keeps the old case: "
                    "not checked on the disk\n");
        return;
    }
    const std::vector<std::string> names = PhotoNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "CASE.jpg"), names.end());
}

// A file of a group that cannot be renamed (another program holds it): the files
// renamed before it keep their new names, the message says the group went only
// in part, and Back gives every file its old name.
TEST_F(RenameRun, AGroupThatFailsInItsMiddleSaysSoAndBackRestoresIt) {
    MakeFiles(m_photos.Path(), {"G.JPG", "G.pp3", "G.xmp"});
    ChooseFolder(m_photos.Path());
    const std::vector<std::string> before = PhotoNames();
    ClickExpert(IDC_KEEP_RELATED);
    // The group's first file held renames nothing: the next one is held then.
    std::string message;
    for (const std::string& held : before) {
        HANDLE h = ::CreateFileA((m_photos / held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        Start();
        ::CloseHandle(h);
        message = m_boxes.Texts().back();
        if (message.find("only in part") != std::string::npos)
            break;
        ASSERT_EQ(PhotoNames(), before) << message;
    }
    EXPECT_NE(message.find("\\G\" were renamed only in part"), std::string::npos) << message;
    EXPECT_GE(Journal().size(), 1u);
    ExpectBackRestores(before);
}

// The journal on disk: Back after a restart, a run the session's end stopped
// offered for undoing at the next start, a journal the disk no longer agrees
// with, and a program folder the journal cannot be written in.
TEST_F(RenameRun, TheJournalOnDiskLetsBackUndoWhateverEndsTheProgram) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    const std::string journal = CJournalFile::PathIn(m_program.Path());
    // A session's end that another program lets the user cancel: the run goes on.
    PostAfterFirstFile({{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, FALSE}});
    Start();
    EXPECT_EQ(m_boxes.Texts(), std::vector<std::string>{kDone});
    EXPECT_TRUE(CJournalFile::Load(journal).ended);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    m_boxes.m_shown.clear();
    ChooseFolder(m_photos.Path());

    // The session ends after the first file: the run stops there, its
    // journal written down, and the program says nothing more.
    PostAfterFirstFile({{WM_QUERYENDSESSION, 0}, {WM_ENDSESSION, TRUE}});
    Start();
    EXPECT_TRUE(m_boxes.m_shown.empty());
    JournalContent content = CJournalFile::Load(journal);
    ASSERT_EQ(content.entries.size(), 3u);
    EXPECT_FALSE(content.ended);
    EXPECT_TRUE(content.entries[0].done);
    EXPECT_FALSE(content.entries[1].done);
    ASSERT_EQ(Journal().size(), 1u);
    const std::string renamed = Journal().newPaths[0];

    m_boxes.QueueAnswer(IDYES);
    Restart();
    ASSERT_EQ(m_boxes.Texts(),
              (std::vector<std::string>{"The last run was interrupted after 1 of 3 files. Give "
                                        "them their old names again?",
                                        kBackDone}));
    EXPECT_TRUE(FileExists(Journal().oldPaths[0]));
    EXPECT_FALSE(FileExists(renamed));

    // An ordinary run: after a restart nothing is asked and Back still undoes it.
    ChooseFolder(m_photos.Path());
    Start();
    ASSERT_EQ(Journal().size(), 3u);
    Restart();
    m_boxes.m_shown.clear();
    EXPECT_EQ(Journal().size(), 3u);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{kBackAsk, kBackDone}));
    for (const char* n : {"a.jpg", "b.jpg", "c.jpg"})
        EXPECT_TRUE(FileExists(m_photos / n)) << n;

    // A plan whose done records a power cut lost: the disk tells which files
    // the run renamed, and only those are counted and given back.
    JournalEntry moved, notMoved;
    moved.oldPath = m_photos / "a.jpg";
    moved.newPath = m_photos / "A1.jpg";
    notMoved.oldPath = m_photos / "b.jpg";
    notMoved.newPath = m_photos / "B1.jpg";
    ASSERT_TRUE(ReadPlainFile(moved.oldPath, moved.identity));
    ASSERT_TRUE(ReadPlainFile(notMoved.oldPath, notMoved.identity));
    m_dlg->DestroyWindow(); // the program has ended
    m_dlg.reset();
    WriteTextFile(journal,
                  std::string(kJournalHeader) + "\n" + PlanRecord(moved) + PlanRecord(notMoved));
    ASSERT_TRUE(::MoveFileA(moved.oldPath.c_str(), moved.newPath.c_str()));
    m_boxes.m_shown.clear();
    m_boxes.QueueAnswer(IDNO);
    OpenWindow();
    EXPECT_EQ(m_boxes.Texts(),
              std::vector<std::string>{"The last run was interrupted after 1 of 2 files. Give "
                                       "them their old names again?"});
    ASSERT_EQ(Journal().size(), 1u); // No keeps it for Back
    EXPECT_EQ(Journal().newPaths[0], moved.newPath);
    Restart(); // asked once
    EXPECT_EQ(m_boxes.m_shown.size(), 1u);
    ASSERT_EQ(Journal().size(), 1u);

    // Where the journal cannot be written, Start asks before it renames anything.
    g_strProgramDir = m_program / "gone";
    ChooseFolder(m_photos.Path());
    m_boxes.m_shown.clear();
    m_boxes.QueueAnswer(IDNO);
    Start();
    ASSERT_EQ(m_boxes.m_shown.size(), 1u);
    EXPECT_NE(m_boxes.m_shown[0].text.find("cannot be written"), std::string::npos);
    EXPECT_TRUE(FileExists(m_photos / "b.jpg"));
    EXPECT_EQ(Journal().newPaths[0], moved.newPath); // the last run stays undoable
}

// What a new Start does to the last run's journal: a Start that renames
// nothing, one whose journal another program holds open, and a second
// Tessivox started from the same folder leave it as Back's, after a restart
// too; a photo edited since its rename is still given its old name.
TEST_F(RenameRun, TheLastRunStaysUndoableUntilANewRunRenamesAFile) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    ChooseFolder(m_photos.Path());
    Start();
    ASSERT_EQ(Journal().size(), 2u);
    const std::string journal = CJournalFile::PathIn(m_program.Path());
    const std::string lastRun = ReadTextFile(journal);

    MakeFiles(m_photos.Path(), {"c.jpg"});
    ChooseFolder(m_photos.Path());
    Select("c.jpg");
    ::DeleteFileA((m_photos / "c.jpg").c_str()); // gone: the run renames nothing
    Start();
    EXPECT_EQ(m_boxes.Texts().back().rfind("No file was renamed.", 0), 0u);
    EXPECT_EQ(ReadTextFile(journal), lastRun);
    MakeFiles(m_photos.Path(), {"c.jpg"});

    // Held open by another program, the journal cannot take the plan's place.
    ChooseFolder(m_photos.Path());
    HANDLE held = ::CreateFileA(journal.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    m_boxes.QueueAnswer(IDNO);
    Start();
    ::CloseHandle(held);
    EXPECT_NE(m_boxes.Texts().back().find("cannot be written"), std::string::npos);
    EXPECT_TRUE(FileExists(m_photos / "c.jpg"));

    // Another Tessivox of the same folder started first: it keeps the journal.
    m_dlg->DestroyWindow();
    m_dlg.reset();
    HANDLE hOwned = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE hDone = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread first([&] {
        CJournalFile owner;
        owner.Own(journal);
        ::SetEvent(hOwned);
        ::WaitForSingleObject(hDone, INFINITE);
    });
    ::WaitForSingleObject(hOwned, INFINITE);
    OpenWindow();
    EXPECT_EQ(Journal().size(), 0u);
    ChooseFolder(m_photos.Path());
    m_boxes.QueueAnswer(IDNO);
    Start();
    EXPECT_NE(m_boxes.Texts().back().find(SystemErrorText(ERROR_SHARING_VIOLATION)),
              std::string::npos);
    EXPECT_TRUE(FileExists(m_photos / "c.jpg"));
    ::SetEvent(hDone);
    first.join();
    ::CloseHandle(hOwned);
    ::CloseHandle(hDone);

    // The first has ended: this one's next start finds the run, a photo edited since.
    Restart();
    ASSERT_EQ(Journal().size(), 2u);
    const size_t b = NameOf(Journal().oldPaths[0]) == "b.jpg" ? 0 : 1;
    WriteTextFile(Journal().newPaths[b], "rotated");
    Restart();
    m_boxes.m_shown.clear();
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.Texts(), (std::vector<std::string>{kBackAsk, kBackDone}));
    EXPECT_EQ(ReadTextFile(m_photos / "b.jpg"), "rotated");
}

// Names that a Linux disk or a share can hold and Windows cannot address
// exactly, made by the test command: a backslash in a name and in a folder's
// name ("..\\.."), a trailing dot beside its twin, a pair that differs in case,
// a pipe. Each is left alone, in the preview as in the run, and nothing
// outside the chosen folder is touched.
TEST_F(RenameRun, NamesThatDoNotAddressExactlyTheirFileAreLeftAlone) {
    const char* odd = std::getenv("TESSIVOX_ODD_NAMES");
    if (!odd || !*odd)
        GTEST_SKIP() << "TESSIVOX_ODD_NAMES is not set: no folder of odd names";
    const std::string photos = std::string(odd) + "\\up\\photos";
    ChooseFolder(photos);
    ClickExpert(IDC_SHOW_NEW_NAMES);
    std::map<std::string, std::string> shown = NewNamesShown();
    EXPECT_EQ(shown["x\\y.jpg"], "(left alone: its name holds \\ or /)");
    EXPECT_EQ(shown["b.jpg."], "(left alone: Windows would not address this name exactly)");
    EXPECT_EQ(shown["A.JPG"], "(left alone: another name differs from it only in letter case)");
    EXPECT_EQ(shown["a.jpg"], shown["A.JPG"]);
    EXPECT_EQ(shown["fifo"], "(left alone: not a plain file)");
    EXPECT_EQ(shown["b.jpg"].rfind("b ", 0), 0u) << shown["b.jpg"];
    Start();
    std::set<std::string> renamed;
    for (const std::string& p : Journal().oldPaths)
        renamed.insert(p.substr(photos.size() + 1));
    EXPECT_EQ(renamed, (std::set<std::string>{"ok.jpg", "b.jpg", "x\\y.jpg"})); // x is a folder
    EXPECT_NE(m_boxes.Texts().back().find("Files left alone because"), std::string::npos);
    EXPECT_NE(m_boxes.Texts().back().find(": 5"), std::string::npos);
    // "..\\.." two levels up is the folder odd-names itself
    for (const char* untouched : {"\\up\\outside.jpg", "\\sentinel.jpg"})
        EXPECT_TRUE(FileExists(std::string(odd) + untouched)) << untouched;
    for (const char* name : {"A.JPG", "a.jpg"})
        EXPECT_EQ(ReadTextFile(photos + "\\" + name), std::string(name) + "\n") << name;
    const std::vector<std::string> left = ListFolder(photos);
    EXPECT_NE(std::find(left.begin(), left.end(), "b.jpg."), left.end());

    // A selection of the name with the trailing dot renames neither twin.
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    ChooseFolder(photos);
    Select("b.jpg.");
    Start();
    EXPECT_NE(m_boxes.Texts().back().find("No file was renamed."), std::string::npos);
    EXPECT_TRUE(FileExists(photos + "\\b.jpg"));
}

// Back gives a name back only to the file that was renamed: one swapped for
// another since is listed, not renamed.
TEST_F(RenameRun, BackRestoresFilesNotPaths) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg"});
    ChooseFolder(m_photos.Path());
    AllOptionsOff();
    Click(IDC_ADD_PREFIX);
    Type(IDC_PREFIX, "R_");
    Start();
    ASSERT_TRUE(::DeleteFileA((m_photos / "R_a.jpg").c_str()));
    ASSERT_TRUE(::MoveFileA((m_photos / "R_b.jpg").c_str(), (m_photos / "R_a.jpg").c_str()));
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_FALSE(FileExists(m_photos / "a.jpg"));
    EXPECT_EQ(ReadTextFile(m_photos / "R_a.jpg"), "content of " + (m_photos / "b.jpg"));
    EXPECT_NE(m_boxes.Texts().back().find("R_a.jpg\n    is no longer the file that was renamed"),
              std::string::npos);
}

// Messages that stay true: closing with Yes when a file cannot be given back
// keeps the program open with Back's list; a photo that cannot be read with
// the photo date on stops the run before it, in the preview too; burst
// photos named by an earlier run are previewed as the run renames them.
TEST_F(RenameRun, NoMessageOverstatesWhatTheRunDid) {
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg"});
    ChooseFolder(m_photos.Path());
    PostAfterFirstFile(WM_CLOSE);
    HANDLE held = INVALID_HANDLE_VALUE;
    m_boxes.AnswerWhen("Tessivox is closing", [&] {
        // the file the run renamed, held open so that it cannot be renamed back
        held = ::CreateFileA(Journal().newPaths.at(0).c_str(), GENERIC_READ, FILE_SHARE_READ,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        return IDYES;
    });
    Start();
    ::CloseHandle(held);
    EXPECT_TRUE(m_dlg->IsWindowVisible());
    EXPECT_FALSE(m_dlg->IsEnding());
    EXPECT_NE(m_boxes.Texts().back().find("could not be given their old names"), std::string::npos);
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(m_boxes.Texts().back(), kBackDone);

    const std::string samples = TESSIVOX_PHOTO_SAMPLES;
    ASSERT_TRUE(
        ::CopyFileA((samples + "\\original.jpg").c_str(), (m_photos / "p.jpg").c_str(), FALSE));
    ChooseFolder(m_photos.Path());
    ClickExpert(IDC_USE_PHOTO_DATE);
    ClickExpert(IDC_SHOW_NEW_NAMES);
    HANDLE locked = ::CreateFileA((m_photos / "p.jpg").c_str(), GENERIC_READ, 0, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    std::map<std::string, std::string> shown = NewNamesShown();
    EXPECT_EQ(shown["p.jpg"], "(stops the run: the photo cannot be read)");
    Start();
    ::CloseHandle(locked);
    EXPECT_NE(m_boxes.Texts().back().find(m_photos / "p.jpg"), std::string::npos);
    EXPECT_TRUE(FileExists(m_photos / "p.jpg"));
    ClickExpert(IDC_USE_PHOTO_DATE);

    // A name an earlier run numbered, whose title is taken by a folder: the
    // numbered name is its own, which the rename leaves as it is.
    CTempFolder burst;
    MakeFolder(burst / " 2019-5-6  7_8_9.jpg");
    WriteTextFile(burst / " 2019-5-6  7_8_9-1.jpg", "burst");
    ChooseFolder(burst.Path());
    Click(IDC_REMOVE_OLD_NAME);
    Click(IDC_ADD_DATE);
    Click(IDC_ADD_TIME);
    Click(IDC_ADD_PREFIX);
    Type(IDC_PREFIX, " 2019-5-6  7_8_9");
    EXPECT_EQ(NewNameShown(0), " 2019-5-6  7_8_9-1.jpg");
    Start();
    EXPECT_EQ(m_boxes.Texts().back(), kDone);
    ASSERT_EQ(Journal().size(), 1u);
    EXPECT_EQ(Journal().newPaths[0], burst / " 2019-5-6  7_8_9-1.jpg");
}

// Back shows its progress as a run does, and the strip moves at any count.
TEST_F(RenameRun, BackShowsItsProgressAndTheStripMovesAtAnyCount) {
    EXPECT_EQ(RunStripPosition(1, 20000, 10000), 0);
    EXPECT_EQ(RunStripPosition(2, 20000, 10000), 1);
    EXPECT_EQ(RunStripPosition(19999, 20000, 10000), 9999);
    EXPECT_EQ(RunStripPosition(20000, 20000, 10000), 10000);
    EXPECT_EQ(RunStripPosition(0, 0, 10000), 10000);
    MakeFiles(m_photos.Path(), {"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    ChooseFolder(m_photos.Path());
    std::vector<int> percents;
    m_dlg->m_pProgress->SetPercentListener([&](int p) { percents.push_back(p); });
    Start();
    EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75, 100, -1}));
    percents.clear();
    m_boxes.QueueAnswer(IDYES);
    Click(IDC_BACK);
    EXPECT_EQ(percents, (std::vector<int>{0, 25, 50, 75, 100, -1}));
}

} // namespace
