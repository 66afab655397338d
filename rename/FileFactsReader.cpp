#include "FileFactsReader.h"

#include "PhotoDateFile.h"

#include "platform/File.h"

#include <chrono>

void CFileFactsReader::Start(std::vector<std::string> paths, bool bDates) {
    Stop();
    m_paths = std::move(paths);
    m_facts.assign(m_paths.size(), Facts());
    m_bDates = bDates;
    m_nReady.store(0);
    m_bStop.store(false);
    m_worker = std::thread([this] { Work(); });
}

void CFileFactsReader::Stop() {
    m_bStop.store(true);
    if (m_worker.joinable())
        m_worker.join();
}

void CFileFactsReader::Work() {
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
