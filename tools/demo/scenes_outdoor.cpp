// Landscapes, a harbour, a market town and a castle: the outdoor screenshots.
#include <cmath>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"
#include "tools/demo/scenes.h"

namespace demo {

namespace {

// A winding path from the bottom of the picture towards a point on the horizon.
void draw_winding_path(Canvas& canvas, double start_x, double end_x, double end_y, double wiggle,
                       uint32_t colour) {
    const int steps = 60;
    for (int i = 0; i < steps; ++i) {
        const double t0 = i / double(steps), t1 = (i + 1) / double(steps);
        auto centre = [&](double t) {
            return start_x + (end_x - start_x) * t + std::sin(t * 7) * wiggle * (1 - t);
        };
        auto y_at = [&](double t) {
            return SCREEN_HEIGHT + (end_y - SCREEN_HEIGHT) * std::sqrt(t);
        };
        const double w0 = 90 * (1 - t0) + 4, w1 = 90 * (1 - t1) + 4;
        fill_polygon(canvas,
                     {{centre(t0) - w0, y_at(t0)},
                      {centre(t0) + w0, y_at(t0)},
                      {centre(t1) + w1, y_at(t1)},
                      {centre(t1) - w1, y_at(t1)}},
                     colour);
    }
}

void draw_grass_tufts(Canvas& canvas, int top, int bottom, int count, uint32_t colour,
                      uint32_t seed) {
    for (int i = 0; i < count; ++i) {
        const double x = hash_noise(i, 11, seed) * SCREEN_WIDTH;
        const double y = top + hash_noise(i, 12, seed) * (bottom - top);
        const double size = 3 + 6 * (y - top) / double(bottom - top);
        for (int blade = -1; blade <= 1; ++blade)
            draw_line(canvas, x, y, x + blade * size * 0.5, y - size, 1, colour);
    }
}

void draw_birds(Canvas& canvas, double x, double y, int count, uint32_t colour) {
    for (int i = 0; i < count; ++i) {
        const double bx = x + i * 26 + (i % 2) * 9, by = y + (i % 3) * 11;
        draw_line(canvas, bx - 6, by - 3, bx, by, 1.4, colour);
        draw_line(canvas, bx, by, bx + 6, by - 3, 1.4, colour);
    }
}

void draw_sailing_ship(Canvas& canvas, double x, double waterline, double size, uint32_t sail) {
    fill_polygon(canvas,
                 {{x - size, waterline - size * 0.25},
                  {x + size, waterline - size * 0.3},
                  {x + size * 0.75, waterline + size * 0.05},
                  {x - size * 0.8, waterline + size * 0.05}},
                 rgb(90, 56, 30));
    fill_rect(canvas, int(x - size), int(waterline - size * 0.3), int(size * 2), 2,
              rgb(140, 100, 60));
    for (int mast = -1; mast <= 1; mast += 2) {
        const double mx = x + mast * size * 0.35;
        draw_line(canvas, mx, waterline - size * 0.25, mx, waterline - size * 1.55, 2,
                  rgb(70, 50, 30));
        fill_polygon(canvas,
                     {{mx - size * 0.3, waterline - size * 1.4},
                      {mx + size * 0.32, waterline - size * 1.4},
                      {mx + size * 0.36, waterline - size * 0.5},
                      {mx - size * 0.34, waterline - size * 0.5}},
                     sail);
        fill_polygon(canvas,
                     {{mx + size * 0.02, waterline - size * 1.4},
                      {mx + size * 0.32, waterline - size * 1.4},
                      {mx + size * 0.36, waterline - size * 0.5},
                      {mx + size * 0.02, waterline - size * 0.5}},
                     shade(sail, 0.85));
    }
    draw_flag(canvas, x + size * 0.35, waterline - size * 1.75, size * 0.25, rgb(200, 30, 40));
}

void draw_market_stall(Canvas& canvas, int x, int base_y, int w, uint32_t stripe) {
    const int h = w * 7 / 10;
    fill_rect(canvas, x + 4, base_y - h, 5, h, rgb(90, 60, 36));
    fill_rect(canvas, x + w - 9, base_y - h, 5, h, rgb(90, 60, 36));
    fill_rect(canvas, x, base_y - h * 4 / 10, w, h * 4 / 10, rgb(130, 90, 50));
    frame_rect(canvas, x, base_y - h * 4 / 10, w, h * 4 / 10, 2, rgb(80, 50, 30));
    for (int i = 0; i < 6; ++i) {
        const uint32_t colours[3] = {rgb(220, 60, 40), rgb(240, 190, 50), rgb(110, 170, 60)};
        fill_disc(canvas, x + 12 + i * (w - 24) / 5.0, base_y - h * 4 / 10 - 5, 6, colours[i % 3]);
    }
    for (int s = 0; s < 8; ++s) {
        const double sx = x - 8 + s * (w + 16) / 8.0;
        fill_polygon(canvas,
                     {{sx, double(base_y - h)},
                      {sx + (w + 16) / 8.0, double(base_y - h)},
                      {sx + (w + 16) / 8.0, double(base_y - h + 18)},
                      {sx, double(base_y - h + 24)}},
                     s % 2 ? stripe : rgb(245, 240, 225));
    }
}

}  // namespace

Canvas draw_meadow_village() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 380, rgb(58, 112, 196), rgb(196, 224, 246));
    draw_glow(c, 880, 150, 160, rgb(120, 110, 60), 0.6);
    fill_disc(c, 880, 150, 34, rgb(255, 246, 200));
    draw_cloud(c, 240, 130, 70, rgb(255, 255, 255), 0.85);
    draw_cloud(c, 620, 90, 50, rgb(250, 250, 255), 0.75);
    draw_cloud(c, 470, 230, 40, rgb(245, 245, 250), 0.6);
    const Ridge mountains = {380, 170, 260, 0.9, 3};
    draw_ridge(c, mountains, rgb(120, 136, 170), rgb(150, 170, 196), 420);
    draw_snow_caps(c, mountains, 300);
    const Ridge far_hills = {420, 70, 320, 0.2, 4};
    draw_ridge(c, far_hills, rgb(96, 150, 90), rgb(80, 130, 70), SCREEN_HEIGHT);
    for (int i = 0; i < 5; ++i) {
        const int hx = 560 + i * 58 + (i % 2) * 14;
        draw_cottage(c, hx, int(ridge_top(far_hills, hx + 20)) + 22, 40, 26, rgb(230, 220, 190),
                     rgb(170, 70, 50), false);
    }
    draw_tower(c, 860, int(ridge_top(far_hills, 870)) + 24, 26, 70, rgb(200, 196, 186),
               rgb(60, 80, 150), false);
    const Ridge meadow = {510, 60, 400, 0.1, 5};
    draw_ridge(c, meadow, rgb(112, 178, 84), rgb(70, 130, 52), SCREEN_HEIGHT);
    texture_below_ridge(c, far_hills, 9, 0.06, 6);
    draw_winding_path(c, 430, 610, 470, 120, rgb(196, 170, 120));
    texture_rect(c, 300, 470, 420, 298, 4, 0.05, 7);
    for (int i = 0; i < 7; ++i)
        draw_pine(c, 30 + i * 42 + (i % 2) * 10, 470 + (i % 3) * 12, 90 + (i % 3) * 25,
                  rgb(40, 96, 56));
    draw_leaf_tree(c, 760, 560, 150, rgb(70, 140, 60), 21);
    draw_leaf_tree(c, 930, 600, 190, rgb(60, 128, 52), 22);
    draw_leaf_tree(c, 190, 640, 170, rgb(76, 146, 62), 23);
    draw_bush(c, 700, 600, 40, rgb(80, 150, 64));
    draw_bush(c, 330, 590, 34, rgb(84, 156, 66));
    draw_rock(c, 610, 650, 22, rgb(150, 146, 140));
    draw_grass_tufts(c, 520, 700, 160, rgb(60, 120, 44), 8);
    draw_hero(c, 500, 612, 80, rgb(40, 90, 170), rgb(170, 40, 40));
    draw_birds(c, 350, 170, 4, rgb(50, 50, 70));
    return c;
}

