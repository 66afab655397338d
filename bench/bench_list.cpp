// Choosing a folder of 100,000 files until the file list holds them all: the
// real main window's FillFileList against the floor, a bare FindFirstFile loop
// that inserts the same names into a list view of the same styles with
// redrawing off. Both run in this process on the same fresh folder per round.
//
// Then typing a prefix in that folder with the new names shown: from the
// keystroke to the list repainted, against the same keystroke and repaint
// with the one column of names.
//
// Then, in folders of copies of a real camera JPEG with the new names shown:
// how long the window goes without answering while the user scrolls to the
// end of 100,000 files and the column's worker reads their dates, and how
// long until the last row's name is known; the same with the camera dates off;
// and in a folder of 10,000 files, the first showing of the column, from the
// click until the list is painted and until every visible row is filled.
//
// Usage: bench_list [--quick] [--rounds N] [--only typing]
#include "BenchSupport.h"

#include "app/AppPaths.h"
#include "mainwnd/RenamerDlg.h"

#include "res/resource.h"

#include "platform/FileFind.h"
#include "platform/WinApp.h"

#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// A list view like the main window's, on a bare window of its own whose
// notifications go straight to DefWindowProc.
class CFloorList {
public:
    CFloorList() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "TessivoxBenchFloor";
        ::RegisterClassA(&wc); // fails harmlessly once registered
        m_hHost = ::CreateWindowExA(0, wc.lpszClassName, "floor", WS_POPUP | WS_VISIBLE, 0, 0, 400,
                                    300, nullptr, nullptr, wc.hInstance, nullptr);
        m_hList = ::CreateWindowExA(
            0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
            0, 0, 330, 85, m_hHost, nullptr, nullptr, nullptr);
        LVCOLUMNA col = {};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 200;
        col.pszText = const_cast<char*>("File List");
        ::SendMessageA(m_hList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&col));
    }
    ~CFloorList() { ::DestroyWindow(m_hHost); }
    CFloorList(const CFloorList&) = delete;
    CFloorList& operator=(const CFloorList&) = delete;

    HWND List() const { return m_hList; }

    int Fill(const std::string& folder) {
        ::SendMessageA(m_hList, WM_SETREDRAW, FALSE, 0);
        int index = 0;
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN))
                    continue;
                LVITEMA item = {};
                item.mask = LVIF_TEXT;
                item.iItem = index++;
                item.pszText = fd.cFileName;
                ::SendMessageA(m_hList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
            } while (::FindNextFileA(h, &fd));
            ::FindClose(h);
        }
        ::SendMessageA(m_hList, WM_SETREDRAW, TRUE, 0);
        return static_cast<int>(::SendMessageA(m_hList, LVM_GETITEMCOUNT, 0, 0));
    }

private:
    HWND m_hHost = nullptr;
    HWND m_hList = nullptr;
};

// Each round's folder: camera names, one hidden file and one subfolder, which
// neither list shows.
std::string MakeFolder(int files) {
    std::string folder = MakeScratchFolder("tessivox-bench-list");
    MakeEmptyFiles(folder, CameraNames(files));
    std::string hidden = folder + "\\Thumbs.db";
    MakeEmptyFiles(folder, {"Thumbs.db"});
    ::SetFileAttributesA(hidden.c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::CreateDirectoryA((folder + "\\Originals").c_str(), nullptr);
    return folder;
}

// A folder is chosen in an idle window: what a new window has to do first is done.
void PumpWaiting(CWinApp& app) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        app.PumpMessage();
}

std::vector<std::string> ListedNames(const std::string& folder) {
    std::vector<std::string> names;
    CFileFind finder;
    BOOL more = finder.FindFile(JoinPath(folder, "*.*"));
    while (more) {
        more = finder.FindNextFile();
        if (!finder.IsDots() && !finder.IsDirectory() && !finder.MatchesMask(FILE_ATTRIBUTE_HIDDEN))
            names.push_back(finder.GetFileName());
    }
    return names;
}

void InsertNames(HWND list, const std::vector<std::string>& names) {
    ::SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < names.size(); ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<char*>(names[i].c_str());
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    ::SendMessageA(list, WM_SETREDRAW, TRUE, 0);
}

