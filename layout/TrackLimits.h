// TrackLimits: the smallest size a resizable window can be dragged to.
#pragma once

#include "platform/DpiScale.h"

#include <windows.h>

class TrackLimits {
public:
    virtual ~TrackLimits() = default;

    void SetMinimumSize(int cx, int cy) {
        m_minTrackSize = {cx, cy};
        m_bMinTrackSet = true;
    }
    // The minimum set at one DPI, at another.
    void ScaleMinimumSize(UINT nOldDpi, UINT nNewDpi) {
        m_minTrackSize = {ScaleBetweenDpis(m_minTrackSize.x, nOldDpi, nNewDpi),
                          ScaleBetweenDpis(m_minTrackSize.y, nOldDpi, nNewDpi)};
    }
    // Puts the minimum into the platform's request; the rest stays as proposed.
    void ApplySizeLimits(MINMAXINFO* lpMMI) const {
        if (m_bMinTrackSet)
            lpMMI->ptMinTrackSize = m_minTrackSize;
    }

protected:
    POINT m_minTrackSize = {0, 0};
    bool m_bMinTrackSet = false;
};
