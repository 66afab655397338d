// The application object: finds the program folder, requires settings.ini,
// chooses the language and runs the main window modally.
#pragma once

#include "platform/WinApp.h"

#include <string>

class CRenamerApp : public CWinApp {
public:
    CRenamerApp();

    // Always FALSE: the main window's modal loop is the program's main loop.
    BOOL InitInstance() override;

    std::string m_strProgramDir;
};
