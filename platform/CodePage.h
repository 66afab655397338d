// Conversions between the program's byte strings (the ANSI code page, UTF-8
// when the manifest is honoured) and the system's UTF-16 names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

std::wstring WidenName(const std::string& name);

// The name in the ANSI code page, only when it comes back unchanged: a name
// the code page cannot hold (or that it would hold as a look-alike, such as
// "S" for "Ŝ") would address another file, so it gives false.
bool NarrowNameExactly(const std::wstring& name, std::string& narrow);

// The length of a path in UTF-16 units, which is how the system's path limits count.
size_t PathUnits(const std::string& path);

// A name as the file system compares names: without regard to letter case.
std::wstring NameKey(const std::string& name);
// The same into key, whose room is used again: for deciding many names in a row.
void NameKeyInto(std::string_view name, std::wstring& key);
// A hash of NameKey(name), made without the key where the name is ASCII.
uint64_t NameKeyHash(std::string_view name);
// Whether two names are one to the file system: NameKey(a) == NameKey(b).
bool SameNameKey(std::string_view a, std::string_view b);

// Whether c begins a character of two bytes in the ANSI code page.
bool IsAnsiLeadByte(unsigned char c);
