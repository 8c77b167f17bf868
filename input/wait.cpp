#include "input/wait.h"

#include "display/display.h"
#include "input/mouse.h"
#include "platform/window.h"

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
        // One show key a wait: the keys behind it stay queued for the next.
        if (show_input.key != ShowKey::none) break;
    }
    return true;
}

// One wait, with the slideshow delay or without.
void wait(bool with_delay) {
    show_input.key = ShowKey::none;
    const bool timed = with_delay && show_input.delay_ms > 0;
    while (screen.quit_requested == 0) {
        const int woke = timed
                             ? wait_for_event_or_message_timeout(
                                   pointer.mouse_event, static_cast<uint32_t>(show_input.delay_ms))
                             : wait_for_event_or_message(pointer.mouse_event);
        if (woke == WAIT_EVENT_SIGNALLED) {
            read_mouse();
            draw_pointer();
            if (pointer.mouse_click > 0) return;
        } else if (woke == WAIT_MESSAGE_QUEUED) {
            if (!dispatch_queued_messages()) return;
        } else if (woke == WAIT_TIMED_OUT) {
            show_input.key = ShowKey::next;
        }
        if (show_input.key != ShowKey::none) return;
    }
}

}  // namespace

void wait_for_click() {
    wait(false);
}

void wait_for_click_or_delay() {
    wait(true);
}
