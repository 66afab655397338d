#include "RenamerApp.h"

#include "AppPaths.h"
#include "LanguageFile.h"
#include "ProgramFolder.h"

#include "mainwnd/RenamerDlg.h"
#include "platform/CodePage.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"

#include <shellapi.h>

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

std::vector<std::string> PathArguments(const wchar_t* commandLine) {
    std::vector<std::string> paths;
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(commandLine, &count);
    if (!args)
        return paths;
    for (int i = 1; i < count; ++i) {
        std::wstring arg = args[i];
        // "D:\" reads as D: and an escaped quote; no path holds a quote.
        if (!arg.empty() && arg.back() == L'"')
            arg.back() = L'\\';
        std::string path;
        if (!arg.empty() && NarrowNameExactly(arg, path))
            paths.push_back(path);
    }
    ::LocalFree(args);
    return paths;
}

CRenamerApp::CRenamerApp()
    : m_strProgramDir(ProgramFolderFromCommandLine(::GetCommandLineA(), ModulePath())),
      m_startPaths(PathArguments(::GetCommandLineW())) {}

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
    dlg->m_startPaths = m_startPaths;
    m_pMainWnd = dlg.get();
    dlg->DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
