// What a run needs beside the window: letting messages through between files,
// the files it meets, the refusal that stops a run before a file, and the
// failure that stops it within a group of related files.
#pragma once

#include "FileIdentity.h"
#include "PhotoDateFile.h"
#include "RenamePlan.h"

#include "platform/Exceptions.h"
#include "platform/Time.h"

#include <string>

// Dispatches the messages waiting for this thread; false when one of them asked
// the application to quit (the request is posted again for the main loop).
bool PumpMessages();

// One file a run meets, in the run's order, as the run found it before its
// first rename: the run renames what it listed, and nothing it made.
struct RunFile {
    std::string folder; // with its separator
    std::string name;
    CTime created;
    FileIdentity identity;
    LeftAloneReason leftAlone = LeftAloneReason::None;
    CFileDatesOnce dates;
    std::string plannedPath;                       // what the plan gives it; empty for none
    size_t journalEntry = static_cast<size_t>(-1); // its entry in the journal file
};

// A file the run will not rename, and why; the run stops before it.
class CRenameRefused : public CException {
public:
    explicit CRenameRefused(std::string strMessage) : m_strMessage(std::move(strMessage)) {}
    std::string GetErrorMessage() const override { return m_strMessage; }

private:
    std::string m_strMessage;
};

// A group of related files the run stopped in after it had renamed some of them.
class CGroupPartlyRenamed : public CException {
public:
    explicit CGroupPartlyRenamed(std::string strMessage) : m_strMessage(std::move(strMessage)) {}
    std::string GetErrorMessage() const override { return m_strMessage; }

private:
    std::string m_strMessage;
};
