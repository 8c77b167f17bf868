// A tavern and a library: the indoor screenshots.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"
#include "tools/demo/scenes.h"

namespace demo {

namespace {

constexpr double PI = 3.14159265358979323846;

// A room seen from inside: the back wall is the rectangle, the rest leads to the
// picture's edges.
struct RoomView {
    double left;
    double top;
    double right;
    double bottom;
};

void draw_room(Canvas& c, const RoomView& v, uint32_t back, uint32_t sides, uint32_t floor,
               uint32_t ceiling) {
    const double w = SCREEN_WIDTH, h = SCREEN_HEIGHT;
    fill_polygon(c, {{0, 0}, {w, 0}, {v.right, v.top}, {v.left, v.top}}, ceiling);
    fill_polygon(c, {{v.left, v.bottom}, {v.right, v.bottom}, {w, h}, {0, h}}, floor);
    fill_polygon(c, {{0, 0}, {v.left, v.top}, {v.left, v.bottom}, {0, h}}, sides);
    fill_polygon(c, {{w, 0}, {w, h}, {v.right, v.bottom}, {v.right, v.top}}, shade(sides, 0.85));
    fill_rect(c, int(v.left), int(v.top), int(v.right - v.left), int(v.bottom - v.top), back);
}

// Boards running towards the back wall, with joints closer together further away.
void draw_floor_boards(Canvas& c, const RoomView& v, int boards, uint32_t line) {
    for (int i = 0; i <= boards; ++i) {
        const double t = i / double(boards);
        draw_line(c, v.left + (v.right - v.left) * t, v.bottom,
                  SCREEN_WIDTH * t * 1.6 - SCREEN_WIDTH * 0.3, SCREEN_HEIGHT, 1.5, line);
    }
    for (int i = 1; i < 8; ++i) {
        const double depth = 1.0 / (1 + i * 0.7);
        const double y =
            v.bottom + (SCREEN_HEIGHT - v.bottom) * (1 - depth) / (1 - 1 / (1 + 8 * 0.7));
        if (y < SCREEN_HEIGHT) fill_rect(c, 0, int(y), SCREEN_WIDTH, 1, shade(line, 1.1));
    }
}

void draw_stone_blocks(Canvas& c, int x, int y, int w, int h, int block_w, int block_h,
                       uint32_t mortar) {
    for (int row = 0; row * block_h < h; ++row) {
        fill_rect(c, x, y + row * block_h, w, 1, mortar);
        const int offset = (row % 2) * block_w / 2;
        for (int bx = x + offset; bx < x + w; bx += block_w)
            fill_rect(c, bx, y + row * block_h, 1, block_h, mortar);
    }
}

void draw_table(Canvas& c, double x, double y, double w, uint32_t wood) {
    fill_rect(c, int(x - w * 0.42), int(y), int(w * 0.08), int(w * 0.45), shade(wood, 0.7));
    fill_rect(c, int(x + w * 0.34), int(y), int(w * 0.08), int(w * 0.45), shade(wood, 0.7));
    fill_ellipse(c, x, y, w / 2, w * 0.14, shade(wood, 0.8));
    fill_ellipse(c, x, y - 4, w / 2, w * 0.14, wood);
}

void draw_mug(Canvas& c, double x, double y) {
    fill_rect(c, int(x), int(y - 18), 14, 18, rgb(150, 110, 60));
    fill_rect(c, int(x), int(y - 20), 14, 4, rgb(250, 245, 230));
    frame_rect(c, int(x + 13), int(y - 14), 6, 9, 2, rgb(130, 90, 50));
}

void draw_candle(Canvas& c, double x, double y, double size) {
    draw_glow(c, x, y - size * 1.3, size * 8, rgb(140, 100, 40), 0.7);
    fill_rect(c, int(x - size * 0.2), int(y - size), std::max(2, int(size * 0.4)), int(size),
              rgb(240, 230, 200));
    fill_ellipse(c, x, y - size * 1.25, size * 0.15 + 1, size * 0.3 + 1, rgb(255, 220, 120));
}

// A barrel bulging in the middle, size pixels high.
void draw_barrel(Canvas& c, double x, double base_y, double size) {
    const double top = base_y - size;
    for (int row = 0; row < int(size); ++row) {
        const double t = row / size;
        const double half = size * 0.32 * (0.84 + 0.16 * std::sin(t * PI));
        for (int col = int(-half); col < int(half); ++col) {
            // Rounded: lighter in the middle of the staves, darker at the sides.
            const double across = col / half;
            c.set(int(x) + col, int(top) + row,
                  shade(rgb(150, 98, 52), 1.1 - 0.45 * across * across));
        }
        const bool band =
            std::fabs(t - 0.15) < 0.03 || std::fabs(t - 0.85) < 0.03 || std::fabs(t - 0.5) < 0.02;
        if (band) fill_rect(c, int(x - half), int(top) + row, int(2 * half), 1, rgb(70, 70, 76));
    }
    fill_ellipse(c, x, top, size * 0.27, size * 0.07, rgb(110, 72, 38));
}

void draw_bookshelf(Canvas& c, int x, int y, int w, int h, uint32_t seed) {
    fill_rect(c, x, y, w, h, rgb(80, 50, 30));
    frame_rect(c, x, y, w, h, 6, rgb(110, 70, 40));
    const int shelf_h = 62;
    const uint32_t spines[6] = {rgb(150, 30, 30),  rgb(30, 70, 140),  rgb(40, 110, 60),
                                rgb(160, 120, 40), rgb(100, 40, 110), rgb(200, 190, 160)};
    for (int shelf = 0; y + 6 + (shelf + 1) * shelf_h <= y + h; ++shelf) {
        const int floor_y = y + 6 + (shelf + 1) * shelf_h;
        fill_rect(c, x + 6, floor_y - 5, w - 12, 5, rgb(120, 78, 44));
        int bx = x + 8;
        for (int book = 0; bx < x + w - 14; ++book) {
            const int bw = 7 + int(hash_noise(book, shelf, seed) * 8);
            const int bh = 38 + int(hash_noise(book, shelf + 40, seed) * 16);
            const uint32_t colour = spines[int(hash_noise(book, shelf + 80, seed) * 6) % 6];
            fill_rect(c, bx, floor_y - 5 - bh, bw, bh, colour);
            fill_rect(c, bx + 1, floor_y - 5 - bh + 6, bw - 2, 2, shade(colour, 1.4));
            fill_rect(c, bx + bw - 1, floor_y - 5 - bh, 1, bh, shade(colour, 0.6));
            bx += bw + 1;
        }
    }
}

}  // namespace

namespace {

// Plank walls, floor boards and the ceiling beams.
void draw_tavern_room(Canvas& c) {
    const RoomView v = {230, 150, 800, 470};
    draw_room(c, v, rgb(120, 76, 44), rgb(100, 62, 36), rgb(110, 74, 44), rgb(60, 38, 24));
    for (int x = int(v.left); x < v.right; x += 24)
        fill_rect(c, x, int(v.top), 2, int(v.bottom - v.top), rgb(96, 60, 34));
    texture_rect(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 6, 0.07, 101);
    draw_floor_boards(c, v, 12, rgb(80, 52, 30));
    for (int beam = 0; beam < 3; ++beam) {
        const double t = (beam + 1) / 4.0;
        fill_rect(c, int(v.left * t), int(v.top * t) + 56,
                  int(SCREEN_WIDTH - (SCREEN_WIDTH - v.right) * t - v.left * t),
                  int(14 * (1 - t) + 6), rgb(54, 34, 20));
    }
}

void draw_fireplace(Canvas& c) {
    fill_rect(c, 300, 280, 200, 190, rgb(120, 116, 110));
    draw_stone_blocks(c, 300, 280, 200, 190, 40, 20, rgb(90, 86, 80));
    fill_rect(c, 340, 350, 120, 120, rgb(30, 20, 16));
    fill_disc(c, 400, 350, 60, rgb(30, 20, 16));
    fill_rect(c, 290, 270, 220, 14, rgb(90, 60, 36));
    draw_glow(c, 400, 440, 260, rgb(200, 110, 30), 0.9);
    for (int flame = 0; flame < 5; ++flame) {
        const double fx = 360 + flame * 20;
        fill_polygon(c, {{fx - 14, 466}, {fx, 390 + (flame % 2) * 24.0}, {fx + 14, 466}},
                     rgb(255, 120, 30));
        fill_polygon(c, {{fx - 7, 466}, {fx, 420 + (flame % 2) * 16.0}, {fx + 7, 466}},
                     rgb(255, 220, 110));
    }
}

// The shelves with bottles, the keeper behind the counter, and the counter.
void draw_counter(Canvas& c) {
    fill_rect(c, 560, 250, 220, 8, rgb(90, 56, 32));
    fill_rect(c, 560, 310, 220, 8, rgb(90, 56, 32));
    for (int i = 0; i < 9; ++i) {
        const uint32_t glass[3] = {rgb(40, 120, 60), rgb(120, 40, 40), rgb(60, 80, 140)};
        fill_rect(c, 570 + i * 23, 222 + (i % 2) * 6, 10, 28 - (i % 2) * 6, glass[i % 3]);
        fill_rect(c, 573 + i * 23, 214 + (i % 2) * 6, 4, 8, glass[i % 3]);
        fill_rect(c, 572 + i * 23, 292, 12, 18, glass[(i + 1) % 3]);
    }
    draw_hero(c, 680, 440, 110, rgb(200, 190, 170), rgb(110, 60, 30), false);
    fill_rect(c, 540, 390, 300, 130, rgb(110, 66, 36));
    fill_rect(c, 530, 380, 320, 16, rgb(140, 90, 50));
    for (int x = 540; x < 840; x += 30)
        fill_rect(c, x, 396, 2, 124, rgb(86, 52, 28));
    draw_mug(c, 600, 380);
    draw_mug(c, 760, 380);
}

// Barrels, and a table with mugs and a candle.
void draw_tavern_furniture(Canvas& c) {
    draw_barrel(c, 900, 620, 170);
    draw_barrel(c, 975, 470, 120);
    draw_barrel(c, 120, 580, 140);
    draw_table(c, 300, 580, 220, rgb(150, 100, 56));
    draw_mug(c, 250, 585);
    draw_mug(c, 330, 590);
    draw_candle(c, 300, 580, 16);
}

void draw_hanging_lamps(Canvas& c) {
    for (int lamp = 0; lamp < 2; ++lamp) {
        const double x = 420 + lamp * 300;
        draw_line(c, x, 0, x, 90, 2, rgb(40, 30, 20));
        draw_glow(c, x, 104, 120, rgb(150, 100, 40), 0.7);
        fill_polygon(c, {{x - 14, 90}, {x + 14, 90}, {x + 10, 118}, {x - 10, 118}},
                     rgb(255, 210, 120));
        frame_rect(c, int(x - 14), 90, 28, 28, 2, rgb(40, 30, 20));
    }
}

}  // namespace

Canvas draw_tavern() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_tavern_room(c);
    draw_fireplace(c);
    draw_counter(c);
    draw_tavern_furniture(c);
    draw_hanging_lamps(c);
    return c;
}

