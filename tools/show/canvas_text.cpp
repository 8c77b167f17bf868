#include "tools/show/canvas_text.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "tools/demo/pixel_font.h"

namespace show_tool {

namespace {

constexpr const char* PROGRAM_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
constexpr const char* ELLIPSIS = "\xE2\x80\xA6";

// The pixel font's scale for text of about this size.
int pixel_font_scale(int pixels) {
    return std::max(1, pixels / (demo::GLYPH_HEIGHT + 1));
}

std::string capitals(const std::string& utf8) {
    std::string upper = utf8;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

// Drops the last character (not the last byte) of UTF-8 text.
void drop_last_character(std::string& utf8) {
    while (!utf8.empty()) {
        const unsigned char last = static_cast<unsigned char>(utf8.back());
        utf8.pop_back();
        if ((last & 0xC0) != 0x80) return;
    }
}

}  // namespace

struct CanvasFont::Face {
    TTF_Font* font = nullptr;
    ~Face() {
        if (font != nullptr) TTF_CloseFont(font);
    }
};

FontLibrary::FontLibrary() {
    TTF_Init();
}

FontLibrary::~FontLibrary() {
    TTF_Quit();
}

CanvasFont CanvasFont::of_size(const std::string& file, int pixels) {
    CanvasFont result;
    result.pixels = pixels;
    result.face = std::make_shared<Face>();
    result.face->font = TTF_OpenFont(file.c_str(), pixels);
    return result;
}

CanvasFont CanvasFont::of_cell_height(const std::string& file, int cell_height) {
    for (int points = std::max(1, cell_height * 3 / 4); points <= cell_height * 2; ++points) {
        CanvasFont font = of_size(file, points);
        if (font.face->font == nullptr || TTF_FontHeight(font.face->font) >= cell_height)
            return font;
    }
    return of_size(file, cell_height);
}

const char* CanvasFont::program_font_file() {
    const char* chosen = std::getenv("QZVIEW_FONT");
    return chosen != nullptr && *chosen != '\0' ? chosen : PROGRAM_FONT;
}

int CanvasFont::line_height() const {
    if (face->font != nullptr) return TTF_FontLineSkip(face->font);
    return (demo::GLYPH_HEIGHT + 2) * pixel_font_scale(pixels);
}

int CanvasFont::width(const std::string& utf8) const {
    if (face->font == nullptr) return demo::text_width(capitals(utf8), pixel_font_scale(pixels));
    int w = 0, h = 0;
    return TTF_SizeUTF8(face->font, utf8.c_str(), &w, &h) == 0 ? w : 0;
}

std::string CanvasFont::fitted(const std::string& utf8, int max_width) const {
    if (width(utf8) <= max_width) return utf8;
    std::string cut = utf8;
    while (!cut.empty() && width(cut + ELLIPSIS) > max_width)
        drop_last_character(cut);
    return cut + ELLIPSIS;
}

void CanvasFont::draw(demo::Canvas& canvas, int x, int y, const std::string& utf8,
                      uint32_t colour) const {
    if (utf8.empty()) return;
    if (face->font == nullptr) {
        demo::draw_text(canvas, x, y, capitals(utf8), colour, pixel_font_scale(pixels));
        return;
    }
    const SDL_Color white{255, 255, 255, 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(face->font, utf8.c_str(), white);
    if (glyphs == nullptr) return;
    SDL_LockSurface(glyphs);
    for (int row = 0; row < glyphs->h; ++row) {
        const auto* line = reinterpret_cast<const uint32_t*>(
            static_cast<const uint8_t*>(glyphs->pixels) + static_cast<size_t>(row) * glyphs->pitch);
        for (int col = 0; col < glyphs->w; ++col) {
            const uint32_t alpha = line[col] >> 24;
            if (alpha != 0) demo::blend_pixel(canvas, x + col, y + row, colour, alpha / 255.0);
        }
    }
    SDL_UnlockSurface(glyphs);
    SDL_FreeSurface(glyphs);
}

}  // namespace show_tool
