// What the last run renamed, in renaming order: entry i of the lists is the
// i-th rename, from oldPaths[i] to newPaths[i], of the file identities[i];
// restored[i] is set once Back has given that file its old name again. A run
// that renames a file replaces it; the journal file on disk (JournalFile.h)
// keeps it across starts.
#pragma once

#include "FileIdentity.h"

#include <string>
#include <utility>
#include <vector>

struct RenameJournal {
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
    std::vector<char> restored;
    std::vector<FileIdentity> identities;
    // Where entry i stands in the journal file, whose plan also holds files
    // the run did not rename.
    std::vector<size_t> fileEntries;

    void Append(const std::string& oldPath, const std::string& newPath,
                const FileIdentity& identity = FileIdentity(), size_t fileEntry = 0) {
        oldPaths.push_back(oldPath);
        newPaths.push_back(newPath);
        restored.push_back(0);
        identities.push_back(identity);
        fileEntries.push_back(fileEntry);
    }
    // Empties the lists and gives their storage back.
    void Clear() { RenameJournal().Swap(*this); }
    void Swap(RenameJournal& other) {
        oldPaths.swap(other.oldPaths);
        newPaths.swap(other.newPaths);
        restored.swap(other.restored);
        identities.swap(other.identities);
        fileEntries.swap(other.fileEntries);
    }
    size_t size() const { return oldPaths.size(); }
};

// What one Back did: how many files it gave their old names, and the entries
// it could not restore, each with the system's error code.
struct RestoreResult {
    int nRestored = 0;
    std::vector<std::pair<size_t, unsigned long>> failures;
};

// The error a failure carries when the name now stands for another file.
constexpr unsigned long kNotTheRenamedFile = 0xE0001001;
