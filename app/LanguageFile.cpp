#include "LanguageFile.h"

#include "AppPaths.h"
#include "LangText.h"

#include "platform/CodePage.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"

#include <windows.h>

#include <vector>

const char* const kIniLoadError = "INI_LOADERROR";

namespace {
constexpr DWORD kMessageBuffer = 300;
constexpr DWORD kSettingBuffer = 1000;
} // namespace

std::string ReadIniString(const std::string& file, const char* section, const char* key,
                          const char* defaultText, unsigned long bufferSize) {
    std::vector<wchar_t> buf(bufferSize, L'\0');
    DWORD n = ::GetPrivateProfileStringW(WidenName(section).c_str(), WidenName(key).c_str(),
                                         WidenName(defaultText).c_str(), buf.data(), bufferSize,
                                         WidenName(file).c_str());
    std::string value;
    NarrowNameExactly(std::wstring(buf.data(), n), value);
    return value;
}

std::string ReadIniText(const std::string& file, const std::string& section,
                        const std::string& key) {
    return ReadIniString(file, section.c_str(), key.c_str(), kIniLoadError, kMessageBuffer);
}

bool WriteIniText(const std::string& file, const std::string& section, const std::string& key,
                  const std::string& value) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                        file.c_str()) != FALSE;
}

bool SelectLanguage(const std::string& language) {
    std::string wanted = language;
    if (wanted.empty())
        wanted = ReadIniString(g_strSettingsFile, "Setting", "Language", "English", kSettingBuffer);

    std::string chosen;
    CFileFind finder;
    BOOL more = finder.FindFile(g_strProgramDir + "\\Languages\\*.ini");
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory())
            continue;
        std::string declared =
            ReadIniString(finder.GetFilePath(), "Setting", "Language", "", kSettingBuffer);
        if (declared.empty())
            continue;
        if (declared == wanted) { // byte for byte: the names are UTF-8
            chosen = finder.GetFilePath();
            break;
        }
    }
    finder.Close();

    if (chosen.empty()) {
        AfxMessageBox("Could not load any language resoure. System halt.", MB_OK);
        return false;
    }
    g_strLanguageFile = chosen;
    WriteIniText(g_strSettingsFile, "Setting", "Language", wanted);
    return true;
}

std::string LookupText(const std::string& key, const std::string& defaultText) {
    const std::string& usedKey = key.empty() ? defaultText : key;
    std::string value = ReadIniText(g_strLanguageFile, "Message", usedKey);
    if (value != kIniLoadError)
        return DecodeLangText(value);
    WriteIniText(g_strLanguageFile, "Message", usedKey, EncodeLangText(defaultText));
    return defaultText;
}
