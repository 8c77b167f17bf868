// Text as the desktop program draws it, from glyphs rendered ahead of time: every
// Windows-1252 character of the program's font at each of its cell heights, kept with
// the place SDL2_ttf gives it on a line, so that a line laid out here comes out pixel
// for pixel as SDL2_ttf renders it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/soft/soft.h"

struct AtlasGlyph {
    int left = 0;  // from the pen to the image's first column
    int top = 0;   // from the baseline up to the image's first row
    int width = 0;
    int rows = 0;
    int advance = 0;                // how far the pen moves on; 0 for what the font cannot draw
    std::vector<uint8_t> coverage;  // width x rows, row by row
};

struct AtlasFont {
    int cell_height = 0;                 // the height the program asks for
    int line_height = 0;                 // the height of a rendered line
    int ascent = 0;                      // from the line's top to the baseline
    std::array<AtlasGlyph, 256> glyphs;  // by Windows-1252 byte; 0 is never drawn
};

class GlyphAtlas {
  public:
    void add_font(AtlasFont font);
    const AtlasFont* font(int cell_height) const;

    // The atlas as a file's bytes, and back; false for bytes that are not an atlas.
    std::vector<uint8_t> to_bytes() const;
    bool from_bytes(const std::vector<uint8_t>& bytes);

    // The coverage of a line of Windows-1252 text, as SDL2_ttf's blended rendering
    // gives it; false when there is no font of that height or nothing to draw.
    bool render(int cell_height, const std::string& text, CoverageMask* mask) const;

  private:
    std::vector<AtlasFont> fonts_;
};
