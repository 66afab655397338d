// The small progress bar beside a loading tree item: its place and how much of
// it is filled for a report of (total, done).
#pragma once

constexpr int kBarWidth = 56;
constexpr int kBarFillWidth = 50;
constexpr int kBarHeight = 16;

// With a known total the share done; without one a curve that rises quickly
// towards the end. Always 0 to 50, whatever the counts.
int FeedbackFillWidth(int nTotal, int nDone);

struct BarRect {
    int left, top, right, bottom;
    bool operator==(const BarRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The bar's frame and empty fill for an item's text rectangle: 3 pixels right
// of the text, centred on it and 16 pixels high (never more than the text).
void FeedbackBarRects(const BarRect& text, BarRect& frame, BarRect& fill);
