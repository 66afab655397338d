#include "File.h"

#include "Exceptions.h"

#include <windows.h>

void CFile::Rename(const std::string& oldName, const std::string& newName) {
    // No MOVEFILE_REPLACE_EXISTING: a name that is taken makes the rename fail.
    if (!::MoveFileExA(oldName.c_str(), newName.c_str(), 0))
        throw CFileException(::GetLastError(), oldName);
}
