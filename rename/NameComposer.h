// How a new file name is made from the old one, the creation time and the
// options, and the fixed sample the option page shows. No file is touched here.
#pragma once

#include "RenameOptions.h"

#include <ctime>
#include <string>
#include <string_view>

// The title (name without its extension) and the extension (the last "." and
// what follows, or empty): "a.b.c" gives "a.b" and ".c", ".profile" gives ""
// and ".profile", "README" gives "README" and "".
struct FileNameParts {
    std::string title;
    std::string ext;
};
FileNameParts SplitFileName(const std::string& name);

// A broken-down time from calendar fields (month and day from 1); whether
// daylight saving was in force is left unknown.
std::tm CalendarTime(int year, int month, int day, int hour, int minute, int second);

// The new title into out, whose room is used again (a run names many files in
// a row): the old one (unless removed), the prefix in front, the date
// " 2004-9-21" and the time " 11_19_48" (two blanks apart when both are on),
// then the replacement over all of it. The extension is never part of it.
void ComposeTitleInto(std::string& out, std::string_view title, const std::tm& created,
                      const RenameOptions& options);

// The sample line: a fixed illustration on the word for "filename".
std::string ComposeSample(const std::string& filenameWord, const RenameOptions& options);

// The name a clash gives: folder + title + "-" + count + extension.
std::string ClashName(const std::string& folder, const std::string& title, int count,
                      const std::string& ext);

// Whether text can stand in a Windows file name: none of \ / : * ? " < > | and
// no control characters, so that a name can never point somewhere else. In a
// double-byte code page the second byte of a character may look like a
// backslash; isLeadByte tells such characters apart.
bool IsFileNameText(const std::string& text, bool (*isLeadByte)(unsigned char) = nullptr);
extern const char* const kForbiddenNameCharacters;

// A name Windows reserves for a device (CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9, LPT0-9),
// with or without an extension: a file cannot be given it.
bool IsReservedDeviceName(const std::string& name);

// Whether a file can be given exactly this name: not empty, not a device, not
// ending in "." or a blank (the file system would drop them and store another
// name than the one recorded).
bool IsStorableName(const std::string& name);