Canvas draw_lake_at_sunset() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    const int waterline = 420;
    draw_sky(c, waterline, rgb(44, 30, 86), rgb(250, 160, 80));
    draw_stars(c, 140, 60, 31);
    // The sun is setting behind the mountains.
    draw_glow(c, 620, 330, 260, rgb(160, 90, 40), 0.9);
    fill_disc(c, 620, 330, 44, rgb(255, 214, 130));
    draw_cloud(c, 300, 250, 80, rgb(230, 110, 110), 0.35);
    draw_cloud(c, 820, 200, 60, rgb(200, 100, 130), 0.3);
    const Ridge far = {waterline, 150, 300, 0.8, 33};
    draw_ridge(c, far, rgb(120, 70, 110), rgb(150, 90, 110), waterline);
    const Ridge near = {waterline, 80, 220, 0.3, 34};
    draw_ridge(c, near, rgb(70, 40, 80), rgb(60, 34, 70), waterline);
    for (int i = 0; i < 9; ++i)
        draw_pine(c, 20 + i * 26, waterline + 2, 60 + (i * 37) % 40, rgb(36, 22, 46));
    draw_castle(c, 860, waterline, 0.35, rgb(70, 46, 80), rgb(50, 30, 60), true);
    draw_water(c, waterline, SCREEN_HEIGHT, rgb(40, 30, 80), 0.25, 35);
    draw_sailing_ship(c, 420, 520, 40, rgb(70, 50, 70));
    // The near shore: a dark bank with reeds.
    const Ridge shore = {SCREEN_HEIGHT - 40.0, 40, 260, 0.1, 36};
    draw_ridge(c, shore, rgb(40, 28, 44), rgb(26, 18, 30), SCREEN_HEIGHT);
    for (int i = 0; i < 40; ++i) {
        const double x = 560 + i * 11 + hash_noise(i, 0, 37) * 8;
        const double top = ridge_top(shore, x) - 30 - hash_noise(i, 1, 37) * 40;
        draw_line(c, x, ridge_top(shore, x) + 4, x + 3, top, 2, rgb(30, 22, 30));
        if (i % 4 == 0) fill_ellipse(c, x + 3, top, 2.5, 7, rgb(60, 40, 34));
    }
    return c;
}

