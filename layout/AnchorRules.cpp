#include "AnchorRules.h"

namespace {
constexpr unsigned long kTypeMask = 0x1F;
constexpr unsigned long kCenterImage = 0x200;         // SS_CENTERIMAGE
constexpr unsigned long kToolbarTransparent = 0x8000; // TBSTYLE_TRANSPARENT
constexpr unsigned long kGroupBox = 7;                // BS_GROUPBOX
} // namespace

AnchorOffsets MeasureAnchors(const AnchorEdges& child, int w, int h, AnchorPoint topLeft,
                             AnchorPoint bottomRight) {
    if (bottomRight == ANCHOR_NONE)
        bottomRight = topLeft;
    AnchorOffsets a;
    a.ptTopLeft = topLeft;
    a.ptBottomRight = bottomRight;
    a.offLeft = child.left - PercentOf(w, topLeft.x);
    a.offTop = child.top - PercentOf(h, topLeft.y);
    a.offRight = child.right - PercentOf(w, bottomRight.x);
    a.offBottom = child.bottom - PercentOf(h, bottomRight.y);
    return a;
}

AnchorEdges PlaceAnchored(const AnchorOffsets& a, int w, int h) {
    return {a.offLeft + PercentOf(w, a.ptTopLeft.x), a.offTop + PercentOf(h, a.ptTopLeft.y),
            a.offRight + PercentOf(w, a.ptBottomRight.x),
            a.offBottom + PercentOf(h, a.ptBottomRight.y)};
}

bool DefaultWantsEraseClip(const std::string& className, unsigned long style) {
    const unsigned long type = style & kTypeMask;
    if (className == "ToolbarWindow32")
        return !(style & kToolbarTransparent);
    if (className == "Button")
        return type != kGroupBox;
    if (className == "Static") {
        switch (type) {
        case 4:
        case 5:
        case 6:  // filled rectangles
        case 14: // bitmap
        case 16:
        case 17: // etched lines
            return true;
        case 3:  // icon
        case 15: // enhanced metafile
            return !(style & kCenterImage);
        default:
            return false;
        }
    }
    return true;
}

bool DefaultWantsFullRepaint(const std::string& className, unsigned long style) {
    if (className != "Static")
        return false;
    switch (style & kTypeMask) {
    case 0:
    case 1:
    case 2: // text
    case 14:
    case 15: // bitmap, enhanced metafile
        return true;
    case 3:
    case 11:
    case 16:
    case 17: // icon, simple, etched lines
        return false;
    default:
        return (style & kCenterImage) != 0;
    }
}
