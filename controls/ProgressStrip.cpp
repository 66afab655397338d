#include "ProgressStrip.h"

#include "platform/WndClass.h"

#include <utility>
#include <vector>

namespace {
constexpr UINT kRefreshMs = 500;
// Steps repaint at most this often: ten pictures a second, which a bar's
// movement needs and which leaves a run's time to its files.
constexpr DWORD kStepPaintMs = 100;
constexpr DWORD kStripStyle = 0x5000020E; // child and visible
constexpr COLORREF kMaskColour = RGB(0, 255, 255);
} // namespace

BEGIN_MESSAGE_MAP(CProgressStrip, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_WM_TIMER()
    ON_WM_SHOWWINDOW()
    ON_WM_GETOBJECT()
END_MESSAGE_MAP()

CProgressStrip::CProgressStrip(CWnd* pHost, int nUpper, HBITMAP hSkin) {
    CreateStrip(pHost, nUpper, hSkin);
}

CProgressStrip::~CProgressStrip() {
    RestoreHost();
    if (m_hWnd && m_bTimer)
        ::KillTimer(m_hWnd, TimerId());
    m_pSkinCopy.Reset();
    m_pDeviceSkin.Reset();
    m_pTileStrip.Reset();
    m_pBackBuffer.Reset();
    if (m_imlTiles)
        ImageList_Destroy(m_imlTiles);
}

BOOL CProgressStrip::GetHostRect(RECT* prc) const {
    if (!m_pHost || !::IsWindow(m_pHost->m_hWnd))
        return FALSE;
    HWND hParent = ::GetParent(m_pHost->m_hWnd);
    if (!::GetWindowRect(m_pHost->m_hWnd, prc))
        return FALSE;
    ::MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(prc), 2);
    return TRUE;
}

void CProgressStrip::CreateStrip(CWnd* pHost, int nUpper, HBITMAP hSkin) {
    m_pHost = pHost;
    RECT rc = {};
    if (!GetHostRect(&rc))
        return;
    std::string cls = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, IDC_WAIT));
    if (!CreateEx(WS_EX_STATICEDGE, cls.c_str(), "", kStripStyle, rc, ::GetParent(pHost->m_hWnd),
                  reinterpret_cast<UINT_PTR>(this)))
        return;
    InitStrip(nUpper, hSkin);
}

void CProgressStrip::InitStrip(int nUpper, HBITMAP hSkin) {
    m_rcPlaced = RECT{};
    if (!PrepareSkin(hSkin, FALSE))
        return;
    m_nLower = 0;
    m_nUpper = nUpper;
    m_nPos = 0;
    m_nStep = 1;
    SetPos(0, FALSE);
    m_bTimer = ::SetTimer(m_hWnd, TimerId(), kRefreshMs, nullptr) != 0;
    Refresh();
}

void CProgressStrip::RestoreHost() {
    if (!m_hWnd)
        return;
    ModifyStyle(WS_VISIBLE, 0);
    if (m_bTimer)
        ::KillTimer(m_hWnd, TimerId());
    m_bTimer = false;
    DestroyWindow();
    if (m_pHost && ::IsWindow(m_pHost->m_hWnd))
        ::InvalidateRect(m_pHost->m_hWnd, nullptr, TRUE);
}

int CProgressStrip::Clamp(long long nPos) const {
    if (nPos > m_nUpper)
        nPos = m_nUpper;
    if (nPos < m_nLower)
        nPos = m_nLower;
    return static_cast<int>(nPos);
}

int CProgressStrip::SetPos(int nPos, BOOL bRefresh) {
    if (!m_hWnd)
        return 0;
    m_nPrevPos = m_nPos;
    m_nPos = Clamp(nPos);
    if (bRefresh)
        Refresh();
    ReportPercent();
    return m_nPrevPos;
}

int CProgressStrip::SetStep(int nStep) {
    if (!m_hWnd)
        return 0;
    int old = m_nStep;
    m_nStep = nStep;
    return old;
}

