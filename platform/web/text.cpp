// The glyph source: the atlas of the desktop program's glyphs, built into the program.
#include <cstdio>

#include "platform/web/web_device.h"

namespace {

// Where the build puts the atlas in the program's file system.
constexpr const char* ATLAS_FILE = "/qzview/glyphs.atlas";

std::vector<uint8_t> file_bytes(const char* name) {
    std::vector<uint8_t> bytes;
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) return bytes;
    uint8_t chunk[4096];
    for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;)
        bytes.insert(bytes.end(), chunk, chunk + got);
    std::fclose(file);
    return bytes;
}

}  // namespace

// Without the atlas nothing is drawn, as on the desktop without the font.
bool WebDevice::render_text(const SoftText& text, CoverageMask* mask) {
    if (!atlas_tried_) {
        atlas_tried_ = true;
        if (!atlas_.from_bytes(file_bytes(ATLAS_FILE)))
            debug_output("qzview: the glyph atlas cannot be read\n");
    }
    return atlas_.render(text.font_height, text.text, mask);
}
