// CJournalFile: the journal of a run on disk, in the program folder beside
// settings.ini, so that Back can undo the last run after the program has
// ended in any way: closed, killed, crashed, or with the session.
//
// A run writes its plan first, beside the journal of the run before, flushes
// it and puts it in that journal's place, which waits aside as journal.prev
// until the run renames its first file: a run that renames nothing leaves the
// last run undoable. Every rename is then written as it happens (a killed
// program loses nothing of it, since the system keeps what was written) and
// flushed with the next record a second or more after the last flush, so that
// a power cut loses about the last second; a name the run gives other than
// planned is flushed before the rename.
#pragma once

#include "JournalRecord.h"

#include "platform/ScopedHandles.h"

#include <windows.h>

#include <string>
#include <vector>

class CJournalFile {
public:
    CJournalFile() = default;
    ~CJournalFile();
    CJournalFile(const CJournalFile&) = delete;
    CJournalFile& operator=(const CJournalFile&) = delete;

    // The journal in a program folder.
    static std::string PathIn(const std::string& programDir);
    // What the journal at path holds; nothing when there is none.
    static JournalContent Load(const std::string& path);

    // Whether this program is the one that keeps the journal at path: of two
    // started from the same folder, the first; the other neither offers nor
    // writes a journal (Begin fails with ERROR_SHARING_VIOLATION) until the
    // first has ended.
    bool Own(const std::string& path);

    // A new run's plan, written and flushed beside the journal at path, then
    // put in its place; the last run's journal is kept aside until the run
    // has renamed a file. False, with the system's error, when it cannot be
    // written: the last journal then stays as it was.
    bool Begin(const std::string& path, const std::vector<JournalEntry>& plan, DWORD& error);
    // The run goes on without a journal on disk, as the user chose: nothing
    // it does is written, and the last run's journal is no longer Back's.
    void GoWithout();
    // Each is on disk before the rename it announces, or says it cannot be
    // (false, the system's error from GetLastError()): the run stops there.
    // One more planned file, with its entry number.
    bool Plan(const JournalEntry& entry, size_t& number);
    // The run gives entry another name than planned.
    bool Moved(size_t entry, const std::string& newPath);
    bool Done(size_t entry);
    // The run is over. One that renamed nothing gives the last run's journal its place back.
    void End(const std::string& how);
    // The session is ending: what was written is made to last, now.
    void Flush();

    // For Back on the journal at path, also one of a run before this start.
    bool Reopen(const std::string& path);
    void Restored(size_t entry);
    // The run of the reopened journal was interrupted, and has now been asked about.
    void EndInterrupted();
    // A journal that renamed nothing, left by a run that was killed before
    // its first rename: the journal before it takes its place again.
    static void PutBackLast(const std::string& path);
    bool IsOpen() const { return m_hFile.Get() != nullptr; }
    const std::string& Path() const { return m_strPath; }

private:
    bool Write(const std::string& record, bool bFlush);
    void Close();

    CKernelHandle m_hOwner; // a mutex named after the journal's path
    bool m_bOwner = false;
    CKernelHandle m_hFile;   // the journal Back writes to, or the run's
    std::string m_strPath;   // the journal
    size_t m_nEntries = 0;   // planned in the run
    bool m_bRenamed = false; // the run has renamed a file
    bool m_bInRun = false;   // between Begin and End
    bool m_bWithout = false; // the run goes without a journal
    DWORD m_dwLastFlush = 0;
};
