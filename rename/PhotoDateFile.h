// The date a photo was taken, read from its file with only the bytes it needs.
#pragma once

#include "RenamePlan.h"

#include "platform/Time.h"

#include <ctime>
#include <optional>
#include <string>

// The camera's date and time recorded in the file at path (UTF-8), or none when
// the file holds none. A file that cannot be opened or read sets error to the
// system's error code (it stays 0 otherwise): such a file may hold a date.
// A movie's UTC time is shown in the local time of its day, in zone (the
// system's where none is given). With the date, record gets its fraction of
// a second (its digits) and the camera's model.
std::optional<std::tm> ReadPhotoDateFile(const std::string& path, unsigned long& error,
                                         const TIME_ZONE_INFORMATION* zone = nullptr,
                                         std::string* subSecond = nullptr,
                                         std::string* camera = nullptr);

// A file's two dates, each read once, the first time the options want it: the
// run and the new-name column decide a file many times.
class CFileDatesOnce {
public:
    const FileDates& Get(const std::string& path, const CTime& created,
                         const RenameOptions& options);

private:
    FileDates m_dates;
    bool m_bCreatedRead = false;
    bool m_bTakenRead = false;
};
