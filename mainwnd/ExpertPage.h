// The second option page: a notice, and below it the expert options, which are
// made only when the page is first shown, so that their texts enter a language
// file only once someone has looked at them.
//
// Classes in this file: CExpertOptions, CExpertPage.
#pragma once

#include "platform/Dialog.h"

#include <string>

struct RenameOptions;

// The expert options on a template of their own, laid over the lower part of
// the Expert page. Their state is read from the controls whenever it is used.
class CExpertOptions : public CDialog {
public:
    enum { IDD = 140 };
    CExpertOptions() : CDialog(IDD) {}

    int m_bUsePhotoDate = 0;
    int m_bShowNewNames = 0;
    int m_bKeepRelated = 0;
    int m_bUsePattern = 0;
    std::string m_strPattern; // UTF-8
    std::string m_strTimeShift;
    int m_bDateOrder = 0;
    int m_bLowerCaseExtensions = 0;

    BOOL OnInitDialog() override;
    void OnOK() override {}     // Enter on the Expert page does nothing
    void OnCancel() override {} // nor does Escape

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOptionClicked();
    void OnUsePattern();
    DECLARE_MESSAGE_MAP()
};

class CExpertPage : public CDialog {
public:
    enum { IDD = 130 };
    CExpertPage() : CDialog(IDD) {}

    CExpertOptions m_options; // a window from the page's first showing on

    // The options as their check boxes show them now; off before the page was opened.
    bool UsesPhotoDate();
    bool ShowsNewNames();
    bool KeepsRelatedTogether();
    // The pattern, the time shift, the date order and the extensions' case as
    // the controls show them now; off and empty before the page was opened.
    void ReadNamingOptions(RenameOptions& o);

    BOOL OnInitDialog() override;
    void OnOK() override {}     // Enter on this page does nothing
    void OnCancel() override {} // nor does Escape

protected:
    // LRESULT OnShowWindow(WPARAM bShow, LPARAM nStatus): makes the options on the first showing.
    LRESULT OnShowWindow(WPARAM bShow, LPARAM nStatus);
    DECLARE_MESSAGE_MAP()
};
