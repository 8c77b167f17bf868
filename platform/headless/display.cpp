// Display, surfaces, device contexts, fonts and bitmaps of the scripted backend.
#include <algorithm>
#include <cstring>

#include "platform/bitmap.h"
#include "platform/common/bmp_decoder.h"
#include "platform/common/cp1252.h"
#include "platform/display.h"
#include "platform/headless/world.h"

namespace {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

PlatformSurface* new_surface(int width, int height, int bits, const char* name) {
    PlatformSurface* surface = adopt(new PlatformSurface, "surface");
    surface->width = width;
    surface->height = height;
    surface->bits = bits;
    surface->pixels.assign(static_cast<size_t>(width) * height, 0);
    surface->name = name;
    world().surfaces.push_back(surface);
    return surface;
}

void forget_surface(PlatformSurface* surface) {
    auto& list = world().surfaces;
    list.erase(std::remove(list.begin(), list.end(), surface), list.end());
    if (world().front == surface) world().front = nullptr;
    dispose_object(surface);
}

bool rect_inside(const PlatformSurface* s, int x, int y, int width, int height) {
    return width >= 0 && height >= 0 && x >= 0 && y >= 0 && x <= s->width - width &&
           y <= s->height - height;
}

bool is_key_colour(const PlatformSurface* s, uint32_t pixel) {
    // Only the colour bits count, whatever the unused top byte of a 32-bit pixel holds.
    return (s->bits == 16 ? (pixel & 0xFFFF) : (pixel & 0xFFFFFF)) == 0;
}

uint32_t from_xrgb(int bits, uint32_t rgb) {
    if (bits == 16) return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x1F);
    return rgb & 0xFFFFFF;
}

PlatformFont stock_fixed_font{16, "fixed", true};

const char* font_name_for(int height) {
    switch (height) {
        case 24:
            return "medium";
        case 32:
            return "large";
        default:
            return "other";
    }
}

void log_text(const HeadlessText& text) {
    FILE* log = world().text_log;
    if (log == nullptr) return;
    const unsigned r = text.color & 0xFF, g = (text.color >> 8) & 0xFF,
                   b = (text.color >> 16) & 0xFF;
    std::fprintf(log, "%s %d %d %02X%02X%02X %s %s\n", text.surface.c_str(), text.x, text.y, r, g,
                 b, text.font.c_str(), cp1252_to_utf8(text.text).c_str());
    std::fflush(log);
}

}  // namespace

int32_t display_create(DisplayDevice* device) {
    *device = nullptr;
    if (should_fail("ddraw")) return RESULT_FAIL;
    *device = adopt(new PlatformDisplay, "display");
    return RESULT_OK;
}

int32_t display_set_exclusive_fullscreen(DisplayDevice device, WindowHandle window) {
    if (should_fail("coop") || window == nullptr) return RESULT_FAIL;
    device->exclusive = true;
    return RESULT_OK;
}

int32_t display_set_mode(DisplayDevice device, int width, int height, int bits_per_pixel) {
    if (!device->exclusive || width != SCREEN_WIDTH || height != SCREEN_HEIGHT) return RESULT_FAIL;
    if (bits_per_pixel == 32 && !should_fail("mode32")) {
        device->bits = 32;
        return RESULT_OK;
    }
    if (bits_per_pixel == 16 && !should_fail("mode16")) {
        device->bits = 16;
        return RESULT_OK;
    }
    return RESULT_FAIL;
}

int32_t display_create_primary(DisplayDevice device, Surface* primary) {
    *primary = nullptr;
    if (should_fail("primary") || device->bits == 0) return RESULT_FAIL;
    PlatformSurface* front = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits, "front");
    front->primary = true;
    front->attached = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits, "back");
    world().front = front;
    *primary = front;
    return RESULT_OK;
}

int32_t display_get_back_buffer(Surface primary, Surface* back) {
    *back = nullptr;
    if (should_fail("backbuffer") || primary->attached == nullptr) return RESULT_FAIL;
    *back = primary->attached;
    return RESULT_OK;
}

int32_t display_create_offscreen(DisplayDevice device, int width, int height, Surface* surface) {
    static const char* const names[] = {"sheet", "picture", "spare"};
    static const char* const faults[] = {"offscreen1", "offscreen2", "offscreen3"};
    *surface = nullptr;
    const int n = world().offscreen_created;
    if (device->bits == 0 || width <= 0 || height <= 0) return RESULT_FAIL;
    if (n < 3 && should_fail(faults[n])) return RESULT_FAIL;
    ++world().offscreen_created;
    *surface = new_surface(width, height, device->bits, n < 3 ? names[n] : "offscreen");
    return RESULT_OK;
}

void display_release(DisplayDevice device) {
    dispose_object(device);
}

int32_t surface_set_black_color_key(Surface surface) {
    if (should_fail("color-key")) return RESULT_FAIL;
    surface->color_key = true;
    return RESULT_OK;
}

