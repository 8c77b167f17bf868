// Image files as authors have them (PNG, JPEG, WebP, BMP, GIF, ...) decoded with
// SDL2_image, and turned into a screenshot the show can present.
#pragma once

#include <string>

#include "tools/demo/canvas.h"

namespace show_tool {

// The picture's pixels as 0xRRGGBB; where the picture is see-through, over black.
// A GIF gives its first frame. false with the reason when the file cannot be read
// ("cannot be read: " and the system's words) or decoded ("cannot be decoded: " and
// the decoder's).
bool decode_image_file(const std::string& path, demo::Canvas* picture, std::string* reason);

}  // namespace show_tool
