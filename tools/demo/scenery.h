// Building blocks of the demo screenshots: skies, ridges, trees, houses, water,
// figures and light. Each scene picture combines them.
#pragma once

#include <cstdint>

#include "display/layout.h"
#include "tools/demo/canvas.h"

namespace demo {

// Screenshots fill the screen.
using layout::SCREEN_HEIGHT;
using layout::SCREEN_WIDTH;

void draw_sky(Canvas& canvas, int horizon, uint32_t top, uint32_t bottom);
void draw_stars(Canvas& canvas, int bottom, int count, uint32_t seed);
void draw_cloud(Canvas& canvas, double cx, double cy, double size, uint32_t colour, double alpha);
// Soft light spread around a point: lamps, the sun, torches.
void draw_glow(Canvas& canvas, double cx, double cy, double radius, uint32_t colour,
               double strength);

// A range of hills or mountains: its top line at base_y minus noise of the given
// height, filled down to `bottom` from `top_colour` to `bottom_colour`.
struct Ridge {
    double base_y;
    double height;
    double feature;    // width of the broad shapes in pixels
    double roughness;  // 0 smooth hills, 1 jagged peaks
    uint32_t seed;
};
double ridge_top(const Ridge& ridge, double x);
void draw_ridge(Canvas& canvas, const Ridge& ridge, uint32_t top_colour, uint32_t bottom_colour,
                int bottom);
// Grain on the ground below a ridge's top line, leaving the sky above it smooth.
void texture_below_ridge(Canvas& canvas, const Ridge& ridge, double scale, double strength,
                         uint32_t seed);
// White caps on the parts of a ridge that rise above snow_line.
void draw_snow_caps(Canvas& canvas, const Ridge& ridge, double snow_line);

void draw_pine(Canvas& canvas, double x, double base_y, double height, uint32_t colour);
void draw_leaf_tree(Canvas& canvas, double x, double base_y, double size, uint32_t colour,
                    uint32_t seed);
void draw_palm(Canvas& canvas, double x, double base_y, double height);
void draw_bush(Canvas& canvas, double x, double base_y, double size, uint32_t colour);
void draw_rock(Canvas& canvas, double x, double base_y, double size, uint32_t colour);

// A house seen from the front; windows glow when lit is true.
void draw_cottage(Canvas& canvas, int x, int base_y, int w, int h, uint32_t wall, uint32_t roof,
                  bool lit);
void draw_tower(Canvas& canvas, int x, int base_y, int w, int h, uint32_t stone, uint32_t roof,
                bool lit);
void draw_castle(Canvas& canvas, int centre_x, int base_y, double scale, uint32_t stone,
                 uint32_t roof, bool lit);

// Water from `top` to `bottom`: the picture above mirrored with ripples, tinted.
void draw_water(Canvas& canvas, int top, int bottom, uint32_t tint, double tint_strength,
                uint32_t seed);

// A small adventurer standing on base_y; size is the height in pixels.
void draw_hero(Canvas& canvas, double x, double base_y, double size, uint32_t tunic, uint32_t cape,
               bool armed = true);
void draw_torch(Canvas& canvas, double x, double y, double size);
void draw_flag(Canvas& canvas, double x, double y, double size, uint32_t colour);

}  // namespace demo
