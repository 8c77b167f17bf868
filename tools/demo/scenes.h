// The demo screenshots: scenes of a small fantasy game, drawn by code, each 1024 x 768.
// Each names the bitmap form it is written in, so that the show's files cover the
// ways a screenshot can be stored.
#pragma once

#include <vector>

#include "tools/demo/canvas.h"

namespace demo {

enum class BitmapForm { rgb24, rgb32_top_down, paletted8, rle8 };

struct Scene {
    int number;  // the n of scs00n.BMP
    const char* name;
    BitmapForm form;
    Canvas (*draw)();
};

const std::vector<Scene>& demo_scenes();

// Outdoors.
Canvas draw_meadow_village();
Canvas draw_lake_at_sunset();
Canvas draw_forest_path();
Canvas draw_harbour();
Canvas draw_market_town();
Canvas draw_castle_at_night();
Canvas draw_mountain_pass();
Canvas draw_desert_oasis();
// Indoors and underground.
Canvas draw_tavern();
Canvas draw_library();
Canvas draw_dungeon_corridor();
Canvas draw_dragon_battle();
// Maps.
Canvas draw_world_map();
Canvas draw_dungeon_map();

// The title picture scs00002.BMP; the program writes its three lines at the bottom left.
Canvas draw_title_picture();
// The same scenery without the game's name, the sky above the castle left free.
Canvas draw_title_scenery();

}  // namespace demo
