// A rename run over the selected files, a folder or a folder tree
// (CRenamerDlg::StartRun and the walk that collects its files), and the Start
// and Back commands of the option page (CBeginnerPage::OnOK, OnBack).
//
// A run first lists every file it will meet, with each file's identity, and
// plans their new names in memory; the plan goes to the journal file before
// the first rename, so that Back can undo the run whatever ends the program.
// Then it renames the files one by one, deciding each again on the disk as it
// stands and with the options as the page shows them.
#include "RenameRun.h"

#include "JournalFile.h"
#include "NameComposer.h"
#include "PhotoDateFile.h"
#include "RunGuard.h"

#include "app/AppPaths.h"
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
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {
constexpr int kStripRange = 10000;
// A failure list longer than this is cut short in Back's message.
constexpr size_t kListedFailures = 12;

const char* const kBackDone = "All the name of files have been changed.";

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

// One folder as the run lists it: every entry but the dots, hidden and system
// files too, in the file system's order, each name checked for whether it
// stands for exactly that entry.
struct ListedEntry {
    std::string name;
    bool isFolder = false;
    bool isLink = false;
    CTime created;
    LeftAloneReason leftAlone = LeftAloneReason::None;
};

std::vector<ListedEntry> ListFolderForRun(const std::string& folder) {
    std::vector<ListedEntry> entries;
    std::unordered_map<std::wstring, int> keys;
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        ListedEntry e;
        e.name = finder.GetFileName();
        e.isFolder = finder.IsDirectory() != FALSE;
        e.isLink = finder.IsLink() != FALSE;
        e.created = finder.GetCreationTime();
        if (!finder.IsNameIntact())
            e.leftAlone = LeftAloneReason::NameNotExact;
        else
            e.leftAlone = NameLeftAlone(e.name, &IsAnsiLeadByte);
        if (finder.IsNameIntact())
            ++keys[NameKey(e.name)];
        entries.push_back(std::move(e));
    }
    finder.Close();
    // Two names that differ only in letter case (a folder Windows 10 lets
    // tell them apart, a disk of Linux): either may stand for the other.
    for (ListedEntry& e : entries)
        if (e.leftAlone == LeftAloneReason::None && keys[NameKey(e.name)] > 1)
            e.leftAlone = LeftAloneReason::CaseTwin;
    return entries;
}

// What the plan needs of a folder's listing: every name in it.
void NoteListing(std::unordered_map<std::string, std::vector<std::string>>& listings,
                 const std::string& folder, const std::vector<ListedEntry>& listing) {
    std::vector<std::string>& names = listings[JoinPath(folder, "")];
    for (const ListedEntry& e : listing)
        names.push_back(e.name);
}

// A file of a listing, with its identity as its folder lists it.
RunFile MeetFile(const std::string& folder, const ListedEntry& e,
                 const std::unordered_map<std::string, FileIdentity>& identities) {
    RunFile file;
    file.folder = JoinPath(folder, "");
    file.name = e.name;
    file.created = e.created;
    file.leftAlone = e.leftAlone;
    const auto found = identities.find(e.name);
    if (found != identities.end())
        file.identity = found->second;
    return file;
}

// The identities of the files of the folders a Back or a recovery meets, each
// folder asked once, and kept up as names are given back.
class CListedIdentities {
public:
    FileIdentity Of(const std::string& path) {
        const size_t slash = path.find_last_of('\\');
        if (slash == std::string::npos)
            return FileIdentity();
        auto& folder = Folder(path.substr(0, slash + 1));
        const auto found = folder.find(path.substr(slash + 1));
        if (found != folder.end())
            return found->second;
        // Some servers and file systems list no numbers: the file itself is asked.
        FileIdentity identity;
        ReadPlainFile(path, identity);
        return identity;
    }
    void Renamed(const std::string& from, const std::string& to) {
        const FileIdentity id = Of(from);
        const size_t slash = from.find_last_of('\\');
        auto& folder = Folder(from.substr(0, slash + 1));
        folder.erase(from.substr(slash + 1));
        folder[to.substr(to.find_last_of('\\') + 1)] = id;
    }

private:
    std::unordered_map<std::string, FileIdentity>& Folder(const std::string& folder) {
        auto found = m_folders.find(folder);
        if (found == m_folders.end())
            found = m_folders.emplace(folder, FolderIdentities(folder)).first;
        return found->second;
    }
    std::unordered_map<std::string, std::unordered_map<std::string, FileIdentity>> m_folders;
};

