#include "FolderTree.h"

#include "IdList.h"

#include "platform/CodePage.h"

#include <shellapi.h>

#include <vector>

namespace {
// SHGDN_INCLUDE_NONFILESYS, which newer headers no longer name.
constexpr DWORD kIncludeNonFileSystem = 0x2000;

// Description identifiers of items whose contents come and go (removable and
// network places): a fill of them is never taken as final.
bool IsUnsettledDescription(DWORD dwId) {
    switch (dwId) {
    case SHDID_COMPUTER_DRIVE35:
    case SHDID_COMPUTER_DRIVE525:
    case SHDID_COMPUTER_REMOVABLE:
    case SHDID_COMPUTER_NETDRIVE:
    case SHDID_COMPUTER_CDROM:
    case SHDID_NET_DOMAIN:
    case SHDID_NET_SERVER:
    case SHDID_NET_SHARE:
    case SHDID_NET_RESTOFNET:
    case SHDID_NET_OTHER:
        return true;
    default:
        return false;
    }
}

UINT ItemCount(LPCITEMIDLIST pidl) {
    UINT n = 0;
    for (LPCITEMIDLIST id = pidl; id && id->mkid.cb; id = NextItemID(id))
        ++n;
    return n;
}

// The first n items of a list, as a list of their own.
std::vector<BYTE> FirstItems(LPCITEMIDLIST pidl, UINT n) {
    const BYTE* start = reinterpret_cast<const BYTE*>(pidl);
    const BYTE* p = start;
    for (UINT i = 0; i < n && reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb; ++i)
        p += reinterpret_cast<LPCITEMIDLIST>(p)->mkid.cb;
    std::vector<BYTE> items(start, p);
    items.push_back(0);
    items.push_back(0);
    return items;
}

int IconIndex(LPCITEMIDLIST pidl, UINT flags) {
    SHFILEINFOA info = {};
    ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(pidl), 0, &info, sizeof(info), flags);
    return info.iIcon;
}
} // namespace

BEGIN_MESSAGE_MAP(CFolderTree, CBusyTreeCtrl)
    ON_NOTIFY_REFLECT(TVN_DELETEITEMA, OnDeleteItem)
    ON_NOTIFY_REFLECT(TVN_DELETEITEMW, OnDeleteItem)
END_MESSAGE_MAP()

CFolderTree::CFolderTree() {
    ::SHGetDesktopFolder(m_pDesktop.Receive());
    ::SHGetMalloc(m_pMalloc.Receive());
}

CFolderTree::~CFolderTree() {
    // The nodes' lists go back to the allocator as the nodes are deleted.
    if (m_hWnd)
        DestroyWindow();
    if (m_pidlRoot && m_pMalloc)
        m_pMalloc->Free(m_pidlRoot);
}

void CFolderTree::PreSubclassWindow() {
    AttachSystemImageList();
    CBusyTreeCtrl::PreSubclassWindow();
}

void CFolderTree::AttachSystemImageList() {
    LPITEMIDLIST desktop = nullptr;
    ::SHGetSpecialFolderLocation(m_hWnd, CSIDL_DESKTOP, &desktop);
    SHFILEINFOA info = {};
    auto images = static_cast<DWORD_PTR>(
        ::SHGetFileInfoA(reinterpret_cast<LPCSTR>(desktop), 0, &info, sizeof(info),
                         SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL));
    if (desktop && m_pMalloc)
        m_pMalloc->Free(desktop);
    SendMessage(TVM_SETIMAGELIST, TVSIL_NORMAL, static_cast<LPARAM>(images));
}

void CFolderTree::SetRootFolder(LPCITEMIDLIST pidlRoot) {
    if (m_pidlRoot && m_pMalloc)
        m_pMalloc->Free(m_pidlRoot);
    m_pidlRoot = m_pMalloc ? ConcatIDLists(m_pMalloc.Get(), pidlRoot, nullptr) : nullptr;
    ReloadNode(TVI_ROOT);
}

LPCITEMIDLIST CFolderTree::NodeIDList(HTREEITEM hItem) const {
    if (hItem == TVI_ROOT || hItem == nullptr)
        return m_pidlRoot;
    return reinterpret_cast<LPCITEMIDLIST>(GetItemData(hItem));
}

BOOL CFolderTree::ShouldReloadChildren(HTREEITEM) {
    return FALSE;
}

