#include "NewNamePreview.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"

namespace {
bool IsAnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}

// PathUnits without making the wide path: the run's rule, at every keystroke.
size_t CountPathUnits(const std::string& path) {
    return static_cast<size_t>(
        ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0));
}

// Folders stand in the way of names but are never renamed.
constexpr size_t kFolder = static_cast<size_t>(-1);
} // namespace

CNewNamePreview::CNewNamePreview(const CListCtrl& list, std::function<RenameOptions()> options)
    : m_list(list), m_readOptions(std::move(options)) {
    m_rules.exists = [this](const std::string& path) {
        return Exists(path.substr(m_strFolderDir.size()));
    };
    m_rules.pathUnits = &CountPathUnits;
    m_rules.isLeadByte = &IsAnsiLeadByte;
}

void CNewNamePreview::Read(const std::string& folder) {
    m_strFolder = folder;
    m_strFolderDir = JoinPath(folder, "");
    m_entries.clear();
    m_byName.clear();
    m_keys.clear();
    // The run's own listing: every entry but the dots, hidden files too, in
    // the file system's order; folders only stand in the way of names.
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    std::unordered_map<std::wstring, int> keyCount;
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        const std::string name = finder.GetFileName();
        const bool isFolder = finder.IsDirectory() != FALSE;
        if (finder.IsNameIntact()) {
            m_keys.emplace(NameKey(name), isFolder ? kFolder : m_entries.size());
            ++keyCount[NameKey(name)];
        }
        if (isFolder)
            continue;
        Entry entry;
        entry.name = name;
        entry.created = finder.GetCreationTime();
        entry.intact = finder.IsNameIntact() != FALSE;
        entry.leftAlone =
            entry.intact ? NameLeftAlone(name, &IsAnsiLeadByte) : LeftAloneReason::NameNotExact;
        if (entry.intact)
            m_byName.emplace(name, m_entries.size());
        m_entries.push_back(std::move(entry));
    }
    // The run's own rule: two names that differ only in letter case are both left alone.
    for (Entry& entry : m_entries)
        if (entry.leftAlone == LeftAloneReason::None && keyCount[NameKey(entry.name)] > 1)
            entry.leftAlone = LeftAloneReason::CaseTwin;
    m_text.assign(m_entries.size(), std::string());
    m_bRead = true;
    m_bPlayed = false;
    ReadFacts();
}

void CNewNamePreview::ReadFacts() {
    // A file left alone for its name is never opened: its name may address another.
    std::vector<std::string> paths;
    paths.reserve(m_entries.size());
    for (const Entry& entry : m_entries)
        paths.push_back(entry.leftAlone == LeftAloneReason::None ? m_strFolderDir + entry.name
                                                                 : std::string());
    m_facts.Start(std::move(paths), WantsPhotoDate(m_readOptions()));
}

bool CNewNamePreview::FactsArrived() {
    m_facts.Acknowledge();
    const bool waiting = m_bWaiting;
    m_bWaiting = false; // the repaint sets it again for a row still waiting
    return waiting;
}

void CNewNamePreview::Play() {
    m_options = m_readOptions();
    // The dates are read once the options want them, from the first file on.
    if (WantsPhotoDate(m_options) && !m_facts.ReadsDates())
        ReadFacts();
    m_startRefusal = StartRefusal(m_options, &IsAnsiLeadByte);
    // The count is kept by the list; the search for the first selected item
    // walks the items, which a folder of 100,000 files makes felt at every keystroke.
    m_bSelection = m_list.GetSelectedCount() > 0;
    m_nNextSelected = m_bSelection ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
    m_nNextEntry = 0;
    m_nClashCount = 0;
    m_bStopped = false;
    ++m_nPlay;
    m_made.clear();
    m_bPlayed = true;
}

bool CNewNamePreview::Exists(const std::string& name) const {
    const std::wstring key = NameKey(name);
    if (m_made.count(key))
        return true;
    const auto found = m_keys.find(key);
    return found != m_keys.end() &&
           (found->second == kFolder || m_entries[found->second].goneInPlay != m_nPlay);
}

const std::string& CNewNamePreview::ReadingText() const {
    return WantsPhotoDate(m_options) ? m_reasons.readingDates : m_reasons.reading;
}

bool CNewNamePreview::Step(size_t index) {
    Entry& entry = m_entries[index];
    std::string& text = m_text[index];
    if (m_startRefusal != RenameVerdict::Rename) {
        text = m_reasons.start[m_startRefusal];
        return true;
    }
    if (m_bStopped) {
        text = m_reasons.notReached;
        return true;
    }
    if (entry.leftAlone != LeftAloneReason::None) {
        text = m_reasons.leftAlone[entry.leftAlone];
        return true;
    }
    if (index >= m_facts.Ready()) {
        text = ReadingText();
        m_bWaiting = true;
        return false;
    }
    // As the run asks before it renames a file: a plain file of exactly this name.
    const CFileFactsReader::Facts& facts = m_facts.Get(index);
    if (!facts.plain) {
        text = m_reasons.leftAlone[LeftAloneReason::NotAFile];
        return true;
    }
    FileDates dates;
    std::tm created = {};
    if (entry.created.GetLocalTm(created))
        dates.created = created;
    dates.taken = facts.taken;
    dates.takenError = facts.takenError;
    const RenameDecision d =
        DecideRename(m_strFolderDir, entry.name, dates, m_options, m_nClashCount, m_rules);
    // A numbered name that is taken too stops the run; the file's own name is
    // no other file's, and the rename to it leaves the file as it is.
    if (d.verdict == RenameVerdict::Rename && d.clashed && Exists(d.newName) &&
        NameKey(d.newName) != NameKey(entry.name)) {
        text = m_reasons.takenTwice;
        m_bStopped = true;
        return true;
    }
    if (d.verdict == RenameVerdict::Rename) {
        entry.goneInPlay = m_nPlay;
        m_made.insert(NameKey(d.newName));
        text = d.newName;
        return true;
    }
    if (d.verdict == RenameVerdict::LeftAlone) {
        text = m_reasons.leftAlone[LeftAloneReason::PathTooLong];
        return true;
    }
    text = m_reasons.file[d.verdict];
    m_bStopped = true;
    return true;
}

std::string CNewNamePreview::TextFor(int nItem, const std::string& folder) {
    if (folder.empty())
        return std::string(); // Start asks for a folder first
    if (!m_bRead || folder != m_strFolder)
        Read(folder);
    if (!m_bPlayed)
        Play();
    const auto found = m_byName.find(m_list.GetItemText(nItem, 0));
    if (!m_bSelection) {
        if (found == m_byName.end())
            return std::string();
        while (m_nNextEntry <= found->second && Step(m_nNextEntry))
            ++m_nNextEntry;
        return m_nNextEntry > found->second ? m_text[found->second] : ReadingText();
    }
    if (!(m_list.SendMessage(LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED))
        return std::string();
    if (found == m_byName.end())
        return m_reasons.leftAlone[LeftAloneReason::Gone]; // gone since the list was filled
    // The run takes the selected items in the list's order.
    while (m_nNextSelected != -1 && m_nNextSelected <= nItem) {
        const auto step = m_byName.find(m_list.GetItemText(m_nNextSelected, 0));
        // A name gone since the list was filled is left alone.
        if (step != m_byName.end() && !Step(step->second))
            return ReadingText();
        m_nNextSelected = m_list.GetNextItem(m_nNextSelected, LVNI_SELECTED);
    }
    return m_text[found->second];
}
