// The progress strip on real windows: range, host following, pixels, handles,
// and what it tells assistive technology and its listener.
#include "controls/ProgressStrip.h"
#include "support/TestSupport.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class Strip : public ::testing::Test {
protected:
    HWND m_hParent = nullptr;
    CWnd m_host;
    HBITMAP m_hSkin = nullptr;

    void SetUp() override {
        m_hParent = CreateTestHostWindow(300, 120);
        // 172 x 18 outside: a client area of 170 x 16 inside the strip's static edge
        HWND hHost = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | SS_BLACKFRAME, 10, 20, 172, 18,
                                       m_hParent, reinterpret_cast<HMENU>(1023), nullptr, nullptr);
        m_host.SubclassWindow(hHost);
        m_hSkin = ::LoadBitmapA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_PROGRESS_SKIN));
    }
    void TearDown() override {
        m_host.UnsubclassWindow();
        ::DestroyWindow(m_hParent);
        ::DeleteObject(m_hSkin);
    }
    RECT StripRect(const CProgressStrip& s) { return RectInParent(s.m_hWnd, m_hParent); }
    void Tick(CProgressStrip& s) { s.SendMessage(WM_TIMER, reinterpret_cast<WPARAM>(&s), 0); }
};

TEST_F(Strip, CoversItsHostWithTheSkinScaledToTheBar) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    ASSERT_NE(strip.m_hWnd, nullptr);
    RECT rc = StripRect(strip);
    EXPECT_EQ(rc.left, 10);
    EXPECT_EQ(rc.top, 20);
    EXPECT_EQ(rc.right, 182);
    EXPECT_EQ(rc.bottom, 38);
    EXPECT_EQ(strip.GetTileWidth(), 10);
    EXPECT_EQ(strip.GetTileHeight(), 16);
    EXPECT_EQ(strip.GetPos(), 0);
    EXPECT_EQ(strip.GetStep(), 1);
    EXPECT_TRUE(strip.GetExStyle() & WS_EX_STATICEDGE);
}

TEST_F(Strip, PositionIsClampedAndStepsStopAtTheTop) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    EXPECT_EQ(strip.SetPos(20000), 0);
    EXPECT_EQ(strip.GetPos(), 10000);
    EXPECT_EQ(strip.SetPos(-5), 10000);
    EXPECT_EQ(strip.GetPos(), 0);

    EXPECT_EQ(strip.SetStep(3333), 1);
    EXPECT_EQ(strip.StepIt(), 0);
    EXPECT_EQ(strip.StepIt(), 3333);
    strip.SetPos(9999);
    strip.StepIt();
    EXPECT_EQ(strip.GetPos(), 10000);
    strip.StepIt();
    EXPECT_EQ(strip.GetPos(), 10000);

    strip.SetPos(42);
    EXPECT_EQ(strip.SetStep(0), 3333);
    EXPECT_EQ(strip.StepIt(), 42);
    EXPECT_EQ(strip.GetPos(), 42);

    strip.SetStep(0x7FFFFFFF); // a huge step does not wrap around
    strip.StepIt();
    EXPECT_EQ(strip.GetPos(), 10000);
}

TEST_F(Strip, SetStepDoesNotRefresh) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    ::MoveWindow(m_host.m_hWnd, 30, 50, 172, 18, FALSE);
    strip.SetStep(7);
    EXPECT_EQ(StripRect(strip).left, 10);
    strip.SetPos(1); // a refreshing call follows the host
    EXPECT_EQ(StripRect(strip).left, 30);
}

TEST_F(Strip, WithoutAWindowEveryOperationReturnsZero) {
    CProgressStrip strip(nullptr, 10000, m_hSkin);
    EXPECT_EQ(strip.m_hWnd, nullptr);
    EXPECT_EQ(strip.SetPos(5), 0);
    EXPECT_EQ(strip.SetStep(5), 0);
    EXPECT_EQ(strip.StepIt(), 0);
    EXPECT_EQ(strip.Refresh(), 0);
}

