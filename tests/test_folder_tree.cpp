// The folder tree over Wine's real shell namespace.
#include "foldertree/FeedbackBar.h"
#include "foldertree/ProgressFolderTree.h"
#include "platform/Dpi.h"
#include "support/CountingMalloc.h"
#include "support/TestSupport.h"

#include "res/resource.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {

// Remembers every block it hands out as well.
class CRecordingMalloc : public CCountingMalloc {
public:
    std::vector<void*> m_given;
    void* STDMETHODCALLTYPE Alloc(SIZE_T cb) override {
        void* block = CCountingMalloc::Alloc(cb);
        if (block)
            m_given.push_back(block);
        return block;
    }
};

class CTestFolderTree : public CProgressFolderTree {
public:
    bool m_bRefuseChildren = false; // the tree control turns every new node down
    void CountFrees(CCountingMalloc* counting) { m_pMalloc.Reset(counting); }
    std::string PathOf(HTREEITEM h) {
        char path[MAX_PATH] = {};
        auto pidl = reinterpret_cast<LPCITEMIDLIST>(GetItemData(h));
        return pidl && ::SHGetPathFromIDListA(pidl, path) ? path : "";
    }
    std::vector<std::string> ChildTexts(HTREEITEM h) {
        std::vector<std::string> texts;
        for (HTREEITEM c = GetChildItem(h); c; c = GetNextSiblingItem(c))
            texts.push_back(GetItemText(c));
        return texts;
    }
    using CProgressFolderTree::m_rcBar;
    using CProgressFolderTree::m_rcIcon;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TVM_INSERTITEMA && m_bRefuseChildren &&
            (reinterpret_cast<TVINSERTSTRUCTA*>(lParam)->item.mask & TVIF_PARAM))
            return 0;
        return CProgressFolderTree::WindowProc(message, wParam, lParam);
    }
};

class CTreeParent : public CWnd {};

bool IsPrefixFolder(const std::string& folder, const std::string& path) {
    if (folder.empty() || folder.size() > path.size())
        return false;
    if (_strnicmp(folder.c_str(), path.c_str(), folder.size()) != 0)
        return false;
    return folder.size() == path.size() || folder.back() == '\\' || path[folder.size()] == '\\';
}

class FolderTree : public ::testing::Test {
protected:
    CRecordingMalloc m_counting; // outlives the tree that may use it
    CTreeParent m_parent;
    CTestFolderTree m_tree;
    CTempFolder m_dir;

    void SetUp() override {
        ASSERT_TRUE(CreateTestParent(m_parent, RECT{50, 50, 450, 650}, COLOR_WINDOW));
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, "",
                                   WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES |
                                       TVS_SHOWSELALWAYS | TVS_SINGLEEXPAND,
                                   0, 0, 400, 600, m_parent.m_hWnd, reinterpret_cast<HMENU>(1003),
                                   nullptr, nullptr);
        ASSERT_TRUE(m_tree.SubclassWindow(h));
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    // Expands its way down from the top level to the node of a file-system folder.
    HTREEITEM WalkTo(const std::string& target) {
        HTREEITEM level = TVI_ROOT;
        for (int depth = 0; depth < 40; ++depth) {
            HTREEITEM next = nullptr;
            for (HTREEITEM c = m_tree.GetChildItem(level); c && !next;
                 c = m_tree.GetNextSiblingItem(c)) {
                std::string path = m_tree.PathOf(c);
                if (_stricmp(path.c_str(), target.c_str()) == 0)
                    return c;
                if (IsPrefixFolder(path, target))
                    next = c;
            }
            if (!next && level == TVI_ROOT) {
                // the drives live under a top-level node outside the file system
                for (HTREEITEM c = m_tree.GetChildItem(TVI_ROOT); c && !next;
                     c = m_tree.GetNextSiblingItem(c)) {
                    if (!m_tree.PathOf(c).empty())
                        continue;
                    m_tree.Expand(c, TVE_EXPAND);
                    for (HTREEITEM d = m_tree.GetChildItem(c); d && !next;
                         d = m_tree.GetNextSiblingItem(d))
                        if (IsPrefixFolder(m_tree.PathOf(d), target))
                            next = d;
                }
            }
            if (!next)
                return nullptr;
            m_tree.Expand(next, TVE_EXPAND);
            level = next;
        }
        return nullptr;
    }
};

std::string DisplayName(IShellFolder* folder, LPCITEMIDLIST child) {
    STRRET name = {};
    char text[MAX_PATH] = {};
    if (SUCCEEDED(folder->GetDisplayNameOf(child, SHGDN_INFOLDER | 0x2000, &name)))
        ::StrRetToBufA(&name, child, text, MAX_PATH);
    return text;
}

