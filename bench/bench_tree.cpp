// Expanding a folder with many subfolders in the folder tree, against a bare
// enumeration of the same folder through the shell that asks for what a node
// shows (display name, attributes, icon index).
//
// Usage: bench_tree [--quick] [--rounds N]
#include "BenchSupport.h"

#include "foldertree/FolderTree.h"

#include "platform/WndClass.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>

namespace {

class CHost : public CWnd {};

Timing BareEnumeration(const std::string& folderPath, int* count) {
    Timing t0 = Now();
    IShellFolder* desktop = nullptr;
    ::SHGetDesktopFolder(&desktop);
    std::wstring wide(folderPath.begin(), folderPath.end());
    LPITEMIDLIST pidl = nullptr;
    desktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr);
    IShellFolder* folder = nullptr;
    desktop->BindToObject(pidl, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
    IEnumIDList* items = nullptr;
    folder->EnumObjects(nullptr, SHCONTF_FOLDERS, &items);
    LPITEMIDLIST child = nullptr;
    *count = 0;
    while (items->Next(1, &child, nullptr) == S_OK) {
        STRRET name = {};
        folder->GetDisplayNameOf(child, SHGDN_INFOLDER, &name);
        if (name.uType == STRRET_WSTR)
            ::CoTaskMemFree(name.pOleStr);
        ULONG attrs = SFGAO_FOLDER | SFGAO_LINK | SFGAO_HASSUBFOLDER;
        LPCITEMIDLIST rel[1] = {child};
        folder->GetAttributesOf(1, rel, &attrs);
        LPITEMIDLIST absolute = ILCombine(pidl, child);
        SHFILEINFOA info = {};
        ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(absolute), 0, &info, sizeof(info),
                         SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL);
        ILFree(absolute);
        ::CoTaskMemFree(child);
        ++*count;
    }
    items->Release();
    folder->Release();
    desktop->Release();
    ::CoTaskMemFree(pidl);
    return Now() - t0;
}

// The tree's own fill of the folder, on a node that stands for it.
class CBenchTree : public CFolderTree {
public:
    Timing Expand(const std::string& folderPath, int* count) {
        std::wstring wide(folderPath.begin(), folderPath.end());
        LPITEMIDLIST pidl = nullptr;
        m_pDesktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr);
        TVINSERTSTRUCTA ins = {};
        ins.hParent = TVI_ROOT;
        ins.hInsertAfter = TVI_LAST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
        ins.item.pszText = const_cast<char*>("bench");
        ins.item.cChildren = 1;
        ins.item.lParam = reinterpret_cast<LPARAM>(pidl); // the node owns it from here
        auto node = reinterpret_cast<HTREEITEM>(
            SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
        Timing t0 = Now();
        CBusyTreeCtrl::Expand(node, TVE_EXPAND);
        Timing took = Now() - t0;
        *count = 0;
        for (HTREEITEM c = GetChildItem(node); c; c = GetNextSiblingItem(c))
            ++*count;
        return took;
    }
};

// A fresh folder of subfolders per round; the round's floor and tree share it.
std::string MakeSubfolders(int folders) {
    std::string root = MakeScratchFolder("tessivox-bench-tree");
    for (int i = 0; i < folders; ++i)
        ::CreateDirectoryA((root + "\\Sub" + std::to_string(10000 + i)).c_str(), nullptr);
    return root;
}

} // namespace

int main(int argc, char** argv) {
    BenchArgs args = ParseBenchArgs(argc, argv);
    int folders = args.quick ? 1000 : 5000;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);

    std::string root;
    int used = 2; // sides that have used the current folder
    auto folder = [&]() {
        if (used == 2) {
            if (!root.empty())
                RemoveTree(root);
            root = MakeSubfolders(folders);
            used = 0;
        }
        ++used;
        return root;
    };
    int bareCount = 0, treeCount = 0;
    auto bare = [&]() { return BareEnumeration(folder(), &bareCount); };
    auto expand = [&]() {
        std::string path = folder();
        CHost host;
        std::string cls = AfxRegisterWndClass(0);
        host.CreateEx(0, cls.c_str(), "bench", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 600}, nullptr,
                      0);
        HWND h = ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0,
                                   0, 400, 600, host.m_hWnd, reinterpret_cast<HMENU>(1003), nullptr,
                                   nullptr);
        CBenchTree tree;
        tree.SubclassWindow(h);
        tree.m_bFeedback = 1;
        tree.SetTickPeriod(125);
        Timing took = tree.Expand(path, &treeCount);
        host.DestroyWindow();
        return took;
    };
    CompareRounds("expanding a folder of " + std::to_string(folders) + " subfolders", args, bare,
                  expand, 1.5);
    if (bareCount != folders || treeCount != folders)
        std::printf("  the bare enumeration saw %d, the tree made %d nodes\n", bareCount,
                    treeCount);
    RemoveTree(root);
    ::OleUninitialize();
    return 0;
}
