// Device contexts on surfaces, fonts and text, bitmap files and the memory device
// contexts that copy them onto surfaces.
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/display.h"
#include "platform/soft/machine.h"

namespace {

constexpr int STOCK_FIXED_HEIGHT = 16;
// GDI's background colour of a device context, used when the background is opaque.
constexpr uint32_t OPAQUE_BACKGROUND = 0xFFFFFF;

PlatformFont stock_fixed_font{STOCK_FIXED_HEIGHT, true};

uint32_t rgb_of(ColorRef color) {
    return ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
}

uint32_t blend_channel(uint32_t over, uint32_t under, uint32_t alpha) {
    return (over * alpha + under * (255 - alpha) + 127) / 255;
}

uint32_t blend(uint32_t over, uint32_t under, uint32_t alpha) {
    uint32_t mixed = 0;
    for (int shift = 0; shift < 24; shift += 8)
        mixed |= blend_channel((over >> shift) & 0xFF, (under >> shift) & 0xFF, alpha) << shift;
    return mixed;
}

// Lays the text's coverage in its colour over the surface at (x, y); the parts outside
// the surface are left out.
void blend_text(const CoverageMask& mask, PlatformSurface* dest, int x, int y, uint32_t colour,
                bool opaque) {
    for (int row = std::max(0, -y); row < mask.height && y + row < dest->height; ++row) {
        for (int col = std::max(0, -x); col < mask.width && x + col < dest->width; ++col) {
            const uint32_t alpha = mask.coverage[static_cast<size_t>(row) * mask.width + col];
            if (alpha == 0 && !opaque) continue;
            const uint32_t under =
                opaque ? OPAQUE_BACKGROUND
                       : rgb_from_pixel(soft_pixel(dest, x + col, y + row), dest->bits);
            soft_set_pixel(dest, x + col, y + row,
                           pixel_from_rgb(blend(colour, under, alpha), dest->bits));
        }
    }
}

}  // namespace

int32_t surface_get_dc(Surface surface, DeviceContext* dc) {
    *dc = nullptr;
    if (should_fail("dc")) return RESULT_FAIL;
    PlatformDC* context = adopt(new PlatformDC, "dc");
    context->surface = surface;
    context->font = &stock_fixed_font;
    ++surface->dcs_out;
    *dc = context;
    return RESULT_OK;
}

void surface_release_dc(Surface surface, DeviceContext dc) {
    if (dc == nullptr || dc->surface != surface) return;
    --surface->dcs_out;
    dispose_object(dc);
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
    if (dc == nullptr || dc->surface == nullptr || text == nullptr || length < 0) return;
    const SoftText run{dc->surface->role.c_str(),
                       x,
                       y,
                       dc->color,
                       dc->font->height,
                       dc->font->stock,
                       std::string(text, static_cast<size_t>(length))};
    CoverageMask mask;
    if (!soft_device().render_text(run, &mask)) return;
    blend_text(mask, dc->surface, x, y, rgb_of(dc->color), !dc->transparent);
    note_drawn(dc->surface, x, y, mask.width, mask.height);
}

FontHandle font_stock_fixed() {
    return &stock_fixed_font;
}

// Like CreateFontA, this always gives a font; the glyph source decides what it draws.
FontHandle font_create(int height) {
    PlatformFont* font = adopt(new PlatformFont, "font");
    font->height = height;
    return font;
}

void font_delete(FontHandle font) {
    if (font != &stock_fixed_font) dispose_object(font);
}

BitmapHandle bitmap_load_file(const char* file_name) {
    if (should_fail("bitmap") || should_fail("file-open")) return nullptr;
    ++machine().counters.bitmap_file_reads;
    auto* bitmap = new PlatformBitmap;
    if (!bmp_decode_file(file_name, PixelFormat::xrgb8888, &bitmap->image)) {
        delete bitmap;
        const bool readable = access(file_name, R_OK) == 0;
        soft_device().file_trouble(
            file_name, readable ? "not a bitmap that can be read" : std::strerror(errno));
        return nullptr;
    }
    return adopt(bitmap, "bitmap");
}

void bitmap_get_size(BitmapHandle bitmap, int* width, int* height) {
    *width = bitmap->image.width;
    *height = bitmap->image.height;
}

void bitmap_delete(BitmapHandle bitmap) {
    dispose_object(bitmap);
}

