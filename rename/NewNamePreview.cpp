#include "NewNamePreview.h"

#include "app/LangText.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"

#include <algorithm>

namespace {
// PathUnits without making the wide path: the run's rule, at every keystroke.
size_t CountPathUnits(const std::string& path) {
    // Most names are ASCII, a unit a byte.
    if (std::all_of(path.begin(), path.end(), [](char c) { return (c & 0x80) == 0; }))
        return path.size();
    return static_cast<size_t>(
        ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0));
}

// A repaint's share of time for playing the run, and the pause after which the
// next question starts another repaint's share.
constexpr std::chrono::milliseconds kPlayShare(30);
// While nothing waits for the window, a share may run on up to this: the
// rows on show are named sooner, and a key or a click still waits no longer.
constexpr std::chrono::milliseconds kIdleShare(90);
constexpr std::chrono::milliseconds kBurstGap(20);
// Steps between looks at the clock: a step costs about a microsecond.
constexpr size_t kStepsPerLook = 256;
// A file left alone for its name belongs to no group.
constexpr size_t kNoGroup = static_cast<size_t>(-1);
} // namespace

CNewNamePreview::CNewNamePreview(const CListCtrl& list, std::function<RenameOptions()> options)
    : m_list(list), m_readOptions(std::move(options)) {
    m_rules.exists = [this](const std::string& path) {
        return Exists(std::string_view(path).substr(m_strFolderDir.size()));
    };
    m_rules.pathUnits = &CountPathUnits;
    m_rules.isLeadByte = &IsAnsiLeadByte;
}

void CNewNamePreview::Read(const std::string& folder) {
    m_strFolder = folder;
    m_strFolderDir = JoinPath(folder, "");
    m_entries.clear();
    m_goneInPlay.clear();
    m_decidedInPlay.clear();
    m_byName.clear();
    m_keys.Clear(0);
    m_folders.clear();
    m_text.clear();
    m_bRead = true;
    m_bListed = false;
    m_bPlayed = false;
    m_bPostponed = false;
    m_facts.Start(m_strFolderDir, WantsPhotoDate(m_readOptions()));
}

bool CNewNamePreview::Listed() {
    if (m_bListed)
        return true;
    if (!m_facts.Listed())
        return false;
    CFileFactsReader::Listing listing = m_facts.TakeListing();
    m_entries = std::move(listing.files);
    m_byName = std::move(listing.byName);
    m_keys = std::move(listing.keys);
    m_folders = std::move(listing.folders);
    m_goneInPlay.assign(m_entries.size(), 0);
    m_decidedInPlay.assign(m_entries.size(), 0);
    m_bGrouped = false;
    m_bOrdered = false;
    m_text.assign(m_entries.size(), std::string());
    m_bListed = true;
    m_bPlayed = false;
    return true;
}

bool CNewNamePreview::FactsArrived() {
    m_facts.Acknowledge();
    // The repaint that follows gets a share of its own, however soon it comes.
    if (m_bPostponed)
        m_lastAsked = {};
    m_bPostponed = false;
    const bool waiting = m_bWaiting;
    m_bWaiting = false; // the repaint sets it again for a row still waiting
    return waiting;
}

void CNewNamePreview::Play() {
    m_options = m_readOptions();
    m_naming = CNaming(m_options);
    m_startRefusal = StartRefusal(m_options, &IsAnsiLeadByte);
    std::string fault;
    m_naming.Refusal(&IsAnsiLeadByte, &fault);
    m_strStartRefusal = InsertArgs(m_reasons.start[m_startRefusal], {fault});
    m_nNamed = 0;
    m_bSelectionOrdered = false;
    m_nNextSelection = 0;
    // The count is kept by the list; the search for the first selected item
    // walks the items, which a folder of 100,000 files makes felt at every keystroke.
    m_bSelection = m_list.GetSelectedCount() > 0;
    m_nNextSelected = m_bSelection ? m_list.GetNextItem(-1, LVNI_SELECTED) : -1;
    m_nNextEntry = 0;
    m_nClashCount = 0;
    m_bStopped = false;
    ++m_nPlay;
    m_given.Clear(m_entries.size());
    m_bPlayed = true;
    if (!m_options.keepRelatedTogether)
        return;
    if (!m_bGrouped)
        Group();
    // A selection run renames the whole group of every selected file, where
    // the group's first selected file comes.
    if (m_bSelection)
        for (int i = m_nNextSelected; i != -1; i = m_list.GetNextItem(i, LVNI_SELECTED)) {
            const auto found = m_byName.find(m_list.GetItemText(i, 0));
            if (found == m_byName.end() || m_groupOf[found->second] == kNoGroup)
                continue;
            const size_t group = m_groupOf[found->second];
            if (m_groupPulledInPlay[group] != m_nPlay) {
                m_groupPulledInPlay[group] = m_nPlay;
                m_groupFirstSelected[group] = i;
            }
        }
}

