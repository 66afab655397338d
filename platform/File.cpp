#include "File.h"

#include "CodePage.h"
#include "Exceptions.h"

#include <windows.h>

void CFile::Rename(const std::string& oldName, const std::string& newName) {
    // No MOVEFILE_REPLACE_EXISTING: a name that is taken makes the rename fail.
    if (!::MoveFileExA(oldName.c_str(), newName.c_str(), 0))
        throw CFileException(::GetLastError(), oldName);
}

bool IsPathTaken(const std::string& path) {
    if (::GetFileAttributesW(WidenName(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    const DWORD error = ::GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}
