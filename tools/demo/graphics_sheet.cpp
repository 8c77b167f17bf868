#include "tools/demo/graphics_sheet.h"

#include <cmath>
#include <string>

#include "display/layout.h"
#include "tools/demo/pixel_font.h"

namespace demo {

namespace {

using namespace layout;

const uint32_t GOLD = rgb(236, 196, 92);
const uint32_t WHITE = rgb(255, 255, 255);
const uint32_t SHADOW = rgb(12, 10, 20);

// The arrow: 'W' white, 'O' its outline, '.' black (see-through). The outline is dark
// but not black, or the colour key would punch it out.
const char* const pointer_rows[16] = {
    "O...............", "OO..............", "OWO.............", "OWWO............",
    "OWWWO...........", "OWWWWO..........", "OWWWWWO.........", "OWWWWWWO........",
    "OWWWWWWWO.......", "OWWWWWWWWO......", "OWWWWWOOOOO.....", "OWWOWWO.........",
    "OWO.OWWO........", "OO..OWWO........", ".....OWWO.......", ".....OOOO.......",
};

void draw_pointer(Canvas& sheet) {
    for (int y = 0; y < SHEET_POINTER.height; ++y) {
        for (int x = 0; x < SHEET_POINTER.width; ++x) {
            const char cell = pointer_rows[y][x];
            if (cell == 'W') sheet.set(SHEET_POINTER.x + x, SHEET_POINTER.y + y, WHITE);
            if (cell == 'O') sheet.set(SHEET_POINTER.x + x, SHEET_POINTER.y + y, rgb(40, 36, 48));
        }
    }
}

// A bevelled button whose corners stay black, so the keyed copy rounds them off.
void draw_panel_button(Canvas& sheet, int x, int y, int w, int h, uint32_t face) {
    bevel_rect(sheet, x, y, w, h, 3, true, face);
    frame_rect(sheet, x, y, w, h, 1, rgb(70, 56, 30));
    for (int corner = 0; corner < 4; ++corner) {
        const int cx = corner % 2 == 0 ? x : x + w - 1;
        const int cy = corner < 2 ? y : y + h - 1;
        sheet.set(cx, cy, 0);
    }
}

// direction 1 points right (next picture), -1 left (previous picture).
void draw_arrow_symbol(Canvas& sheet, int centre_x, int centre_y, int direction) {
    const double d = direction;
    auto arrow = [&](double dx, double dy, uint32_t colour) {
        const double cx = centre_x + dx, cy = centre_y + dy;
        fill_polygon(sheet,
                     {{cx + 14 * d, cy},
                      {cx + 2 * d, cy - 13},
                      {cx + 2 * d, cy - 6},
                      {cx - 13 * d, cy - 6},
                      {cx - 13 * d, cy + 6},
                      {cx + 2 * d, cy + 6},
                      {cx + 2 * d, cy + 13}},
                     colour);
    };
    arrow(2, 2, SHADOW);
    arrow(0, 0, GOLD);
}

void draw_menu_symbol(Canvas& sheet, int x, int y) {
    for (int bar = 0; bar < 3; ++bar) {
        fill_rect(sheet, x + 17, y + 12 + bar * 7, 26, 4, SHADOW);
        fill_rect(sheet, x + 16, y + 11 + bar * 7, 26, 4, GOLD);
    }
    draw_text_shadowed(sheet, x + 17, y + 38, "MENÜ", WHITE, SHADOW, 1);
}

void draw_navigation_panel(Canvas& sheet) {
    const uint32_t face = rgb(54, 66, 104);
    for (int button = 0; button < 3; ++button) {
        const int x = SHEET_NAV_BUTTONS.x + button * NAV_BUTTON_WIDTH;
        draw_panel_button(sheet, x + 2, SHEET_NAV_BUTTONS.y + 2, NAV_BUTTON_WIDTH - 4,
                          SHEET_NAV_BUTTONS.height - 4, face);
    }
    const int y = SHEET_NAV_BUTTONS.y;
    draw_menu_symbol(sheet, SHEET_NAV_BUTTONS.x, y);
    draw_arrow_symbol(sheet, SHEET_NAV_BUTTONS.x + NAV_BUTTON_WIDTH + 29, y + 29, -1);
    draw_arrow_symbol(sheet, SHEET_NAV_BUTTONS.x + 2 * NAV_BUTTON_WIDTH + 29, y + 29, 1);
}

void draw_star(Canvas& canvas, double cx, double cy, double outer, double inner, uint32_t colour) {
    std::vector<Point> points;
    for (int i = 0; i < 10; ++i) {
        const double angle = -3.14159265358979 / 2 + i * 3.14159265358979 / 5;
        const double r = i % 2 == 0 ? outer : inner;
        points.push_back({cx + r * std::cos(angle), cy + r * std::sin(angle)});
    }
    fill_polygon(canvas, points, colour);
}

void draw_mark_symbol(Canvas& sheet) {
    const Rect& r = SHEET_MARK;
    fill_rect(sheet, r.x + 1, r.y, r.width - 2, r.height, rgb(176, 28, 28));
    fill_rect(sheet, r.x, r.y + 1, r.width, r.height - 2, rgb(176, 28, 28));
    frame_rect(sheet, r.x + 1, r.y + 1, r.width - 2, r.height - 2, 1, rgb(250, 210, 80));
    draw_star(sheet, r.x + 10, r.y + 9.5, 7.5, 3.2, rgb(255, 236, 64));
    draw_text_shadowed(sheet, r.x + 19, r.y + 6, "TOP", WHITE, rgb(80, 0, 0), 1);
}

// Sheet coordinates of a screen point on the menu panel.
int menu_x(int screen_x) {
    return SHEET_MENU_PANEL.x + screen_x - MENU_PANEL_AT.x;
}
int menu_y(int screen_y) {
    return SHEET_MENU_PANEL.y + screen_y - MENU_PANEL_AT.y;
}

void draw_menu_background(Canvas& sheet) {
    const Rect& r = SHEET_MENU_PANEL;
    vertical_gradient(sheet, r.x, r.y, r.width, r.height, rgb(34, 40, 78), rgb(14, 16, 38));
    texture_rect(sheet, r.x, r.y, r.width, r.height, 40, 0.08, 91);
    for (int i = 0; i < 6; ++i)
        frame_rect(sheet, r.x + i, r.y + i, r.width - 2 * i, r.height - 2 * i, 1,
                   mix(rgb(120, 90, 40), rgb(236, 196, 92), i < 3 ? i / 2.0 : (5 - i) / 2.0));
    frame_rect(sheet, r.x + 9, r.y + 9, r.width - 18, r.height - 18, 1, rgb(80, 70, 110));
}

// Only a hint of a mark inside the switch's hit area, for those who know where the
// editor is switched on.
void draw_editor_switch(Canvas& sheet) {
    const Rect& hit = MENU_EDITOR_SWITCH;
    const int x = menu_x(hit.x), y = menu_y(hit.y);
    fill_rect(sheet, x + 2, y + 2, hit.width - 4, hit.height - 3, rgb(46, 52, 90));
    fill_rect(sheet, x + 3, y + 3, hit.width - 6, hit.height - 5, rgb(52, 60, 100));
}

void draw_menu_title(Canvas& sheet, const std::string& game_name) {
    const int centre = menu_x(225);
    draw_text_shadowed(sheet, centre - text_width("MENÜ", 4) / 2, menu_y(150), "MENÜ", GOLD, SHADOW,
                       4);
    draw_text_centred(sheet, centre, menu_y(196), game_name, rgb(200, 200, 230), 2);
    draw_text_centred(sheet, centre, menu_y(218), "SCREENSHOW", rgb(150, 150, 190), 1);
    fill_rect(sheet, centre - 70, menu_y(236), 140, 1, rgb(120, 100, 60));
    draw_text_centred(sheet, centre, menu_y(252), "BITTE WÄHLEN", rgb(170, 170, 200), 1);
}

// The three buttons of the row at the bottom left, inside their hit areas.
void draw_small_buttons(Canvas& sheet) {
    const uint32_t faces[MENU_BUTTONS] = {rgb(70, 60, 110), rgb(60, 90, 80), rgb(100, 60, 60)};
    for (int i = 0; i < MENU_BUTTONS; ++i) {
        const int x = menu_x(menu_button(i).x + 3), y = menu_y(menu_button(i).y + 3);
        bevel_rect(sheet, x, y, 45, 45, 3, true, faces[i]);
        const double cx = x + 22.5, cy = y + 22.5;
        if (i == 0)
            fill_polygon(sheet, {{cx, cy - 12}, {cx + 10, cy}, {cx, cy + 12}, {cx - 10, cy}},
                         rgb(140, 220, 255));
        if (i == 1) fill_disc(sheet, cx, cy, 11, rgb(240, 200, 90));
        if (i == 1) fill_disc(sheet, cx + 5, cy - 4, 9, faces[1]);
        if (i == 2) draw_star(sheet, cx, cy + 1, 13, 5.5, rgb(255, 220, 90));
    }
}

// The choice column, one row of the hit area for each choice.
void draw_choice_rows(Canvas& sheet) {
    const char* labels[5] = {"ENDE", "ERSTES BILD", "LETZTES BILD", "MUSIK AN/AUS", "ZURÜCK"};
    for (int row = 0; row < 5; ++row) {
        const int top = MENU_CHOICES.y + MENU_ROW_HEIGHT * row;
        const int x = menu_x(MENU_CHOICES.x + 4), y = menu_y(top + 4);
        const uint32_t face = row == 0 ? rgb(110, 40, 40) : rgb(52, 62, 110);
        bevel_rect(sheet, x, y, 323, 42, 3, true, face);
        bevel_rect(sheet, x + 8, y + 9, 24, 24, 2, false, shade(face, 0.7));
        draw_text(sheet, x + 15, y + 14, std::to_string(row + 1), GOLD, 2);
        const std::string label = labels[row];
        draw_text_shadowed(sheet, x + 44 + (275 - text_width(label, 2)) / 2, y + 14, label, WHITE,
                           SHADOW, 2);
    }
}

void draw_menu_footer(Canvas& sheet, const std::string& game_name) {
    const int centre = menu_x(400);
    fill_rect(sheet, menu_x(120), menu_y(392), 560, 1, rgb(120, 100, 60));
    if (game_name.empty()) {
        draw_text_centred(sheet, centre, menu_y(426), "KLEINE SCREENSHOW", GOLD, 3);
    } else {
        draw_text_centred(sheet, centre, menu_y(412), "KLEINE SCREENSHOW ZUM SPIEL",
                          rgb(220, 220, 240), 2);
        draw_text_centred(sheet, centre, menu_y(440), "> " + game_name + " <", GOLD, 3);
    }
    draw_text_centred(sheet, centre, menu_y(480), "LINKE TASTE: WÄHLEN    RECHTE TASTE: ZURÜCK",
                      rgb(150, 150, 190), 1);
    draw_text_centred(sheet, centre, menu_y(500), "BILDER BLÄTTERN MIT DEN PFEILEN UNTEN RECHTS",
                      rgb(150, 150, 190), 1);
}

void draw_menu_panel(Canvas& sheet, const std::string& game_name) {
    draw_menu_background(sheet);
    draw_editor_switch(sheet);
    draw_menu_title(sheet, game_name);
    draw_small_buttons(sheet);
    draw_choice_rows(sheet);
    draw_menu_footer(sheet, game_name);
}

// Strip colours run from green through yellow to red as the levels get harder.
uint32_t level_colour(int level) {
    const double t = (level - 1) / double(LEVEL_STRIPS - 1);
    return t < 0.5 ? mix(rgb(40, 140, 70), rgb(190, 160, 40), t * 2)
                   : mix(rgb(190, 160, 40), rgb(170, 40, 40), (t - 0.5) * 2);
}

void draw_level_strip(Canvas& sheet, int level) {
    const Rect strip = sheet_level_strip(level);
    const int x = strip.x, y = strip.y;
    const uint32_t colour = level_colour(level);
    for (int col = 0; col < strip.width; ++col)
        fill_rect(sheet, x + col, y, 1, strip.height,
                  mix(shade(colour, 0.55), rgb(16, 16, 24), col / double(strip.width)));
    fill_rect(sheet, x, y, strip.width, 1, shade(colour, 1.3));
    fill_rect(sheet, x, y + strip.height - 1, strip.width, 1, rgb(8, 8, 12));
    fill_rect(sheet, x, y + 1, 4, strip.height - 2, colour);
    fill_polygon(
        sheet, {{x + 13.0, y + 3.0}, {x + 18.0, y + 8.0}, {x + 13.0, y + 13.0}, {x + 8.0, y + 8.0}},
        GOLD);
    draw_text_shadowed(sheet, x + 26, y + 1, "LEVEL " + std::to_string(level), WHITE, SHADOW, 2);
}

struct EditorButton {
    const char* label;
    uint32_t face;
};

// Grouped by colour: table changes, mark and save, numbers, box positions.
const EditorButton editor_buttons[16] = {
    {"NEU", rgb(50, 70, 120)},    {"ANHÄNG.", rgb(50, 70, 120)}, {"TAUSCH?", rgb(50, 70, 120)},
    {"TAUSCH", rgb(50, 70, 120)}, {"EINFÜG.", rgb(50, 70, 120)}, {"LÖSCHEN", rgb(120, 44, 44)},
    {"MARKE", rgb(50, 100, 60)},  {"SICHERN", rgb(50, 100, 60)}, {"WAVE", rgb(90, 56, 110)},
    {"BOX 1", rgb(90, 56, 110)},  {"LEVEL", rgb(90, 56, 110)},   {"BOX 2", rgb(90, 56, 110)},
    {"POS 1", rgb(130, 90, 30)},  {"POS 2", rgb(130, 90, 30)},   {"POS 3", rgb(130, 90, 30)},
    {"BOX 3", rgb(90, 56, 110)},
};

void draw_editor_button(Canvas& sheet, int number) {
    const Rect& half = number <= 8 ? SHEET_BAR_LEFT : SHEET_BAR_RIGHT;
    const int x = half.x + EDITOR_BUTTON_WIDTH * ((number - 1) % 8), y = half.y;
    const EditorButton& button = editor_buttons[number - 1];
    bevel_rect(sheet, x, y, EDITOR_BUTTON_WIDTH, half.height, 2, true, button.face);
    const std::string digits = std::to_string(number);
    draw_text_shadowed(sheet, x + 25 - text_width(digits, 2) / 2, y + 7, digits, GOLD, SHADOW, 2);
    draw_text_shadowed(sheet, x + 25 - text_width(button.label, 1) / 2, y + 33, button.label, WHITE,
                       SHADOW, 1);
}

}  // namespace

Canvas make_graphics_sheet(const std::string& game_name) {
    Canvas sheet(SCREEN_WIDTH, SCREEN_HEIGHT, 0);
    draw_pointer(sheet);
    draw_navigation_panel(sheet);
    draw_mark_symbol(sheet);
    draw_menu_panel(sheet, game_name);
    for (int level = 1; level <= LEVEL_STRIPS; ++level)
        draw_level_strip(sheet, level);
    for (int number = 1; number <= 16; ++number)
        draw_editor_button(sheet, number);
    return sheet;
}

}  // namespace demo
