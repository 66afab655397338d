// Files of one folder that belong together by their names (a RAW+JPEG pair, a
// Live Photo, a photo's sidecars), so that a run gives them one new title:
// the editors and phones find a sidecar or a pairing only by its name.
#pragma once

#include <string>
#include <vector>

// What a file is to its group, by its extension: whose camera date names the group.
enum class FileKind { Raw, Still, Video, Companion };
FileKind KindOfName(const std::string& name);

// One file of a group: its name is a title followed by tail, and its new name
// is the group's new title followed by the same tail.
struct GroupMember {
    size_t file = 0;   // its index in the names grouped
    std::string title; // "IMG_1234" for IMG_1234.JPG, IMG_1234.CR3.xmp and C0001M01.XML's C0001
    std::string tail;  // ".JPG", ".CR3.xmp" (its file's tail and its own extension), "M01.XML"
    FileKind kind = FileKind::Companion;
};
using FileGroup = std::vector<GroupMember>; // in the order of the names given

// A name as the file system compares it (letter case ignored).
using NameKeyFunction = std::wstring (*)(const std::string& name);

// The groups of the names of one folder, in the order their first members come:
// names with the same title; a name that extends another's whole name
// (IMG_1234.CR3.xmp) with that file; Sony's C0001M01.XML with C0001's files.
std::vector<FileGroup> GroupRelatedFiles(const std::vector<std::string>& names,
                                         NameKeyFunction key);

// A file on its own: its title and extension.
FileGroup SingleFile(size_t file, const std::string& name);
