// End to end: starts the real tessivox.exe as its own process on a fresh
// program folder and drives it from outside, with the messages a user's mouse
// produces: walks the folder tree to a folder of photos, presses Start, answers
// the closing message, presses Back and answers Yes; then walks to a folder of
// camera files (JPEG, TIFF, HEIC), opens the Expert tab, asks for the date the
// photos were taken and for the new names, and presses Start; closes the
// program, and checks the files, settings.ini and the language file at every
// step. Then it kills a run of 2000 files in its middle, twice, and undoes it
// at the next start, once by answering Yes and once by No and Back.
//
// Usage: e2e_driver <path of tessivox.exe>. Prints one line per check and a
// closing "N passed, N failed"; exits non-zero when a check failed.
#include "RemoteProcess.h"
#include "support/Files.h"
#include "support/Png.h"

#include <windows.h>

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

int g_passed = 0;
int g_failed = 0;

bool Check(bool ok, const std::string& what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what.c_str());
    std::fflush(stdout);
    (ok ? g_passed : g_failed)++;
    return ok;
}

bool WaitUntil(const std::function<bool()>& done, DWORD ms = 15000) {
    for (DWORD waited = 0; waited < ms; waited += 50) {
        if (done())
            return true;
        ::Sleep(50);
    }
    return done();
}

std::string WindowsPath(std::string path) {
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    return path;
}

