#include "NewNamePreview.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"

namespace {
// PathUnits without making the wide path: the run's rule, at every keystroke.
size_t CountPathUnits(const std::string& path) {
    return static_cast<size_t>(
        ::MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0));
}

// A repaint's share of time for playing the run, and the pause after which the
// next question starts another repaint's share.
constexpr std::chrono::milliseconds kPlayShare(30);
constexpr std::chrono::milliseconds kBurstGap(20);
// Steps between looks at the clock: a step costs about a microsecond.
constexpr size_t kStepsPerLook = 256;
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
    m_goneInPlay.clear();
    m_byName.clear();
    m_keys.clear();
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
    m_goneInPlay.assign(m_entries.size(), 0);
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
           (found->second == CFileFactsReader::kFolder || m_goneInPlay[found->second] != m_nPlay);
}

const std::string& CNewNamePreview::ReadingText() const {
    return m_facts.ReadsDates() ? m_reasons.readingDates : m_reasons.reading;
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
        m_goneInPlay[index] = m_nPlay;
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

bool CNewNamePreview::OutOfTime(size_t steps) {
    if (m_bPostponed)
        return true;
    // Without a window to come back to, the run is played to the end.
    if (!m_hNotify || steps % kStepsPerLook != 0 ||
        std::chrono::steady_clock::now() - m_burstStart < kPlayShare)
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
    if (!m_bSelection) {
        if (found == m_byName.end())
            return std::string();
        while (m_nNextEntry <= found->second && !OutOfTime(++steps) && Step(m_nNextEntry))
            ++m_nNextEntry;
        return m_nNextEntry > found->second ? m_text[found->second] : ReadingText();
    }
    if (!(m_list.SendMessage(LVM_GETITEMSTATE, nItem, LVIS_SELECTED) & LVIS_SELECTED))
        return std::string();
    if (found == m_byName.end())
        return m_reasons.leftAlone[LeftAloneReason::Gone]; // gone since the list was filled
    // The run takes the selected items in the list's order.
    while (m_nNextSelected != -1 && m_nNextSelected <= nItem) {
        if (OutOfTime(++steps))
            return ReadingText();
        const auto step = m_byName.find(m_list.GetItemText(m_nNextSelected, 0));
        // A name gone since the list was filled is left alone.
        if (step != m_byName.end() && !Step(step->second))
            return ReadingText();
        m_nNextSelected = m_list.GetNextItem(m_nNextSelected, LVNI_SELECTED);
    }
    return m_text[found->second];
}
