#include "app/message_pump.h"

#include <algorithm>
#include <climits>

#include "app/state.h"
#include "display/display.h"
#include "input/mouse.h"
#include "platform/window.h"
#include "screens/presentation.h"
#include "screens/prompt.h"
#include "show/picture_table.h"

namespace {

// Empties the queue; false once the quit request has been taken.
bool dispatch_queued_messages() {
    WindowMessage message;
    while (peek_message(&message) != 0) {
        if (message.message == MESSAGE_QUIT) {
            // The window's destruction has already shut everything down.
            screen.quit_requested = 1;
            screen.quit_exit_code = static_cast<int32_t>(message.wparam);
            pointer.mouse_click = 0;
            return false;
        }
        translate_message(&message);
        dispatch_message(&message);
    }
    return true;
}

bool placing_a_box() {
    return editor.edit_mode >= 13 && editor.edit_mode <= 15;
}

// One pixel further, with no limit but the integer range itself.
void nudge(int32_t& coordinate, int step) {
    coordinate =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{coordinate} + step, INT32_MIN, INT32_MAX));
}

void move_placed_box(uintptr_t key) {
    const int p = picture_table.current_picture;
    const int box = editor.edit_mode - 12;
    switch (key) {
        case KEY_LEFT:
            nudge(box_x_column(box)[p], -1);
            break;
        case KEY_UP:
            nudge(box_y_column(box)[p], -1);
            break;
        case KEY_RIGHT:
            nudge(box_x_column(box)[p], 1);
            break;
        case KEY_DOWN:
            nudge(box_y_column(box)[p], 1);
            break;
        default:
            return;  // every other key does nothing
    }
    present_picture(picture_table.current_picture, 1, 0);
}

}  // namespace

void wait_for_click() {
    while (screen.quit_requested == 0) {
        const int woke = wait_for_event_or_message(pointer.mouse_event);
        if (woke == WAIT_EVENT_SIGNALLED) {
            read_mouse(screen.main_window);
            draw_pointer();
            if (pointer.mouse_click > 0) return;
        } else if (woke == WAIT_MESSAGE_QUEUED) {
            if (!dispatch_queued_messages()) return;
        }
    }
}

intptr_t window_procedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                          intptr_t lparam) {
    screen.main_window = window;
    switch (message) {
        case MESSAGE_DESTROY:
            shutdown_all();
            post_quit_message(0);
            break;
        case MESSAGE_ACTIVATE:
            // A minimised window's activation carries a flag in the high word: inactive.
            pointer.app_active = wparam == ACTIVATE_ACTIVE || wparam == ACTIVATE_CLICK_ACTIVE;
            update_mouse_acquire();
            break;
        case MESSAGE_KEYDOWN:
            if (placing_a_box()) move_placed_box(wparam);
            break;
        case MESSAGE_CHAR:
            if (editor.prompt_mode != 0)
                number_entry_key(static_cast<uint8_t>(wparam & 0xFF), editor.prompt_mode);
            break;
        case MESSAGE_USER:
            update_mouse_acquire();
            break;
        default:
            break;
    }
    return default_window_procedure(window, message, wparam, lparam);
}
