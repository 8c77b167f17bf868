#include "app/program.h"

#include <algorithm>

#include "app/dispatch.h"
#include "app/message_pump.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "app/state.h"
#include "screens/layout.h"
#include "screens/menu.h"
#include "screens/presentation.h"
#include "sound/sound.h"

namespace {

Next open_menu() {
    editor.editor_active = 0;
    editor.prompt_mode = 0;
    editor.status_lines_on = 0;
    editor.selected_edit_mode = 0;
    editor.edit_mode = 0;
    screen.last_choice = menu_screen();
    if (screen.quit_requested != 0) return Next::ended;
    switch (screen.last_choice) {
        case MENU_QUIT:
            return Next::quit;
        case MENU_FIRST_PICTURE:
            picture_table.current_picture = picture_table.first_picture;
            break;
        case MENU_LAST_PICTURE:
            picture_table.current_picture = picture_table.picture_count;
            break;
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

Next show_dispatch() {
    if (pointer.mouse_click == 2) return open_menu();
    return dispatch_nav_panel();
}

// Returns the program's result once the user has quit or the window is gone.
int run_main_loop() {
    Next next = Next::present_and_wait;
    for (;;) {
        if (next == Next::present_and_wait)
            present_picture(editor.status_lines_on != 0, editor.transition_on != 0);
        wait_for_click();
        if (screen.quit_requested != 0) return screen.quit_exit_code;
        next = editor.editor_active == 1 ? editor_dispatch() : show_dispatch();
        if (next == Next::ended) return screen.quit_exit_code;
        if (next == Next::quit) {
            shutdown_all();
            return 0;
        }
    }
}

}  // namespace

int nav_panel_hit() {
    const int x = pointer.pointer_x, y = pointer.pointer_y;
    if (!(screen.nav_panel_left < x && x < screen.nav_panel_right && screen.nav_panel_top < y &&
          y < screen.nav_panel_bottom))
        return 0;
    const int button = (x - screen.nav_panel_left) / layout::NAV_BUTTON_WIDTH;
    return std::min(button, layout::NAV_BUTTONS - 1) + 1;
}

Next dispatch_nav_panel() {
    screen.last_choice = nav_panel_hit();
    switch (screen.last_choice) {
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

int program_main(InstanceHandle instance, int show_command) {
    if (!start_up(instance, show_command)) return 0;
    wait_for_click();  // the first click only ends the title
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
