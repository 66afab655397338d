// CFileFind: enumeration of the directory entries that match a pattern, in the
// order the file system lists them. FindFile starts the search; each
// FindNextFile moves to the next match and says whether another one follows.
// Names are read in UTF-16 and handed out in the ANSI code page; an entry
// whose name the code page cannot hold exactly says so (IsNameIntact).
#pragma once

#include "Time.h"

#include <windows.h>

#include <string>

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
    ~CFileFind() { Close(); }

    BOOL FindFile(const std::string& pattern);
    BOOL FindNextFile();
    void Close();

    std::string GetFileName() const { return m_strName; }
    std::string GetFileTitle() const;
    std::string GetFilePath() const;
    CTime GetCreationTime() const { return CTime(m_found.ftCreationTime); }
    BOOL IsDots() const;
    BOOL MatchesMask(DWORD dwMask) const { return (m_found.dwFileAttributes & dwMask) != 0; }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    // A link, junction or mount point: walking into it would leave the tree.
    // Other reparse points (cloud placeholders, deduplicated folders) hold
    // their own files and are ordinary folders to a walk.
    BOOL IsLink() const {
        return MatchesMask(FILE_ATTRIBUTE_REPARSE_POINT) &&
               IsReparseTagNameSurrogate(m_found.dwReserved0);
    }
    // False when GetFileName is not the entry's real name: the code page
    // cannot hold it, and the name given would address another file or none.
    BOOL IsNameIntact() const { return m_bNameIntact; }

private:
    HANDLE m_hFind = INVALID_HANDLE_VALUE;
    bool m_bHaveNext = false;
    bool m_bSingleName = false;
    bool m_bNameIntact = true;
    WIN32_FIND_DATAW m_next = {};
    WIN32_FIND_DATAW m_found = {};
    std::string m_strName;
    std::string m_strRoot; // absolute folder of the pattern, with its trailing backslash
};

// Joins a folder and a name with one backslash, also where the folder is a
// drive's root and already ends with one.
std::string JoinPath(const std::string& folder, const std::string& name);
