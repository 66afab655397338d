// What the "New name" column needs to know from the disk, read by a worker
// thread so that the window never waits on a disk: first the folder as the
// run lists it, then of each listed file, in the run's order, whether it is a
// plain file of exactly its name and the date its camera recorded. A folder of
// 100,000 photos takes a second to list and minutes to read. The worker tells
// the window when more is known, at most every 50 ms.
#pragma once

#include "FileGroups.h"
#include "NameKeyTable.h"
#include "RenamePlan.h"

#include "platform/Time.h"

#include <windows.h>

#include <atomic>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class CFileFactsReader {
public:
    // A file of the folder, as the run lists it.
    struct ListedFile {
        std::string name;
        std::optional<std::tm> createdLocal; // its creation time, in local time
        GroupMember single;                  // the file as a group of its own
        bool intact = true;                  // the code page holds its name exactly
        LeftAloneReason leftAlone = LeftAloneReason::None;
    };
    // Every entry but the dots, hidden files too, in the file system's order;
    // folders only stand in the way of names.
    struct Listing {
        std::vector<ListedFile> files;
        std::unordered_map<std::string, size_t> byName; // file of a listed name
        CNameKeyTable keys;               // every name: its file, or kFolder | its folder
        std::vector<std::string> folders; // the folders' names
    };
    // Marks a folder's value in keys; a listing never holds 2^31 names (their
    // entries alone would take hundreds of gigabytes).
    static constexpr uint32_t kFolder = 0x80000000;

    struct Facts {
        bool plain = false;           // a plain file of exactly its name
        std::optional<std::tm> taken; // read only when dates were asked for
        unsigned long takenError = 0; // the system's error where it could not be read
        std::string subSecond;        // with taken: its fraction of a second
        std::string camera;           // with taken: the camera's model
    };

    CFileFactsReader() = default;
    ~CFileFactsReader() { Stop(); }
    CFileFactsReader(const CFileFactsReader&) = delete;
    CFileFactsReader& operator=(const CFileFactsReader&) = delete;

    // Where the worker posts message whenever it has read more.
    void NotifyWhenRead(HWND hWnd, UINT message) {
        m_hNotify = hWnd;
        m_nMessage = message;
    }
    // Lists folder (with its separator, as the run joins names to it), then
    // reads its files in their order, their camera dates too where bDates.
    // What was read before is dropped.
    void Start(const std::string& folder, bool bDates);
    // Drops what is being read, at once: a worker in the middle of a slow
    // read (a share, a file a cloud fetches) ends on its own after it.
    void Stop();
    // Whether the facts being read include the camera dates.
    bool ReadsDates() const { return m_pJob && m_pJob->bDates; }

    // Whether the folder is listed; then TakeListing() gives it, once.
    bool Listed() const { return m_pJob && m_pJob->bListed.load(std::memory_order_acquire); }
    Listing TakeListing() { return std::move(m_pJob->listing); }
    // How many of the listed files, from the first on, have been read; Get(i)
    // is final for every i below it.
    size_t Ready() const { return m_pJob ? m_pJob->nReady.load(std::memory_order_acquire) : 0; }
    const Facts& Get(size_t i) const { return m_pJob->facts[i]; }
    // The window has taken the last message: the next one may be posted.
    void Acknowledge() {
        if (m_pJob)
            m_pJob->bPosted.store(false);
    }

private:
    // One folder's reading, shared by the window and its worker, so that the
    // window can drop it without waiting for the worker to end.
    struct Job {
        HWND hNotify = nullptr;
        UINT nMessage = 0;
        std::string folder;
        bool bDates = false;
        Listing listing;
        std::vector<std::string> paths; // by file; empty for a file never to be opened
        std::vector<Facts> facts;
        std::atomic<bool> bListed{false};
        std::atomic<size_t> nReady{0};
        std::atomic<bool> bStop{false};
        std::atomic<bool> bPosted{false};
    };

    HWND m_hNotify = nullptr;
    UINT m_nMessage = 0;
    std::shared_ptr<Job> m_pJob;

    static void Work(Job& job);
    static void List(Job& job);
    static void Tell(Job& job);
};
