#include "app/program.h"

#include <cstdio>

#include "app/message_pump.h"
#include "app/state.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "screens/menu.h"
#include "screens/presentation.h"
#include "screens/prompt.h"
#include "screens/title.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "sound/sound.h"

namespace {

constexpr int32_t TITLE_PICTURE = 2;
constexpr int32_t SHEET_PICTURE = 1;
constexpr int32_t FALLBACK_PICTURE_FILE = 100;

// Click sounds in the effect pool.
constexpr int32_t SOUND_BUTTON_SELECTED = 4;
constexpr int32_t SOUND_REFUSED = 5;
constexpr int32_t SOUND_CARRIED_OUT = 6;
constexpr int32_t SOUND_PICTURE_CHANGED = 7;

// Sound channel commands.
constexpr int32_t MUSIC_CHANNEL = 1;
constexpr int32_t COMMAND_STOP = 2;
constexpr int32_t COMMAND_PLAY_LOOPING = 1;

// Where the main loop goes after dispatching a click.
enum class Next { present_and_wait, wait, quit, ended };

bool in_editor_bar(int x, int y) {
    return y >= 701 && y <= 749 && x <= 799;
}
bool placing_a_box() {
    return editor.edit_mode >= 13 && editor.edit_mode <= 15;
}

void set_entry_text(int32_t value) {
    std::snprintf(editor.entry_text, sizeof editor.entry_text, "%d", static_cast<int>(value));
}

void open_prompt(uint8_t kind, int32_t offered_value) {
    set_entry_text(offered_value);
    editor.prompt_mode = kind;
    number_entry_key(0, kind);
}

void clear_typed_numbers() {
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
}

void start_background_sound() {
    sound.music_on = 1;
    sound.music_number = 101;
    sound_command(MUSIC_CHANNEL, COMMAND_STOP);
    load_channel_sound(MUSIC_CHANNEL, sound.music_number);
    sound_command(MUSIC_CHANNEL, COMMAND_PLAY_LOOPING);
}

void toggle_background_sound() {
    if (sound.music_on == 1) {
        sound_command(MUSIC_CHANNEL, COMMAND_STOP);
        sound.music_on = 0;
    } else {
        sound.music_on = 1;
        load_channel_sound(MUSIC_CHANNEL, sound.music_number);
        sound_command(MUSIC_CHANNEL, COMMAND_PLAY_LOOPING);
    }
}

void set_up_pointer() {
    pointer.pointer_width = 16;
    pointer.pointer_height = 16;
    pointer.pointer_image_x = 0;
    pointer.pointer_image_y = 0;
    pointer.pointer_limit_x = 1024 - 16;
    pointer.pointer_limit_y = 768 - 16;
    pointer.pointer_saved = 0;
    pointer.pointer_visible = 1;
    pointer.pointer_x = 0;
    pointer.pointer_y = 0;
}

void set_up_editor() {
    editor.transition_on = 1;
    editor.status_lines_on = 0;
    editor.editor_active = 0;
    editor.selected_edit_mode = 0;
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
    picture_table.default_box1_x = 100;
    picture_table.default_box1_y = 100;
}

// The show a fresh machine runs when no show file can be read: one picture, file 100.
void set_up_picture_table() {
    init_picture_table();
    picture_table.first_picture = 1;
    picture_table.picture_count = 1;
    picture_table.current_picture = 1;
    picture_table.shown_box1 = picture_table.shown_box2 = picture_table.shown_box3 = 0;
    picture_table.pic_file[1] = FALLBACK_PICTURE_FILE;
    picture_table.show_file_number = 1;
    build_show_file_name();
    load_show_file();
}

// --- the menu ---

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

// --- the show: navigation panel ---

Next step_picture(int direction) {
    picture_table.current_picture += direction;
    play_effect_sound(SOUND_PICTURE_CHANGED);
    if (picture_table.current_picture < picture_table.first_picture)
        picture_table.current_picture = picture_table.picture_count;
    if (picture_table.current_picture > picture_table.picture_count)
        picture_table.current_picture = picture_table.first_picture;
    return Next::present_and_wait;
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

Next show_dispatch() {
    if (pointer.mouse_click == 2) return open_menu();
    return dispatch_nav_panel();
}

// --- the editor ---

Next leave_editor() {
    editor.editor_active = 0;
    editor.status_lines_on = 0;
    clear_typed_numbers();
    editor.selected_edit_mode = 0;
    editor.edit_mode = 0;
    editor.transition_on = 1;
    return Next::present_and_wait;
}

Next cancel_open_prompt() {
    editor.prompt_mode = 0;
    clear_typed_numbers();
    editor.selected_edit_mode = 0;
    editor.edit_mode = 0;
    return Next::present_and_wait;
}

Next place_box_at_pointer() {
    const int box = editor.edit_mode - 12;
    box_x_column(box)[picture_table.current_picture] = pointer.pointer_x;
    box_y_column(box)[picture_table.current_picture] = pointer.pointer_y;
    present_picture(picture_table.current_picture, 1, 0);
    return Next::wait;
}

Next propose_append() {
    play_effect_sound(SOUND_CARRIED_OUT);
    picture_table.new_file_number = picture_table.pic_file[picture_table.picture_count];
    picture_table.current_picture = picture_table.picture_count;
    // The last picture is shown while the number still is its own file number.
    present_picture(picture_table.current_picture, 1, 0);
    picture_table.new_file_number =
        static_cast<int32_t>(static_cast<uint32_t>(picture_table.new_file_number) + 1u);
    open_prompt(PROMPT_APPEND_NUMBER, picture_table.new_file_number);
    return Next::wait;
}

Next append_picture() {
    if (picture_table.new_file_number > 0) {
        if (picture_table.picture_count + 1 < TABLE_SIZE) {
            picture_table.picture_count += 1;
            picture_table.pic_file[picture_table.picture_count] = picture_table.new_file_number;
            picture_table.current_picture = picture_table.picture_count;
        }
        clear_typed_numbers();
    } else {
        play_effect_sound(SOUND_REFUSED);
    }
    return Next::present_and_wait;
}

Next propose_exchange() {
    play_effect_sound(SOUND_CARRIED_OUT);
    picture_table.exchange_file_number = picture_table.pic_file[picture_table.current_picture];
    open_prompt(PROMPT_EXCHANGE_NUMBER, picture_table.exchange_file_number);
    return Next::wait;
}

Next exchange_picture() {
    picture_table.new_file_number = 0;
    if (picture_table.exchange_file_number > 0) {
        picture_table.pic_file[picture_table.current_picture] = picture_table.exchange_file_number;
        picture_table.exchange_file_number = 0;
    } else {
        play_effect_sound(SOUND_REFUSED);
    }
    return Next::present_and_wait;
}

Next change_slots(void (*operation)()) {
    clear_typed_numbers();
    play_effect_sound(SOUND_CARRIED_OUT);
    operation();
    return Next::present_and_wait;
}

Next toggle_mark() {
    clear_typed_numbers();
    uint8_t& mark = picture_table.pic_marked[picture_table.current_picture];
    mark = mark == 0 ? 1 : 0;
    return Next::present_and_wait;
}

Next save_show() {
    clear_typed_numbers();
    build_show_file_name();
    if (save_show_file() == 0) {
        editor.editor_active = 0;
        editor.status_lines_on = 0;
        editor.selected_edit_mode = 0;
        editor.transition_on = 1;
    }
    return Next::present_and_wait;
}

Next edit_column_by_prompt(uint8_t kind, const int32_t* column) {
    play_effect_sound(SOUND_CARRIED_OUT);
    open_prompt(kind, column[picture_table.current_picture]);
    return Next::wait;
}

Next carry_out_edit_mode(int mode) {
    if (mode > 2) picture_table.new_file_number = 0;
    if (mode < 3) picture_table.exchange_file_number = 0;
    switch (mode) {
        case 1:
            return propose_append();
        case 2:
            return append_picture();
        case 3:
            return propose_exchange();
        case 4:
            return exchange_picture();
        case 5:
            return change_slots(insert_picture_slot);
        case 6:
            return change_slots(delete_picture_slot);
        case 7:
            return toggle_mark();
        case 8:
            return save_show();
        case 9:
            return edit_column_by_prompt(PROMPT_SOUND, picture_table.pic_wave);
        case 10:
            return edit_column_by_prompt(PROMPT_BOX1, picture_table.pic_box1);
        case 11:
            return edit_column_by_prompt(PROMPT_LEVEL, picture_table.pic_level);
        case 12:
            return edit_column_by_prompt(PROMPT_BOX2, picture_table.pic_box2);
        case 16:
            return edit_column_by_prompt(PROMPT_BOX3, picture_table.pic_box3);
        default:
            return Next::present_and_wait;  // 13..15: position setting is on
    }
}

// The first click on a bar button selects it; a second click on it carries it out.
Next dispatch_editor_bar() {
    const int button = pointer.pointer_x / 50 + 1;
    editor.edit_mode = button;
    if (button != editor.selected_edit_mode) {
        play_effect_sound(SOUND_BUTTON_SELECTED);
        editor.selected_edit_mode = button;
        return Next::present_and_wait;
    }
    return carry_out_edit_mode(button);
}

Next editor_dispatch() {
    if (pointer.mouse_click == 2) {
        if (!placing_a_box()) return leave_editor();
        editor.edit_mode = 0;  // position setting ends; the editor stays on
        return Next::present_and_wait;
    }
    if (editor.prompt_mode != 0) return cancel_open_prompt();
    if (placing_a_box()) return place_box_at_pointer();
    if (in_editor_bar(pointer.pointer_x, pointer.pointer_y)) return dispatch_editor_bar();
    return dispatch_nav_panel();
}

// Returns the program's result once the user has quit or the window is gone.
int run_main_loop() {
    Next next = Next::present_and_wait;
    for (;;) {
        if (next == Next::present_and_wait)
            present_picture(picture_table.current_picture, editor.status_lines_on,
                            editor.transition_on);
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
    int button = (x - screen.nav_panel_left) / 58;
    if (button > 3) button = 3;
    return button + 1;
}

void reset_prompt_state() {
    editor.prompt_mode = 0;
    editor.entry_max_length = 17;
}

int program_main(InstanceHandle instance, int show_command) {
    pointer.instance_handle = instance;
    if (init_display(instance, show_command) == 0) return 0;
    screen.display_ready = 1;
    sound_init(1);
    set_up_pointer();
    editor.entry_text[0] = '\0';
    editor.prompt_mode = 0;
    screen.loaded_number[0] = screen.loaded_number[1] = 0;
    load_picture(0, SHEET_PICTURE, "-");
    reset_prompt_state();
    set_up_editor();
    set_up_picture_table();
    start_background_sound();
    show_title_screen(TITLE_PICTURE);
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
