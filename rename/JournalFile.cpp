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

namespace {
// Another program (a virus scanner, a backup) may hold the journal open for a moment.
bool MoveRetrying(const std::string& from, const std::string& to, DWORD flags) {
    for (int attempt = 0;; ++attempt) {
        if (::MoveFileExW(WidenName(from).c_str(), WidenName(to).c_str(), flags))
            return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) || attempt == 10)
            return false;
        ::Sleep(50);
    }
}

std::string PreviousPath(const std::string& path) {
    return path + ".prev";
}
} // namespace

CJournalFile::~CJournalFile() {
    if (m_bOwner)
        ::ReleaseMutex(m_hOwner.Get());
}

bool CJournalFile::Own(const std::string& path) {
    if (m_bOwner)
        return true;
    if (!m_hOwner.Get()) {
        // Named after the path as the system compares paths; a name holds no backslash.
        std::wstring key = WidenName(path);
        ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
        unsigned long long hash = 14695981039346656037ULL;
        for (wchar_t c : key)
            hash = (hash ^ static_cast<unsigned long long>(c)) * 1099511628211ULL;
        wchar_t name[64];
        ::wsprintfW(name, L"Global\\Tessivox.Journal.%08lX%08lX",
                    static_cast<unsigned long>(hash >> 32), static_cast<unsigned long>(hash));
        m_hOwner.Reset(::CreateMutexW(nullptr, FALSE, name));
    }
    if (!m_hOwner.Get())
        return true; // no mutex to be had: one program, as before there were two
    // A program that ended without letting go leaves the mutex abandoned: it is this one's now.
    const DWORD wait = ::WaitForSingleObject(m_hOwner.Get(), 0);
    m_bOwner = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
    return m_bOwner;
}

bool CJournalFile::Begin(const std::string& path, const std::vector<JournalEntry>& plan,
                         DWORD& error) {
    if (!Own(path)) {
        error = ERROR_SHARING_VIOLATION;
        return false;
    }
    const std::string pending = path + ".new";
    const std::string previous = PreviousPath(path);
    m_bInRun = true;
    m_bRenamed = false;
    m_bWithout = false;
    HANDLE h = OpenJournal(pending, CREATE_ALWAYS);
    if (!h) {
        error = ::GetLastError();
        m_bInRun = false;
        return false;
    }
    CKernelHandle planned(h);
    std::string text = std::string(kJournalHeader) + "\n";
    for (const JournalEntry& e : plan)
        text += PlanRecord(e);
    DWORD written = 0;
    bool placed = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                  written == text.size() && ::FlushFileBuffers(h);
    // The plan takes the journal's place, which waits aside; an open handle
    // of this program's own on it would stand in the way.
    if (placed) {
        Close();
        ::DeleteFileW(WidenName(previous).c_str());
        const bool hadLast = MoveRetrying(path, previous, 0);
        placed = (hadLast || ::GetLastError() == ERROR_FILE_NOT_FOUND) &&
                 MoveRetrying(pending, path, MOVEFILE_WRITE_THROUGH);
        if (!placed) {
            error = ::GetLastError();
            if (hadLast)
                ::MoveFileExW(WidenName(previous).c_str(), WidenName(path).c_str(), 0);
        }
    } else {
        error = ::GetLastError();
    }
    if (!placed) {
        m_bInRun = false;
        planned.Reset();
        ::DeleteFileW(WidenName(pending).c_str());
        Reopen(path); // the last run's journal stays Back's
        return false;
    }
    m_hFile = std::move(planned);
    m_strPath = path;
    m_nEntries = plan.size();
    m_dwLastFlush = ::GetTickCount();
    return true;
}

void CJournalFile::GoWithout() {
    Close();
    m_bInRun = true;
    m_bRenamed = false;
    m_bWithout = true;
}

bool CJournalFile::Plan(const JournalEntry& entry, size_t& number) {
    number = m_nEntries;
    if (!Write(PlanRecord(entry), true))
        return false;
    ++m_nEntries;
    return true;
}

bool CJournalFile::Moved(size_t entry, const std::string& newPath) {
    return Write(MovedRecord(entry, newPath), true);
}

bool CJournalFile::Done(size_t entry) {
    m_bRenamed = true;
    return Write(DoneRecord(entry), false);
}

void CJournalFile::End(const std::string& how) {
    if (!m_bInRun)
        return;
    m_bInRun = false;
    if (m_bWithout) {
        m_bWithout = false;
        if (!m_bRenamed)
            Reopen(m_strPath); // the last run's journal never left its place
        return;
    }
    if (!m_bRenamed) {
        Close();
        PutBackLast(m_strPath);
        Reopen(m_strPath);
        return;
    }
    Write(EndRecord(how), true);
    ::DeleteFileW(WidenName(PreviousPath(m_strPath)).c_str());
}

void CJournalFile::PutBackLast(const std::string& path) {
    if (!::MoveFileExW(WidenName(PreviousPath(path)).c_str(), WidenName(path).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) &&
        ::GetLastError() == ERROR_FILE_NOT_FOUND)
        ::DeleteFileW(WidenName(path).c_str()); // there was none: no run to undo
}

void CJournalFile::Flush() {
    if (IsOpen())
        ::FlushFileBuffers(m_hFile.Get());
    m_dwLastFlush = ::GetTickCount();
}

bool CJournalFile::Reopen(const std::string& path) {
    m_strPath = path;
    m_hFile.Reset(OpenJournal(path, OPEN_EXISTING));
    if (!IsOpen())
        return false;
    // Records go at the end, after a line end: a killed program may have torn the last line.
    LARGE_INTEGER back = {};
    back.QuadPart = -1;
    char last = '\n';
    DWORD read = 0;
    if (::SetFilePointerEx(m_hFile.Get(), back, nullptr, FILE_END))
        ::ReadFile(m_hFile.Get(), &last, 1, &read, nullptr);
    LARGE_INTEGER none = {};
    ::SetFilePointerEx(m_hFile.Get(), none, nullptr, FILE_END);
    if (last != '\n')
        Write("\n", false);
    return true;
}

void CJournalFile::Restored(size_t entry) {
    Write(RestoredRecord(entry), false);
}

void CJournalFile::EndInterrupted() {
    Write(EndRecord("interrupted"), true);
    ::DeleteFileW(WidenName(PreviousPath(m_strPath)).c_str());
}

void CJournalFile::Close() {
    m_hFile.Reset();
}

bool CJournalFile::Write(const std::string& record, bool bFlush) {
    if (m_bWithout || !IsOpen())
        return true;
    DWORD written = 0;
    if (!::WriteFile(m_hFile.Get(), record.data(), static_cast<DWORD>(record.size()), &written,
                     nullptr) ||
        written != record.size())
        return false;
    if (bFlush || ::GetTickCount() - m_dwLastFlush >= kFlushEveryMs) {
        m_dwLastFlush = ::GetTickCount();
        if (!::FlushFileBuffers(m_hFile.Get()))
            return false;
    }
    return true;
}
