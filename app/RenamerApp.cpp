#include "RenamerApp.h"

#include "AppPaths.h"
#include "LanguageFile.h"
#include "ProgramFolder.h"

#include "mainwnd/RenamerDlg.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"

#include <memory>

std::string g_strProgramDir;
std::string g_strSettingsFile;
std::string g_strLanguageFile;

namespace {
std::string ModulePath() {
    char path[MAX_PATH] = {};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(path, n < MAX_PATH ? n : 0);
}
} // namespace

CRenamerApp::CRenamerApp()
    : m_strProgramDir(ProgramFolderFromCommandLine(::GetCommandLineA(), ModulePath())) {}

BOOL CRenamerApp::InitInstance() {
    g_strProgramDir = m_strProgramDir;
    g_strSettingsFile = m_strProgramDir + "//settings.ini";

    CFileFind finder;
    BOOL found = finder.FindFile(g_strSettingsFile);
    finder.Close();
    if (!found) {
        AfxMessageBox("Could not load INI file, Please reinstall the program", MB_OK);
        return FALSE;
    }
    if (!SelectLanguage(""))
        return FALSE;

    auto dlg = std::make_unique<CRenamerDlg>();
    m_pMainWnd = dlg.get();
    dlg->DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
