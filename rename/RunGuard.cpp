#include "RunGuard.h"

#include <algorithm>
#include <cctype>

namespace {
bool IsDriveRoot(const std::string& path) {
    std::string p = path;
    if (p.rfind("\\\\?\\", 0) == 0) // a path in the system's long form
        p.erase(0, 4);
    if (p.size() == 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0])))
        return true;
    // The root of a network share: \\server\share
    if (p.rfind("\\\\", 0) != 0)
        return false;
    const size_t server = p.find('\\', 2);
    return server != std::string::npos && server > 2 && server + 1 < p.size() &&
           p.find('\\', server + 1) == std::string::npos;
}

bool IsInside(const std::string& path, const std::string& folder) {
    return !folder.empty() && path.size() > folder.size() && path.rfind(folder, 0) == 0 &&
           path[folder.size()] == '\\';
}
} // namespace

std::string ComparablePath(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '\\')
        p.pop_back();
    std::transform(p.begin(), p.end(), p.begin(), [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    });
    return p;
}

bool RunAsksFirst(const std::string& folder, const KnownFolders& known) {
    const std::string path = ComparablePath(folder);
    if (path.empty())
        return false;
    if (IsDriveRoot(path) || path == ComparablePath(known.profile))
        return true;
    return std::any_of(known.system.begin(), known.system.end(), [&](const std::string& s) {
        const std::string system = ComparablePath(s);
        return !system.empty() && (path == system || IsInside(path, system));
    });
}
