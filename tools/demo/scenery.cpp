#include "tools/demo/scenery.h"

#include <algorithm>
#include <cmath>

namespace demo {

namespace {

constexpr double PI = 3.14159265358979323846;

}  // namespace

void draw_sky(Canvas& canvas, int horizon, uint32_t top, uint32_t bottom) {
    for (int y = 0; y < horizon; ++y) {
        // Eased so the colour changes fastest near the horizon, as a real sky does.
        const double t = std::pow(y / double(std::max(1, horizon - 1)), 1.6);
        fill_rect(canvas, 0, y, canvas.width, 1, mix(top, bottom, t));
    }
}

void draw_stars(Canvas& canvas, int bottom, int count, uint32_t seed) {
    for (int i = 0; i < count; ++i) {
        const int x = static_cast<int>(hash_noise(i, 1, seed) * canvas.width);
        const int y = static_cast<int>(hash_noise(i, 2, seed) * bottom);
        const double brightness = 0.4 + 0.6 * hash_noise(i, 3, seed);
        blend_pixel(canvas, x, y, rgb(255, 255, 230), brightness);
        if (brightness > 0.93) {
            for (int d = -1; d <= 1; d += 2) {
                blend_pixel(canvas, x + d, y, rgb(255, 255, 230), 0.4);
                blend_pixel(canvas, x, y + d, rgb(255, 255, 230), 0.4);
            }
        }
    }
}

void draw_cloud(Canvas& canvas, double cx, double cy, double size, uint32_t colour, double alpha) {
    const double puffs[][3] = {{-0.9, 0.15, 0.45}, {-0.4, -0.15, 0.6}, {0.2, -0.25, 0.7},
                               {0.8, 0.0, 0.5},    {0.0, 0.2, 0.55},   {1.2, 0.2, 0.35}};
    for (const auto& puff : puffs)
        blend_ellipse(canvas, cx + puff[0] * size, cy + puff[1] * size * 0.6, puff[2] * size,
                      puff[2] * size * 0.55, colour, alpha);
    blend_ellipse(canvas, cx + 0.1 * size, cy + 0.25 * size, 1.3 * size, 0.18 * size,
                  shade(colour, 0.85), alpha * 0.8);
}

void draw_glow(Canvas& canvas, double cx, double cy, double radius, uint32_t colour,
               double strength) {
    const int x0 = static_cast<int>(cx - radius), x1 = static_cast<int>(cx + radius);
    const int y0 = static_cast<int>(cy - radius), y1 = static_cast<int>(cy + radius);
    for (int y = std::max(0, y0); y <= std::min(canvas.height - 1, y1); ++y) {
        for (int x = std::max(0, x0); x <= std::min(canvas.width - 1, x1); ++x) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            if (d >= 1) continue;
            const double falloff = (1 - d) * (1 - d);
            const uint32_t here = canvas.at(x, y);
            // Added light, not painted colour: dark things brighten, bright ones saturate.
            canvas.set(
                x, y,
                rgb(std::min(255, red_of(here) + int(red_of(colour) * falloff * strength)),
                    std::min(255, green_of(here) + int(green_of(colour) * falloff * strength)),
                    std::min(255, blue_of(here) + int(blue_of(colour) * falloff * strength))));
        }
    }
}

double ridge_top(const Ridge& ridge, double x) {
    double h =
        value_noise(x, 0, ridge.feature, ridge.seed) * 0.65 +
        value_noise(x, 0, ridge.feature / 3, ridge.seed + 1) * 0.25 * (0.4 + ridge.roughness);
    h += value_noise(x, 0, ridge.feature / 10, ridge.seed + 2) * 0.1 * ridge.roughness;
    if (ridge.roughness > 0.5) {
        // Folding the noise gives sharp peaks instead of round tops.
        const double fold =
            1 - std::fabs(value_noise(x, 0, ridge.feature * 0.7, ridge.seed + 3) * 2 - 1);
        h = h * 0.5 + fold * 0.5;
    }
    return ridge.base_y - h * ridge.height;
}