// Where the time of a fill goes: the enumeration, bare and through CFileFind,
// and the insertion of the same names into a bare list view and into the main
// window's list, whose notifications pass through the window's message map.
void PrintBreakdown(CWinApp& app, const std::string& folder) {
    double t0 = Seconds();
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    int bare = 0;
    if (h != INVALID_HANDLE_VALUE) {
        do
            ++bare;
        while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    double t1 = Seconds();
    std::vector<std::string> names = ListedNames(folder);
    double t2 = Seconds();
    double bareInsert = 0, windowInsert = 0;
    {
        CFloorList list;
        double s = Seconds();
        InsertNames(list.List(), names);
        bareInsert = Seconds() - s;
    }
    {
        CRenamerDlg dlg;
        app.m_pMainWnd = &dlg;
        dlg.Create(CRenamerDlg::IDD, nullptr);
        dlg.ShowWindow(SW_SHOW);
        PumpWaiting(app);
        double s = Seconds();
        InsertNames(dlg.m_listFiles.m_hWnd, names);
        windowInsert = Seconds() - s;
        dlg.DestroyWindow();
        app.m_pMainWnd = nullptr;
    }
    std::printf("  where the time goes, one pass each over %d entries:\n", bare);
    std::printf("    bare FindFirstFile loop:                 %.3f s\n", t1 - t0);
    std::printf("    CFileFind loop with GetFileName:         %.3f s\n", t2 - t1);
    std::printf("    LVM_INSERTITEM into a bare list view:    %.3f s\n", bareInsert);
    std::printf("    LVM_INSERTITEM into the main window's list: %.3f s\n", windowInsert);
}

// "(reading dates...)" or "(reading...)": the worker has not read the file yet.
bool StillReading(const std::string& text) {
    return text.rfind("(reading", 0) == 0;
}

// A main window shown on a folder, its list filled; it goes with the object.
class CFolderWindow {
public:
    CFolderWindow(CWinApp& app, const std::string& folder) : m_app(app) {
        m_app.m_pMainWnd = &m_dlg;
        m_dlg.Create(CRenamerDlg::IDD, nullptr);
        m_dlg.ShowWindow(SW_SHOW);
        PumpWaiting(app);
        m_dlg.m_strFolderPath = folder;
        m_dlg.FillFileList();
    }
    ~CFolderWindow() {
        m_dlg.DestroyWindow();
        m_app.m_pMainWnd = nullptr;
    }
    CFolderWindow(const CFolderWindow&) = delete;
    CFolderWindow& operator=(const CFolderWindow&) = delete;

protected:
    CWinApp& m_app;
    CRenamerDlg m_dlg;

    static void Click(HWND dialog, int id) {
        ::SendMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    }
};

// A main window on a folder, ready to type a prefix, with the new names shown or not.
class CTypingWindow : public CFolderWindow {
public:
    CTypingWindow(CWinApp& app, const std::string& folder, bool newNames)
        : CFolderWindow(app, folder) {
        Click(m_dlg.m_pageBeginner.m_hWnd, IDC_ADD_PREFIX);
        double t0 = Seconds();
        if (newNames) {
            m_dlg.m_pageExpert.ShowWindow(SW_SHOW);
            Click(m_dlg.m_pageExpert.m_options.m_hWnd, IDC_SHOW_NEW_NAMES);
            m_dlg.m_pageExpert.ShowWindow(SW_HIDE);
        }
        ::UpdateWindow(m_dlg.m_listFiles.m_hWnd);
        m_showing = Seconds() - t0;
        PumpWaiting(app);
    }
    // Seconds from the click on the option to the list shown with the column.
    double Showing() const { return m_showing; }
    // Seconds until the last row has its new name, the window's messages taken meanwhile.
    double UntilTheLastRowIsNamed() {
        const int last = m_dlg.m_listFiles.GetItemCount() - 1;
        const double t0 = Seconds();
        while (StillReading(m_dlg.m_listFiles.GetItemText(last, 1))) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpWaiting(m_app);
        }
        return Seconds() - t0;
    }
    void ScrollToTheEnd() {
        m_dlg.m_listFiles.SendMessage(LVM_ENSUREVISIBLE, m_dlg.m_listFiles.GetItemCount() - 1,
                                      FALSE);
        ::UpdateWindow(m_dlg.m_listFiles.m_hWnd);
    }
    // Turns the name pattern on with text in it.
    void UsePattern(const char* pattern) {
        m_dlg.m_pageExpert.ShowWindow(SW_SHOW);
        HWND options = m_dlg.m_pageExpert.m_options.m_hWnd;
        Click(options, IDC_USE_PATTERN);
        ::SetWindowTextA(::GetDlgItem(options, IDC_PATTERN), pattern);
        m_dlg.m_pageExpert.ShowWindow(SW_HIDE);
        PumpWaiting(m_app);
    }
    // Seconds from a keystroke in the prefix box (or the pattern's) until the
    // row has its new name, the window's messages taken meanwhile; then the
    // keystroke is taken back.
    double KeystrokeUntilNamed(bool inPattern, int row) {
        m_app.m_pMainWnd = &m_dlg;
        HWND edit = inPattern ? ::GetDlgItem(m_dlg.m_pageExpert.m_options.m_hWnd, IDC_PATTERN)
                              : ::GetDlgItem(m_dlg.m_pageBeginner.m_hWnd, IDC_PREFIX);
        m_dlg.m_listFiles.SendMessage(LVM_ENSUREVISIBLE, row, FALSE);
        ::UpdateWindow(m_dlg.m_listFiles.m_hWnd);
        const double t0 = Seconds();
        ::SendMessageA(edit, WM_CHAR, 'x', 0);
        ::UpdateWindow(m_dlg.m_listFiles.m_hWnd);
        while (StillReading(m_dlg.m_listFiles.GetItemText(row, 1))) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpWaiting(m_app);
        }
        const double took = Seconds() - t0;
        ::SendMessageA(edit, WM_CHAR, VK_BACK, 0);
        UntilRowIsNamed(row);
        return took;
    }
    void UntilRowIsNamed(int row) {
        while (StillReading(m_dlg.m_listFiles.GetItemText(row, 1))) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            PumpWaiting(m_app);
        }
    }
    // Types count characters (at most 40), each until the list is repainted,
    // then empties the prefix; what one keystroke took.
    Timing Type(int count) {
        m_app.m_pMainWnd = &m_dlg;
        HWND edit = ::GetDlgItem(m_dlg.m_pageBeginner.m_hWnd, IDC_PREFIX);
        HWND list = m_dlg.m_listFiles.m_hWnd;
        Timing t0 = Now();
        for (int i = 0; i < count; ++i) {
            ::SendMessageA(edit, WM_CHAR, 'a' + i % 26, 0);
            ::InvalidateRect(list, nullptr, FALSE); // the one-column list repaints as well
            ::UpdateWindow(list);
        }
        Timing took = Now() - t0;
        ::SetWindowTextA(edit, "");
        ::UpdateWindow(list);
        return {took.wall / count, took.cpu / count};
    }

