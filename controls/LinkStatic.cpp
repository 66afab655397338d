#include "LinkStatic.h"

#include "platform/MessageBox.h"

#include <commctrl.h>
#include <mbstring.h>

#include <utility>

namespace {
constexpr size_t kCommandBuffer = 520;
constexpr UINT_PTR kToolId = 1;
// Posted by an assistive technology's default action, which must not wait for the open.
constexpr UINT kOpenMessage = WM_APP;
// What a link's default action is called, as the system's own links call it.
constexpr char kDefaultAction[] = "Jump";

// The keys that open a focused link. WM_CHAR carries the characters, which are
// the same numbers as the keys.
bool IsOpenKey(WPARAM nKey) {
    return nKey == VK_SPACE || nKey == VK_RETURN;
}

// Where a pattern starts in a multibyte text, or npos.
size_t FindMultibyte(const std::string& text, const char* pattern) {
    const unsigned char* base = reinterpret_cast<const unsigned char*>(text.c_str());
    const unsigned char* hit = _mbsstr(base, reinterpret_cast<const unsigned char*>(pattern));
    return hit ? static_cast<size_t>(hit - base) : std::string::npos;
}
} // namespace

BEGIN_MESSAGE_MAP(CLinkStatic, CWnd)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_ERASEBKGND()
    ON_STN_CLICKED_REFLECT(OnClicked)
    ON_WM_SETFONT()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_UPDATEUISTATE()
    ON_WM_PAINT()
    ON_WM_GETDLGCODE()
    ON_WM_KEYDOWN()
    ON_WM_GETOBJECT()
    ON_MESSAGE(kOpenMessage, OnOpenRequested)
END_MESSAGE_MAP()

CLinkStatic::~CLinkStatic() {
    if (m_tipCtrl && ::IsWindow(m_tipCtrl))
        ::DestroyWindow(m_tipCtrl);
    if (m_hHandCursor)
        ::DestroyCursor(m_hHandCursor);
}

