// One image file decoded with libvips, as the author sees it: upright by its EXIF
// orientation, in sRGB whatever its colour space or embedded profile, see-through
// pixels laid over a background, and a large JPEG shrunk by its decoder while it reads
// (never below the size it will be shown at). Runs inside the decoder's child process.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "tools/show/picture_scaling.h"

namespace show_tool {

enum class Decoding { decoded, too_large, unknown_format, failed };

struct DecodedPicture {
    // Upright rows, red, green and blue a byte each, asked for from the top down; the
    // decoder decodes them as they are asked for, and they keep what they come from.
    RowReader rows;
    int pixel_width = 0;  // what the rows hold; may be less than the full size
    int pixel_height = 0;
    int width = 0;  // the picture's full size, upright
    int height = 0;
};

// Given the picture's upright size, the size it will be shown at.
using ShownSize = std::function<void(int width, int height, int* shown_width, int* shown_height)>;

// A row the decoder could not give: the file is damaged below its header.
struct DecodingFailed {
    std::string reason;
};

// unknown_format when libvips has no trusted loader for the file; too_large (with the
// size in the reason) when its header claims more than the limits allow.
Decoding decode_with_vips(const std::string& path, uint32_t background, const ShownSize& shown,
                          DecodedPicture* picture, std::string* reason);

}  // namespace show_tool
