// What the last run renamed, in renaming order: entry i of both lists is the
// i-th rename, from oldPaths[i] to newPaths[i]. Back reads it; Start empties it.
#pragma once

#include <string>
#include <vector>

struct RenameJournal {
    std::vector<std::string> oldPaths;
    std::vector<std::string> newPaths;

    void Append(const std::string& oldPath, const std::string& newPath) {
        oldPaths.push_back(oldPath);
        newPaths.push_back(newPath);
    }
    // Empties both lists and gives their storage back.
    void Clear() {
        std::vector<std::string>().swap(oldPaths);
        std::vector<std::string>().swap(newPaths);
    }
    size_t size() const { return oldPaths.size(); }
};
