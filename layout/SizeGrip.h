// SizeGrip: the triangular size grip in the lower-right corner of a resizable
// window. It is a size-grip scroll bar shaped by a window region; its own
// window procedure is wrapped so that it reports itself as the window's lower
// sizing corner.
#pragma once

#include <windows.h>

class SizeGrip {
public:
    virtual HWND GetHostWindow() = 0;
    virtual ~SizeGrip() = default;

    // The grip is as large as a scroll bar is thick at the host's DPI.
    BOOL CreateGrip();
    // Resizes, reshapes and re-places the grip for the host's new DPI.
    void SetGripDpi(UINT nDpi);
    void UpdateGripPosition();
    void ShowGrip(BOOL bShow);
    HWND GetGripWindow() const { return m_gripBar; }

    // Cuts a grip window down to its lower-right triangle; FALSE when the
    // window does not take the region.
    static BOOL ShapeGrip(HWND hGrip, SIZE size);
    static LRESULT CALLBACK GripHitTestProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    SIZE m_gripSize = {};
    HWND m_gripBar = nullptr; // a child of the host, destroyed with it
};

// The property under which the grip keeps its own window procedure.
extern const char* const kGripProperty;