int CProgressStrip::StepIt(BOOL bRefresh) {
    if (!m_hWnd)
        return 0;
    m_nPrevPos = m_nPos;
    m_nPos = Clamp(static_cast<long long>(m_nPos) + m_nStep);
    if (bRefresh)
        RefreshStep();
    ReportPercent();
    return m_nPrevPos;
}

int CProgressStrip::MoveTo(int nPos) {
    if (!m_hWnd)
        return 0;
    m_nPrevPos = m_nPos;
    m_nPos = Clamp(nPos);
    RefreshStep();
    ReportPercent();
    return m_nPrevPos;
}

// A run steps once per file, hundreds of times a second, and each repaint
// costs more than the file's own rename. A step repaints at a steady pace: a
// step held back is painted by a one-shot timer when the pace allows, so the
// strip never rests on an old position, and while that timer is pending
// further steps wait for it rather than paint a second time. Following the
// host is left to the periodic refresh.
void CProgressStrip::RefreshStep() {
    if (m_bCatchUpPending || !IsWindowVisible() || !ComputeGeometry(nullptr))
        return;
    const DWORD now = ::GetTickCount();
    const DWORD sincePaint = now - m_dwLastStepPaint;
    if (sincePaint >= kStepPaintMs) {
        m_dwLastStepPaint = now;
        Invalidate(TRUE);
    } else {
        m_bCatchUpPending =
            ::SetTimer(m_hWnd, CatchUpTimerId(), kStepPaintMs - sincePaint, nullptr) != 0;
    }
}

int CProgressStrip::Refresh() {
    if (!m_hWnd)
        return 0;
    RECT rcHost;
    if (!GetHostRect(&rcHost))
        return 0;
    if (IsWindowVisible()) {
        bool placeable = rcHost.right - rcHost.left > 2 && rcHost.bottom - rcHost.top > 2;
        if (!::EqualRect(&rcHost, &m_rcPlaced) && placeable) {
            m_rcPlaced = rcHost;
            MoveWindow(rcHost, TRUE);
            Invalidate(TRUE);
        } else if (ComputeGeometry(nullptr) && !m_bErasing) {
            Invalidate(TRUE);
        }
    }
    return 1;
}

void CProgressStrip::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == CatchUpTimerId()) {
        ::KillTimer(m_hWnd, CatchUpTimerId());
        m_bCatchUpPending = false;
        m_dwLastStepPaint = ::GetTickCount();
    }
    if (nIDEvent == TimerId() || nIDEvent == CatchUpTimerId())
        Refresh();
    Default();
}

BOOL CProgressStrip::OnEraseBkgnd(HDC) {
    LRESULT result = Default();
    // The paint under way draws the fill as it stands: only a host that moved
    // needs another one.
    m_bErasing = true;
    Refresh();
    m_bErasing = false;
    return static_cast<BOOL>(result);
}

BOOL CProgressStrip::ComputeGeometry(RECT* prcClient) {
    RECT rc = {};
    GetClientRect(&rc);
    if (prcClient)
        *prcClient = rc;
    StripGeometry g =
        ComputeStripGeometry(rc.right - rc.left, m_cxTile, m_nPos, m_nLower, m_nUpper);
    m_nEndPx = g.endPx;
    m_nTrackEndPx = g.trackEndPx;
    return !(m_painted.drawnTrackEndPx == m_nTrackEndPx && m_painted.drawnEndPx == m_nEndPx);
}

BOOL CProgressStrip::CopyBitmap(CBitmapHandle& dest, HBITMAP hSource) {
    if (!hSource)
        return FALSE;
    BITMAP bm = {};
    if (!::GetObjectA(hSource, sizeof(bm), &bm))
        return FALSE;
    std::vector<BYTE> bits(static_cast<size_t>(bm.bmWidthBytes) * bm.bmHeight);
    if (bits.empty())
        return FALSE;
    ::GetBitmapBits(hSource, static_cast<LONG>(bits.size()), bits.data());
    bm.bmBits = bits.data();
    dest.Reset(::CreateBitmapIndirect(&bm));
    return dest ? TRUE : FALSE;
}

