// The exceptions the framework raises and its dispatch reports: a failed file
// operation carries the system's error code and the file it concerned.
#pragma once

#include <windows.h>

#include <string>

class CException {
public:
    virtual ~CException() = default;
    virtual std::string GetErrorMessage() const = 0;
    // Shows the error in a message box, as the dispatch does for a failed command.
    int ReportError(UINT nType = MB_OK | MB_ICONEXCLAMATION) const;
};

class CFileException : public CException {
public:
    CFileException(DWORD lOsError, std::string strFileName)
        : m_lOsError(lOsError), m_strFileName(std::move(strFileName)) {}

    DWORD m_lOsError;
    std::string m_strFileName;

    std::string GetErrorMessage() const override;
};

// The system's own text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD dwError);
