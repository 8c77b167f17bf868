// Bitmap files, memory device contexts and the pixel copies from them onto surfaces.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/bitmap.h"
#include "platform/sdl/machine.h"

namespace {

uint32_t to_surface_format(uint32_t xrgb, int bytes_per_pixel) {
    if (bytes_per_pixel == 4) return xrgb & 0x00FFFFFF;
    return ((xrgb >> 8) & 0xF800) | ((xrgb >> 5) & 0x07E0) | ((xrgb >> 3) & 0x001F);
}

uint32_t bitmap_pixel(const DecodedImage& image, int x, int y) {
    uint32_t value;
    std::memcpy(&value, &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4], 4);
    return value;
}

void store_pixel(SDL_Surface* s, int x, int y, uint32_t value) {
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    if (s->format->BytesPerPixel == 4) {
        reinterpret_cast<uint32_t*>(row)[x] = value;
    } else {
        reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
    }
}

}  // namespace

BitmapHandle bitmap_load_file(const char* file_name) {
    auto* bitmap = new PlatformBitmap;
    if (!bmp_decode_file(file_name, PixelFormat::xrgb8888, &bitmap->image)) {
        delete bitmap;
        return nullptr;
    }
    return bitmap;
}

void bitmap_get_size(BitmapHandle bitmap, int* width, int* height) {
    *width = bitmap->image.width;
    *height = bitmap->image.height;
}

void bitmap_delete(BitmapHandle bitmap) {
    delete bitmap;
}

DeviceContext memory_dc_create() {
    return new PlatformDC;
}

void memory_dc_select_bitmap(DeviceContext memory_dc, BitmapHandle bitmap) {
    if (memory_dc != nullptr) memory_dc->bitmap = bitmap;
}

void memory_dc_delete(DeviceContext memory_dc) {
    delete memory_dc;
}

// Nearest-neighbour scaling, as GDI's default stretch mode does for colour bitmaps;
// whatever falls outside the surface or the bitmap is left out.
void dc_stretch_pixels(DeviceContext dest, int dest_x, int dest_y, int dest_width, int dest_height,
                       DeviceContext source, int source_x, int source_y, int source_width,
                       int source_height) {
    if (dest == nullptr || source == nullptr || dest->surface == nullptr ||
        source->bitmap == nullptr || dest_width <= 0 || dest_height <= 0 || source_width <= 0 ||
        source_height <= 0)
        return;
    SDL_Surface* to = dest->surface->pixels;
    const DecodedImage& from = source->bitmap->image;
    const int bpp = to->format->BytesPerPixel;
    std::vector<int> source_column(static_cast<size_t>(dest_width));
    for (int col = 0; col < dest_width; ++col)
        source_column[col] = source_x + static_cast<int>(int64_t{col} * source_width / dest_width);
    for (int row = 0; row < dest_height; ++row) {
        const int ty = dest_y + row;
        const int64_t sy = source_y + int64_t{row} * source_height / dest_height;
        if (ty < 0 || ty >= to->h || sy < 0 || sy >= from.height) continue;
        for (int col = 0; col < dest_width; ++col) {
            const int tx = dest_x + col;
            const int sx = source_column[col];
            if (tx < 0 || tx >= to->w || sx < 0 || sx >= from.width) continue;
            store_pixel(to, tx, ty,
                        to_surface_format(bitmap_pixel(from, sx, static_cast<int>(sy)), bpp));
        }
    }
    note_drawn(dest->surface, dest_x, dest_y, dest_width, dest_height);
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
void copy_unscaled(SDL_Surface* to, int dest_x, int dest_y, const DecodedImage& from, int source_x,
                   int source_y, int width, int height) {
    int left, right, top, bottom;
    clip_span(width, dest_x, to->w, source_x, from.width, &left, &right);
    clip_span(height, dest_y, to->h, source_y, from.height, &top, &bottom);
    if (left >= right) return;
    const int bpp = to->format->BytesPerPixel;
    for (int row = top; row < bottom; ++row) {
        const uint8_t* in = &from.pixels[(static_cast<size_t>(source_y + row) * from.width +
                                          static_cast<size_t>(source_x + left)) *
                                         4];
        uint8_t* out = static_cast<uint8_t*>(to->pixels) +
                       static_cast<size_t>(dest_y + row) * to->pitch +
                       static_cast<size_t>(dest_x + left) * bpp;
        if (bpp == 4) {
            std::memcpy(out, in, static_cast<size_t>(right - left) * 4);
            continue;
        }
        for (int col = 0; col < right - left; ++col, in += 4, out += 2) {
            uint32_t xrgb;
            std::memcpy(&xrgb, in, 4);
            const auto rgb565 = static_cast<uint16_t>(to_surface_format(xrgb, 2));
            std::memcpy(out, &rgb565, 2);
        }
    }
}

}  // namespace

void dc_copy_pixels(DeviceContext dest, int dest_x, int dest_y, int width, int height,
                    DeviceContext source, int source_x, int source_y) {
    if (dest == nullptr || source == nullptr || dest->surface == nullptr ||
        source->bitmap == nullptr || width <= 0 || height <= 0)
        return;
    copy_unscaled(dest->surface->pixels, dest_x, dest_y, source->bitmap->image, source_x, source_y,
                  width, height);
    note_drawn(dest->surface, dest_x, dest_y, width, height);
}
