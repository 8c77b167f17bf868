// The graphics sheet scs00001.BMP: every fixed graphic of the show's screens, each in
// its own region (display/layout.h) of one bitmap as large as the screen. Black is
// see-through where the program copies a region with the black colour key (pointer,
// navigation panel, mark symbol).
#pragma once

#include <string>

#include "tools/demo/canvas.h"

namespace demo {

// The demo game's name on the menu panel; with "" the panel names no game.
Canvas make_graphics_sheet(const std::string& game_name = "ZAVERON");

}  // namespace demo
