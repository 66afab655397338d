#include "FeedbackBar.h"

#include <cmath>

int FeedbackFillWidth(int nTotal, int nDone) {
    if (nTotal > 0)
        return static_cast<int>(static_cast<long long>(nDone) * kBarFillWidth / nTotal);
    const double n = nDone;
    const double e2 = std::exp(2.0);
    const double g = 0.2 * n + 1.0 - 0.5 * std::log(std::exp(0.4 * n) + e2 - 1.0);
    return static_cast<int>(kBarFillWidth * g);
}

void FeedbackBarRects(const BarRect& text, BarRect& frame, BarRect& fill) {
    frame = text;
    int d = ((frame.bottom - frame.top) - kBarHeight) / 2;
    if (d < 0)
        d = 0;
    frame.top += d;
    frame.bottom -= d;
    const int shift = (frame.right - frame.left) + 3;
    frame.left += shift;
    frame.right += shift;
    fill = {frame.left + 3, frame.top + 3, frame.left + 3, frame.bottom - 3};
    frame.right = frame.left + kBarWidth;
}