BOOL CFolderTree::LoadChildren(HTREEITEM hParent) {
    if (!m_pDesktop || !m_pMalloc)
        return TRUE;
    LPCITEMIDLIST parentList = NodeIDList(hParent);
    CComPtr<IShellFolder> folder;
    m_pDesktop->BindToObject(parentList, nullptr, IID_IShellFolder,
                             reinterpret_cast<void**>(folder.Receive()));
    if (!folder) {
        if (hParent != TVI_ROOT)
            return TRUE;
        folder.Share(m_pDesktop.Get());
    }

    int inserted = 0;
    BOOL lastSettled = FALSE;
    m_openIcons.clear();
    CComPtr<IEnumIDList> items;
    if (SUCCEEDED(folder->EnumObjects(m_hWnd, SHCONTF_FOLDERS, items.Receive())) && items) {
        SetLoadProgress(0, 0);
        LPITEMIDLIST child = nullptr;
        while (items->Next(1, &child, nullptr) == S_OK) {
            LPITEMIDLIST absolute = ConcatIDLists(m_pMalloc.Get(), parentList, child);
            TVINSERTSTRUCTA ins = {};
            std::string text;
            lastSettled = DescribeChild(ins.item, text, absolute, folder.Get(), child);
            ins.hParent = hParent;
            ins.hInsertAfter = TVI_LAST;
            ins.item.mask |= TVIF_PARAM;
            ins.item.lParam = reinterpret_cast<LPARAM>(absolute);
            if (SendMessage(TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)))
                ++inserted;
            else if (absolute)
                m_pMalloc->Free(absolute); // no node took it
            StepLoadProgress(1);
            m_pMalloc->Free(child);
            child = nullptr;
        }
    }
    items.Reset();

    TVSORTCB sort = {hParent, &CompareSiblings, reinterpret_cast<LPARAM>(folder.Get())};
    SendMessage(TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    folder.Reset();
    SetLoadProgress(1, 1);

    if (inserted == 0 || !lastSettled)
        return FALSE;
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(parentList, path))
        return TRUE;
    return ::GetDriveTypeW(path) == DRIVE_FIXED;
}

BOOL CFolderTree::DescribeChild(TVITEMA& item, std::string& text, LPCITEMIDLIST pidlAbsolute,
                                IShellFolder* pFolder, LPCITEMIDLIST pidlRelative) {
    item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;

    STRRET name = {};
    if (SUCCEEDED(pFolder->GetDisplayNameOf(pidlRelative, SHGDN_INFOLDER | kIncludeNonFileSystem,
                                            &name))) {
        switch (name.uType) {
        case STRRET_WSTR: {
            int n =
                ::WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, nullptr, 0, nullptr, nullptr);
            std::vector<char> buf(n > 0 ? n : 1, '\0');
            ::WideCharToMultiByte(CP_ACP, 0, name.pOleStr, -1, buf.data(), n, nullptr, nullptr);
            text = buf.data();
            m_pMalloc->Free(name.pOleStr);
            break;
        }
        case STRRET_OFFSET:
            text = reinterpret_cast<const char*>(pidlRelative) + name.uOffset;
            break;
        case STRRET_CSTR:
            text = name.cStr;
            break;
        default:
            break;
        }
    }
    item.pszText = const_cast<char*>(text.c_str());

    LPCITEMIDLIST relative[1] = {pidlRelative};
    ULONG kind = SFGAO_FOLDER | SFGAO_LINK;
    pFolder->GetAttributesOf(1, relative, &kind);
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_PIDL;
    if (kind & SFGAO_LINK)
        flags |= SHGFI_LINKOVERLAY;
    item.iImage = IconIndex(pidlAbsolute, flags);
    if (!(kind & SFGAO_FOLDER)) {
        item.iSelectedImage = item.iImage; // the same question again
    } else {
        // Every icon lookup is a trip to the file system. Folders that share a
        // closed icon share its open one, so a fill asks once per kind of icon.
        const long long key =
            (static_cast<long long>(item.iImage) << 1) | ((kind & SFGAO_LINK) ? 1 : 0);
        auto known = m_openIcons.find(key);
        if (known == m_openIcons.end())
            known = m_openIcons.emplace(key, IconIndex(pidlAbsolute, flags | SHGFI_OPENICON)).first;
        item.iSelectedImage = known->second;
    }

    ULONG media = SFGAO_FOLDER | SFGAO_REMOVABLE;
    pFolder->GetAttributesOf(1, relative, &media);
    if (!(media & SFGAO_FOLDER)) {
        item.cChildren = 0;
    } else if (media & SFGAO_REMOVABLE) {
        item.cChildren = 1; // removable media are not probed before they are opened
    } else {
        ULONG sub = SFGAO_HASSUBFOLDER;
        pFolder->GetAttributesOf(1, relative, &sub);
        item.cChildren = (sub & SFGAO_HASSUBFOLDER) ? 1 : 0;
    }

    SHDESCRIPTIONID description = {};
    if (FAILED(::SHGetDataFromIDListA(pFolder, pidlRelative, SHGDFIL_DESCRIPTIONID, &description,
                                      sizeof(description))))
        return TRUE;
    return !IsUnsettledDescription(description.dwDescriptionId);
}

