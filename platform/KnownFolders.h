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
