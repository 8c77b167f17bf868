// The world map and a dungeon level map: screenshots of the game's map screens.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/demo/pixel_font.h"
#include "tools/demo/scenery.h"
#include "tools/demo/scenes.h"

namespace demo {

namespace {

constexpr double PI = 3.14159265358979323846;

struct Place {
    double x;
    double y;
    const char* name;
};

const Place world_places[] = {
    {330, 300, "BURG ZAVERON"}, {560, 420, "DUNKELWALD"}, {220, 520, "SÜDHAFEN"},
    {700, 230, "SEEDORF"},      {760, 560, "ERZMINE"},
};

// Land where the noise and the pull of the named places are high enough.
double land_height(double x, double y) {
    double h = value_noise(x, y, 180, 141) * 0.55 + value_noise(x, y, 60, 142) * 0.3 +
               value_noise(x, y, 20, 143) * 0.15;
    for (const Place& place : world_places) {
        const double d = std::hypot(x - place.x, y - place.y);
        h += 0.35 * std::exp(-d * d / (2 * 110.0 * 110.0));
    }
    // The map's margins are open sea.
    const double edge =
        std::min({x - 40, SCREEN_WIDTH - 40 - x, y - 70, SCREEN_HEIGHT - 90 - y}) / 120.0;
    return h - 0.25 * std::max(0.0, 1 - std::clamp(edge, 0.0, 1.0));
}

constexpr double SEA_LEVEL = 0.62;

void draw_parchment(Canvas& c) {
    fill_rect(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, rgb(224, 204, 156));
    texture_rect(c, 0, 0, SCREEN_WIDTH, SCREEN_HEIGHT, 50, 0.09, 144);
    // Darkened, worn edges.
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const double edge =
                std::min({x, SCREEN_WIDTH - 1 - x, y, SCREEN_HEIGHT - 1 - y}) / 60.0;
            if (edge < 1) c.set(x, y, shade(c.at(x, y), 0.72 + 0.28 * edge));
        }
    }
}

void draw_land_and_sea(Canvas& c) {
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const double h = land_height(x, y);
            if (h < SEA_LEVEL) {
                const double depth = std::clamp((SEA_LEVEL - h) * 4, 0.0, 1.0);
                c.set(x, y,
                      mix(c.at(x, y), mix(rgb(150, 186, 190), rgb(110, 150, 170), depth), 0.7));
            } else if (h < SEA_LEVEL + 0.012) {
                c.set(x, y, rgb(110, 84, 54));  // the coast line
            }
        }
    }
    for (int i = 0; i < 70; ++i) {
        const double x = 60 + hash_noise(i, 0, 145) * 900, y = 90 + hash_noise(i, 1, 145) * 580;
        if (land_height(x, y) > SEA_LEVEL - 0.08) continue;
        for (int k = 0; k < 2; ++k)
            draw_line(c, x + k * 8, y + (k % 2) * 2, x + k * 8 + 8, y + ((k + 1) % 2) * 2, 1.2,
                      rgb(90, 120, 140));
    }
}

void draw_mountain_icon(Canvas& c, double x, double y, double size) {
    fill_polygon(c, {{x - size, y}, {x, y - size * 1.2}, {x + size, y}}, rgb(150, 120, 90));
    fill_polygon(c, {{x, y - size * 1.2}, {x + size, y}, {x + size * 0.2, y}}, rgb(110, 86, 60));
    fill_polygon(
        c,
        {{x - size * 0.3, y - size * 0.85}, {x, y - size * 1.2}, {x + size * 0.3, y - size * 0.85}},
        rgb(250, 250, 250));
}

void draw_terrain_icons(Canvas& c) {
    for (int gy = 90; gy < 680; gy += 26) {
        for (int gx = 60; gx < 980; gx += 30) {
            const double x = gx + (hash_noise(gx, gy, 146) - 0.5) * 14,
                         y = gy + (hash_noise(gx, gy, 147) - 0.5) * 10;
            const double h = land_height(x, y);
            if (h < SEA_LEVEL + 0.05) continue;
            const double kind = value_noise(x, y, 140, 148);
            if (h > 0.95 && kind > 0.35) {
                draw_mountain_icon(c, x, y, 11);
            } else if (kind < 0.42) {
                fill_disc(c, x, y, 6, rgb(70, 120, 60));
                fill_disc(c, x + 7, y + 3, 5, rgb(60, 106, 52));
                fill_rect(c, int(x), int(y + 5), 2, 4, rgb(90, 60, 40));
            }
        }
    }
}

