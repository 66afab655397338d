// The small progress bar beside a loading tree item: its place and how much of
// it is filled for a report of (total, done), at the tree's DPI.
#pragma once

#include "platform/DpiScale.h"

// At 96 DPI, scaled to the tree's.
constexpr int kBarWidth = 56;
constexpr int kBarFillWidth = 50;
constexpr int kBarHeight = 16;
constexpr int kBarGap = 3; // from the text to the frame, and from the frame to the fill

// With a known total the share done; without one a curve that rises quickly
// towards the end. Always 0 to the fill width at the DPI, whatever the counts.
int FeedbackFillWidth(int nTotal, int nDone, unsigned nDpi);

struct BarRect {
    int left, top, right, bottom;
    bool operator==(const BarRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The bar's frame and empty fill for an item's text rectangle: a gap right of
// the text, centred on it and the bar's height high (never more than the text).
void FeedbackBarRects(const BarRect& text, unsigned nDpi, BarRect& frame, BarRect& fill);
