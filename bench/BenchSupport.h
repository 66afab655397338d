// Timing, scratch folders and memory figures for the benchmarks.
#pragma once

#include "support/Files.h"

#include <windows.h>

#include <string>

double Seconds();
std::string MakeScratchFolder(const char* name);
// The process's private bytes, for watching what a run keeps.
SIZE_T PrivateBytes();