void draw_ridge(Canvas& canvas, const Ridge& ridge, uint32_t top_colour, uint32_t bottom_colour,
                int bottom) {
    for (int x = 0; x < canvas.width; ++x) {
        const int top = static_cast<int>(ridge_top(ridge, x));
        const double slope = ridge_top(ridge, x + 3) - ridge_top(ridge, x - 3);
        // Slopes facing left catch the light.
        const double light = std::clamp(1.0 + slope * 0.04, 0.8, 1.15);
        for (int y = std::max(0, top); y < std::min(bottom, canvas.height); ++y) {
            const double t = (y - top) / double(std::max(1, bottom - top));
            // The light shows on the crest and fades further down the face.
            const double lit = 1 + (light - 1) * std::exp(-(y - top) / 40.0);
            canvas.set(x, y, shade(mix(top_colour, bottom_colour, std::sqrt(t)), lit));
        }
    }
}

void texture_below_ridge(Canvas& canvas, const Ridge& ridge, double scale, double strength,
                         uint32_t seed) {
    for (int x = 0; x < canvas.width; ++x) {
        const int top = std::max(0, static_cast<int>(ridge_top(ridge, x)));
        texture_rect(canvas, x, top, 1, canvas.height - top, scale, strength, seed);
    }
}

void draw_snow_caps(Canvas& canvas, const Ridge& ridge, double snow_line) {
    for (int x = 0; x < canvas.width; ++x) {
        const double top = ridge_top(ridge, x);
        const double edge = snow_line + (value_noise(x, 0, 14, ridge.seed + 9) - 0.5) * 24;
        // Smoothed over a few pixels, so the shading follows the slope without stripes.
        const double slope = ridge_top(ridge, x + 6) - ridge_top(ridge, x - 6);
        const double light = std::clamp(0.55 - slope * 0.04, 0.0, 1.0);
        const uint32_t snow = mix(rgb(178, 190, 218), rgb(248, 250, 255), light);
        for (int y = static_cast<int>(top); y < edge; ++y)
            canvas.set(x, y, mix(snow, rgb(200, 210, 232), std::min(1.0, (y - top) / 160.0) * 0.5));
    }
}

void draw_pine(Canvas& canvas, double x, double base_y, double height, uint32_t colour) {
    fill_rect(canvas, int(x - height * 0.04), int(base_y - height * 0.18),
              std::max(2, int(height * 0.08)), int(height * 0.18), rgb(70, 46, 30));
    for (int tier = 0; tier < 4; ++tier) {
        const double top = base_y - height + tier * height * 0.2;
        const double width = height * (0.18 + tier * 0.08);
        const double foot = top + height * 0.38;
        fill_polygon(canvas, {{x, top}, {x + width, foot}, {x - width, foot}}, colour);
        fill_polygon(canvas, {{x, top}, {x + width, foot}, {x + width * 0.15, foot}},
                     shade(colour, 0.72));
    }
}

void draw_leaf_tree(Canvas& canvas, double x, double base_y, double size, uint32_t colour,
                    uint32_t seed) {
    fill_polygon(canvas,
                 {{x - size * 0.07, base_y},
                  {x + size * 0.07, base_y},
                  {x + size * 0.04, base_y - size * 0.6},
                  {x - size * 0.04, base_y - size * 0.6}},
                 rgb(84, 58, 36));
    const double cy = base_y - size * 0.85;
    for (int i = 0; i < 9; ++i) {
        const double angle = hash_noise(i, 0, seed) * 2 * PI;
        const double distance = size * 0.28 * hash_noise(i, 1, seed);
        const double r = size * (0.22 + 0.12 * hash_noise(i, 2, seed));
        fill_disc(canvas, x + std::cos(angle) * distance, cy + std::sin(angle) * distance * 0.8, r,
                  shade(colour, 0.8 + 0.25 * hash_noise(i, 3, seed)));
    }
    blend_ellipse(canvas, x - size * 0.12, cy - size * 0.14, size * 0.22, size * 0.16,
                  rgb(255, 255, 200), 0.18);
    blend_ellipse(canvas, x + size * 0.14, cy + size * 0.16, size * 0.26, size * 0.14, rgb(0, 0, 0),
                  0.2);
}

void draw_palm(Canvas& canvas, double x, double base_y, double height) {
    const double lean = height * 0.18;
    for (int i = 0; i < 10; ++i) {
        const double t0 = i / 10.0, t1 = (i + 1) / 10.0;
        draw_line(canvas, x + lean * t0 * t0, base_y - height * t0, x + lean * t1 * t1,
                  base_y - height * t1, height * (0.07 - 0.03 * t0),
                  i % 2 ? rgb(120, 86, 50) : rgb(100, 70, 40));
    }
    const double tx = x + lean, ty = base_y - height;
    for (int leaf = 0; leaf < 7; ++leaf) {
        const double angle = PI + leaf * PI / 6;
        const double length = height * 0.45;
        std::vector<Point> points;
        for (int s = 0; s <= 8; ++s) {
            const double t = s / 8.0;
            points.push_back({tx + std::cos(angle) * length * t,
                              ty + std::sin(angle) * length * t * 0.6 + length * 0.35 * t * t});
        }
        for (size_t s = 1; s < points.size(); ++s)
            draw_line(canvas, points[s - 1].x, points[s - 1].y, points[s].x, points[s].y,
                      height * 0.05 * (1 - s / 9.0) + 1,
                      leaf % 2 ? rgb(40, 120, 50) : rgb(30, 96, 40));
    }
}

