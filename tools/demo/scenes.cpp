#include "tools/demo/scenes.h"

namespace demo {

const std::vector<Scene>& demo_scenes() {
    static const std::vector<Scene> scenes = {
        {100, "meadow village", BitmapForm::rgb24, draw_meadow_village},
        {101, "lake at sunset", BitmapForm::rgb32_top_down, draw_lake_at_sunset},
        {102, "forest path", BitmapForm::rgb24, draw_forest_path},
        {103, "harbour", BitmapForm::rgb24, draw_harbour},
        {104, "tavern", BitmapForm::rgb24, draw_tavern},
        {105, "library", BitmapForm::rgb24, draw_library},
        {106, "world map", BitmapForm::paletted8, draw_world_map},
        {107, "dungeon corridor", BitmapForm::rle8, draw_dungeon_corridor},
        {108, "dungeon map", BitmapForm::rle8, draw_dungeon_map},
        {109, "market town", BitmapForm::rgb24, draw_market_town},
        {110, "castle at night", BitmapForm::rgb24, draw_castle_at_night},
        {111, "mountain pass", BitmapForm::rgb24, draw_mountain_pass},
        {112, "desert oasis", BitmapForm::rgb24, draw_desert_oasis},
        {113, "dragon battle", BitmapForm::rgb24, draw_dragon_battle},
    };
    return scenes;
}

}  // namespace demo
