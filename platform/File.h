// CFile::Rename: gives a file a new name. It never replaces an existing file;
// on failure it raises a CFileException with the system's error code.
// IsPathTaken: whether any entry, file or folder, answers to a path.
#pragma once

#include "rename/FileIdentity.h"

#include <string>
#include <unordered_map>

class CFile {
public:
    static void Rename(const std::string& oldName, const std::string& newName);
};

// One query of the entry itself, where a find would open and list its folder.
// An entry that is there but denies the query (in use, delete pending, no
// right) counts as taken; any other failure, a name the volume cannot hold
// among them, leaves the name to the rename, which reports it.
bool IsPathTaken(const std::string& path);

// What a path stands for, opened without touching the file's contents or
// following a link: false unless it is a plain file (not a folder, a link, a
// pipe or a device) whose name as stored is exactly the last part of the path.
// Windows drops a trailing dot and matches names whatever their letter case,
// so a name can stand for another file than the one listed under it. The
// identity holds the size and the last write time; the volume and the number
// of a file come from its folder (FolderIdentities), which asks once a folder
// what asking once a file would cost many times over.
bool ReadPlainFile(const std::string& path, FileIdentity& identity);

// The identities of the files a folder lists, by name, from one query of the
// folder. Empty where the folder cannot be read so.
std::unordered_map<std::string, FileIdentity> FolderIdentities(const std::string& folder);
