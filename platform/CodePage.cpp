#include "CodePage.h"

#include <windows.h>

#include <cstring>

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

namespace {
bool IsAscii(std::string_view name) {
    for (char c : name)
        if ((static_cast<unsigned char>(c) & 0x80) != 0)
            return false;
    return true;
}

wchar_t AsciiUpper(char c) {
    return static_cast<wchar_t>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
}

// The key's UTF-16 units taken four to a word, each word mixed in with one
// multiplication: a name is hashed at every keystroke for every file.
class CKeyHash {
public:
    // Four units at once, where no unit is pending.
    void AddWord(uint64_t word) {
        m_word = word;
        Mix();
    }
    void Add(wchar_t unit) {
        m_word |= static_cast<uint64_t>(static_cast<uint16_t>(unit)) << (16 * m_nUnits);
        if (++m_nUnits == 4)
            Mix();
    }
    uint64_t Value() {
        if (m_nUnits != 0)
            Mix();
        return m_hash ^ (m_hash >> 31);
    }

private:
    uint64_t m_hash = 0x9E3779B97F4A7C15ULL;
    uint64_t m_word = 0;
    int m_nUnits = 0;
    void Mix() {
        m_hash = (m_hash ^ m_word) * 0xFF51AFD7ED558CCDULL;
        m_hash ^= m_hash >> 29;
        m_word = 0;
        m_nUnits = 0;
    }
};
// Eight ASCII bytes in upper case: a to z lose 0x20, nothing else changes.
uint64_t AsciiUpper8(uint64_t bytes) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    const uint64_t fromA = bytes + (0x80 - 'a') * kOnes;     // high bit: at least 'a'
    const uint64_t pastZ = bytes + (0x80 - 'z' - 1) * kOnes; // high bit: past 'z'
    return bytes ^ (((fromA & ~pastZ) & (0x80 * kOnes)) >> 2);
}

// Four bytes as four UTF-16 units of a word, the first lowest.
uint64_t AsUnits(uint32_t bytes) {
    uint64_t x = bytes;
    x = (x | (x << 16)) & 0x0000FFFF0000FFFFULL;
    return (x | (x << 8)) & 0x00FF00FF00FF00FFULL;
}
} // namespace

std::wstring NameKey(const std::string& name) {
    std::wstring key;
    NameKeyInto(name, key);
    return key;
}

void NameKeyInto(std::string_view name, std::wstring& key) {
    // ASCII, which most names are, needs neither conversion: its upper case is A to Z.
    if (IsAscii(name)) {
        key.resize(name.size());
        for (size_t i = 0; i < name.size(); ++i)
            key[i] = AsciiUpper(name[i]);
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

uint64_t NameKeyHash(std::string_view name) {
    // ASCII, which most names are, eight bytes at a time and without the key:
    // the same words the key's units make.
    CKeyHash hash;
    size_t i = 0;
    bool ascii = true;
    for (; ascii && i + 8 <= name.size(); i += 8) {
        uint64_t bytes;
        std::memcpy(&bytes, name.data() + i, 8);
        ascii = (bytes & 0x8080808080808080ULL) == 0;
        bytes = AsciiUpper8(bytes);
        hash.AddWord(AsUnits(static_cast<uint32_t>(bytes)));
        hash.AddWord(AsUnits(static_cast<uint32_t>(bytes >> 32)));
    }
    for (; ascii && i < name.size(); ++i) {
        ascii = (static_cast<unsigned char>(name[i]) & 0x80) == 0;
        hash.Add(AsciiUpper(name[i]));
    }
    if (ascii)
        return hash.Value();
    std::wstring key;
    NameKeyInto(name, key);
    CKeyHash wide;
    for (wchar_t unit : key)
        wide.Add(unit);
    return wide.Value();
}

bool SameNameKey(std::string_view a, std::string_view b) {
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
                return false;
        return true;
    }
    std::wstring keyA, keyB;
    NameKeyInto(a, keyA);
    NameKeyInto(b, keyB);
    return keyA == keyB;
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
