#include "FeedbackBar.h"

#include <algorithm>
#include <cmath>

int FeedbackFillWidth(int nTotal, int nDone) {
    long long w = 0;
    if (nTotal > 0) {
        w = static_cast<long long>(nDone) * kBarFillWidth / nTotal;
    } else {
        // g(n) = 0.2n + 1 - 0.5 ln(e^(0.4n) + e^2 - 1), with e^(0.4n) taken out of
        // the logarithm: e^(0.4n) itself overflows from n = 1775 on.
        const double g = 1.0 - 0.5 * std::log1p(std::expm1(2.0) * std::exp(-0.4 * nDone));
        w = g > 0 ? static_cast<long long>(kBarFillWidth * g) : 0; // a negative count gives -inf
    }
    // Counts read while a report is being written may not belong together.
    return static_cast<int>(std::clamp<long long>(w, 0, kBarFillWidth));
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