void CNewNamePreview::Group() {
    std::vector<size_t> related;
    std::vector<std::string> names;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].leftAlone == LeftAloneReason::None) {
            related.push_back(i);
            names.push_back(m_entries[i].name);
        }
    m_groups = GroupRelatedFiles(names, &NameKey);
    m_groupOf.assign(m_entries.size(), kNoGroup);
    for (size_t g = 0; g < m_groups.size(); ++g)
        for (GroupMember& member : m_groups[g]) {
            member.file = related[member.file];
            m_groupOf[member.file] = g;
        }
    m_groupPulledInPlay.assign(m_groups.size(), 0);
    m_groupFirstSelected.assign(m_groups.size(), -1);
    m_bGrouped = true;
}

bool CNewNamePreview::Exists(std::string_view name) const {
    const uint64_t hash = NameKeyHash(name);
    if (m_given.Find(hash, [&](size_t entry) { return SameNameKey(name, m_text[entry]); }))
        return true;
    return m_keys.Find(hash, [&](uint32_t value) {
        if (value & CFileFactsReader::kFolder)
            return SameNameKey(name, m_folders[value & ~CFileFactsReader::kFolder]);
        return m_goneInPlay[value] != m_nPlay && SameNameKey(name, m_entries[value].name);
    });
}

const std::string& CNewNamePreview::ReadingText() const {
    return m_facts.ReadsDates() ? m_reasons.readingDates : m_reasons.reading;
}

CNewNamePreview::Members CNewNamePreview::GroupOf(size_t entry) const {
    if (m_options.keepRelatedTogether && m_groupOf[entry] != kNoGroup) {
        const FileGroup& group = m_groups[m_groupOf[entry]];
        return {group.data(), group.size()};
    }
    return {&m_entries[entry].single, 1};
}

void CNewNamePreview::FactsOf(const GroupMember& member, GroupFile& file) const {
    const CFileFactsReader::Facts& facts = m_facts.Get(member.file);
    file.name = m_entries[member.file].name;
    file.member = member;
    file.dates.created = m_entries[member.file].createdLocal;
    file.dates.taken = facts.taken;
    file.dates.takenError = facts.takenError;
    file.dates.subSecond = facts.subSecond;
    file.dates.camera = facts.camera;
}

bool CNewNamePreview::Ordered() {
    // What the dates of the groups depend on; the pattern and the other texts do not count.
    const std::string orderedFor = std::to_string(m_options.usePhotoDate) +
                                   std::to_string(m_options.keepRelatedTogether) +
                                   m_options.timeShift;
    if (m_bOrdered && orderedFor == m_strOrderedFor)
        return true;
    if (m_options.usePhotoDate && m_facts.Ready() < m_entries.size()) {
        m_bWaiting = true;
        return false;
    }
    std::vector<std::optional<std::tm>> dates;
    std::vector<size_t> firsts;
    std::vector<bool> met(m_entries.size());
    for (size_t e = 0; e < m_entries.size(); ++e) {
        if (met[e])
            continue;
        std::vector<GroupFile> files;
        for (const GroupMember& member : GroupOf(e)) {
            met[member.file] = true;
            if (m_entries[member.file].leftAlone == LeftAloneReason::None)
                FactsOf(member, files.emplace_back());
        }
        firsts.push_back(e);
        dates.push_back(GroupDate(files, m_naming));
    }
    m_sequence.clear();
    m_sequence.reserve(m_entries.size());
    m_position.assign(m_entries.size(), 0);
    m_orderKey.assign(m_entries.size(), 0);
    for (size_t unit : RunOrder(dates, true)) {
        for (const GroupMember& member : GroupOf(firsts[unit])) {
            m_position[member.file] = m_sequence.size();
            m_orderKey[member.file] = DateOrderKey(dates[unit]);
            m_sequence.push_back(member.file);
        }
    }
    m_bOrdered = true;
    m_strOrderedFor = orderedFor;
    return true;
}

