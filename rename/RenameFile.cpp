// Renaming one file by the options (CBeginnerPage::RenameFile), and the sample
// line the option page shows beside the options (CBeginnerPage::UpdateSample).
#include "NameComposer.h"
#include "PhotoDateFile.h"
#include "RenamePlan.h"

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

// A path the system's limit cannot hold does not address its file.
bool FitsThePathLimit(const std::string& path) {
    return PathUnits(path) < kPathLimit;
}

bool IsAbsolutePath(const std::string& path) {
    return (path.size() > 2 && path[1] == ':' && path[2] == '\\') || path.rfind("\\\\", 0) == 0;
}

[[noreturn]] void Refuse(const char* key, const char* text, const std::string& path,
                         const std::string& newName) {
    throw CRenameRefused(InsertArgs(LookupText(key, text), {path, newName}));
}
} // namespace

RenameVerdict CBeginnerPage::StartRefusal() const {
    return ::StartRefusal(m_options, &IsAnsiLeadByte);
}

const NameRules& CBeginnerPage::DiskNameRules() {
    static const NameRules rules = {&IsPathTaken, &PathUnits, &IsAnsiLeadByte};
    return rules;
}

const RenameOptions& CBeginnerPage::ReadOptions() {
    UpdateData(TRUE);
    CRenamerDlg* dlg = MainWindow();
    m_options.usePhotoDate = dlg && dlg->m_pageExpert.UsesPhotoDate() ? 1 : 0;
    return m_options;
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
    ReadOptions();

    const std::string name = finder.GetFileName();
    FileDates dates;
    std::tm created = {};
    if (finder.GetCreationTime().GetLocalTm(created))
        dates.created = created;
    finder.Close();
    if (WantsPhotoDate(m_options))
        dates.taken = ReadPhotoDateFile(path);

    int unnumbered = 0;
    const RenameDecision d = DecideRename(
        folder, name, dates, m_options, dlg ? dlg->m_nCollisionCount : unnumbered, DiskNameRules());
    switch (d.verdict) {
    case RenameVerdict::Rename:
        break;
    case RenameVerdict::LeftAlone:
        return RenameOutcome::LeftAlone;
    case RenameVerdict::NoDate:
        Refuse("NoCreationTime",
               "The creation time of this file cannot be read as a date, so it was not "
               "renamed and the run stopped here:\n\n%1",
               path, name);
    case RenameVerdict::BadText:
        throw CFileException(ERROR_INVALID_NAME, path);
    case RenameVerdict::Reserved:
        Refuse("ReservedName",
               "Windows reserves the name \"%2\" for a device or would store it changed, so "
               "this file was not renamed and the run stopped here:\n\n%1",
               path, d.newName);
    case RenameVerdict::PathTooLong:
        Refuse("PathTooLong",
               "The new name \"%2\" would make the path of this file 260 characters or longer, "
               "too long to be renamed back, so it was not renamed and the run stopped here:\n\n%1",
               path, d.newName);
    }

    CFile::Rename(path, d.newPath);
    m_journal.Append(path, d.newPath);
    if (dlg)
        dlg->NoteRenamedInRun(d.newPath);
    return RenameOutcome::Renamed;
}

void CBeginnerPage::UpdateSample() {
    UpdateData(TRUE);
    m_strSample = ComposeSample(LookupText("filename", "filename"), m_options);
    UpdateData(FALSE);
    // Every option change passes here (but Replace's click): the new names follow.
    if (CRenamerDlg* dlg = MainWindow())
        dlg->OnOptionsChanged();
}