Canvas draw_forest_path() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 360, rgb(150, 190, 170), rgb(220, 230, 200));
    fill_rect(c, 0, 360, SCREEN_WIDTH, SCREEN_HEIGHT - 360, rgb(86, 110, 60));
    texture_rect(c, 0, 360, SCREEN_WIDTH, SCREEN_HEIGHT - 360, 12, 0.1, 41);
    draw_winding_path(c, 520, 540, 380, 60, rgb(150, 120, 80));
    texture_rect(c, 380, 380, 300, 388, 5, 0.08, 42);
    // Rows of pines, paler with distance.
    const uint32_t haze = rgb(170, 200, 170);
    for (int row = 0; row < 4; ++row) {
        const double base = 380 + row * 50;
        const double height = 150 + row * 90;
        const uint32_t colour = mix(rgb(30, 70, 40), haze, 0.6 - row * 0.18);
        for (int i = 0; i < 14 - row * 2; ++i) {
            double x = i * (SCREEN_WIDTH / double(14 - row * 2)) + hash_noise(i, row, 43) * 40;
            const double gap = 120 + row * 70;  // keep the path clear
            if (std::fabs(x - 530) < gap) x += x < 530 ? -gap : gap;
            draw_pine(c, x, base + hash_noise(i, row + 9, 43) * 20, height, colour);
        }
    }
    // Shafts of light through the trees.
    for (int ray = 0; ray < 4; ++ray) {
        const double x = 380 + ray * 90;
        // In pieces that grow fainter towards the ground.
        for (int piece = 0; piece < 8; ++piece) {
            const double t0 = piece / 8.0, t1 = (piece + 1) / 8.0;
            blend_polygon(c,
                          {{x + 130 * t0, 700 * t0},
                           {x + 40 + 170 * t0, 700 * t0},
                           {x + 40 + 170 * t1, 700 * t1},
                           {x + 130 * t1, 700 * t1}},
                          rgb(255, 250, 200), 0.09 * (1 - t0));
        }
    }
    for (int i = 0; i < 6; ++i) {
        const double x = 300 + i * 90 + (i % 2) * 40, y = 560 + (i * 23) % 60;
        fill_rect(c, int(x) - 2, int(y) - 8, 4, 8, rgb(236, 226, 210));
        fill_ellipse(c, x, y - 9, 8, 5, i % 2 ? rgb(200, 40, 30) : rgb(170, 110, 60));
    }
    draw_grass_tufts(c, 600, 700, 120, rgb(50, 80, 36), 44);
    draw_hero(c, 560, 560, 70, rgb(60, 120, 60), rgb(120, 80, 40));
    return c;
}

