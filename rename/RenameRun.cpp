// A rename run over the selected files, a folder or a folder tree
// (CRenamerDlg::StartRun, RenameFolder, CountFiles), and the Start and Back
// commands of the option page (CBeginnerPage::OnOK, OnBack).
#include "RenameRun.h"

#include "NameComposer.h"
#include "RunGuard.h"

#include "app/LangText.h"
#include "app/LanguageFile.h"
#include "mainwnd/RenamerDlg.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"
#include "platform/ScopedHandles.h"
#include "platform/WinApp.h"

#include <algorithm>
#include <set>
#include <tuple>
#include <vector>

namespace {
constexpr int kStripRange = 10000;
// A failure list longer than this is cut short in Back's message.
constexpr size_t kListedFailures = 12;

const char* const kBackDone = "All the name of files have been changed.";

// The path as the file system compares names: without regard to letter case.
std::wstring PathKey(const std::string& path) {
    std::wstring key = WidenName(path);
    ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

// A count as the user's locale writes it: 12,345 or 12.345.
std::string FormatCount(int nCount) {
    wchar_t thousands[8] = L",";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, thousands, 8);
    wchar_t decimal[8] = L".";
    ::GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 8);
    NUMBERFMTW format = {0, 1, 3, decimal, thousands, 1};
    wchar_t text[32] = {};
    std::string narrow;
    if (::GetNumberFormatW(LOCALE_USER_DEFAULT, 0, std::to_wstring(nCount).c_str(), &format, text,
                           32) > 0 &&
        NarrowNameExactly(text, narrow))
        return narrow;
    return std::to_string(nCount);
}

bool IsNameTaken(DWORD error) {
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
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
        m_dlg.m_bCloseRequested = false;
        m_dlg.m_bLastRunStopped = false;
        m_dlg.m_nRunRenamed = 0;
        m_dlg.m_nRunLeftAlone = 0;
        m_dlg.m_runRenamed.clear();
    }
    ~CRunScope() {
        m_dlg.m_bRunning = false;
        m_dlg.m_bCloseRequested = false;
        m_dlg.m_runRenamed.clear();
    }
    CRunScope(const CRunScope&) = delete;
    CRunScope& operator=(const CRunScope&) = delete;

private:
    CRenamerDlg& m_dlg;
};

// A link, junction or mount point is not entered; where the file system does
// not mark one (Wine shows a Unix link as a plain folder), a folder met again
// under another path is not entered either.
class CRenamerDlg::CFolderVisits {
public:
    // True the first time a folder is met. A folder whose identity cannot be
    // read counts as new: it is walked as it always was.
    bool Enter(const std::string& folder) {
        HANDLE h = ::CreateFileW(WidenName(folder).c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return true;
        CKernelHandle owner(h);
        BY_HANDLE_FILE_INFORMATION info = {};
        if (!::GetFileInformationByHandle(h, &info) ||
            (info.nFileIndexHigh == 0 && info.nFileIndexLow == 0)) // a volume without file IDs
            return true;
        return m_seen
            .insert(std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh,
                                    info.nFileIndexLow))
            .second;
    }

private:
    std::set<std::tuple<DWORD, DWORD, DWORD>> m_seen;
};

bool CRenamerDlg::WasRenamedInRun(const std::string& path) const {
    return m_bRunning && m_runRenamed.count(PathKey(path)) != 0;
}

void CRenamerDlg::NoteRenamedInRun(const std::string& newPath) {
    if (m_bRunning)
        m_runRenamed.insert(PathKey(newPath));
}

