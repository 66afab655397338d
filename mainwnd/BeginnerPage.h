// CBeginnerPage: the option page with the rename options, the sample line, the
// Start and Back commands and the homepage link. It owns the options and the
// journal of the last run.
#pragma once

#include "controls/LinkStatic.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOptions.h"
#include "rename/RenamePlan.h"
#include "rename/RenameRun.h"

#include "platform/Dialog.h"

#include <string>

class CRenamerDlg;

class CBeginnerPage : public CDialog {
public:
    enum { IDD = 129 };
    CBeginnerPage() : CDialog(IDD) {}

    RenameOptions m_options;
    std::string m_strSample;
    RenameJournal m_journal;
    CLinkStatic m_linkHomepage;

    // Renames one file by the options as the controls show them now. Raises
    // CException when the file must not or cannot be renamed: the run stops.
    RenameOutcome RenameFile(std::string path);
    // The options as the controls of both pages show them now.
    const RenameOptions& ReadOptions();
    // Names as the disk answers for them, for the run's decisions.
    static const NameRules& DiskNameRules();
    // Gives the files of the journal not yet restored their old names again,
    // as many as can be; then says what it did (ReportRestore).
    RestoreResult RestoreNames();
    void ReportRestore(const RestoreResult& result) const;
    void UpdateSample();
    // Whether Start refuses the options as they were last read (BadText,
    // Reserved), before any file; Rename when it goes ahead.
    RenameVerdict StartRefusal() const;

    BOOL OnInitDialog() override;
    void OnOK() override;     // Start
    void OnCancel() override; // Escape on the page: the page stays
    void OnBack();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnReplace();
    void OnAdd();
    DECLARE_MESSAGE_MAP()

private:
    CRenamerDlg* MainWindow() const;
};

// The product's homepage, the link's target.
extern const char* const kHomepageAddress;