DeviceContext memory_dc_create() {
    if (should_fail("memory-dc")) return nullptr;
    return adopt(new PlatformDC, "dc");
}

void memory_dc_select_bitmap(DeviceContext memory_dc, BitmapHandle bitmap) {
    if (memory_dc != nullptr) memory_dc->bitmap = bitmap;
}

void memory_dc_delete(DeviceContext memory_dc) {
    if (memory_dc != nullptr) dispose_object(memory_dc);
}

// Nearest-neighbour scaling, as GDI's default stretch mode does for colour bitmaps;
// whatever falls outside the surface or the bitmap is left out. A missing memory
// context (its creation failed) draws nothing, as with GDI.
void dc_stretch_pixels(DeviceContext dest, int dest_x, int dest_y, int dest_width, int dest_height,
                       DeviceContext source, int source_x, int source_y, int source_width,
                       int source_height) {
    if (dest == nullptr || source == nullptr || dest->surface == nullptr ||
        source->bitmap == nullptr || dest_width <= 0 || dest_height <= 0 || source_width <= 0 ||
        source_height <= 0)
        return;
    PlatformSurface* to = dest->surface;
    const DecodedImage& from = source->bitmap->image;
    std::vector<int64_t> source_column(static_cast<size_t>(dest_width));
    for (int col = 0; col < dest_width; ++col)
        source_column[col] = source_x + int64_t{col} * source_width / dest_width;
    for (int row = 0; row < dest_height; ++row) {
        const int64_t sy = source_y + int64_t{row} * source_height / dest_height;
        if (sy < 0 || sy >= from.height) continue;
        const uint8_t* source_row = &from.pixels[static_cast<size_t>(sy) * from.width * 4];
        for (int col = 0; col < dest_width; ++col) {
            const int64_t sx = source_column[col];
            if (sx < 0 || sx >= from.width) continue;
            const uint32_t xrgb = load_pixel(source_row + sx * 4, 4);
            soft_set_pixel(to, dest_x + col, dest_y + row, pixel_from_rgb(xrgb, to->bits));
        }
    }
    note_drawn(to, dest_x, dest_y, dest_width, dest_height);
}

namespace {

// The part [first, last) of 0..count that lands inside both the destination (from
// dest_at, size dest_size) and the source (from source_at, size source_size).
void clip_span(int count, int dest_at, int dest_size, int source_at, int source_size, int* first,
               int* last) {
    *first = std::max({0, -dest_at, -source_at});
    *last = std::min({count, dest_size - dest_at, source_size - source_at});
}

// Every picture and box is copied 1:1: row by row, and on a 32-bit surface as plain
// copies, since the decoder's rows are the surface's own XRGB with the top byte 0.
void copy_unscaled(PlatformSurface* to, int dest_x, int dest_y, const DecodedImage& from,
                   int source_x, int source_y, int width, int height) {
    int left, right, top, bottom;
    clip_span(width, dest_x, to->width, source_x, from.width, &left, &right);
    clip_span(height, dest_y, to->height, source_y, from.height, &top, &bottom);
    if (left >= right) return;
    const int bytes_per_pixel = to->bytes_per_pixel();
    for (int row = top; row < bottom; ++row) {
        const uint8_t* in = &from.pixels[(static_cast<size_t>(source_y + row) * from.width +
                                          static_cast<size_t>(source_x + left)) *
                                         4];
        uint8_t* out = to->at(dest_x + left, dest_y + row);
        if (bytes_per_pixel == 4) {
            std::memcpy(out, in, static_cast<size_t>(right - left) * 4);
            continue;
        }
        for (int col = left; col < right; ++col, in += 4, out += 2)
            store_pixel(out, pixel_from_rgb(load_pixel(in, 4), 16), 2);
    }
}

}  // namespace

void dc_copy_pixels(DeviceContext dest, int dest_x, int dest_y, int width, int height,
                    DeviceContext source, int source_x, int source_y) {
    if (dest == nullptr || source == nullptr || dest->surface == nullptr ||
        source->bitmap == nullptr || width <= 0 || height <= 0)
        return;
    copy_unscaled(dest->surface, dest_x, dest_y, source->bitmap->image, source_x, source_y, width,
                  height);
    note_drawn(dest->surface, dest_x, dest_y, width, height);
}
