// CLinkStatic: turns a dialog's static text into a hyperlink. It draws in link
// colours, shows a hand cursor and its address as a tooltip, changes colour
// (and may gain an underline) under the mouse, fits itself to its text, and a
// click opens its target; when the shell cannot, the command registered for
// ".htm" files is run with the address, and a last failure is reported. It is
// a tab stop that Space and Enter open as a click does, and tells assistive
// technology that it is a link.
#pragma once

#include "LinkPlatform.h"

#include "platform/Accessibility.h"
#include "platform/ScopedHandles.h"
#include "platform/Wnd.h"

#include <memory>
#include <string>

class CLinkStatic : public CWnd {
public:
    CLinkStatic() = default;
    ~CLinkStatic() override;

    void SetTarget(const std::string& address);
    void SetUnderlineMode(int nMode);
    void SetFollowed(BOOL bFollowed);
    // Where opens go; the system unless a test says otherwise.
    void SetPlatform(CLinkPlatform* pPlatform) { m_pPlatform = pPlatform; }

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL DestroyWindow() override;

    int OpenTarget(const std::string& address, int nShowCmd);
    LONG ReadClassesRootValue(const std::string& subKey, std::string& out);
    static std::string OpenErrorText(int nCode);
    void ShowOpenError(int nCode);

    COLORREF m_clrLink = RGB(0, 0, 238);
    COLORREF m_clrVisited = RGB(85, 26, 139);
    COLORREF m_clrHover = RGB(255, 0, 0);
    int m_bHovering = 0;
    int m_bFollowed = 0;
    int m_nUnderlineMode = -1; // 1 always, 0 never, -1 while the mouse is over it
    int m_bFitToText = 1;
    std::string m_strTarget;
    CFontHandle m_fontUnderlined;
    CFontHandle m_fontPlain;
    HCURSOR m_hHandCursor = nullptr; // owned: a private copy
    HWND m_tipCtrl = nullptr;        // owned
    UINT m_nHoverTimerId = 100;

    HBRUSH CtlColor(HDC hdc, UINT nCtlColor);

protected:
    void PreSubclassWindow() override;
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnClicked();
    void OnSetFont(HFONT hFont, BOOL bRedraw);
    void OnSetFocus(HWND hOldWnd);
    void OnKillFocus(HWND hNewWnd);
    void OnUpdateUIState(UINT nAction, UINT nUIElement);
    void OnPaint();
    UINT OnGetDlgCode(const MSG* pMsg);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    LRESULT OnGetObject(DWORD dwFlags, DWORD dwObjectId);
    LRESULT OnOpenRequested(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    void MakeFonts(HFONT hFrom);
    void FitToText();
    void LoadHandCursor();
    bool ShowsFocusCue() const;
    void MakeAccessible();
    CLinkPlatform* m_pPlatform = &CLinkPlatform::System();
    std::shared_ptr<AccessibleTraits> m_pAccessible;
};

// The registered ".htm" command with the address in place of its placeholder:
// a quoted "%1", or else %1, ends the command where it stands; then a blank and
// the address follow. False when the result would not fit the 520-byte buffer
// the command is assembled in.
bool BuildOpenCommand(const std::string& registered, const std::string& address,
                      std::string& commandLine);

// The code reported for an address too long to be handed to the command:
// negative, since every code above 32 means success.
constexpr int kOpenErrorAddressTooLong = -static_cast<int>(ERROR_FILENAME_EXCED_RANGE);
