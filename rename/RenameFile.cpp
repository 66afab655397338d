// Renaming one file by the options (CBeginnerPage::RenameFile), and the sample
// line the option page shows beside the options (CBeginnerPage::UpdateSample).
#include "NameComposer.h"

#include "app/LangText.h"
#include "app/LanguageFile.h"
#include "mainwnd/RenamerDlg.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/File.h"
#include "platform/FileFind.h"

namespace {
bool IsAnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

// Back must be able to address both names: a path the system's limit cannot
// hold is never made.
bool FitsThePathLimit(const std::string& path) {
    return PathUnits(path) < MAX_PATH;
}

bool IsAbsolutePath(const std::string& path) {
    return (path.size() > 2 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

[[noreturn]] void Refuse(const char* key, const char* text, const std::string& path,
                         const std::string& newName) {
    throw CRenameRefused(InsertArgs(LookupText(key, text), {path, newName}));
}
} // namespace

bool CBeginnerPage::OptionsMakeFileNames() const {
    if (m_options.addPrefix && !IsFileNameText(m_options.prefix, &IsAnsiLeadByte))
        return false;
    if (m_options.replace && !IsFileNameText(m_options.replaceTo, &IsAnsiLeadByte))
        return false;
    return true;
}

RenameOutcome CBeginnerPage::RenameFile(std::string path) {
    CRenamerDlg* dlg = MainWindow();
    // The walk renames inside the folder it is still listing: a name this run
    // made is never taken up again.
    if (dlg && dlg->WasRenamedInRun(path))
        return RenameOutcome::AlreadyRenamed;

    // The new name always goes into the file's own folder, as the path says it.
    const size_t slash = path.rfind('\\');
    if (!IsAbsolutePath(path) || slash == std::string::npos || !FitsThePathLimit(path))
        return RenameOutcome::LeftAlone;
    const std::string folder = path.substr(0, slash + 1);

    CFileFind finder;
    if (!finder.FindFile(path))
        return RenameOutcome::LeftAlone;
    finder.FindNextFile();
    if (!finder.IsNameIntact() || finder.IsDirectory())
        return RenameOutcome::LeftAlone;
    UpdateData(TRUE);

    const std::string title = finder.GetFileTitle();
    const std::string name = finder.GetFileName();
    const std::string ext = name.substr(title.size());
    std::tm created = {};
    const bool haveTime = finder.GetCreationTime().GetLocalTm(created);
    finder.Close();
    if (!haveTime && (m_options.addDate || m_options.addTime))
        Refuse("NoCreationTime",
               "The creation time of this file cannot be read as a date, so it was not "
               "renamed and the run stopped here:\n\n%1",
               path, name);

    const std::string newTitle = ComposeTitle(title, created, m_options);
    // Options typed during a run are not checked at Start: a name that would
    // point elsewhere stops the run here instead of moving the file.
    if (!IsFileNameText(newTitle + ext, &IsAnsiLeadByte))
        throw CFileException(ERROR_INVALID_NAME, path);
    if (!IsStorableName(newTitle + ext))
        Refuse("ReservedName",
               "Windows reserves the name \"%2\" for a device or would store it changed, so "
               "this file was not renamed and the run stopped here:\n\n%1",
               path, newTitle + ext);

    std::string newPath = folder + newTitle + ext;
    if (FitsThePathLimit(newPath)) {
        CFileFind probe;
        if (probe.FindFile(newPath)) {
            int count = dlg ? ++dlg->m_nCollisionCount : 1;
            newPath = ClashName(folder, newTitle, count, ext);
        }
    }
    if (!FitsThePathLimit(newPath))
        Refuse("PathTooLong",
               "The new name \"%2\" would make the path of this file 260 characters or longer, "
               "too long to be renamed back, so it was not renamed and the run stopped here:\n\n%1",
               path, newPath.substr(folder.size()));

    CFile::Rename(path, newPath);
    m_journal.Append(path, newPath);
    if (dlg)
        dlg->NoteRenamedInRun(newPath);
    return RenameOutcome::Renamed;
}

void CBeginnerPage::UpdateSample() {
    UpdateData(TRUE);
    m_strSample = ComposeSample(LookupText("filename", "filename"), m_options);
    UpdateData(FALSE);
}
