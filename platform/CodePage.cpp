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
    std::wstring key;
    NameKeyInto(name, key);
    return key;
}

void NameKeyInto(std::string_view name, std::wstring& key) {
    // ASCII, which most names are, needs neither conversion: its upper case is A to Z.
    bool ascii = true;
    for (char c : name)
        ascii = ascii && (static_cast<unsigned char>(c) & 0x80) == 0;
    if (ascii) {
        key.resize(name.size());
        for (size_t i = 0; i < name.size(); ++i) {
            const char c = name[i];
            key[i] = static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
        }
        return;
    }
    const int n = name.empty() ? 0
                               : ::MultiByteToWideChar(CP_ACP, 0, name.data(),
                                                       static_cast<int>(name.size()), nullptr, 0);
    key.resize(static_cast<size_t>(n > 0 ? n : 0));
    if (n <= 0)
        return;
    ::MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &key[0], n);
    ::CharUpperBuffW(&key[0], static_cast<DWORD>(n));
}

bool IsAnsiLeadByte(unsigned char c) {
    // Asked for every byte of every name: the code page is the process's for
    // its whole life, so the system is asked once for each byte value.
    struct LeadBytes {
        bool lead[256];
        LeadBytes() {
            for (int i = 0; i < 256; ++i)
                lead[i] = ::IsDBCSLeadByte(static_cast<BYTE>(i)) != FALSE;
        }
    };
    static const LeadBytes table;
    return table.lead[c];
}
