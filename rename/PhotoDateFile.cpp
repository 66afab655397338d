#include "PhotoDateFile.h"

#include "PhotoDate.h"
#include "platform/ScopedHandles.h"

#include <windows.h>

std::optional<std::tm> ReadPhotoDateFile(const std::string& path) {
    // Full sharing: a photo being read must not stand in the way of a rename.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const CKernelHandle file(h);
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(h, &size))
        return std::nullopt;
    return ReadPhotoDate(
        [h](uint64_t offset, size_t count, unsigned char* buffer) -> size_t {
            // The reader asks for small pieces; each is read at its own offset.
            OVERLAPPED at = {};
            at.Offset = DWORD(offset);
            at.OffsetHigh = DWORD(offset >> 32);
            DWORD read = 0;
            if (count > MAXDWORD || !::ReadFile(h, buffer, DWORD(count), &read, &at))
                return 0;
            return read;
        },
        uint64_t(size.QuadPart));
}
