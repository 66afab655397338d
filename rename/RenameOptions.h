// The option values of a rename run, bound to the option pages' controls.
// Flags are 0 (off) or non-zero (on). Nothing of it is saved between starts.
#pragma once

#include <string>

struct RenameOptions {
    int addPrefix = 0;
    std::string prefix;
    int addDate = 1;
    int addTime = 1;
    int removeOldName = 0;
    int replace = 0;
    std::string replaceFrom;
    std::string replaceTo;
    int includeSubfolders = 1;
    // Expert page: the date the camera recorded, where a file has one, for the date and time.
    int usePhotoDate = 0;
    // Expert page: related files of a folder (RAW+JPEG, Live Photos, sidecars) get one new title.
    int keepRelatedTogether = 0;
};
