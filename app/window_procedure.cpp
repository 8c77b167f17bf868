#include "app/window_procedure.h"

#include "app/shutdown.h"
#include "display/display.h"
#include "editor/editor.h"
#include "editor/prompt.h"
#include "input/mouse.h"
#include "input/show_keys.h"
#include "platform/window.h"

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
            // A show key ends the wait; the main loop leaves it to the editor while
            // the editor is on, where the keys keep their meaning.
            if (show_key_for_key(wparam) != ShowKey::none)
                show_input.key = show_key_for_key(wparam);
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