private:
    double m_showing = 0;
};

void BenchTyping(CWinApp& app, const std::string& folder, const BenchArgs& args, int files) {
    CTypingWindow plain(app, folder, false);
    CTypingWindow shown(app, folder, true);
    std::printf("showing the new names: %.3f s, the folder read once\n", shown.Showing());
    constexpr int kKeys = 20;
    CompareRounds(
        "a keystroke in the prefix until the list of " + std::to_string(files) +
            " files is repainted, new names shown",
        args, [&] { return plain.Type(kKeys); }, [&] { return shown.Type(kKeys); }, 2.0);
    shown.ScrollToTheEnd();
    plain.ScrollToTheEnd();
    Timing end = shown.Type(kKeys), endPlain = plain.Type(kKeys);
    std::printf("  scrolled to the last file, where every file before it is decided: %.4f s a "
                "keystroke (one column: %.4f s)\n",
                end.wall, endPlain.wall);
    const double read = shown.UntilTheLastRowIsNamed();
    shown.Type(1);
    std::printf("  there, with every file read (after %.1f s), a keystroke and its undoing until "
                "the last row has its name again: %.3f s\n",
                read, shown.UntilTheLastRowIsNamed());
    // One keystroke until the row on show has its name, at the top and at the
    // end of the list, by the classic composition and by a pattern with a number.
    const int last = files - 1;
    for (bool inPattern : {false, true}) {
        if (inPattern)
            shown.UsePattern("<name> <nnn>");
        std::vector<double> top, end;
        for (int round = 0; round < std::max(args.rounds, 3); ++round) {
            top.push_back(shown.KeystrokeUntilNamed(inPattern, 0));
            end.push_back(shown.KeystrokeUntilNamed(inPattern, last));
        }
        const char* how = inPattern ? "in the pattern \"<name> <nnn>\"" : "in the prefix";
        std::printf("RESULT | a keystroke %s until the row on show is named, at the top of %d "
                    "files | - | %.3f s | - | - | <= 0.1 s |\n",
                    how, files, Median(top));
        std::printf("RESULT | the same at the end of the list | - | %.3f s | - | - | <= 0.1 s |\n",
                    Median(end));
    }
}

