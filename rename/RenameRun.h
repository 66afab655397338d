// What a run needs beside the window: letting messages through between files,
// what became of one file, and the refusal that stops a run before a file.
#pragma once

#include "platform/Exceptions.h"

#include <string>

// Dispatches the messages waiting for this thread; false when one of them asked
// the application to quit (the request is posted again for the main loop).
bool PumpMessages();

enum class RenameOutcome {
    Renamed,
    AlreadyRenamed, // met again by the walk under its new name: not a file of its own
    LeftAlone,      // gone, or not reachable by its name: nothing was done to it
};

// A file the run will not rename, and why; the run stops before it.
class CRenameRefused : public CException {
public:
    explicit CRenameRefused(std::string strMessage) : m_strMessage(std::move(strMessage)) {}
    std::string GetErrorMessage() const override { return m_strMessage; }

private:
    std::string m_strMessage;
};