void draw_route(Canvas& c) {
    const int order[] = {2, 0, 3, 1, 4};
    for (int leg = 0; leg + 1 < 5; ++leg) {
        const Place& a = world_places[order[leg]];
        const Place& b = world_places[order[leg + 1]];
        const double length = std::hypot(b.x - a.x, b.y - a.y);
        for (double d = 14; d < length - 14; d += 12) {
            const double t = d / length;
            const double bend = std::sin(t * PI) * 30;
            fill_disc(c, a.x + (b.x - a.x) * t + bend * (b.y - a.y) / length,
                      a.y + (b.y - a.y) * t - bend * (b.x - a.x) / length, 2.5, rgb(170, 30, 30));
        }
    }
}

void draw_places(Canvas& c) {
    for (const Place& place : world_places) {
        fill_rect(c, int(place.x) - 9, int(place.y) - 8, 18, 12, rgb(200, 60, 40));
        fill_polygon(
            c, {{place.x - 11, place.y - 8}, {place.x, place.y - 18}, {place.x + 11, place.y - 8}},
            rgb(120, 40, 30));
        frame_rect(c, int(place.x) - 9, int(place.y) - 8, 18, 12, 1, rgb(80, 30, 20));
        const std::string name = place.name;
        const int w = text_width(name, 2);
        blend_rect(c, int(place.x) - w / 2 - 4, int(place.y) + 8, w + 8, 20, rgb(250, 240, 210),
                   0.7);
        draw_text(c, int(place.x) - w / 2, int(place.y) + 11, name, rgb(60, 36, 20), 2);
    }
}

void draw_compass(Canvas& c, double x, double y, double r) {
    fill_disc(c, x, y, r * 0.9, rgb(236, 220, 180));
    for (int k = 0; k < 4; ++k) {
        const double a = k * PI / 2 - PI / 2;
        const double side = a + PI / 2;
        const Point tip = {x + std::cos(a) * r, y + std::sin(a) * r};
        fill_polygon(c,
                     {tip, {x + std::cos(side) * r * 0.18, y + std::sin(side) * r * 0.18}, {x, y}},
                     k == 0 ? rgb(170, 30, 30) : rgb(90, 70, 50));
        fill_polygon(c,
                     {tip, {x - std::cos(side) * r * 0.18, y - std::sin(side) * r * 0.18}, {x, y}},
                     k == 0 ? rgb(220, 80, 60) : rgb(150, 120, 90));
    }
    draw_text_centred(c, int(x), int(y - r - 18), "N", rgb(80, 40, 20), 2);
}

// A dungeon level as tiles of 32 pixels.
constexpr int TILE = 32;
constexpr int MAP_COLUMNS = SCREEN_WIDTH / TILE;
constexpr int MAP_ROWS = SCREEN_HEIGHT / TILE;

enum Tile : char {
    rock = '#',
    ground = '.',
    door = 'D',
    chest = 'C',
    monster = 'M',
    stairs = 'S',
    party = 'P',
    water = 'W'
};

struct TileMap {
    char cells[MAP_ROWS][MAP_COLUMNS];
    char at(int col, int row) const {
        if (col < 0 || row < 0 || col >= MAP_COLUMNS || row >= MAP_ROWS) return rock;
        return cells[row][col];
    }
    void fill(int col, int row, int w, int h, char tile) {
        for (int r = row; r < row + h; ++r)
            for (int k = col; k < col + w; ++k)
                cells[r][k] = tile;
    }
};

