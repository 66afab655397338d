// TrackLimits: the smallest size a resizable window can be dragged to.
#pragma once

#include <windows.h>

class TrackLimits {
public:
    virtual ~TrackLimits() = default;

    void SetMinimumSize(int cx, int cy) {
        m_minTrackSize = {cx, cy};
        m_bMinTrackSet = true;
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
