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
    // Expert page: where on and the pattern is not empty, the pattern makes the
    // title instead of the old name, the prefix, the date and the time.
    int usePattern = 0;
    std::string pattern;
    // Expert page: "+H:MM", "-H:MM" or "+D H:MM" added to the dates the camera
    // recorded; empty is no shift.
    std::string timeShift;
    // Expert page: each folder's files renamed in the order of their dates.
    int dateOrder = 0;
    // Expert page: the new name's extension in lower case.
    int lowerCaseExtensions = 0;
};
