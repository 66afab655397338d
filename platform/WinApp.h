// CWinApp: the process's application object. The program creates exactly one;
// the entry point runs its InitInstance, and nested message loops take and
// dispatch messages through PumpMessage.
#pragma once

#include "Wnd.h"

#include <string>

class CWinApp {
public:
    // Without a name the application takes the program file's name.
    explicit CWinApp(const char* lpszAppName = nullptr);
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return FALSE; }
    // Takes one message, lets the windows under it pre-translate it and dispatches
    // it; false when the message asks the application to quit.
    virtual BOOL PumpMessage();

    CWnd* m_pMainWnd = nullptr; // not owned
    std::string m_strAppName;

private:
    CWinApp* m_pPrevApp; // a test's own application object stands in for a while
};

CWinApp* AfxGetApp();

// The program's entry point hands over to the application object here.
int AfxWinMain();

// Offers a message to the window it is for and to that window's parents, nearest first.
BOOL AfxPreTranslateMessage(MSG* pMsg);
