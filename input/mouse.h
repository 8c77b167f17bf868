// The buffered system mouse, the pointer position and button state, and the software
// pointer drawn straight onto the visible surface.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int MOUSE_BUFFER_EVENTS = 16;
// The pointer's save-under area on the sheet surface.
constexpr int POINTER_SAVE_X = 0;
constexpr int POINTER_SAVE_Y = 40;

// 1 when the device is ready (not yet acquired), 0 on any failure.
int init_mouse(WindowHandle window);
// Acquires the device while the window is active, else gives it up.
void update_mouse_acquire();
// Reads buffered input up to and including the first button press.
void read_mouse(WindowHandle window);
// Relative device motion: two screen pixels per count, kept on the screen.
void move_pointer(int32_t dx, int32_t dy);
void draw_pointer();
// Puts the saved background back where the pointer was drawn.
void erase_pointer();
