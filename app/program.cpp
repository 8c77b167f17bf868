#include "app/program.h"

#include <algorithm>

#include "app/shutdown.h"
#include "app/startup.h"
#include "display/display.h"
#include "display/layout.h"
#include "editor/editor.h"
#include "input/mouse.h"
#include "input/wait.h"
#include "screens/menu.h"
#include "show/picture_table.h"
#include "sound/sound.h"

namespace {

// Where the main loop goes after a click.
enum class Next {
    present_and_wait,  // present the current picture again, then wait
    wait,              // wait for the next click without redrawing
    quit,              // the user chose to quit: shut down and end
    ended,             // the window is gone and everything already shut down
};

// The menu's first and last picture, and the keys Home and End.
Next go_to_picture(int32_t picture) {
    picture_table.current_picture = picture;
    return Next::present_and_wait;
}

Next open_menu() {
    leave_editor_for_menu();
    bool editor_switched_on = false;
    screen.last_choice = menu_screen(&editor_switched_on);
    if (editor_switched_on) switch_editor_on();
    if (screen.quit_requested != 0) return Next::ended;
    switch (screen.last_choice) {
        case MENU_QUIT:
            return Next::quit;
        case MENU_FIRST_PICTURE:
            return go_to_picture(picture_table.first_picture);
        case MENU_LAST_PICTURE:
            return go_to_picture(picture_table.picture_count);
        case MENU_MUSIC:
            toggle_background_sound();
            break;
        default:
            break;
    }
    return Next::present_and_wait;
}

// One step through the show, round from the last picture to the first and back.
Next step_picture(int direction) {
    picture_table.current_picture += direction;
    play_effect_sound(SOUND_PICTURE_CHANGED);
    if (picture_table.current_picture < picture_table.first_picture)
        picture_table.current_picture = picture_table.picture_count;
    if (picture_table.current_picture > picture_table.picture_count)
        picture_table.current_picture = picture_table.first_picture;
    return Next::present_and_wait;
}

// The navigation panel button under the pointer: 1..4, or 0 outside the panel.
int nav_panel_hit() {
    const int x = pointer.pointer_x, y = pointer.pointer_y;
    if (!(screen.nav_panel_left < x && x < screen.nav_panel_right && screen.nav_panel_top < y &&
          y < screen.nav_panel_bottom))
        return 0;
    const int button = (x - screen.nav_panel_left) / layout::NAV_BUTTON_WIDTH;
    return std::min(button, layout::NAV_BUTTONS - 1) + 1;
}

// The navigation panel's button (as the keys press it too): 1 redraws, 2 opens the
// menu, 3 and 4 step back and on; anything else is ignored.
Next press_nav_button(int button) {
    screen.last_choice = button;
    switch (button) {
        case 1:
            return Next::present_and_wait;
        case 2:
            return open_menu();
        case 3:
            return step_picture(-1);
        case 4:
            return step_picture(+1);
        default:
            return Next::wait;  // outside: ignored, nothing redrawn
    }
}

// A left click on the navigation panel (or anywhere else, which is ignored).
Next dispatch_nav_panel() {
    return press_nav_button(nav_panel_hit());
}

// A show key while the show is on the screen; the editor takes none.
Next dispatch_show_key(ShowKey key) {
    if (editor.editor_active == 1) return Next::wait;
    switch (key) {
        case ShowKey::next:
            return press_nav_button(4);
        case ShowKey::previous:
            return press_nav_button(3);
        case ShowKey::first:
            return go_to_picture(picture_table.first_picture);
        case ShowKey::last:
            return go_to_picture(picture_table.picture_count);
        case ShowKey::escape:
        case ShowKey::quit:
            return open_menu();
        case ShowKey::music:
            toggle_background_sound();
            return Next::wait;
        case ShowKey::none:
            break;
    }
    return Next::wait;
}

Next show_dispatch() {
    if (pointer.mouse_click == 2) return open_menu();
    return dispatch_nav_panel();
}

// The editor takes the clicks while it is on; those it leaves go to the show.
Next dispatch_click() {
    if (editor.editor_active != 1) return show_dispatch();
    switch (editor_click()) {
        case EditorClick::present_and_wait:
            return Next::present_and_wait;
        case EditorClick::wait:
            return Next::wait;
        case EditorClick::for_the_show:
            break;
    }
    return dispatch_nav_panel();
}

// Returns the program's result once the user has quit or the window is gone.
int run_main_loop() {
    Next next = Next::present_and_wait;
    for (;;) {
        if (next == Next::present_and_wait) present_current_picture();
        if (editor.editor_active == 1) {
            wait_for_click();
        } else {
            wait_for_click_or_delay();
        }
        if (screen.quit_requested != 0) return screen.quit_exit_code;
        next =
            show_input.key != ShowKey::none ? dispatch_show_key(show_input.key) : dispatch_click();
        if (next == Next::ended) return screen.quit_exit_code;
        if (next == Next::quit) {
            shutdown_all();
            return 0;
        }
    }
}

}  // namespace

int program_main(InstanceHandle instance, int show_command, ShowOptions options) {
    show_input.keys_on = options.keys ? 1 : 0;
    show_input.delay_ms = options.delay_ms;
    if (!start_up(instance, show_command)) return 0;
    wait_for_click_or_delay();  // the first click, key or delay only ends the title
    if (screen.quit_requested != 0) return screen.quit_exit_code;
    return run_main_loop();
}

int program_exit_status(int program_result) {
    return screen.display_ready == 1 ? program_result : 1;
}

const char* program_startup_failure_text() {
    if (screen.display_ready == 1 || screen.startup_error > 8) return nullptr;
    return startup_messages[screen.startup_error];
}

void reset_global_state() {
    picture_table = PictureTable{};
    editor = EditorState{};
    pointer = PointerState{};
    screen = ScreenState{};
    sound = SoundState{};
    show_input = ShowInput{};
}
