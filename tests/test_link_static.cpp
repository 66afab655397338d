// The hyperlink label: colours, hover, fit to text, fonts, keyboard and focus,
// what assistive technology learns of it, opening with its fallback, and the
// error texts. Opens go to a scripted platform; no browser starts.
#include "controls/LinkStatic.h"
#include "support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <map>

namespace {

class CScriptedPlatform : public CLinkPlatform {
public:
    int m_nShellResult = 2;
    int m_nOpens = 0;
    std::map<std::string, std::string> m_registry;
    UINT m_nRunResult = 33;
    std::vector<std::string> m_commands;
    std::string m_strWindowsDir = "C:\\no-such-windows";

    int ShellOpen(const std::string&, int) override {
        ++m_nOpens;
        return m_nShellResult;
    }
    LONG ReadClassesRoot(const std::string& key, std::string& value) override {
        auto it = m_registry.find(key);
        if (it == m_registry.end())
            return ERROR_FILE_NOT_FOUND;
        value = it->second;
        return ERROR_SUCCESS;
    }
    UINT RunCommand(const std::string& commandLine, int) override {
        m_commands.push_back(commandLine);
        return m_nRunResult;
    }
    std::string WindowsDirectory() override { return m_strWindowsDir; }
};

class CParentWnd : public CWnd {};

class Link : public ::testing::Test {
protected:
    CParentWnd m_parent;
    CLinkStatic m_link;
    CScriptedPlatform m_platform;
    HWND m_hStatic = nullptr;

    void SetUp() override {
        ASSERT_TRUE(CreateTestParent(m_parent, RECT{100, 100, 500, 300}, COLOR_BTNFACE));
        m_link.SetPlatform(&m_platform);
    }
    void TearDown() override { m_parent.DestroyWindow(); }

