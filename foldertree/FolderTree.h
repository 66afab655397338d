// CFolderTree: the shell namespace as a tree of folders. The top level holds
// the root folder's children (the desktop's, by default); every node keeps its
// absolute item ID list and is filled on first expansion; siblings follow their
// parent folder's own order; a selected node's file-system path is worked out.
#pragma once

#include "BusyTreeCtrl.h"

#include "platform/ScopedHandles.h"

#include <shlobj.h>

#include <string>
#include <unordered_map>

class CFolderTree : public CBusyTreeCtrl {
public:
    CFolderTree();
    ~CFolderTree() override;

    // Roots the tree at a copy of pidlRoot (null: the desktop) and fills the top level.
    void SetRootFolder(LPCITEMIDLIST pidlRoot);

    // The file-system path of the node being selected; empty when it has none.
    std::string m_strSelPath;

    // The node of a folder, its parents expanded (and so filled) on the way
    // down; null when the tree does not show it (a hidden folder, a path the
    // shell cannot parse).
    HTREEITEM FindFolder(const std::string& path);
    // A node's children read again from the disk, keeping it open if it was.
    void RefreshNode(HTREEITEM hItem);

    static int CALLBACK CompareSiblings(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

protected:
    void PreSubclassWindow() override;
    BOOL ShouldReloadChildren(HTREEITEM hItem) override;
    BOOL LoadChildren(HTREEITEM hParent) override;
    void OnItemSelecting(HTREEITEM hNewItem) override;
    void OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    void AttachSystemImageList();
    BOOL DescribeChild(TVITEMA& item, std::string& text, LPCITEMIDLIST pidlAbsolute,
                       IShellFolder* pFolder, LPCITEMIDLIST pidlRelative);
    LPCITEMIDLIST NodeIDList(HTREEITEM hItem) const;

    LPITEMIDLIST m_pidlRoot = nullptr; // owned, from m_pMalloc
    CComPtr<IMalloc> m_pMalloc;
    CComPtr<IShellFolder> m_pDesktop;

private:
    // Open-folder icon by closed icon (and link overlay), for the fill under way.
    std::unordered_map<long long, int> m_openIcons;
};
