// The anchor arithmetic and the default erase and repaint rules.
#include "layout/AnchorRules.h"

#include <gtest/gtest.h>

namespace {

TEST(AnchorMath, FiftyPercentTruncatesAndReturnsExactly) {
    AnchorEdges child = {40, 10, 60, 30};
    AnchorOffsets a = MeasureAnchors(child, 100, 50, ANCHOR_TOP_CENTER, ANCHOR_TOP_CENTER);
    EXPECT_EQ(PlaceAnchored(a, 103, 50).left, 41); // 103 * 50 / 100 = 51, not 51.5
    EXPECT_EQ(PlaceAnchored(a, 102, 50).left, 41);
    EXPECT_EQ(PlaceAnchored(a, 101, 50).left, 40);
    EXPECT_EQ(PlaceAnchored(a, 100, 50), child);
    // odd registration sizes come back exactly too
    AnchorOffsets odd = MeasureAnchors(child, 101, 51, ANCHOR_MIDDLE_CENTER, ANCHOR_BOTTOM_RIGHT);
    EXPECT_EQ(PlaceAnchored(odd, 101, 51), child);
}

TEST(AnchorMath, NoneAsSecondPointKeepsTheSize) {
    AnchorOffsets a = MeasureAnchors({10, 10, 30, 20}, 100, 100, ANCHOR_TOP_RIGHT, ANCHOR_NONE);
    EXPECT_EQ(a.ptBottomRight, ANCHOR_TOP_RIGHT);
    EXPECT_EQ(PlaceAnchored(a, 140, 120), (AnchorEdges{50, 10, 70, 20}));
}

TEST(AnchorMath, EmptyAreaMayCrossEdgesButRestoresExactly) {
    AnchorOffsets a =
        MeasureAnchors({5, 5, 95, 95}, 100, 100, ANCHOR_TOP_LEFT, ANCHOR_BOTTOM_RIGHT);
    AnchorEdges minimised = PlaceAnchored(a, 0, 0);
    EXPECT_LT(minimised.right, minimised.left);
    EXPECT_EQ(PlaceAnchored(a, 100, 100), (AnchorEdges{5, 5, 95, 95}));
}

struct RuleCase {
    const char* cls;
    unsigned long style;
    bool eraseClip;
    bool fullRepaint;
};

TEST(AnchorRules, DefaultEraseClipAndFullRepaintByClassAndStyle) {
    const RuleCase cases[] = {
        {"Static", 0x0, false, true},    // left text
        {"Static", 0x1, false, true},    // centred text
        {"Static", 0x2, false, true},    // right text
        {"Static", 0x3, true, false},    // icon
        {"Static", 0x203, false, false}, // centred icon
        {"Static", 0x4, true, false},    // black rectangle
        {"Static", 0x7, false, false},   // black frame
        {"Static", 0x207, false, true},  // frame, centre-image bit
        {"Static", 0xB, false, false},   // simple
        {"Static", 0xE, true, true},     // bitmap
        {"Static", 0xF, true, true},     // enhanced metafile
        {"Static", 0x20F, false, true},  // centred enhanced metafile
        {"Static", 0x10, true, false},   // etched horizontal line
        {"Static", 0x12, false, false},  // etched frame
        {"Button", 0x7, false, false},   // group box
        {"Button", 0x0, true, false},    // push button
        {"ListBox", 0x0, true, false},
        {"SysListView32", 0x1, true, false},
        {"SysTreeView32", 0x0, true, false},
        {"Edit", 0x0, true, false},
        {"ToolbarWindow32", 0x8000, false, false},
        {"ToolbarWindow32", 0x0, true, false},
        {"static", 0x0, true, false}, // class names compare with letter case
    };
    for (const RuleCase& c : cases) {
        EXPECT_EQ(DefaultWantsEraseClip(c.cls, c.style), c.eraseClip) << c.cls << " " << c.style;
        EXPECT_EQ(DefaultWantsFullRepaint(c.cls, c.style), c.fullRepaint)
            << c.cls << " " << c.style;
    }
}

} // namespace
