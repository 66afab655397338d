#include "FileFind.h"

#include <vector>

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

BOOL CFileFind::FindFile(const std::string& pattern) {
    Close();
    m_hFind = ::FindFirstFileA(pattern.c_str(), &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = true;
    m_bSingleName = pattern.find_first_of("*?") == std::string::npos;

    std::vector<char> full(MAX_PATH, '\0');
    char* filePart = nullptr;
    DWORD n = ::GetFullPathNameA(pattern.c_str(), MAX_PATH, full.data(), &filePart);
    if (n >= MAX_PATH) {
        full.assign(n + 1, '\0');
        ::GetFullPathNameA(pattern.c_str(), n + 1, full.data(), &filePart);
    }
    m_strRoot.assign(full.data(), filePart ? static_cast<size_t>(filePart - full.data())
                                           : std::string(full.data()).size());
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHaveNext)
        return FALSE;
    m_found = m_next;
    // A name without wildcards matches one entry at most: looking further
    // would only read the rest of the folder again.
    m_bHaveNext = !m_bSingleName && ::FindNextFileA(m_hFind, &m_next) != FALSE;
    return m_bHaveNext;
}

void CFileFind::Close() {
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveNext = false;
}

std::string CFileFind::GetFileTitle() const {
    std::string name = GetFileName();
    size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string CFileFind::GetFilePath() const {
    return m_strRoot + m_found.cFileName;
}

BOOL CFileFind::IsDots() const {
    const char* n = m_found.cFileName;
    return IsDirectory() && n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}
