#include "JournalFile.h"

#include "platform/CodePage.h"
#include "platform/FileFind.h"

namespace {
constexpr DWORD kFlushEveryMs = 1000;

HANDLE OpenJournal(const std::string& path, DWORD disposition) {
    HANDLE h = ::CreateFileW(WidenName(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? nullptr : h;
}
} // namespace

std::string CJournalFile::PathIn(const std::string& programDir) {
    return JoinPath(programDir, "journal.txt");
}

JournalContent CJournalFile::Load(const std::string& path) {
    HANDLE h = ::CreateFileW(WidenName(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return JournalContent();
    const CKernelHandle file(h);
    LARGE_INTEGER size = {};
    // A journal holds a line or two per file: one of a gigabyte is no journal.
    if (!::GetFileSizeEx(h, &size) || size.QuadPart > (1LL << 30))
        return JournalContent();
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!text.empty() && !::ReadFile(h, &text[0], static_cast<DWORD>(text.size()), &read, nullptr))
        return JournalContent();
    text.resize(read);
    return ParseJournal(text);
}

bool CJournalFile::Begin(const std::string& path, const std::vector<JournalEntry>& plan,
                         DWORD& error) {
    m_hFile.Reset();
    m_strPath = path;
    m_strPending = path + ".new";
    m_bCommitted = false;
    m_nEntries = 0;
    HANDLE h = OpenJournal(m_strPending, CREATE_ALWAYS);
    if (!h) {
        error = ::GetLastError();
        return false;
    }
    m_hFile.Reset(h);
    std::string text = std::string(kJournalHeader) + "\n";
    for (const JournalEntry& e : plan)
        text += PlanRecord(e);
    m_nEntries = plan.size();
    DWORD written = 0;
    if (!::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size() || !::FlushFileBuffers(h)) {
        error = ::GetLastError();
        m_hFile.Reset();
        ::DeleteFileW(WidenName(m_strPending).c_str());
        return false;
    }
    m_dwLastFlush = ::GetTickCount();
    return true;
}

size_t CJournalFile::Plan(const JournalEntry& entry) {
    Write(PlanRecord(entry), true);
    return m_nEntries++;
}

void CJournalFile::Commit() {
    if (!IsOpen() || m_bCommitted)
        return;
    // The plan is open without denying deletion, so it can take the old
    // journal's place while it is written on.
    m_bCommitted = ::MoveFileExW(WidenName(m_strPending).c_str(), WidenName(m_strPath).c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    if (!m_bCommitted)
        m_hFile.Reset(); // no journal then, rather than one that says another run
}

void CJournalFile::Done(size_t entry) {
    Write(DoneRecord(entry), false);
}

void CJournalFile::Moved(size_t entry, const std::string& newPath) {
    Write(MovedRecord(entry, newPath), true);
}

void CJournalFile::End(const std::string& how) {
    if (!IsOpen())
        return;
    if (!m_bCommitted) {
        m_hFile.Reset();
        ::DeleteFileW(WidenName(m_strPending).c_str());
        return;
    }
    Write(EndRecord(how), true);
}

void CJournalFile::Flush() {
    if (IsOpen())
        ::FlushFileBuffers(m_hFile.Get());
    m_dwLastFlush = ::GetTickCount();
}

bool CJournalFile::Reopen(const std::string& path) {
    if (IsOpen() && m_bCommitted && path == m_strPath)
        return true;
    m_hFile.Reset(OpenJournal(path, OPEN_EXISTING));
    m_strPath = path;
    m_bCommitted = IsOpen();
    return IsOpen();
}

void CJournalFile::Restored(size_t entry) {
    Write(RestoredRecord(entry), false);
}

void CJournalFile::Write(const std::string& record, bool bFlush) {
    if (!IsOpen())
        return;
    LARGE_INTEGER end = {};
    ::SetFilePointerEx(m_hFile.Get(), end, nullptr, FILE_END);
    DWORD written = 0;
    ::WriteFile(m_hFile.Get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    if (bFlush || ::GetTickCount() - m_dwLastFlush >= kFlushEveryMs)
        Flush();
}