    HWND MakeStatic(const char* text, DWORD style, RECT rc = {20, 20, 300, 50}) {
        return ::CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, m_parent.m_hWnd,
                                 reinterpret_cast<HMENU>(1013), nullptr, nullptr);
    }
    void Attach(const char* text = "Visit Tessivox's Homepage", DWORD style = SS_LEFT) {
        m_hStatic = MakeStatic(text, style);
        ASSERT_TRUE(m_link.SubclassWindow(m_hStatic));
    }
    COLORREF TextColour() {
        HDC hdc = ::GetDC(m_hStatic);
        LRESULT brush = m_parent.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                             reinterpret_cast<LPARAM>(m_hStatic));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetBkMode(hdc), TRANSPARENT);
        COLORREF c = ::GetTextColor(hdc);
        ::ReleaseDC(m_hStatic, hdc);
        return c;
    }
    void Click() {
        m_parent.SendMessage(WM_COMMAND, MAKEWPARAM(1013, STN_CLICKED),
                             reinterpret_cast<LPARAM>(m_hStatic));
    }
    HFONT Font() { return reinterpret_cast<HFONT>(m_link.SendMessage(WM_GETFONT)); }
    // A timer tick as the message loop delivers it, with the cursor at pt (screen).
    void TickWithCursorAt(POINT pt) {
        ::SetCursorPos(pt.x, pt.y);
        ::PostMessageA(m_hStatic, WM_TIMER, m_link.m_nHoverTimerId, 0);
        PumpPending();
    }
    POINT Inside() {
        RECT rc;
        ::GetWindowRect(m_hStatic, &rc);
        return {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

TEST_F(Link, StartsWithTheDocumentedFields) {
    CLinkStatic fresh;
    EXPECT_EQ(fresh.m_clrLink, 0x00EE0000u);
    EXPECT_EQ(fresh.m_clrVisited, 0x008B1A55u);
    EXPECT_EQ(fresh.m_clrHover, 0x000000FFu);
    EXPECT_EQ(fresh.m_nUnderlineMode, -1);
    EXPECT_EQ(fresh.m_bFitToText, 1);
    EXPECT_EQ(fresh.m_nHoverTimerId, 100u);
    fresh.SetUnderlineMode(1); // without a window only the value changes
    fresh.SetFollowed(TRUE);
    EXPECT_EQ(fresh.m_nUnderlineMode, 1);
    EXPECT_EQ(fresh.m_bFollowed, 1);
}

TEST_F(Link, ColoursFollowHoverAndTheOutcomeOfTheLastClick) {
    Attach();
    EXPECT_TRUE(m_link.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(TextColour(), m_link.m_clrLink);
    m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(TextColour(), m_link.m_clrHover);

    CMessageBoxLog boxes;
    m_platform.m_nShellResult = 42;
    Click();
    EXPECT_TRUE(boxes.m_shown.empty());
    EXPECT_EQ(TextColour(), m_link.m_clrVisited);

    m_platform.m_nShellResult = 2;
    Click();
    EXPECT_EQ(TextColour(), m_link.m_clrLink);
    ASSERT_EQ(boxes.m_shown.size(), 1u);
    EXPECT_EQ(boxes.m_shown[0].text,
              "Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_TRUE(boxes.m_shown[0].type & MB_ICONEXCLAMATION);
}

TEST_F(Link, UnderlineFollowsTheMode) {
    Attach();
    m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(Font(), m_link.m_fontUnderlined.Get());
    TickWithCursorAt(Inside());
    EXPECT_EQ(m_link.m_bHovering, 1);
    TickWithCursorAt({5, 5});
    EXPECT_EQ(m_link.m_bHovering, 0);
    EXPECT_EQ(Font(), m_link.m_fontPlain.Get());

    m_link.SetUnderlineMode(1);
    EXPECT_EQ(Font(), m_link.m_fontUnderlined.Get());
    m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    TickWithCursorAt({5, 5});
    EXPECT_EQ(Font(), m_link.m_fontUnderlined.Get());

    m_link.SetUnderlineMode(0);
    EXPECT_EQ(Font(), m_link.m_fontPlain.Get());
    m_link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(Font(), m_link.m_fontPlain.Get());
}

TEST_F(Link, FitsToItsTextFromTheRightEdge) {
    RECT before = {20, 20, 300, 50};
    struct Case {
        DWORD style;
        const char* kept;
    } cases[] = {{SS_LEFT, "left"},
                 {SS_CENTER, "middle"},
                 {SS_RIGHT, "right"},
                 {SS_LEFT | SS_CENTERIMAGE, "vertical middle"}};
    for (const Case& c : cases) {
        CLinkStatic link;
        link.SetPlatform(&m_platform);
        HWND h = MakeStatic("Link", c.style, before);
        link.SubclassWindow(h);
        RECT rc = RectInParent(h, m_parent.m_hWnd);
        EXPECT_LT(rc.right - rc.left, 100) << c.kept;
        if (c.style & SS_CENTER) {
            EXPECT_NEAR((rc.left + rc.right) / 2, 160, 1) << c.kept;
        } else if (c.style & SS_RIGHT) {
            EXPECT_EQ(rc.right, 300) << c.kept;
        } else {
            EXPECT_EQ(rc.left, 20) << c.kept;
        }
        if (c.style & SS_CENTERIMAGE) {
            EXPECT_NEAR((rc.top + rc.bottom) / 2, 35, 1) << c.kept;
        } else {
            EXPECT_EQ(rc.top, 20) << c.kept;
            EXPECT_LT(rc.bottom, 50) << c.kept;
        }
        link.DestroyWindow();
    }

    CLinkStatic fixed;
    fixed.m_bFitToText = 0;
    HWND h = MakeStatic("Link", SS_LEFT, before);
    fixed.SubclassWindow(h);
    fixed.SetTarget("https://www.tessivox.example/");
    RECT rc;
    ::GetWindowRect(h, &rc);
    EXPECT_EQ(rc.right - rc.left, 280);
    EXPECT_EQ(rc.bottom - rc.top, 30);
    fixed.DestroyWindow();
}

TEST_F(Link, NewFontFromTheDialogRemakesItsOwnFontsAndFitsThemAgain) {
    Attach();
    m_link.SetUnderlineMode(1);
    RECT before = RectInParent(m_hStatic, m_parent.m_hWnd);
    LOGFONTA lf = {};
    ::GetObjectA(m_link.m_fontPlain.Get(), sizeof(lf), &lf);
    lf.lfHeight *= 2; // as a dialog's font at twice the DPI
    CFontHandle dialogFont(::CreateFontIndirectA(&lf));
    m_link.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(dialogFont.Get()), TRUE);

    EXPECT_NE(m_link.m_fontPlain.Get(), dialogFont.Get()); // copies of its own
    LOGFONTA made = {};
    ::GetObjectA(m_link.m_fontUnderlined.Get(), sizeof(made), &made);
    EXPECT_EQ(made.lfHeight, lf.lfHeight);
    EXPECT_TRUE(made.lfUnderline);
    EXPECT_EQ(Font(), m_link.m_fontUnderlined.Get()); // still always underlined
    RECT after = RectInParent(m_hStatic, m_parent.m_hWnd);
    EXPECT_GT(after.right - after.left, before.right - before.left);
    EXPECT_GT(after.bottom - after.top, before.bottom - before.top);
}

TEST_F(Link, IsATabStopThatADialogHandsSpaceAndEnterToOpenIt) {
    Attach();
    EXPECT_TRUE(m_link.GetStyle() & WS_TABSTOP);
    m_platform.m_nShellResult = 42;
    const struct {
        WPARAM key;
        LPARAM flags;
        bool wanted;
        int opens;
    } cases[] = {
        {VK_RETURN, 0, true, 1},
        {VK_SPACE, 0, true, 1},
        {VK_RETURN, KF_REPEAT << 16, true, 0}, // held down: opened once already
        {'A', 0, false, 0},
    };
    for (const auto& c : cases) {
        MSG msg = {m_hStatic, WM_KEYDOWN, c.key, c.flags, 0, {0, 0}};
        const LRESULT code =
            m_link.SendMessage(WM_GETDLGCODE, c.key, reinterpret_cast<LPARAM>(&msg));
        EXPECT_EQ((code & DLGC_WANTMESSAGE) != 0, c.wanted) << c.key;
        const int before = m_platform.m_nOpens;
        ::IsDialogMessageA(m_parent.m_hWnd, &msg);
        PumpPending();
        EXPECT_EQ(m_platform.m_nOpens - before, c.opens) << c.key;
    }
}

// Wine keeps no keyboard cue state of its own: the window's answer stands in for it.
LRESULT CALLBACK AnswerUiState(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                               DWORD_PTR pState) {
    if (message == WM_QUERYUISTATE)
        return *reinterpret_cast<const LRESULT*>(pState);
    return ::DefSubclassProc(hWnd, message, wParam, lParam);
}

TEST_F(Link, DrawsAFocusRectangleOnlyWhileFocusedWithFocusCuesOn) {
    ::SetCursorPos(5, 5);
    Attach();
    m_link.SetUnderlineMode(1);
    LRESULT uiState = 0;
    ::SetWindowSubclass(m_hStatic, &AnswerUiState, 1, reinterpret_cast<DWORD_PTR>(&uiState));
    auto picture = [&] {
        ::UpdateWindow(m_hStatic);
        return CaptureClient(m_hStatic).rgb;
    };
    const auto unfocused = picture();
    ::SetFocus(m_hStatic);
    EXPECT_NE(picture(), unfocused);
    uiState = UISF_HIDEFOCUS; // the mouse was used last
    m_link.SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS));
    EXPECT_EQ(picture(), unfocused);
    uiState = 0;
    m_link.SendMessage(WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS));
    EXPECT_NE(picture(), unfocused);
    ::SetFocus(m_parent.m_hWnd);
    EXPECT_EQ(picture(), unfocused);
    ::RemoveWindowSubclass(m_hStatic, &AnswerUiState, 1);
}

