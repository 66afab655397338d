#include "MessageBox.h"

#include "WinApp.h"

namespace {
MessageBoxScript& Script() {
    static MessageBoxScript script;
    return script;
}
} // namespace

void AfxSetMessageBoxScript(MessageBoxScript script) {
    Script() = std::move(script);
}

int AfxMessageBox(const std::string& text, UINT nType) {
    if (Script())
        return Script()(text, nType);
    CWinApp* app = AfxGetApp();
    HWND owner = nullptr;
    if (app && app->m_pMainWnd && ::IsWindow(app->m_pMainWnd->m_hWnd))
        owner = ::GetLastActivePopup(app->m_pMainWnd->m_hWnd);
    std::string caption = app ? app->m_strAppName : std::string("Tessivox");
    return ::MessageBoxA(owner, text.c_str(), caption.c_str(), nType | MB_TASKMODAL);
}
