// Renaming one file by the options (CBeginnerPage::RenameFile), and the sample
// line the option page shows beside the options (CBeginnerPage::UpdateSample).
#include "NameComposer.h"

#include "app/LanguageFile.h"
#include "mainwnd/RenamerDlg.h"

#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/FileFind.h"

namespace {
bool IsAnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}
} // namespace

bool CBeginnerPage::OptionsMakeFileNames() const {
    if (m_options.addPrefix && !IsFileNameText(m_options.prefix, &IsAnsiLeadByte))
        return false;
    if (m_options.replace && !IsFileNameText(m_options.replaceTo, &IsAnsiLeadByte))
        return false;
    return true;
}

void CBeginnerPage::RenameFile(std::string path) {
    CRenamerDlg* dlg = MainWindow();
    // The walk renames inside the folder it is still listing: a name this run
    // made is never taken up again.
    if (dlg && dlg->WasRenamedInRun(path))
        return;

    CFileFind finder;
    if (!finder.FindFile(path))
        return;
    finder.FindNextFile();
    UpdateData(TRUE);

    const std::string title = finder.GetFileTitle();
    const std::string name = finder.GetFileName();
    const std::string full = finder.GetFilePath();
    const std::string ext = name.substr(title.size());
    const std::string folder = full.substr(0, full.rfind('\\') + 1);
    const std::tm created = finder.GetCreationTime().GetLocalTm();
    finder.Close();

    const std::string newTitle = ComposeTitle(title, created, m_options);
    // Options typed during a run are not checked at Start: a name that would
    // point elsewhere stops the run here instead of moving the file.
    if (!IsFileNameText(newTitle + ext, &IsAnsiLeadByte))
        throw CFileException(ERROR_INVALID_NAME, path);

    std::string newPath = folder + newTitle + ext;
    CFileFind probe;
    if (probe.FindFile(newPath)) {
        int count = dlg ? ++dlg->m_nCollisionCount : 1;
        newPath = ClashName(folder, newTitle, count, ext);
    }
    probe.Close();

    CFile::Rename(path, newPath);
    m_journal.Append(path, newPath);
    if (dlg)
        dlg->NoteRenamedInRun(newPath);
}

void CBeginnerPage::UpdateSample() {
    UpdateData(TRUE);
    m_strSample = ComposeSample(LookupText("filename", "filename"), m_options);
    UpdateData(FALSE);
}
