// A plain pixel canvas and the drawing primitives the demo pictures are made of.
// Colours are 0x00RRGGBB; everything is clipped to the canvas.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // top row first

    Canvas(int w, int h, uint32_t fill = 0);
    uint32_t at(int x, int y) const;
    void set(int x, int y, uint32_t colour);
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

struct Point {
    double x;
    double y;
};

constexpr uint32_t rgb(int r, int g, int b) {
    return static_cast<uint32_t>((r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF));
}
inline int red_of(uint32_t c) {
    return static_cast<int>(c >> 16 & 0xFF);
}
inline int green_of(uint32_t c) {
    return static_cast<int>(c >> 8 & 0xFF);
}
inline int blue_of(uint32_t c) {
    return static_cast<int>(c & 0xFF);
}

// t = 0 gives a, t = 1 gives b.
uint32_t mix(uint32_t a, uint32_t b, double t);
// Multiplies every channel; factors above 1 brighten.
uint32_t shade(uint32_t c, double factor);

// A repeatable pseudo-random value in 0..1 for a grid point: textures without a seed
// that changes between runs.
double hash_noise(int x, int y, uint32_t seed);
// Smooth noise in 0..1 with features about `scale` pixels wide.
double value_noise(double x, double y, double scale, uint32_t seed);

void blend_pixel(Canvas& canvas, int x, int y, uint32_t colour, double alpha);
void fill_rect(Canvas& canvas, int x, int y, int w, int h, uint32_t colour);
void blend_rect(Canvas& canvas, int x, int y, int w, int h, uint32_t colour, double alpha);
void frame_rect(Canvas& canvas, int x, int y, int w, int h, int thickness, uint32_t colour);
// Raised (or, with raised false, sunken) edge: light top-left, dark bottom-right.
void bevel_rect(Canvas& canvas, int x, int y, int w, int h, int thickness, bool raised,
                uint32_t face);
void vertical_gradient(Canvas& canvas, int x, int y, int w, int h, uint32_t top, uint32_t bottom);
void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint32_t colour);
void blend_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint32_t colour,
                   double alpha);
void fill_disc(Canvas& canvas, double cx, double cy, double r, uint32_t colour);
// Even-odd scanline fill of a closed polygon.
void fill_polygon(Canvas& canvas, const std::vector<Point>& points, uint32_t colour);
void blend_polygon(Canvas& canvas, const std::vector<Point>& points, uint32_t colour, double alpha);
void draw_line(Canvas& canvas, double x0, double y0, double x1, double y1, double thickness,
               uint32_t colour);
// Darkens or lightens each pixel of the area a little, by a value-noise pattern.
void texture_rect(Canvas& canvas, int x, int y, int w, int h, double scale, double strength,
                  uint32_t seed);
// The same, for the pixels inside a polygon only.
void texture_polygon(Canvas& canvas, const std::vector<Point>& points, double scale,
                     double strength, uint32_t seed);

}  // namespace demo
