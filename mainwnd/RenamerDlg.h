// The main window: the folder tree and path on the left, the option pages and
// the file list on the right.
#pragma once

#include "platform/Dialog.h"

class CRenamerDlg : public CDialog {
public:
    enum { IDD = 102 };
    CRenamerDlg() : CDialog(IDD) {}

protected:
    BOOL OnInitDialog() override;
};
