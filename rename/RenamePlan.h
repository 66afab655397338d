// What a run does with one file, decided without touching it: the new name by
// the options and the date source, the refusals that stop a run, and the clash
// rule. The run decides each file with it before renaming, and the preview of
// the new names decides each file with it against the names in memory, so both
// give the same answer.
#pragma once

#include "FileGroups.h"
#include "NamePattern.h"
#include "RenameOptions.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class RenameVerdict {
    Rename,      // to newPath
    LeftAlone,   // its own path is too long to address it: the run goes on
    NoDate,      // the date or time is wanted and none can be read: the run stops
    Unreadable,  // the photo's date is wanted and the file cannot be read: the run stops
    BadText,     // the new name holds a character a name cannot hold: the run stops
    Reserved,    // a device name, or one Windows would store changed: the run stops
    PathTooLong, // the new path would pass the limit Back needs: the run stops
    // Start refuses these before any file:
    BadPattern,     // the name pattern holds an unknown token or an unclosed "<"
    BadPatternText, // the pattern's own text holds a character a name cannot hold
    BadShift,       // the shift of the camera's time is not one
};

struct RenameDecision {
    RenameVerdict verdict = RenameVerdict::Rename;
    std::string newPath;
    std::string newName; // the name in newPath, or the one refused
    bool clashed = false;
};

// The two dates of a file; the options choose between them.
struct FileDates {
    std::optional<std::tm> created;
    std::optional<std::tm> taken; // what the camera recorded, when it was read
    unsigned long takenError = 0; // the system's error where the file could not be read
    std::string subSecond;        // with taken: its fraction of a second, digits as recorded
    std::string camera;           // with taken: the camera's model, or empty
};

// Why a run leaves a file alone and goes on: what it names may not be the file
// listed under that name, or may be no file at all.
enum class LeftAloneReason {
    None,
    Gone,             // no longer there
    NameNotExact,     // the code page cannot hold its name
    PathTooLong,      // its own path is past the limit that addresses it
    Separator,        // its name holds \ or /, which a Linux disk or a share can store
    Unaddressable,    // Windows would address another name (a trailing dot or blank, a
                      // device name, a character names cannot hold)
    CaseTwin,         // another name of its folder differs only in letter case
    NotAFile,         // a pipe, a device, a link: nothing to rename
    NotTheListedFile, // the name stands for another file than the one listed
};

// What a name alone says: whether Windows addresses exactly this name.
LeftAloneReason NameLeftAlone(const std::string& name, bool (*isLeadByte)(unsigned char));

// The options made ready for deciding many files: the pattern read and the
// shift parsed once, not at every file.
class CNaming {
public:
    CNaming() : CNaming(RenameOptions()) {}
    explicit CNaming(const RenameOptions& options);

    const RenameOptions& Options() const { return m_options; }
    // Whether the pattern makes the title: it is on and not empty.
    bool UsesPattern() const { return m_bPattern; }
    // Whether every title is the same text, whatever the file.
    bool TitleIsFixed() const;
    // Whether the title carries the file's date or time.
    bool NameUsesDate() const;
    // Whether the run reads what the camera recorded in each file.
    bool ReadsCameraRecord() const;
    // What Start refuses of the pattern and the shift (Rename where nothing);
    // fault is the token a BadPattern is about.
    RenameVerdict Refusal(bool (*isLeadByte)(unsigned char), std::string* fault = nullptr) const;

    // The new title from the old one, the date (if any), the fraction of a
    // second the camera recorded with it, the camera's model and the running number.
    std::string Title(const std::string& title, const std::tm* date, std::string_view subSecond,
                      std::string_view camera, int number) const;
    // The same into made, whose room is used again: for naming many files in a row.
    void TitleInto(std::string& made, std::string_view title, const std::tm* date,
                   std::string_view subSecond, std::string_view camera, int number) const;
    // The camera's date moved by the shift; nothing where it leaves the calendar.
    std::optional<std::tm> Shifted(const std::tm& taken) const;

private:
    RenameOptions m_options;
    bool m_bPattern = false;
    bool m_bPatternRead = false;
    std::string m_strFault;
    CNamePattern m_pattern;
    std::optional<long long> m_shift;
};

