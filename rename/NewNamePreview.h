// The names a Start would give the listed files now, for the list's "New name"
// column. The folder is listed once per filling of the list, and what the run
// asks of each file on the disk is read, by a worker (CFileFactsReader). The
// run is then played in memory, in its own order, with the run's own decision
// for each file (DecideRename), up to the file asked for or the first file not
// yet read, a repaint's share of time at most: what is on screen costs only the
// files before it, and neither a keystroke nor a scroll waits on the disk.
#pragma once

#include "FileFactsReader.h"
#include "NameKeyTable.h"
#include "RenamePlan.h"

#include "platform/CommonControls.h"
#include "platform/Time.h"

#include <chrono>
#include <functional>
#include <map>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CNewNamePreview {
public:
    // What a file the run would not rename shows instead of a name.
    struct Reasons {
        std::map<RenameVerdict, std::string> file;        // the run's verdict on the file
        std::map<RenameVerdict, std::string> start;       // Start refuses the options: every file
        std::map<LeftAloneReason, std::string> leftAlone; // the run goes past the file
        std::string takenTwice;   // the numbered name exists too: the rename fails
        std::string notReached;   // after a file that stops the run
        std::string reading;      // not yet read from the disk
        std::string readingDates; // the same, where the options want camera dates
    };

    // list: the file list, whose selection chooses the run (not owned);
    // options: the options as the controls show them now.
    CNewNamePreview(const CListCtrl& list, std::function<RenameOptions()> options);
    CNewNamePreview(const CNewNamePreview&) = delete; // its rules point back at it
    CNewNamePreview& operator=(const CNewNamePreview&) = delete;

    void SetReasons(Reasons reasons) { m_reasons = std::move(reasons); }
    // Where the worker tells that more is known, for the window to repaint the
    // column; the column posts the same message to itself when a repaint has
    // used its share of time and rows on show are still undecided.
    void NotifyWhenRead(HWND hWnd, UINT message) {
        m_hNotify = hWnd;
        m_nNotify = message;
        m_facts.NotifyWhenRead(hWnd, message);
    }
    // The message arrived: whether a row on show waits for what it brings.
    bool FactsArrived();
    // The list was filled anew: the folder is read again when next asked.
    void FolderRefilled() { m_bRead = false; }
    // The column went: nothing more is read for it until it is asked again.
    void StopReading() {
        m_facts.Stop();
        m_bRead = false;
    }
    // The options or the selection changed: the run is played again when next asked.
    void Restart() {
        m_bPlayed = false;
        m_bPostponed = false;
    }

    // The text of the column for list item nItem of the folder's list: the
    // new name, why there is none, or empty for a file a Start leaves out.
    std::string TextFor(int nItem, const std::string& folder);

private:
    using Entry = CFileFactsReader::ListedFile;

    const CListCtrl& m_list;
    std::function<RenameOptions()> m_readOptions;
    Reasons m_reasons;

    // The folder as last read: asked of the worker, then taken from it once listed.
    bool m_bRead = false;
    bool m_bListed = false;
    std::string m_strFolder;               // as the window holds it
    std::string m_strFolderDir;            // with its separator, as the run joins names to it
    std::vector<Entry> m_entries;          // files, in the run's order
    std::vector<unsigned> m_goneInPlay;    // by entry: the play that renamed it
    std::vector<unsigned> m_decidedInPlay; // by entry: the play that decided it, with its group
    std::unordered_map<std::string, size_t> m_byName; // entry of a listed name
    CNameKeyTable m_keys;                  // every name: its entry, or kFolder | its folder
    std::vector<std::string> m_folders;    // the folders' names, which stand in the way

    // The run as played so far.
    bool m_bPlayed = false;
    unsigned m_nPlay = 0; // so that a new play starts without touching every file
    RenameOptions m_options;
    CNaming m_naming;
    RenameVerdict m_startRefusal = RenameVerdict::Rename;
    std::string m_strStartRefusal; // what every file says then
    int m_nNamed = 0;              // groups given names so far: the running number
    bool m_bSelection = false;
    int m_nNextSelected = -1;
    size_t m_nNextEntry = 0;
    int m_nClashCount = 0;
    bool m_bStopped = false;
    // The names the run has given, each with the entry given it, whose text
    // confirms a hash that matches; a new play empties it without freeing anything.
    CNameKeyTable m_given;
    // What a step decides with, kept from step to step for its room.
    std::vector<GroupFile> m_stepFiles;
    std::vector<size_t> m_stepEntries;
    GroupDecision m_stepDecision;
    std::vector<std::string> m_text; // by entry, valid for the files played
    NameRules m_rules;
    // Related files, where the options keep them together: grouped once a reading of the folder.
    bool m_bGrouped = false;
    std::vector<FileGroup> m_groups;           // each member's file is its entry
    std::vector<size_t> m_groupOf;             // by entry; none for a file left alone
    std::vector<unsigned> m_groupPulledInPlay; // by group: a selected file brings it in that time
    std::vector<int> m_groupFirstSelected;     // by group: the item that brings it in
    CFileFactsReader m_facts;                  // by entry
    // In date order: the files in the order the run takes them, whole groups
    // together, and where each stands; kept while the dates stay the same.
    bool m_bOrdered = false;
    std::string m_strOrderedFor; // the options the order was made for
    std::vector<size_t> m_sequence;
    std::vector<size_t> m_position;    // by entry
    std::vector<long long> m_orderKey; // by entry: its group's date, as ordered
    // A selection in date order: the selected files' groups by their dates.
    std::vector<size_t> m_selSequence;
    std::vector<size_t> m_selPosition; // by entry, where m_selPlaced says so
    std::vector<unsigned> m_selPlaced; // by entry: the play it was placed in
    bool m_bSelectionOrdered = false;
    size_t m_nNextSelection = 0;
    bool m_bWaiting = false; // a row was shown as not yet read

    // One repaint asks for many rows in a row: together they get one share of
    // time to play the run, so that the window answers while a large folder is
    // played; the rest is played at the next repaint.
    HWND m_hNotify = nullptr;
    UINT m_nNotify = 0;
    std::chrono::steady_clock::time_point m_burstStart;
    std::chrono::steady_clock::time_point m_lastAsked;
    bool m_bPostponed = false; // out of time until the message comes

    std::string Decide(int nItem, const std::string& folder);
    void Read(const std::string& folder);
    // Whether the folder's listing is here, taking it from the worker when it is ready.
    bool Listed();
    void Play();
    void Group();
    // Decides the file of the entry with its group, or gives false while the
    // worker has not read them all.
    bool Step(size_t entry);
    // A file of a group with what the decision needs of it, into file, whose
    // strings keep their room.
    void FactsOf(const GroupMember& member, GroupFile& file) const;
    // The files of an entry's group, or the entry on its own where none.
    struct Members {
        const GroupMember* first;
        size_t count;
        const GroupMember* begin() const { return first; }
        const GroupMember* end() const { return first + count; }
    };
    Members GroupOf(size_t entry) const;
    // In date order, whether the order is known (every date read), making it when needed.
    bool Ordered();
    void OrderSelection();
    bool PlaySequenceTo(size_t entry, size_t& steps);
    // Plays a selection run up to list item nItem; false while the worker has
    // not read that far or this burst of questions is out of time.
    bool PlaySelectionTo(int nItem, size_t& steps);
    // Whether this burst of questions has used its time; if so, the rest waits.
    bool OutOfTime(size_t steps);
    const std::string& ReadingText() const;
    bool Exists(std::string_view name) const;
};
