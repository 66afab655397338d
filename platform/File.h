// CFile::Rename: gives a file a new name. It never replaces an existing file;
// on failure it raises a CFileException with the system's error code.
#pragma once

#include <string>

class CFile {
public:
    static void Rename(const std::string& oldName, const std::string& newName);
};
