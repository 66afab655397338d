// What the hyperlink needs of the system to open an address: the shell's open,
// the registry's ".htm" command, the start of a command line, and the Windows
// folder where the help program with the hand cursor lives. Tests put their
// own in place, so that no browser is ever started.
#pragma once

#include <windows.h>

#include <string>

class CLinkPlatform {
public:
    virtual ~CLinkPlatform() = default;
    // ShellExecuteA with the verb "open": greater than 32 for success.
    virtual int ShellOpen(const std::string& address, int nShowCmd);
    // The default value of a key under HKEY_CLASSES_ROOT; 0 on success.
    virtual LONG ReadClassesRoot(const std::string& subKey, std::string& value);
    // WinExec: greater than 31 for success.
    virtual UINT RunCommand(const std::string& commandLine, int nShowCmd);
    virtual std::string WindowsDirectory();

    // The system itself.
    static CLinkPlatform& System();
};
