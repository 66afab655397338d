#include "ProgramFolder.h"

namespace {
std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}
} // namespace

std::string ProgramFolderFromCommandLine(const std::string& commandLine,
                                         const std::string& modulePath) {
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        std::string path =
            commandLine.substr(1, close == std::string::npos ? std::string::npos : close - 1);
        std::string folder = FolderOf(path);
        if (!folder.empty())
            return folder;
    }
    return FolderOf(modulePath);
}
