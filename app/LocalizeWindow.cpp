#include "LocalizeWindow.h"

#include "AppPaths.h"
#include "LangText.h"
#include "LanguageFile.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {
constexpr DWORD kValueBuffer = 1000;

std::string WindowText(HWND hWnd) {
    std::vector<char> buf(kValueBuffer, '\0');
    int n = ::GetWindowTextA(hWnd, buf.data(), static_cast<int>(kValueBuffer));
    return std::string(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
}

bool IsEditClass(HWND hWnd) {
    char cls[5] = {};
    ::GetClassNameA(hWnd, cls, sizeof(cls));
    return _stricmp(cls, "Edit") == 0;
}
} // namespace

void LocalizeWindow(HWND hWnd, int nDialogNumber) {
    const char* section = "String";
    const std::string& file = g_strLanguageFile;
    char key[64];

    std::snprintf(key, sizeof(key), "IDD%d_Title", nDialogNumber);
    std::string value = ReadIniString(file, section, key, "", kValueBuffer);
    if (!value.empty())
        ::SetWindowTextA(hWnd, value.c_str());
    else
        WriteIniText(file, section, key, WindowText(hWnd));

    for (HWND hChild = ::GetWindow(hWnd, GW_CHILD); hChild;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        if (IsEditClass(hChild))
            continue;
        std::snprintf(key, sizeof(key), "IDD%d_%d", nDialogNumber, ::GetDlgCtrlID(hChild));
        value = ReadIniString(file, section, key, "", kValueBuffer);
        if (!value.empty())
            ::SetWindowTextA(hChild, DecodeLangText(value).c_str());
        else
            WriteIniText(file, section, key, EncodeLangText(WindowText(hChild)));
    }
}