Canvas draw_harbour() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    const int waterline = 430;
    draw_sky(c, waterline, rgb(80, 140, 210), rgb(210, 230, 240));
    draw_cloud(c, 700, 120, 60, rgb(255, 255, 255), 0.8);
    draw_cloud(c, 250, 180, 45, rgb(255, 255, 255), 0.6);
    const Ridge headland = {waterline, 60, 200, 0.4, 51};
    draw_ridge(c, headland, rgb(110, 140, 120), rgb(120, 150, 130), waterline);
    draw_water(c, waterline, SCREEN_HEIGHT, rgb(30, 90, 140), 0.55, 52);
    // The town climbs the hill on the left.
    const std::vector<Point> hill = {{0, 300},   {180, 330}, {360, 420},
                                     {470, 470}, {470, 560}, {0, 560}};
    fill_polygon(c, hill, rgb(120, 150, 90));
    texture_polygon(c, hill, 8, 0.08, 53);
    for (int i = 0; i < 8; ++i) {
        const int x = 20 + i * 52, base = 360 + i * 18 + (i % 2) * 8;
        draw_cottage(c, x, base, 44, 34, i % 2 ? rgb(236, 226, 200) : rgb(220, 200, 170),
                     i % 3 ? rgb(170, 70, 50) : rgb(80, 90, 130), false);
    }
    draw_tower(c, 120, 330, 40, 120, rgb(210, 206, 196), rgb(160, 60, 50), false);
    // Quay and pier.
    fill_rect(c, 0, 560, 520, 40, rgb(150, 140, 130));
    texture_rect(c, 0, 560, 520, 40, 4, 0.12, 54);
    fill_rect(c, 440, 520, 300, 16, rgb(120, 84, 50));
    for (int post = 450; post < 740; post += 40)
        fill_rect(c, post, 536, 6, 60, rgb(80, 56, 34));
    draw_sailing_ship(c, 820, 560, 90, rgb(240, 236, 220));
    draw_sailing_ship(c, 620, 470, 40, rgb(230, 220, 200));
    for (int i = 0; i < 3; ++i)
        fill_rect(c, 40 + i * 60, 540, 30, 24, rgb(130, 90, 50));
    draw_hero(c, 300, 590, 60, rgb(180, 60, 40), rgb(60, 60, 120));
    draw_birds(c, 420, 110, 3, rgb(60, 60, 70));
    draw_birds(c, 160, 60 + 30, 2, rgb(60, 60, 70));
    return c;
}

Canvas draw_market_town() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 420, rgb(90, 150, 220), rgb(210, 230, 245));
    draw_cloud(c, 520, 110, 55, rgb(255, 255, 255), 0.8);
    // A row of tall town houses along the back of the square.
    const uint32_t walls[5] = {rgb(236, 220, 190), rgb(210, 190, 160), rgb(230, 206, 170),
                               rgb(200, 210, 200), rgb(240, 230, 210)};
    const uint32_t roofs[3] = {rgb(160, 60, 44), rgb(100, 70, 60), rgb(70, 90, 130)};
    for (int i = 0; i < 9; ++i) {
        const int w = 100 + (i * 37) % 30;
        const int x = -20 + i * 118;
        const int h = 140 + (i * 53) % 50;
        draw_cottage(c, x, 420, w, h, walls[i % 5], roofs[i % 3], false);
    }
    draw_tower(c, 476, 420, 60, 260, rgb(200, 190, 170), rgb(70, 90, 130), false);
    fill_disc(c, 506, 190, 16, rgb(240, 236, 220));
    draw_line(c, 506, 190, 506, 179, 2, rgb(30, 30, 30));
    draw_line(c, 506, 190, 514, 193, 2, rgb(30, 30, 30));
    // Cobbled square in perspective.
    vertical_gradient(c, 0, 420, SCREEN_WIDTH, SCREEN_HEIGHT - 420, rgb(150, 140, 126),
                      rgb(120, 110, 100));
    for (int row = 0; row < 20; ++row) {
        const double y = 420 + std::pow(row / 20.0, 1.6) * 348;
        fill_rect(c, 0, int(y), SCREEN_WIDTH, 1, rgb(110, 100, 90));
    }
    for (int col = -20; col <= 20; ++col)
        draw_line(c, 512 + col * 30, 420, 512 + col * 130, SCREEN_HEIGHT, 1, rgb(112, 102, 92));
    texture_rect(c, 0, 420, SCREEN_WIDTH, SCREEN_HEIGHT - 420, 3, 0.06, 61);
    draw_market_stall(c, 80, 520, 160, rgb(200, 40, 40));
    draw_market_stall(c, 680, 540, 170, rgb(40, 90, 180));
    // The well in the middle of the square.
    fill_ellipse(c, 470, 560, 60, 18, rgb(130, 120, 110));
    fill_rect(c, 410, 520, 120, 40, rgb(150, 140, 130));
    texture_rect(c, 410, 520, 120, 40, 4, 0.12, 62);
    fill_ellipse(c, 470, 520, 60, 16, rgb(60, 70, 90));
    fill_rect(c, 416, 440, 8, 80, rgb(90, 60, 36));
    fill_rect(c, 516, 440, 8, 80, rgb(90, 60, 36));
    fill_polygon(c, {{400, 446}, {470, 410}, {540, 446}}, rgb(150, 60, 44));
    draw_hero(c, 330, 600, 70, rgb(40, 90, 170), rgb(170, 40, 40));
    draw_hero(c, 620, 580, 60, rgb(120, 100, 40), rgb(60, 100, 60), false);
    draw_hero(c, 760, 610, 64, rgb(150, 60, 130), rgb(70, 70, 70), false);
    return c;
}

