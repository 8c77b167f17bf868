#include "tools/demo/boxes.h"

#include <cmath>
#include <string>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"

namespace demo {

namespace {

// A gilt frame with a dark inner line, as round every box.
void draw_box_frame(Canvas& c) {
    for (int i = 0; i < 4; ++i)
        frame_rect(c, i, i, c.width - 2 * i, c.height - 2 * i, 1,
                   mix(rgb(120, 84, 30), rgb(240, 200, 100), i % 3 == 1 ? 1.0 : 0.3));
    frame_rect(c, 4, 4, c.width - 8, c.height - 8, 1, rgb(30, 20, 10));
}

void draw_caption(Canvas& c, const std::string& text) {
    const int w = text_width(text, 1) + 10;
    fill_rect(c, (c.width - w) / 2, c.height - 18, w, 12, rgb(30, 22, 14));
    draw_text_centred(c, c.width / 2, c.height - 15, text, rgb(250, 220, 130), 1);
}

Canvas wizard_portrait() {
    Canvas c(160, 180);
    vertical_gradient(c, 0, 0, c.width, c.height, rgb(40, 50, 90), rgb(20, 20, 40));
    draw_glow(c, 80, 80, 90, rgb(60, 60, 120), 0.6);
    fill_polygon(c, {{20, 180}, {40, 120}, {120, 120}, {140, 180}}, rgb(80, 40, 120));
    fill_disc(c, 80, 92, 30, rgb(236, 196, 160));
    fill_polygon(c, {{52, 96}, {108, 96}, {96, 160}, {80, 172}, {64, 160}}, rgb(236, 236, 240));
    fill_rect(c, 66, 104, 28, 4, rgb(200, 200, 210));
    fill_disc(c, 70, 86, 3, rgb(30, 30, 60));
    fill_disc(c, 90, 86, 3, rgb(30, 30, 60));
    fill_rect(c, 62, 78, 14, 3, rgb(220, 220, 230));
    fill_rect(c, 84, 78, 14, 3, rgb(220, 220, 230));
    fill_polygon(c, {{40, 70}, {120, 70}, {96, 4}}, rgb(70, 40, 130));
    fill_ellipse(c, 80, 70, 48, 9, rgb(90, 56, 150));
    for (int s = 0; s < 4; ++s)
        fill_disc(c, 74 + s * 7, 58 - s * 12, 2.5, rgb(255, 230, 90));
    draw_box_frame(c);
    draw_caption(c, "DER MAGIER");
    return c;
}

Canvas map_detail() {
    Canvas c(240, 180);
    fill_rect(c, 0, 0, c.width, c.height, rgb(226, 204, 156));
    texture_rect(c, 0, 0, c.width, c.height, 20, 0.1, 301);
    fill_polygon(c, {{0, 0}, {110, 0}, {80, 40}, {40, 70}, {0, 80}}, rgb(150, 186, 190));
    draw_line(c, 110, 0, 80, 40, 2, rgb(110, 84, 54));
    draw_line(c, 80, 40, 40, 70, 2, rgb(110, 84, 54));
    draw_line(c, 40, 70, 0, 80, 2, rgb(110, 84, 54));
    for (int i = 0; i < 5; ++i) {
        fill_disc(c, 150 + i * 14, 40 + (i % 2) * 8, 7, rgb(70, 120, 60));
    }
    fill_polygon(c, {{160, 130}, {180, 100}, {200, 130}}, rgb(150, 120, 90));
    fill_polygon(c, {{180, 100}, {200, 130}, {184, 130}}, rgb(110, 86, 60));
    for (double t = 0; t < 1; t += 0.06)
        fill_disc(c, 60 + t * 100, 120 - std::sin(t * 3.14159) * 40 + t * 10, 2, rgb(170, 30, 30));
    draw_line(c, 155, 122, 171, 138, 4, rgb(190, 20, 20));
    draw_line(c, 171, 122, 155, 138, 4, rgb(190, 20, 20));
    draw_box_frame(c);
    draw_caption(c, "DER SCHATZ");
    return c;
}

Canvas magic_sword() {
    Canvas c(160, 140);
    vertical_gradient(c, 0, 0, c.width, c.height, rgb(110, 20, 30), rgb(50, 8, 16));
    texture_rect(c, 0, 0, c.width, c.height, 6, 0.1, 302);
    draw_glow(c, 80, 64, 70, rgb(80, 120, 200), 0.8);
    draw_line(c, 36, 108, 118, 26, 9, rgb(210, 216, 230));
    draw_line(c, 40, 104, 118, 26, 3, rgb(250, 252, 255));
    draw_line(c, 28, 92, 52, 116, 7, rgb(200, 160, 50));
    draw_line(c, 18, 126, 36, 108, 6, rgb(90, 50, 30));
    fill_disc(c, 16, 128, 5, rgb(200, 160, 50));
    fill_disc(c, 40, 104, 4, rgb(60, 140, 255));
    draw_box_frame(c);
    draw_caption(c, "FLAMMENSCHWERT");
    return c;
}

Canvas signpost() {
    Canvas c(200, 120);
    draw_sky(c, 120, rgb(90, 150, 220), rgb(200, 226, 240));
    fill_rect(c, 0, 96, c.width, 24, rgb(90, 150, 70));
    fill_rect(c, 94, 20, 12, 90, rgb(100, 66, 36));
    const struct {
        int y;
        bool right;
        const char* text;
    } boards[] = {{24, true, "ZUR BURG"}, {56, false, "HAFEN"}};
    for (const auto& board : boards) {
        const double x0 = board.right ? 40 : 30, x1 = board.right ? 170 : 160;
        const double tip = board.right ? x1 + 14 : x0 - 14;
        if (board.right)
            fill_polygon(c,
                         {{x0, double(board.y)},
                          {x1, double(board.y)},
                          {tip, board.y + 11.0},
                          {x1, board.y + 22.0},
                          {x0, board.y + 22.0}},
                         rgb(170, 120, 70));
        else
            fill_polygon(c,
                         {{tip, board.y + 11.0},
                          {x0, double(board.y)},
                          {x1, double(board.y)},
                          {x1, board.y + 22.0},
                          {x0, board.y + 22.0}},
                         rgb(170, 120, 70));
        draw_text_centred(c, int((x0 + x1) / 2), board.y + 4, board.text, rgb(50, 30, 14), 2);
    }
    draw_box_frame(c);
    return c;
}

Canvas dragon_head() {
    Canvas c(200, 150);
    vertical_gradient(c, 0, 0, c.width, c.height, rgb(90, 30, 20), rgb(30, 10, 10));
    draw_glow(c, 40, 130, 120, rgb(200, 90, 20), 0.6);
    fill_polygon(c, {{200, 40}, {120, 30}, {40, 60}, {20, 84}, {60, 100}, {120, 110}, {200, 130}},
                 rgb(50, 130, 70));
    fill_polygon(c, {{20, 84}, {60, 100}, {120, 110}, {110, 122}, {40, 106}}, rgb(40, 100, 56));
    fill_polygon(c, {{130, 34}, {170, 4}, {160, 40}}, rgb(220, 210, 150));
    fill_polygon(c, {{104, 38}, {130, 10}, {128, 42}}, rgb(220, 210, 150));
    fill_disc(c, 100, 60, 9, rgb(255, 220, 40));
    fill_ellipse(c, 101, 60, 2, 7, rgb(10, 10, 10));
    for (int tooth = 0; tooth < 5; ++tooth)
        fill_polygon(c,
                     {{34.0 + tooth * 14, 95.0 + tooth * 2},
                      {40.0 + tooth * 14, 105.0 + tooth * 2},
                      {46.0 + tooth * 14, 97.0 + tooth * 2}},
                     rgb(250, 250, 240));
    fill_disc(c, 34, 72, 3, rgb(20, 30, 20));
    draw_box_frame(c);
    draw_caption(c, "DER DRACHE");
    return c;
}

Canvas hero_values() {
    Canvas c(220, 140);
    vertical_gradient(c, 0, 0, c.width, c.height, rgb(40, 46, 70), rgb(20, 22, 36));
    draw_hero(c, 36, 120, 90, rgb(40, 90, 170), rgb(170, 40, 40));
    draw_text(c, 76, 14, "HELD", rgb(250, 220, 130), 2);
    const struct {
        const char* name;
        double value;
        uint32_t colour;
    } bars[] = {{"KRAFT", 0.8, rgb(200, 60, 50)},
                {"MAGIE", 0.45, rgb(70, 110, 230)},
                {"MUT", 0.65, rgb(230, 190, 60)}};
    for (int i = 0; i < 3; ++i) {
        const int y = 40 + i * 24;
        draw_text(c, 76, y, bars[i].name, rgb(220, 220, 230), 1);
        fill_rect(c, 76, y + 10, 128, 8, rgb(10, 10, 16));
        fill_rect(c, 77, y + 11, int(126 * bars[i].value), 6, bars[i].colour);
    }
    draw_text(c, 76, 114, "GOLD: 120", rgb(250, 220, 90), 1);
    draw_box_frame(c);
    return c;
}

}  // namespace

std::vector<DemoBox> make_demo_boxes() {
    return {
        {1, wizard_portrait()}, {2, map_detail()},  {3, magic_sword()},
        {4, signpost()},        {5, dragon_head()}, {6, hero_values()},
    };
}

}  // namespace demo
