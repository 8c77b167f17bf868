// The demo's own 5 x 7 pixel font: A-Z, the umlauts, digits and a little punctuation.
// Texts are UTF-8 upper case, as the program's texts are written in the source.
#pragma once

#include <string>

#include "tools/demo/canvas.h"

namespace demo {

constexpr int GLYPH_WIDTH = 5;
constexpr int GLYPH_HEIGHT = 7;
constexpr int GLYPH_ADVANCE = 6;  // one blank column between letters

// Width in pixels of the text drawn at the scale, without the trailing blank column.
int text_width(const std::string& text, int scale);
// Draws the text with its top-left corner at (x, y); unknown characters draw a solid
// block so they stand out.
void draw_text(Canvas& canvas, int x, int y, const std::string& text, uint32_t colour, int scale);
// The text over a shadow a little down and to the right, for text over pictures.
void draw_text_shadowed(Canvas& canvas, int x, int y, const std::string& text, uint32_t colour,
                        uint32_t shadow, int scale);
// Horizontally centred on centre_x.
void draw_text_centred(Canvas& canvas, int centre_x, int y, const std::string& text,
                       uint32_t colour, int scale);

}  // namespace demo