Canvas draw_castle_at_night() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 520, rgb(6, 8, 30), rgb(40, 50, 100));
    draw_stars(c, 420, 260, 71);
    draw_glow(c, 200, 150, 110, rgb(90, 90, 110), 0.5);
    fill_disc(c, 200, 150, 34, rgb(246, 244, 220));
    fill_disc(c, 214, 142, 30, rgb(20, 24, 56));  // the dark side of a crescent
    draw_cloud(c, 330, 190, 50, rgb(60, 64, 110), 0.5);
    const Ridge hill = {460, 150, 420, 0.1, 72};
    draw_ridge(c, hill, rgb(30, 40, 60), rgb(18, 24, 40), SCREEN_HEIGHT);
    draw_castle(c, 600, int(ridge_top(hill, 600)) + 10, 0.95, rgb(90, 94, 120), rgb(50, 40, 80),
                true);
    // The road up to the gate, lit by lanterns.
    draw_winding_path(c, 360, 600, ridge_top(hill, 600) + 8, 80, rgb(56, 60, 76));
    for (int i = 0; i < 4; ++i) {
        const double x = 410 + i * 50, y = 700 - i * 70;
        fill_rect(c, int(x), int(y) - 40, 4, 40, rgb(40, 34, 30));
        draw_glow(c, x + 2, y - 44, 40, rgb(200, 140, 60), 0.8);
        fill_disc(c, x + 2, y - 44, 4, rgb(255, 220, 140));
    }
    const Ridge front = {SCREEN_HEIGHT - 50.0, 60, 240, 0.2, 73};
    draw_ridge(c, front, rgb(14, 18, 30), rgb(8, 10, 18), SCREEN_HEIGHT);
    for (int i = 0; i < 6; ++i)
        draw_pine(c, 40 + i * 60, ridge_top(front, 40 + i * 60) + 10, 110 + (i % 3) * 30,
                  rgb(10, 14, 22));
    draw_hero(c, 330, 676, 60, rgb(40, 50, 90), rgb(80, 20, 30));
    return c;
}

