#include "DataExchange.h"

#include <vector>

HWND CDataExchange::PrepareCtrl(int nIDC) {
    m_hWndLastControl = m_pDlgWnd->GetDlgItemHwnd(nIDC);
    return m_hWndLastControl;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd)
        return;
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (hCtrl)
        rControl.SubclassWindow(hCtrl);
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (!hCtrl)
        return;
    int len = ::GetWindowTextLengthA(hCtrl);
    std::vector<char> buf(static_cast<size_t>(len) + 1, '\0');
    int got = ::GetWindowTextA(hCtrl, buf.data(), len + 1);
    std::string current(buf.data(), static_cast<size_t>(got > 0 ? got : 0));
    if (pDX->m_bSaveAndValidate)
        value = current;
    else if (current != value)
        ::SetWindowTextA(hCtrl, value.c_str());
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    HWND hCtrl = pDX->PrepareCtrl(nIDC);
    if (!hCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDV_MaxChars(CDataExchange* pDX, const std::string&, int nChars) {
    if (!pDX->m_bSaveAndValidate && pDX->m_hWndLastControl)
        ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
}
