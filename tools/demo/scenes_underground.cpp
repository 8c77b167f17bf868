// A dungeon corridor and a dragon's cave: the screenshots from underground.
#include <cmath>
#include <string>
#include <vector>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"
#include "tools/demo/scenes.h"

namespace demo {

namespace {

// One frame of the corridor: where its walls, floor and ceiling stand at one depth.
struct CorridorFrame {
    double left;
    double top;
    double right;
    double bottom;
};

void draw_health_bar(Canvas& c, int x, int y, const std::string& name, double fraction,
                     uint32_t colour) {
    blend_rect(c, x, y, 300, 46, rgb(0, 0, 0), 0.6);
    frame_rect(c, x, y, 300, 46, 2, rgb(200, 170, 90));
    draw_text_shadowed(c, x + 10, y + 8, name, rgb(255, 255, 255), rgb(0, 0, 0), 2);
    fill_rect(c, x + 10, y + 28, 280, 10, rgb(50, 20, 20));
    fill_rect(c, x + 10, y + 28, int(280 * fraction), 10, colour);
    fill_rect(c, x + 10, y + 28, int(280 * fraction), 3, shade(colour, 1.4));
}

}  // namespace

namespace {

// Frames of the dungeon corridor at growing depth.
constexpr double CORRIDOR_CX = 512, CORRIDOR_CY = 360;
constexpr int CORRIDOR_SEGMENTS = 6;

CorridorFrame corridor_frame_at(int depth) {
    const double s = 1.0 / (1 + depth * 0.55);
    return CorridorFrame{CORRIDOR_CX - 560 * s, CORRIDOR_CY - 420 * s, CORRIDOR_CX + 560 * s,
                         CORRIDOR_CY + 420 * s};
}

// One section between two frames; its walls fade into the dark with depth.
void draw_corridor_section(Canvas& c, int depth) {
    const CorridorFrame near = corridor_frame_at(depth), far = corridor_frame_at(depth + 1);
    const double light = 1.0 / (1 + depth * 0.5);
    const uint32_t wall = shade(rgb(110, 100, 96), light), floor = shade(rgb(80, 76, 70), light);
    const uint32_t ceiling = shade(rgb(60, 56, 56), light);
    fill_polygon(c,
                 {{near.left, near.top},
                  {far.left, far.top},
                  {far.left, far.bottom},
                  {near.left, near.bottom}},
                 wall);
    fill_polygon(c,
                 {{near.right, near.top},
                  {near.right, near.bottom},
                  {far.right, far.bottom},
                  {far.right, far.top}},
                 shade(wall, 0.85));
    fill_polygon(c,
                 {{near.left, near.bottom},
                  {near.right, near.bottom},
                  {far.right, far.bottom},
                  {far.left, far.bottom}},
                 floor);
    fill_polygon(
        c,
        {{near.left, near.top}, {far.left, far.top}, {far.right, far.top}, {near.right, near.top}},
        ceiling);
    // Joints between the sections and along the floor.
    draw_line(c, far.left, far.top, far.left, far.bottom, 2, shade(wall, 0.6));
    draw_line(c, far.right, far.top, far.right, far.bottom, 2, shade(wall, 0.5));
    draw_line(c, far.left, far.bottom, far.right, far.bottom, 2, shade(floor, 0.6));
    for (int course = 1; course < 6; ++course) {
        const double t = course / 6.0;
        draw_line(c, near.left, near.top + (near.bottom - near.top) * t, far.left,
                  far.top + (far.bottom - far.top) * t, 1, shade(wall, 0.7));
        draw_line(c, near.right, near.top + (near.bottom - near.top) * t, far.right,
                  far.top + (far.bottom - far.top) * t, 1, shade(wall, 0.6));
    }
    for (int tile = 1; tile < 4; ++tile) {
        const double t = tile / 4.0;
        draw_line(c, near.left + (near.right - near.left) * t, near.bottom,
                  far.left + (far.right - far.left) * t, far.bottom, 1, shade(floor, 0.7));
    }
}

void draw_corridor_door(Canvas& c) {
    const CorridorFrame end = corridor_frame_at(CORRIDOR_SEGMENTS);
    const double cx = CORRIDOR_CX;
    const double dw = (end.right - end.left) * 0.6, dh = (end.bottom - end.top) * 0.8;
    fill_rect(c, int(cx - dw / 2), int(end.bottom - dh), int(dw), int(dh), rgb(60, 40, 24));
    for (int band = 1; band < 4; ++band)
        fill_rect(c, int(cx - dw / 2), int(end.bottom - dh * band / 4), int(dw), 2,
                  rgb(40, 40, 44));
    fill_disc(c, cx + dw / 3, end.bottom - dh / 2, 2, rgb(200, 170, 80));
}

// Torches on the nearer walls, with their light on the stone.
void draw_corridor_torches(Canvas& c) {
    const CorridorFrame t1 = corridor_frame_at(1), t3 = corridor_frame_at(3);
    const double cy = CORRIDOR_CY;
    draw_torch(c, t1.left + 60, cy - 40, 30);
    draw_torch(c, t1.right - 60, cy - 40, 30);
    draw_torch(c, t3.left + 26, cy - 20, 14);
    draw_torch(c, t3.right - 26, cy - 20, 14);
}

void draw_chest_and_bones(Canvas& c) {
    fill_rect(c, 600, 560, 110, 60, rgb(120, 80, 40));
    fill_ellipse(c, 655, 560, 55, 18, rgb(140, 96, 50));
    frame_rect(c, 600, 560, 110, 60, 3, rgb(180, 150, 60));
    fill_rect(c, 648, 572, 14, 14, rgb(200, 170, 70));
    draw_line(c, 300, 640, 360, 620, 6, rgb(220, 214, 196));
    fill_disc(c, 296, 642, 6, rgb(220, 214, 196));
    fill_disc(c, 364, 618, 6, rgb(220, 214, 196));
    fill_disc(c, 400, 630, 16, rgb(226, 220, 204));
    fill_disc(c, 394, 628, 4, rgb(30, 24, 20));
    fill_disc(c, 406, 628, 4, rgb(30, 24, 20));
}

}  // namespace

Canvas draw_dungeon_corridor() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT, rgb(10, 8, 12));
    for (int depth = CORRIDOR_SEGMENTS - 1; depth >= 0; --depth)
        draw_corridor_section(c, depth);
    draw_corridor_door(c);
    draw_corridor_torches(c);
    draw_chest_and_bones(c);
    return c;
}

