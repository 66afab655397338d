#include "File.h"

#include "CodePage.h"
#include "Exceptions.h"

#include "ScopedHandles.h"

#include <windows.h>

#include <map>
#include <vector>

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

namespace {
// Whether the volume keeps a file's number across renames; asked once a
// volume. Only NTFS and ReFS are known to: FAT numbers a file by where its
// name is stored, which a rename moves, and other file systems and network
// redirectors may say they support numbers without keeping them.
bool KeepsFileIds(HANDLE hFile, DWORD dwVolume) {
    static std::map<DWORD, bool> known;
    const auto found = known.find(dwVolume);
    if (found != known.end())
        return found->second;
    wchar_t fileSystem[MAX_PATH + 1] = {};
    bool keeps = false;
    if (::GetVolumeInformationByHandleW(hFile, nullptr, 0, nullptr, nullptr, nullptr, fileSystem,
                                        MAX_PATH + 1))
        keeps = ::lstrcmpiW(fileSystem, L"NTFS") == 0 || ::lstrcmpiW(fileSystem, L"ReFS") == 0;
    known.emplace(dwVolume, keeps);
    return keeps;
}

std::string LastPart(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
} // namespace

bool ReadPlainFile(const std::string& path, FileIdentity& identity) {
    identity = FileIdentity();
    HANDLE h = ::CreateFileW(WidenName(path).c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING,
                             FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const CKernelHandle file(h);
    FILE_BASIC_INFO basic = {};
    FILE_STANDARD_INFO standard = {};
    if (::GetFileType(h) != FILE_TYPE_DISK ||
        !::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof(basic)) ||
        !::GetFileInformationByHandleEx(h, FileStandardInfo, &standard, sizeof(standard)) ||
        standard.Directory ||
        (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return false;
    // A link names another file; the reparse points of OneDrive and the other
    // cloud files, of deduplication and the like are the file itself.
    if (basic.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        FILE_ATTRIBUTE_TAG_INFO tag = {};
        if (!::GetFileInformationByHandleEx(h, FileAttributeTagInfo, &tag, sizeof(tag)) ||
            IsReparseTagNameSurrogate(tag.ReparseTag))
            return false;
    }
    // The name as the volume stores it, which the path must give exactly.
    std::vector<DWORD> buffer(1024); // whole DWORDs keep FILE_NAME_INFO aligned
    auto* stored = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    while (!::GetFileInformationByHandleEx(h, FileNameInfo, stored,
                                           static_cast<DWORD>(buffer.size() * sizeof(DWORD)))) {
        if (::GetLastError() != ERROR_MORE_DATA || buffer.size() > 20000)
            return false;
        buffer.resize(buffer.size() * 4);
        stored = reinterpret_cast<FILE_NAME_INFO*>(buffer.data());
    }
    std::wstring storedPath(stored->FileName, stored->FileNameLength / sizeof(wchar_t));
    std::string storedName;
    if (!NarrowNameExactly(storedPath.substr(storedPath.find_last_of(L'\\') + 1), storedName) ||
        storedName != LastPart(path))
        return false;
    identity.size = static_cast<std::uint64_t>(standard.EndOfFile.QuadPart);
    identity.lastWrite = static_cast<std::uint64_t>(basic.LastWriteTime.QuadPart);
    identity.known = true;
    return true;
}

std::unordered_map<std::string, FileIdentity> FolderIdentities(const std::string& folder) {
    std::unordered_map<std::string, FileIdentity> identities;
    HANDLE h = ::CreateFileW(WidenName(folder).c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return identities;
    const CKernelHandle directory(h);
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!::GetFileInformationByHandle(h, &info))
        return identities;
    const bool stable = KeepsFileIds(h, info.dwVolumeSerialNumber);
    std::vector<ULONGLONG> buffer(8192); // 64 KiB, aligned for the records
    // A handle of its own lists the folder from its first entry on.
    for (;;) {
        if (!::GetFileInformationByHandleEx(h, FileIdBothDirectoryInfo, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * sizeof(ULONGLONG))))
            break; // ERROR_NO_MORE_FILES at the end
        for (auto* p = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());;
             p = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(reinterpret_cast<const BYTE*>(p) +
                                                                p->NextEntryOffset)) {
            std::string name;
            if (!(p->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                NarrowNameExactly(std::wstring(p->FileName, p->FileNameLength / sizeof(wchar_t)),
                                  name)) {
                FileIdentity& id = identities[name];
                id.volume = info.dwVolumeSerialNumber;
                id.fileId = static_cast<std::uint64_t>(p->FileId.QuadPart);
                id.size = static_cast<std::uint64_t>(p->EndOfFile.QuadPart);
                id.lastWrite = static_cast<std::uint64_t>(p->LastWriteTime.QuadPart);
                // 0 is a file system without numbers; all ones a number too long to give.
                id.hasId = id.fileId != 0 && id.fileId != ~std::uint64_t(0);
                id.stableId = stable && id.hasId;
                id.known = true;
            }
            if (p->NextEntryOffset == 0)
                break;
        }
    }
    return identities;
}
