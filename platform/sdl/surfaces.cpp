// The display device, its surfaces, the rectangle copies and the flip.
#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/display.h"
#include "platform/sdl/machine.h"

namespace {

// There is no display mode to switch on this platform; QZVIEW_DEPTH=16 lets a run see
// how the show copes when 32 bits per pixel are refused.
bool mode_refused(int bits_per_pixel) {
    const char* depth = std::getenv("QZVIEW_DEPTH");
    const bool only_16 = depth != nullptr && std::strcmp(depth, "16") == 0;
    if (bits_per_pixel == 32) return only_16;
    return bits_per_pixel != 16;
}

// Surface pixels are fresh pages that the system clears only when they are first
// written: SDL would clear all 3 MB of each of the five surfaces at the start, the one
// never drawn on among them. Where the system offers 2 MB pages, they come in those: the
// first touch of a 3 MB surface then takes two page faults instead of 768 (about 0.3 ms
// instead of 1.5 ms here), for up to 1 MB more memory per surface drawn on.
constexpr size_t HUGE_PAGE = size_t{2} << 20;

size_t mapped_length(size_t bytes) {
    return (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
}

// Mapped with a huge page to spare, then cut to begin on a huge-page boundary.
void* map_pixels(size_t bytes) {
    const size_t length = mapped_length(bytes);
    void* mapped = mmap(nullptr, length + HUGE_PAGE, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    const auto first = reinterpret_cast<uintptr_t>(mapped);
    const uintptr_t start = (first + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const uintptr_t end = start + length;
    if (start > first) munmap(mapped, start - first);
    if (first + length + HUGE_PAGE > end)
        munmap(reinterpret_cast<void*>(end), first + length + HUGE_PAGE - end);
#if defined(MADV_HUGEPAGE)
    madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(start);
}

size_t pixel_bytes(const SDL_Surface* pixels) {
    return static_cast<size_t>(pixels->pitch) * static_cast<size_t>(pixels->h);
}

PlatformSurface* new_surface(int width, int height, int bits) {
    const Uint32 format = bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    const int pitch = (width * (bits / 8) + 3) & ~3;
    const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
    void* memory = map_pixels(bytes);
    if (memory == nullptr) return nullptr;
    SDL_Surface* pixels =
        SDL_CreateRGBSurfaceWithFormatFrom(memory, width, height, bits, pitch, format);
    if (pixels == nullptr) {
        munmap(memory, mapped_length(bytes));
        return nullptr;
    }
    auto* surface = new PlatformSurface;
    surface->pixels = pixels;
    return surface;
}

void free_surface(PlatformSurface* surface) {
    if (surface == nullptr) return;
    void* memory = surface->pixels->pixels;
    const size_t bytes = pixel_bytes(surface->pixels);
    SDL_FreeSurface(surface->pixels);
    munmap(memory, mapped_length(bytes));
    delete surface;
}

bool rect_inside(const SDL_Surface* s, int x, int y, int width, int height) {
    return width >= 0 && height >= 0 && x >= 0 && y >= 0 && x <= s->w - width && y <= s->h - height;
}

uint8_t* pixel_address(SDL_Surface* s, int x, int y) {
    return static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch +
           static_cast<size_t>(x) * s->format->BytesPerPixel;
}

// Black is black whatever the unused top byte of a 32-bit pixel holds.
template <class Pixel>
bool is_black(Pixel pixel) {
    if constexpr (sizeof(Pixel) == 4) return (pixel & 0x00FFFFFFu) == 0;
    return pixel == 0;
}

template <class Pixel>
void copy_row_keyed(Pixel* to, const Pixel* from, int width) {
    for (int i = 0; i < width; ++i)
        if (!is_black(from[i])) to[i] = from[i];
}

template <class Pixel>
void copy_row(uint8_t* to, const uint8_t* from, int width, bool keyed) {
    if (!keyed) {
        // memmove: a copy within one surface may overlap itself.
        std::memmove(to, from, static_cast<size_t>(width) * sizeof(Pixel));
        return;
    }
    copy_row_keyed(reinterpret_cast<Pixel*>(to), reinterpret_cast<const Pixel*>(from), width);
}

// Copies the rows in the order that leaves an overlapping source intact. A keyed copy
// within one surface goes through a scratch row, so overlap within a row is safe too.
void copy_rect_rows(SDL_Surface* to, int dest_x, int dest_y, SDL_Surface* from, int x, int y,
                    int width, int height, bool keyed) {
    const size_t row_bytes = static_cast<size_t>(width) * from->format->BytesPerPixel;
    const bool four_bytes = from->format->BytesPerPixel == 4;
    const bool through_scratch = keyed && to == from;
    static std::vector<uint8_t> scratch;
    if (through_scratch) scratch.resize(row_bytes);
    const bool upwards = to == from && dest_y > y;
    for (int i = 0; i < height; ++i) {
        const int row = upwards ? height - 1 - i : i;
        const uint8_t* source = pixel_address(from, x, y + row);
        if (through_scratch) {
            std::memcpy(scratch.data(), source, row_bytes);
            source = scratch.data();
        }
        uint8_t* target = pixel_address(to, dest_x, dest_y + row);
        if (four_bytes) {
            copy_row<uint32_t>(target, source, width, keyed);
        } else {
            copy_row<uint16_t>(target, source, width, keyed);
        }
    }
}

bool window_usable(WindowHandle window) {
    return window != nullptr && window->alive;
}

}  // namespace

int32_t display_create(DisplayDevice* device) {
    *device = nullptr;
    if (!video_open()) return RESULT_FAIL;
    *device = new PlatformDisplay;
    return RESULT_OK;
}

int32_t display_set_exclusive_fullscreen(DisplayDevice device, WindowHandle window) {
    if (!window_usable(window)) return RESULT_FAIL;
    device->window = window;
    return RESULT_OK;
}

int32_t display_set_mode(DisplayDevice device, int width, int height, int bits_per_pixel) {
    if (device->window == nullptr || width != SCREEN_WIDTH || height != SCREEN_HEIGHT ||
        mode_refused(bits_per_pixel))
        return RESULT_FAIL;
    device->bits = bits_per_pixel;
    return RESULT_OK;
}

int32_t display_create_primary(DisplayDevice device, Surface* primary) {
    *primary = nullptr;
    if (device->bits == 0 || !window_usable(device->window)) return RESULT_FAIL;
    PlatformSurface* front = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits);
    PlatformSurface* back = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits);
    if (front == nullptr || back == nullptr || !screen_attach(device->window->sdl, front)) {
        free_surface(front);
        free_surface(back);
        return RESULT_FAIL;
    }
    front->primary = true;
    front->attached = back;
    *primary = front;
    return RESULT_OK;
}

int32_t display_get_back_buffer(Surface primary, Surface* back) {
    *back = primary->attached;
    return *back != nullptr ? RESULT_OK : RESULT_FAIL;
}

int32_t display_create_offscreen(DisplayDevice device, int width, int height, Surface* surface) {
    *surface = nullptr;
    if (device->bits == 0 || width <= 0 || height <= 0) return RESULT_FAIL;
    *surface = new_surface(width, height, device->bits);
    return *surface != nullptr ? RESULT_OK : RESULT_FAIL;
}

void display_release(DisplayDevice device) {
    delete device;
}

int32_t surface_set_black_color_key(Surface surface) {
    surface->color_key = true;
    return RESULT_OK;
}

int32_t surface_fast_copy(Surface dest, int dest_x, int dest_y, Surface source, int x, int y,
                          int width, int height, bool keyed) {
    if (dest == nullptr || source == nullptr) return RESULT_FAIL;
    SDL_Surface* to = dest->pixels;
    SDL_Surface* from = source->pixels;
    // All or nothing, as the program relies on: no clipping.
    if (!rect_inside(from, x, y, width, height) ||
        !rect_inside(to, dest_x, dest_y, width, height) || dest->dcs_out > 0 ||
        source->dcs_out > 0 || to->format->format != from->format->format)
        return RESULT_FAIL;
    copy_rect_rows(to, dest_x, dest_y, from, x, y, width, height, keyed && source->color_key);
    note_drawn(dest, dest_x, dest_y, width, height);
    return RESULT_OK;
}

int32_t surface_flip(Surface primary) {
    if (!primary->primary || primary->attached == nullptr || primary->dcs_out > 0 ||
        primary->attached->dcs_out > 0)
        return RESULT_FAIL;
    std::swap(primary->pixels, primary->attached->pixels);
    note_front_replaced();
    screen_present();
    return RESULT_OK;
}

int32_t surface_restore(Surface) {
    return RESULT_OK;
}

int32_t surface_get_size(Surface surface, int* width, int* height) {
    *width = surface->pixels->w;
    *height = surface->pixels->h;
    return RESULT_OK;
}

void surface_release(Surface surface) {
    if (surface == machine().front) screen_detach();
    free_surface(surface->attached);
    free_surface(surface);
}

int32_t surface_get_dc(Surface surface, DeviceContext* dc) {
    auto* context = new PlatformDC;
    context->surface = surface;
    context->font = font_stock_fixed();
    ++surface->dcs_out;
    *dc = context;
    return RESULT_OK;
}

void surface_release_dc(Surface surface, DeviceContext dc) {
    if (dc == nullptr || dc->surface != surface) return;
    --surface->dcs_out;
    delete dc;
}
