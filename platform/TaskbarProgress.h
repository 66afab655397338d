// CTaskbarProgress: a percentage on the taskbar button of a top-level window,
// through the shell's ITaskbarList3 (Windows 7 and later). The shell's object
// is made at the first percentage shown; where it cannot be made, nothing is
// shown and nothing is said.
#pragma once

#include "ScopedHandles.h"

#include <windows.h>

#include <shobjidl.h>

#include <functional>

class CTaskbarProgress {
public:
    // Makes the taskbar object and hands over its first reference.
    using Factory = std::function<HRESULT(ITaskbarList3** ppTaskbar)>;

    // The shell's own taskbar unless a test gives another factory.
    explicit CTaskbarProgress(HWND hWnd, Factory factory = &CreateShellTaskbar);
    CTaskbarProgress(const CTaskbarProgress&) = delete;
    CTaskbarProgress& operator=(const CTaskbarProgress&) = delete;

    // A percentage from 0 to 100 on the button, or none for -1.
    void Show(int nPercent);

    static HRESULT CreateShellTaskbar(ITaskbarList3** ppTaskbar);

private:
    HWND m_hWnd; // not owned
    Factory m_factory;
    CComPtr<ITaskbarList3> m_pTaskbar;
    bool m_bMade = false; // made, or tried and failed: never tried twice
    bool m_bShowing = false;
};