TileMap dungeon_level() {
    TileMap map;
    map.fill(0, 0, MAP_COLUMNS, MAP_ROWS, rock);
    const int rooms[][4] = {{2, 2, 7, 5},   {16, 3, 6, 4}, {3, 9, 5, 4},  {12, 9, 6, 4},
                            {19, 10, 5, 4}, {4, 16, 8, 4}, {15, 16, 9, 4}};
    for (const auto& room : rooms)
        map.fill(room[0], room[1], room[2], room[3], ground);
    // Corridors between the rooms, each with a door where it leaves a room.
    map.fill(9, 4, 7, 1, ground);
    map.fill(5, 7, 1, 2, ground);
    map.fill(19, 7, 1, 3, ground);
    map.fill(8, 10, 4, 1, ground);
    map.fill(18, 11, 1, 1, ground);
    map.fill(6, 13, 1, 3, ground);
    map.fill(16, 13, 1, 3, ground);
    map.fill(12, 18, 3, 1, ground);
    const int doors[][2] = {{9, 4},   {15, 4}, {5, 7},   {19, 7}, {8, 10},
                            {18, 11}, {6, 13}, {16, 13}, {12, 18}};
    for (const auto& d : doors)
        map.cells[d[1]][d[0]] = door;
    map.fill(14, 10, 2, 2, water);
    map.cells[4][5] = chest;
    map.cells[17][5] = chest;
    map.cells[19][22] = chest;
    map.cells[5][19] = monster;
    map.cells[12][21] = monster;
    map.cells[18][20] = monster;
    map.cells[18][10] = stairs;
    map.cells[10][5] = party;
    // One row lower, the walls keep clear of the top lines where the status text goes.
    for (int row = MAP_ROWS - 1; row > 0; --row)
        for (int col = 0; col < MAP_COLUMNS; ++col)
            map.cells[row][col] = map.cells[row - 1][col];
    map.fill(0, 0, MAP_COLUMNS, 1, rock);
    return map;
}

bool is_open(char tile) {
    return tile != rock;
}

void draw_chest_icon(Canvas& c, int x, int y) {
    fill_rect(c, x + 7, y + 10, 18, 14, rgb(140, 90, 40));
    fill_rect(c, x + 7, y + 10, 18, 4, rgb(110, 70, 30));
    fill_rect(c, x + 14, y + 14, 4, 5, rgb(240, 200, 60));
}

void draw_monster_icon(Canvas& c, int x, int y) {
    fill_disc(c, x + 16, y + 17, 10, rgb(180, 40, 40));
    fill_polygon(c, {{x + 8.0, y + 11.0}, {x + 10.0, y + 3.0}, {x + 13.0, y + 9.0}},
                 rgb(180, 40, 40));
    fill_polygon(c, {{x + 24.0, y + 11.0}, {x + 22.0, y + 3.0}, {x + 19.0, y + 9.0}},
                 rgb(180, 40, 40));
    fill_rect(c, x + 11, y + 14, 3, 3, rgb(255, 240, 120));
    fill_rect(c, x + 18, y + 14, 3, 3, rgb(255, 240, 120));
}

void draw_stairs_icon(Canvas& c, int x, int y) {
    for (int step = 0; step < 5; ++step)
        fill_rect(c, x + 6 + step * 2, y + 6 + step * 4, 20 - step * 4, 3, rgb(70, 64, 60));
}

void draw_party_icon(Canvas& c, int x, int y) {
    fill_disc(c, x + 16, y + 16, 11, rgb(40, 90, 200));
    fill_polygon(c, {{x + 16.0, y + 8.0}, {x + 23.0, y + 20.0}, {x + 9.0, y + 20.0}},
                 rgb(255, 255, 255));
}

