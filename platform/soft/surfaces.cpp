// The display device, its surfaces, the rectangle copies and the flip, and when the
// front reaches the screen.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/display.h"
#include "platform/soft/machine.h"

namespace {

// Larger surfaces than any display mode are refused rather than allocated.
constexpr int SURFACE_SIDE_MAX = 16384;

// nullptr when there is no memory for it.
PlatformSurface* new_surface(int width, int height, int bits, const char* role) {
    PixelMemory pixels(static_cast<size_t>(width) * height * (bits / 8));
    if (pixels.empty()) return nullptr;
    PlatformSurface* surface = adopt(new PlatformSurface, "surface");
    surface->width = width;
    surface->height = height;
    surface->bits = bits;
    surface->pixels = std::move(pixels);
    surface->role = role;
    machine().surfaces.push_back(surface);
    return surface;
}

void forget_surface(PlatformSurface* surface) {
    if (surface == nullptr) return;
    auto& list = machine().surfaces;
    list.erase(std::remove(list.begin(), list.end(), surface), list.end());
    if (machine().front == surface) machine().front = nullptr;
    dispose_object(surface);
}

void note_front_replaced() {
    const PlatformSurface* front = machine().front;
    if (front != nullptr) note_drawn(front, 0, 0, front->width, front->height);
}

bool rect_inside(const PlatformSurface* s, int x, int y, int width, int height) {
    return width >= 0 && height >= 0 && x >= 0 && y >= 0 && x <= s->width - width &&
           y <= s->height - height;
}

bool window_usable(const PlatformWindow* window) {
    return window != nullptr && window->alive;
}

// Only the colour bits count, whatever the unused top byte of a 32-bit pixel holds.
void copy_row_keyed(uint8_t* to, const uint8_t* from, int width, int bytes_per_pixel) {
    const uint32_t colour_bits = bytes_per_pixel == 4 ? 0xFFFFFF : 0xFFFF;
    for (int i = 0; i < width; ++i, to += bytes_per_pixel, from += bytes_per_pixel) {
        const uint32_t pixel = load_pixel(from, bytes_per_pixel);
        if ((pixel & colour_bits) != 0) store_pixel(to, pixel, bytes_per_pixel);
    }
}

// Copies the rows in the order that leaves an overlapping source intact. A keyed copy
// within one surface goes through a scratch row, so overlap within a row is safe too.
void copy_rect_rows(PlatformSurface* to, int dest_x, int dest_y, PlatformSurface* from, int x,
                    int y, int width, int height, bool keyed) {
    const int bytes_per_pixel = from->bytes_per_pixel();
    const size_t row_bytes = static_cast<size_t>(width) * bytes_per_pixel;
    const bool through_scratch = keyed && to == from;
    static std::vector<uint8_t> scratch;
    if (through_scratch) scratch.resize(row_bytes);
    const bool upwards = to == from && dest_y > y;
    for (int i = 0; i < height; ++i) {
        const int row = upwards ? height - 1 - i : i;
        const uint8_t* source = from->at(x, y + row);
        if (through_scratch)
            source = static_cast<uint8_t*>(std::memcpy(scratch.data(), source, row_bytes));
        uint8_t* target = to->at(dest_x, dest_y + row);
        if (keyed) {
            copy_row_keyed(target, source, width, bytes_per_pixel);
        } else {
            std::memmove(target, source, row_bytes);  // a copy within one surface may overlap
        }
    }
}

}  // namespace

void note_drawn(const PlatformSurface* surface, int x, int y, int width, int height) {
    if (surface == nullptr || surface != machine().front) return;
    dirty_add(&machine().dirty, DirtyRect{x, y, width, height}, surface->width, surface->height);
}

void present_front() {
    SoftMachine& m = machine();
    if (m.front == nullptr || dirty_empty(m.dirty)) return;
    const SoftFrame frame{m.front->pixels.data(), m.front->width, m.front->height, m.front->bits};
    soft_device().present(frame, m.dirty.rects);
    dirty_clear(&m.dirty);
}

void soft_repaint() {
    note_front_replaced();
}

int32_t display_create(DisplayDevice* device) {
    *device = nullptr;
    if (should_fail("ddraw") || !soft_device().open_display()) return RESULT_FAIL;
    *device = adopt(new PlatformDisplay, "display");
    return RESULT_OK;
}

int32_t display_set_exclusive_fullscreen(DisplayDevice device, WindowHandle window) {
    if (should_fail("coop") || !window_usable(window)) return RESULT_FAIL;
    device->window = window;
    return RESULT_OK;
}

int32_t display_set_mode(DisplayDevice device, int width, int height, int bits_per_pixel) {
    if (device->window == nullptr || width != SCREEN_WIDTH || height != SCREEN_HEIGHT)
        return RESULT_FAIL;
    if ((bits_per_pixel == 32 && !should_fail("mode32")) ||
        (bits_per_pixel == 16 && !should_fail("mode16"))) {
        device->bits = bits_per_pixel;
        return RESULT_OK;
    }
    return RESULT_FAIL;
}

int32_t display_create_primary(DisplayDevice device, Surface* primary) {
    *primary = nullptr;
    if (should_fail("primary") || device->bits == 0 || !window_usable(device->window) ||
        !soft_device().open_screen())
        return RESULT_FAIL;
    PlatformSurface* front = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits, "front");
    PlatformSurface* back = new_surface(SCREEN_WIDTH, SCREEN_HEIGHT, device->bits, "back");
    if (front == nullptr || back == nullptr) {
        forget_surface(front);
        forget_surface(back);
        return RESULT_FAIL;
    }
    front->primary = true;
    front->attached = back;
    machine().front = front;
    note_front_replaced();
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
    static const char* const roles[] = {"sheet", "picture", "spare"};
    static const char* const faults[] = {"offscreen1", "offscreen2", "offscreen3"};
    *surface = nullptr;
    const int n = machine().offscreen_created;
    if (device->bits == 0 || width <= 0 || height <= 0 || width > SURFACE_SIDE_MAX ||
        height > SURFACE_SIDE_MAX || (n < 3 && should_fail(faults[n])))
        return RESULT_FAIL;
    *surface = new_surface(width, height, device->bits, n < 3 ? roles[n] : "offscreen");
    if (*surface == nullptr) return RESULT_FAIL;
    ++machine().offscreen_created;
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

// All or nothing, as the program relies on: no clipping.
int32_t surface_fast_copy(Surface dest, int dest_x, int dest_y, Surface source, int x, int y,
                          int width, int height, bool keyed) {
    SoftCounters& counters = machine().counters;
    if (dest == nullptr || source == nullptr || !rect_inside(source, x, y, width, height) ||
        !rect_inside(dest, dest_x, dest_y, width, height) || dest->dcs_out > 0 ||
        source->dcs_out > 0 || dest->bits != source->bits) {
        ++counters.refused_copies;
        return RESULT_FAIL;
    }
    ++counters.copies;
    if (keyed) ++counters.keyed_copies;
    copy_rect_rows(dest, dest_x, dest_y, source, x, y, width, height, keyed && source->color_key);
    note_drawn(dest, dest_x, dest_y, width, height);
    return RESULT_OK;
}

int32_t surface_flip(Surface primary) {
    if (!primary->primary || primary->attached == nullptr || primary->dcs_out > 0 ||
        primary->attached->dcs_out > 0)
        return RESULT_FAIL;
    std::swap(primary->pixels, primary->attached->pixels);
    ++machine().counters.flips;
    note_front_replaced();
    present_front();
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
    forget_surface(surface->attached);
    forget_surface(surface);
}