void draw_bush(Canvas& canvas, double x, double base_y, double size, uint32_t colour) {
    fill_ellipse(canvas, x - size * 0.35, base_y - size * 0.3, size * 0.45, size * 0.35,
                 shade(colour, 0.85));
    fill_ellipse(canvas, x + size * 0.3, base_y - size * 0.3, size * 0.45, size * 0.32,
                 shade(colour, 0.75));
    fill_ellipse(canvas, x, base_y - size * 0.5, size * 0.5, size * 0.42, colour);
    blend_ellipse(canvas, x - size * 0.1, base_y - size * 0.65, size * 0.25, size * 0.15,
                  rgb(255, 255, 210), 0.2);
}

void draw_rock(Canvas& canvas, double x, double base_y, double size, uint32_t colour) {
    fill_polygon(canvas,
                 {{x - size, base_y},
                  {x - size * 0.7, base_y - size * 0.6},
                  {x - size * 0.1, base_y - size * 0.85},
                  {x + size * 0.6, base_y - size * 0.55},
                  {x + size, base_y}},
                 colour);
    fill_polygon(canvas,
                 {{x - size * 0.1, base_y - size * 0.85},
                  {x + size * 0.6, base_y - size * 0.55},
                  {x + size, base_y},
                  {x + size * 0.1, base_y}},
                 shade(colour, 0.75));
}

void draw_cottage(Canvas& canvas, int x, int base_y, int w, int h, uint32_t wall, uint32_t roof,
                  bool lit) {
    const int wall_top = base_y - h;
    fill_rect(canvas, x, wall_top, w, h, wall);
    texture_rect(canvas, x, wall_top, w, h, 6, 0.06, static_cast<uint32_t>(x));
    // Timber frame.
    const uint32_t timber = rgb(70, 44, 28);
    frame_rect(canvas, x, wall_top, w, h, std::max(2, w / 40), timber);
    fill_rect(canvas, x, wall_top + h / 2, w, std::max(2, w / 50), timber);
    const double overhang = w * 0.08;
    fill_polygon(canvas,
                 {{x - overhang, double(wall_top)},
                  {x + w / 2.0, wall_top - h * 0.75},
                  {x + w + overhang, double(wall_top)}},
                 roof);
    fill_polygon(canvas,
                 {{x + w / 2.0, wall_top - h * 0.75},
                  {x + w + overhang, double(wall_top)},
                  {x + w / 2.0, double(wall_top)}},
                 shade(roof, 0.78));
    for (int i = 1; i < 5; ++i)
        draw_line(canvas, x - overhang + i * (w / 2.0 + overhang) / 5, wall_top - h * 0.75 * i / 5,
                  x + w + overhang - i * (w / 2.0 + overhang) / 5, wall_top - h * 0.75 * i / 5, 1,
                  shade(roof, 0.6));
    const int door_w = std::max(4, w / 5), door_h = h * 45 / 100;
    fill_rect(canvas, x + w / 2 - door_w / 2, base_y - door_h, door_w, door_h, rgb(78, 50, 30));
    frame_rect(canvas, x + w / 2 - door_w / 2, base_y - door_h, door_w, door_h, 1, rgb(40, 24, 14));
    const uint32_t glass = lit ? rgb(255, 210, 110) : rgb(60, 70, 90);
    const int win = std::max(4, w / 7);
    for (int side = 0; side < 2; ++side) {
        const int wx = side == 0 ? x + w / 6 - win / 2 + 2 : x + w * 5 / 6 - win / 2 - 2;
        const int wy = wall_top + h / 5;
        fill_rect(canvas, wx, wy, win, win, glass);
        fill_rect(canvas, wx + win / 2, wy, 1, win, timber);
        fill_rect(canvas, wx, wy + win / 2, win, 1, timber);
        frame_rect(canvas, wx - 1, wy - 1, win + 2, win + 2, 1, timber);
        if (lit)
            draw_glow(canvas, wx + win / 2.0, wy + win / 2.0, win * 2.5, rgb(120, 80, 20), 0.5);
    }
}

