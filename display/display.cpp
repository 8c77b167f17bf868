#include "display/display.h"

#include "display/layout.h"
#include "platform/display.h"

ScreenState screen;

namespace {

bool create_keyed_offscreen(Surface* surface) {
    if (display_create_offscreen(screen.display_device, layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT,
                                 surface) != RESULT_OK)
        return false;
    surface_set_black_color_key(*surface);  // a surface without its key still shows pictures
    return true;
}

void release_surface(Surface& surface) {
    if (surface != nullptr) surface_release(surface);
    surface = nullptr;
}

void release_font(FontHandle& font) {
    if (font != nullptr) font_delete(font);
    font = nullptr;
}

}  // namespace

bool create_display_device() {
    return display_create(&screen.display_device) == RESULT_OK;
}

bool set_exclusive_full_screen() {
    return display_set_exclusive_fullscreen(screen.display_device, screen.main_window) == RESULT_OK;
}

bool set_display_mode(int bits_per_pixel) {
    return display_set_mode(screen.display_device, layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT,
                            bits_per_pixel) == RESULT_OK;
}

bool create_primary_surface() {
    return display_create_primary(screen.display_device, &screen.front_surface) == RESULT_OK;
}

bool attach_back_buffer() {
    return display_get_back_buffer(screen.front_surface, &screen.back_surface) == RESULT_OK;
}

bool create_offscreen_surfaces() {
    return create_keyed_offscreen(&screen.sheet_surface) &&
           create_keyed_offscreen(&screen.picture_surface) &&
           create_keyed_offscreen(&screen.spare_surface);
}

void create_fonts() {
    release_font(screen.font_fixed);
    screen.font_fixed = font_stock_fixed();
    release_font(screen.font_medium);
    screen.font_medium = font_create(24);
    release_font(screen.font_large);
    screen.font_large = font_create(32);
}

void release_display() {
    if (screen.display_device == nullptr) return;
    // The back buffer is attached to the front surface and goes with it.
    release_surface(screen.front_surface);
    screen.back_surface = nullptr;
    release_surface(screen.sheet_surface);
    release_surface(screen.picture_surface);
    release_surface(screen.spare_surface);
    display_release(screen.display_device);
    screen.display_device = nullptr;
}

void release_fonts() {
    release_font(screen.font_fixed);
    release_font(screen.font_medium);
    release_font(screen.font_large);
}
