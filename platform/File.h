// CFile::Rename: gives a file a new name. It never replaces an existing file;
// on failure it raises a CFileException with the system's error code.
// IsPathTaken: whether any entry, file or folder, answers to a path.
#pragma once

#include <string>

class CFile {
public:
    static void Rename(const std::string& oldName, const std::string& newName);
};

// One query of the entry itself, where a find would open and list its folder.
// An entry that is there but cannot be queried counts as taken: only "not
// found" frees a name.
bool IsPathTaken(const std::string& path);
