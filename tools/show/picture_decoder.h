// One image file decoded with libvips, as the author sees it: upright by its EXIF
// orientation, in sRGB whatever its colour space or embedded profile, see-through
// pixels laid over a background, and a large JPEG shrunk by its decoder while it reads
// (never below the size it will be shown at). Runs inside the decoder's child process.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace show_tool {

enum class Decoding { decoded, too_large, unknown_format, failed };

struct DecodedPicture {
    // Upright, red, green and blue a pixel, top row first; the decoder's own buffer.
    std::unique_ptr<uint8_t, void (*)(void*)> rgb{nullptr, free};
    int pixel_width = 0;  // what rgb holds; may be less than the full size
    int pixel_height = 0;
    int width = 0;  // the picture's full size, upright
    int height = 0;
};

// Given the picture's upright size, the size it will be shown at.
using ShownSize = std::function<void(int width, int height, int* shown_width, int* shown_height)>;

// unknown_format when libvips has no trusted loader for the file; too_large (with the
// size in the reason) when its header claims more than the limits allow.
Decoding decode_with_vips(const std::string& path, uint32_t background, const ShownSize& shown,
                          DecodedPicture* picture, std::string* reason);

}  // namespace show_tool
