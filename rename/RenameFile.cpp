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
    m_options.keepRelatedTogether = dlg && dlg->m_pageExpert.KeepsRelatedTogether() ? 1 : 0;
    if (dlg)
        dlg->m_pageExpert.ReadNamingOptions(m_options);
    return m_options;
}

bool CBeginnerPage::IsStillTheListedFile(RunFile& file, FileIdentity& identity) {
    if (file.leftAlone != LeftAloneReason::None)
        return false;
    // Still the file the run listed under this name, and still exactly that name.
    const std::string path = file.folder + file.name;
    FileIdentity now;
    if (!IsAbsolutePath(path) || !FitsThePathLimit(path) || !ReadPlainFile(path, now)) {
        file.leftAlone = LeftAloneReason::NotAFile;
        return false;
    }
    if (file.identity.known && !SameFile(file.identity, now)) {
        file.leftAlone = LeftAloneReason::NotTheListedFile;
        return false;
    }
    // What the folder listed holds the file's number too, which Back asks for.
    identity = file.identity.known ? file.identity : now;
    return true;
}

bool CBeginnerPage::RenameGroup(std::vector<RunFile>& files, const FileGroup& group, int number,
                                int& nRenamed, int& nLeftAlone) {
    std::vector<RunFile*> present;
    std::vector<FileIdentity> identities;
    std::vector<GroupFile> facts;
    ReadOptions();
    for (const GroupMember& member : group) {
        RunFile& file = files[member.file];
        FileIdentity identity;
        if (!IsStillTheListedFile(file, identity)) {
            ++nLeftAlone;
            continue;
        }
        present.push_back(&file);
        identities.push_back(identity);
        facts.push_back(
            {file.name, member, file.dates.Get(file.folder + file.name, file.created, m_options)});
    }
    if (present.empty())
        return false;

    CRenamerDlg* dlg = MainWindow();
    int unnumbered = 0;
    const std::string& folder = present[0]->folder;
    const CNaming naming(m_options);
    const GroupDecision g = DecideGroup(folder, facts, naming, number,
                                        dlg ? dlg->m_nCollisionCount : unnumbered, DiskNameRules());
    const RunFile& refused = *present[g.refused];
    const std::string path = refused.folder + refused.name;
    switch (g.verdict) {
    case RenameVerdict::Rename:
    case RenameVerdict::LeftAlone:
        break;
    case RenameVerdict::NoDate:
        Refuse("NoCreationTime",
               "The creation time of this file cannot be read as a date, so it was not "
               "renamed and the run stopped here:\n\n%1",
               path, refused.name);
    case RenameVerdict::Unreadable:
        Refuse("PhotoUnreadable",
               "The date this photo was taken cannot be read (%2), so it was not renamed and the "
               "run stopped here:\n\n%1",
               path, SystemErrorText(facts[g.refused].dates.takenError));
    case RenameVerdict::BadText:
        throw CFileException(ERROR_INVALID_NAME, path);
    // The options are read again for every group: what was typed since Start stops the run.
    case RenameVerdict::BadPattern: {
        std::string token;
        naming.Refusal(&IsAnsiLeadByte, &token);
        Refuse("PatternInRun",
               "The name pattern now holds \"%2\", which is not one of its tokens, so this "
               "file was not renamed and the run stopped here:\n\n%1",
               path, token);
    }
    case RenameVerdict::BadPatternText:
        Refuse("PatternTextInRun",
               "The name pattern now holds a character a name cannot hold, so this file was not "
               "renamed and the run stopped here:\n\n%1",
               path, std::string());
    case RenameVerdict::BadShift:
        Refuse("TimeShiftInRun",
               "\"%2\" is not a shift of the camera's time, so this file was not renamed and "
               "the run stopped here:\n\n%1",
               path, m_options.timeShift);
    case RenameVerdict::Reserved:
        Refuse("ReservedName",
               "Windows reserves the name \"%2\" for a device or would store it changed, so "
               "this file was not renamed and the run stopped here:\n\n%1",
               path, g.files[g.refused].newName);
    case RenameVerdict::PathTooLong:
        Refuse("PathTooLong",
               "The new name \"%2\" would make the path of this file 260 characters or longer, "
               "too long to be renamed back, so it was not renamed and the run stopped here:\n\n%1",
               path, g.files[g.refused].newName);
    }
    // A numbered name taken too would fail its rename: it fails before the
    // group's first, so that no group is left half renamed by it.
    if (present.size() > 1)
        for (size_t i = 0; i < present.size(); ++i) {
            const RenameDecision& d = g.files[i];
            const std::string own = present[i]->folder + present[i]->name;
            if (d.verdict == RenameVerdict::Rename && d.clashed && IsPathTaken(d.newPath) &&
                NameKey(d.newPath) != NameKey(own))
                throw CFileException(ERROR_ALREADY_EXISTS, own);
        }

    int nGroupRenamed = 0;
    for (size_t i = 0; i < present.size(); ++i) {
        if (g.files[i].verdict == RenameVerdict::LeftAlone) {
            present[i]->leftAlone = LeftAloneReason::PathTooLong;
            ++nLeftAlone;
            continue;
        }
        try {
            Commit(*present[i], g.files[i].newPath, identities[i]);
        } catch (const CException& e) {
            if (nGroupRenamed == 0)
                throw;
            throw CGroupPartlyRenamed(InsertArgs(
                LookupText("GroupPartlyRenamed",
                           "%1\n\nThe files that belong with \"%2\" were renamed only in part: %3 "
                           "of %4 have their new names, the others still their old ones."),
                {e.GetErrorMessage(), folder + group[0].title, std::to_string(nGroupRenamed),
                 std::to_string(group.size())}));
        }
        ++nGroupRenamed;
        ++nRenamed;
    }
    return nGroupRenamed > 0;
}

void CBeginnerPage::Commit(RunFile& file, const std::string& newPath,
                           const FileIdentity& identity) {
    // The journal is on disk before the rename it records: the plan, or the
    // name the run gives instead, as things stand now. A journal that cannot
    // be written stops the run, before the rename or just after it.
    const std::string path = file.folder + file.name;
    JournalEntry entry;
    entry.oldPath = path;
    entry.newPath = newPath;
    entry.identity = identity;
    const bool announced =
        file.journalEntry == static_cast<size_t>(-1)
            ? m_journalFile.Plan(entry, file.journalEntry)
            : newPath == file.plannedPath || m_journalFile.Moved(file.journalEntry, newPath);
    if (!announced)
        throw CFileException(::GetLastError(), m_journalFile.Path());
    CFile::Rename(path, newPath);
    m_journal.Append(path, newPath, identity, file.journalEntry);
    if (!m_journalFile.Done(file.journalEntry))
        throw CFileException(::GetLastError(), m_journalFile.Path());
}

void CBeginnerPage::UpdateSample() {
    UpdateData(TRUE);
    m_strSample = ComposeSample(LookupText("filename", "filename"), m_options);
    UpdateData(FALSE);
    // Every option change passes here (but Replace's click): the new names follow.
    if (CRenamerDlg* dlg = MainWindow())
        dlg->OnOptionsChanged();
}
