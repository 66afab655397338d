// The application object: finds the program folder, requires settings.ini,
// chooses the language and runs the main window modally.
#pragma once

#include "platform/WinApp.h"

#include <string>
#include <vector>

class CRenamerApp : public CWinApp {
public:
    CRenamerApp();

    // Always FALSE: the main window's modal loop is the program's main loop.
    BOOL InitInstance() override;

    std::string m_strProgramDir;
    // The paths the command line gives after the program's own: a folder, or
    // files of one folder, as "Open with" and "Send to" pass them.
    std::vector<std::string> m_startPaths;
};

// The arguments of a command line after the program's path, as the system
// splits them; a quoted drive root ("D:\") keeps its backslash. An argument
// the code page cannot hold exactly is left out.
std::vector<std::string> PathArguments(const wchar_t* commandLine);