BOOL CProgressStrip::ConvertSkinToDevice(CBitmapHandle& dest, HBITMAP hSource, HDC hdc) {
    if (!hSource)
        return FALSE;
    BITMAP bm = {};
    if (!::GetObjectA(hSource, sizeof(bm), &bm))
        return FALSE;
    if (::GetDeviceCaps(hdc, BITSPIXEL) == bm.bmBitsPixel)
        return CopyBitmap(dest, hSource);

    // A bitmap's own bits come in rows of whole 16-bit words and without a
    // colour table; the system hands them over as a top-down 32-bit DIB
    // instead, whose 4-byte rows need no table and which any display takes.
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = bm.bmWidth;
    bi.bmiHeader.biHeight = -bm.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> bits(static_cast<size_t>(bm.bmWidth) * bm.bmHeight * 4);
    if (bits.empty() || !::GetDIBits(hdc, hSource, 0, static_cast<UINT>(bm.bmHeight), bits.data(),
                                     &bi, DIB_RGB_COLORS))
        return FALSE;
    CBitmapHandle display(
        ::CreateDIBitmap(hdc, &bi.bmiHeader, CBM_INIT, bits.data(), &bi, DIB_RGB_COLORS));
    return CopyBitmap(dest, display.Get());
}

BOOL CProgressStrip::PrepareSkin(HBITMAP hSkin, BOOL bRefresh) {
    m_rcPainted = RECT{};
    RECT rcHost;
    if (!GetHostRect(&rcHost))
        return FALSE;
    CClientDC dc(m_hWnd);

    m_pSkinCopy.Reset();
    m_pDeviceSkin.Reset();
    CopyBitmap(m_pSkinCopy, hSkin);
    ConvertSkinToDevice(m_pDeviceSkin, m_pSkinCopy.Get(), dc.Get());
    if (!PrepareTiles(dc.Get(), rcHost))
        return FALSE;
    if (bRefresh)
        Refresh();
    return TRUE;
}

void CProgressStrip::Rescale() {
    RECT rcHost;
    if (!m_hWnd || !m_pDeviceSkin || !GetHostRect(&rcHost))
        return;
    CClientDC dc(m_hWnd);
    PrepareTiles(dc.Get(), rcHost);
    m_rcPainted = RECT{};
    Refresh();
    Invalidate(TRUE);
}

// Each tile is stretched to the bar's thickness. On a bar thicker than the
// skin it keeps the skin's aspect, so that the round caps stay round and the
// body tiles, repeated, carry the length. A thinner bar squeezes the skin as it
// always has: at 96 DPI the main window's bar is 15 pixels thick under Wine,
// whose stand-in for Tahoma is a little smaller, and looks as it always did.
BOOL CProgressStrip::PrepareTiles(HDC hdc, const RECT& rcHost) {
    BITMAP bm = {};
    ::GetObjectA(m_pDeviceSkin.Get(), sizeof(bm), &bm);
    const int skinTile = bm.bmWidth / kStripTileCount;
    const int height = bm.bmHeight;
    const int thickness = (rcHost.bottom - rcHost.top) - 2; // inside the static edge
    const int tile = height > 0 && thickness > height ? skinTile * thickness / height : skinTile;
    m_cxTile = skinTile;
    m_cyTile = height;

    m_pTileStrip.Reset(::CreateCompatibleBitmap(hdc, tile * kStripTileCount, thickness));
    {
        CMemoryDC skinDC(hdc);
        CMemoryDC stripDC(hdc);
        CSelectObject selSkin(skinDC.Get(), m_pDeviceSkin.Get());
        CSelectObject selStrip(stripDC.Get(), m_pTileStrip.Get());
        ::SetStretchBltMode(stripDC.Get(), HALFTONE);
        // One tile at a time, so that smoothing never mixes in a neighbour.
        for (int i = 0; i < kStripTileCount; ++i)
            ::StretchBlt(stripDC.Get(), i * tile, 0, tile, thickness, skinDC.Get(), i * skinTile, 0,
                         skinTile, height, SRCCOPY);
    }
    BITMAP strip = {};
    ::GetObjectA(m_pTileStrip.Get(), sizeof(strip), &strip);
    m_cxTile = strip.bmWidth / kStripTileCount;
    m_cyTile = strip.bmHeight;

    if (m_imlTiles)
        ImageList_Destroy(m_imlTiles);
    m_imlTiles = ImageList_Create(m_cxTile, m_cyTile, ILC_COLOR32, 0, 0);
    if (!m_imlTiles)
        return FALSE;
    ImageList_AddMasked(m_imlTiles, m_pTileStrip.Get(), kMaskColour);
    return TRUE;
}