int32_t surface_fast_copy(Surface dest, int dest_x, int dest_y, Surface source, int x, int y,
                          int width, int height, bool keyed) {
    HeadlessCounters& counters = world().counters;
    if (!rect_inside(source, x, y, width, height) ||
        !rect_inside(dest, dest_x, dest_y, width, height) || dest->dcs_out > 0 ||
        source->dcs_out > 0 || dest->bits != source->bits) {
        ++counters.refused_copies;
        return RESULT_FAIL;
    }
    ++counters.copies;
    const bool use_key = keyed && source->color_key;
    if (keyed) ++counters.keyed_copies;
    // Rows of the same surface may overlap: copy through a temporary row.
    std::vector<uint32_t> row(static_cast<size_t>(width));
    for (int row_index = 0; row_index < height; ++row_index) {
        const uint32_t* from =
            &source->pixels[static_cast<size_t>(y + row_index) * source->width + x];
        uint32_t* to =
            &dest->pixels[static_cast<size_t>(dest_y + row_index) * dest->width + dest_x];
        std::copy(from, from + width, row.begin());
        for (int i = 0; i < width; ++i)
            if (!use_key || !is_key_colour(source, row[i])) to[i] = row[i];
    }
    return RESULT_OK;
}

int32_t surface_flip(Surface primary) {
    if (!primary->primary || primary->attached == nullptr || primary->dcs_out > 0 ||
        primary->attached->dcs_out > 0)
        return RESULT_FAIL;
    std::swap(primary->pixels, primary->attached->pixels);
    ++world().counters.flips;
    return RESULT_OK;
}

int32_t surface_restore(Surface) {
    return RESULT_OK;
}

int32_t surface_get_size(Surface surface, int* width, int* height) {
    *width = surface->width;
    *height = surface->height;
    return RESULT_OK;
}

void surface_release(Surface surface) {
    if (surface->attached != nullptr) forget_surface(surface->attached);
    forget_surface(surface);
}

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
    if (dc->surface == nullptr || length < 0) return;
    HeadlessText record{dc->surface->name,
                        x,
                        y,
                        dc->color,
                        dc->font->name,
                        std::string(text, static_cast<size_t>(length))};
    log_text(record);
    world().texts.push_back(std::move(record));
}

FontHandle font_stock_fixed() {
    return &stock_fixed_font;
}

FontHandle font_create(int height) {
    PlatformFont* font = adopt(new PlatformFont, "font");
    font->height = height;
    font->name = font_name_for(height);
    return font;
}

void font_delete(FontHandle font) {
    if (font != &stock_fixed_font) dispose_object(font);
}

BitmapHandle bitmap_load_file(const char* file_name) {
    if (should_fail("bitmap") || should_fail("file-open")) return nullptr;
    ++world().counters.bitmap_file_reads;
    DecodedImage image;
    if (!bmp_decode_file(file_name, PixelFormat::xrgb8888, &image)) return nullptr;
    PlatformBitmap* bitmap = adopt(new PlatformBitmap, "bitmap");
    bitmap->width = image.width;
    bitmap->height = image.height;
    bitmap->pixels.resize(static_cast<size_t>(image.width) * image.height);
    std::memcpy(bitmap->pixels.data(), image.pixels.data(), bitmap->pixels.size() * 4);
    return bitmap;
}

void bitmap_get_size(BitmapHandle bitmap, int* width, int* height) {
    *width = bitmap->width;
    *height = bitmap->height;
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

void dc_stretch_pixels(DeviceContext dest, int dest_x, int dest_y, int dest_width, int dest_height,
                       DeviceContext source, int source_x, int source_y, int source_width,
                       int source_height) {
    // A missing memory context (its creation failed) draws nothing, as with GDI.
    if (dest == nullptr || source == nullptr || dest->surface == nullptr ||
        source->bitmap == nullptr || dest_width <= 0 || dest_height <= 0 || source_width <= 0 ||
        source_height <= 0)
        return;
    PlatformSurface* to = dest->surface;
    const PlatformBitmap* from = source->bitmap;
    for (int row = 0; row < dest_height; ++row) {
        const int ty = dest_y + row;
        const int64_t sy = source_y + int64_t{row} * source_height / dest_height;
        if (ty < 0 || ty >= to->height || sy < 0 || sy >= from->height) continue;
        for (int col = 0; col < dest_width; ++col) {
            const int tx = dest_x + col;
            const int64_t sx = source_x + int64_t{col} * source_width / dest_width;
            if (tx < 0 || tx >= to->width || sx < 0 || sx >= from->width) continue;
            to->pixels[static_cast<size_t>(ty) * to->width + tx] =
                from_xrgb(to->bits, from->pixels[static_cast<size_t>(sy) * from->width + sx]);
        }
    }
}

void dc_copy_pixels(DeviceContext dest, int dest_x, int dest_y, int width, int height,
                    DeviceContext source, int source_x, int source_y) {
    dc_stretch_pixels(dest, dest_x, dest_y, width, height, source, source_x, source_y, width,
                      height);
}
