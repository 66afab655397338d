// The arithmetic and the rules of the anchor layout, free of any window: where
// an anchored edge goes, and which children stay out of the erase or are
// repainted whole.
#pragma once

#include <string>

struct AnchorPoint {
    int x; // percent of the layout area's width
    int y; // percent of its height
    bool operator==(const AnchorPoint& o) const { return x == o.x && y == o.y; }
};

constexpr AnchorPoint ANCHOR_TOP_LEFT = {0, 0};
constexpr AnchorPoint ANCHOR_TOP_CENTER = {50, 0};
constexpr AnchorPoint ANCHOR_TOP_RIGHT = {100, 0};
constexpr AnchorPoint ANCHOR_MIDDLE_LEFT = {0, 50};
constexpr AnchorPoint ANCHOR_MIDDLE_CENTER = {50, 50};
constexpr AnchorPoint ANCHOR_MIDDLE_RIGHT = {100, 50};
constexpr AnchorPoint ANCHOR_BOTTOM_LEFT = {0, 100};
constexpr AnchorPoint ANCHOR_BOTTOM_CENTER = {50, 100};
constexpr AnchorPoint ANCHOR_BOTTOM_RIGHT = {100, 100};
// As a bottom-right point: the same as the top-left one, so the child keeps its size.
constexpr AnchorPoint ANCHOR_NONE = {-1, -1};

// length * percent / 100, truncating toward zero.
inline int PercentOf(int length, int percent) {
    return static_cast<int>(static_cast<long long>(length) * percent / 100);
}

struct AnchorEdges {
    int left, top, right, bottom;
    bool operator==(const AnchorEdges& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct AnchorOffsets {
    AnchorPoint ptTopLeft;
    int offLeft, offTop;
    AnchorPoint ptBottomRight;
    int offRight, offBottom;
};

// The offsets of a child's corners from its anchor points in an area of w x h.
AnchorOffsets MeasureAnchors(const AnchorEdges& child, int w, int h, AnchorPoint topLeft,
                             AnchorPoint bottomRight);
// Where the child goes in an area of w x h.
AnchorEdges PlaceAnchored(const AnchorOffsets& a, int w, int h);

// Default rules by window class (exact, with letter case) and style.
bool DefaultWantsEraseClip(const std::string& className, unsigned long style);
bool DefaultWantsFullRepaint(const std::string& className, unsigned long style);
