// Where the fill of the progress strip ends, and what one paint draws.
#include "controls/StripPaintPlan.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<TileDraw> Body(int tile, int from, int to, int step) {
    std::vector<TileDraw> v;
    for (int p = from; step > 0 ? p <= to : p >= to; p += step)
        v.push_back({tile, p});
    return v;
}

std::vector<TileDraw> Cat(std::vector<TileDraw> a, const std::vector<TileDraw>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(StripGeometry, FillSpansOneTileAtTheLowerBoundAndTheTrackAtTheUpper) {
    EXPECT_EQ(ComputeStripGeometry(170, 10, 2500, 0, 10000).trackEndPx, 160);
    EXPECT_EQ(ComputeStripGeometry(170, 10, 2500, 0, 10000).endPx, 47);
    EXPECT_EQ(ComputeStripGeometry(170, 10, 0, 0, 10000).endPx, 10);
    EXPECT_EQ(ComputeStripGeometry(170, 10, 10000, 0, 10000).endPx, 160);
    EXPECT_EQ(ComputeStripGeometry(170, 10, 5000, 0, 10000).endPx, 85);
    // the product needs 64 bits
    EXPECT_EQ(ComputeStripGeometry(300000, 10, 2000000000, 0, 2000000000).endPx, 299990);
}

TEST(StripGeometry, EmptyRangeAndTooNarrowClientAreDefined) {
    EXPECT_EQ(ComputeStripGeometry(170, 10, 0, 0, 0).endPx, 10);
    StripGeometry narrow = ComputeStripGeometry(12, 10, 5000, 0, 10000);
    EXPECT_EQ(narrow.trackEndPx, 2);
    EXPECT_LE(narrow.endPx, narrow.trackEndPx);
}

TEST(StripPaintPlan, FullRepaintDrawsTheWholeBarInOrder) {
    StripPaintedState painted;
    auto draws = PlanStripPaint(true, 10, {47, 160}, painted);
    auto expected =
        Cat(Cat(Body(TrackBody, 160, 50, -10), Body(FillBody, 40, 0, -10)), {{FillMark, 23},
                                                                             {TrackAfterFill, 57},
                                                                             {TrackStart, 0},
                                                                             {TrackEnd, 160},
                                                                             {FillStart, 0},
                                                                             {FillEnd, 47}});
    EXPECT_EQ(draws, expected);
    EXPECT_EQ(painted.drawnEndPx, 47);
    EXPECT_EQ(painted.drawnTrackEndPx, 160);
}

TEST(StripPaintPlan, ForwardMoveRedrawsBodyMarkTrackPieceAndEndCap) {
    StripPaintedState painted{47, 160};
    auto draws = PlanStripPaint(false, 10, {85, 160}, painted);
    auto expected = Cat(Body(FillBody, 47, 47, 10), Body(FillBody, 50, 80, 10));
    expected = Cat(expected, {{FillMark, 42}, {TrackAfterFill, 95}, {FillEnd, 85}});
    EXPECT_EQ(draws, expected);
    EXPECT_EQ(painted.drawnEndPx, 85);
}

TEST(StripPaintPlan, StartCapIsRedrawnOnlyWhileTheFillIsShorterThanTwoTiles) {
    StripPaintedState painted{10, 160};
    auto shortFill = PlanStripPaint(false, 10, {15, 160}, painted);
    EXPECT_NE(std::find(shortFill.begin(), shortFill.end(), TileDraw{FillStart, 0}),
              shortFill.end());
    auto longFill = PlanStripPaint(false, 10, {25, 160}, painted);
    EXPECT_EQ(std::find(longFill.begin(), longFill.end(), TileDraw{FillStart, 0}), longFill.end());
}

TEST(StripPaintPlan, NearTheTrackEndTheEndCapOfTheTrackIsRedrawn) {
    StripPaintedState painted{140, 160};
    auto draws = PlanStripPaint(false, 10, {155, 160}, painted);
    EXPECT_NE(std::find(draws.begin(), draws.end(), TileDraw{TrackEnd, 160}), draws.end());
    EXPECT_EQ(std::find_if(draws.begin(), draws.end(),
                           [](const TileDraw& d) { return d.tile == TrackAfterFill; }),
              draws.end());
}

TEST(StripPaintPlan, BackwardMoveRedrawsTheTrackBody) {
    StripPaintedState painted{85, 160};
    auto draws = PlanStripPaint(false, 10, {47, 160}, painted);
    auto expected = Cat({{TrackBody, 85}}, Body(TrackBody, 80, 50, -10));
    expected = Cat(expected, {{FillMark, 23}, {TrackAfterFill, 57}, {FillEnd, 47}});
    EXPECT_EQ(draws, expected);
}

TEST(StripPaintPlan, UnmovedEndDrawsNothingAndNoSkinDrawsNothing) {
    StripPaintedState painted{47, 160};
    EXPECT_TRUE(PlanStripPaint(false, 10, {47, 160}, painted).empty());
    EXPECT_TRUE(PlanStripPaint(true, 0, {0, 0}, painted).empty());
}

TEST(StripPaintPlan, OneStepAdvanceCostsAHandfulOfTiles) {
    // 10000 / 100 files: the end moves by 1 or 2 pixels per step on a 170 pixel bar
    StripPaintedState painted;
    PlanStripPaint(true, 10, ComputeStripGeometry(170, 10, 5000, 0, 10000), painted);
    auto draws = PlanStripPaint(false, 10, ComputeStripGeometry(170, 10, 5100, 0, 10000), painted);
    EXPECT_LE(draws.size(), 5u);
}

} // namespace
