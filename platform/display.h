// The full-screen display device, its surfaces, fonts and device contexts
// (DirectDraw and GDI on Windows). Results: RESULT_OK or a failure code.
#pragma once

#include <cstdint>

#include "platform/types.h"

int32_t display_create(DisplayDevice* device);
// Exclusive, full-screen cooperation for the window.
int32_t display_set_exclusive_fullscreen(DisplayDevice device, WindowHandle window);
int32_t display_set_mode(DisplayDevice device, int width, int height, int bits_per_pixel);
// The visible surface with one attached back buffer to flip with.
int32_t display_create_primary(DisplayDevice device, Surface* primary);
int32_t display_get_back_buffer(Surface primary, Surface* back);
// A plain off-screen surface in system memory, in the display mode's pixel format.
int32_t display_create_offscreen(DisplayDevice device, int width, int height, Surface* surface);
void display_release(DisplayDevice device);

// Black (low and high value 0) becomes the source colour key of the surface.
int32_t surface_set_black_color_key(Surface surface);
// Copies the rectangle (x, y, width, height) of source to (dest_x, dest_y) of dest,
// unscaled, waiting while the device is busy. A rectangle that does not lie wholly
// inside both surfaces copies nothing. keyed: leave out source pixels equal to the
// source's colour key.
int32_t surface_fast_copy(Surface dest, int dest_x, int dest_y, Surface source, int x, int y,
                          int width, int height, bool keyed);
// Brings the back buffer to the screen, waiting until the flip is accepted.
int32_t surface_flip(Surface primary);
int32_t surface_restore(Surface surface);
int32_t surface_get_size(Surface surface, int* width, int* height);
void surface_release(Surface surface);

// A device context lent by the surface; give it back before the surface is copied or flipped.
int32_t surface_get_dc(Surface surface, DeviceContext* dc);
void surface_release_dc(Surface surface, DeviceContext dc);

// Text on a device context (GDI: SetBkMode TRANSPARENT, SelectObject, SetTextColor, TextOutA).
void dc_set_transparent_background(DeviceContext dc);
void dc_select_font(DeviceContext dc, FontHandle font);
void dc_set_text_color(DeviceContext dc, ColorRef color);
// text: Windows-1252 bytes, length in bytes.
void dc_text_out(DeviceContext dc, int x, int y, const char* text, int length);

// The system's fixed-pitch stock font.
FontHandle font_stock_fixed();
// A bold (700), fixed-pitch, antialiased ANSI font of the given cell height.
FontHandle font_create(int height);
void font_delete(FontHandle font);
