#include "LinkPlatform.h"

#include <shellapi.h>

int CLinkPlatform::ShellOpen(const std::string& address, int nShowCmd) {
    HINSTANCE h = ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, nShowCmd);
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
}

LONG CLinkPlatform::ReadClassesRoot(const std::string& subKey, std::string& value) {
    HKEY hKey = nullptr;
    LONG rc = ::RegOpenKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, KEY_QUERY_VALUE, &hKey);
    if (rc != ERROR_SUCCESS)
        return rc;
    char data[MAX_PATH] = {};
    LONG size = sizeof(data);
    rc = ::RegQueryValueA(hKey, nullptr, data, &size);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS)
        return rc;
    data[sizeof(data) - 1] = '\0';
    value = data;
    return ERROR_SUCCESS;
}

UINT CLinkPlatform::RunCommand(const std::string& commandLine, int nShowCmd) {
    return ::WinExec(commandLine.c_str(), static_cast<UINT>(nShowCmd));
}

std::string CLinkPlatform::WindowsDirectory() {
    char dir[MAX_PATH] = {};
    UINT n = ::GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir, n < MAX_PATH ? n : 0);
}

CLinkPlatform& CLinkPlatform::System() {
    static CLinkPlatform system;
    return system;
}
