// qzview-glyph-atlas FILE: writes the glyph atlas that the browser program draws its
// text from, rendered with the desktop program's font and glyph source.
#include <cstdio>

#include "platform/sdl/sdl_device.h"
#include "platform/web/atlas_from_sdl.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qzview-glyph-atlas FILE\n");
        return 2;
    }
    GlyphAtlas atlas;
    const bool made = atlas_from_sdl(&atlas);
    sdl_device().shutdown();
    if (!made) {
        std::fprintf(stderr, "qzview-glyph-atlas: the font cannot be opened\n");
        return 1;
    }
    const std::vector<uint8_t> bytes = atlas.to_bytes();
    std::FILE* file = std::fopen(argv[1], "wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::fprintf(stderr, "qzview-glyph-atlas: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