TEST_F(FolderTree, TopLevelHoldsTheDesktopsFoldersInTheDesktopsOrder) {
    m_tree.SetRootFolder(nullptr);
    IShellFolder* desktop = nullptr;
    ::SHGetDesktopFolder(&desktop);
    IEnumIDList* items = nullptr;
    ASSERT_EQ(desktop->EnumObjects(nullptr, SHCONTF_FOLDERS, &items), S_OK);
    std::vector<LPITEMIDLIST> children;
    LPITEMIDLIST child = nullptr;
    while (items->Next(1, &child, nullptr) == S_OK)
        children.push_back(child);
    items->Release();
    std::stable_sort(children.begin(), children.end(), [&](LPITEMIDLIST a, LPITEMIDLIST b) {
        return static_cast<short>(HRESULT_CODE(desktop->CompareIDs(0, a, b))) < 0;
    });
    std::vector<std::string> expected;
    for (LPITEMIDLIST c : children) {
        expected.push_back(DisplayName(desktop, c));
        ::CoTaskMemFree(c);
    }
    desktop->Release();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(m_tree.ChildTexts(TVI_ROOT), expected);
}

TEST_F(FolderTree, WalkingDownListsSubfoldersSortedAndSelectingGivesThePath) {
    // the last: 80 characters, 240 bytes of UTF-8, a path too long for a MAX_PATH byte buffer
    std::string wide;
    for (int i = 0; i < 80; ++i)
        wide += u8"日";
    for (const std::string& sub : {std::string("b"), std::string("a"), std::string("c"), wide})
        MakeFolder(m_dir / sub);
    WriteTextFile(m_dir / "file.jpg", "not a folder");
    m_tree.SetRootFolder(nullptr);
    HTREEITEM node = WalkTo(m_dir.Path());
    ASSERT_NE(node, nullptr);
    m_tree.Expand(node, TVE_EXPAND);
    EXPECT_EQ(m_tree.ChildTexts(node), (std::vector<std::string>{"a", "b", "c", wide}));

    HTREEITEM wideNode = m_tree.GetChildItem(node);
    for (int i = 0; i < 3 && wideNode; ++i)
        wideNode = m_tree.GetNextSiblingItem(wideNode);
    ASSERT_NE(wideNode, nullptr);
    m_tree.SelectItem(wideNode);
    EXPECT_EQ(_stricmp(m_tree.m_strSelPath.c_str(), (m_dir / wide).c_str()), 0)
        << m_tree.m_strSelPath;

    m_tree.SelectItem(node);
    EXPECT_EQ(_stricmp(m_tree.m_strSelPath.c_str(), m_dir.Path().c_str()), 0)
        << m_tree.m_strSelPath;

    // a folder without subfolders is not final: it stays collapsed and keeps
    // whatever button the shell's attributes gave it, to be filled again later
    HTREEITEM leaf = m_tree.GetChildItem(node);
    TVITEMA item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = leaf;
    m_tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    const int button = item.cChildren;
    m_tree.Expand(leaf, TVE_EXPAND);
    m_tree.SendMessage(TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.cChildren, button);
    EXPECT_EQ(m_tree.GetChildItem(leaf), nullptr);
    EXPECT_FALSE(
        m_tree.SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(leaf), TVIS_EXPANDED) &
        TVIS_EXPANDED);

    for (HTREEITEM c = m_tree.GetChildItem(TVI_ROOT); c; c = m_tree.GetNextSiblingItem(c)) {
        if (m_tree.PathOf(c).empty()) {
            m_tree.SelectItem(c);
            EXPECT_EQ(m_tree.m_strSelPath, "");
            break;
        }
    }
}

TEST_F(FolderTree, FillOfFiveChildrenReportsTheseWidths) {
    for (const char* sub : {"1", "2", "3", "4", "5"})
        MakeFolder(m_dir / sub);
    m_tree.m_bFeedback = 1;
    m_tree.SetTickPeriod(125);
    m_tree.SetRootFolder(nullptr);
    HTREEITEM node = WalkTo(m_dir.Path());
    ASSERT_NE(node, nullptr);
    std::vector<int> widths;
    m_tree.m_onProgressReport = [&](int total, int done) {
        widths.push_back(FeedbackFillWidth(total, done, kDefaultDpi));
    };
    // A first expansion in a fresh prefix makes the system's folder icons,
    // which stay: the count is taken after one, collapsed and emptied again.
    m_tree.Expand(node, TVE_EXPAND);
    m_tree.Expand(node, TVE_COLLAPSE | TVE_COLLAPSERESET);
    widths.clear();
    int gdiBefore = CountGdiObjects();
    m_tree.Expand(node, TVE_EXPAND);
    EXPECT_EQ(widths, (std::vector<int>{0, 0, 8, 16, 23, 29, 34, 50}));
    EXPECT_EQ(CountGdiObjects(), gdiBefore); // the feedback's brushes are gone again
}

