// CRenamerDlg: the main window. On the left the current folder's path above the
// folder tree; on the right the option pages in a tab control above the list
// of the folder's files; the progress strip at the bottom left during a run.
// It also carries the run itself (StartRun, PlanRun, CountFiles) and Back (UndoRun).
#pragma once

#include "AboutDlg.h"
#include "BeginnerPage.h"
#include "ExpertPage.h"

#include "controls/ProgressStrip.h"
#include "foldertree/ProgressFolderTree.h"
#include "layout/LayoutDialog.h"
#include "rename/JournalRecord.h"
#include "rename/NewNamePreview.h"
#include "rename/RenameRun.h"

#include "platform/CommonControls.h"
#include "platform/KnownFolders.h"
#include "platform/TaskbarProgress.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CRenamerDlg : public CLayoutDialog {
public:
    enum { IDD = 102 };
    CRenamerDlg();
    ~CRenamerDlg() override;

    CBeginnerPage m_pageBeginner;
    CExpertPage m_pageExpert;
    CWnd m_stcProgressFrame;
    CListCtrl m_listFiles;
    CTabCtrl m_tabPages;
    CProgressFolderTree m_tree;
    std::string m_strFolderPath;
    HICON m_hIcon = nullptr;         // shared resource icon
    HICON m_hSmallIcon = nullptr;    // owned: the title bar's, at the window's DPI
    HBITMAP m_pSkinBitmap = nullptr; // owned
    int m_nCollisionCount = 0;
    std::unique_ptr<CProgressStrip> m_pProgress;
    // The run's progress on the taskbar button too, as the strip shows it.
    std::unique_ptr<CTaskbarProgress> m_pTaskbar;
    // Paths given on the command line, chosen once the window shows.
    std::vector<std::string> m_startPaths;
    // The folders a whole-folder run asks about before it renames anything
    // (the system's own, unless a test names others).
    KnownFolders m_knownFolders;

    void FillFileList();
    // Back without its question: every file of the journal not yet restored
    // gets its old name again, with the strip; then it says what it did.
    void UndoRun();
    // Chooses the folder a path names as if it were clicked in the tree; a
    // file stands for its folder, and it is selected in the list with the
    // other files given there. A path that is no folder on a disk gets a
    // message and changes nothing.
    bool OpenPaths(const std::vector<std::string>& paths);
    // Whether a run may start: a folder is chosen and the options make names.
    // Says what is wrong when not.
    bool CheckRunInputs();
    void StartRun();
    // The number of files a whole-folder run over the pattern's folder meets.
    int CountFiles(const std::string& pattern);

    // A run or a Back is under way: a second Start or Back waits for it to end.
    bool IsRunning() const { return m_bRunning; }

    // The options of either page changed: the "New name" column comes, goes
    // or follows, as the Expert page's option says.
    void OnOptionsChanged();

    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // Neither Enter nor Escape ends the program: the window has no OK or Cancel.
    void OnOK() override {}
    void OnCancel() override {}

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // The close button, Alt+F4 and the system menu. Closing during a run waits
    // for the current file, then offers to undo the run.
    void OnClose();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClickTab(NMHDR* pNMHDR, LRESULT* pResult);
    void OnFolderSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnDropFiles(HDROP hDropInfo);
    BOOL OnQueryEndSession();
    void OnEndSession(BOOL bEnding);
    // LRESULT OnOpenJournal(WPARAM, LPARAM): the last run's journal, once the window shows.
    LRESULT OnOpenJournal(WPARAM, LPARAM);
    // What the window sizes itself follows a new DPI: the pages under the tab
    // headers, the list's columns, the strip's skin, the title bar's icon.
    void OnDpiChanged(UINT nOldDpi, UINT nNewDpi) override;
    // LRESULT OnOpenStartPaths(WPARAM, LPARAM): the command line's paths, once the window shows.
    LRESULT OnOpenStartPaths(WPARAM, LPARAM);
    // The worker of the "New name" column has read more of the files.
    LRESULT OnFileFactsRead(WPARAM, LPARAM);
    // The next items of the list get their "New name" slot, a share at a time.
    LRESULT OnSetNewNameSlots(WPARAM, LPARAM);
    void OnDestroy();
    // The list's notifications that the "New name" column follows.
    void OnListGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListInsertItem(NMHDR* pNMHDR, LRESULT* pResult);
    void OnListDeleteAllItems(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    // The run's bookkeeping, set up at its start and dropped at its end, also
    // when a failed rename ends it early.
    class CRunScope;
    // Folders a walk has entered, by identity, so that no folder is walked twice.
    class CFolderVisits;
    bool m_bRunning = false;
    bool m_bCloseRequested = false;
    bool m_bSessionEnding = false;
    int m_nRunRenamed = 0;
    int m_nRunLeftAlone = 0;
    // Every name of each folder the run listed, for its plan.
    std::unordered_map<std::string, std::vector<std::string>> m_runListing;
    bool m_bNewNamesShown = false;
    int m_nNextNewNameSlot = -1; // the next item still without its "New name" slot
    CNewNamePreview m_preview{m_listFiles, [this] { return m_pageBeginner.ReadOptions(); }};

    bool StopRequested() const { return m_bCloseRequested || m_bSessionEnding || IsEnding(); }
    // Keys the window acts on before the dialog manager sees them; true when handled.
    bool OnKey(const MSG& msg);
    bool OnEnter(const MSG& msg);
    void SwitchPage(int nDelta);
    void ShowPage(int nPage);
    void PlacePages();
    // The icons the title bar and the taskbar show, at the window's DPI.
    void SetWindowIcons();
    // What screen readers call the controls whose window texts name them
    // poorly ("Tab1", "List1") or not at all.
    void NameControlsForScreenReaders();
    // The current folder read again from the disk, in the tree and in the list (F5).
    void RefreshFromDisk();
    void SelectListedFiles(const std::vector<std::string>& names);
    // A whole-folder run over a drive, a profile or the system asks first,
    // with the number of files; false when declined.
    bool ConfirmSweepingRun(const std::string& folder);
    // The files a run meets, in its order: the selected ones, or a folder's
    // files before those of its subfolders, depth first.
    std::vector<RunFile> CollectSelection(const std::string& folder);
    // Counts the files met, and with files, notes them.
    void CollectFolder(const std::string& folder, CFolderVisits& visits,
                       std::vector<RunFile>* files, size_t& count);
    // The new names the files get if nothing changes meanwhile, decided in
    // memory group by group, up to the group the run would stop before. In
    // date order it first puts each folder's groups in the order of their dates.
    std::vector<JournalEntry> PlanRun(std::vector<RunFile>& files, std::vector<FileGroup>& groups);
    // The plan on disk before the first rename; false when it cannot be and
    // the user would rather not rename without it.
    bool BeginJournal(const std::vector<JournalEntry>& plan);
    void StepStrip(size_t done, size_t total);
    // Back's work, with the strip; a close asked for meanwhile stops it after
    // the current file when bStoppable.
    RestoreResult RestoreWithProgress(bool bStoppable);
    void ReportStoppedRun(const CException& e);
    void UndoAndClose(int total);
    void ShowNewNames(bool bShow);
    // The item's "New name" is asked for when it is shown.
    void SetNewNameCallback(int nItem);
    void SetNewNameCallbacks(int nFrom, int nTo);
};
