#include "CodePage.h"

#include <windows.h>

std::wstring WidenName(const std::string& name) {
    if (name.empty())
        return {};
    int n =
        ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &wide[0], n);
    return wide;
}

bool NarrowNameExactly(const std::wstring& name, std::string& narrow) {
    narrow.clear();
    if (name.empty())
        return true;
    // UTF-8 takes no best-fit flag; other code pages must not map to look-alikes.
    const DWORD flags = ::GetACP() == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int len = static_cast<int>(name.size());
    int n = ::WideCharToMultiByte(CP_ACP, flags, name.data(), len, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return false;
    narrow.assign(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, flags, name.data(), len, &narrow[0], n, nullptr, nullptr);
    // The round trip catches every loss: replacement characters, unpaired surrogates.
    return WidenName(narrow) == name;
}

size_t PathUnits(const std::string& path) {
    return WidenName(path).size();
}

std::wstring NameKey(const std::string& name) {
    std::wstring key = WidenName(name);
    ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
    return key;
}

bool IsAnsiLeadByte(unsigned char c) {
    return ::IsDBCSLeadByte(c) != FALSE;
}
