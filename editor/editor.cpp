#include "editor/editor.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "display/layout.h"
#include "editor/prompt.h"
#include "input/mouse.h"
#include "platform/window.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "sound/sound.h"

namespace {

// The placing buttons (13, 14 and 15) place box 1, 2 or 3 until a right click.
bool placing_a_box() {
    const int mode = editor.edit_mode;
    return mode >= 1 && mode <= EDITOR_BUTTON_COUNT &&
           editor_buttons[mode].action == EditorAction::place_box;
}

// Box 1, 2 or 3: the placing buttons count in the bar's order.
int placed_box() {
    int box = 0;
    for (int mode = 1; mode <= editor.edit_mode; ++mode)
        box += editor_buttons[mode].action == EditorAction::place_box ? 1 : 0;
    return box;
}

// The editor off, with no prompt open and no button selected.
void switch_editor_off() {
    editor.editor_active = 0;
    editor.prompt_mode = 0;
    editor.status_lines_on = 0;
    editor.selected_edit_mode = 0;
}

// What every load and save of the show file clears.
void clear_editor_fields() {
    switch_editor_off();
    picture_table.new_file_number = 0;
}

void clear_typed_numbers() {
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
}

// The button's prompt opens with its field's value offered as its text.
void open_prompt(const EditorButton& button) {
    std::snprintf(editor.entry_text, sizeof editor.entry_text, "%d",
                  static_cast<int>(editor_field(button.line_fields[0])));
    editor.prompt_mode = button.prompt_kind;
    number_entry_key(0);
}

EditorClick leave_editor() {
    editor.editor_active = 0;
    editor.status_lines_on = 0;
    clear_typed_numbers();
    editor.selected_edit_mode = 0;
    editor.edit_mode = 0;
    editor.transition_on = 1;
    return EditorClick::present_and_wait;
}

EditorClick cancel_open_prompt() {
    editor.prompt_mode = 0;
    clear_typed_numbers();
    editor.selected_edit_mode = 0;
    editor.edit_mode = 0;
    return EditorClick::present_and_wait;
}

EditorClick place_box_at_pointer() {
    const int box = placed_box();
    box_x_column(box)[picture_table.current_picture] = pointer.pointer_x;
    box_y_column(box)[picture_table.current_picture] = pointer.pointer_y;
    present_edited_picture();
    return EditorClick::wait;
}

EditorClick propose_append(const EditorButton& button) {
    play_effect_sound(SOUND_CARRIED_OUT);
    picture_table.new_file_number = picture_table.pic_file[picture_table.picture_count];
    picture_table.current_picture = picture_table.picture_count;
    // The last picture is shown while the number still is its own file number.
    present_edited_picture();
    picture_table.new_file_number =
        static_cast<int32_t>(static_cast<uint32_t>(picture_table.new_file_number) + 1u);
    open_prompt(button);
    return EditorClick::wait;
}

EditorClick append_picture() {
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
    return EditorClick::present_and_wait;
}

EditorClick propose_exchange(const EditorButton& button) {
    play_effect_sound(SOUND_CARRIED_OUT);
    picture_table.exchange_file_number = picture_table.pic_file[picture_table.current_picture];
    open_prompt(button);
    return EditorClick::wait;
}

EditorClick exchange_picture() {
    picture_table.new_file_number = 0;
    if (picture_table.exchange_file_number > 0) {
        picture_table.pic_file[picture_table.current_picture] = picture_table.exchange_file_number;
        picture_table.exchange_file_number = 0;
    } else {
        play_effect_sound(SOUND_REFUSED);
    }
    return EditorClick::present_and_wait;
}

EditorClick change_slots(void (*operation)()) {
    clear_typed_numbers();
    play_effect_sound(SOUND_CARRIED_OUT);
    operation();
    return EditorClick::present_and_wait;
}

EditorClick toggle_mark() {
    clear_typed_numbers();
    uint8_t& mark = picture_table.pic_marked[picture_table.current_picture];
    mark = mark == 0 ? 1 : 0;
    return EditorClick::present_and_wait;
}

// Saving leaves the editor; save_show has cleared its fields already.
EditorClick save_and_leave() {
    clear_typed_numbers();
    build_show_file_name();
    if (save_show()) {
        editor.editor_active = 0;
        editor.status_lines_on = 0;
        editor.selected_edit_mode = 0;
        editor.transition_on = 1;
    }
    return EditorClick::present_and_wait;
}

EditorClick ask_number(const EditorButton& button) {
    play_effect_sound(SOUND_CARRIED_OUT);
    open_prompt(button);
    return EditorClick::wait;
}

EditorClick carry_out_edit_mode(int mode) {
    if (mode > 2) picture_table.new_file_number = 0;
    if (mode < 3) picture_table.exchange_file_number = 0;
    const EditorButton& button = editor_buttons[mode];
    switch (button.action) {
        case EditorAction::propose_append:
            return propose_append(button);
        case EditorAction::append:
            return append_picture();
        case EditorAction::propose_exchange:
            return propose_exchange(button);
        case EditorAction::exchange:
            return exchange_picture();
        case EditorAction::insert_slot:
            return change_slots(insert_picture_slot);
        case EditorAction::delete_slot:
            return change_slots(delete_picture_slot);
        case EditorAction::toggle_mark:
            return toggle_mark();
        case EditorAction::save:
            return save_and_leave();
        case EditorAction::ask_number:
            return ask_number(button);
        case EditorAction::place_box:
        case EditorAction::none:
            break;
    }
    return EditorClick::present_and_wait;  // placing a box is on from now
}

// The first click on a bar button selects it; a second click on it carries it out.
EditorClick dispatch_editor_bar() {
    const int button = layout::editor_button_at(pointer.pointer_x);
    editor.edit_mode = button;
    if (button != editor.selected_edit_mode) {
        play_effect_sound(SOUND_BUTTON_SELECTED);
        editor.selected_edit_mode = button;
        return EditorClick::present_and_wait;
    }
    return carry_out_edit_mode(button);
}

// One pixel further, with no limit but the integer range itself.
void nudge(int32_t& coordinate, int step) {
    coordinate =
        static_cast<int32_t>(std::clamp<int64_t>(int64_t{coordinate} + step, INT32_MIN, INT32_MAX));
}

}  // namespace

EditorClick editor_click() {
    if (pointer.mouse_click == 2) {
        if (!placing_a_box()) return leave_editor();
        editor.edit_mode = 0;  // position setting ends; the editor stays on
        return EditorClick::present_and_wait;
    }
    if (editor.prompt_mode != 0) return cancel_open_prompt();
    if (placing_a_box()) return place_box_at_pointer();
    if (layout::in_editor_bar(pointer.pointer_x, pointer.pointer_y)) return dispatch_editor_bar();
    return EditorClick::for_the_show;
}

void switch_editor_on() {
    // No transitions while editing: every edit shows its result at once.
    editor.editor_active = 1;
    editor.transition_on = 0;
    editor.status_lines_on = 1;
}

void leave_editor_for_menu() {
    switch_editor_off();
    editor.edit_mode = 0;
}

bool load_show() {
    clear_editor_fields();
    return load_show_file();
}

bool save_show() {
    clear_editor_fields();
    return save_show_file();
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
