// A rename run over the selected files, a folder or a folder tree
// (CRenamerDlg::StartRun, RenameFolder, CountFiles), and the Start and Back
// commands of the option page (CBeginnerPage::OnOK, OnBack).
#include "RenameRun.h"

#include "NameComposer.h"

#include "app/LanguageFile.h"
#include "mainwnd/RenamerDlg.h"

#include "platform/File.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"
#include "platform/WinApp.h"

#include <vector>

namespace {
constexpr int kStripRange = 10000;

std::string PathKey(const std::string& path) {
    std::string key = path;
    ::CharUpperBuffA(key.data(), static_cast<DWORD>(key.size()));
    return key;
}
} // namespace

bool PumpMessages() {
    CWinApp* app = AfxGetApp();
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (!app || !app->PumpMessage()) {
            ::PostQuitMessage(0);
            return false;
        }
    }
    return true;
}

class CRenamerDlg::CRunScope {
public:
    explicit CRunScope(CRenamerDlg& dlg) : m_dlg(dlg) {
        m_dlg.m_bRunning = true;
        m_dlg.m_runRenamed.clear();
    }
    ~CRunScope() {
        m_dlg.m_bRunning = false;
        m_dlg.m_runRenamed.clear();
    }
    CRunScope(const CRunScope&) = delete;
    CRunScope& operator=(const CRunScope&) = delete;

private:
    CRenamerDlg& m_dlg;
};

bool CRenamerDlg::WasRenamedInRun(const std::string& path) const {
    return m_bRunning && m_runRenamed.count(PathKey(path)) != 0;
}

void CRenamerDlg::NoteRenamedInRun(const std::string& newPath) {
    if (m_bRunning)
        m_runRenamed.insert(PathKey(newPath));
}

void CRenamerDlg::StartRun() {
    if (m_bRunning)
        return;
    // The run keeps the folder it started with, whatever is chosen meanwhile.
    const std::string folder = m_strFolderPath;
    if (folder.empty()) {
        AfxMessageBox(LookupText("ChooseFolder", "Please choose a folder in the tree first."),
                      MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (!m_pageBeginner.OptionsMakeFileNames()) {
        AfxMessageBox(LookupText("InvalidNameText",
                                 "The text to add and the replacement cannot contain any of "
                                 "these characters:\n") +
                          kForbiddenNameCharacters,
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    CRunScope scope(*this);

    int first = m_listFiles.GetNextItem(-1, LVNI_SELECTED);
    if (first == -1) {
        m_nCollisionCount = 0;
        int total = CountFiles(JoinPath(folder, "*.*"));
        m_pProgress->SetStep(total > 0 ? kStripRange / total : 0);
        m_pProgress->ShowWindow(SW_SHOW);
        m_pProgress->SetPos(0);
        RenameFolder(folder);
        m_pProgress->SetPos(kStripRange);
    } else {
        // The names are taken before the first rename: the list may be
        // refilled for another folder while the run lets messages through.
        std::vector<std::string> names;
        for (int i = first; i != -1; i = m_listFiles.GetNextItem(i, LVNI_SELECTED))
            names.push_back(m_listFiles.GetItemText(i, 0));
        const int total = static_cast<int>(names.size());
        m_pProgress->SetStep(kStripRange / total);
        m_pProgress->ShowWindow(SW_SHOW);
        m_nCollisionCount = 0;
        m_pProgress->SetPos(0);
        for (const std::string& name : names) {
            if (IsEnding())
                break;
            m_pageBeginner.RenameFile(JoinPath(folder, name));
            m_pProgress->StepIt();
            PumpMessages();
        }
        m_pProgress->SetPos(kStripRange);
    }
    if (IsEnding())
        return; // the window is closing: it goes once the run has stopped

    AfxMessageBox(LookupText("ReplaceSuccessfully", "Files name have been replaced successfully!"),
                  MB_OK);
    FillFileList();
    m_pProgress->ShowWindow(SW_HIDE);
}

void CRenamerDlg::RenameFolder(const std::string& folder) {
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more && !IsEnding()) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        m_pageBeginner.RenameFile(finder.GetFilePath());
        m_pProgress->StepIt();
        PumpMessages();
    }
    finder.Close();
    if (!m_pageBeginner.m_options.includeSubfolders)
        return;
    more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more && !IsEnding()) {
        more = finder.FindNextFile();
        if (finder.IsDots() || !finder.IsDirectory())
            continue;
        RenameFolder(finder.GetFilePath());
    }
    finder.Close();
}

int CRenamerDlg::CountFiles(const std::string& pattern) {
    int count = 0;
    CFileFind finder;
    BOOL more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (!finder.IsDirectory())
            ++count;
        else if (m_pageBeginner.m_options.includeSubfolders)
            count += CountFiles(JoinPath(finder.GetFilePath(), "*.*"));
    }
    finder.Close();
    return count;
}

void CBeginnerPage::OnOK() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return; // the run under way keeps its journal
    UpdateData(TRUE);
    m_journal.Clear();
    dlg->StartRun();
}

void CBeginnerPage::OnBack() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return;
    if (AfxMessageBox("Do you really want to cancel your changes?", MB_YESNO) != IDYES)
        return;
    for (size_t i = 0; i < m_journal.size(); ++i)
        CFile::Rename(m_journal.newPaths[i], m_journal.oldPaths[i]);
    dlg->FillFileList();
    AfxMessageBox("All the name of files have been changed.", MB_OK);
}