Canvas draw_library() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    const RoomView v = {200, 130, 824, 500};
    draw_room(c, v, rgb(96, 92, 104), rgb(80, 76, 88), rgb(70, 60, 56), rgb(46, 42, 52));
    draw_stone_blocks(c, int(v.left), int(v.top), int(v.right - v.left), int(v.bottom - v.top), 56,
                      28, rgb(70, 66, 78));
    texture_rect(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 5, 0.08, 111);
    // A tall window with moonlight in the middle of the back wall.
    fill_rect(c, 462, 170, 100, 200, rgb(30, 40, 80));
    fill_disc(c, 512, 170, 50, rgb(30, 40, 80));
    fill_disc(c, 530, 200, 14, rgb(230, 230, 200));
    fill_rect(c, 510, 120, 4, 250, rgb(60, 50, 40));
    fill_rect(c, 462, 270, 100, 4, rgb(60, 50, 40));
    blend_polygon(c, {{462, 370}, {562, 370}, {700, 700}, {420, 700}}, rgb(180, 190, 255), 0.1);
    draw_bookshelf(c, 220, 150, 220, 350, 112);
    draw_bookshelf(c, 584, 150, 220, 350, 113);
    // Side shelves, taller as they come closer.
    draw_bookshelf(c, 20, 120, 160, 560, 114);
    draw_bookshelf(c, 844, 120, 160, 560, 115);
    // Rug and desk.
    fill_polygon(c, {{300, 560}, {724, 560}, {820, 700}, {204, 700}}, rgb(130, 30, 40));
    fill_polygon(c, {{330, 574}, {694, 574}, {770, 686}, {254, 686}}, rgb(160, 120, 50));
    fill_polygon(c, {{340, 580}, {684, 580}, {756, 680}, {268, 680}}, rgb(120, 26, 36));
    fill_polygon(c, {{512, 592}, {600, 630}, {512, 668}, {424, 630}}, rgb(180, 140, 60));
    fill_rect(c, 360, 520, 300, 18, rgb(110, 70, 40));
    fill_rect(c, 370, 538, 20, 90, rgb(90, 56, 32));
    fill_rect(c, 630, 538, 20, 90, rgb(90, 56, 32));
    fill_polygon(c, {{420, 520}, {500, 506}, {500, 516}, {420, 528}}, rgb(240, 230, 200));
    fill_polygon(c, {{500, 506}, {580, 520}, {580, 528}, {500, 516}}, rgb(226, 216, 188));
    for (int line = 0; line < 4; ++line) {
        draw_line(c, 430, 520 - line * 3 + 2, 490, 510 - line * 3 + 4, 1, rgb(120, 110, 100));
        draw_line(c, 510, 510 - line * 3 + 4, 570, 520 - line * 3 + 2, 1, rgb(120, 110, 100));
    }
    draw_candle(c, 400, 520, 18);
    // The crystal orb gives the room its blue light.
    draw_glow(c, 620, 490, 150, rgb(40, 90, 200), 0.9);
    fill_rect(c, 605, 506, 30, 14, rgb(180, 150, 60));
    fill_disc(c, 620, 490, 22, rgb(120, 180, 255));
    blend_ellipse(c, 613, 482, 8, 6, rgb(255, 255, 255), 0.7);
    return c;
}

}  // namespace demo
