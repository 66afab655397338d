#include "Dialog.h"

#include "Dpi.h"
#include "WinApp.h"

namespace {
// The dialog manager calls this for what the object's map leaves to it; the
// object already saw every message first, so there is nothing left to do here.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

HWND CDialog::CreateFromTemplate(HWND hWndParent) {
    HINSTANCE hInst = ::GetModuleHandleA(nullptr);
    HRSRC hRes = ::FindResourceA(hInst, MAKEINTRESOURCEA(m_nIDTemplate), RT_DIALOG);
    HGLOBAL hTemplate = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    auto* tmpl = hTemplate ? static_cast<LPCDLGTEMPLATEW>(::LockResource(hTemplate)) : nullptr;
    if (!tmpl)
        return nullptr;
    HookWindowCreate(this);
    // The wide call makes the controls Unicode windows: an edit box's limit then
    // counts characters, where an ANSI one would count bytes of UTF-8.
    HWND hWnd = ::CreateDialogIndirectParamW(hInst, tmpl, hWndParent, &AfxDlgProc, 0);
    UnhookWindowCreate();
    const bool laidIntoParent = hWndParent && !m_bModal;
    if (hWnd && (laidIntoParent || FollowsDpiItself()))
        DisableDialogDpiScaling(hWnd);
    if (!hWnd && m_hWnd)
        Detach();
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd) {
    m_nIDTemplate = nIDTemplate;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(pParentWnd ? pParentWnd->m_hWnd : nullptr) != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND hParent = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    bool reenableParent = hParent && ::IsWindowEnabled(hParent);
    if (reenableParent)
        ::EnableWindow(hParent, FALSE);

    m_bModal = true;
    m_bEndModal = false;
    m_nModalResult = -1;
    if (CreateFromTemplate(hParent)) {
        if (!::IsWindowVisible(m_hWnd))
            ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        CWinApp* app = AfxGetApp();
        while (!m_bEndModal && m_hWnd) {
            BOOL more = app ? app->PumpMessage() : FALSE;
            if (!more) {
                ::PostQuitMessage(0);
                break;
            }
        }
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    m_bModal = false;
    if (reenableParent) {
        ::EnableWindow(hParent, TRUE);
        ::SetActiveWindow(hParent);
    }
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_bModal) {
        m_bEndModal = true;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0); // wakes the modal loop
    } else if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_HIDE);
    }
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(TRUE);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    // A dialog laid into another window (DS_CONTROL) leaves the keys to the
    // window it sits in: one dialog manager walks the controls of all of them,
    // where one per dialog would circle each page's controls on their own.
    if (GetStyle() & WS_CHILD)
        return FALSE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST)
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}
