// Files and folders for tests, the end-to-end driver and the benchmarks.
#pragma once

#include <string>
#include <vector>

void WriteTextFile(const std::string& path, const std::string& content);
std::string ReadTextFile(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
// Removes a folder with everything in it, read-only and hidden files too.
void RemoveTree(const std::string& path);
// The names in a folder in the file system's order, without "." and "..".
std::vector<std::string> ListFolder(const std::string& path);
