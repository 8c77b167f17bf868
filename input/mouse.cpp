#include "input/mouse.h"

#include <algorithm>

#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/show_keys.h"
#include "platform/mouse.h"
#include "platform/window.h"

PointerState pointer;

namespace {

constexpr uint32_t input_version = 0x0500;
constexpr layout::Point SAVE_UNDER = layout::SHEET_POINTER_SAVE.at();

// Adds a doubled motion and keeps the result inside 0..limit-1; wide arithmetic, so
// no device value can overflow the position.
int32_t moved_and_clamped(int32_t position, int32_t delta, int32_t limit) {
    const int64_t moved = int64_t{position} + 2 * int64_t{delta};
    return static_cast<int32_t>(std::clamp<int64_t>(moved, 0, std::max(limit - 1, 0)));
}

// The device's results count as failures when negative.
bool failed(int32_t result) {
    return result < 0;
}

bool pressed(uint32_t data) {
    return (data & MOUSE_BUTTON_PRESSED) != 0;
}

}  // namespace

bool init_mouse() {
    if (failed(input_create(pointer.instance_handle, input_version, &pointer.input_object)))
        return false;
    if (failed(input_create_system_mouse(pointer.input_object, &pointer.mouse_device)))
        return false;
    if (failed(mouse_set_standard_format(pointer.mouse_device))) return false;
    if (failed(mouse_set_exclusive_foreground(pointer.mouse_device, screen.main_window)))
        return false;
    pointer.mouse_event = event_create();
    if (pointer.mouse_event == nullptr) return false;
    if (failed(mouse_set_event_notification(pointer.mouse_device, pointer.mouse_event)))
        return false;
    return !failed(mouse_set_buffer_size(pointer.mouse_device, MOUSE_BUFFER_EVENTS));
}

void release_mouse() {
    if (pointer.input_object != nullptr) input_release(pointer.input_object);
    pointer.input_object = nullptr;
    // Released without being unacquired first.
    if (pointer.mouse_device != nullptr) mouse_release(pointer.mouse_device);
    pointer.mouse_device = nullptr;
    if (pointer.mouse_event != nullptr) event_close(pointer.mouse_event);
    pointer.mouse_event = nullptr;
}

void update_mouse_acquire() {
    if (pointer.mouse_device == nullptr) return;
    if (pointer.app_active != 0) {
        mouse_acquire(pointer.mouse_device);
    } else {
        mouse_unacquire(pointer.mouse_device);
    }
}

void read_mouse() {
    pointer.mouse_click = 0;
    if (pointer.mouse_device == nullptr) return;
    // A press ends the batch: what follows it stays buffered for the next signal.
    while (pointer.mouse_click == 0) {
        uint32_t offset = 0, data = 0;
        const int outcome = mouse_take_event(pointer.mouse_device, &offset, &data);
        if (outcome == MOUSE_INPUT_LOST) {
            post_message(screen.main_window, MESSAGE_USER, 0, 0);
            return;
        }
        if (outcome != MOUSE_TOOK_EVENT) return;
        switch (offset) {
            case MOUSE_OFFSET_X:
                move_pointer(static_cast<int32_t>(data), 0);
                break;
            case MOUSE_OFFSET_Y:
                move_pointer(0, static_cast<int32_t>(data));
                break;
            case MOUSE_OFFSET_BUTTON0:
                if (pressed(data)) pointer.mouse_click = 1;
                break;
            case MOUSE_OFFSET_BUTTON1:
                if (pressed(data)) pointer.mouse_click = 2;
                break;
            case MOUSE_OFFSET_WHEEL:
                // With the show's keys on, a notch ends the batch as a press does.
                show_input.key = show_key_for_wheel(static_cast<int32_t>(data));
                if (show_input.key != ShowKey::none) return;
                break;
            default:
                break;  // buttons 2 and 3
        }
    }
}

void move_pointer(int32_t dx, int32_t dy) {
    pointer.mouse_x = moved_and_clamped(pointer.mouse_x, dx, pointer.pointer_limit_x);
    pointer.mouse_y = moved_and_clamped(pointer.mouse_y, dy, pointer.pointer_limit_y);
    pointer.pointer_x = pointer.mouse_x;
    pointer.pointer_y = pointer.mouse_y;
}

void draw_pointer() {
    if (pointer.pointer_visible == 1) {
        erase_pointer();
        copy_rect(screen.front_surface, pointer.pointer_x, pointer.pointer_y, pointer.pointer_width,
                  pointer.pointer_height, screen.sheet_surface, SAVE_UNDER.x, SAVE_UNDER.y);
        pointer.pointer_saved = 1;
        copy_rect_keyed(screen.sheet_surface, pointer.pointer_image_x, pointer.pointer_image_y,
                        pointer.pointer_width, pointer.pointer_height, screen.front_surface,
                        pointer.pointer_x, pointer.pointer_y);
    }
    pointer.pointer_drawn_x = pointer.pointer_x;
    pointer.pointer_drawn_y = pointer.pointer_y;
}

void erase_pointer() {
    if (pointer.pointer_saved != 1) return;
    copy_rect(screen.sheet_surface, SAVE_UNDER.x, SAVE_UNDER.y, pointer.pointer_width,
              pointer.pointer_height, screen.front_surface, pointer.pointer_drawn_x,
              pointer.pointer_drawn_y);
}

void present_frame() {
    flip_frame();
    pointer.pointer_saved = 0;
}
