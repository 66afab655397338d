// CRenamerDlg: the main window. On the left the current folder's path above the
// folder tree; on the right the option pages in a tab control above the list
// of the folder's files; the progress strip at the bottom left during a run.
// It also carries the run itself (StartRun, RenameFolder, CountFiles).
#pragma once

#include "AboutDlg.h"
#include "BeginnerPage.h"
#include "ExpertPage.h"

#include "controls/ProgressStrip.h"
#include "foldertree/ProgressFolderTree.h"
#include "layout/LayoutDialog.h"
#include "rename/NewNamePreview.h"

#include "platform/CommonControls.h"

#include <memory>
#include <string>
#include <unordered_set>

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
    HBITMAP m_pSkinBitmap = nullptr; // owned
    int m_nCollisionCount = 0;
    std::unique_ptr<CProgressStrip> m_pProgress;

    void FillFileList();
    // Whether a run may start: a folder is chosen and the options make names.
    // Says what is wrong when not.
    bool CheckRunInputs();
    void StartRun();
    void RenameFolder(const std::string& folder);
    int CountFiles(const std::string& pattern);

    // A run is under way: a second Start or Back waits for it to end.
    bool IsRunning() const { return m_bRunning; }
    // The last run ended early on a refusal or a failed rename.
    bool LastRunStopped() const { return m_bLastRunStopped; }
    // Whether a file's current path was made by the run under way.
    bool WasRenamedInRun(const std::string& path) const;
    void NoteRenamedInRun(const std::string& newPath);

    // The options of either page changed: the "New name" column comes, goes
    // or follows, as the Expert page's option says.
    void OnOptionsChanged();

    BOOL OnInitDialog() override;
    // Closing during a run waits for the current file, then offers to undo the run.
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnClickTab(NMHDR* pNMHDR, LRESULT* pResult);
    void OnFolderSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
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
    bool m_bLastRunStopped = false;
    int m_nRunRenamed = 0;
    int m_nRunLeftAlone = 0;
    std::unordered_set<std::wstring> m_runRenamed; // upper-cased new paths of the run
    bool m_bNewNamesShown = false;
    CNewNamePreview m_preview{m_listFiles, [this] { return m_pageBeginner.ReadOptions(); }};

    bool StopRequested() const { return m_bCloseRequested || IsEnding(); }
    void RenameOneFile(const std::string& path);
    void RenameFolderIn(const std::string& folder, CFolderVisits& visits);
    int CountFilesIn(const std::string& folder, CFolderVisits& visits);
    void ReportStoppedRun(const CException& e);
    void UndoAndClose(int total);
    void ShowNewNames(bool bShow);
    // The item's "New name" is asked for when it is shown.
    void SetNewNameCallback(int nItem);
};
