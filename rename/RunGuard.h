// Which whole-folder runs ask before they rename anything: those over a
// drive's root, over a user's whole profile, or over the system's own folders
// and anything below them. Decided from the paths alone.
#pragma once

#include "platform/KnownFolders.h"

#include <string>

bool RunAsksFirst(const std::string& folder, const KnownFolders& known);

// A path as it is compared here: without trailing backslashes (a drive's root
// as "C:") and in lower case where it is ASCII.
std::string ComparablePath(const std::string& path);
