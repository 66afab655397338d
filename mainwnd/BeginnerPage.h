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
#include <vector>

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

    // Renames the files of one group the run met (each file is one where
    // related files are not kept together), by the options as the controls
    // show them now, each if it is still the file met. Raises CException when
    // a file must not or cannot be renamed: the run stops, before the group
    // where a file of it refuses. Counts each file renamed or left alone as it goes.
    // number is the running number its names take; true where it renamed a file.
    bool RenameGroup(std::vector<RunFile>& files, const FileGroup& group, int number,
                     int& nRenamed, int& nLeftAlone);
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
    // Whether the run may still rename the file it met under that name; the
    // identity Back asks for.
    bool IsStillTheListedFile(RunFile& file, FileIdentity& identity);
    // The journal, then the rename, then the journal again.
    void Commit(RunFile& file, const std::string& newPath, const FileIdentity& identity);
};

// The product's homepage, the link's target.
extern const char* const kHomepageAddress;
