// What the last run renamed, in renaming order: entry i of the lists is the
// i-th rename, from oldPaths[i] to newPaths[i]; restored[i] is set once Back
// has given that file its old name again. Start empties it.
#pragma once

#include <string>
#include <utility>
#include <vector>

struct RenameJournal {
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;
    std::vector<char> restored;

    void Append(const std::string& oldPath, const std::string& newPath) {
        oldPaths.push_back(oldPath);
        newPaths.push_back(newPath);
        restored.push_back(0);
    }
    // Empties the lists and gives their storage back.
    void Clear() {
        std::vector<std::string>().swap(oldPaths);
        std::vector<std::string>().swap(newPaths);
        std::vector<char>().swap(restored);
    }
    size_t size() const { return oldPaths.size(); }
};

// What one Back did: how many files it gave their old names, and the entries
// it could not restore, each with the system's error code.
struct RestoreResult {
    int nRestored = 0;
    std::vector<std::pair<size_t, unsigned long>> failures;
};
