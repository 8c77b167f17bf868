// Fonts and text on device contexts, drawn with SDL2_ttf.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "platform/common/cp1252.h"
#include "platform/display.h"
#include "platform/sdl/machine.h"

namespace {

constexpr const char* DEFAULT_FONT_FILE =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
constexpr int STOCK_FIXED_HEIGHT = 16;
// GDI's background colour of a device context, used when the background is opaque.
constexpr uint32_t OPAQUE_BACKGROUND = 0xFFFFFF;

PlatformFont stock_fixed_font;
bool stock_fixed_tried = false;
bool font_failure_reported = false;

const char* font_file() {
    const char* chosen = std::getenv("QZVIEW_FONT");
    return chosen != nullptr && *chosen != '\0' ? chosen : DEFAULT_FONT_FILE;
}

bool ttf_ready() {
    SdlMachine& m = machine();
    if (!m.ttf_ready) m.ttf_ready = TTF_Init() == 0;
    return m.ttf_ready;
}

void report_font_failure() {
    if (font_failure_reported) return;
    font_failure_reported = true;
    const std::string line =
        std::string("qzview: cannot open the font ") + font_file() + ": " + TTF_GetError() + "\n";
    debug_output(line.c_str());
}

// The font file's bytes, read once: every size of the face is opened from them. They
// stay as long as the program runs, since open fonts keep reading them.
const std::vector<uint8_t>* font_bytes() {
    static std::map<std::string, std::vector<uint8_t>> read;
    const auto known = read.find(font_file());
    if (known != read.end()) return &known->second;
    SDL_RWops* file = SDL_RWFromFile(font_file(), "rb");
    if (file == nullptr) return nullptr;
    std::vector<uint8_t> bytes(static_cast<size_t>(std::max<Sint64>(0, SDL_RWsize(file))));
    const size_t got = SDL_RWread(file, bytes.data(), 1, bytes.size());
    SDL_RWclose(file);
    if (bytes.empty() || got != bytes.size()) return nullptr;
    return &read.emplace(font_file(), std::move(bytes)).first->second;
}

TTF_Font* open_font(int points) {
    const std::vector<uint8_t>* bytes = font_bytes();
    if (bytes == nullptr) return nullptr;
    return TTF_OpenFontRW(SDL_RWFromConstMem(bytes->data(), static_cast<int>(bytes->size())), 1,
                          points);
}

// Fonts are asked for by cell height, SDL2_ttf opens them by point size: with the
// bold mono face 13, 20 and 27 points give cells of 16, 24 and 32 pixels.
TTF_Font* open_font_of_height(int height) {
    if (height <= 0 || !ttf_ready()) return nullptr;
    for (int points = std::max(1, height * 3 / 4); points <= height * 2; ++points) {
        TTF_Font* font = open_font(points);
        if (font == nullptr) {
            report_font_failure();
            return nullptr;
        }
        if (TTF_FontHeight(font) >= height) return font;
        TTF_CloseFont(font);
    }
    return nullptr;
}

struct Rgb {
    uint32_t r, g, b;
};

Rgb unpack(uint32_t pixel, int bytes_per_pixel) {
    if (bytes_per_pixel == 4) return {(pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF};
    const uint32_t r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

uint32_t pack(Rgb c, int bytes_per_pixel) {
    if (bytes_per_pixel == 4) return (c.r << 16) | (c.g << 8) | c.b;
    return ((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3);
}

uint32_t blend_channel(uint32_t over, uint32_t under, uint32_t alpha) {
    return (over * alpha + under * (255 - alpha) + 127) / 255;
}

uint32_t read_pixel(const SDL_Surface* s, int x, int y) {
    const uint8_t* p = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    if (s->format->BytesPerPixel == 4) return reinterpret_cast<const uint32_t*>(p)[x];
    return reinterpret_cast<const uint16_t*>(p)[x];
}

void write_pixel(SDL_Surface* s, int x, int y, uint32_t value) {
    uint8_t* p = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    if (s->format->BytesPerPixel == 4) {
        reinterpret_cast<uint32_t*>(p)[x] = value;
    } else {
        reinterpret_cast<uint16_t*>(p)[x] = static_cast<uint16_t>(value);
    }
}

// Lays antialiased glyphs (ARGB8888 from SDL2_ttf) over the surface at (x, y); the
// parts outside the surface are left out.
void blend_glyphs(const SDL_Surface* glyphs, SDL_Surface* dest, int x, int y, bool opaque) {
    const int bpp = dest->format->BytesPerPixel;
    const Rgb background = unpack(OPAQUE_BACKGROUND, 4);
    for (int row = std::max(0, -y); row < glyphs->h && y + row < dest->h; ++row) {
        for (int col = std::max(0, -x); col < glyphs->w && x + col < dest->w; ++col) {
            const uint32_t glyph = read_pixel(glyphs, col, row);
            const uint32_t alpha = glyph >> 24;
            if (alpha == 0 && !opaque) continue;
            const Rgb over = unpack(glyph, 4);
            const Rgb under = opaque ? background : unpack(read_pixel(dest, x + col, y + row), bpp);
            const Rgb mixed{blend_channel(over.r, under.r, alpha),
                            blend_channel(over.g, under.g, alpha),
                            blend_channel(over.b, under.b, alpha)};
            write_pixel(dest, x + col, y + row, pack(mixed, bpp));
        }
    }
}

}  // namespace

void fonts_close() {
    if (stock_fixed_font.ttf != nullptr) TTF_CloseFont(stock_fixed_font.ttf);
    stock_fixed_font = PlatformFont{};
    stock_fixed_tried = false;
    font_failure_reported = false;
    if (machine().ttf_ready) TTF_Quit();
    machine().ttf_ready = false;
}

FontHandle font_stock_fixed() {
    if (!stock_fixed_tried) {
        stock_fixed_tried = true;
        stock_fixed_font.ttf = open_font_of_height(STOCK_FIXED_HEIGHT);
        stock_fixed_font.height = STOCK_FIXED_HEIGHT;
    }
    return &stock_fixed_font;
}

// Like CreateFontA, this always gives a font: without the font file it draws nothing.
FontHandle font_create(int height) {
    auto* font = new PlatformFont;
    font->ttf = open_font_of_height(height);
    font->height = height;
    return font;
}

void font_delete(FontHandle font) {
    if (font == nullptr || font == &stock_fixed_font) return;
    if (font->ttf != nullptr) TTF_CloseFont(font->ttf);
    delete font;
}

void dc_set_transparent_background(DeviceContext dc) {
    dc->transparent = true;
}

void dc_select_font(DeviceContext dc, FontHandle font) {
    if (font != nullptr) dc->font = font;
}

void dc_set_text_color(DeviceContext dc, ColorRef color) {
    dc->color = color;
}

void dc_text_out(DeviceContext dc, int x, int y, const char* text, int length) {
    if (dc == nullptr || dc->surface == nullptr || text == nullptr || length <= 0) return;
    const PlatformFont* font = dc->font != nullptr ? dc->font : font_stock_fixed();
    if (font->ttf == nullptr) return;
    const std::string utf8 = cp1252_to_utf8(std::string(text, static_cast<size_t>(length)));
    const SDL_Color color{static_cast<Uint8>(dc->color & 0xFF),
                          static_cast<Uint8>((dc->color >> 8) & 0xFF),
                          static_cast<Uint8>((dc->color >> 16) & 0xFF), 255};
    SDL_Surface* glyphs = TTF_RenderUTF8_Blended(font->ttf, utf8.c_str(), color);
    if (glyphs == nullptr) return;
    SDL_Surface* dest = dc->surface->pixels;
    blend_glyphs(glyphs, dest, x, y, !dc->transparent);
    note_drawn(dc->surface, x, y, glyphs->w, glyphs->h);
    SDL_FreeSurface(glyphs);
}
