// The dots per inch a window is shown at, and pixel sizes scaled to it. Every
// size the program gives in pixels is a size at 96 DPI, scaled from here
// (ScaleForDpi comes from DpiScale.h, which the portable logic uses alone).
#pragma once

#include "DpiScale.h"

#include <windows.h>

// The DPI of the monitor the window is on (Windows 10 1607 and later), else
// of the screen the window's device context draws on.
UINT WindowDpi(HWND hWnd);

// A system metric (SM_CXVSCROLL, SM_CXSMICON, ...) at a DPI; before Windows 10
// 1607 the system DPI's, scaled when the DPI asked for is another one.
int SystemMetricForDpi(int nIndex, UINT nDpi);

// Keeps the dialog manager from rescaling a dialog and its controls on a DPI
// change itself (Windows 10 1703 and later), so that it never works against
// the dialog's own answer to WM_DPICHANGED.
void DisableDialogDpiScaling(HWND hDlg);
