#include "app/editor.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "app/dispatch.h"
#include "app/state.h"
#include "platform/window.h"
#include "screens/layout.h"
#include "screens/presentation.h"
#include "screens/prompt.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "sound/sound.h"

namespace {

// Buttons 13, 14 and 15 place box 1, 2 or 3 until a right click.
constexpr int FIRST_PLACING_MODE = 13;
constexpr int LAST_PLACING_MODE = 15;

bool placing_a_box() {
    return editor.edit_mode >= FIRST_PLACING_MODE && editor.edit_mode <= LAST_PLACING_MODE;
}

int placed_box() {
    return editor.edit_mode - (FIRST_PLACING_MODE - 1);
}

void clear_typed_numbers() {
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
}

// The prompt opens with the value offered as its text.
void open_prompt(uint8_t kind, int32_t offered_value) {
    std::snprintf(editor.entry_text, sizeof editor.entry_text, "%d",
                  static_cast<int>(offered_value));
    editor.prompt_mode = kind;
    number_entry_key(0);
}

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
    const int box = placed_box();
    box_x_column(box)[picture_table.current_picture] = pointer.pointer_x;
    box_y_column(box)[picture_table.current_picture] = pointer.pointer_y;
    present_edited_picture();
    return Next::wait;
}

Next propose_append() {
    play_effect_sound(SOUND_CARRIED_OUT);
    picture_table.new_file_number = picture_table.pic_file[picture_table.picture_count];
    picture_table.current_picture = picture_table.picture_count;
    // The last picture is shown while the number still is its own file number.
    present_edited_picture();
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

// Saving leaves the editor; the show file has cleared its fields already.
Next save_show() {
    clear_typed_numbers();
    build_show_file_name();
    if (save_show_file()) {
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
    const int button = layout::editor_button_at(pointer.pointer_x);
    editor.edit_mode = button;
    if (button != editor.selected_edit_mode) {
        play_effect_sound(SOUND_BUTTON_SELECTED);
        editor.selected_edit_mode = button;
        return Next::present_and_wait;
    }
    return carry_out_edit_mode(button);
}

// One pixel further, with no limit but the integer range itself.
void nudge(int32_t& coordinate, int step) {
    coordinate =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{coordinate} + step, INT32_MIN, INT32_MAX));
}

}  // namespace

Next editor_dispatch() {
    if (pointer.mouse_click == 2) {
        if (!placing_a_box()) return leave_editor();
        editor.edit_mode = 0;  // position setting ends; the editor stays on
        return Next::present_and_wait;
    }
    if (editor.prompt_mode != 0) return cancel_open_prompt();
    if (placing_a_box()) return place_box_at_pointer();
    if (layout::in_editor_bar(pointer.pointer_x, pointer.pointer_y)) return dispatch_editor_bar();
    return dispatch_nav_panel();
}

void reset_prompt_state() {
    editor.prompt_mode = 0;
    editor.entry_max_length = 17;
}

void editor_arrow_key(uintptr_t key) {
    if (!placing_a_box()) return;
    const int p = picture_table.current_picture;
    const int box = placed_box();
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
    present_edited_picture();
}