void draw_tower(Canvas& canvas, int x, int base_y, int w, int h, uint32_t stone, uint32_t roof,
                bool lit) {
    const int top = base_y - h;
    fill_rect(canvas, x, top, w, h, stone);
    fill_rect(canvas, x + w * 2 / 3, top, w - w * 2 / 3, h, shade(stone, 0.8));
    // Courses of stone.
    for (int y = top + 6; y < base_y; y += 8) {
        fill_rect(canvas, x, y, w, 1, shade(stone, 0.82));
        for (int bx = x + ((y / 8) % 2) * 6; bx < x + w; bx += 12)
            fill_rect(canvas, bx, y - 7, 1, 7, shade(stone, 0.86));
    }
    fill_polygon(
        canvas,
        {{x - w * 0.15, double(top)}, {x + w / 2.0, top - w * 1.3}, {x + w * 1.15, double(top)}},
        roof);
    fill_polygon(
        canvas,
        {{x + w / 2.0, top - w * 1.3}, {x + w * 1.15, double(top)}, {x + w / 2.0, double(top)}},
        shade(roof, 0.75));
    const int win_w = std::max(3, w / 5);
    for (int i = 0; i < 2; ++i) {
        const int wy = top + h / 5 + i * h / 3;
        fill_rect(canvas, x + w / 2 - win_w / 2, wy, win_w, win_w * 2,
                  lit ? rgb(255, 200, 100) : rgb(30, 30, 40));
        fill_disc(canvas, x + w / 2.0, wy, win_w / 2.0, lit ? rgb(255, 200, 100) : rgb(30, 30, 40));
        if (lit) draw_glow(canvas, x + w / 2.0, wy + win_w, win_w * 4.0, rgb(110, 70, 20), 0.5);
    }
}

void draw_castle(Canvas& canvas, int centre_x, int base_y, double scale, uint32_t stone,
                 uint32_t roof, bool lit) {
    const int wall_w = int(300 * scale), wall_h = int(110 * scale);
    const int left = centre_x - wall_w / 2;
    // Curtain wall with battlements.
    fill_rect(canvas, left, base_y - wall_h, wall_w, wall_h, stone);
    texture_rect(canvas, left, base_y - wall_h, wall_w, wall_h, 5, 0.07, 77);
    const int merlon = std::max(3, int(14 * scale));
    for (int mx = left; mx < left + wall_w; mx += merlon * 2)
        fill_rect(canvas, mx, base_y - wall_h - merlon, merlon, merlon, stone);
    // Gate.
    const int gate_w = int(50 * scale), gate_h = int(64 * scale);
    fill_rect(canvas, centre_x - gate_w / 2, base_y - gate_h + gate_w / 2, gate_w,
              gate_h - gate_w / 2, rgb(40, 28, 20));
    fill_disc(canvas, centre_x, base_y - gate_h + gate_w / 2.0, gate_w / 2.0, rgb(40, 28, 20));
    for (int bar = 1; bar < 5; ++bar)
        fill_rect(canvas, centre_x - gate_w / 2 + bar * gate_w / 5, base_y - gate_h, 2, gate_h,
                  rgb(90, 80, 70));
    // Keep and towers.
    const int keep_w = int(110 * scale), keep_h = int(210 * scale);
    draw_tower(canvas, centre_x - keep_w / 2, base_y - wall_h + int(20 * scale), keep_w,
               keep_h - wall_h + int(60 * scale), shade(stone, 1.05), roof, lit);
    const int tower_w = int(60 * scale), tower_h = int(190 * scale);
    draw_tower(canvas, left - tower_w / 2, base_y, tower_w, tower_h, stone, roof, lit);
    draw_tower(canvas, left + wall_w - tower_w / 2, base_y, tower_w, tower_h, stone, roof, lit);
    draw_flag(canvas, centre_x,
              base_y - wall_h - (keep_h - wall_h + 60 * scale) + 20 * scale - keep_w * 1.3 - 4,
              30 * scale, rgb(200, 30, 40));
}

