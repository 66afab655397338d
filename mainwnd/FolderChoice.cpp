// The ways into a folder besides a click in the tree: a path typed into the
// path box, the command line ("Open with", "Send to", a shortcut), a folder or
// files dropped on the window; and F5, which reads the folder again.
#include "RenamerDlg.h"

#include "app/LangText.h"
#include "app/LanguageFile.h"
#include "res/resource.h"

#include "platform/CodePage.h"
#include "platform/MessageBox.h"

#include <unordered_set>

namespace {
std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos)
        return std::string();
    // A drive's root keeps its backslash, as the tree gives it.
    return slash == 2 && path[1] == ':' ? path.substr(0, 3) : path.substr(0, slash);
}

std::string NameOfPath(const std::string& path) {
    return path.substr(path.find_last_of('\\') + 1);
}

// The full path the system makes of a path as given: relative to the current
// folder, "/" read as "\", "." and ".." resolved. Empty when it makes none.
std::string FullPath(const std::string& path) {
    const std::wstring wide = WidenName(path);
    const DWORD need = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (need == 0)
        return std::string();
    std::wstring full(need, L'\0');
    const DWORD got = ::GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
    full.resize(got < need ? got : 0);
    std::string narrow;
    return NarrowNameExactly(full, narrow) ? narrow : std::string();
}

std::string ExpandedPath(const std::string& path) {
    const std::wstring wide = WidenName(path);
    const DWORD need = ::ExpandEnvironmentStringsW(wide.c_str(), nullptr, 0);
    if (need == 0)
        return path;
    std::wstring expanded(need, L'\0');
    expanded.resize(::ExpandEnvironmentStringsW(wide.c_str(), expanded.data(), need));
    if (!expanded.empty() && expanded.back() == L'\0')
        expanded.pop_back();
    std::string narrow;
    return NarrowNameExactly(expanded, narrow) ? narrow : path;
}

bool SamePath(const std::string& a, const std::string& b) {
    return ::CompareStringOrdinal(WidenName(a).c_str(), -1, WidenName(b).c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}
} // namespace

bool CRenamerDlg::OpenPaths(const std::vector<std::string>& paths) {
    if (paths.empty())
        return false;
    std::string trimmed = paths.front();
    trimmed.erase(0, trimmed.find_first_not_of(" \t"));
    trimmed.erase(trimmed.find_last_not_of(" \t") + 1);
    // As Explorer's "Copy as path" gives it, and with %USERPROFILE% and the like.
    if (trimmed.size() >= 2 && trimmed.front() == '"' && trimmed.back() == '"')
        trimmed = trimmed.substr(1, trimmed.size() - 2);
    trimmed = ExpandedPath(trimmed);
    const std::string full = trimmed.empty() ? std::string() : FullPath(trimmed);
    const DWORD attributes =
        full.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(WidenName(full).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        AfxMessageBox(InsertArgs(LookupText("NoSuchFolder",
                                            "\"%1\" is not a folder on a disk, or it cannot be "
                                            "reached. Please choose the folder in the tree."),
                                 {trimmed}),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const bool isFolder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string folder = isFolder ? full : FolderOfPath(full);
    if (folder.size() > 3 && folder.back() == '\\')
        folder.pop_back();

    // As if clicked in the tree, where the tree shows the folder; a folder it
    // does not show (a hidden one) is chosen all the same.
    HTREEITEM node = m_tree.FindFolder(folder);
    if (node && node != m_tree.GetSelectedItem()) {
        m_tree.SelectItem(node);
    } else {
        // The tree then shows no folder rather than another one.
        if (!node)
            m_tree.SelectItem(nullptr);
        m_strFolderPath = folder;
        SetDlgItemText(IDC_PATH, m_strFolderPath);
        FillFileList();
    }
    if (node)
        m_tree.SendMessage(TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(node));

    std::vector<std::string> files;
    for (const std::string& path : paths) {
        const std::string file = FullPath(path);
        if (!file.empty() &&
            !(::GetFileAttributesW(WidenName(file).c_str()) & FILE_ATTRIBUTE_DIRECTORY) &&
            SamePath(FolderOfPath(file), m_strFolderPath))
            files.push_back(NameOfPath(file));
    }
    SelectListedFiles(files);
    return true;
}

void CRenamerDlg::SelectListedFiles(const std::vector<std::string>& names) {
    std::unordered_set<std::wstring> wanted;
    for (const std::string& name : names)
        wanted.insert(NameKey(name));
    bool first = true;
    for (int i = 0, n = m_listFiles.GetItemCount(); i < n && !wanted.empty(); ++i) {
        if (!wanted.count(NameKey(m_listFiles.GetItemText(i, 0))))
            continue;
        const UINT state = LVIS_SELECTED | (first ? LVIS_FOCUSED : 0);
        m_listFiles.SetItemState(i, state, state);
        if (first)
            m_listFiles.SendMessage(LVM_ENSUREVISIBLE, i, FALSE);
        first = false;
    }
}

LRESULT CRenamerDlg::OnOpenStartPaths(WPARAM, LPARAM) {
    OpenPaths(m_startPaths);
    return 0;
}

void CRenamerDlg::OnDropFiles(HDROP hDropInfo) {
    std::vector<std::string> paths;
    const UINT count = ::DragQueryFileW(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(hDropInfo, i, nullptr, 0);
        std::wstring wide(length + 1, L'\0');
        wide.resize(::DragQueryFileW(hDropInfo, i, wide.data(), length + 1));
        std::string path;
        if (NarrowNameExactly(wide, path))
            paths.push_back(path);
    }
    ::DragFinish(hDropInfo);
    ::SetForegroundWindow(m_hWnd);
    OpenPaths(paths);
}

void CRenamerDlg::RefreshFromDisk() {
    m_tree.RefreshNode(m_tree.GetSelectedItem());
    FillFileList();
}
