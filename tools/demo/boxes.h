// The inset boxes scb00001.BMP and on: small framed pictures (a portrait, a map
// detail, an item, a sign, a monster, the hero's values) that the show places over
// screenshots. They are copied opaquely, so black in them is black on the screen.
#pragma once

#include <vector>

#include "tools/demo/canvas.h"

namespace demo {

struct DemoBox {
    int number;  // the n of scb0000n.BMP
    Canvas picture;
};

std::vector<DemoBox> make_demo_boxes();

}  // namespace demo
