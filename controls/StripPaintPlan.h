// What one paint of the progress strip draws: where the fill ends in pixels,
// and which skin tiles go to which offsets. Kept apart from the drawing so that
// it can be checked without a window.
#pragma once

#include <vector>

// The nine tiles of a skin, left to right.
enum StripTile {
    TrackStart = 0,
    TrackBeforeFill,
    FillStart,
    FillMark,
    FillBody,
    FillEnd,
    TrackAfterFill,
    TrackBody,
    TrackEnd,
    kStripTileCount
};

struct TileDraw {
    int tile;
    int offset;
    bool operator==(const TileDraw& o) const { return tile == o.tile && offset == o.offset; }
};

struct StripGeometry {
    int endPx;      // where the fill's end cap goes
    int trackEndPx; // where the track's end cap goes
};

// The fill is one tile long at the lower bound and reaches the track end at the
// upper bound. An empty range counts as the lower bound.
StripGeometry ComputeStripGeometry(int clientWidth, int tileWidth, int pos, int lower, int upper);

// The offsets last painted; a paint updates them.
struct StripPaintedState {
    int drawnEndPx = 0;
    int drawnTrackEndPx = 0;
};

// The draws of one paint, in order (later ones cover earlier ones). A full
// repaint draws the whole bar; a partial one only what changed around the end.
std::vector<TileDraw> PlanStripPaint(bool fullRepaint, int tileWidth, const StripGeometry& g,
                                     StripPaintedState& painted);
