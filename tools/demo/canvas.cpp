#include "tools/demo/canvas.h"

#include <algorithm>
#include <cmath>

namespace demo {

Canvas::Canvas(int w, int h, uint32_t fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

uint32_t Canvas::at(int x, int y) const {
    if (!contains(x, y)) return 0;
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void Canvas::set(int x, int y, uint32_t colour) {
    if (!contains(x, y)) return;
    pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
        colour & 0xFFFFFF;
}

namespace {

int clamp_channel(double v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
}

double smoothstep(double t) {
    return t * t * (3 - 2 * t);
}

// Clips a rectangle to the canvas; false when nothing is left.
bool clip(const Canvas& canvas, int& x, int& y, int& w, int& h) {
    int x1 = std::min(x + w, canvas.width);
    int y1 = std::min(y + h, canvas.height);
    x = std::max(x, 0);
    y = std::max(y, 0);
    w = x1 - x;
    h = y1 - y;
    return w > 0 && h > 0;
}

// Spans of one scanline inside a polygon (even-odd rule), as x pairs.
std::vector<double> polygon_crossings(const std::vector<Point>& points, double sample_y) {
    std::vector<double> crossings;
    const size_t n = points.size();
    for (size_t i = 0; i < n; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % n];
        if ((a.y <= sample_y && b.y > sample_y) || (b.y <= sample_y && a.y > sample_y))
            crossings.push_back(a.x + (sample_y - a.y) / (b.y - a.y) * (b.x - a.x));
    }
    std::sort(crossings.begin(), crossings.end());
    return crossings;
}

template <typename Plot>
void scan_polygon(const Canvas& canvas, const std::vector<Point>& points, Plot plot) {
    if (points.size() < 3) return;
    double top = points[0].y, bottom = points[0].y;
    for (const Point& p : points) {
        top = std::min(top, p.y);
        bottom = std::max(bottom, p.y);
    }
    const int y0 = std::max(0, static_cast<int>(std::floor(top)));
    const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(bottom)));
    for (int y = y0; y <= y1; ++y) {
        const std::vector<double> crossings = polygon_crossings(points, y + 0.5);
        for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            const int xa = std::max(0, static_cast<int>(std::lround(crossings[i])));
            const int xb = std::min(canvas.width, static_cast<int>(std::lround(crossings[i + 1])));
            for (int x = xa; x < xb; ++x)
                plot(x, y);
        }
    }
}

template <typename Plot>
void scan_ellipse(const Canvas& canvas, double cx, double cy, double rx, double ry, Plot plot) {
    if (rx <= 0 || ry <= 0) return;
    const int y0 = std::max(0, static_cast<int>(std::floor(cy - ry)));
    const int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(cy + ry)));
    for (int y = y0; y <= y1; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        const int xa = std::max(0, static_cast<int>(std::lround(cx - half)));
        const int xb = std::min(canvas.width, static_cast<int>(std::lround(cx + half)));
        for (int x = xa; x < xb; ++x)
            plot(x, y);
    }
}

}  // namespace

uint32_t mix(uint32_t a, uint32_t b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return rgb(clamp_channel(red_of(a) + (red_of(b) - red_of(a)) * t),
               clamp_channel(green_of(a) + (green_of(b) - green_of(a)) * t),
               clamp_channel(blue_of(a) + (blue_of(b) - blue_of(a)) * t));
}

uint32_t shade(uint32_t c, double factor) {
    return rgb(clamp_channel(red_of(c) * factor), clamp_channel(green_of(c) * factor),
               clamp_channel(blue_of(c) * factor));
}

double hash_noise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^
                 seed * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / static_cast<double>(0xFFFFFF);
}

double value_noise(double x, double y, double scale, uint32_t seed) {
    const double fx = x / scale, fy = y / scale;
    const int ix = static_cast<int>(std::floor(fx)), iy = static_cast<int>(std::floor(fy));
    const double tx = smoothstep(fx - ix), ty = smoothstep(fy - iy);
    const double top = hash_noise(ix, iy, seed) * (1 - tx) + hash_noise(ix + 1, iy, seed) * tx;
    const double bottom =
        hash_noise(ix, iy + 1, seed) * (1 - tx) + hash_noise(ix + 1, iy + 1, seed) * tx;
    return top * (1 - ty) + bottom * ty;
}

void blend_pixel(Canvas& canvas, int x, int y, uint32_t colour, double alpha) {
    if (!canvas.contains(x, y)) return;
    canvas.set(x, y, mix(canvas.at(x, y), colour, alpha));
}

