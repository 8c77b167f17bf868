#include "editor/editor_state.h"

#include <algorithm>
#include <cstdio>

#include "screens/presentation.h"
#include "show/picture_table.h"

EditorState editor;

using F = EditorField;
using A = EditorAction;

const EditorButton editor_buttons[EDITOR_BUTTON_COUNT + 1] = {
    {"EDITMODUS W\xC4HLEN !", {}, 0, nullptr, A::none},
    {"EDITMODE %d NEUE BILDNUMMER %d ( F\xDCR ANH\xC4NGEN EINGEBEN )",
     {F::new_file_number},
     1,
     "MODUS 1 BILDNUMMER EINGEBEN ( NEUES BILD ANH\xC4NGEN )",
     A::propose_append},
    {"EDITMODE %d BILDNUMMER %d ANH\xC4NGEN !", {F::new_file_number}, 0, nullptr, A::append},
    {"EDITMODE %d BILDNUMMER %d ( AUSTAUSCHEN ) EINGEBEN",
     {F::exchange_file_number},
     2,
     "MODUS 2 BILDNUMMER EINGEBEN ( BILD AUSTAUSCHEN )",
     A::propose_exchange},
    {"EDITMODE %d BILD %d GEGNEN BILD NUMMER %d AUSTAUSCHEN",
     {F::file, F::exchange_file_number},
     0,
     nullptr,
     A::exchange},
    {"EDITMODE %d INSERT PLATZ SCHAFFEN", {}, 0, nullptr, A::insert_slot},
    {"EDITMODE %d", {}, 0, nullptr, A::delete_slot},
    {"EDITMODE %d MARKIEREN", {}, 0, nullptr, A::toggle_mark},
    {"EDITMODE %d SPEICHERN %s", {}, 0, nullptr, A::save},
    {"EDITMODE %d WAVENUMMER EINGEBEN ( %d )",
     {F::sound},
     3,
     "MODUS 3 WAVENUMMER EINGEBEN ( EINMALSOUND )",
     A::ask_number},
    {"EDITMODE %d BOXNUMMER EINGEBEN ( %d )",
     {F::box1},
     10,
     "MODUS 10 BOXNUMMER EINGEBEN ( AKTUELL )",
     A::ask_number},
    {"EDITMODE %d LEVELNR. EINGEBEN ( %d )",
     {F::level},
     11,
     "MODUS 11 LEVELNUMMER EINGEBEN ( AKTUELL )",
     A::ask_number},
    {"EDITMODE %d 2.BOXNUMMER EINGEBEN ( %d )",
     {F::box2},
     12,
     "MODUS 12 2. BOXNUMMER EINGEBEN",
     A::ask_number},
    {"EDITMODE %d BOX 1 POS", {}, 0, nullptr, A::place_box},
    {"EDITMODE %d BOX 2 POS", {}, 0, nullptr, A::place_box},
    {"EDITMODE %d BOX 3 POS", {}, 0, nullptr, A::place_box},
    {"EDITMODE %d 3.BOXNUMMER EINGEBEN ( %d )",
     {F::box3},
     16,
     "MODUS 16 3. BOXNUMMER EINGEBEN",
     A::ask_number},
};

const EditorButton* editor_button_of_prompt(uint8_t kind) {
    if (kind == 0) return nullptr;
    for (const EditorButton& button : editor_buttons)
        if (button.prompt_kind == kind) return &button;
    return nullptr;
}

int32_t& editor_field(EditorField field) {
    static int32_t nowhere;
    const int c = picture_table.current_picture;
    switch (field) {
        case F::new_file_number:
            return picture_table.new_file_number;
        case F::exchange_file_number:
            return picture_table.exchange_file_number;
        case F::file:
            return picture_table.pic_file[c];
        case F::sound:
            return picture_table.pic_wave[c];
        case F::box1:
            return picture_table.pic_box1[c];
        case F::level:
            return picture_table.pic_level[c];
        case F::box2:
            return picture_table.pic_box2[c];
        case F::box3:
            return picture_table.pic_box3[c];
        case F::none:
            break;
    }
    nowhere = 0;
    return nowhere;
}

void format_edit_mode_line(char* line) {
    const int mode = std::clamp<int32_t>(editor.edit_mode, 0, EDITOR_BUTTON_COUNT);
    const EditorButton& button = editor_buttons[mode];
    if (mode == 0) {
        std::snprintf(line, LINE_SIZE, "%s", button.line);
    } else if (button.action == EditorAction::save) {
        std::snprintf(line, LINE_SIZE, button.line, mode, picture_table.show_file_name);
    } else {
        // Lines with fewer numbers leave the extra arguments unused.
        std::snprintf(line, LINE_SIZE, button.line, mode, editor_field(button.line_fields[0]),
                      editor_field(button.line_fields[1]));
    }
}

namespace {

void present_with_editor_line(bool status_lines, bool transition) {
    if (editor.editor_active != 1) {
        present_picture(status_lines, transition);
        return;
    }
    char line[LINE_SIZE];
    format_edit_mode_line(line);
    present_picture(status_lines, transition, line);
}

}  // namespace

void present_current_picture() {
    present_with_editor_line(editor.status_lines_on != 0, editor.transition_on != 0);
}

void present_edited_picture() {
    present_with_editor_line(true, false);
}

void reset_prompt_state() {
    editor.prompt_mode = 0;
    editor.entry_max_length = 17;
}
