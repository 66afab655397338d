#include "Exceptions.h"

#include "MessageBox.h"

int CException::ReportError(UINT nType) const {
    return AfxMessageBox(GetErrorMessage(), nType);
}

std::string SystemErrorText(DWORD dwError) {
    char* text = nullptr;
    DWORD len = ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                     FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, dwError, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string s;
    if (len && text) {
        s.assign(text, len);
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' '))
            s.pop_back();
    } else {
        s = "Error " + std::to_string(dwError) + ".";
    }
    if (text)
        ::LocalFree(text);
    return s;
}

std::string CFileException::GetErrorMessage() const {
    std::string text = SystemErrorText(m_lOsError);
    if (m_strFileName.empty())
        return text;
    return m_strFileName + "\n\n" + text;
}
