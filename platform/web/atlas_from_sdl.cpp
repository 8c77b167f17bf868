#include "platform/web/atlas_from_sdl.h"

#include <algorithm>

#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"

namespace {

// The stock fixed font and the two created fonts.
constexpr int CELL_HEIGHTS[] = {16, 24, 32};

uint32_t code_point_of(uint8_t byte) {
    const std::string utf8 = cp1252_to_utf8(std::string(1, static_cast<char>(byte)));
    const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
    if (utf8.size() == 1) return b[0];
    if (utf8.size() == 2) return (b[0] & 0x1Fu) << 6 | (b[1] & 0x3Fu);
    return (b[0] & 0x0Fu) << 12 | (b[1] & 0x3Fu) << 6 | (b[2] & 0x3Fu);
}

// The glyph's image is cut out of the character rendered alone by the device, at the
// place SDL2_ttf put it: right of any part that reaches left of the pen, below any
// part that reaches above the line.
AtlasGlyph glyph_of(TTF_Font* font, int cell_height, int ascent, uint8_t byte) {
    AtlasGlyph glyph;
    CoverageMask alone;
    int min_x, max_x, min_y, max_y, advance;
    const SoftText text{
        "back", 0, 0, 0, cell_height, false, std::string(1, static_cast<char>(byte))};
    if (!sdl_device().render_text(text, &alone) ||
        TTF_GlyphMetrics32(font, code_point_of(byte), &min_x, &max_x, &min_y, &max_y, &advance) !=
            0)
        return glyph;
    glyph.left = min_x;
    glyph.top = max_y;
    glyph.width = max_x - min_x;
    glyph.rows = max_y - min_y;
    glyph.advance = advance;
    const int x0 = std::max(0, -min_x) + min_x;
    const int y0 = std::max(0, max_y - ascent) + ascent - max_y;
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.rows, 0);
    for (int row = 0; row < glyph.rows; ++row)
        for (int col = 0; col < glyph.width; ++col) {
            const int x = x0 + col, y = y0 + row;
            if (x >= 0 && x < alone.width && y >= 0 && y < alone.height)
                glyph.coverage[static_cast<size_t>(row) * glyph.width + col] =
                    alone.coverage[static_cast<size_t>(y) * alone.width + x];
        }
    return glyph;
}

}  // namespace

bool atlas_from_sdl(GlyphAtlas* atlas) {
    for (int cell_height : CELL_HEIGHTS) {
        TTF_Font* font = sdl_device().font_of_height(cell_height);
        if (font == nullptr) return false;
        AtlasFont atlas_font;
        atlas_font.cell_height = cell_height;
        atlas_font.line_height = TTF_FontHeight(font);
        atlas_font.ascent = TTF_FontAscent(font);
        for (int byte = 1; byte < 256; ++byte)
            atlas_font.glyphs[byte] =
                glyph_of(font, cell_height, atlas_font.ascent, static_cast<uint8_t>(byte));
        atlas->add_font(std::move(atlas_font));
    }
    return true;
}