namespace {

// The cave: stalactites, the floor and a glowing pool of fire.
void draw_cave(Canvas& c) {
    vertical_gradient(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, rgb(30, 20, 24), rgb(70, 36, 24));
    texture_rect(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 30, 0.2, 131);
    // Stalactites and the cave floor.
    for (int i = 0; i < 16; ++i) {
        const double x = i * 66 + hash_noise(i, 0, 132) * 30,
                     length = 40 + hash_noise(i, 1, 132) * 90;
        fill_polygon(c, {{x - 18, 0}, {x + 18, 0}, {x + 2, length}}, rgb(50, 34, 34));
    }
    const Ridge floor = {560, 40, 300, 0.3, 133};
    draw_ridge(c, floor, rgb(90, 60, 44), rgb(50, 32, 26), SCREEN_HEIGHT);
    texture_rect(c, 0, 500, SCREEN_WIDTH, SCREEN_HEIGHT - 500, 8, 0.1, 134);
    draw_glow(c, 900, 640, 260, rgb(200, 80, 20), 0.7);
    fill_ellipse(c, 900, 645, 110, 16, rgb(255, 140, 40));
    fill_ellipse(c, 890, 642, 60, 7, rgb(255, 220, 120));
}

// Wings, body, neck and head, and the legs.
void draw_dragon(Canvas& c) {
    const uint32_t scales = rgb(50, 130, 70), belly = rgb(200, 190, 110);
    fill_polygon(
        c, {{640, 360}, {760, 140}, {800, 250}, {880, 170}, {880, 300}, {960, 260}, {860, 420}},
        rgb(40, 90, 60));
    fill_ellipse(c, 740, 470, 150, 90, scales);
    fill_ellipse(c, 720, 500, 110, 50, belly);
    draw_line(c, 860, 500, 990, 560, 36, scales);
    draw_line(c, 990, 560, 1020, 520, 20, scales);
    fill_polygon(c, {{640, 430}, {560, 300}, {600, 290}, {690, 400}}, scales);
    fill_polygon(c, {{520, 270}, {610, 250}, {620, 320}, {540, 330}, {470, 320}}, scales);
    fill_polygon(c, {{470, 320}, {540, 330}, {520, 345}, {460, 336}}, rgb(40, 100, 56));
    fill_disc(c, 560, 280, 8, rgb(255, 220, 40));
    fill_ellipse(c, 561, 280, 2, 6, rgb(10, 10, 10));
    fill_polygon(c, {{580, 252}, {610, 200}, {606, 252}}, belly);
    fill_polygon(c, {{548, 262}, {566, 214}, {570, 262}}, belly);
    for (int leg = 0; leg < 2; ++leg) {
        const double x = 660 + leg * 140;
        fill_rect(c, int(x), 520, 40, 70, shade(scales, 0.8));
        fill_polygon(c, {{x - 10, 590}, {x + 50, 590}, {x + 44, 604}, {x - 4, 604}},
                     shade(scales, 0.7));
    }
}

// Fire from the jaws towards the hero: a widening tongue, hotter in the middle.
void draw_dragon_fire(Canvas& c) {
    draw_glow(c, 340, 390, 200, rgb(200, 90, 20), 0.8);
    const struct {
        double width;
        uint32_t colour;
    } layers[] = {{60, rgb(220, 70, 20)}, {40, rgb(255, 150, 40)}, {20, rgb(255, 236, 150)}};
    for (const auto& layer : layers) {
        std::vector<Point> upper, lower;
        for (int step = 0; step <= 20; ++step) {
            const double t = step / 20.0;
            const double x = 455 - t * 215, y = 332 + t * 110;
            const double half = 4 + layer.width * t * (1 + 0.25 * std::sin(t * 19));
            upper.push_back({x - half * 0.45, y - half});
            lower.push_back({x + half * 0.45, y + half});
        }
        upper.insert(upper.end(), lower.rbegin(), lower.rend());
        fill_polygon(c, upper, layer.colour);
    }
}

// The hero with a raised shield, and both health bars.
void draw_hero_with_shield(Canvas& c) {
    draw_hero(c, 170, 600, 130, rgb(40, 90, 170), rgb(170, 40, 40));
    fill_ellipse(c, 208, 530, 26, 36, rgb(170, 170, 180));
    fill_ellipse(c, 208, 530, 18, 28, rgb(40, 70, 150));
    fill_rect(c, 205, 510, 6, 40, rgb(230, 200, 80));
    fill_rect(c, 192, 524, 32, 6, rgb(230, 200, 80));
    draw_health_bar(c, 40, 616, "HELD", 0.7, rgb(60, 180, 70));
    draw_health_bar(c, 460, 616, "DRACHE", 0.4, rgb(200, 50, 40));
}

}  // namespace

Canvas draw_dragon_battle() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_cave(c);
    draw_dragon(c);
    draw_dragon_fire(c);
    draw_hero_with_shield(c);
    return c;
}

}  // namespace demo