TEST_F(Strip, FailedSkinLeavesAHarmlessStrip) {
    CProgressStrip strip(&m_host, 10000, nullptr);
    ASSERT_NE(strip.m_hWnd, nullptr);
    EXPECT_EQ(strip.GetUpper(), 0); // construction stopped before the range
    EXPECT_EQ(strip.SetPos(5000), 0);
    strip.StepIt();
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_TRUE(strip.GetLastPaint().empty());
}

TEST_F(Strip, FollowsTheHostOnTheTimerButNotWhenTinyOrHidden) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    ::MoveWindow(m_host.m_hWnd, 15, 60, 200, 20, FALSE);
    Tick(strip);
    RECT rc = StripRect(strip);
    EXPECT_EQ(rc.left, 15);
    EXPECT_EQ(rc.top, 60);
    EXPECT_EQ(rc.right, 215);
    EXPECT_EQ(rc.bottom, 80);

    ::MoveWindow(m_host.m_hWnd, 15, 60, 200, 2, FALSE);
    Tick(strip);
    EXPECT_EQ(StripRect(strip).bottom, 80);
    ::MoveWindow(m_host.m_hWnd, 15, 60, 2, 20, FALSE);
    Tick(strip);
    EXPECT_EQ(StripRect(strip).right, 215);

    strip.ShowWindow(SW_HIDE);
    ::MoveWindow(m_host.m_hWnd, 5, 5, 100, 20, FALSE);
    Tick(strip);
    EXPECT_EQ(StripRect(strip).left, 15);
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(strip.m_hWnd, &dirty, FALSE));
}

TEST_F(Strip, SizeChangeGivesOneFullRepaintWithANewBackBuffer) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    strip.SetPos(2500);
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetBackBufferCount(), 1);
    EXPECT_EQ(strip.GetGeometry().endPx, 47);
    EXPECT_EQ(strip.GetLastPaint().back(), (TileDraw{FillEnd, 47}));

    strip.SetPos(2600);
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetBackBufferCount(), 1);
    EXPECT_LE(strip.GetLastPaint().size(), 5u); // a partial repaint

    ::MoveWindow(m_host.m_hWnd, 10, 20, 222, 18, FALSE);
    Tick(strip);
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetBackBufferCount(), 2);
    EXPECT_EQ(strip.GetLastPaint().front(), (TileDraw{TrackBody, 210}));
    EXPECT_EQ(strip.GetTileHeight(), 16); // the tiles keep the thickness of creation
}

TEST_F(Strip, AChangeIsPaintedOnceAndStepsHeldBackByThePaceSoon) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    strip.SetPos(2500);
    ::UpdateWindow(strip.m_hWnd);
    RECT dirty;
    EXPECT_FALSE(::GetUpdateRect(strip.m_hWnd, &dirty, FALSE)); // no second paint queued

    strip.SetPos(0);
    strip.SetStep(5); // half of a run of two thousand files, as fast as it goes
    ::UpdateWindow(strip.m_hWnd);
    for (int i = 0; i < 1000; ++i) {
        strip.StepIt();
        ::UpdateWindow(strip.m_hWnd);
    }
    const DWORD until = ::GetTickCount() + 200; // before the periodic refresh is due
    while (::GetTickCount() < until)
        PumpPending();
    EXPECT_EQ(strip.GetDrawnEndPx(), strip.GetGeometry().endPx);
    EXPECT_GT(strip.GetDrawnEndPx(), 0);
}

// The value changes the system announces for one window.
struct ValueChanges {
    static HWND s_hWnd;
    static int s_nCount;
    static void CALLBACK Hear(HWINEVENTHOOK, DWORD, HWND hWnd, LONG idObject, LONG idChild, DWORD,
                              DWORD) {
        if (hWnd == s_hWnd && idObject == OBJID_CLIENT && idChild == CHILDID_SELF)
            ++s_nCount;
    }
};
HWND ValueChanges::s_hWnd = nullptr;
int ValueChanges::s_nCount = 0;