// A window's text; for another process's window only WM_GETTEXT asks the control itself.
std::string Text(HWND h) {
    char buf[1024] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

// A click as the mouse makes it: press and release at a point of the client area.
void Click(HWND h, POINT pt) {
    LPARAM at = MAKELPARAM(pt.x, pt.y);
    ::PostMessageA(h, WM_MOUSEMOVE, 0, at);
    ::PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(h, WM_LBUTTONUP, 0, at);
}

void ClickCentre(HWND h) {
    RECT rc;
    ::GetClientRect(h, &rc);
    Click(h, {rc.right / 2, rc.bottom / 2});
}

// The visible top-level window of a process that satisfies a test.
HWND FindTopWindow(DWORD pid, const std::function<bool(HWND)>& wanted) {
    struct Search {
        DWORD pid;
        const std::function<bool(HWND)>* wanted;
        HWND found;
    } search = {pid, &wanted, nullptr};
    ::EnumWindows(
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(h, &owner);
            if (owner == s->pid && ::IsWindowVisible(h) && (*s->wanted)(h)) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindDescendant(HWND parent, int id) {
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    ::EnumChildWindows(
        parent,
        [](HWND h, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            if (::GetDlgCtrlID(h) == s->id) {
                s->found = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void Screenshot(HWND h, const std::string& path) {
    RECT rc;
    ::GetWindowRect(h, &rc);
    const int w = rc.right - rc.left;
    const int hgt = rc.bottom - rc.top;
    HDC screen = ::GetDC(nullptr);
    HDC mem = ::CreateCompatibleDC(screen);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -hgt;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(mem, dib);
    ::BitBlt(mem, 0, 0, w, hgt, screen, rc.left, rc.top, SRCCOPY);
    ::GdiFlush();
    std::vector<uint8_t> rgb;
    const auto* p = static_cast<const uint8_t*>(bits);
    for (int i = 0; i < w * hgt; ++i) {
        rgb.push_back(p[i * 4 + 2]);
        rgb.push_back(p[i * 4 + 1]);
        rgb.push_back(p[i * 4]);
    }
    ::SelectObject(mem, old);
    ::DeleteObject(dib);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    Check(WritePng(path, w, hgt, rgb), "screenshot saved to " + path);
}

// The names the shell shows for each level from the desktop down to a folder.
std::vector<std::string> ShellNamesOf(const std::string& path) {
    std::vector<std::string> names;
    IShellFolder* folder = nullptr;
    ::SHGetDesktopFolder(&folder);
    std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST pidl = nullptr;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl, nullptr))) {
        folder->Release();
        return names;
    }
    for (auto* id = reinterpret_cast<BYTE*>(pidl); *reinterpret_cast<USHORT*>(id);) {
        USHORT cb = *reinterpret_cast<USHORT*>(id);
        std::vector<BYTE> single(id, id + cb);
        single.push_back(0);
        single.push_back(0);
        auto rel = reinterpret_cast<LPCITEMIDLIST>(single.data());
        STRRET name = {};
        char text[MAX_PATH] = {};
        if (SUCCEEDED(folder->GetDisplayNameOf(rel, SHGDN_INFOLDER | 0x2000, &name)))
            ::StrRetToBufA(&name, rel, text, MAX_PATH);
        names.push_back(text);
        IShellFolder* next = nullptr;
        folder->BindToObject(rel, nullptr, IID_IShellFolder, reinterpret_cast<void**>(&next));
        folder->Release();
        folder = next;
        if (!folder)
            break;
        id += cb;
    }
    if (folder)
        folder->Release();
    ::CoTaskMemFree(pidl);
    return names;
}

HTREEITEM TreeNext(HWND tree, HTREEITEM item, UINT how) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

// Clicks its way down the tree, level by level, as a user would.
bool WalkTree(HWND tree, const std::vector<std::string>& names, CRemoteBuffer& buf) {
    HTREEITEM level = TreeNext(tree, nullptr, TVGN_ROOT);
    for (size_t i = 0; i < names.size(); ++i) {
        HTREEITEM match = nullptr;
        for (HTREEITEM c = level; c && !match; c = TreeNext(tree, c, TVGN_NEXT))
            if (_stricmp(RemoteTreeItemText(tree, c, buf).c_str(), names[i].c_str()) == 0)
                match = c;
        if (!Check(match != nullptr, "the tree shows \"" + names[i] + "\""))
            return false;
        ::SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(match));
        RECT rc;
        RemoteTreeItemRect(tree, match, &rc, buf);
        Click(tree, {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
        WaitUntil([&] { return TreeNext(tree, nullptr, TVGN_CARET) == match; });
        if (i + 1 == names.size())
            return true;
        bool filled = WaitUntil([&] {
            HTREEITEM child = TreeNext(tree, match, TVGN_CHILD);
            return child && RemoteTreeItemText(tree, child, buf) != "Loading...";
        });
        if (!Check(filled, "\"" + names[i] + "\" opens with its subfolders"))
            return false;
        level = TreeNext(tree, match, TVGN_CHILD);
    }
    return true;
}

HWND WaitForMessageBox(DWORD pid, HWND mainWnd, const std::string& text) {
    HWND box = nullptr;
    WaitUntil([&] {
        box = FindTopWindow(pid, [&](HWND h) {
            char cls[64] = {};
            ::GetClassNameA(h, cls, sizeof(cls));
            return h != mainWnd && std::string(cls) == "#32770" && Text(h) == "tessivox";
        });
        return box != nullptr;
    });
    Check(box != nullptr, "a message box appears");
    if (box)
        Check(Text(::GetDlgItem(box, 0xFFFF)) == text, "it says \"" + text + "\"");
    return box;
}

void ClickTab(HWND tab, int index, CRemoteBuffer& buf) {
    RECT rc;
    if (Check(RemoteTabItemRect(tab, index, &rc, buf), "the tab is there"))
        Click(tab, {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

void PressButton(HWND box, int id, const char* what) {
    HWND button = ::GetDlgItem(box, id);
    Check(button != nullptr, std::string("the box has ") + what);
    ClickCentre(button);
    Check(WaitUntil([&] { return !::IsWindow(box); }), std::string(what) + " closes the box");
}

// Starts the program, with arguments after its path; its main window, or null.
HWND StartProgram(const std::string& program, const std::string& args, PROCESS_INFORMATION& pi) {
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    std::string cmd = "\"" + program + "\\tessivox.exe\"" + (args.empty() ? "" : " " + args);
    if (!::CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, program.c_str(),
                          &si, &pi))
        return nullptr;
    ::WaitForInputIdle(pi.hProcess, 10000);
    HWND mainWnd = nullptr;
    WaitUntil([&] {
        mainWnd = FindTopWindow(pi.dwProcessId,
                                [](HWND h) { return Text(h) == "Tessivox - Batch Photo Renamer"; });
        return mainWnd != nullptr;
    });
    return mainWnd;
}

void EndProgram(PROCESS_INFORMATION& pi, HWND mainWnd) {
    ::PostMessageA(mainWnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 20000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
}

// The name a camera date gives with the default options: "IMG 2019-7-14  9_8_7.jpg".
std::string CameraName(const std::string& file, const SYSTEMTIME& t) {
    const size_t dot = file.rfind('.');
    char date[64];
    std::snprintf(date, sizeof(date), " %d-%d-%d  %d_%d_%d", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return file.substr(0, dot) + date + file.substr(dot);
}

// A camera's folder of mixed files: photos Pillow and heif-enc wrote, real
// raws and an AVCHD clip where the corpus of real camera files is at hand,
// and movies ffmpeg wrote where the test command could. Each with the name
// its camera date gives; a movie's UTC time in the local time of its day.
std::map<std::string, std::string> MakeCameraFolder(const std::string& camera) {
    struct Source {
        std::string folder, file;
        SYSTEMTIME date; // wYear, wMonth, wDayOfWeek (unused), wDay, ...
        bool utc;
    };
    const std::string samples = TESSIVOX_PHOTO_SAMPLES, corpus = TESSIVOX_PHOTO_CORPUS,
                      movies = TESSIVOX_CAMERA_SAMPLES;
    const Source sources[] = {
        {samples, "original.jpg", {2019, 7, 0, 14, 9, 8, 7, 0}, false},
        {samples, "little-endian.tif", {2016, 1, 0, 2, 3, 4, 5, 0}, false},
        {samples, "photo.heic", {2022, 8, 0, 9, 10, 11, 12, 0}, false},
        {corpus + "\\exiftool", "CanonRaw.cr3", {2018, 2, 0, 21, 12, 8, 56, 0}, false},
        {corpus + "\\exiftool", "FujiFilm.raf", {2007, 5, 0, 22, 13, 58, 30, 0}, false},
        {corpus + "\\exiftool", "M2TS.mts", {2008, 12, 0, 31, 23, 16, 24, 0}, false},
        {movies, "summer.mov", {2021, 7, 0, 4, 18, 30, 0, 0}, true},
        {movies, "winter.mp4", {2004, 12, 0, 24, 23, 30, 0, 0}, true},
    };
    std::map<std::string, std::string> names;
    for (const Source& source : sources) {
        const std::string from = source.folder + "\\" + source.file;
        if (!::CopyFileA(from.c_str(), (camera + "\\" + source.file).c_str(), FALSE)) {
            std::printf("skipped: no %s to copy\n", from.c_str());
            continue;
        }
        ::SetFileAttributesA((camera + "\\" + source.file).c_str(), FILE_ATTRIBUTE_NORMAL);
        SYSTEMTIME date = source.date;
        if (source.utc)
            ::SystemTimeToTzSpecificLocalTime(nullptr, &source.date, &date);
        names[source.file] = CameraName(source.file, date);
    }
    return names;
}

// A run killed in its middle: the next start finds its journal, says how far
// it came, and gives the files their old names (Yes) or leaves that to Back (No).
void KilledRunIsUndoneAtTheNextStart(const std::string& program, const std::string& folder,
                                     bool answerYes) {
    const int files = 2000;
    std::vector<std::string> originals;
    for (int i = 0; i < files; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "k%04d.jpg", i);
        originals.push_back(name);
    }
    if (ListFolder(folder).empty()) {
        ::CreateDirectoryA(folder.c_str(), nullptr);
        for (const std::string& n : originals)
            WriteTextFile(folder + "\\" + n, "killed " + n);
    }
    auto countRenamed = [&] {
        int renamed = 0;
        for (const std::string& n : ListFolder(folder))
            renamed += n.size() != 9 ? 1 : 0;
        return renamed;
    };
    PROCESS_INFORMATION pi = {};
    HWND mainWnd = StartProgram(program, "\"" + folder + "\"", pi);
    if (!Check(mainWnd != nullptr, "Tessivox starts with the folder of 2000 photos"))
        return;
    HWND list = ::GetDlgItem(mainWnd, 1004);
    Check(WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == files; }),
          "the folder given on the command line is chosen");
    HWND back = FindDescendant(mainWnd, 1024);
    HWND start = back ? ::GetDlgItem(::GetParent(back), IDOK) : nullptr;
    ClickCentre(start);
    const bool underWay = WaitUntil([&] { return countRenamed() >= 100; }, 60000);
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 10000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    const int renamed = countRenamed();
    if (!Check(underWay && renamed < files,
               "the run is killed in its middle (" + std::to_string(renamed) + " renamed)"))
        return;

    mainWnd = StartProgram(program, "", pi);
    HWND ask =
        WaitForMessageBox(pi.dwProcessId, mainWnd,
                          "The last run was interrupted after " + std::to_string(renamed) + " of " +
                              std::to_string(files) + " files. Give them their old names again?");
    if (ask && answerYes) {
        PressButton(ask, IDYES, "Yes");
    } else if (ask) {
        PressButton(ask, IDNO, "No");
        Check(countRenamed() == renamed, "No leaves the files as they are");
        back = FindDescendant(mainWnd, 1024);
        ClickCentre(back);
        HWND sure = WaitForMessageBox(pi.dwProcessId, mainWnd,
                                      "Do you really want to cancel your changes?");
        if (sure)
            PressButton(sure, IDYES, "Yes");
    }
    HWND done =
        WaitForMessageBox(pi.dwProcessId, mainWnd, "All the name of files have been changed.");
    if (done)
        PressButton(done, IDOK, "OK");
    bool restored = ListFolder(folder).size() == originals.size();
    for (const std::string& n : originals)
        restored = restored && ReadTextFile(folder + "\\" + n) == "killed " + n;
    Check(restored, std::string(answerYes ? "Yes" : "Back after No") +
                        " gives every file its old name and content");
    EndProgram(pi, mainWnd);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: e2e_driver <tessivox.exe>\n");
        return 2;
    }
    ::CoInitialize(nullptr);
    const std::string exe = WindowsPath(argv[1]);
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string root =
        std::string(temp) + "tessivox-e2e-" + std::to_string(::GetCurrentProcessId());
    const std::string program = root + "\\Tessivox";
    const std::string photos = root + "\\Photos";
    const std::string camera = root + "\\Camera";
    ::CreateDirectoryA(root.c_str(), nullptr);
    ::CreateDirectoryA(program.c_str(), nullptr);
    ::CreateDirectoryA((program + "\\Languages").c_str(), nullptr);
    ::CreateDirectoryA(photos.c_str(), nullptr);
    ::CreateDirectoryA(camera.c_str(), nullptr);
    const std::map<std::string, std::string> cameraNames = MakeCameraFolder(camera);
    Check(::CopyFileA(exe.c_str(), (program + "\\tessivox.exe").c_str(), FALSE) != FALSE,
          "a fresh program folder");
    WriteTextFile(program + "\\settings.ini", "");
    const std::string language = program + "\\Languages\\English.ini";
    WriteTextFile(language, "[Setting]\r\nLanguage=English\r\n");
    const std::vector<std::string> originals = {"IMG_0001.JPG", "IMG_0002.JPG", "IMG_0003.JPG"};
    std::map<std::string, std::string> contents;
    for (const std::string& n : originals) {
        contents[n] = "photo " + n;
        WriteTextFile(photos + "\\" + n, contents[n]);
    }

    PROCESS_INFORMATION pi = {};
    HWND mainWnd = StartProgram(program, "", pi);
    if (!Check(pi.hProcess != nullptr, "Tessivox starts")) {
        std::printf("%d passed, %d failed\n", g_passed, g_failed);
        return 1;
    }
    if (Check(mainWnd != nullptr, "the main window opens")) {
        CRemoteBuffer buf(pi.hProcess, 4096);
        HWND tree = ::GetDlgItem(mainWnd, 1003);
        HWND list = ::GetDlgItem(mainWnd, 1004);
        HWND back = FindDescendant(mainWnd, 1024);
        HWND page = back ? ::GetParent(back) : nullptr;
        HWND start = page ? ::GetDlgItem(page, IDOK) : nullptr;
        Check(start && Text(start) == "Start", "the Start button is there");

        std::vector<std::string> names = ShellNamesOf(photos);
        Check(names.size() >= 2, "the shell names the way to the photos");
        if (WalkTree(tree, names, buf)) {
            Check(WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }),
                  "the list shows the three photos");
            std::vector<std::string> listed;
            for (int i = 0; i < 3; ++i)
                listed.push_back(RemoteListItemText(list, i, buf));
            std::sort(listed.begin(), listed.end());
            Check(listed == originals, "with their names");
            const std::string shown = Text(::GetDlgItem(mainWnd, 1005));
            Check(_stricmp(shown.c_str(), photos.c_str()) == 0,
                  "the path box shows the folder (" + shown + ")");
            ::Sleep(300);
            Screenshot(mainWnd, "e2e-folder-chosen.png");

            ClickCentre(start);
            HWND done = WaitForMessageBox(pi.dwProcessId, mainWnd,
                                          "Files name have been replaced successfully!");
            HWND strip = nullptr;
            ::EnumChildWindows(
                mainWnd,
                [](HWND h, LPARAM lp) -> BOOL {
                    char cls[64] = {};
                    ::GetClassNameA(h, cls, sizeof(cls));
                    if (std::string(cls).rfind("Tessivox:", 0) == 0 && ::IsWindowVisible(h)) {
                        *reinterpret_cast<HWND*>(lp) = h;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&strip));
            Check(strip != nullptr, "the progress strip shows while the message is open");
            Screenshot(mainWnd, "e2e-run.png");
            if (done)
                PressButton(done, IDOK, "OK");

            auto after = ListFolder(photos);
            bool renamed = after.size() == 3;
            for (const std::string& n : after) {
                renamed =
                    renamed && std::find(originals.begin(), originals.end(), n) == originals.end();
                renamed = renamed && n.size() > 12 && n.substr(n.size() - 4) == ".JPG" &&
                          n.find("  ") != std::string::npos;
                std::string old = n.substr(0, 8) + ".JPG";
                renamed = renamed && ReadTextFile(photos + "\\" + n) == contents[old];
            }
            Check(renamed, "every photo has its new name and its content");

            ClickCentre(back);
            HWND ask = WaitForMessageBox(pi.dwProcessId, mainWnd,
                                         "Do you really want to cancel your changes?");
            if (ask)
                PressButton(ask, IDYES, "Yes");
            HWND restored = WaitForMessageBox(pi.dwProcessId, mainWnd,
                                              "All the name of files have been changed.");
            if (restored)
                PressButton(restored, IDOK, "OK");
            auto restoredNames = ListFolder(photos);
            std::sort(restoredNames.begin(), restoredNames.end());
            bool back_ok = restoredNames == originals;
            for (const std::string& n : originals)
                back_ok = back_ok && ReadTextFile(photos + "\\" + n) == contents[n];
            Check(back_ok, "Back gives every photo its old name and content");
        }
        const int nCamera = static_cast<int>(cameraNames.size());
        if (WalkTree(tree, ShellNamesOf(camera), buf) &&
            Check(
                WaitUntil([&] { return ::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == nCamera; }),
                "the list shows the " + std::to_string(nCamera) + " camera files")) {
            HWND tabs = ::GetDlgItem(mainWnd, 1014);
            ClickTab(tabs, 1, buf);
            HWND photoDate = nullptr, newNames = nullptr;
            WaitUntil([&] {
                photoDate = FindDescendant(mainWnd, 1040);
                newNames = FindDescendant(mainWnd, 1041);
                return photoDate && newNames && ::IsWindowVisible(photoDate);
            });
            if (Check(photoDate && newNames, "the Expert tab shows its options")) {
                ClickCentre(photoDate);
                ClickCentre(newNames);
            }
            std::map<std::string, std::string> shown;
            Check(WaitUntil([&] {
                      shown.clear();
                      for (int i = 0; i < nCamera; ++i)
                          shown[RemoteListItemText(list, i, buf)] =
                              RemoteListItemText(list, i, buf, 1);
                      return shown == cameraNames;
                  }),
                  "the list shows the names the camera dates give");
            Screenshot(mainWnd, "e2e-expert.png");
            ClickTab(tabs, 0, buf);
            ClickCentre(start);
            HWND done = WaitForMessageBox(pi.dwProcessId, mainWnd,
                                          "Files name have been replaced successfully!");
            if (done)
                PressButton(done, IDOK, "OK");
            std::vector<std::string> expected;
            for (const auto& [name, newName] : cameraNames)
                expected.push_back(newName);
            auto renamedCamera = ListFolder(camera);
            std::sort(renamedCamera.begin(), renamedCamera.end());
            Check(renamedCamera == expected, "Start gives the camera files those names");
        }
        ::PostMessageA(mainWnd, WM_CLOSE, 0, 0);
    }
    bool ended = ::WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
    if (!Check(ended, "closing the window ends the program"))
        ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    char value[100] = {};
    ::GetPrivateProfileStringA("Setting", "Language", "", value, sizeof(value),
                               (program + "\\settings.ini").c_str());
    Check(std::string(value) == "English", "settings.ini holds the language");
    ::GetPrivateProfileStringA("Message", "ReplaceSuccessfully", "", value, sizeof(value),
                               language.c_str());
    Check(std::string(value) == "Files name have been replaced successfully!",
          "the language file gained the closing message");
    ::GetPrivateProfileStringA("String", "IDD129_1", "", value, sizeof(value), language.c_str());
    Check(std::string(value) == "Start", "and the dialog texts");

    for (bool answerYes : {true, false})
        KilledRunIsUndoneAtTheNextStart(program, root + "\\Killed", answerYes);

    RemoveTree(root);
    ::CoUninitialize();
    std::printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