void CProgressStrip::OnPaint() {
    CPaintDC dc(m_hWnd);
    RECT rc;
    ComputeGeometry(&rc);
    const int cx = rc.right - rc.left;
    const int cy = rc.bottom - rc.top;
    const bool sameSize =
        cx == m_rcPainted.right - m_rcPainted.left && cy == m_rcPainted.bottom - m_rcPainted.top;
    if (!sameSize) {
        m_pBackBuffer.Reset(::CreateCompatibleBitmap(dc.Get(), cx, cy));
        ++m_nBackBuffers;
    }
    // The first paint and every new size repaint the whole bar.
    const bool full = !sameSize || ::IsRectEmpty(&m_rcPainted);
    m_lastPaint = PlanStripPaint(full, m_cxTile, {m_nEndPx, m_nTrackEndPx}, m_painted);
    if (full)
        m_rcPainted = rc;

    CMemoryDC mem(dc.Get());
    CSelectObject sel(mem.Get(), m_pBackBuffer.Get());
    for (const TileDraw& d : m_lastPaint)
        ImageList_Draw(m_imlTiles, d.tile, mem.Get(), d.offset, 0, ILD_NORMAL);
    ::BitBlt(dc.Get(), 0, 0, cx, cy, mem.Get(), 0, 0, SRCCOPY);
}

int CProgressStrip::GetPercent() const {
    const long long range = static_cast<long long>(m_nUpper) - m_nLower;
    if (range <= 0)
        return 0;
    return static_cast<int>((static_cast<long long>(m_nPos) - m_nLower) * 100 / range);
}

void CProgressStrip::SetAccessibleName(std::function<std::string()> name) {
    m_pAccessible->name = std::move(name);
}

void CProgressStrip::SetPercentListener(std::function<void(int nPercent)> listener) {
    m_percentListener = std::move(listener);
}

std::shared_ptr<AccessibleTraits> CProgressStrip::MakeAccessible() {
    auto traits = std::make_shared<AccessibleTraits>();
    traits->role = ROLE_SYSTEM_PROGRESSBAR;
    traits->value = [this] { return std::to_string(GetPercent()) + "%"; };
    return traits;
}

// A run steps once a file, thousands of times: only a new whole percentage is
// worth telling, and only while the strip is shown. Its own visibility counts,
// so that a minimized window's taskbar button goes on showing the run.
void CProgressStrip::ReportPercent() {
    const int percent = GetPercent();
    if (percent == m_nReportedPercent)
        return;
    m_nReportedPercent = percent;
    if (!(GetStyle() & WS_VISIBLE))
        return;
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    if (m_percentListener)
        m_percentListener(percent);
}

void CProgressStrip::OnShowWindow(BOOL bShow, UINT nStatus) {
    Default();
    // A parent's minimizing or restoring (nStatus) leaves the strip as it was.
    if (nStatus == 0 && m_percentListener)
        m_percentListener(bShow ? GetPercent() : -1);
}

LRESULT CProgressStrip::OnGetObject(DWORD dwFlags, DWORD dwObjectId) {
    LRESULT answer = AnswerClientObject(m_hWnd, dwFlags, dwObjectId, m_pAccessible);
    return answer ? answer : Default();
}