// Whether the window answers, watched from another thread: a WM_NULL sent every
// 10 ms and timed until the window has taken it, as a user's click would wait.
class CAnswerWatch {
public:
    explicit CAnswerWatch(HWND hWnd) : m_hWnd(hWnd), m_t0(Seconds()) {
        m_thread = std::thread([this] { Watch(); });
    }
    ~CAnswerWatch() { Stop(); }
    CAnswerWatch(const CAnswerWatch&) = delete;
    CAnswerWatch& operator=(const CAnswerWatch&) = delete;

    // Ends the watch; the window's messages are taken meanwhile, so that the
    // last WM_NULL is answered.
    void Stop() {
        m_bStop.store(true);
        while (!m_bFinished.load()) {
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            ::Sleep(1);
        }
        if (m_thread.joinable())
            m_thread.join();
    }
    // Seconds the longest WM_NULL waited, and when it was sent after the watch began.
    double Longest() const { return m_longest; }
    double LongestAt() const { return m_longestAt; }
    // How many waited longer than the 100 ms the window must answer within.
    int Late() const { return m_nLate; }

private:
    HWND m_hWnd;
    double m_t0;
    double m_longest = 0;
    double m_longestAt = 0;
    int m_nLate = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bFinished{false};
    std::thread m_thread;

    void Watch() {
        while (!m_bStop.load()) {
            double sent = Seconds();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
            double waited = Seconds() - sent;
            if (waited > m_longest) {
                m_longest = waited;
                m_longestAt = sent - m_t0;
            }
            if (waited > 0.1)
                ++m_nLate;
            ::Sleep(10);
        }
        m_bFinished.store(true);
    }
};

// The window's messages taken as its message loop takes them, until done() or
// for limit seconds; whether done() came.
template <typename Done> bool PumpUntil(CWinApp& app, Done done, double limit) {
    double t0 = Seconds();
    while (!done()) {
        if (Seconds() - t0 > limit)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpWaiting(app);
    }
    return true;
}

// The smallest JPEG of the camera files, which makes a large folder quickest.
CameraFile SmallestJpeg() {
    std::vector<CameraFile> jpegs;
    for (CameraFile& file : CameraFiles(64 * 1024)) {
        std::string extension = Extension(file.name);
        if (extension == ".jpg" || extension == ".JPG")
            jpegs.push_back(std::move(file));
    }
    return *std::min_element(
        jpegs.begin(), jpegs.end(),
        [](const CameraFile& a, const CameraFile& b) { return a.bytes.size() < b.bytes.size(); });
}

std::string MakeCameraFolder(const CameraFile& jpeg, int files) {
    std::string folder = MakeScratchFolder("tessivox-bench-camera");
    double t0 = Seconds();
    MakeFiles(folder, CameraNames(files), {jpeg.bytes});
    std::printf("a folder of %d copies of %s (%zu bytes) made in %.1f s\n", files,
                jpeg.name.c_str(), jpeg.bytes.size(), Seconds() - t0);
    return folder;
}

// A main window on a folder with the Expert page open, "Use the date the photo
// was taken" on or off, for the new names to be shown.
class CPreviewWindow : public CFolderWindow {
public:
    CPreviewWindow(CWinApp& app, const std::string& folder, bool dates)
        : CFolderWindow(app, folder) {
        m_dlg.m_pageExpert.ShowWindow(SW_SHOW);
        if (dates)
            ClickOption(IDC_USE_PHOTO_DATE);
        PumpWaiting(app);
    }