Canvas draw_mountain_pass() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 400, rgb(120, 150, 200), rgb(226, 232, 240));
    const Ridge peaks = {420, 280, 300, 1.0, 81};
    // Paler towards the foot of the mountains: the valley is full of haze.
    draw_ridge(c, peaks, rgb(96, 106, 136), rgb(190, 198, 218), 520);
    draw_snow_caps(c, peaks, 260);
    const Ridge slopes = {500, 120, 240, 0.6, 82};
    draw_ridge(c, slopes, rgb(150, 160, 186), rgb(206, 212, 228), SCREEN_HEIGHT);
    draw_snow_caps(c, slopes, 470);
    const Ridge snowfield = {540, 50, 380, 0.1, 83};
    draw_ridge(c, snowfield, rgb(240, 244, 252), rgb(210, 220, 238), SCREEN_HEIGHT);
    texture_below_ridge(c, snowfield, 14, 0.03, 84);
    // Footprints leading up the pass.
    for (int i = 0; i < 14; ++i) {
        const double t = i / 14.0;
        const double x = 520 + std::sin(t * 5) * 90 * (1 - t) + (i % 2) * 10;
        const double y = SCREEN_HEIGHT - 90 - t * 140;
        fill_ellipse(c, x, y, 5 * (1 - t * 0.6), 3 * (1 - t * 0.6), rgb(170, 180, 204));
    }
    for (int i = 0; i < 8; ++i) {
        const double x = 40 + i * 120 + (i % 2) * 30;
        if (x > 380 && x < 660) continue;
        const double base = 560 + (i % 3) * 40;
        draw_pine(c, x, base, 120 + (i % 3) * 40, rgb(40, 70, 60));
        for (int tier = 0; tier < 4; ++tier)
            blend_ellipse(c, x - 6, base - 110 - (i % 3) * 40 + tier * 30, 14 + tier * 6, 4,
                          rgb(250, 250, 255), 0.9);
    }
    draw_rock(c, 330, 640, 40, rgb(110, 110, 120));
    blend_ellipse(c, 326, 610, 26, 6, rgb(255, 255, 255), 0.9);
    draw_hero(c, 590, 538, 44, rgb(120, 40, 40), rgb(60, 60, 80));
    // Falling snow.
    for (int i = 0; i < 220; ++i)
        fill_disc(c, hash_noise(i, 1, 85) * SCREEN_WIDTH, hash_noise(i, 2, 85) * 680,
                  1 + hash_noise(i, 3, 85) * 1.5, rgb(255, 255, 255));
    return c;
}

Canvas draw_desert_oasis() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 390, rgb(70, 130, 210), rgb(250, 230, 180));
    draw_glow(c, 760, 120, 200, rgb(120, 110, 60), 0.7);
    fill_disc(c, 760, 120, 40, rgb(255, 252, 230));
    // Pyramids on the horizon.
    fill_polygon(c, {{120, 392}, {250, 240}, {380, 392}}, rgb(220, 180, 120));
    fill_polygon(c, {{250, 240}, {380, 392}, {260, 392}}, rgb(180, 140, 90));
    fill_polygon(c, {{330, 392}, {410, 300}, {490, 392}}, rgb(214, 174, 116));
    fill_polygon(c, {{410, 300}, {490, 392}, {416, 392}}, rgb(172, 134, 86));
    for (int layer = 0; layer < 3; ++layer) {
        const Ridge dunes = {400.0 + layer * 80, 70, 300 - layer * 40.0, 0.0,
                             91u + static_cast<uint32_t>(layer)};
        draw_ridge(c, dunes, mix(rgb(236, 200, 140), rgb(220, 170, 100), layer / 2.0),
                   mix(rgb(220, 180, 120), rgb(200, 150, 90), layer / 2.0), SCREEN_HEIGHT);
    }
    texture_below_ridge(c, {400, 70, 300, 0.0, 91}, 5, 0.04, 94);
    // The oasis pool and its palms.
    fill_ellipse(c, 640, 560, 190, 46, rgb(60, 130, 110));
    fill_ellipse(c, 640, 556, 180, 40, rgb(60, 150, 180));
    blend_ellipse(c, 600, 548, 90, 10, rgb(255, 255, 255), 0.25);
    for (int i = 0; i < 5; ++i)
        draw_palm(c, 470 + i * 80 + (i % 2) * 20, 540 + (i % 2) * 30, 150 + (i % 3) * 30);
    draw_bush(c, 460, 590, 30, rgb(70, 130, 60));
    draw_bush(c, 820, 580, 36, rgb(70, 130, 60));
    // A resting camel, drawn in a few shapes.
    const uint32_t camel = rgb(150, 100, 56);
    for (int leg = 0; leg < 4; ++leg)
        fill_rect(c, 200 + leg * 24, 616, 7, 40, shade(camel, 0.85));
    fill_ellipse(c, 240, 600, 60, 26, camel);
    fill_ellipse(c, 226, 578, 28, 22, camel);
    draw_line(c, 290, 596, 316, 548, 12, camel);
    fill_ellipse(c, 324, 546, 15, 9, camel);
    fill_disc(c, 326, 542, 2, rgb(30, 20, 10));
    draw_hero(c, 360, 650, 66, rgb(230, 220, 200), rgb(180, 120, 60));
    return c;
}

}  // namespace demo
