// The editor's record, its sixteen buttons, and the picture as the editor shows it:
// with the editor bar and the selected button's line while the editor is on.
#pragma once

#include <cstdint>

constexpr int ENTRY_TEXT_SIZE = 32;  // room for entry_max_length characters and the NUL

// The editor and its number prompt, and how the main loop presents pictures while it
// is on or off. Signed 32-bit unless noted; flags are 0 or 1.
struct EditorState {
    int32_t editor_active = 0;
    int32_t edit_mode = 0;
    int32_t selected_edit_mode = 0;
    uint8_t prompt_mode = 0;
    char entry_text[ENTRY_TEXT_SIZE] = {};
    uint8_t entry_max_length = 17;
    uint8_t status_lines_on = 0;
    int32_t transition_on = 1;
};

extern EditorState editor;

// A number of the picture table that a button's line shows or its prompt asks for.
enum class EditorField : uint8_t {
    none,
    new_file_number,
    exchange_file_number,
    file,  // the current picture's file number
    sound,
    box1,
    level,
    box2,
    box3,
};

// What a button does when it is clicked a second time.
enum class EditorAction : uint8_t {
    none,
    propose_append,  // to the last picture, and ask for the number to append
    append,
    propose_exchange,  // ask for the number to put in place of the current picture
    exchange,
    insert_slot,
    delete_slot,
    toggle_mark,
    save,
    ask_number,  // ask for the number of the button's field
    place_box,   // place box 1, 2 or 3 until a right click
};

struct EditorButton {
    // The line above the bar while the button is selected: %d takes the button's
    // number, then the line's fields (or the show file's name for %s).
    const char* line;
    EditorField line_fields[2];
    // The prompt the button opens (its prompt_mode and text), 0 for none; the prompt
    // offers and takes the line's first field.
    uint8_t prompt_kind;
    const char* prompt;
    EditorAction action;
};

constexpr int EDITOR_BUTTON_COUNT = 16;
// Buttons 1 to 16; entry 0 is the line shown while none is selected.
extern const EditorButton editor_buttons[EDITOR_BUTTON_COUNT + 1];
// The button whose prompt is of this kind; nullptr for none.
const EditorButton* editor_button_of_prompt(uint8_t kind);

// The field in the picture table, for the current picture where it is a column.
int32_t& editor_field(EditorField field);

// The line of the selected edit mode, as it is drawn (Windows-1252), into a buffer of
// LINE_SIZE characters.
void format_edit_mode_line(char* line);

// Shows current_picture as the editor's record asks: status lines, transition, and the
// editor bar with its line while the editor is on.
void present_current_picture();
// As each step in the editor shows its result: status lines, plain flip.
void present_edited_picture();

// No prompt open; prompts take up to 17 characters.
void reset_prompt_state();