// Whether a run needs the date the photo was taken to name files.
bool WantsPhotoDate(const RenameOptions& options);

// What the platform says about names: whether an entry of that path exists (as
// the file system matches names), how long a path is in the units of its path
// limit, and which bytes lead a double-byte character.
struct NameRules {
    // A file's own entry counts, so a new name that only changes the letter
    // case of a file's name exists: the decision tells such a rename apart.
    std::function<bool(const std::string& path)> exists;
    std::function<size_t(const std::string& path)> pathUnits;
    bool (*isLeadByte)(unsigned char) = nullptr;
};
constexpr size_t kPathLimit = 260;

// folder ends with its separator; name is the file's name in it. A clash
// raises clashCount and takes its new value as the suffix.
RenameDecision DecideRename(const std::string& folder, const std::string& name,
                            const FileDates& dates, const RenameOptions& options, int& clashCount,
                            const NameRules& rules);

// One file of a group, as the decision needs it.
struct GroupFile {
    std::string name; // its name now
    GroupMember member;
    FileDates dates;
};

struct GroupDecision {
    RenameVerdict verdict = RenameVerdict::Rename; // or what stops the run before the group
    size_t refused = 0;                            // the file that verdict is about
    std::vector<RenameDecision> files;             // each file's: Rename, or LeftAlone
};

// A group's files get one date, one new title and one clash number: the date
// of the first file with a camera date, raws before other stills before
// videos (a group of companions only: its first), else the creation time of
// its first photo or video; the title from the first file's, each file's new
// name that title and its own tail. A file that refuses stops the run before
// any file of the group; a file whose own path is too long is left alone.
// A group of one decides exactly as DecideRename.
// number is the running number the group's names take (the groups named so
// far in its folder, plus one).
GroupDecision DecideGroup(const std::string& folder, const std::vector<GroupFile>& files,
                          const CNaming& naming, int number, int& clashCount,
                          const NameRules& rules);
GroupDecision DecideGroup(const std::string& folder, const std::vector<GroupFile>& files,
                          const RenameOptions& options, int& clashCount, const NameRules& rules);
// The same into g, whose strings keep their room: for deciding many groups in a row.
void DecideGroupInto(const std::string& folder, const std::vector<GroupFile>& files,
                     const CNaming& naming, int number, int& clashCount, const NameRules& rules,
                     GroupDecision& g);

// The date a group's names use, as DecideGroup chooses it, where it has one.
std::optional<std::tm> GroupDate(const std::vector<GroupFile>& files, const CNaming& naming);
// Where a date puts its files in a run in date order: earlier first, a file
// without a date before all others (it stops the run where its name needs one,
// before its folder's first rename).
long long DateOrderKey(const std::optional<std::tm>& date);

// The order a folder's groups are renamed in, as indexes into dates (each
// group's GroupDate): as given, or by date where byDate, equal dates as given.
std::vector<size_t> RunOrder(const std::vector<std::optional<std::tm>>& dates, bool byDate);

// The running number a run gives its groups: from 1 in each folder, one more
// for each group given names.
class CRunningNumber {
public:
    int For(const std::string& folder) {
        if (folder != m_strFolder) {
            m_strFolder = folder;
            m_nNext = 1;
        }
        return m_nNext;
    }
    void Named() { ++m_nNext; }

private:
    std::string m_strFolder;
    int m_nNext = 1;
};

// The progress strip's position after done of total files, in a range of
// nRange: it moves for any count, and stands at the end when there is nothing.
int RunStripPosition(size_t done, size_t total, int nRange);

// Whether Start refuses the options before any file: a text to add or a
// replacement that a name cannot hold (BadText), or a device name that every
// new name would be (Reserved). Rename when Start goes ahead.
RenameVerdict StartRefusal(const RenameOptions& options, bool (*isLeadByte)(unsigned char));