// The plan's view of the names a folder holds as the run goes: what was
// listed, less the names the run gives away, plus the names it gives.
class CPlannedNames {
public:
    bool Taken(const std::string& path) const { return m_taken.count(NameKey(path)) != 0; }
    void Listed(const std::string& folder, const std::string& name) {
        m_taken.insert(NameKey(folder + name));
    }
    void Moved(const std::string& from, const std::string& to) {
        m_taken.erase(NameKey(from));
        m_taken.insert(NameKey(to));
    }

private:
    std::unordered_set<std::wstring> m_taken;
};

// The run's files in groups, in the run's order: each folder's related files
// together where the options keep them so, every other file on its own. A
// folder's files stand together in the run's order.
std::vector<FileGroup> GroupRunFiles(const std::vector<RunFile>& files, bool bTogether) {
    std::vector<FileGroup> groups;
    for (size_t begin = 0, end = 0; begin < files.size(); begin = end) {
        std::vector<size_t> related;
        std::vector<std::string> names;
        for (end = begin; end < files.size() && files[end].folder == files[begin].folder; ++end) {
            if (bTogether && files[end].leftAlone == LeftAloneReason::None) {
                related.push_back(end);
                names.push_back(files[end].name);
            } else {
                groups.push_back(SingleFile(end, files[end].name));
            }
        }
        for (FileGroup& group : GroupRelatedFiles(names, &NameKey)) {
            for (GroupMember& member : group)
                member.file = related[member.file];
            groups.push_back(std::move(group));
        }
    }
    std::stable_sort(groups.begin(), groups.end(), [](const FileGroup& a, const FileGroup& b) {
        return a.front().file < b.front().file;
    });
    return groups;
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
    CRunScope(CRenamerDlg& dlg, bool bRestoring) : m_dlg(dlg) {
        m_dlg.m_bRunning = true;
        m_dlg.m_bCloseRequested = false;
        m_dlg.m_bSessionEnding = false;
        if (!bRestoring) {
            m_dlg.m_nRunRenamed = 0;
            m_dlg.m_nRunLeftAlone = 0;
            m_dlg.m_runListing.clear();
        }
        // Shown by the system where the session would end in the middle of a
        // rename, which no message can interrupt.
        ::ShutdownBlockReasonCreate(
            m_dlg.m_hWnd,
            WidenName(LookupText("RenamingFiles", "Tessivox is renaming files. Its journal "
                                                  "lets Back undo the run at the next start."))
                .c_str());
    }
    ~CRunScope() {
        ::ShutdownBlockReasonDestroy(m_dlg.m_hWnd);
        m_dlg.m_bRunning = false;
        m_dlg.m_bCloseRequested = false;
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
            .insert(
                std::make_tuple(info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow))
            .second;
    }

private:
    std::set<std::tuple<DWORD, DWORD, DWORD>> m_seen;
};