bool CRenamerDlg::CheckRunInputs() {
    if (m_strFolderPath.empty()) {
        AfxMessageBox(LookupText("ChooseFolder", "Please choose a folder in the tree first."),
                      MB_OK | MB_ICONINFORMATION);
        return false;
    }
    const RenameOptions& o = m_pageBeginner.m_options;
    switch (m_pageBeginner.StartRefusal()) {
    case RenameVerdict::BadText:
        AfxMessageBox(LookupText("InvalidNameText",
                                 "The text to add and the replacement cannot contain any of "
                                 "these characters:\n") +
                          kForbiddenNameCharacters,
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    case RenameVerdict::Reserved:
        AfxMessageBox(InsertArgs(LookupText("ReservedText",
                                            "Every new name would be \"%1\", a name Windows "
                                            "reserves for a device. Please choose another "
                                            "text to add or another replacement."),
                                 {ComposeTitle("", std::tm{}, o)}),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    default:
        return true;
    }
}

void CRenamerDlg::StartRun() {
    if (m_bRunning || !CheckRunInputs())
        return;
    // The run keeps the folder it started with, whatever is chosen meanwhile.
    const std::string folder = m_strFolderPath;
    CRunScope scope(*this);

    int total = 0;
    try {
        int first = m_listFiles.GetNextItem(-1, LVNI_SELECTED);
        if (first == -1) {
            // A folder gone or barred since it was chosen is a failure, not an empty run.
            const DWORD attributes = ::GetFileAttributesW(WidenName(folder).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                throw CFileException(attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError()
                                                                           : ERROR_DIRECTORY,
                                     folder);
            m_nCollisionCount = 0;
            total = CountFiles(JoinPath(folder, "*.*"));
            if (!ConfirmSweepingRun(folder, total)) {
                m_bLastRunStopped = true; // it renamed nothing: the last run stays undoable
                return;
            }
            m_pProgress->SetStep(total > 0 ? kStripRange / total : 0);
            m_pProgress->ShowWindow(SW_SHOW);
            m_pProgress->SetPos(0);
            RenameFolder(folder);
        } else {
            // The names are taken before the first rename: the list may be
            // refilled for another folder while the run lets messages through.
            std::vector<std::string> names;
            for (int i = first; i != -1; i = m_listFiles.GetNextItem(i, LVNI_SELECTED))
                names.push_back(m_listFiles.GetItemText(i, 0));
            total = static_cast<int>(names.size());
            m_pProgress->SetStep(kStripRange / total);
            m_pProgress->ShowWindow(SW_SHOW);
            m_nCollisionCount = 0;
            m_pProgress->SetPos(0);
            for (const std::string& name : names) {
                if (StopRequested())
                    break;
                RenameOneFile(JoinPath(folder, name));
            }
        }
    } catch (const CException& e) {
        m_bLastRunStopped = true;
        ReportStoppedRun(e);
        if (m_bCloseRequested)
            UndoAndClose(total);
        return;
    }
    if (m_bCloseRequested) {
        UndoAndClose(total);
        return;
    }
    if (IsEnding())
        return; // the window is closing: it goes once the run has stopped

    m_pProgress->SetPos(kStripRange);
    if (m_nRunLeftAlone == 0)
        AfxMessageBox(
            LookupText("ReplaceSuccessfully", "Files name have been replaced successfully!"), MB_OK);
    else
        AfxMessageBox(InsertArgs(LookupText("ReplacePartly",
                                            "The run is over, but not every file was renamed.\n\n"
                                            "Files renamed: %1\nFiles left alone because they "
                                            "were gone, their names could not be read exactly "
                                            "or their paths were too long: %2"),
                                 {std::to_string(m_nRunRenamed), std::to_string(m_nRunLeftAlone)}),
                      MB_OK | MB_ICONINFORMATION);
    FillFileList();
    m_pProgress->ShowWindow(SW_HIDE);
    if (m_bCloseRequested) // asked for while the closing message was open
        EndDialog(IDCANCEL);
}

bool CRenamerDlg::ConfirmSweepingRun(const std::string& folder, int nFiles) {
    if (nFiles <= 0 || !RunAsksFirst(folder, m_knownFolders))
        return true;
    const bool subfolders = m_pageBeginner.m_options.includeSubfolders != 0;
    const std::string question =
        subfolders ? LookupText("SweepingRun", "Rename %1 files in %2 and all its subfolders?")
                   : LookupText("SweepingRunFolderOnly", "Rename %1 files in %2?");
    // No is the default: Enter alone never sweeps over a whole drive.
    return AfxMessageBox(InsertArgs(question, {FormatCount(nFiles), folder}),
                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CRenamerDlg::RenameOneFile(const std::string& path) {
    switch (m_pageBeginner.RenameFile(path)) {
    case RenameOutcome::Renamed:
        ++m_nRunRenamed;
        break;
    case RenameOutcome::LeftAlone:
        ++m_nRunLeftAlone;
        break;
    case RenameOutcome::AlreadyRenamed:
        return; // not a file of its own: the count did not include it
    }
    m_pProgress->StepIt();
    PumpMessages();
}

void CRenamerDlg::ReportStoppedRun(const CException& e) {
    AfxMessageBox(e.GetErrorMessage() + "\n\n" +
                      InsertArgs(LookupText("RunStopped",
                                            "Files renamed before the run stopped: %1. Back "
                                            "gives them their old names again."),
                                 {std::to_string(m_nRunRenamed)}),
                  MB_OK | MB_ICONEXCLAMATION);
    // The list shows the folder as it is now, not the names before the run.
    FillFileList();
}

void CRenamerDlg::UndoAndClose(int total) {
    if (m_nRunRenamed > 0 &&
        AfxMessageBox(InsertArgs(LookupText("CloseDuringRun",
                                            "Tessivox is closing, so the run stopped after the "
                                            "current file.\n\nFiles renamed: %1 of %2\n\nDo you "
                                            "want to give them their old names again before "
                                            "Tessivox closes?"),
                                 {std::to_string(m_nRunRenamed), std::to_string(total)}),
                      MB_YESNO | MB_ICONQUESTION) == IDYES) {
        RestoreResult result = m_pageBeginner.RestoreNames();
        if (!result.failures.empty())
            m_pageBeginner.ReportRestore(result);
    }
    EndDialog(IDCANCEL);
}

void CRenamerDlg::OnClose() {
    if (m_bRunning) {
        m_bCloseRequested = true;
        return;
    }
    EndDialog(IDCANCEL);
}

void CRenamerDlg::RenameFolder(const std::string& folder) {
    CFolderVisits visits;
    visits.Enter(folder);
    RenameFolderIn(folder, visits);
}

void CRenamerDlg::RenameFolderIn(const std::string& folder, CFolderVisits& visits) {
    // The subfolders are noted while the files are renamed: renaming files
    // adds no folder, and one listing of the folder costs less than two.
    std::vector<std::string> subfolders;
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more && !StopRequested()) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (finder.IsDirectory()) {
            if (!finder.IsLink() && finder.IsNameIntact())
                subfolders.push_back(JoinPath(folder, finder.GetFileName()));
        } else if (finder.IsNameIntact()) {
            RenameOneFile(JoinPath(folder, finder.GetFileName()));
        } else { // its name as the code page gives it would address another file
            ++m_nRunLeftAlone;
            m_pProgress->StepIt();
            PumpMessages();
        }
    }
    finder.Close();
    // Read after the files: an option changed during the run counts from here.
    if (!m_pageBeginner.m_options.includeSubfolders)
        return;
    for (const std::string& sub : subfolders) {
        if (StopRequested())
            break;
        if (visits.Enter(sub))
            RenameFolderIn(sub, visits);
    }
}

int CRenamerDlg::CountFiles(const std::string& pattern) {
    const std::string folder = pattern.substr(0, pattern.find_last_of('\\'));
    CFolderVisits visits;
    visits.Enter(folder);
    return CountFilesIn(folder, visits);
}

// Makes the same choices as RenameFolderIn, so that the count is the number of
// files the walk visits.
int CRenamerDlg::CountFilesIn(const std::string& folder, CFolderVisits& visits) {
    int count = 0;
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (!finder.IsDirectory()) {
            ++count;
            continue;
        }
        if (!m_pageBeginner.m_options.includeSubfolders || finder.IsLink() ||
            !finder.IsNameIntact())
            continue;
        const std::string sub = JoinPath(folder, finder.GetFileName());
        if (visits.Enter(sub))
            count += CountFilesIn(sub, visits);
    }
    finder.Close();
    return count;
}

void CBeginnerPage::OnOK() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return; // the run under way keeps its journal
    UpdateData(TRUE);
    // A Start refused by the checks leaves the last run's journal to Back, and
    // so does a run stopped before it renamed anything.
    if (!dlg->CheckRunInputs())
        return;
    RenameJournal previous;
    std::swap(previous, m_journal);
    dlg->StartRun();
    if (m_journal.size() == 0 && dlg->LastRunStopped())
        std::swap(previous, m_journal);
}

void CBeginnerPage::OnBack() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return;
    if (AfxMessageBox("Do you really want to cancel your changes?", MB_YESNO) != IDYES)
        return;
    RestoreResult result = RestoreNames();
    dlg->FillFileList();
    ReportRestore(result);
}

