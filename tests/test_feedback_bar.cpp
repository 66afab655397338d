// The loading feedback bar: its widths and its place, at 96 DPI and above.
#include "foldertree/FeedbackBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(FeedbackFillWidth, UnknownTotalRisesQuicklyAndNeverReachesTheEnd) {
    struct Row {
        unsigned dpi;
        std::vector<int> rising; // from no child on
        int settled;             // from there to 40 children
    } rows[] = {
        {96, {0, 8, 16, 23, 29, 34, 38, 41, 44, 45, 47, 48, 48}, 49},
        {192, {0, 16, 32, 46, 58, 68, 77, 83, 88, 91, 94, 96, 97, 98, 98}, 99},
    };
    for (const Row& r : rows) {
        const int count = static_cast<int>(r.rising.size());
        for (int n = 0; n < count; ++n)
            EXPECT_EQ(FeedbackFillWidth(0, n, r.dpi), r.rising[n]) << r.dpi << " " << n;
        for (int n = count; n <= 40; ++n)
            EXPECT_EQ(FeedbackFillWidth(0, n, r.dpi), r.settled) << r.dpi << " " << n;
    }
    EXPECT_EQ(FeedbackFillWidth(-1, 3, 96), 23);
}

TEST(FeedbackFillWidth, KnownTotalGivesTheShareDone) {
    const struct {
        unsigned dpi;
        int total, done, width;
    } rows[] = {{96, 1, 0, 0},    {96, 1, 1, 50},  {96, 3, 1, 16},  {96, 3, 2, 33},
                {192, 1, 1, 100}, {192, 3, 1, 33}, {192, 3, 2, 66}, {144, 1, 1, 75}};
    for (const auto& r : rows)
        EXPECT_EQ(FeedbackFillWidth(r.total, r.done, r.dpi), r.width)
            << r.dpi << " " << r.total << " " << r.done;
}

TEST(FeedbackFillWidth, AFillOfFiveChildrenReportsTheseWidths) {
    // begun, enumeration started, five children, complete
    const int reports[][2] = {{1, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 1}};
    const struct {
        unsigned dpi;
        int widths[8];
    } rows[] = {{96, {0, 0, 8, 16, 23, 29, 34, 50}}, {192, {0, 0, 16, 32, 46, 58, 68, 100}}};
    for (const auto& r : rows)
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(FeedbackFillWidth(reports[i][0], reports[i][1], r.dpi), r.widths[i])
                << r.dpi << " " << i;
}

TEST(FeedbackFillWidth, StaysInsideTheFrameForEveryCount) {
    // a report caught half-written: done far past the total, or a negative count
    const int pairs[][2] = {{1, 1700}, {3, 100000}, {1, 0x7FFFFFFF}, {5, -3}, {0, -4}};
    for (unsigned dpi : {96u, 192u}) {
        const int full = ScaleForDpi(kBarFillWidth, dpi);
        for (int n = 15; n <= 100000; ++n) {
            const int w = FeedbackFillWidth(0, n, dpi);
            ASSERT_TRUE(w == full - 1 || w == full) << dpi << " " << n;
        }
        for (const auto& p : pairs) {
            const int w = FeedbackFillWidth(p[0], p[1], dpi);
            EXPECT_GE(w, 0) << dpi << " " << p[0] << " " << p[1];
            EXPECT_LE(w, full) << dpi << " " << p[0] << " " << p[1];
        }
    }
}

TEST(FeedbackBarRects, BarSitsRightOfTheTextAndIsAtMostItsHeightHigh) {
    const struct {
        unsigned dpi;
        int textHeight, barHeight, gap, width;
    } rows[] = {{96, 12, 12, 3, 56},   {96, 16, 16, 3, 56},   {96, 20, 16, 3, 56},
                {96, 21, 17, 3, 56},   {96, 30, 16, 3, 56},   {192, 24, 24, 6, 112},
                {192, 40, 32, 6, 112}, {192, 41, 33, 6, 112}, {144, 30, 24, 5, 84}};
    for (const auto& r : rows) {
        BarRect frame, fill;
        FeedbackBarRects({10, 100, 60, 100 + r.textHeight}, r.dpi, frame, fill);
        SCOPED_TRACE(::testing::Message() << r.dpi << " " << r.textHeight);
        EXPECT_EQ(frame.bottom - frame.top, r.barHeight);
        EXPECT_EQ(frame.left, 60 + r.gap);
        EXPECT_EQ(frame.right, frame.left + r.width);
        EXPECT_EQ(fill.left, frame.left + r.gap);
        EXPECT_EQ(fill.right, fill.left);
        EXPECT_EQ(fill.top, frame.top + r.gap);
        EXPECT_EQ(fill.bottom, frame.bottom - r.gap);
    }
}

} // namespace
