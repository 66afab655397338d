// The journal of a run as it stands on disk: one line of text a record, so
// that what a killed program or a power cut leaves is read up to its last
// whole line. The run's planned renames come first, each with the file's
// identity; then a line for every rename done, every name given back, and
// how the run ended.
//
//   Tessivox journal 1
//   plan <volume> <file id> <size> <last write> <kind> <old path> <new path>
//   done <entry>
//   moved <entry> <new path>      the run gave another name than planned
//   restored <entry>
//   end <how>
//
// Fields are separated by tabs; a path's tabs, line ends and "%" are written
// as %09, %0A, %0D and %25.
#pragma once

#include "FileIdentity.h"

#include <string>
#include <vector>

struct JournalEntry {
    std::string oldPath;
    std::string newPath;
    FileIdentity identity;
    bool done = false;
    bool restored = false;
};

struct JournalContent {
    std::vector<JournalEntry> entries;
    bool ended = false;
};

extern const char* const kJournalHeader;

std::string PlanRecord(const JournalEntry& entry);
std::string DoneRecord(size_t entry);
std::string MovedRecord(size_t entry, const std::string& newPath);
std::string RestoredRecord(size_t entry);
std::string EndRecord(const std::string& how);

// What a journal's text says; a torn last line and records that make no sense
// are passed over. Empty when the text is no journal.
JournalContent ParseJournal(const std::string& text);
