// Scaling screenshots: to the show's 1024 x 768 with bars, and down to
// thumbnails. Both use exact-area resampling: each target pixel is the mean of the
// source area under it, every source pixel weighted by the part of it that lies there.
// A source pixel never spreads further than the target pixels it overlaps, so text
// and interface edges stay sharp without the halos of wider filters, a uniform area
// keeps its exact colour, and nothing is left out when a picture shrinks.
#pragma once

#include <cstdint>
#include <functional>

#include "tools/demo/canvas.h"

namespace show_tool {

struct Placement {
    int x;
    int y;
    int width;
    int height;
};

// Where a picture of width x height goes inside a box of box_width x box_height: as
// large as fits at the same aspect ratio (each side rounded to the nearest pixel, at
// least 1), centred (an odd leftover pixel goes below or right).
Placement fit_inside(int width, int height, int box_width, int box_height);

// The picture at width x height (both at least 1).
demo::Canvas scale_by_area(const demo::Canvas& source, int width, int height);

// Source row y's pixels, red, green and blue a byte each; valid until the next call.
using RowReader = std::function<const uint8_t*(int y)>;
// The same for a source read a row at a time, so that it need not be held as a canvas.
demo::Canvas scale_rows_by_area(int source_width, int source_height, const RowReader& read_row,
                                int width, int height);

// Copies the picture onto the target with its top-left corner at (x, y); it must lie
// wholly inside.
void paste(demo::Canvas& target, const demo::Canvas& picture, int x, int y);

}  // namespace show_tool