void CLinkStatic::SetTarget(const std::string& address) {
    m_strTarget = address;
    if (!m_hWnd)
        return;
    FitToText();
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hWnd;
    ti.uId = kToolId;
    ti.lpszText = const_cast<char*>(m_strTarget.c_str());
    ::SendMessageA(m_tipCtrl, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CLinkStatic::SetUnderlineMode(int nMode) {
    if (nMode == m_nUnderlineMode)
        return;
    if (m_hWnd) {
        HFONT font = nMode == 1 ? m_fontUnderlined.Get() : m_fontPlain.Get();
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        Invalidate(TRUE);
    }
    m_nUnderlineMode = nMode;
}

void CLinkStatic::SetFollowed(BOOL bFollowed) {
    m_bFollowed = bFollowed;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CLinkStatic::PreSubclassWindow() {
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(GetStyle() | SS_NOTIFY | WS_TABSTOP));

    std::string text = GetWindowText();
    if (m_strTarget.empty())
        m_strTarget = text;
    if (text.empty())
        SetWindowText(m_strTarget);

    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    MakeFonts(font);

    FitToText();
    LoadHandCursor();
    SetUnderlineMode(-1);
    MakeAccessible();

    m_tipCtrl = ::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr);
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hWnd;
    ti.uId = kToolId;
    ::GetClientRect(m_hWnd, &ti.rect);
    ti.lpszText = const_cast<char*>(m_strTarget.c_str());
    ::SendMessageA(m_tipCtrl, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CLinkStatic::MakeFonts(HFONT hFrom) {
    LOGFONTA lf = {};
    ::GetObjectA(hFrom, sizeof(lf), &lf);
    m_fontPlain.Reset(::CreateFontIndirectA(&lf));
    lf.lfUnderline = TRUE;
    m_fontUnderlined.Reset(::CreateFontIndirectA(&lf));
}

void CLinkStatic::FitToText() {
    if (!m_hWnd || !m_bFitToText)
        return;
    RECT w, c;
    GetWindowRect(&w);
    GetClientRect(&c);
    ClientToScreen(&c);
    if (HWND parent = ::GetParent(m_hWnd)) {
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&w), 2);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&c), 2);
    }
    std::string text = GetWindowText();
    SIZE extent = {};
    {
        CClientDC dc(m_hWnd);
        CSelectObject sel(dc.Get(), m_fontUnderlined.Get());
        ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const int wantH = extent.cy + ((w.bottom - w.top) - (c.bottom - c.top));
    const int wantW = extent.cx + ((w.right - w.left) - (c.right - c.left));
    const DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int d = ((w.bottom - w.top) - wantH) / 2;
        w.top += d;
        w.bottom -= d;
    } else {
        w.bottom = w.top + wantH;
    }
    if (style & SS_CENTER) {
        int d = ((w.right - w.left) - wantW) / 2;
        w.left += d;
        w.right -= d;
    } else if (style & SS_RIGHT) {
        w.left = w.right - wantW;
    } else {
        w.right = w.left + wantW;
    }
    ::SetWindowPos(m_hWnd, nullptr, w.left, w.top, w.right - w.left, w.bottom - w.top,
                   SWP_NOZORDER);
    // The tip covers the control as it is now (a new text, a new font).
    if (m_tipCtrl) {
        TTTOOLINFOA ti = {};
        ti.cbSize = sizeof(ti);
        ti.hwnd = m_hWnd;
        ti.uId = kToolId;
        ::GetClientRect(m_hWnd, &ti.rect);
        ::SendMessageA(m_tipCtrl, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void CLinkStatic::LoadHandCursor() {
    if (m_hHandCursor)
        return;
    std::string helper = m_pPlatform->WindowsDirectory() + "\\winhlp32.exe";
    UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = ::LoadLibraryA(helper.c_str());
    ::SetErrorMode(oldMode);
    if (module) {
        if (HCURSOR hand = ::LoadCursorA(module, MAKEINTRESOURCEA(106)))
            m_hHandCursor = ::CopyIcon(hand);
        ::FreeLibrary(module);
    }
    // Current Windows ships no help program with cursors, nor does Wine: the
    // system's own hand then, copied so that the destructor may destroy it.
    if (!m_hHandCursor)
        if (HCURSOR hand = ::LoadCursorA(nullptr, IDC_HAND))
            m_hHandCursor = ::CopyIcon(hand);
}

BOOL CLinkStatic::PreTranslateMessage(MSG* pMsg) {
    if (m_tipCtrl)
        ::SendMessageA(m_tipCtrl, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    return CWnd::PreTranslateMessage(pMsg);
}

BOOL CLinkStatic::DestroyWindow() {
    if (m_hWnd)
        ::KillTimer(m_hWnd, m_nHoverTimerId);
    return CWnd::DestroyWindow();
}

HBRUSH CLinkStatic::CtlColor(HDC hdc, UINT) {
    COLORREF colour = m_bHovering ? m_clrHover : m_bFollowed ? m_clrVisited : m_clrLink;
    ::SetTextColor(hdc, colour);
    ::SetBkMode(hdc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CLinkStatic::OnSetCursor(HWND, UINT, UINT) {
    if (!m_hHandCursor)
        return FALSE;
    ::SetCursor(m_hHandCursor);
    return TRUE;
}

void CLinkStatic::OnMouseMove(UINT, POINT) {
    if (!m_bHovering) {
        m_bHovering = 1;
        if (m_nUnderlineMode == -1)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontUnderlined.Get()), TRUE);
        Invalidate(TRUE);
        ::SetTimer(m_hWnd, m_nHoverTimerId, 100, nullptr);
    }
    Default();
}

void CLinkStatic::OnTimer(UINT_PTR) {
    DWORD pos = ::GetMessagePos();
    POINT pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::ScreenToClient(m_hWnd, &pt);
    RECT rc;
    GetClientRect(&rc);
    if (!::PtInRect(&rc, pt)) {
        m_bHovering = 0;
        ::KillTimer(m_hWnd, m_nHoverTimerId);
        if (m_nUnderlineMode != 1)
            SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontPlain.Get()), TRUE);
        rc.bottom += 10;
        ::InvalidateRect(m_hWnd, &rc, TRUE);
    }
    Default();
}

BOOL CLinkStatic::OnEraseBkgnd(HDC hdc) {
    RECT rc;
    GetClientRect(&rc);
    CBrushHandle face(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
    ::FillRect(hdc, &rc, face.Get());
    return TRUE;
}

void CLinkStatic::OnClicked() {
    m_bHovering = 0;
    int r = OpenTarget(m_strTarget, SW_SHOW);
    m_bFollowed = r > 32;
    if (r > 32) {
        SetFollowed(TRUE);
    } else {
        ::MessageBeep(MB_ICONEXCLAMATION);
        ShowOpenError(r);
    }
}

// A dialog gives every control a new font when the DPI changes: the link's two
// fonts are made again from it. The old ones go once the static holds a new one.
void CLinkStatic::OnSetFont(HFONT hFont, BOOL bRedraw) {
    if (!hFont || hFont == m_fontPlain.Get() || hFont == m_fontUnderlined.Get()) {
        Default();
        return;
    }
    CFontHandle oldPlain = std::move(m_fontPlain);
    CFontHandle oldUnderlined = std::move(m_fontUnderlined);
    MakeFonts(hFont);
    const bool underlined = m_nUnderlineMode == 1 || (m_nUnderlineMode == -1 && m_bHovering);
    HFONT shown = underlined ? m_fontUnderlined.Get() : m_fontPlain.Get();
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(shown), bRedraw);
    FitToText();
}

void CLinkStatic::OnSetFocus(HWND) {
    Default();
    Invalidate(TRUE);
}

void CLinkStatic::OnKillFocus(HWND) {
    Default();
    Invalidate(TRUE);
}

// Focus cues appear once the keyboard is used, and go when the mouse is.
void CLinkStatic::OnUpdateUIState(UINT, UINT) {
    Default();
    if (::GetFocus() == m_hWnd)
        Invalidate(TRUE);
}

bool CLinkStatic::ShowsFocusCue() const {
    return ::GetFocus() == m_hWnd && !(SendMessage(WM_QUERYUISTATE) & UISF_HIDEFOCUS);
}

void CLinkStatic::OnPaint() {
    const bool cue = ShowsFocusCue();
    // The focus rectangle inverts what lies under it, so the static must have
    // painted all of itself afresh first, background included.
    if (cue)
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    Default();
    if (cue) {
        CClientDC dc(m_hWnd);
        RECT rc;
        GetClientRect(&rc);
        ::DrawFocusRect(dc.Get(), &rc);
    }
}

// A dialog hands Space and Enter to the link instead of pressing its default button.
UINT CLinkStatic::OnGetDlgCode(const MSG* pMsg) {
    UINT code = static_cast<UINT>(Default());
    if (pMsg && (pMsg->message == WM_KEYDOWN || pMsg->message == WM_CHAR) &&
        IsOpenKey(pMsg->wParam))
        code |= DLGC_WANTMESSAGE;
    return code;
}

void CLinkStatic::OnKeyDown(UINT nChar, UINT, UINT nFlags) {
    if (!IsOpenKey(nChar)) {
        Default();
        return;
    }
    // A key held down repeats: it opens once, as one click does.
    if (!(nFlags & KF_REPEAT))
        OnClicked();
}

void CLinkStatic::MakeAccessible() {
    m_pAccessible = std::make_shared<AccessibleTraits>();
    m_pAccessible->role = ROLE_SYSTEM_LINK;
    m_pAccessible->state = [this](LONG standard) {
        LONG state =
            (standard & ~STATE_SYSTEM_READONLY) | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED;
        return m_bFollowed ? state | STATE_SYSTEM_TRAVERSED : state;
    };
    m_pAccessible->defaultAction = kDefaultAction;
    m_pAccessible->doDefaultAction = [this] {
        if (m_hWnd)
            ::PostMessageA(m_hWnd, kOpenMessage, 0, 0);
    };
}

LRESULT CLinkStatic::OnGetObject(DWORD dwFlags, DWORD dwObjectId) {
    LRESULT answer = AnswerClientObject(m_hWnd, dwFlags, dwObjectId, m_pAccessible);
    return answer ? answer : Default();
}

LRESULT CLinkStatic::OnOpenRequested(WPARAM, LPARAM) {
    OnClicked();
    return 0;
}

LONG CLinkStatic::ReadClassesRootValue(const std::string& subKey, std::string& out) {
    return m_pPlatform->ReadClassesRoot(subKey, out);
}

bool BuildOpenCommand(const std::string& registered, const std::string& address,
                      std::string& commandLine) {
    std::string cmd = registered;
    size_t at = FindMultibyte(cmd, "\"%1\"");
    if (at == std::string::npos)
        at = FindMultibyte(cmd, "%1");
    if (at != std::string::npos)
        cmd.erase(at);
    cmd += " ";
    cmd += address;
    if (cmd.size() >= kCommandBuffer)
        return false;
    commandLine = cmd;
    return true;
}

int CLinkStatic::OpenTarget(const std::string& address, int nShowCmd) {
    int r = m_pPlatform->ShellOpen(address, nShowCmd);
    if (r > 32)
        return r;
    std::string htmlClass;
    if (ReadClassesRootValue(".htm", htmlClass) != ERROR_SUCCESS)
        return r;
    std::string registered;
    if (ReadClassesRootValue(htmlClass + "\\shell\\open\\command", registered) != ERROR_SUCCESS)
        return r;
    std::string commandLine;
    if (!BuildOpenCommand(registered, address, commandLine))
        return kOpenErrorAddressTooLong;
    return static_cast<int>(m_pPlatform->RunCommand(commandLine, nShowCmd));
}

std::string CLinkStatic::OpenErrorText(int nCode) {
    switch (nCode) {
    case 0:
        return "The operating system is out\nof memory or resources.";
    case 2:
        return "The specified file was not found.";
    case 3:
        return "The specified path was not found.";
    case 5:
        return "The operating system denied\naccess to the specified file.";
    case 8:
        return "There was not enough memory to complete the operation.";
    case 11:
        return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case 26:
        return "A sharing violation occurred. ";
    case 27:
        return "The filename association is\nincomplete or invalid.";
    case 28:
        return "The DDE transaction could not\nbe completed because the request timed out.";
    case 29:
        return "The DDE transaction failed.";
    case 30:
        return "The DDE transaction could not\nbe completed because other DDE transactions\n"
               "were being processed.";
    case 31:
        return "There is no application associated\nwith the given filename extension.";
    case 32:
        return "The specified dynamic-link library was not found.";
    case kOpenErrorAddressTooLong:
        return "The address is too long\nto be opened.";
    default:
        return "Unknown Error (" + std::to_string(nCode) + ") occurred.";
    }
}

void CLinkStatic::ShowOpenError(int nCode) {
    AfxMessageBox("Unable to open hyperlink:\n\n" + OpenErrorText(nCode), MB_ICONEXCLAMATION);
}
