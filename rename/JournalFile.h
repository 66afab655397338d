// CJournalFile: the journal of a run on disk, in the program folder beside
// settings.ini, so that Back can undo the last run after the program has
// ended in any way: closed, killed, crashed, or with the session.
//
// A run writes its plan first, beside the journal of the run before, and
// flushes it; just before its first rename the new journal takes the old
// one's place. Every rename is then written as it happens (a killed program
// loses nothing of it, since the system keeps what was written) and flushed
// at least once a second, so that a power cut loses at most the last second;
// a name the run gives other than planned is flushed before the rename.
#pragma once

#include "JournalRecord.h"

#include "platform/ScopedHandles.h"

#include <windows.h>

#include <string>
#include <vector>

class CJournalFile {
public:
    // The journal in a program folder.
    static std::string PathIn(const std::string& programDir);
    // What the journal at path holds; nothing when there is none.
    static JournalContent Load(const std::string& path);

    // A new run's plan, written and flushed beside the journal at path. False,
    // with the system's error, when it cannot be written.
    bool Begin(const std::string& path, const std::vector<JournalEntry>& plan, DWORD& error);
    // One more planned file, flushed; its entry number.
    size_t Plan(const JournalEntry& entry);
    // Just before the run's first rename: the plan becomes the journal.
    void Commit();
    bool IsCommitted() const { return m_bCommitted; }
    void Done(size_t entry);
    // The run gives entry another name than planned: on disk before the rename.
    void Moved(size_t entry, const std::string& newPath);
    // The run is over; a run that renamed nothing leaves the last journal as it was.
    void End(const std::string& how);
    // The session is ending: what was written is made to last, now.
    void Flush();

    // For Back on the journal at path, also one of a run before this start.
    bool Reopen(const std::string& path);
    void Restored(size_t entry);
    bool IsOpen() const { return m_hFile.Get() != nullptr; }

private:
    void Write(const std::string& record, bool bFlush);

    CKernelHandle m_hFile;
    std::string m_strPath;    // the journal
    std::string m_strPending; // the plan until it takes the journal's place
    size_t m_nEntries = 0;
    bool m_bCommitted = false;
    DWORD m_dwLastFlush = 0;
};
