#include "FeedbackBar.h"

#include <algorithm>
#include <cmath>

int FeedbackFillWidth(int nTotal, int nDone, unsigned nDpi) {
    const int full = ScaleForDpi(kBarFillWidth, nDpi);
    long long w = 0;
    if (nTotal > 0) {
        w = static_cast<long long>(nDone) * full / nTotal;
    } else {
        // g(n) = 0.2n + 1 - 0.5 ln(e^(0.4n) + e^2 - 1), with e^(0.4n) taken out of
        // the logarithm: e^(0.4n) itself overflows from n = 1775 on.
        const double g = 1.0 - 0.5 * std::log1p(std::expm1(2.0) * std::exp(-0.4 * nDone));
        w = g > 0 ? static_cast<long long>(full * g) : 0; // a negative count gives -inf
    }
    // Counts read while a report is being written may not belong together.
    return static_cast<int>(std::clamp<long long>(w, 0, full));
}

void FeedbackBarRects(const BarRect& text, unsigned nDpi, BarRect& frame, BarRect& fill) {
    const int gap = ScaleForDpi(kBarGap, nDpi);
    frame = text;
    int d = ((frame.bottom - frame.top) - ScaleForDpi(kBarHeight, nDpi)) / 2;
    if (d < 0)
        d = 0;
    frame.top += d;
    frame.bottom -= d;
    const int shift = (frame.right - frame.left) + gap;
    frame.left += shift;
    frame.right += shift;
    fill = {frame.left + gap, frame.top + gap, frame.left + gap, frame.bottom - gap};
    frame.right = frame.left + ScaleForDpi(kBarWidth, nDpi);
}