    HWND Window() const { return m_dlg.m_hWnd; }
    CListCtrl& List() { return m_dlg.m_listFiles; }
    // The click on "Show new names" until the list is painted.
    void ShowNewNames() {
        ClickOption(IDC_SHOW_NEW_NAMES);
        ::UpdateWindow(List().m_hWnd);
    }
    // Whether every row on show has its new name.
    bool VisibleRowsFilled() {
        int top = static_cast<int>(List().SendMessage(LVM_GETTOPINDEX));
        int end = std::min(top + static_cast<int>(List().SendMessage(LVM_GETCOUNTPERPAGE)),
                           List().GetItemCount());
        for (int i = top; i < end; ++i)
            if (StillReading(List().GetItemText(i, 1)))
                return false;
        return true;
    }

private:
    void ClickOption(int id) { Click(m_dlg.m_pageExpert.m_options.m_hWnd, id); }
};

// One figure over the rounds, with its line for the table (it has no floor).
void PrintFigure(const std::string& work, const std::vector<double>& seconds, const char* goal) {
    std::printf("  %s:", work.c_str());
    for (double s : seconds)
        std::printf(" %.3f", s);
    std::printf("   min %.3f s  median %.3f s\n", *std::min_element(seconds.begin(), seconds.end()),
                Median(seconds));
    std::printf("RESULT | %s | - | %.3f s | - | - | %s |\n", work.c_str(), Median(seconds), goal);
}

constexpr double kWaitLimit = 1800; // seconds for the worker to read a folder

// The new names shown, then the list scrolled to its end: how long the window
// goes without answering, and when the last row's name is known.
void BenchScrollToTheEnd(CWinApp& app, const BenchArgs& args, const CameraFile& jpeg, int files) {
    std::string folder = MakeCameraFolder(jpeg, files);
    std::printf("the new names shown, then the list scrolled to its end: %d rounds\n", args.rounds);
    struct Side {
        bool dates;
        const char* label;
        std::vector<double> showing, scrolling, lastKnown;
    };
    Side sides[] = {{true, "camera dates on", {}, {}, {}}, {false, "camera dates off", {}, {}, {}}};
    for (int round = 0; round < args.rounds; ++round) {
        for (int n = 0; n < 2; ++n) {
            // Alternating the order spreads a warm cache over both sides.
            Side& side = sides[(n + round) % 2];
            CPreviewWindow window(app, folder, side.dates);
            {
                CAnswerWatch watch(window.Window());
                window.ShowNewNames();
                PumpWaiting(app);
                watch.Stop();
                side.showing.push_back(watch.Longest());
            }
            CAnswerWatch watch(window.Window());
            int last = window.List().GetItemCount() - 1;
            double t0 = Seconds();
            ::PostMessageA(window.List().m_hWnd, LVM_ENSUREVISIBLE, last, FALSE);
            bool known = PumpUntil(
                app, [&] { return !StillReading(window.List().GetItemText(last, 1)); }, kWaitLimit);
            side.lastKnown.push_back(Seconds() - t0);
            watch.Stop();
            side.scrolling.push_back(watch.Longest());
            std::printf("  %s, round %d: showing the column, the window silent for %.3f s; "
                        "scrolling, the longest %.3f s at %.1f s, %d times over 0.1 s; "
                        "the last row's name %s after %.1f s\n",
                        side.label, round + 1, side.showing.back(), watch.Longest(),
                        watch.LongestAt(), watch.Late(), known ? "known" : "still not known",
                        side.lastKnown.back());
        }
    }
    std::string list = "the list of " + std::to_string(files) + " camera files";
    for (const Side& side : sides) {
        PrintFigure("the longest the window did not answer while " + list +
                        " was scrolled to its end, " + side.label,
                    side.scrolling, "<= 0.1 s");
        PrintFigure("from the scroll to the end of " + list +
                        " until the last row's name was "
                        "known, " +
                        side.label,
                    side.lastKnown, "-");
        PrintFigure("the longest the window did not answer when the new names of " + list +
                        " were first shown, " + side.label,
                    side.showing, "<= 0.1 s");
    }
    std::fflush(stdout);
    RemoveTree(folder);
}

