// What the "New name" column needs to know of each listed file from the disk
// (whether it is a plain file of exactly its name, and the date its camera
// recorded), read by a worker thread in the run's order, so that the window
// never waits on a disk: a folder of 100,000 photos takes minutes to read.
// The worker tells the window when more is known, at most every 50 ms.
#pragma once

#include <windows.h>

#include <atomic>
#include <ctime>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class CFileFactsReader {
public:
    struct Facts {
        bool plain = false;           // a plain file of exactly its name
        std::optional<std::tm> taken; // read only when dates were asked for
        unsigned long takenError = 0; // the system's error where it could not be read
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
    // Reads the files at paths in their order, their camera dates too where
    // bDates; an empty path is passed over. What was read before is dropped.
    void Start(std::vector<std::string> paths, bool bDates);
    void Stop();
    // Whether the facts being read include the camera dates.
    bool ReadsDates() const { return m_bDates; }

    // How many of the files, from the first on, have been read; Get(i) is
    // final for every i below it.
    size_t Ready() const { return m_nReady.load(std::memory_order_acquire); }
    const Facts& Get(size_t i) const { return m_facts[i]; }
    // The window has taken the last message: the next one may be posted.
    void Acknowledge() { m_bPosted.store(false); }

private:
    HWND m_hNotify = nullptr;
    UINT m_nMessage = 0;
    std::vector<std::string> m_paths;
    std::vector<Facts> m_facts;
    bool m_bDates = false;
    std::atomic<size_t> m_nReady{0};
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bPosted{false};
    std::thread m_worker;

    void Work();
    void Tell();
};
