// Text on a canvas with SDL2_ttf: the contact sheet's captions, and the lines the
// program writes over a frame, drawn as the Linux program draws them. Without the font
// file the demo's own pixel font stands in, in capitals.
#pragma once

#include <memory>
#include <string>

#include "tools/demo/canvas.h"

namespace show_tool {

constexpr const char* CAPTION_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr const char* CAPTION_BOLD_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

// SDL2_ttf is set up while one of these lives.
class FontLibrary {
  public:
    FontLibrary();
    ~FontLibrary();
    FontLibrary(const FontLibrary&) = delete;
    FontLibrary& operator=(const FontLibrary&) = delete;
};

class CanvasFont {
  public:
    // The face with glyphs of about `pixels` pixels.
    static CanvasFont of_size(const std::string& file, int pixels);
    // The face at the smallest size whose lines are at least cell_height pixels apart,
    // as the Linux program picks its fonts.
    static CanvasFont of_cell_height(const std::string& file, int cell_height);
    // The face the Linux program draws its text lines with (QZVIEW_FONT or its default).
    static const char* program_font_file();

    int line_height() const;
    int width(const std::string& utf8) const;
    // The text, cut and ended with "…" where it is wider than max_width.
    std::string fitted(const std::string& utf8, int max_width) const;
    // Antialiased, with the top of the line at y.
    void draw(demo::Canvas& canvas, int x, int y, const std::string& utf8, uint32_t colour) const;

  private:
    struct Face;
    std::shared_ptr<Face> face;
    int pixels = 0;
};

}  // namespace show_tool
