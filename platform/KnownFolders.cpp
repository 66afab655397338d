#include "KnownFolders.h"

#include "CodePage.h"

#include <windows.h>

#include <shlobj.h>

namespace {
std::string FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    std::string narrow;
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ||
        !NarrowNameExactly(path, narrow))
        return std::string();
    return narrow;
}
} // namespace

KnownFolders SystemKnownFolders() {
    KnownFolders known;
    known.profile = FolderPath(CSIDL_PROFILE);
    for (int csidl : {CSIDL_WINDOWS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86,
                      CSIDL_COMMON_APPDATA}) {
        std::string path = FolderPath(csidl);
        if (!path.empty())
            known.system.push_back(path);
    }
    return known;
}