void draw_tile(Canvas& c, const TileMap& map, int col, int row) {
    const int x = col * TILE, y = row * TILE;
    const char tile = map.at(col, row);
    if (tile == rock) {
        bool by_open = false;
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                by_open = by_open || is_open(map.at(col + dc, row + dr));
        if (!by_open) {
            fill_rect(c, x, y, TILE, TILE, rgb(30, 28, 36));
            if ((col * 7 + row * 3) % 5 == 0) fill_rect(c, x + 10, y + 12, 3, 2, rgb(44, 42, 52));
            return;
        }
        fill_rect(c, x, y, TILE, TILE, rgb(92, 86, 100));
        for (int course = 0; course < 4; ++course) {
            fill_rect(c, x, y + course * 8, TILE, 1, rgb(70, 64, 78));
            fill_rect(c, x + (course % 2) * 8 + 4, y + course * 8, 1, 8, rgb(70, 64, 78));
            fill_rect(c, x + (course % 2) * 8 + 20, y + course * 8, 1, 8, rgb(70, 64, 78));
        }
        return;
    }
    if (tile == water) {
        fill_rect(c, x, y, TILE, TILE, rgb(60, 110, 170));
        fill_rect(c, x + 6, y + 10, 12, 2, rgb(120, 170, 220));
        fill_rect(c, x + 14, y + 22, 12, 2, rgb(120, 170, 220));
        return;
    }
    fill_rect(c, x, y, TILE, TILE, rgb(168, 156, 134));
    fill_rect(c, x, y, TILE, 1, rgb(146, 134, 114));
    fill_rect(c, x, y, 1, TILE, rgb(146, 134, 114));
    if (tile == door) {
        const bool across = is_open(map.at(col - 1, row)) && is_open(map.at(col + 1, row));
        if (across)
            fill_rect(c, x + 12, y + 2, 8, 28, rgb(130, 84, 40));
        else
            fill_rect(c, x + 2, y + 12, 28, 8, rgb(130, 84, 40));
    }
    if (tile == chest) draw_chest_icon(c, x, y);
    if (tile == monster) draw_monster_icon(c, x, y);
    if (tile == stairs) draw_stairs_icon(c, x, y);
    if (tile == party) draw_party_icon(c, x, y);
}

void draw_map_legend(Canvas& c) {
    const int x = 832, y = 288;
    fill_rect(c, x, y, 168, 300, rgb(50, 46, 60));
    frame_rect(c, x, y, 168, 300, 3, rgb(190, 160, 80));
    draw_text_centred(c, x + 84, y + 14, "KERKER", rgb(240, 210, 110), 2);
    draw_text_centred(c, x + 84, y + 36, "EBENE 3", rgb(220, 220, 230), 2);
    const char* names[] = {"GRUPPE", "TRUHE", "MONSTER", "TREPPE"};
    for (int i = 0; i < 4; ++i) {
        const int ey = y + 76 + i * 50;
        fill_rect(c, x + 14, ey, TILE, TILE, rgb(168, 156, 134));
        if (i == 0) draw_party_icon(c, x + 14, ey);
        if (i == 1) draw_chest_icon(c, x + 14, ey);
        if (i == 2) draw_monster_icon(c, x + 14, ey);
        if (i == 3) draw_stairs_icon(c, x + 14, ey);
        draw_text(c, x + 56, ey + 10, names[i], rgb(230, 230, 240), 2);
    }
}

}  // namespace

Canvas draw_world_map() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    draw_parchment(c);
    draw_land_and_sea(c);
    // A faint grid of map squares.
    for (int gx = 128; gx < SCREEN_WIDTH; gx += 128)
        fill_rect(c, gx, 60, 1, 620, rgb(180, 160, 120));
    for (int gy = 60 + 124; gy < 680; gy += 124)
        fill_rect(c, 30, gy, SCREEN_WIDTH - 60, 1, rgb(180, 160, 120));
    draw_terrain_icons(c);
    draw_route(c);
    draw_places(c);
    draw_compass(c, 110, 600, 40);
    frame_rect(c, 24, 56, SCREEN_WIDTH - 48, 634, 2, rgb(110, 80, 50));
    frame_rect(c, 30, 62, SCREEN_WIDTH - 60, 622, 1, rgb(110, 80, 50));
    fill_rect(c, 350, 64, 324, 34, rgb(170, 40, 40));
    frame_rect(c, 350, 64, 324, 34, 2, rgb(110, 20, 20));
    draw_text_centred(c, 512, 74, "KARTE VON ZAVERON", rgb(250, 236, 200), 2);
    return c;
}

Canvas draw_dungeon_map() {
    Canvas c(SCREEN_WIDTH, SCREEN_HEIGHT);
    const TileMap map = dungeon_level();
    for (int row = 0; row < MAP_ROWS; ++row)
        for (int col = 0; col < MAP_COLUMNS; ++col)
            draw_tile(c, map, col, row);
    draw_map_legend(c);
    return c;
}

}  // namespace demo
