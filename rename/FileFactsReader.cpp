#include "FileFactsReader.h"

#include "PhotoDateFile.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/FileFind.h"

#include <chrono>
#include <thread>

void CFileFactsReader::Start(const std::string& folder, bool bDates) {
    Stop();
    auto job = std::make_shared<Job>();
    job->hNotify = m_hNotify;
    job->nMessage = m_nMessage;
    job->folder = folder;
    job->bDates = bDates;
    m_pJob = job;
    // The worker keeps the job alive for as long as it needs it.
    std::thread([job] { Work(*job); }).detach();
}

void CFileFactsReader::Stop() {
    if (m_pJob)
        m_pJob->bStop.store(true);
    m_pJob.reset();
}

void CFileFactsReader::List(Job& job) {
    CFileFind finder;
    BOOL more = finder.FindFile(job.folder + "*.*");
    Listing& listing = job.listing;
    std::vector<ListedFile>& files = listing.files;
    while (more && !job.bStop.load()) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        const std::string name = finder.GetFileName();
        const bool isFolder = finder.IsDirectory() != FALSE;
        if (finder.IsNameIntact()) {
            const size_t value = isFolder ? listing.folders.size() : files.size();
            listing.keys.Add(NameKeyHash(name),
                             static_cast<uint32_t>(value) | (isFolder ? kFolder : 0));
            if (isFolder)
                listing.folders.push_back(name);
        }
        if (isFolder)
            continue;
        ListedFile file;
        file.name = name;
        // Converted here, once: the column decides every file at every keystroke.
        std::tm local = {};
        if (finder.GetCreationTime().GetLocalTm(local))
            file.createdLocal = local;
        file.intact = finder.IsNameIntact() != FALSE;
        file.leftAlone =
            file.intact ? NameLeftAlone(name, &IsAnsiLeadByte) : LeftAloneReason::NameNotExact;
        file.single = SingleFile(files.size(), name)[0];
        if (file.intact)
            listing.byName.emplace(name, files.size());
        files.push_back(std::move(file));
    }
    // The run's own rule: two names that differ only in letter case are both left alone.
    for (size_t i = 0; i < files.size(); ++i) {
        ListedFile& file = files[i];
        if (file.leftAlone != LeftAloneReason::None)
            continue;
        const bool twin = listing.keys.Find(NameKeyHash(file.name), [&](uint32_t value) {
            if (value & kFolder)
                return SameNameKey(file.name, listing.folders[value & ~kFolder]);
            return value != i && SameNameKey(file.name, files[value].name);
        });
        if (twin)
            file.leftAlone = LeftAloneReason::CaseTwin;
    }
    // A file left alone for its name is never opened: its name may address another.
    job.paths.reserve(files.size());
    for (const ListedFile& file : files)
        job.paths.push_back(file.leftAlone == LeftAloneReason::None ? job.folder + file.name
                                                                    : std::string());
    job.facts.assign(files.size(), Facts());
}

void CFileFactsReader::Work(Job& job) {
    List(job);
    job.bListed.store(true, std::memory_order_release);
    Tell(job);
    using Clock = std::chrono::steady_clock;
    Clock::time_point told = Clock::now();
    for (size_t i = 0; i < job.paths.size() && !job.bStop.load(); ++i) {
        Facts& facts = job.facts[i];
        const std::string& path = job.paths[i];
        if (!path.empty()) {
            FileIdentity identity;
            facts.plain = ReadPlainFile(path, identity);
            // Only a plain file is opened for its content: a pipe would never answer.
            if (facts.plain && job.bDates)
                facts.taken = ReadPhotoDateFile(path, facts.takenError, nullptr, &facts.subSecond,
                                                &facts.camera);
        }
        job.nReady.store(i + 1, std::memory_order_release);
        if (Clock::now() - told >= std::chrono::milliseconds(50)) {
            Tell(job);
            told = Clock::now();
        }
    }
    Tell(job);
}

void CFileFactsReader::Tell(Job& job) {
    // One message waits in the queue at a time; the window reads all that is
    // ready. A dropped job tells nobody.
    if (job.hNotify && !job.bStop.load() && !job.bPosted.exchange(true))
        if (!::PostMessageW(job.hNotify, job.nMessage, 0, 0))
            job.bPosted.store(false);
}