// The first showing of the new names with the camera dates on: from the click
// until the list is painted, and until every row on show has its name.
void BenchFirstShowing(CWinApp& app, const BenchArgs& args, const CameraFile& jpeg, int files) {
    std::string folder = MakeCameraFolder(jpeg, files);
    std::printf("the first showing of the new names, camera dates on: %d rounds\n", args.rounds);
    std::vector<double> painted, filled, silent;
    for (int round = 0; round < args.rounds; ++round) {
        CPreviewWindow window(app, folder, true);
        CAnswerWatch watch(window.Window());
        double t0 = Seconds();
        window.ShowNewNames();
        painted.push_back(Seconds() - t0);
        PumpUntil(
            app, [&] { return window.VisibleRowsFilled(); }, kWaitLimit);
        filled.push_back(Seconds() - t0);
        watch.Stop();
        silent.push_back(watch.Longest());
    }
    std::string list = "the list of " + std::to_string(files) + " camera files";
    PrintFigure("from the click on \"Show new names\" until " + list +
                    " is painted, camera dates on",
                painted, "-");
    PrintFigure("from the same click until every row on show has its new name", filled, "-");
    PrintFigure("the longest the window did not answer meanwhile", silent, "<= 0.1 s");
    std::fflush(stdout);
    RemoveTree(folder);
}

void Check(const char* side, int listed, int files) {
    if (listed != files)
        std::printf("  %s listed %d of %d files\n", side, listed, files);
}

} // namespace

int main(int argc, char** argv) {
    BenchArgs args = ParseBenchArgs(argc, argv);
    int files = args.quick ? 10000 : 100000;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_TAB_CLASSES |
                                                 ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    ::OleInitialize(nullptr);
    CWinApp app("tessivox");
    std::string program = MakeScratchFolder("tessivox-bench-program");
    ::CreateDirectoryA((program + "\\Languages").c_str(), nullptr);
    g_strLanguageFile = program + "\\Languages\\English.ini";
    ::WritePrivateProfileStringA("Setting", "Language", "English", g_strLanguageFile.c_str());

    if (args.only == "typing") {
        const std::string typed = MakeFolder(files);
        BenchTyping(app, typed, args, files);
        RemoveTree(typed);
        RemoveTree(program);
        ::OleUninitialize();
        return 0;
    }
    // The floor and the product of a round share its folder; the round's first
    // side pays for reading it cold, and the sides take turns going first.
    std::string folder;
    bool floorDone = true, productDone = true;
    auto nextFolder = [&]() {
        if (floorDone && productDone) {
            if (!folder.empty())
                RemoveTree(folder);
            folder = MakeFolder(files);
            floorDone = productDone = false;
        }
    };
    auto floor = [&]() {
        nextFolder();
        CFloorList list;
        PumpWaiting(app);
        Timing t0 = Now();
        int listed = list.Fill(folder);
        Timing took = Now() - t0;
        Check("floor", listed, files);
        floorDone = true;
        return took;
    };
    auto product = [&]() {
        nextFolder();
        CRenamerDlg dlg;
        app.m_pMainWnd = &dlg;
        dlg.Create(CRenamerDlg::IDD, nullptr);
        dlg.ShowWindow(SW_SHOW);
        PumpWaiting(app);
        dlg.m_strFolderPath = folder;
        Timing t0 = Now();
        dlg.FillFileList();
        Timing took = Now() - t0;
        Check("Tessivox", dlg.m_listFiles.GetItemCount(), files);
        dlg.DestroyWindow();
        app.m_pMainWnd = nullptr;
        productDone = true;
        return took;
    };
    CompareRounds("choosing a folder of " + std::to_string(files) +
                      " files until the list holds them all",
                  args, floor, product, 1.2);
    PrintBreakdown(app, folder);
    BenchTyping(app, folder, args, files);
    RemoveTree(folder);
    CameraFile jpeg = SmallestJpeg();
    BenchScrollToTheEnd(app, args, jpeg, files);
    BenchFirstShowing(app, args, jpeg, 10000);
    RemoveTree(program);
    ::OleUninitialize();
    return 0;
}
