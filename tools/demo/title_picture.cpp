// The title picture: the castle on its hill at dusk under the game's name; the scenery
// alone is the title picture of a new show, which writes its own title over it. The
// program writes three lines of its own at the bottom left, so that corner stays dark.
#include <string>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"
#include "tools/demo/scenes.h"

namespace demo {

namespace {

// Large lettering: a dark outline, then the letters in a gold gradient from top to bottom.
void draw_logo(Canvas& c, int centre_x, int y, const std::string& text, int scale) {
    const int x = centre_x - text_width(text, scale) / 2;
    for (int dy = -3; dy <= 3; dy += 3)
        for (int dx = -3; dx <= 3; dx += 3)
            draw_text(c, x + dx, y + dy + 4, text, rgb(30, 14, 6), scale);
    Canvas letters(c.width, c.height, 0);
    draw_text(letters, x, y, text, rgb(255, 255, 255), scale);
    const int height = GLYPH_HEIGHT * scale;
    for (int row = y; row < y + height; ++row) {
        const double t = (row - y) / double(height);
        const uint32_t colour = t < 0.5 ? mix(rgb(255, 246, 190), rgb(250, 196, 60), t * 2)
                                        : mix(rgb(220, 140, 30), rgb(150, 70, 20), (t - 0.5) * 2);
        for (int col = 0; col < c.width; ++col)
            if (letters.at(col, row) != 0) c.set(col, row, colour);
    }
}

}  // namespace

Canvas draw_title_scenery() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_sky(c, 560, rgb(16, 14, 50), rgb(200, 100, 80));
    draw_stars(c, 300, 200, 201);
    draw_glow(c, 760, 480, 300, rgb(150, 70, 40), 0.7);
    draw_cloud(c, 200, 330, 70, rgb(120, 60, 90), 0.4);
    draw_cloud(c, 860, 380, 60, rgb(150, 70, 90), 0.35);
    const Ridge far = {560, 160, 260, 0.9, 202};
    draw_ridge(c, far, rgb(70, 44, 90), rgb(90, 56, 96), 600);
    const Ridge hill = {600, 120, 380, 0.1, 203};
    draw_ridge(c, hill, rgb(36, 26, 54), rgb(20, 14, 32), SCREEN_HEIGHT);
    draw_castle(c, 740, int(ridge_top(hill, 740)) + 12, 0.8, rgb(60, 46, 80), rgb(40, 26, 56),
                true);
    // A dark foreground bank under the program's text lines.
    const Ridge bank = {650, 50, 300, 0.1, 204};
    draw_ridge(c, bank, rgb(16, 12, 24), rgb(8, 6, 12), SCREEN_HEIGHT);
    for (int i = 0; i < 5; ++i)
        draw_pine(c, 560 + i * 40, ridge_top(bank, 560 + i * 40) + 12, 90 + (i % 2) * 40,
                  rgb(10, 8, 16));
    return c;
}

Canvas draw_title_picture() {
    Canvas c = draw_title_scenery();
    draw_logo(c, 512, 110, "ZAVERON", 14);
    draw_text_shadowed(c, 512 - text_width("EIN FANTASY-ABENTEUER", 3) / 2, 234,
                       "EIN FANTASY-ABENTEUER", rgb(240, 220, 200), rgb(20, 10, 20), 3);
    return c;
}

}  // namespace demo
