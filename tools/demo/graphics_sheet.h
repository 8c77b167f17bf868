// The graphics sheet scs00001.BMP: every fixed graphic of the show's screens, each in
// its own region (display/layout.h) of one bitmap as large as the screen. Black is
// see-through where the program copies a region with the black colour key (pointer,
// navigation panel, mark symbol).
#pragma once

#include "tools/demo/canvas.h"

namespace demo {

Canvas make_graphics_sheet();

}  // namespace demo
