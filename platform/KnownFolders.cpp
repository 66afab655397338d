#include "KnownFolders.h"

#include "CodePage.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

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
    for (int csidl :
         {CSIDL_WINDOWS, CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_APPDATA}) {
        std::string path = FolderPath(csidl);
        if (!path.empty())
            known.system.push_back(path);
    }
    return known;
}

std::string FinalFolderPath(const std::string& path) {
    HANDLE h = ::CreateFileW(WidenName(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    std::wstring final;
    if (h != INVALID_HANDLE_VALUE) {
        const DWORD need = ::GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED);
        std::vector<wchar_t> buffer(need + 1);
        if (need && ::GetFinalPathNameByHandleW(h, buffer.data(), need + 1, FILE_NAME_NORMALIZED) <
                        need + 1)
            final = buffer.data();
        ::CloseHandle(h);
    }
    if (final.rfind(L"\\\\?\\UNC\\", 0) == 0)
        final = L"\\\\" + final.substr(8);
    else if (final.rfind(L"\\\\?\\", 0) == 0)
        final = final.substr(4);
    if (final.empty())
        final = WidenName(path);
    ::CharUpperBuffW(final.data(), static_cast<DWORD>(final.size()));
    std::string narrow;
    return NarrowNameExactly(final, narrow) ? narrow : path;
}
