// Which file a name stood for: the volume, the file's number on it, and its
// size and last write time. Back gives a file its old name only while the
// name still stands for the same file.
#pragma once

#include <cstdint>

struct FileIdentity {
    std::uint32_t volume = 0;
    std::uint64_t fileId = 0;
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0; // the system's file time
    // The volume keeps a file's number across renames (NTFS, ReFS); FAT and
    // exFAT, as on a camera's card, number a file by where its name is stored.
    bool stableId = false;
    bool hasId = false; // volume and number were read, not only size and time
    bool known = false;
};

// Whether now is the file that was recorded. Where numbers are kept and both
// sides have them, the number decides, so a photo edited since is still
// itself; elsewhere its size and its last write time must both be unchanged.
inline bool SameFile(const FileIdentity& recorded, const FileIdentity& now) {
    if (!recorded.known || !now.known)
        return false;
    if (recorded.hasId && now.hasId) {
        if (recorded.volume != now.volume)
            return false;
        if (recorded.stableId && now.stableId)
            return recorded.fileId == now.fileId;
    }
    return recorded.size == now.size && recorded.lastWrite == now.lastWrite;
}
