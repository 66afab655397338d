// Where the system keeps a user's profile and itself: the folders a run over a
// whole folder tree must not sweep through without being asked.
#pragma once

#include <string>
#include <vector>

struct KnownFolders {
    std::string profile;             // the user's profile folder itself
    std::vector<std::string> system; // the Windows folder, the program folders, ProgramData
};

// This system's: a folder the system does not name is left out.
KnownFolders SystemKnownFolders();

// A folder as the system finally names it: links and junctions followed, short
// 8.3 names made long, in upper case; the path as it is where the folder cannot
// be opened. Two paths of one folder give the same text.
std::string FinalFolderPath(const std::string& path);
