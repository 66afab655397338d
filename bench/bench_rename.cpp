// A whole-folder rename run through the real main window against the floor:
// a bare loop that does the same platform work per file (find the old name,
// find the new name, move it). Under Wine on a case-sensitive file system every
// lookup of a missing name scans the whole folder, so the floor itself grows
// with the folder: compare ratios, not rates.
//
// Usage: bench_rename [files in the folder, default 10000] [folders of the tree, default 100]
#include "BenchSupport.h"

#include "app/AppPaths.h"
#include "mainwnd/RenamerDlg.h"

#include "platform/MessageBox.h"
#include "platform/WinApp.h"

#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void MakeFiles(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i) {
        std::string path = folder + "\\IMG_" + std::to_string(100000 + i) + ".JPG";
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ::CloseHandle(h);
    }
}

// Folder layouts: one folder of n files, or a tree of folders of files.
void MakeLayout(const std::string& root, int folders, int filesEach) {
    if (folders == 0) {
        MakeFiles(root, filesEach);
        return;
    }
    for (int f = 0; f < folders; ++f) {
        std::string sub = root + "\\Folder" + std::to_string(f);
        ::CreateDirectoryA(sub.c_str(), nullptr);
        MakeFiles(sub, filesEach);
    }
}

bool Exists(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(h);
    return true;
}

int FloorFolder(const std::string& folder) {
    int done = 0;
    std::vector<std::string> subfolders;
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return 0;
    do {
        std::string name = fd.cFileName;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (name != "." && name != "..")
                subfolders.push_back(folder + "\\" + name);
            continue;
        }
        if (name.find(' ') != std::string::npos)
            continue; // renamed already
        std::string old = folder + "\\" + name;
        std::string renamed =
            folder + "\\" + name.substr(0, name.size() - 4) + " 2026-12-7  12_0_0.JPG";
        Exists(old);
        Exists(renamed);
        ::MoveFileExA(old.c_str(), renamed.c_str(), 0);
        ++done;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    for (const std::string& s : subfolders)
        done += FloorFolder(s);
    return done;
}

struct Figures {
    int files;
    double seconds;
};

Figures TimeFloor(int folders, int filesEach) {
    std::string root = MakeScratchFolder("tessivox-bench-floor");
    MakeLayout(root, folders, filesEach);
    double t0 = Seconds();
    int files = FloorFolder(root);
    double t1 = Seconds();
    RemoveTree(root);
    return {files, t1 - t0};
}

Figures TimeRun(int folders, int filesEach, SIZE_T* grownBytes) {
    std::string root = MakeScratchFolder("tessivox-bench-run");
    MakeLayout(root, folders, filesEach);
    std::string program = MakeScratchFolder("tessivox-bench-program");
    ::CreateDirectoryA((program + "\\Languages").c_str(), nullptr);
    g_strLanguageFile = program + "\\Languages\\English.ini";
    ::WritePrivateProfileStringA("Setting", "Language", "English", g_strLanguageFile.c_str());

    CRenamerDlg dlg;
    AfxGetApp()->m_pMainWnd = &dlg;
    dlg.Create(CRenamerDlg::IDD, nullptr);
    dlg.ShowWindow(SW_SHOW);
    dlg.m_strFolderPath = root;
    SIZE_T before = PrivateBytes();
    double t0 = Seconds();
    dlg.m_pageBeginner.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    double t1 = Seconds();
    *grownBytes = PrivateBytes() - before;
    const RenameJournal& journal = dlg.m_pageBeginner.m_journal;
    int files = static_cast<int>(journal.size());
    size_t held = 0;
    for (size_t i = 0; i < journal.size(); ++i)
        held += journal.oldPaths[i].capacity() + journal.newPaths[i].capacity() +
                2 * sizeof(std::string);
    std::printf("  journal: %d entries holding %.1f KiB of paths\n", files, held / 1024.0);
    dlg.DestroyWindow();
    AfxGetApp()->m_pMainWnd = nullptr;
    RemoveTree(root);
    RemoveTree(program);
    return {files, t1 - t0};
}

void Compare(const char* layout, int folders, int filesEach) {
    Figures floor = TimeFloor(folders, filesEach);
    SIZE_T grown = 0;
    Figures run = TimeRun(folders, filesEach, &grown);
    std::printf("%s (%d files, %d per folder)\n", layout, run.files, filesEach);
    std::printf("  floor: %8.1f files/s  (%.2f s)\n", floor.files / floor.seconds, floor.seconds);
    std::printf("  run:   %8.1f files/s  (%.2f s)\n", run.files / run.seconds, run.seconds);
    std::printf("  ratio run/floor: %.3f (target <= 1.2)\n", run.seconds / floor.seconds);
    std::printf("  private memory grown during the run: %.1f KiB (0 where the platform does not "
                "report it)\n",
                grown / 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    CWinApp app("tessivox");
    AfxSetMessageBoxScript([](const std::string&, UINT) { return IDOK; });
    Compare("one folder", 0, files);
    int side = argc > 2 ? std::atoi(argv[2]) : 100;
    Compare("tree of folders", side, side);
    ::OleUninitialize();
    return 0;
}
