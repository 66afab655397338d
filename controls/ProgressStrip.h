// CProgressStrip: a skinned horizontal progress bar laid exactly over a host
// control of a dialog. It refreshes itself every 500 ms, so it follows the host
// when the dialog's layout moves or resizes it, and paints through a back
// buffer, redrawing only the tiles around the end of the fill when it moved.
#pragma once

#include "StripPaintPlan.h"

#include "platform/Accessibility.h"
#include "platform/ScopedHandles.h"
#include "platform/Wnd.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

class CProgressStrip : public CWnd {
public:
    // Creates the strip over pHost (required) with the range 0..nUpper; the skin
    // is copied and stays the caller's. Creation fails quietly: without a window
    // every operation returns 0.
    CProgressStrip(CWnd* pHost, int nUpper, HBITMAP hSkin);
    ~CProgressStrip() override;

    int SetPos(int nPos, BOOL bRefresh = TRUE);
    int SetStep(int nStep);
    int StepIt(BOOL bRefresh = TRUE);
    // A position a run reaches file by file, painted at the pace StepIt's are.
    int MoveTo(int nPos);
    int Refresh();
    // Makes the tiles again for the host's thickness now and repaints the whole
    // bar: after a DPI change. A resize alone keeps the tiles of creation.
    void Rescale();

    int GetPos() const { return m_nPos; }
    int GetStep() const { return m_nStep; }
    int GetUpper() const { return m_nUpper; }
    int GetTileWidth() const { return m_cxTile; }
    int GetTileHeight() const { return m_cyTile; }
    StripGeometry GetGeometry() const { return {m_nEndPx, m_nTrackEndPx}; }
    // Where the fill's end stands on the screen: the end the last paints drew.
    int GetDrawnEndPx() const { return m_painted.drawnEndPx; }
    // The tiles the last paint drew, in order.
    const std::vector<TileDraw>& GetLastPaint() const { return m_lastPaint; }
    // How many back buffers were made: one per size the strip was painted at.
    int GetBackBufferCount() const { return m_nBackBuffers; }

    // The position as a whole percentage of the range, rounded down.
    int GetPercent() const;
    // What assistive technology calls the strip; asked for each time it wants it.
    void SetAccessibleName(std::function<std::string()> name);
    // Told the percentage when it changes while the strip is shown, when the
    // strip is shown, and -1 when it is hidden.
    void SetPercentListener(std::function<void(int nPercent)> listener);

    // Skin preparation, public for its own tests.
    static BOOL CopyBitmap(CBitmapHandle& dest, HBITMAP hSource);
    static BOOL ConvertSkinToDevice(CBitmapHandle& dest, HBITMAP hSource, HDC hdc);

protected:
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnEraseBkgnd(HDC hdc);
    void OnPaint();
    void OnShowWindow(BOOL bShow, UINT nStatus);
    LRESULT OnGetObject(DWORD dwFlags, DWORD dwObjectId);
    DECLARE_MESSAGE_MAP()

private:
    void CreateStrip(CWnd* pHost, int nUpper, HBITMAP hSkin);
    void InitStrip(int nUpper, HBITMAP hSkin);
    void RestoreHost();
    BOOL GetHostRect(RECT* prc) const;
    BOOL PrepareSkin(HBITMAP hSkin, BOOL bRefresh);
    BOOL PrepareTiles(HDC hdc, const RECT& rcHost);
    BOOL ComputeGeometry(RECT* prcClient);
    void RefreshStep();
    int Clamp(long long nPos) const;
    UINT_PTR TimerId() const { return reinterpret_cast<UINT_PTR>(this); }
    // A one-shot timer that paints the last step a paced refresh held back.
    UINT_PTR CatchUpTimerId() const { return TimerId() + 1; }

    int m_nLower = 0;
    int m_nUpper = 0;
    int m_nStep = 1;
    int m_nPrevPos = 0;
    int m_nPos = 0;
    int m_nEndPx = 0;
    int m_nTrackEndPx = 0;
    StripPaintedState m_painted; // m_nDrawnEndPx and m_nDrawnTrackEndPx
    int m_cxTile = 0;
    int m_cyTile = 0;
    RECT m_rcPlaced = {};
    RECT m_rcPainted = {};
    CBitmapHandle m_pSkinCopy;
    CBitmapHandle m_pDeviceSkin;
    CBitmapHandle m_pTileStrip;
    CBitmapHandle m_pBackBuffer;
    HIMAGELIST m_imlTiles = nullptr; // owned
    CWnd* m_pHost = nullptr;         // not owned: the dialog's control
    bool m_bTimer = false;
    bool m_bCatchUpPending = false;
    bool m_bErasing = false;
    DWORD m_dwLastStepPaint = 0; // tick count of the last invalidation by a step
    std::vector<TileDraw> m_lastPaint;
    int m_nBackBuffers = 0;

    // What listeners and assistive technology are told.
    std::shared_ptr<AccessibleTraits> MakeAccessible();
    void ReportPercent();
    std::shared_ptr<AccessibleTraits> m_pAccessible = MakeAccessible();
    std::function<void(int)> m_percentListener;
    int m_nReportedPercent = 0;
};
