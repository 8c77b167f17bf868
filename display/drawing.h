// Rectangle copies between surfaces, the flip, and text on a surface.
#pragma once

#include "display/layout.h"
#include "platform/types.h"

// Copies (x, y, width, height) of source to (dest_x, dest_y) of dest; nothing when
// either surface is absent or the rectangle does not lie wholly inside both.
void copy_rect(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
               int dest_y);
// As copy_rect, leaving out the source's black pixels.
void copy_rect_keyed(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
                     int dest_y);
// Every frame starts as the whole picture surface, copied to the back surface.
void copy_picture_to_back_surface();
// A region of the graphics sheet onto the back surface, opaque or without its black.
void copy_sheet_region(const layout::Rect& region, layout::Point at);
void copy_sheet_region_keyed(const layout::Rect& region, layout::Point at);
// Flips the back buffer to the screen (present_frame, in input/, also forgets what was
// under the pointer).
void flip_frame();

// Borrows the surface's device context for text with a transparent background;
// nullptr when it cannot be had (no text then). Give it back with end_text before
// the surface takes part in any copy or flip.
DeviceContext begin_text(Surface surface);
void end_text(Surface surface, DeviceContext dc);
void draw_text(DeviceContext dc, FontHandle font, ColorRef color, layout::Point at,
               const char* text);
// The text in a dark shadow one pixel right and down, then in white at its place,
// in the font already selected.
void draw_text_with_shadow(DeviceContext dc, layout::Point at, const char* text);
