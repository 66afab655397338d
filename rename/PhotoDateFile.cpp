#include "PhotoDateFile.h"

#include "cameradate/CameraDate.h"
#include "platform/ScopedHandles.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// What one read of a file's start brings in: where nearly every photo keeps its date.
constexpr LONGLONG kHeadBytes = 64 * 1024;

} // namespace

namespace {
std::optional<CameraDate> ReadRecord(const std::string& path, unsigned long& error) {
    error = 0;
    // Full sharing: a photo being read must not stand in the way of a rename.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = ::GetLastError();
        return std::nullopt;
    }
    const CKernelHandle file(h);
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(h, &size)) {
        error = ::GetLastError();
        return std::nullopt;
    }
    // The readers ask for many small pieces, most of them near the start: one
    // read of the head serves those, and only a piece past it costs another.
    auto readAt = [h, &error](uint64_t offset, size_t count, unsigned char* buffer) -> size_t {
        OVERLAPPED at = {};
        at.Offset = DWORD(offset);
        at.OffsetHigh = DWORD(offset >> 32);
        DWORD read = 0;
        if (count > MAXDWORD)
            return 0;
        if (!::ReadFile(h, buffer, DWORD(count), &read, &at)) {
            // Past the end is the file's own shortness; anything else hides a date.
            if (::GetLastError() != ERROR_HANDLE_EOF)
                error = ::GetLastError();
            return 0;
        }
        return read;
    };
    std::vector<unsigned char> head(size_t(std::min<LONGLONG>(size.QuadPart, kHeadBytes)));
    head.resize(head.empty() ? 0 : readAt(0, head.size(), head.data()));
    if (error != 0)
        return std::nullopt;
    const std::optional<CameraDate> taken = ReadCameraDate(
        [&head, &readAt](uint64_t offset, size_t count, unsigned char* buffer) -> size_t {
            if (offset <= head.size() && count <= head.size() - offset) {
                std::memcpy(buffer, head.data() + offset, count);
                return count;
            }
            return readAt(offset, count, buffer);
        },
        uint64_t(size.QuadPart));
    if (error != 0)
        return std::nullopt;
    return taken;
}
} // namespace

std::optional<std::tm> ReadPhotoDateFile(const std::string& path, unsigned long& error,
                                         const TIME_ZONE_INFORMATION* zone, std::string* subSecond,
                                         std::string* camera) {
    const std::optional<CameraDate> taken = ReadRecord(path, error);
    if (!taken)
        return std::nullopt;
    if (subSecond)
        *subSecond = taken->subSecond;
    if (camera)
        *camera = taken->model;
    if (!taken->utc)
        return taken->time;
    // A movie header counts in UTC: the local time of that day, with the
    // daylight-saving rule of that day, as a file's creation time is shown.
    std::tm local = {};
    if (!CTime(SecondsSince1970(taken->time)).GetLocalTm(local, zone))
        return std::nullopt;
    local.tm_isdst = -1;
    return local;
}

const FileDates& CFileDatesOnce::Get(const std::string& path, const CTime& created,
                                     const RenameOptions& options) {
    if (!m_bCreatedRead) {
        std::tm local = {};
        if (created.GetLocalTm(local))
            m_dates.created = local;
        m_bCreatedRead = true;
    }
    if (!m_bTakenRead && WantsPhotoDate(options)) {
        m_dates.taken = ReadPhotoDateFile(path, m_dates.takenError, nullptr, &m_dates.subSecond,
                                          &m_dates.camera);
        m_bTakenRead = true;
    }
    return m_dates;
}