void CNewNamePreview::OrderSelection() {
    // The selected files' groups, each where its first selected file brings
    // it, then in the order of their dates.
    m_selPlaced.resize(m_entries.size(), 0);
    m_selPosition.resize(m_entries.size(), 0);
    std::vector<size_t> firsts;
    for (int i = m_list.GetNextItem(-1, LVNI_SELECTED); i != -1;
         i = m_list.GetNextItem(i, LVNI_SELECTED)) {
        const auto found = m_byName.find(m_list.GetItemText(i, 0));
        if (found == m_byName.end() || m_selPlaced[found->second] == m_nPlay)
            continue;
        for (const GroupMember& member : GroupOf(found->second))
            m_selPlaced[member.file] = m_nPlay;
        firsts.push_back(found->second);
    }
    std::stable_sort(firsts.begin(), firsts.end(),
                     [this](size_t a, size_t b) { return m_orderKey[a] < m_orderKey[b]; });
    m_selSequence.clear();
    for (size_t first : firsts) {
        for (const GroupMember& member : GroupOf(first)) {
            m_selPosition[member.file] = m_selSequence.size();
            m_selSequence.push_back(member.file);
        }
    }
    m_bSelectionOrdered = true;
}

bool CNewNamePreview::PlaySequenceTo(size_t entry, size_t& steps) {
    while (m_nNextSelection <= m_selPosition[entry]) {
        if (OutOfTime(++steps) || !Step(m_selSequence[m_nNextSelection]))
            return false;
        ++m_nNextSelection;
    }
    return true;
}

bool CNewNamePreview::Step(size_t index) {
    if (m_decidedInPlay[index] == m_nPlay)
        return true; // with its group
    const Entry& entry = m_entries[index];
    const Members group = GroupOf(index);
    auto tell = [this, &group](const std::string& text) {
        for (const GroupMember& member : group) {
            m_text[member.file] = text;
            m_decidedInPlay[member.file] = m_nPlay;
        }
        return true;
    };
    if (m_startRefusal != RenameVerdict::Rename)
        return tell(m_strStartRefusal);
    if (m_bStopped)
        return tell(m_reasons.notReached);
    if (entry.leftAlone != LeftAloneReason::None)
        return tell(m_reasons.leftAlone[entry.leftAlone]);
    for (const GroupMember& member : group)
        if (member.file >= m_facts.Ready()) {
            m_text[index] = ReadingText();
            m_bWaiting = true;
            return false;
        }
    // As the run asks before it renames a file: a plain file of exactly this name.
    // The files of the last step keep their room for this one's.
    std::vector<GroupFile>& files = m_stepFiles;
    std::vector<size_t>& entries = m_stepEntries;
    entries.clear();
    for (const GroupMember& member : group) {
        m_decidedInPlay[member.file] = m_nPlay;
        if (!m_facts.Get(member.file).plain) {
            m_text[member.file] = m_reasons.leftAlone[LeftAloneReason::NotAFile];
            continue;
        }
        if (files.size() <= entries.size())
            files.emplace_back();
        FactsOf(member, files[entries.size()]);
        entries.push_back(member.file);
    }
    files.resize(entries.size());
    if (files.empty())
        return true;
    GroupDecision& g = m_stepDecision;
    DecideGroupInto(m_strFolderDir, files, m_naming, m_nNamed + 1, m_nClashCount, m_rules, g);
    // A numbered name that is taken too stops the run; the file's own name is
    // no other file's, and the rename to it leaves the file as it is.
    size_t stopper = g.refused;
    bool takenTwice = false;
    for (size_t i = 0; i < files.size() && g.verdict == RenameVerdict::Rename; ++i) {
        const RenameDecision& d = g.files[i];
        if (d.verdict == RenameVerdict::Rename && d.clashed && Exists(d.newName) &&
            !SameNameKey(d.newName, files[i].name)) {
            stopper = i;
            takenTwice = true;
            break;
        }
    }
    if (g.verdict != RenameVerdict::Rename || takenTwice) {
        const std::string& reason = takenTwice ? m_reasons.takenTwice : m_reasons.file[g.verdict];
        for (size_t i = 0; i < files.size(); ++i)
            m_text[entries[i]] = i == stopper ? reason : m_reasons.notReached;
        m_bStopped = true;
        return true;
    }
    bool named = false;
    for (size_t i = 0; i < files.size(); ++i) {
        RenameDecision& d = g.files[i];
        if (d.verdict == RenameVerdict::LeftAlone) {
            m_text[entries[i]] = m_reasons.leftAlone[LeftAloneReason::PathTooLong];
            continue;
        }
        m_goneInPlay[entries[i]] = m_nPlay;
        m_given.Add(NameKeyHash(d.newName), static_cast<uint32_t>(entries[i]));
        m_text[entries[i]].swap(d.newName); // the old text's room serves the next decision
        named = true;
    }
    if (named)
        ++m_nNamed;
    return true;
}

