// The dots per inch a window is shown at, and pixel sizes scaled to it. Every
// size the program gives in pixels is a size at 96 DPI, scaled from here.
#pragma once

#include <windows.h>

constexpr UINT kDefaultDpi = 96;

// The DPI of the monitor the window is on (Windows 10 1607 and later), else
// of the screen the window's device context draws on.
UINT WindowDpi(HWND hWnd);

// A length at 96 DPI, at another DPI; rounded to the nearest pixel.
inline int ScaleForDpi(int nPixels96, UINT nDpi) {
    return ::MulDiv(nPixels96, static_cast<int>(nDpi), static_cast<int>(kDefaultDpi));
}

// A system metric (SM_CXVSCROLL, SM_CXSMICON, ...) at a DPI; before Windows 10
// 1607 the system DPI's, scaled when the DPI asked for is another one.
int SystemMetricForDpi(int nIndex, UINT nDpi);
