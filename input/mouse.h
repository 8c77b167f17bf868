// The buffered system mouse, the pointer position and button state, and the software
// pointer drawn straight onto the visible surface.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int MOUSE_BUFFER_EVENTS = 16;

// The mouse device and the software pointer.
struct PointerState {
    InstanceHandle instance_handle = nullptr;
    InputObject input_object = nullptr;
    MouseDevice mouse_device = nullptr;
    EventHandle mouse_event = nullptr;
    int32_t app_active = 0;
    int32_t mouse_x = 497;
    int32_t mouse_y = 369;
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
    int32_t pointer_limit_x = 1008;
    int32_t pointer_limit_y = 752;
    int32_t pointer_width = 16;
    int32_t pointer_height = 16;
    int32_t pointer_image_x = 0;
    int32_t pointer_image_y = 0;
    int32_t pointer_drawn_x = 0;
    int32_t pointer_drawn_y = 0;
    uint8_t pointer_saved = 0;
    uint8_t pointer_visible = 1;
    int32_t mouse_click = 0;
};

extern PointerState pointer;

// The device for the main window, buffered and signalling the mouse event; false on
// any failure, leaving what was made for release_mouse. It is not acquired yet.
bool init_mouse();
// The input object, the device and the event, each only when present.
void release_mouse();
// Acquires the device while the window is active, else gives it up.
void update_mouse_acquire();
// Reads buffered input up to and including the first button press. Lost input asks
// the main window, by a message, to acquire the device again.
void read_mouse();
// Relative device motion: two screen pixels per count, kept on the screen.
void move_pointer(int32_t dx, int32_t dy);
void draw_pointer();
// Flips the back buffer to the screen; the saved pixels under the pointer are stale after it.
void present_frame();
// Puts the saved background back where the pointer was drawn.
void erase_pointer();
