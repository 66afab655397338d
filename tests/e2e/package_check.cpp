// The unpacked release from outside: tessivox.exe carries its version
// resource, starts from the unpacked folder, shows its main window and ends
// cleanly when that window is closed.
//
// Usage: package_check <path of the unpacked tessivox.exe>. Prints one line per
// check and exits non-zero when one failed.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int g_failed = 0;

bool Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    if (!ok)
        ++g_failed;
    return ok;
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        for (char& c : path)
            if (c == '/')
                c = '\\';
        path = "Z:" + path;
    }
    return path;
}

std::string VersionString(const std::vector<BYTE>& info, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    if (!::VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void**>(&value), &size) ||
        size == 0)
        return "";
    return value;
}

void CheckVersionResource(const std::string& exe) {
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), &handle);
    if (!Check(size > 0, "tessivox.exe has a version resource"))
        return;
    std::vector<BYTE> info(size);
    ::GetFileVersionInfoA(exe.c_str(), 0, size, info.data());
    Check(VersionString(info, "ProductName") == "Tessivox", "its product name is Tessivox");
    Check(VersionString(info, "FileVersion") == TESSIVOX_VERSION_TEXT,
          std::string("its file version is ") + TESSIVOX_VERSION_TEXT);
    Check(!VersionString(info, "FileDescription").empty(), "it describes the file");
    Check(VersionString(info, "LegalCopyright").rfind("Copyright", 0) == 0,
          "it holds the copyright");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    Check(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) &&
              fixed->dwFileVersionMS == MAKELONG(TESSIVOX_VERSION_MINOR, TESSIVOX_VERSION_MAJOR) &&
              LOWORD(fixed->dwFileVersionLS) == 0 &&
              HIWORD(fixed->dwFileVersionLS) == TESSIVOX_VERSION_PATCH,
          "its numeric version matches");
}

// The process's visible dialog window whose title names the program.
HWND FindMainWindow(DWORD pid) {
    struct Search {
        DWORD pid;
        HWND found;
    } search = {pid, nullptr};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            char cls[64] = {};
            char title[256] = {};
            ::GetClassNameA(h, cls, sizeof(cls));
            ::GetWindowTextA(h, title, sizeof(title));
            if (owner == s->pid && ::IsWindowVisible(h) && std::string(cls) == "#32770" &&
                std::string(title).rfind("Tessivox", 0) == 0) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: package_check <path of the unpacked tessivox.exe>\n");
        return 2;
    }
    const std::string exe = WindowsPath(argv[1]);
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));
    CheckVersionResource(exe);

    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    std::string cmd = "\"" + exe + "\"";
    if (!Check(::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                folder.c_str(), &si, &pi) != FALSE,
               "tessivox.exe starts from the unpacked folder"))
        return 1;
    HWND mainWnd = nullptr;
    for (int waited = 0; waited < 30000 && !mainWnd; waited += 100) {
        if (::WaitForSingleObject(pi.hProcess, 100) == WAIT_OBJECT_0)
            break;
        mainWnd = FindMainWindow(pi.dwProcessId);
    }
    if (Check(mainWnd != nullptr, "it shows its main window")) {
        ::PostMessageA(mainWnd, WM_CLOSE, 0, 0);
        bool ended = ::WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(pi.hProcess, &code);
        Check(ended && code == 0, "closing the window ends it with exit code 0");
    }
    if (::WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    char language[64] = {};
    ::GetPrivateProfileStringA("Setting", "Language", "", language, sizeof(language),
                               (folder + "\\settings.ini").c_str());
    Check(std::string(language) == "English",
          "it saved its language in the unpacked folder's settings.ini");
    std::printf("%s\n", g_failed ? "package check FAILED" : "package check passed");
    return g_failed ? 1 : 0;
}
