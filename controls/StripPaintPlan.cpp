#include "StripPaintPlan.h"

#include <cstdint>

namespace {
// The grid offset at or before p, towards zero, as the tiles are laid out.
int Grid(int p, int a) {
    return p - p % a;
}
int HalfDown(int v) {
    return v >= 0 ? v / 2 : -((1 - v) / 2);
}
} // namespace

StripGeometry ComputeStripGeometry(int clientWidth, int tileWidth, int pos, int lower, int upper) {
    StripGeometry g;
    g.trackEndPx = clientWidth - tileWidth;
    std::int64_t span = static_cast<std::int64_t>(upper) - lower;
    std::int64_t along = 0;
    if (span > 0)
        along = (static_cast<std::int64_t>(pos) - lower) * (clientWidth - 2 * tileWidth) / span;
    g.endPx = static_cast<int>(tileWidth + along);
    if (g.endPx > g.trackEndPx)
        g.endPx = g.trackEndPx;
    return g;
}

std::vector<TileDraw> PlanStripPaint(bool fullRepaint, int a, const StripGeometry& g,
                                     StripPaintedState& painted) {
    std::vector<TileDraw> draws;
    if (a <= 0)
        return draws; // no skin: nothing can be drawn
    const int end = g.endPx;
    const int trackEnd = g.trackEndPx;
    auto draw = [&draws](int tile, int offset) { draws.push_back({tile, offset}); };

    if (fullRepaint) {
        int p = Grid(trackEnd, a);
        for (; p > end; p -= a)
            draw(TrackBody, p);
        painted.drawnEndPx = end;
        for (p = Grid(p, a); p >= 0; p -= a)
            draw(FillBody, p);
        draw(FillMark, HalfDown(end));
        if (end < trackEnd - a)
            draw(TrackAfterFill, end + a);
        draw(TrackStart, 0);
        draw(TrackEnd, trackEnd);
        draw(FillStart, 0);
        draw(FillEnd, end);
        painted.drawnTrackEndPx = trackEnd;
        return draws;
    }

    const int e0 = painted.drawnEndPx;
    const bool moved = e0 != end;
    if (e0 > end) {
        draw(TrackBody, e0);
        for (int p = Grid(e0, a); p > end; p -= a)
            draw(TrackBody, p);
    } else if (e0 < end) {
        draw(FillBody, e0);
        for (int p = Grid(e0 + a, a); p < end; p += a)
            draw(FillBody, p);
    }
    if (moved)
        draw(FillMark, HalfDown(end));
    if (moved && end < trackEnd - a)
        draw(TrackAfterFill, end + a);
    if (moved && end > trackEnd - 2 * a)
        draw(TrackEnd, trackEnd);
    if (end < 2 * a)
        draw(FillStart, 0);
    if (moved || end < 2 * a) {
        painted.drawnEndPx = end;
        draw(FillEnd, end);
    }
    painted.drawnTrackEndPx = trackEnd;
    return draws;
}
