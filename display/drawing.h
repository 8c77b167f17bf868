// Rectangle copies between surfaces, the flip, and text on a surface.
#pragma once

#include "platform/types.h"

// Copies (x, y, width, height) of source to (dest_x, dest_y) of dest; nothing when
// either surface is absent or the rectangle does not lie wholly inside both.
void copy_rect(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
               int dest_y);
// As copy_rect, leaving out the source's black pixels.
void copy_rect_keyed(Surface source, int x, int y, int width, int height, Surface dest, int dest_x,
                     int dest_y);
// Flips the back buffer to the screen; the saved pixels under the pointer are stale after it.
void present_frame();

// Borrows the surface's device context for text with a transparent background;
// nullptr when it cannot be had (no text then). Give it back with end_text before
// the surface takes part in any copy or flip.
DeviceContext begin_text(Surface surface);
void end_text(Surface surface, DeviceContext dc);
void draw_text(DeviceContext dc, FontHandle font, ColorRef color, int x, int y, const char* text);
// The text in a dark shadow one pixel right and down, then in white at its place,
// in the font already selected.
void draw_text_with_shadow(DeviceContext dc, int x, int y, const char* text);