TEST_F(Strip, IsAProgressBarToAssistiveTechnologyAnnouncingEachNewPercent) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    strip.SetAccessibleName([] { return std::string("Renaming"); });
    ValueChanges::s_hWnd = strip.m_hWnd;
    ValueChanges::s_nCount = 0;
    HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr,
                          &ValueChanges::Hear, ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    strip.SetPos(4500);
    PumpPending();
    EXPECT_EQ(ValueChanges::s_nCount, 1);
    strip.StepIt(); // 45.01 %: still 45
    PumpPending();
    EXPECT_EQ(ValueChanges::s_nCount, 1);
    AccessibleFacts facts = ReadAccessible(strip.m_hWnd);
    EXPECT_EQ(facts.role, ROLE_SYSTEM_PROGRESSBAR);
    EXPECT_EQ(facts.name, "Renaming");
    EXPECT_EQ(facts.value, "45%");
    strip.SetPos(4600);
    PumpPending();
    EXPECT_EQ(ValueChanges::s_nCount, 2);
    ::UnhookWinEvent(hook);
}

TEST_F(Strip, ListenerHearsNewPercentagesWhileShownAndMinusOneWhenHidden) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    std::vector<int> heard;
    strip.SetPercentListener([&](int nPercent) { heard.push_back(nPercent); });
    strip.SetPos(4500);
    strip.SetPos(4599);
    strip.ShowWindow(SW_HIDE);
    strip.SetPos(5000);
    strip.ShowWindow(SW_SHOW);
    strip.SetPos(10000);
    EXPECT_EQ(heard, (std::vector<int>{45, -1, 50, 100}));
}

bool IsBlue(COLORREF c) {
    return GetBValue(c) > GetRValue(c) + 60;
}
bool IsGrey(COLORREF c) {
    return std::abs(GetRValue(c) - GetBValue(c)) < 16 && std::abs(GetGValue(c) - GetBValue(c)) < 16;
}

TEST_F(Strip, PaintsTheFillUpToWhereTheGeometrySays) {
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    for (int pos : {0, 5000, 10000}) {
        strip.SetPos(pos);
        ::UpdateWindow(strip.m_hWnd);
        int end = strip.GetGeometry().endPx;
        CCapture shot = CaptureClient(strip.m_hWnd);
        SaveCapture(shot, "strip-" + std::to_string(pos) + ".png");
        const int y = 8;
        EXPECT_TRUE(IsBlue(shot.At(end - 2, y))) << pos;
        EXPECT_TRUE(IsBlue(shot.At(end / 2, y))) << pos;
        if (end + 15 < shot.width) {
            EXPECT_TRUE(IsGrey(shot.At(end + 15, y))) << pos;
        }
    }
}

