// The loading feedback bar: its widths and its place.
#include "foldertree/FeedbackBar.h"

#include <gtest/gtest.h>

namespace {

TEST(FeedbackFillWidth, UnknownTotalRisesQuicklyAndNeverReachesTheEnd) {
    const int expected[] = {0, 8, 16, 23, 29, 34, 38, 41, 44, 45, 47, 48, 48};
    for (int n = 0; n <= 12; ++n)
        EXPECT_EQ(FeedbackFillWidth(0, n), expected[n]) << n;
    for (int n = 13; n <= 40; ++n)
        EXPECT_EQ(FeedbackFillWidth(0, n), 49) << n;
    EXPECT_EQ(FeedbackFillWidth(-1, 3), 23);
}

TEST(FeedbackFillWidth, KnownTotalGivesTheShareDone) {
    EXPECT_EQ(FeedbackFillWidth(1, 0), 0);
    EXPECT_EQ(FeedbackFillWidth(1, 1), 50);
    EXPECT_EQ(FeedbackFillWidth(3, 1), 16);
    EXPECT_EQ(FeedbackFillWidth(3, 2), 33);
}

TEST(FeedbackFillWidth, AFillOfFiveChildrenReportsTheseWidths) {
    // begun, enumeration started, five children, complete
    const int reports[][2] = {{1, 0}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}, {1, 1}};
    const int expected[] = {0, 0, 8, 16, 23, 29, 34, 50};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(FeedbackFillWidth(reports[i][0], reports[i][1]), expected[i]) << i;
}

TEST(FeedbackFillWidth, StaysInsideTheFrameForEveryCount) {
    for (int n = 13; n <= 100000; ++n) {
        const int w = FeedbackFillWidth(0, n);
        ASSERT_TRUE(w == 49 || w == 50) << n;
    }
    // a report caught half-written: done far past the total, or a negative count
    const int pairs[][2] = {{1, 1700}, {3, 100000}, {1, 0x7FFFFFFF}, {5, -3}, {0, -4}};
    for (const auto& p : pairs) {
        const int w = FeedbackFillWidth(p[0], p[1]);
        EXPECT_GE(w, 0) << p[0] << " " << p[1];
        EXPECT_LE(w, 50) << p[0] << " " << p[1];
    }
}

TEST(FeedbackBarRects, BarSitsRightOfTheTextAndIsAtMostSixteenHigh) {
    struct Case {
        int textHeight;
        int barHeight;
    } cases[] = {{12, 12}, {16, 16}, {20, 16}, {21, 17}, {30, 16}};
    for (const Case& c : cases) {
        BarRect frame, fill;
        FeedbackBarRects({10, 100, 60, 100 + c.textHeight}, frame, fill);
        EXPECT_EQ(frame.bottom - frame.top, c.barHeight) << c.textHeight;
        EXPECT_EQ(frame.left, 63) << c.textHeight;
        EXPECT_EQ(frame.right, 63 + 56) << c.textHeight;
        EXPECT_EQ(fill.left, 66);
        EXPECT_EQ(fill.right, 66);
        EXPECT_EQ(fill.top, frame.top + 3);
        EXPECT_EQ(fill.bottom, frame.bottom - 3);
    }
}

} // namespace
