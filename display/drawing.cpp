#include "display/drawing.h"

#include <cstring>

#include "display/display.h"
#include "platform/display.h"

namespace {

constexpr ColorRef shadow_color = rgb(10, 0, 0);
constexpr ColorRef white = rgb(255, 255, 255);

void text_out(DeviceContext dc, int x, int y, const char* text) {
    dc_text_out(dc, x, y, text, static_cast<int>(std::strlen(text)));
}

}  // namespace

void copy_rect(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
               int dest_y) {
    if (source == nullptr || dest == nullptr) return;
    surface_fast_copy(dest, dest_x, dest_y, source, x, y, width, height, false);
}

void copy_rect_keyed(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
                     int dest_y) {
    if (source == nullptr || dest == nullptr) return;
    surface_fast_copy(dest, dest_x, dest_y, source, x, y, width, height, true);
}

void copy_picture_to_back_surface() {
    const layout::Rect& all = layout::WHOLE_SCREEN;
    copy_rect(screen.picture_surface, all.x, all.y, all.width, all.height, screen.back_surface,
              all.x, all.y);
}

void copy_sheet_region(const layout::Rect& region, layout::Point at) {
    copy_rect(screen.sheet_surface, region.x, region.y, region.width, region.height,
              screen.back_surface, at.x, at.y);
}

void copy_sheet_region_keyed(const layout::Rect& region, layout::Point at) {
    copy_rect_keyed(screen.sheet_surface, region.x, region.y, region.width, region.height,
                    screen.back_surface, at.x, at.y);
}

void flip_frame() {
    if (screen.front_surface != nullptr) surface_flip(screen.front_surface);
}

DeviceContext begin_text(Surface surface) {
    DeviceContext dc = nullptr;
    if (surface == nullptr || surface_get_dc(surface, &dc) != RESULT_OK) return nullptr;
    dc_set_transparent_background(dc);
    return dc;
}

void end_text(Surface surface, DeviceContext dc) {
    surface_release_dc(surface, dc);
}

void draw_text(DeviceContext dc, FontHandle font, ColorRef color, layout::Point at,
               const char* text) {
    dc_select_font(dc, font);
    dc_set_text_color(dc, color);
    text_out(dc, at.x, at.y, text);
}

void draw_text_with_shadow(DeviceContext dc, layout::Point at, const char* text) {
    dc_set_text_color(dc, shadow_color);
    text_out(dc, at.x + 1, at.y + 1, text);
    dc_set_text_color(dc, white);
    text_out(dc, at.x, at.y, text);
}
