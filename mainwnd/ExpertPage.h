// CExpertPage: the second option page, a notice that expert features are coming.
#pragma once

#include "platform/Dialog.h"

class CExpertPage : public CDialog {
public:
    enum { IDD = 130 };
    CExpertPage() : CDialog(IDD) {}

    BOOL OnInitDialog() override;
    void OnOK() override {}     // Enter on this page does nothing
    void OnCancel() override {} // nor does Escape
};
