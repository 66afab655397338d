#include "FileFactsReader.h"

#include "PhotoDateFile.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"

#include <chrono>

void CFileFactsReader::Start(const std::string& folder, bool bDates) {
    Stop();
    m_strFolder = folder;
    m_listing = Listing();
    m_paths.clear();
    m_facts.clear();
    m_bDates = bDates;
    m_bListed.store(false);
    m_nReady.store(0);
    m_bStop.store(false);
    m_worker = std::thread([this] { Work(); });
}

void CFileFactsReader::Stop() {
    m_bStop.store(true);
    if (m_worker.joinable())
        m_worker.join();
}

void CFileFactsReader::List() {
    CFileFind finder;
    BOOL more = finder.FindFile(m_strFolder + "*.*");
    std::unordered_map<std::wstring, int> keyCount;
    std::vector<ListedFile>& files = m_listing.files;
    while (more && !m_bStop.load()) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        const std::string name = finder.GetFileName();
        const bool isFolder = finder.IsDirectory() != FALSE;
        if (finder.IsNameIntact()) {
            const std::wstring key = NameKey(name);
            m_listing.keys.emplace(key, isFolder ? kFolder : files.size());
            ++keyCount[key];
        }
        if (isFolder)
            continue;
        ListedFile file;
        file.name = name;
        file.created = finder.GetCreationTime();
        file.intact = finder.IsNameIntact() != FALSE;
        file.leftAlone =
            file.intact ? NameLeftAlone(name, &IsAnsiLeadByte) : LeftAloneReason::NameNotExact;
        if (file.intact)
            m_listing.byName.emplace(name, files.size());
        files.push_back(std::move(file));
    }
    // The run's own rule: two names that differ only in letter case are both left alone.
    for (ListedFile& file : files)
        if (file.leftAlone == LeftAloneReason::None && keyCount[NameKey(file.name)] > 1)
            file.leftAlone = LeftAloneReason::CaseTwin;
    // A file left alone for its name is never opened: its name may address another.
    m_paths.reserve(files.size());
    for (const ListedFile& file : files)
        m_paths.push_back(file.leftAlone == LeftAloneReason::None ? m_strFolder + file.name
                                                                  : std::string());
    m_facts.assign(files.size(), Facts());
}

void CFileFactsReader::Work() {
    List();
    m_bListed.store(true, std::memory_order_release);
    Tell();
    using Clock = std::chrono::steady_clock;
    Clock::time_point told = Clock::now();
    for (size_t i = 0; i < m_paths.size() && !m_bStop.load(); ++i) {
        Facts& facts = m_facts[i];
        if (!m_paths[i].empty()) {
            FileIdentity identity;
            facts.plain = ReadPlainFile(m_paths[i], identity);
            // Only a plain file is opened for its content: a pipe would never answer.
            if (facts.plain && m_bDates)
                facts.taken = ReadPhotoDateFile(m_paths[i], facts.takenError);
        }
        m_nReady.store(i + 1, std::memory_order_release);
        if (Clock::now() - told >= std::chrono::milliseconds(50)) {
            Tell();
            told = Clock::now();
        }
    }
    Tell();
}

void CFileFactsReader::Tell() {
    // One message waits in the queue at a time; the window reads all that is ready.
    if (m_hNotify && !m_bPosted.exchange(true))
        if (!::PostMessageW(m_hNotify, m_nMessage, 0, 0))
            m_bPosted.store(false);
}
