#include "app/message_pump.h"

#include "app/editor.h"
#include "app/shutdown.h"
#include "app/state.h"
#include "input/mouse.h"
#include "platform/window.h"
#include "screens/prompt.h"

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

}  // namespace

void wait_for_click() {
    while (screen.quit_requested == 0) {
        const int woke = wait_for_event_or_message(pointer.mouse_event);
        if (woke == WAIT_EVENT_SIGNALLED) {
            read_mouse();
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
            editor_arrow_key(wparam);
            break;
        case MESSAGE_CHAR:
            if (editor.prompt_mode != 0) number_entry_key(static_cast<uint8_t>(wparam & 0xFF));
            break;
        case MESSAGE_USER:
            update_mouse_acquire();
            break;
        default:
            break;
    }
    return default_window_procedure(window, message, wparam, lparam);
}