int CALLBACK CFolderTree::CompareSiblings(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort) {
    auto* folder = reinterpret_cast<IShellFolder*>(lParamSort);
    auto first = reinterpret_cast<LPCITEMIDLIST>(lParam1);
    auto second = reinterpret_cast<LPCITEMIDLIST>(lParam2);
    if (!folder || !first || !second)
        return 0;
    HRESULT hr = folder->CompareIDs(0, LastItemID(first), LastItemID(second));
    if (FAILED(hr))
        return 0;
    short order = static_cast<short>(HRESULT_CODE(hr));
    return order < 0 ? -1 : order > 0 ? 1 : 0;
}

HTREEITEM CFolderTree::FindFolder(const std::string& path) {
    // A share would be looked for by browsing the network, which can keep
    // the window waiting for many seconds.
    if (!m_pDesktop || !m_pMalloc || path.rfind("\\\\", 0) == 0)
        return nullptr;
    std::wstring wide = WidenName(path);
    LPITEMIDLIST target = nullptr;
    if (FAILED(m_pDesktop->ParseDisplayName(m_hWnd, nullptr, wide.data(), nullptr, &target,
                                            nullptr)) ||
        !target)
        return nullptr;
    // Level by level from the root, through the node whose list is the
    // target's beginning; the shell decides what counts as the same item.
    const UINT depth = ItemCount(target);
    UINT level = ItemCount(m_pidlRoot);
    HTREEITEM parent = TVI_ROOT;
    HTREEITEM found = nullptr;
    while (!found && level < depth) {
        const std::vector<BYTE> wanted = FirstItems(target, level + 1);
        const auto wantedList = reinterpret_cast<LPCITEMIDLIST>(wanted.data());
        HTREEITEM match = nullptr;
        for (HTREEITEM c = GetChildItem(parent); c && !match; c = GetNextSiblingItem(c)) {
            auto node = reinterpret_cast<LPCITEMIDLIST>(GetItemData(c));
            if (node && ItemCount(node) == level + 1) {
                HRESULT hr = m_pDesktop->CompareIDs(SHCIDS_CANONICALONLY, node, wantedList);
                if (SUCCEEDED(hr) && HRESULT_CODE(hr) == 0)
                    match = c;
            }
        }
        if (!match)
            break;
        if (++level == depth)
            found = match;
        else
            Expand(match, TVE_EXPAND);
        parent = match;
    }
    m_pMalloc->Free(target);
    return found;
}

void CFolderTree::RefreshNode(HTREEITEM hItem) {
    if (!hItem)
        return;
    TVITEMA item = {};
    item.stateMask = TVIS_EXPANDED;
    const bool expanded = QueryItem(item, hItem, TVIF_STATE) && (item.state & TVIS_EXPANDED);
    if (!expanded) {
        // Read when it is next opened: a fill now would open it.
        SetRedraw(FALSE);
        ClearChildren(hItem);
        SetRedraw(TRUE);
    }
    // A folder without subfolders until now may have some (and the tree may
    // have dropped the button with the last child); its next opening must
    // notify again, as its first did: the tree keeps quiet for a node opened
    // once before.
    item = {};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN | TVIF_STATE;
    item.hItem = hItem;
    item.cChildren = 1;
    item.stateMask = TVIS_EXPANDEDONCE;
    SendMessage(TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    if (!expanded)
        return;
    ReloadNode(hItem);
    if (GetChildItem(hItem))
        Expand(hItem, TVE_EXPAND);
}

void CFolderTree::OnItemSelecting(HTREEITEM hNewItem) {
    // Asked in UTF-16: a path of MAX_PATH characters can take three times as
    // many bytes in UTF-8, more than the byte string call has room for.
    wchar_t path[MAX_PATH] = {};
    LPCITEMIDLIST list = NodeIDList(hNewItem);
    if (!list || !::SHGetPathFromIDListW(list, path) || !NarrowNameExactly(path, m_strSelPath))
        m_strSelPath.clear();
}

void CFolderTree::OnDeleteItem(NMHDR* pNMHDR, LRESULT* pResult) {
    auto* nm = reinterpret_cast<NMTREEVIEWA*>(pNMHDR);
    if (nm->itemOld.lParam && m_pMalloc)
        m_pMalloc->Free(reinterpret_cast<void*>(nm->itemOld.lParam));
    *pResult = 0;
}