// Also run in a process of 192 DPI (tests/CMakeLists.txt).
TEST_F(FolderTree, LoadingFeedbackIsSizedForTheTreesDpi) {
    MakeFolder(m_dir / "sub");
    m_tree.m_bFeedback = 1;
    m_tree.SetRootFolder(nullptr);
    HTREEITEM node = WalkTo(m_dir.Path());
    ASSERT_NE(node, nullptr);
    m_tree.Expand(node, TVE_EXPAND);
    const UINT dpi = WindowDpi(m_tree.m_hWnd);
    EXPECT_EQ(m_tree.m_rcBar.right - m_tree.m_rcBar.left, ScaleForDpi(kBarWidth, dpi));
    EXPECT_EQ(m_tree.m_rcIcon.right - m_tree.m_rcIcon.left, SystemMetricForDpi(SM_CXSMICON, dpi));
    EXPECT_EQ(m_tree.m_rcIcon.bottom - m_tree.m_rcIcon.top, SystemMetricForDpi(SM_CYSMICON, dpi));
}

TEST_F(FolderTree, DeletingANodeFreesItsListOnce) {
    MakeFolder(m_dir / "sub");
    CCountingMalloc& counting = m_counting;
    m_tree.CountFrees(&counting);
    m_tree.SetRootFolder(nullptr);
    HTREEITEM node = WalkTo(m_dir.Path());
    ASSERT_NE(node, nullptr);
    m_tree.Expand(node, TVE_EXPAND);
    HTREEITEM sub = m_tree.GetChildItem(node);
    ASSERT_NE(sub, nullptr);
    void* list = reinterpret_cast<void*>(m_tree.GetItemData(sub));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(counting.m_frees.count(list), 0u);
    m_tree.SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(sub));
    EXPECT_EQ(counting.m_frees[list], 1);
    m_tree.DestroyWindow(); // every other node's list goes back too, each once
    for (const auto& [block, times] : counting.m_frees)
        EXPECT_EQ(times, 1);
    EXPECT_GE(static_cast<int>(counting.m_frees.size()), counting.m_nAllocs);
}

TEST_F(FolderTree, ChildTheTreeTurnsDownGivesItsListBack) {
    for (const char* sub : {"1", "2"})
        MakeFolder(m_dir / sub);
    m_tree.SetRootFolder(nullptr);
    HTREEITEM node = WalkTo(m_dir.Path());
    ASSERT_NE(node, nullptr);
    m_tree.CountFrees(&m_counting);
    m_tree.m_bRefuseChildren = true;
    m_tree.Expand(node, TVE_EXPAND);
    EXPECT_EQ(m_tree.GetChildItem(node), nullptr);
    ASSERT_EQ(m_counting.m_given.size(), 2u);
    for (void* list : m_counting.m_given)
        EXPECT_EQ(m_counting.m_frees[list], 1);
}

TEST(LoadingAnimation, CursorResourceHasEightFramesInEightSteps) {
    HINSTANCE inst = ::GetModuleHandleA(nullptr);
    HRSRC res =
        ::FindResourceA(inst, MAKEINTRESOURCEA(IDC_LOADING_ANIMATION), MAKEINTRESOURCEA(21));
    ASSERT_NE(res, nullptr);
    const BYTE* ani = static_cast<const BYTE*>(::LockResource(::LoadResource(inst, res)));
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(ani) + 8, 4), "ACON");
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(ani) + 12, 4), "anih");
    const DWORD* header = reinterpret_cast<const DWORD*>(ani + 20);
    EXPECT_EQ(header[1], 8u); // frames
    EXPECT_EQ(header[2], 8u); // steps
    HANDLE cursor = ::LoadImageA(inst, MAKEINTRESOURCEA(IDC_LOADING_ANIMATION), IMAGE_CURSOR, 0, 0,
                                 LR_DEFAULTCOLOR);
    EXPECT_NE(cursor, nullptr);
    ::DestroyCursor(static_cast<HCURSOR>(cursor));
}

} // namespace
