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

RenameOutcome CBeginnerPage::RenameFile(RunFile& file) {
    if (file.leftAlone != LeftAloneReason::None)
        return RenameOutcome::LeftAlone;
    // Still the file the run listed under this name, and still exactly that name.
    const std::string path = file.folder + file.name;
    FileIdentity now;
    if (!IsAbsolutePath(path) || !FitsThePathLimit(path) || !ReadPlainFile(path, now)) {
        file.leftAlone = LeftAloneReason::NotAFile;
        return RenameOutcome::LeftAlone;
    }
    if (file.identity.known && !SameFile(file.identity, now)) {
        file.leftAlone = LeftAloneReason::NotTheListedFile;
        return RenameOutcome::LeftAlone;
    }
    // What the folder listed holds the file's number too, which Back asks for.
    const FileIdentity identity = file.identity.known ? file.identity : now;
    ReadOptions();
    const FileDates& dates = file.dates.Get(path, file.created, m_options);

    CRenamerDlg* dlg = MainWindow();
    int unnumbered = 0;
    const RenameDecision d =
        DecideRename(file.folder, file.name, dates, m_options,
                     dlg ? dlg->m_nCollisionCount : unnumbered, DiskNameRules());
    switch (d.verdict) {
    case RenameVerdict::Rename:
        break;
    case RenameVerdict::LeftAlone:
        file.leftAlone = LeftAloneReason::PathTooLong;
        return RenameOutcome::LeftAlone;
    case RenameVerdict::NoDate:
        Refuse("NoCreationTime",
               "The creation time of this file cannot be read as a date, so it was not "
               "renamed and the run stopped here:\n\n%1",
               path, file.name);
    case RenameVerdict::Unreadable:
        Refuse("PhotoUnreadable",
               "The date this photo was taken cannot be read (%2), so it was not renamed and the "
               "run stopped here:\n\n%1",
               path, SystemErrorText(dates.takenError));
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

    // The journal is on disk before the rename it records: the plan, or the
    // name the run gives instead, as things stand now. A journal that cannot
    // be written stops the run, before the rename or just after it.
    JournalEntry entry;
    entry.oldPath = path;
    entry.newPath = d.newPath;
    entry.identity = identity;
    const bool announced =
        file.journalEntry == static_cast<size_t>(-1)
            ? m_journalFile.Plan(entry, file.journalEntry)
            : d.newPath == file.plannedPath || m_journalFile.Moved(file.journalEntry, d.newPath);
    if (!announced)
        throw CFileException(::GetLastError(), m_journalFile.Path());
    CFile::Rename(path, d.newPath);
    m_journal.Append(path, d.newPath, identity, file.journalEntry);
    if (!m_journalFile.Done(file.journalEntry))
        throw CFileException(::GetLastError(), m_journalFile.Path());
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