void fill_rect(Canvas& canvas, int x, int y, int w, int h, uint32_t colour) {
    if (!clip(canvas, x, y, w, h)) return;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            canvas.set(col, row, colour);
}

void blend_rect(Canvas& canvas, int x, int y, int w, int h, uint32_t colour, double alpha) {
    if (!clip(canvas, x, y, w, h)) return;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            blend_pixel(canvas, col, row, colour, alpha);
}

void frame_rect(Canvas& canvas, int x, int y, int w, int h, int thickness, uint32_t colour) {
    fill_rect(canvas, x, y, w, thickness, colour);
    fill_rect(canvas, x, y + h - thickness, w, thickness, colour);
    fill_rect(canvas, x, y, thickness, h, colour);
    fill_rect(canvas, x + w - thickness, y, thickness, h, colour);
}

void bevel_rect(Canvas& canvas, int x, int y, int w, int h, int thickness, bool raised,
                uint32_t face) {
    fill_rect(canvas, x, y, w, h, face);
    const uint32_t light = mix(face, rgb(255, 255, 255), 0.45);
    const uint32_t dark = shade(face, 0.45);
    const uint32_t top_left = raised ? light : dark;
    const uint32_t bottom_right = raised ? dark : light;
    for (int i = 0; i < thickness; ++i) {
        fill_rect(canvas, x + i, y + i, w - 2 * i, 1, top_left);
        fill_rect(canvas, x + i, y + i, 1, h - 2 * i, top_left);
        fill_rect(canvas, x + i, y + h - 1 - i, w - 2 * i, 1, bottom_right);
        fill_rect(canvas, x + w - 1 - i, y + i, 1, h - 2 * i, bottom_right);
    }
}

void vertical_gradient(Canvas& canvas, int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
    for (int row = 0; row < h; ++row)
        fill_rect(canvas, x, y + row, w, 1, mix(top, bottom, h > 1 ? row / double(h - 1) : 0));
}

void fill_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint32_t colour) {
    scan_ellipse(canvas, cx, cy, rx, ry, [&](int x, int y) { canvas.set(x, y, colour); });
}

void blend_ellipse(Canvas& canvas, double cx, double cy, double rx, double ry, uint32_t colour,
                   double alpha) {
    scan_ellipse(canvas, cx, cy, rx, ry,
                 [&](int x, int y) { blend_pixel(canvas, x, y, colour, alpha); });
}

void fill_disc(Canvas& canvas, double cx, double cy, double r, uint32_t colour) {
    fill_ellipse(canvas, cx, cy, r, r, colour);
}

void fill_polygon(Canvas& canvas, const std::vector<Point>& points, uint32_t colour) {
    scan_polygon(canvas, points, [&](int x, int y) { canvas.set(x, y, colour); });
}

void blend_polygon(Canvas& canvas, const std::vector<Point>& points, uint32_t colour,
                   double alpha) {
    scan_polygon(canvas, points, [&](int x, int y) { blend_pixel(canvas, x, y, colour, alpha); });
}

void draw_line(Canvas& canvas, double x0, double y0, double x1, double y1, double thickness,
               uint32_t colour) {
    const double dx = x1 - x0, dy = y1 - y0;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 1e-9) {
        fill_disc(canvas, x0, y0, thickness / 2, colour);
        return;
    }
    // A thick line is the quadrilateral around it.
    const double nx = -dy / length * thickness / 2, ny = dx / length * thickness / 2;
    fill_polygon(canvas,
                 {{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}},
                 colour);
}

namespace {

void texture_pixel(Canvas& canvas, int x, int y, double scale, double strength, uint32_t seed) {
    const double n = value_noise(x, y, scale, seed) * 0.7 + hash_noise(x, y, seed + 7) * 0.3;
    canvas.set(x, y, shade(canvas.at(x, y), 1 + (n - 0.5) * 2 * strength));
}

}  // namespace

void texture_rect(Canvas& canvas, int x, int y, int w, int h, double scale, double strength,
                  uint32_t seed) {
    if (!clip(canvas, x, y, w, h)) return;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col)
            texture_pixel(canvas, col, row, scale, strength, seed);
}

void texture_polygon(Canvas& canvas, const std::vector<Point>& points, double scale,
                     double strength, uint32_t seed) {
    scan_polygon(canvas, points,
                 [&](int x, int y) { texture_pixel(canvas, x, y, scale, strength, seed); });
}

}  // namespace demo