bool CNewNamePreview::PlaySelectionTo(int nItem, size_t& steps) {
    // The run takes the selected items in the list's order.
    while (m_nNextSelected != -1 && m_nNextSelected <= nItem) {
        if (OutOfTime(++steps))
            return false;
        const auto step = m_byName.find(m_list.GetItemText(m_nNextSelected, 0));
        // A name gone since the list was filled is left alone.
        if (step != m_byName.end() && !Step(step->second))
            return false;
        m_nNextSelected = m_list.GetNextItem(m_nNextSelected, LVNI_SELECTED);
    }
    return true;
}

bool CNewNamePreview::OutOfTime(size_t steps) {
    if (m_bPostponed)
        return true;
    // Without a window to come back to, the run is played to the end.
    if (!m_hNotify || steps % kStepsPerLook != 0)
        return false;
    const auto played = std::chrono::steady_clock::now() - m_burstStart;
    if (played < kPlayShare || (played < kIdleShare && HIWORD(::GetQueueStatus(QS_ALLINPUT)) == 0))
        return false;
    // Without the message nothing would come back for the rest: play on.
    if (!::PostMessageA(m_hNotify, m_nNotify, 0, 0))
        return false;
    m_bPostponed = true;
    m_bWaiting = true;
    return true;
}

std::string CNewNamePreview::TextFor(int nItem, const std::string& folder) {
    if (folder.empty())
        return std::string(); // Start asks for a folder first
    const auto asked = std::chrono::steady_clock::now();
    if (asked - m_lastAsked > kBurstGap)
        m_burstStart = asked;
    std::string text = Decide(nItem, folder);
    m_lastAsked = std::chrono::steady_clock::now();
    return text;
}

std::string CNewNamePreview::Decide(int nItem, const std::string& folder) {
    // The dates are read once the options want them, from the first file on.
    if (!m_bRead || folder != m_strFolder ||
        (!m_bPlayed && !m_facts.ReadsDates() && WantsPhotoDate(m_readOptions())))
        Read(folder);
    if (!Listed()) {
        m_bWaiting = true;
        return ReadingText();
    }
    if (!m_bPlayed)
        Play();
    const auto found = m_byName.find(m_list.GetItemText(nItem, 0));
    size_t steps = 0;
    // In date order every date is known first: the first file may be the last listed.
    const bool byDate = m_options.dateOrder && m_startRefusal == RenameVerdict::Rename;
    if (byDate && !Ordered())
        return ReadingText();
    if (!m_bSelection) {
        if (found == m_byName.end())
            return std::string();
        const size_t last = byDate ? m_position[found->second] : found->second;
        while (m_nNextEntry <= last && !OutOfTime(++steps) &&
               Step(byDate ? m_sequence[m_nNextEntry] : m_nNextEntry))
            ++m_nNextEntry;
        return m_nNextEntry > last ? m_text[found->second] : ReadingText();
    }
    if (byDate) {
        if (!m_bSelectionOrdered)
            OrderSelection();
        if (found == m_byName.end())
            return m_list.SendMessage(LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED
                       ? m_reasons.leftAlone[LeftAloneReason::Gone]
                       : std::string();
        if (m_selPlaced[found->second] != m_nPlay)
            return std::string(); // a file the run leaves out
        return PlaySequenceTo(found->second, steps) ? m_text[found->second] : ReadingText();
    }
    if (!(m_list.SendMessage(LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED)) {
        // A file the run leaves out, unless a selected file brings in its group.
        if (found == m_byName.end() || !m_options.keepRelatedTogether ||
            m_groupOf[found->second] == kNoGroup ||
            m_groupPulledInPlay[m_groupOf[found->second]] != m_nPlay)
            return std::string();
        return PlaySelectionTo(m_groupFirstSelected[m_groupOf[found->second]], steps)
                   ? m_text[found->second]
                   : ReadingText();
    }
    if (found == m_byName.end())
        return m_reasons.leftAlone[LeftAloneReason::Gone]; // gone since the list was filled
    return PlaySelectionTo(nItem, steps) ? m_text[found->second] : ReadingText();
}
