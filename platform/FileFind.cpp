#include "FileFind.h"

#include "CodePage.h"

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        return folder + name;
    return folder + "\\" + name;
}

namespace {
// The folder part of a pattern, made absolute. Where the system cannot make
// it absolute (a path at its length limit), the pattern's own folder stands:
// an entry's path must never lose its folder.
std::string PatternFolder(const std::string& pattern) {
    const std::wstring wide = WidenName(pattern);
    DWORD n = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (n > 0) {
        std::wstring full(n, L'\0');
        wchar_t* filePart = nullptr;
        DWORD got = ::GetFullPathNameW(wide.c_str(), n, &full[0], &filePart);
        std::string narrow;
        if (got > 0 && got < n && filePart &&
            NarrowNameExactly(full.substr(0, static_cast<size_t>(filePart - full.data())), narrow))
            return narrow;
    }
    size_t slash = pattern.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
}
} // namespace

BOOL CFileFind::FindFile(const std::string& pattern) {
    Close();
    m_hFind = ::FindFirstFileW(WidenName(pattern).c_str(), &m_next);
    if (m_hFind == INVALID_HANDLE_VALUE)
        return FALSE;
    m_bHaveNext = true;
    m_bSingleName = pattern.find_first_of("*?") == std::string::npos;
    m_strRoot = PatternFolder(pattern);
    return TRUE;
}

BOOL CFileFind::FindNextFile() {
    if (m_hFind == INVALID_HANDLE_VALUE || !m_bHaveNext)
        return FALSE;
    m_found = m_next;
    m_bNameIntact = NarrowNameExactly(m_found.cFileName, m_strName);
    // A name without wildcards matches one entry at most: looking further
    // would only read the rest of the folder again.
    m_bHaveNext = !m_bSingleName && ::FindNextFileW(m_hFind, &m_next) != FALSE;
    return m_bHaveNext;
}

void CFileFind::Close() {
    if (m_hFind != INVALID_HANDLE_VALUE)
        ::FindClose(m_hFind);
    m_hFind = INVALID_HANDLE_VALUE;
    m_bHaveNext = false;
}

std::string CFileFind::GetFileTitle() const {
    size_t dot = m_strName.rfind('.');
    return dot == std::string::npos ? m_strName : m_strName.substr(0, dot);
}

std::string CFileFind::GetFilePath() const {
    return m_strRoot + m_strName;
}

BOOL CFileFind::IsDots() const {
    const wchar_t* n = m_found.cFileName;
    return IsDirectory() && n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0'));
}