TEST_F(Link, IsALinkToAssistiveTechnologyWhoseDefaultActionOpensLater) {
    Attach();
    m_platform.m_nShellResult = 42;
    AccessibleFacts facts = ReadAccessible(m_hStatic);
    EXPECT_EQ(facts.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(facts.name, "Visit Tessivox's Homepage");
    EXPECT_EQ(facts.defaultAction, "Jump");
    const LONG kinds = STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED | STATE_SYSTEM_TRAVERSED;
    EXPECT_EQ(facts.state & kinds, STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_LINKED);

    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(ClientAccessible(m_hStatic)->accDoDefaultAction(self), S_OK);
    EXPECT_EQ(m_platform.m_nOpens, 0); // the caller is not kept waiting
    PumpPending();
    EXPECT_EQ(m_platform.m_nOpens, 1);
    EXPECT_EQ(ReadAccessible(m_hStatic).state & kinds, kinds);
}

std::string TipText(HWND tip, HWND tool) {
    char text[512] = {};
    TTTOOLINFOA ti = {};
    ti.cbSize = sizeof(ti);
    ti.hwnd = tool;
    ti.uId = 1;
    ti.lpszText = text;
    ::SendMessageA(tip, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    return text;
}

TEST_F(Link, EmptyTargetTakesTheTextAndEmptyTextShowsTheTarget) {
    Attach("Visit us");
    EXPECT_EQ(m_link.m_strTarget, "Visit us");
    EXPECT_EQ(TipText(m_link.m_tipCtrl, m_hStatic), "Visit us");
    m_link.SetTarget("https://www.tessivox.example/");
    EXPECT_EQ(TipText(m_link.m_tipCtrl, m_hStatic), "https://www.tessivox.example/");

    CLinkStatic blank;
    blank.m_strTarget = "https://www.tessivox.example/";
    HWND h = MakeStatic("", SS_LEFT);
    blank.SubclassWindow(h);
    EXPECT_EQ(blank.GetWindowText(), "https://www.tessivox.example/");
    blank.DestroyWindow();
}

TEST(OpenCommand, PlaceholderAndWhatFollowsItMakeWayForTheAddress) {
    std::string cmd;
    ASSERT_TRUE(BuildOpenCommand("C:\\b\\browser.exe", "http://x.example/", cmd));
    EXPECT_EQ(cmd, "C:\\b\\browser.exe http://x.example/");
    ASSERT_TRUE(BuildOpenCommand("\"C:\\b\\browser.exe\" \"%1\"", "http://x.example/", cmd));
    EXPECT_EQ(cmd, "\"C:\\b\\browser.exe\"  http://x.example/");
    ASSERT_TRUE(BuildOpenCommand("C:\\b\\browser.exe -url %1 -new", "http://x.example/", cmd));
    EXPECT_EQ(cmd, "C:\\b\\browser.exe -url  http://x.example/");
}

TEST(OpenCommand, AddressThatWouldOverflowTheBufferIsRefused) {
    std::string cmd = "unchanged";
    EXPECT_FALSE(BuildOpenCommand("C:\\b\\browser.exe %1", std::string(600, 'a'), cmd));
    EXPECT_EQ(cmd, "unchanged");
    EXPECT_TRUE(BuildOpenCommand("b %1", std::string(500, 'a'), cmd));
}

TEST_F(Link, FallbackRunsTheRegisteredHtmCommand) {
    Attach();
    m_platform.m_registry[".htm"] = "htmlfile";
    m_platform.m_registry["htmlfile\\shell\\open\\command"] = "\"C:\\b\\web.exe\" \"%1\"";
    EXPECT_EQ(m_link.OpenTarget("http://x.example/", SW_SHOW), 33);
    ASSERT_EQ(m_platform.m_commands.size(), 1u);
    EXPECT_EQ(m_platform.m_commands[0], "\"C:\\b\\web.exe\"  http://x.example/");

    m_platform.m_nRunResult = 2;
    CMessageBoxLog boxes;
    Click();
    ASSERT_EQ(boxes.m_shown.size(), 1u);
    EXPECT_NE(boxes.m_shown[0].text.find("The specified file was not found."), std::string::npos);
    EXPECT_EQ(m_link.m_bFollowed, 0);

    // a refused address is a failure like any other: no visited colour, a beep and its message
    m_platform.m_nRunResult = 33;
    m_link.SetFollowed(TRUE);
    m_link.m_strTarget.assign(600, 'a');
    Click();
    EXPECT_EQ(m_platform.m_commands.size(), 2u);
    EXPECT_EQ(m_link.m_bFollowed, 0);
    ASSERT_EQ(boxes.m_shown.size(), 2u);
    EXPECT_EQ(boxes.m_shown[1].text,
              "Unable to open hyperlink:\n\nThe address is too long\nto be opened.");
}

TEST_F(Link, MissingHtmOrCommandKeyReportsTheShellsOwnError) {
    Attach();
    m_platform.m_nShellResult = 31;
    EXPECT_EQ(m_link.OpenTarget("http://x.example/", SW_SHOW), 31);
    m_platform.m_registry[".htm"] = "htmlfile";
    EXPECT_EQ(m_link.OpenTarget("http://x.example/", SW_SHOW), 31);
    EXPECT_TRUE(m_platform.m_commands.empty());
}

TEST(OpenError, EveryCodeHasItsText) {
    const std::pair<int, const char*> table[] = {
        {0, "The operating system is out\nof memory or resources."},
        {2, "The specified file was not found."},
        {3, "The specified path was not found."},
        {5, "The operating system denied\naccess to the specified file."},
        {8, "There was not enough memory to complete the operation."},
        {11, "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."},
        {26, "A sharing violation occurred. "},
        {27, "The filename association is\nincomplete or invalid."},
        {28, "The DDE transaction could not\nbe completed because the request timed out."},
        {29, "The DDE transaction failed."},
        {30, "The DDE transaction could not\nbe completed because other DDE transactions\nwere "
             "being processed."},
        {31, "There is no application associated\nwith the given filename extension."},
        {32, "The specified dynamic-link library was not found."},
        {1, "Unknown Error (1) occurred."},
        {-7, "Unknown Error (-7) occurred."},
    };
    for (const auto& [code, text] : table)
        EXPECT_EQ(CLinkStatic::OpenErrorText(code), text) << code;

    CLinkStatic link;
    CMessageBoxLog boxes;
    link.ShowOpenError(1);
    ASSERT_EQ(boxes.m_shown.size(), 1u);
    EXPECT_EQ(boxes.m_shown[0].text, "Unable to open hyperlink:\n\nUnknown Error (1) occurred.");
}

TEST_F(Link, WithoutTheHelpProgramsCursorTheSystemsHandIsShown) {
    CMessageBoxLog boxes;
    Attach(); // a Windows folder without the help program
    ASSERT_NE(m_link.m_hHandCursor, nullptr);
    EXPECT_NE(m_link.m_hHandCursor, ::LoadCursorA(nullptr, IDC_HAND)); // a copy of its own
    EXPECT_TRUE(m_link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_hStatic),
                                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));

    CLinkStatic real; // the system's own Windows folder, whose help program may be a stub
    HWND h = MakeStatic("x", SS_LEFT);
    real.SubclassWindow(h);
    EXPECT_NE(real.m_hHandCursor, nullptr);
    real.DestroyWindow();
    EXPECT_TRUE(boxes.m_shown.empty());
}

} // namespace