void draw_water(Canvas& canvas, int top, int bottom, uint32_t tint, double tint_strength,
                uint32_t seed) {
    for (int y = top; y < std::min(bottom, canvas.height); ++y) {
        const double depth = (y - top) / double(std::max(1, bottom - top));
        const int mirror_y = top - 1 - static_cast<int>((y - top) * 1.0);
        for (int x = 0; x < canvas.width; ++x) {
            const double ripple =
                (value_noise(x * 0.15, y, 3 + depth * 6, seed) - 0.5) * (4 + depth * 14);
            const uint32_t mirrored =
                canvas.at(std::clamp(x + int(ripple), 0, canvas.width - 1), std::max(0, mirror_y));
            uint32_t colour = mix(mirrored, tint, tint_strength + depth * 0.35);
            // Thin bright streaks where the surface faces the sky.
            if (value_noise(x * 0.08, y * 1.3, 4, seed + 5) > 0.84)
                colour = mix(colour, rgb(255, 255, 255), 0.12);
            canvas.set(x, y, colour);
        }
    }
}

void draw_hero(Canvas& canvas, double x, double base_y, double size, uint32_t tunic, uint32_t cape,
               bool armed) {
    const double u = size / 10.0;
    const uint32_t skin = rgb(236, 190, 150), boots = rgb(60, 40, 30);
    fill_polygon(canvas,
                 {{x - 1.6 * u, base_y - 8 * u},
                  {x + 1.6 * u, base_y - 8 * u},
                  {x + 2.6 * u, base_y - 2.5 * u},
                  {x - 2.6 * u, base_y - 2.5 * u}},
                 cape);
    fill_rect(canvas, int(x - 1.4 * u), int(base_y - 3.6 * u), int(1.1 * u) + 1, int(3.6 * u),
              rgb(70, 60, 90));
    fill_rect(canvas, int(x + 0.3 * u), int(base_y - 3.6 * u), int(1.1 * u) + 1, int(3.6 * u),
              rgb(70, 60, 90));
    fill_rect(canvas, int(x - 1.6 * u), int(base_y - 1.0 * u), int(1.4 * u) + 1, int(u) + 1, boots);
    fill_rect(canvas, int(x + 0.2 * u), int(base_y - 1.0 * u), int(1.4 * u) + 1, int(u) + 1, boots);
    fill_polygon(canvas,
                 {{x - 1.5 * u, base_y - 7.6 * u},
                  {x + 1.5 * u, base_y - 7.6 * u},
                  {x + 1.9 * u, base_y - 3.4 * u},
                  {x - 1.9 * u, base_y - 3.4 * u}},
                 tunic);
    fill_rect(canvas, int(x - 1.8 * u), int(base_y - 4.4 * u), int(3.6 * u) + 1,
              std::max(1, int(0.5 * u)), rgb(90, 60, 30));
    fill_disc(canvas, x, base_y - 8.7 * u, 1.2 * u, skin);
    fill_ellipse(canvas, x, base_y - 9.4 * u, 1.3 * u, 0.7 * u, rgb(120, 70, 30));
    if (!armed) return;
    // Sword held up at the side.
    draw_line(canvas, x + 2.2 * u, base_y - 5 * u, x + 3.2 * u, base_y - 10.5 * u,
              std::max(1.0, 0.35 * u), rgb(210, 214, 224));
    draw_line(canvas, x + 1.5 * u, base_y - 5.2 * u, x + 2.9 * u, base_y - 4.8 * u,
              std::max(1.0, 0.4 * u), rgb(180, 140, 40));
}

void draw_torch(Canvas& canvas, double x, double y, double size) {
    draw_glow(canvas, x, y - size * 0.3, size * 6, rgb(150, 90, 30), 0.8);
    fill_polygon(canvas,
                 {{x - size * 0.18, y},
                  {x + size * 0.18, y},
                  {x + size * 0.1, y + size},
                  {x - size * 0.1, y + size}},
                 rgb(80, 50, 30));
    fill_polygon(canvas, {{x - size * 0.3, y}, {x, y - size * 0.9}, {x + size * 0.3, y}},
                 rgb(255, 140, 30));
    fill_polygon(canvas, {{x - size * 0.15, y}, {x, y - size * 0.55}, {x + size * 0.15, y}},
                 rgb(255, 230, 120));
}

void draw_flag(Canvas& canvas, double x, double y, double size, uint32_t colour) {
    draw_line(canvas, x, y, x, y + size * 1.2, std::max(1.0, size / 12), rgb(60, 50, 40));
    fill_polygon(
        canvas,
        {{x, y}, {x + size, y + size * 0.2}, {x + size * 0.9, y + size * 0.3}, {x, y + size * 0.5}},
        colour);
}

}  // namespace demo