bool CRenamerDlg::CheckRunInputs() {
    if (m_strFolderPath.empty()) {
        AfxMessageBox(LookupText("ChooseFolder", "Please choose a folder in the tree first."),
                      MB_OK | MB_ICONINFORMATION);
        return false;
    }
    const RenameOptions& o = m_pageBeginner.ReadOptions();
    const CNaming naming(o);
    std::string fault;
    naming.Refusal(&IsAnsiLeadByte, &fault);
    switch (m_pageBeginner.StartRefusal()) {
    case RenameVerdict::BadPattern:
        AfxMessageBox(InsertArgs(LookupText("BadPattern",
                                            "The name pattern holds \"%1\", which is not one of "
                                            "its tokens. A token is one of <name> <yyyy> <yy> "
                                            "<MM> <M> <dd> <d> <HH> <H> <mm> <m> <ss> <s> <fff> "
                                            "<n> <nn> <nnn> (and so on) <camera>, each closed "
                                            "by its \">\"."),
                                 {fault}),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    case RenameVerdict::BadPatternText:
        AfxMessageBox(LookupText("BadPatternText",
                                 "The name pattern cannot contain any of these characters "
                                 "outside its tokens:\n") +
                          kForbiddenNameCharacters,
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    case RenameVerdict::BadShift:
        AfxMessageBox(InsertArgs(LookupText("BadTimeShift",
                                            "\"%1\" is not a shift of the camera's time. Write "
                                            "it as +H:MM or -H:MM (hours and minutes, such as "
                                            "-1:00), or with days first, such as +1 2:30."),
                                 {o.timeShift}),
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    case RenameVerdict::BadText:
        AfxMessageBox(LookupText("InvalidNameText",
                                 "The text to add and the replacement cannot contain any of "
                                 "these characters:\n") +
                          kForbiddenNameCharacters,
                      MB_OK | MB_ICONEXCLAMATION);
        return false;
    case RenameVerdict::Reserved:
        AfxMessageBox(
            InsertArgs(LookupText("ReservedText", "Every new name would be \"%1\", a name Windows "
                                                  "reserves for a device. Please choose another "
                                                  "text to add or another replacement."),
                       {naming.Title("", nullptr, {}, {}, 1)}),
            MB_OK | MB_ICONEXCLAMATION);
        return false;
    default:
        return true;
    }
}

std::vector<RunFile> CRenamerDlg::CollectSelection(const std::string& folder) {
    // The names are taken before the first rename: the list may be refilled
    // for another folder while the run lets messages through.
    std::vector<std::string> names;
    for (int i = m_listFiles.GetNextItem(-1, LVNI_SELECTED); i != -1;
         i = m_listFiles.GetNextItem(i, LVNI_SELECTED))
        names.push_back(m_listFiles.GetItemText(i, 0));
    std::unordered_map<std::string, const ListedEntry*> byName;
    const std::vector<ListedEntry> listing = ListFolderForRun(folder);
    NoteListing(m_runListing, folder, listing);
    for (const ListedEntry& e : listing)
        if (!e.isFolder && e.leftAlone != LeftAloneReason::NameNotExact)
            byName.emplace(e.name, &e);
    // Where related files are kept together, a selected file brings its whole
    // group, at the place of the group's first selected file.
    std::vector<const ListedEntry*> related;
    std::vector<FileGroup> groups;
    std::unordered_map<std::string, size_t> groupOf;
    if (m_pageBeginner.ReadOptions().keepRelatedTogether) {
        std::vector<std::string> relatedNames;
        for (const ListedEntry& e : listing)
            if (!e.isFolder && e.leftAlone == LeftAloneReason::None) {
                related.push_back(&e);
                relatedNames.push_back(e.name);
            }
        groups = GroupRelatedFiles(relatedNames, &NameKey);
        for (size_t g = 0; g < groups.size(); ++g)
            for (const GroupMember& member : groups[g])
                groupOf.emplace(related[member.file]->name, g);
    }
    std::vector<RunFile> files;
    std::unordered_set<std::string> taken;
    std::unordered_set<std::string> pulledIn;
    const auto identities = FolderIdentities(folder);
    for (const std::string& name : names) {
        if (pulledIn.count(name))
            continue;
        const auto found = byName.find(name);
        if (found == byName.end() || !taken.insert(name).second) {
            RunFile gone;
            gone.folder = JoinPath(folder, "");
            gone.name = name;
            gone.leftAlone = LeftAloneReason::Gone;
            files.push_back(std::move(gone));
            continue;
        }
        const auto group = groupOf.find(name);
        if (group == groupOf.end()) {
            files.push_back(MeetFile(folder, *found->second, identities));
            continue;
        }
        for (const GroupMember& member : groups[group->second]) {
            files.push_back(MeetFile(folder, *related[member.file], identities));
            pulledIn.insert(related[member.file]->name);
        }
    }
    return files;
}

void CRenamerDlg::CollectFolder(const std::string& folder, CFolderVisits& visits,
                                std::vector<RunFile>* files, size_t& count) {
    // A whole drive takes long to list: the window answers meanwhile, and a
    // close stops the listing.
    PumpMessages();
    if (StopRequested())
        return;
    std::vector<std::string> subfolders;
    std::unordered_map<std::string, FileIdentity> identities;
    if (files)
        identities = FolderIdentities(folder);
    const std::vector<ListedEntry> listing = ListFolderForRun(folder);
    if (files)
        NoteListing(m_runListing, folder, listing);
    for (const ListedEntry& e : listing) {
        if (!e.isFolder) {
            ++count;
            if (files)
                files->push_back(MeetFile(folder, e, identities));
        } else if (!e.isLink && e.leftAlone == LeftAloneReason::None) {
            subfolders.push_back(JoinPath(folder, e.name));
        }
    }
    if (!m_pageBeginner.m_options.includeSubfolders)
        return;
    for (const std::string& sub : subfolders)
        if (visits.Enter(sub))
            CollectFolder(sub, visits, files, count);
}

int CRenamerDlg::CountFiles(const std::string& pattern) {
    const std::string folder = pattern.substr(0, pattern.find_last_of('\\'));
    CFolderVisits visits;
    visits.Enter(folder);
    size_t count = 0;
    CollectFolder(folder, visits, nullptr, count);
    return static_cast<int>(count);
}

std::vector<JournalEntry> CRenamerDlg::PlanRun(std::vector<RunFile>& files,
                                               std::vector<FileGroup>& groups) {
    const RenameOptions& options = m_pageBeginner.ReadOptions();
    const CNaming naming(options);
    CPlannedNames names;
    for (const auto& [folder, listed] : m_runListing)
        for (const std::string& name : listed)
            names.Listed(folder, name);
    m_runListing.clear();
    NameRules rules = CBeginnerPage::DiskNameRules();
    rules.exists = [&names](const std::string& path) { return names.Taken(path); };
    int clashes = 0;
    CRunningNumber number;
    std::vector<JournalEntry> plan;
    // Camera dates take a while to read: the window answers meanwhile, and a
    // close or the session's end stops the run before it renames anything.
    DWORD pumped = ::GetTickCount();
    auto pumpNow = [&pumped, this] {
        if (::GetTickCount() - pumped < 50)
            return false;
        PumpMessages();
        pumped = ::GetTickCount();
        return StopRequested();
    };
    auto factsOf = [&files, &options](const FileGroup& group, std::vector<RunFile*>& members) {
        std::vector<GroupFile> facts;
        for (const GroupMember& member : group) {
            RunFile& f = files[member.file];
            if (f.leftAlone != LeftAloneReason::None)
                continue;
            members.push_back(&f);
            facts.push_back({f.name, member, f.dates.Get(f.folder + f.name, f.created, options)});
        }
        return facts;
    };
    // A folder's groups stand together: in date order, each folder's are put
    // in the order of their dates before its first is decided.
    if (options.dateOrder)
        for (size_t begin = 0, end = 0; begin < groups.size(); begin = end) {
            const std::string& folder = files[groups[begin][0].file].folder;
            std::vector<std::optional<std::tm>> dates;
            for (end = begin; end < groups.size() && files[groups[end][0].file].folder == folder;
                 ++end) {
                if (pumpNow())
                    return {};
                std::vector<RunFile*> members;
                dates.push_back(GroupDate(factsOf(groups[end], members), naming));
            }
            std::vector<FileGroup> sorted;
            for (size_t i : RunOrder(dates, true))
                sorted.push_back(std::move(groups[begin + i]));
            std::move(sorted.begin(), sorted.end(), groups.begin() + begin);
        }
    for (const FileGroup& group : groups) {
        if (pumpNow())
            return {};
        std::vector<RunFile*> members;
        const std::vector<GroupFile> facts = factsOf(group, members);
        if (members.empty())
            continue;
        const GroupDecision g = DecideGroup(members[0]->folder, facts, naming,
                                            number.For(members[0]->folder), clashes, rules);
        // A numbered name that is taken too stops the run; the file's own name
        // is no other file's.
        bool takenTwice = false;
        for (size_t i = 0; i < members.size(); ++i) {
            const RenameDecision& d = g.files[i];
            const std::string own = members[i]->folder + members[i]->name;
            takenTwice = takenTwice || (d.clashed && names.Taken(d.newPath) &&
                                        NameKey(d.newPath) != NameKey(own));
            if (d.verdict == RenameVerdict::LeftAlone)
                members[i]->leftAlone = LeftAloneReason::PathTooLong;
        }
        if (g.verdict != RenameVerdict::Rename || takenTwice)
            break; // the run stops before this group: nothing after it is planned
        bool named = false;
        for (size_t i = 0; i < members.size(); ++i) {
            const RenameDecision& d = g.files[i];
            if (d.verdict != RenameVerdict::Rename)
                continue;
            named = true;
            RunFile& f = *members[i];
            const std::string own = f.folder + f.name;
            names.Moved(own, d.newPath);
            f.plannedPath = d.newPath;
            f.journalEntry = plan.size();
            JournalEntry entry;
            entry.oldPath = own;
            entry.newPath = d.newPath;
            entry.identity = f.identity;
            plan.push_back(std::move(entry));
        }
        if (named)
            number.Named();
    }
    return plan;
}

bool CRenamerDlg::BeginJournal(const std::vector<JournalEntry>& plan) {
    const std::string path = CJournalFile::PathIn(g_strProgramDir);
    CJournalFile& journal = m_pageBeginner.m_journalFile;
    DWORD error = 0;
    if (journal.Begin(path, plan, error))
        return true;
    // Without a plan the run renames nothing it could be asked about.
    if (!plan.empty() &&
        AfxMessageBox(InsertArgs(LookupText("JournalNotWritten",
                                            "The journal that lets Back undo this run after "
                                            "Tessivox has ended cannot be written:\n\n%1\n%2\n"
                                            "Rename all the same, without a way back once "
                                            "Tessivox has ended?"),
                                 {path, SystemErrorText(error)}),
                      MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return false;
    journal.GoWithout();
    return true;
}

void CRenamerDlg::StepStrip(size_t done, size_t total) {
    m_pProgress->MoveTo(RunStripPosition(done, total, kStripRange));
    PumpMessages();
}

void CRenamerDlg::StartRun() {
    if (m_bRunning || !CheckRunInputs())
        return;
    // The run keeps the folder it started with, whatever is chosen meanwhile.
    const std::string folder = m_strFolderPath;
    CRunScope scope(*this, false);
    CJournalFile& journal = m_pageBeginner.m_journalFile;

    size_t total = 0;
    try {
        std::vector<RunFile> files;
        if (m_listFiles.GetNextItem(-1, LVNI_SELECTED) == -1) {
            // A folder gone or barred since it was chosen is a failure, not an empty run.
            const DWORD attributes = ::GetFileAttributesW(WidenName(folder).c_str());
            if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                throw CFileException(attributes == INVALID_FILE_ATTRIBUTES ? ::GetLastError()
                                                                           : ERROR_DIRECTORY,
                                     folder);
            m_pProgress->SetPos(0);
            m_pProgress->ShowWindow(SW_SHOW); // the listing of a large tree takes a while
            if (!ConfirmSweepingRun(folder)) {
                // It renamed nothing: the last run stays undoable.
                m_pProgress->ShowWindow(SW_HIDE);
                return;
            }
            CFolderVisits visits;
            visits.Enter(folder);
            size_t count = 0;
            CollectFolder(folder, visits, &files, count);
        } else {
            files = CollectSelection(folder);
        }
        total = files.size();
        m_nCollisionCount = 0;
        m_pProgress->SetPos(0);
        m_pProgress->ShowWindow(SW_SHOW);
        std::vector<FileGroup> groups =
            GroupRunFiles(files, m_pageBeginner.ReadOptions().keepRelatedTogether != 0);
        std::vector<JournalEntry> plan;
        if (!StopRequested())
            plan = PlanRun(files, groups);
        // Stopped while it listed or planned: nothing renamed, the last run stays undoable.
        if (StopRequested()) {
            m_pProgress->ShowWindow(SW_HIDE);
            if (m_bCloseRequested)
                EndDialog(IDCANCEL);
            return;
        }
        if (!BeginJournal(plan)) {
            m_pProgress->ShowWindow(SW_HIDE);
            return;
        }
        m_pProgress->SetPos(0);
        m_pProgress->ShowWindow(SW_SHOW);
        size_t done = 0;
        CRunningNumber number;
        for (size_t i = 0; i < groups.size() && !StopRequested(); ++i) {
            const std::string& groupFolder = files[groups[i][0].file].folder;
            if (m_pageBeginner.RenameGroup(files, groups[i], number.For(groupFolder), m_nRunRenamed,
                                           m_nRunLeftAlone))
                number.Named();
            done += groups[i].size();
            StepStrip(done, total);
        }
    } catch (const CException& e) {
        if (m_bSessionEnding)
            return; // the journal says the run did not end: the next start offers to undo it
        journal.End("stopped");
        ReportStoppedRun(e);
        if (m_bCloseRequested)
            UndoAndClose(static_cast<int>(total));
        return;
    }
    if (m_bSessionEnding)
        return;
    journal.End(m_bCloseRequested || IsEnding() ? "closed" : "done");
    if (m_bCloseRequested) {
        UndoAndClose(static_cast<int>(total));
        return;
    }
    if (IsEnding())
        return; // the window is closing: it goes once the run has stopped

    m_pProgress->SetPos(kStripRange);
    if (m_nRunRenamed == 0)
        AfxMessageBox(m_nRunLeftAlone == 0
                          ? LookupText("NothingRenamed", "No file was renamed.")
                          : InsertArgs(LookupText("NothingRenamedLeftAlone",
                                                  "No file was renamed.\n\nFiles left alone "
                                                  "because they were gone, not plain files, "
                                                  "or their names or paths could not address "
                                                  "them exactly: %1"),
                                       {std::to_string(m_nRunLeftAlone)}),
                      MB_OK | MB_ICONINFORMATION);
    else if (m_nRunLeftAlone == 0)
        AfxMessageBox(
            LookupText("ReplaceSuccessfully", "Files name have been replaced successfully!"),
            MB_OK);
    else
        AfxMessageBox(InsertArgs(LookupText("ReplacePartly",
                                            "The run is over, but not every file was renamed.\n\n"
                                            "Files renamed: %1\nFiles left alone because they "
                                            "were gone, not plain files, or their names or "
                                            "paths could not address them exactly: %2"),
                                 {std::to_string(m_nRunRenamed), std::to_string(m_nRunLeftAlone)}),
                      MB_OK | MB_ICONINFORMATION);
    FillFileList();
    m_pProgress->ShowWindow(SW_HIDE);
    if (m_bCloseRequested) // asked for while the closing message was open
        EndDialog(IDCANCEL);
}

bool CRenamerDlg::ConfirmSweepingRun(const std::string& folder) {
    // Compared as the system finally names them: a short name, a junction
    // (C:\Documents and Settings) or another letter case reaches the same folder.
    KnownFolders known;
    known.profile = FinalFolderPath(m_knownFolders.profile);
    for (const std::string& system : m_knownFolders.system)
        known.system.push_back(FinalFolderPath(system));
    if (!RunAsksFirst(FinalFolderPath(folder), known))
        return true;
    // Counted before the question, with the files' names only.
    const int nFiles = CountFiles(JoinPath(folder, "*.*"));
    if (nFiles <= 0 || StopRequested())
        return !StopRequested();
    const bool subfolders = m_pageBeginner.m_options.includeSubfolders != 0;
    const std::string question =
        subfolders ? LookupText("SweepingRun", "Rename %1 files in %2 and all its subfolders?")
                   : LookupText("SweepingRunFolderOnly", "Rename %1 files in %2?");
    // No is the default: Enter alone never sweeps over a whole drive.
    return AfxMessageBox(InsertArgs(question, {FormatCount(nFiles), folder}),
                         MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void CRenamerDlg::ReportStoppedRun(const CException& e) {
    // With nothing renamed, Back is still the last run's.
    const std::string renamed =
        m_nRunRenamed == 0
            ? LookupText("RunStoppedNothing", "The run stopped before it renamed a file.")
            : InsertArgs(LookupText("RunStopped", "Files renamed before the run stopped: %1. "
                                                  "Back gives them their old names again."),
                         {std::to_string(m_nRunRenamed)});
    AfxMessageBox(e.GetErrorMessage() + "\n\n" + renamed, MB_OK | MB_ICONEXCLAMATION);
    // The strip stays where the run stopped; the taskbar no longer says a run goes on.
    m_pTaskbar->Show(-1);
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
        const RestoreResult result = RestoreWithProgress(false);
        // A file that could not be given its old name keeps the program open,
        // with Back's list: it would otherwise keep its new name for good.
        if (!result.failures.empty()) {
            m_pProgress->ShowWindow(SW_HIDE);
            FillFileList();
            m_pageBeginner.ReportRestore(result);
            return;
        }
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

BOOL CRenamerDlg::OnQueryEndSession() {
    // The session may still go on (another program may let the user cancel
    // its end): the run goes on too, what its journal holds made to last.
    if (m_bRunning)
        m_pageBeginner.m_journalFile.Flush();
    return TRUE;
}

void CRenamerDlg::OnEndSession(BOOL bEnding) {
    if (!bEnding || !m_bRunning)
        return;
    // Called between two files: the run stops here, without a word, and its
    // journal says it did not end, so that the next start offers to undo it.
    m_bSessionEnding = true;
    m_pageBeginner.m_journalFile.Flush();
}

RestoreResult CRenamerDlg::RestoreWithProgress(bool bStoppable) {
    m_pProgress->SetPos(0);
    m_pProgress->ShowWindow(SW_SHOW);
    const RestoreResult result =
        m_pageBeginner.RestoreNames([this, bStoppable](size_t done, size_t total) {
            StepStrip(done, total);
            return !m_bSessionEnding && !(bStoppable && StopRequested());
        });
    m_pProgress->SetPos(kStripRange);
    return result;
}

void CBeginnerPage::OnOK() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return; // the run under way keeps its journal
    UpdateData(TRUE);
    // A Start refused by the checks leaves the last run's journal to Back, and
    // so does a run that renamed nothing.
    if (!dlg->CheckRunInputs())
        return;
    RenameJournal previous;
    previous.Swap(m_journal);
    dlg->StartRun();
    if (m_journal.size() == 0)
        previous.Swap(m_journal);
}

void CBeginnerPage::OnBack() {
    CRenamerDlg* dlg = MainWindow();
    if (!dlg || dlg->IsRunning())
        return;
    if (AfxMessageBox("Do you really want to cancel your changes?", MB_YESNO) != IDYES)
        return;
    dlg->UndoRun();
}

void CRenamerDlg::UndoRun() {
    RestoreResult result;
    bool closing = false;
    {
        CRunScope scope(*this, true);
        result = RestoreWithProgress(true);
        closing = m_bCloseRequested || IsEnding();
    }
    m_pProgress->ShowWindow(SW_HIDE);
    if (m_bSessionEnding)
        return;
    if (closing) {
        // Closing waited for the current file; what Back did not reach stays
        // in the journal for Back after the next start.
        EndDialog(IDCANCEL);
        return;
    }
    FillFileList();
    m_pageBeginner.ReportRestore(result);
}

namespace {
// Whether the run renamed the file of entry e, as the disk says now: at its
// new name and the same file, it was; at its old name and the same file, it
// was not, or was given its old name again; anywhere else, as the journal says.
bool IsRenamed(const JournalEntry& e, CListedIdentities& listed) {
    if (e.restored)
        return false;
    if (SameFile(e.identity, listed.Of(e.newPath)))
        return true;
    if (SameFile(e.identity, listed.Of(e.oldPath)))
        return false;
    return e.done;
}
} // namespace

LRESULT CRenamerDlg::OnOpenJournal(WPARAM, LPARAM) {
    const std::string path = CJournalFile::PathIn(g_strProgramDir);
    CJournalFile& file = m_pageBeginner.m_journalFile;
    // Another Tessivox started from this folder keeps the journal.
    if (!file.Own(path))
        return 0;
    // A plan that never became the journal: its run renamed nothing.
    ::DeleteFileW(WidenName(path + ".new").c_str());
    JournalContent content = CJournalFile::Load(path);
    CListedIdentities listed;
    std::vector<bool> renamed(content.entries.size());
    size_t nRenamed = 0;
    for (size_t i = 0; i < content.entries.size(); ++i) {
        renamed[i] = IsRenamed(content.entries[i], listed);
        nRenamed += renamed[i] ? 1 : 0;
    }
    // A run killed before its first rename: the run before it is Back's again.
    if (!content.entries.empty() && !content.ended && nRenamed == 0) {
        CJournalFile::PutBackLast(path);
        content = CJournalFile::Load(path);
        renamed.assign(content.entries.size(), false);
        for (size_t i = 0; i < content.entries.size(); ++i)
            renamed[i] = IsRenamed(content.entries[i], listed);
    }
    if (content.entries.empty())
        return 0;
    file.Reopen(path);
    RenameJournal journal;
    for (size_t i = 0; i < content.entries.size(); ++i) {
        const JournalEntry& e = content.entries[i];
        // What the disk says and the journal did not, it says from now on.
        if (!content.ended && renamed[i] && !e.done)
            file.Done(i);
        if (!renamed[i] && (e.done || e.restored)) {
            if (!e.restored)
                file.Restored(i);
            continue;
        }
        if (renamed[i])
            journal.Append(e.oldPath, e.newPath, e.identity, i);
    }
    file.Flush();
    m_pageBeginner.m_journal.Swap(journal);
    if (content.ended)
        return 0;
    // Asked once: the answer ends the interrupted run in its journal, which
    // Back can still undo after a No.
    const size_t nUndoable = m_pageBeginner.m_journal.size();
    const bool undo =
        nUndoable > 0 &&
        AfxMessageBox(
            InsertArgs(LookupText("InterruptedRun",
                                  "The last run was interrupted after %1 of %2 files. "
                                  "Give them their old names again?"),
                       {std::to_string(nUndoable), std::to_string(content.entries.size())}),
            MB_YESNO | MB_ICONQUESTION) == IDYES;
    file.EndInterrupted();
    if (undo)
        UndoRun();
    return 0;
}

// In the run's order wherever that works. An entry whose old name is still
// taken (a later file of the run took it) waits for a further pass, after the
// others have freed their names; passes go on while they restore something.
// A name that no longer stands for the file the run renamed is left as it is.
RestoreResult CBeginnerPage::RestoreNames(const std::function<bool(size_t, size_t)>& step) {
    RestoreResult result;
    std::vector<size_t> pending;
    for (size_t i = 0; i < m_journal.size(); ++i)
        if (!m_journal.restored[i])
            pending.push_back(i);
    const size_t total = pending.size();
    size_t done = 0;
    bool going = true;
    CListedIdentities listed;
    while (!pending.empty() && going) {
        std::vector<size_t> blocked;
        bool progress = false;
        for (size_t n = 0; n < pending.size(); ++n) {
            const size_t i = pending[n];
            if (!going) {
                blocked.push_back(i);
                continue;
            }
            const FileIdentity& recorded = m_journal.identities[i];
            const FileIdentity now = listed.Of(m_journal.newPaths[i]);
            if (recorded.known && !SameFile(recorded, now)) {
                // Gone is said as the system says it; another file under the name as that.
                DWORD error = kNotTheRenamedFile;
                if (!now.known && ::GetFileAttributesW(WidenName(m_journal.newPaths[i]).c_str()) ==
                                      INVALID_FILE_ATTRIBUTES)
                    error = ::GetLastError();
                result.failures.emplace_back(i, error);
            } else {
                try {
                    CFile::Rename(m_journal.newPaths[i], m_journal.oldPaths[i]);
                    listed.Renamed(m_journal.newPaths[i], m_journal.oldPaths[i]);
                    m_journal.restored[i] = 1;
                    m_journalFile.Restored(m_journal.fileEntries[i]);
                    ++result.nRestored;
                    progress = true;
                } catch (const CFileException& e) {
                    if (IsNameTaken(e.m_lOsError)) {
                        blocked.push_back(i);
                        continue; // counted when its turn comes again
                    }
                    result.failures.emplace_back(i, e.m_lOsError);
                }
            }
            if (step)
                going = step(++done, total);
        }
        if (!progress || !going) {
            if (going)
                for (size_t i : blocked)
                    result.failures.emplace_back(i,
                                                 static_cast<unsigned long>(ERROR_ALREADY_EXISTS));
            break;
        }
        pending.swap(blocked);
    }
    m_journalFile.Flush();
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
        const std::string reason =
            failure.second == kNotTheRenamedFile
                ? LookupText("NotTheRenamedFile", "is no longer the file that was renamed")
                : SystemErrorText(static_cast<DWORD>(failure.second));
        list += m_journal.newPaths[failure.first] + "\n    " + reason + "\n";
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
