#include "WinApp.h"

#include <commctrl.h>
#include <ole2.h>

namespace {
CWinApp* g_pApp = nullptr;

std::string ProgramFileTitle() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n < MAX_PATH ? n : 0);
    size_t slash = s.find_last_of("\\/");
    if (slash != std::string::npos)
        s.erase(0, slash + 1);
    size_t dot = s.rfind('.');
    if (dot != std::string::npos)
        s.erase(dot);
    return s;
}
} // namespace

CWinApp::CWinApp(const char* lpszAppName)
    : m_strAppName(lpszAppName ? lpszAppName : ProgramFileTitle()), m_pPrevApp(g_pApp) {
    g_pApp = this;
}

CWinApp::~CWinApp() {
    if (g_pApp == this)
        g_pApp = m_pPrevApp;
}

CWinApp* AfxGetApp() {
    return g_pApp;
}

BOOL AfxPreTranslateMessage(MSG* pMsg) {
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (!(::GetWindowLongA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

BOOL CWinApp::PumpMessage() {
    MSG msg;
    if (::GetMessageA(&msg, nullptr, 0, 0) <= 0)
        return FALSE;
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return TRUE;
}

int AfxWinMain() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    CWinApp* app = AfxGetApp();
    if (app)
        app->InitInstance();
    ::OleUninitialize();
    return 0;
}
