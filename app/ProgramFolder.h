// Where the program lives: the folder of the program file named at the head
// of the command line.
#pragma once

#include <string>

// The folder (without a trailing backslash) of the program path that opens the
// command line. A quoted path ends at its closing quote, so arguments with
// backslashes play no part. A line without a quoted path (a start from a
// prompt) says nothing reliable, so the module's own path decides then.
std::string ProgramFolderFromCommandLine(const std::string& commandLine,
                                         const std::string& modulePath);
