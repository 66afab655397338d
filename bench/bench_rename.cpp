// A whole-folder rename run through the real main window against the floor:
// a bare loop that does the same platform work per file (find the old name,
// find the new name, move it), each lookup a FindFirstFile. Under Wine on a
// case-sensitive file system every lookup of a missing name scans the whole
// folder, so the floor itself grows with the folder: compare ratios, not rates.
// Tessivox asks for the new name with one attribute query instead of a find,
// which costs a fraction of the floor's lookup; the steps listed at the end
// show both, so the cost outside the file system can be read apart.
//
// Then a run that names the files by the date their camera recorded, over
// copies of real camera files of many formats, videos too, against a floor
// that also opens each file, reads its first 64 KB and closes it.
//
// After the comparisons it shows where a run's time per file goes: each step
// that a run takes for a file outside the floor's work, timed on its own in the
// same window over a folder of the typical size.
//
// Usage: bench_rename [--quick] [--rounds N]
#include "BenchSupport.h"

#include "app/AppPaths.h"
#include "mainwnd/RenamerDlg.h"
#include "res/resource.h"

#include "platform/File.h"
#include "platform/FileFind.h"
#include "platform/MessageBox.h"
#include "platform/WinApp.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <set>
#include <vector>

namespace {

// What a comparison renames: one folder of n files, or a tree of folders of
// files; empty files, or copies of camera files that the run names by their
// camera dates.
struct Workload {
    int folders = 0;
    int filesEach = 0;
    std::vector<CameraFile> camera;
};

// IMG_100000 and on, each with the extension of the camera file it copies.
std::vector<std::string> WorkloadNames(const Workload& load) {
    std::vector<std::string> names = CameraNames(load.filesEach);
    if (!load.camera.empty())
        for (size_t i = 0; i < names.size(); ++i)
            names[i] = names[i].substr(0, names[i].size() - 4) +
                       Extension(load.camera[i % load.camera.size()].name);
    return names;
}

void MakeLayout(const std::string& root, const Workload& load) {
    std::vector<std::string> names = WorkloadNames(load);
    std::vector<std::string> contents;
    for (const CameraFile& file : load.camera)
        contents.push_back(file.bytes);
    if (load.folders == 0) {
        MakeFiles(root, names, contents);
        return;
    }
    for (int f = 0; f < load.folders; ++f) {
        std::string sub = root + "\\Folder" + std::to_string(f);
        ::CreateDirectoryA(sub.c_str(), nullptr);
        MakeFiles(sub, names, contents);
    }
}

// What any reader of the date must do at least: open the file, read its head, close it.
void ReadHead(const std::string& path) {
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    static char head[64 * 1024];
    DWORD read = 0;
    ::ReadFile(h, head, sizeof(head), &read, nullptr);
    ::CloseHandle(h);
}

bool Exists(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(path.c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(h);
    return true;
}

int FloorFolder(const std::string& folder, bool readHeads) {
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
        std::string extension = Extension(name);
        std::string renamed = folder + "\\" + name.substr(0, name.size() - extension.size()) +
                              " 2026-12-7  12_0_0" + extension;
        Exists(old);
        if (readHeads)
            ReadHead(old);
        Exists(renamed);
        ::MoveFileExA(old.c_str(), renamed.c_str(), 0);
        ++done;
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
    for (const std::string& s : subfolders)
        done += FloorFolder(s, readHeads);
    return done;
}

Timing TimeFloor(const Workload& load) {
    std::string root = MakeScratchFolder("tessivox-bench-floor");
    MakeLayout(root, load);
    Timing t0 = Now();
    FloorFolder(root, !load.camera.empty());
    Timing took = Now() - t0;
    RemoveTree(root);
    return took;
}

// The real main window on a scratch program folder, for as long as it lives.
class CBenchWindow {
public:
    CBenchWindow() : m_program(MakeScratchFolder("tessivox-bench-program")) {
        ::CreateDirectoryA((m_program + "\\Languages").c_str(), nullptr);
        g_strLanguageFile = m_program + "\\Languages\\English.ini";
        ::WritePrivateProfileStringA("Setting", "Language", "English", g_strLanguageFile.c_str());
        AfxGetApp()->m_pMainWnd = &m_dlg;
        m_dlg.Create(CRenamerDlg::IDD, nullptr);
        m_dlg.ShowWindow(SW_SHOW);
        Pump();
    }
    ~CBenchWindow() {
        m_dlg.DestroyWindow();
        AfxGetApp()->m_pMainWnd = nullptr;
        RemoveTree(m_program);
    }
    CBenchWindow(const CBenchWindow&) = delete;
    CBenchWindow& operator=(const CBenchWindow&) = delete;

    CRenamerDlg& Dlg() { return m_dlg; }
    // What a run does between files: every waiting message is dispatched.
    static void Pump() {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            AfxGetApp()->PumpMessage();
    }
    // "Use the date the photo was taken" clicked on the Expert page, which makes its options.
    void UsePhotoDate() {
        m_dlg.m_pageExpert.ShowWindow(SW_SHOW);
        ::SendMessageA(::GetDlgItem(m_dlg.m_pageExpert.m_options.m_hWnd, IDC_USE_PHOTO_DATE),
                       BM_CLICK, 0, 0);
        m_dlg.m_pageExpert.ShowWindow(SW_HIDE);
    }
    // Start on the Beginner page, as the button reports it.
    void Start() { m_dlg.m_pageBeginner.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

private:
    std::string m_program;
    CRenamerDlg m_dlg;
};

int g_lastRunFiles = 0;
SIZE_T g_lastRunGrowth = 0; // private bytes the last run kept

Timing TimeRun(const Workload& load) {
    std::string root = MakeScratchFolder("tessivox-bench-run");
    MakeLayout(root, load);
    Timing took;
    {
        CBenchWindow window;
        window.Dlg().m_strFolderPath = root;
        ::CheckDlgButton(window.Dlg().m_pageBeginner.m_hWnd, IDC_INCLUDE_SUBFOLDERS,
                         load.folders > 0 ? BST_CHECKED : BST_UNCHECKED);
        if (!load.camera.empty())
            window.UsePhotoDate();
        SIZE_T before = PrivateBytes();
        Timing t0 = Now();
        window.Start();
        took = Now() - t0;
        g_lastRunGrowth = PrivateBytes() - before;
        g_lastRunFiles = static_cast<int>(window.Dlg().m_pageBeginner.m_journal.size());
    }
    RemoveTree(root);
    return took;
}

void Compare(const BenchArgs& args, const std::string& work, const Workload& load) {
    RoundFigures f = CompareRounds(
        work, args, [&] { return TimeFloor(load); }, [&] { return TimeRun(load); }, 1.2);
    int files = load.folders ? load.folders * load.filesEach : load.filesEach;
    if (g_lastRunFiles != files)
        std::printf("  the run renamed %d of %d files\n", g_lastRunFiles, files);
    std::printf("  per file: floor %.1f us, Tessivox %.1f us, difference %.1f us\n",
                MedianWall(f.floor) / files * 1e6, MedianWall(f.product) / files * 1e6,
                (MedianWall(f.product) - MedianWall(f.floor)) / files * 1e6);
    std::printf("  private memory grown during the last run: %.1f KiB (0 where the platform does "
                "not report it)\n",
                g_lastRunGrowth / 1024.0);
}

// Copies of every camera file of the corpus of up to 64 KB, the size the floor reads.
void CompareCameraDates(const BenchArgs& args, int files) {
    Workload load{0, files, CameraFiles(64 * 1024)};
    std::set<std::string> formats;
    for (const CameraFile& file : load.camera) {
        std::string extension = Extension(file.name);
        std::transform(extension.begin(), extension.end(), extension.begin(), ::tolower);
        formats.insert(extension);
    }
    std::printf("camera files copied in turn (%zu formats):", formats.size());
    for (const CameraFile& file : load.camera)
        std::printf(" %s", file.name.c_str());
    std::printf("\n");
    Compare(args,
            "run with the camera dates, one folder of " + std::to_string(files) + " copies of " +
                std::to_string(load.camera.size()) + " camera files",
            load);
}

// Microseconds per call of one step, repeated over a folder's worth of files.
template <typename Step> double PerCall(int calls, Step step) {
    double t0 = Seconds();
    for (int i = 0; i < calls; ++i)
        step(i);
    return (Seconds() - t0) / calls * 1e6;
}

// The steps a run takes per file beside the floor's platform work, each on
// its own in a live main window over a folder of `files` files.
void PrintPerFileSteps(int files) {
    std::string root = MakeScratchFolder("tessivox-bench-steps");
    std::vector<std::string> names = CameraNames(files);
    MakeEmptyFiles(root, names);
    CBenchWindow window;
    CRenamerDlg& dlg = window.Dlg();
    dlg.m_strFolderPath = root;
    CProgressStrip& strip = *dlg.m_pProgress;
    strip.SetStep(10000 / files);
    strip.ShowWindow(SW_SHOW);
    strip.SetPos(0);
    CBenchWindow::Pump();

    std::printf("where a run's time per file goes, in a folder of %d files (us per file):\n",
                files);
    auto show = [](const char* what, double us) { std::printf("  %-58s %8.1f\n", what, us); };
    show("message pass, empty queue (PeekMessage)", PerCall(files, [](int) {
             MSG msg;
             ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
         }));
    show("strip step (StepIt) then message pass with its repaint", PerCall(files, [&](int) {
             strip.StepIt();
             CBenchWindow::Pump();
         }));
    strip.SetPos(0);
    show("strip step (StepIt) alone", PerCall(files, [&](int) { strip.StepIt(); }));
    CBenchWindow::Pump();
    show("options read from the page (UpdateData TRUE)",
         PerCall(files, [&](int) { dlg.m_pageBeginner.UpdateData(TRUE); }));
    show("FindFile + FindNextFile of an existing name", PerCall(files, [&](int i) {
             CFileFind finder;
             finder.FindFile(JoinPath(root, names[i]));
             finder.FindNextFile();
         }));
    show("IsPathTaken probe of a missing name (the new name)",
         PerCall(files, [&](int i) { IsPathTaken(JoinPath(root, names[i] + " 2026-12-7.JPG")); }));
    show("floor: FindFirstFile of an existing name",
         PerCall(files, [&](int i) { Exists(root + "\\" + names[i]); }));
    show("floor: FindFirstFile of a missing name (the new name)",
         PerCall(files, [&](int i) { Exists(root + "\\" + names[i] + " 2026-12-7.JPG"); }));
    show("floor: MoveFileEx to a new name", PerCall(files, [&](int i) {
             std::string from = root + "\\" + names[i];
             ::MoveFileExA(from.c_str(), (from + ".moved").c_str(), 0);
         }));
    strip.ShowWindow(SW_HIDE);
    RemoveTree(root);
}

} // namespace

int main(int argc, char** argv) {
    BenchArgs args = ParseBenchArgs(argc, argv);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    CWinApp app("tessivox");
    AfxSetMessageBoxScript([](const std::string&, UINT) { return IDOK; });
    int typical = args.quick ? 300 : 1000;
    int large = args.quick ? 2000 : 10000;
    int side = args.quick ? 20 : 100;
    Compare(args, "whole-folder run, one folder of " + std::to_string(typical) + " files",
            {0, typical, {}});
    Compare(args,
            "whole-folder run, " + std::to_string(side) + " folders of " + std::to_string(side) +
                " files",
            {side, side, {}});
    Compare(args, "whole-folder run, one folder of " + std::to_string(large) + " files",
            {0, large, {}});
    CompareCameraDates(args, args.quick ? 200 : 1000);
    PrintPerFileSteps(typical);
    PrintPerFileSteps(side); // a folder of the many-folders run
    ::OleUninitialize();
    return 0;
}
