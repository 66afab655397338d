// Expanding a folder with many subfolders in the folder tree, against a bare
// enumeration of the same folder through the shell that asks for what a node
// shows (display name, attributes, icon index).
//
// Usage: bench_tree [subfolders, default 5000]
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

double BareEnumeration(const std::string& folderPath, int* count) {
    double t0 = Seconds();
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
    return Seconds() - t0;
}

// The tree's own fill of the folder, on a node that stands for it.
class CBenchTree : public CFolderTree {
public:
    double Expand(const std::string& folderPath, int* count) {
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
        double t0 = Seconds();
        CBusyTreeCtrl::Expand(node, TVE_EXPAND);
        double t1 = Seconds();
        *count = 0;
        for (HTREEITEM c = GetChildItem(node); c; c = GetNextSiblingItem(c))
            ++*count;
        return t1 - t0;
    }
};

} // namespace

int main(int argc, char** argv) {
    int folders = argc > 1 ? std::atoi(argv[1]) : 5000;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    std::string root = MakeScratchFolder("tessivox-bench-tree");
    for (int i = 0; i < folders; ++i)
        ::CreateDirectoryA((root + "\\Sub" + std::to_string(10000 + i)).c_str(), nullptr);

    CHost host;
    std::string cls = AfxRegisterWndClass(0);
    host.CreateEx(0, cls.c_str(), "bench", WS_POPUP | WS_VISIBLE, RECT{0, 0, 400, 600}, nullptr, 0);
    HWND h =
        ::CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS, 0, 0, 400,
                          600, host.m_hWnd, reinterpret_cast<HMENU>(1003), nullptr, nullptr);
    CBenchTree tree;
    tree.SubclassWindow(h);
    tree.m_bFeedback = 1;
    tree.SetTickPeriod(125);

    int bareCount = 0;
    double bare = BareEnumeration(root, &bareCount);
    int treeCount = 0;
    double filled = tree.Expand(root, &treeCount);
    std::printf("expanding a folder of %d subfolders (%d nodes)\n", bareCount, treeCount);
    std::printf("  bare shell enumeration: %.3f s\n", bare);
    std::printf("  tree expansion:         %.3f s\n", filled);
    std::printf("  ratio tree/bare: %.3f (target <= 1.5)\n", filled / bare);

    host.DestroyWindow();
    RemoveTree(root);
    ::OleUninitialize();
    return 0;
}
