#include "TaskbarProgress.h"

#include <utility>

CTaskbarProgress::CTaskbarProgress(HWND hWnd, Factory factory)
    : m_hWnd(hWnd), m_factory(std::move(factory)) {}

HRESULT CTaskbarProgress::CreateShellTaskbar(ITaskbarList3** ppTaskbar) {
    return ::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                              reinterpret_cast<void**>(ppTaskbar));
}

void CTaskbarProgress::Show(int nPercent) {
    if (nPercent < 0) {
        if (m_pTaskbar && m_bShowing)
            m_pTaskbar->SetProgressState(m_hWnd, TBPF_NOPROGRESS);
        m_bShowing = false;
        return;
    }
    if (!m_bMade) {
        m_bMade = true;
        CComPtr<ITaskbarList3> taskbar;
        if (SUCCEEDED(m_factory(taskbar.Receive())) && taskbar && SUCCEEDED(taskbar->HrInit()))
            m_pTaskbar = std::move(taskbar);
    }
    if (!m_pTaskbar)
        return;
    if (!m_bShowing)
        m_pTaskbar->SetProgressState(m_hWnd, TBPF_NORMAL);
    m_bShowing = true;
    m_pTaskbar->SetProgressValue(m_hWnd, static_cast<ULONGLONG>(nPercent > 100 ? 100 : nPercent),
                                 100);
}
