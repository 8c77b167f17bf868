// The parts of the front surface written since the screen last showed it.
//
// The transition uncovers a frame as pairs of one-pixel columns far apart; one
// bounding box would send nearly the whole screen at every pause, so the region keeps
// a few rectangles and only joins those that sit edge to edge.
#pragma once

#include <cstddef>
#include <vector>

struct DirtyRect {
    int x;
    int y;
    int width;
    int height;
};

struct DirtyRegion {
    std::vector<DirtyRect> rects;
};

// Beyond this many rectangles the region collapses into their bounding box.
constexpr size_t DIRTY_RECTS_MAX = 16;

// Adds the part of rect that lies inside a bounds_width x bounds_height surface.
void dirty_add(DirtyRegion* region, DirtyRect rect, int bounds_width, int bounds_height);
inline bool dirty_empty(const DirtyRegion& region) {
    return region.rects.empty();
}
inline void dirty_clear(DirtyRegion* region) {
    region->rects.clear();
}