// Tiles keep the skin's aspect at a thickness larger than the skin's: at
// creation, and again on Rescale, which an ordinary resize does not do.
TEST_F(Strip, TilesKeepTheSkinsShapeAtTheThicknessTheyAreMadeFor) {
    auto firstBlue = [](const CProgressStrip& s, int y) {
        CCapture shot = CaptureClient(s.m_hWnd);
        int x = 0;
        while (x < shot.width && !IsBlue(shot.At(x, y)))
            ++x;
        return x;
    };
    const int capTop = 1; // the fill's start cap rounds its corner in this skin row
    ::MoveWindow(m_host.m_hWnd, 10, 20, 172, 34, FALSE); // twice the thickness inside the edge
    CProgressStrip strip(&m_host, 10000, m_hSkin);
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetTileWidth(), 20);
    EXPECT_EQ(strip.GetTileHeight(), 32);
    const int cornerTall = firstBlue(strip, 2 * capTop); // the upper of its two rows

    ::MoveWindow(m_host.m_hWnd, 10, 20, 172, 18, FALSE);
    Tick(strip);
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetTileWidth(), 20);
    strip.SetPos(100);
    ::UpdateWindow(strip.m_hWnd); // a partial repaint
    strip.Rescale();
    ::UpdateWindow(strip.m_hWnd);
    EXPECT_EQ(strip.GetTileWidth(), 10);
    EXPECT_EQ(strip.GetTileHeight(), 16);
    const std::vector<TileDraw>& paint = strip.GetLastPaint();
    EXPECT_EQ(std::count(paint.begin(), paint.end(), TileDraw{TrackStart, 0}), 1)
        << "a full repaint, which alone draws the track's start";
    const int corner = firstBlue(strip, capTop);
    EXPECT_GT(corner, 0);
    EXPECT_NEAR(cornerTall, 2 * corner, 1);

    // A bar thinner than the skin, as the main window's at 96 DPI under Wine,
    // squeezes it and keeps its tiles as wide as ever.
    ::MoveWindow(m_host.m_hWnd, 10, 20, 172, 17, FALSE);
    strip.Rescale();
    EXPECT_EQ(strip.GetTileWidth(), 10);
    EXPECT_EQ(strip.GetTileHeight(), 15);
}

TEST_F(Strip, SkinWidthThatIsNotAMultipleOfNineLosesItsRightColumns) {
    HDC screen = ::GetDC(nullptr);
    HBITMAP wide = ::CreateCompatibleBitmap(screen, 98, 16);
    ::ReleaseDC(nullptr, screen);
    CProgressStrip strip(&m_host, 10000, wide);
    EXPECT_EQ(strip.GetTileWidth(), 10);
    strip.DestroyWindow();
    ::DeleteObject(wide);
}

TEST_F(Strip, SkinOfAnotherDepthThanTheDisplaysKeepsItsPicture) {
    // 24 bits a pixel, rows of whole 16-bit words; red by row, blue by column
    const int width = 90, height = 16, stride = 270;
    std::vector<BYTE> bits(stride * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            BYTE* p = &bits[y * stride + x * 3];
            p[0] = static_cast<BYTE>(2 * x);
            p[1] = 128;
            p[2] = static_cast<BYTE>(15 * y);
        }
    CBitmapHandle deep(::CreateBitmap(width, height, 1, 24, bits.data()));
    ASSERT_TRUE(deep);
    CClientDC screen(nullptr);
    if (::GetDeviceCaps(screen.Get(), BITSPIXEL) == 24)
        GTEST_SKIP() << "the display itself has 24 bits a pixel";
    CBitmapHandle converted;
    ASSERT_TRUE(CProgressStrip::ConvertSkinToDevice(converted, deep.Get(), screen.Get()));

    BITMAPINFO bi = {};
    bi.bmiHeader = {sizeof(bi.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<BYTE> read(width * height * 4);
    ASSERT_EQ(
        ::GetDIBits(screen.Get(), converted.Get(), 0, height, read.data(), &bi, DIB_RGB_COLORS),
        height);
    int wrong = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const BYTE* p = &read[(y * width + x) * 4];
            wrong += p[0] != 2 * x || p[1] != 128 || p[2] != 15 * y;
        }
    EXPECT_EQ(wrong, 0);
}

TEST_F(Strip, DestroyingRestoresTheHostAndLeaksNoGdiObjects) {
    int before = CountGdiObjects();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 200; ++i) {
        CProgressStrip strip(&m_host, 10000, m_hSkin);
        strip.SetPos(i * 50);
        ::UpdateWindow(strip.m_hWnd);
    }
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_EQ(::GetWindow(m_hParent, GW_CHILD), m_host.m_hWnd);
    EXPECT_EQ(::GetWindow(m_host.m_hWnd, GW_HWNDNEXT), nullptr);
}

} // namespace