// In the run's order wherever that works. An entry whose old name is still
// taken (a later file of the run took it) waits for a further pass, after the
// others have freed their names; passes go on while they restore something.
RestoreResult CBeginnerPage::RestoreNames() {
    RestoreResult result;
    std::vector<size_t> pending;
    for (size_t i = 0; i < m_journal.size(); ++i)
        if (!m_journal.restored[i])
            pending.push_back(i);

    while (!pending.empty()) {
        std::vector<size_t> blocked;
        bool progress = false;
        for (size_t i : pending) {
            try {
                CFile::Rename(m_journal.newPaths[i], m_journal.oldPaths[i]);
                m_journal.restored[i] = 1;
                ++result.nRestored;
                progress = true;
            } catch (const CFileException& e) {
                if (IsNameTaken(e.m_lOsError))
                    blocked.push_back(i);
                else
                    result.failures.emplace_back(i, e.m_lOsError);
            }
        }
        if (!progress) {
            for (size_t i : blocked)
                result.failures.emplace_back(i, static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
            break;
        }
        pending.swap(blocked);
    }
    std::sort(result.failures.begin(), result.failures.end());
    return result;
}

void CBeginnerPage::ReportRestore(const RestoreResult& result) const {
    if (result.failures.empty()) {
        AfxMessageBox(kBackDone, MB_OK);
        return;
    }
    std::string list;
    for (size_t n = 0; n < result.failures.size() && n < kListedFailures; ++n) {
        const auto& failure = result.failures[n];
        list += m_journal.newPaths[failure.first] + "\n    " +
                SystemErrorText(static_cast<DWORD>(failure.second)) + "\n";
    }
    if (result.failures.size() > kListedFailures)
        list += InsertArgs(LookupText("AndMore", "... and %1 more\n"),
                           {std::to_string(result.failures.size() - kListedFailures)});
    AfxMessageBox(InsertArgs(LookupText("BackIncomplete",
                                        "Files given their old names again: %1\n\nThese files "
                                        "could not be given their old names:\n\n%2\nPress Back "
                                        "again once the cause is removed."),
                             {std::to_string(result.nRestored), list}),
                  MB_OK | MB_ICONEXCLAMATION);
}
