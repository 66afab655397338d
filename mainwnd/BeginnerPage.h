// CBeginnerPage: the option page with the rename options, the sample line, the
// Start and Back commands and the homepage link. It owns the options and the
// journal of the last run.
#pragma once

#include "controls/LinkStatic.h"
#include "rename/JournalFile.h"
#include "rename/RenameJournal.h"
#include "rename/RenameOptions.h"
#include "rename/RenamePlan.h"
#include "rename/RenameRun.h"

#include "platform/Dialog.h"

#include <functional>
#include <string>

class CRenamerDlg;

class CBeginnerPage : public CDialog {
public:
    enum { IDD = 129 };
    CBeginnerPage() : CDialog(IDD) {}

    RenameOptions m_options;
    std::string m_strSample;
    RenameJournal m_journal;
    CJournalFile m_journalFile; // the journal on disk
    CLinkStatic m_linkHomepage;

    // Renames one file the run met, by the options as the controls show them
    // now, if it is still the file met. Raises CException when the file must
    // not or cannot be renamed: the run stops.
    RenameOutcome RenameFile(RunFile& file);
    // The options as the controls of both pages show them now.
    const RenameOptions& ReadOptions();
    // Names as the disk answers for them, for the run's decisions.
    static const NameRules& DiskNameRules();
    // Gives the files of the journal not yet restored their old names again,
    // as many as can be. step hears the entries done of the total after each
    // and stops Back with false.
    RestoreResult RestoreNames(const std::function<bool(size_t, size_t)>& step);
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
