#include "editor/prompt.h"

#include <climits>
#include <cstring>

#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "editor/editor_state.h"
#include "platform/window.h"
#include "show/picture_table.h"

namespace {

constexpr uint8_t CHAR_SPACE = 32;

const char* prompt_text(uint8_t kind) {
    const EditorButton* button = editor_button_of_prompt(kind);
    return button != nullptr ? button->prompt : "";
}

// Digits, the bytes 65..122 (letters and the six between them) and the umlauts.
bool takes_character(uint8_t key) {
    if (key >= '0' && key <= '9') return true;
    if (key >= 65 && key <= 122) return true;
    switch (key) {
        case 0xC4:
        case 0xD6:
        case 0xDC:
        case 0xE4:
        case 0xF6:
        case 0xFC:
            return true;
        default:
            return false;
    }
}

void store_entry(uint8_t kind, int32_t value) {
    const EditorButton* button = editor_button_of_prompt(kind);
    if (button != nullptr) editor_field(button->line_fields[0]) = value;
}

void cancel_prompt() {
    editor.prompt_mode = 0;
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
    present_edited_picture();
}

void accept_prompt() {
    const uint8_t kind = editor.prompt_mode;
    editor.prompt_mode = 0;
    store_entry(kind, entry_text_value(editor.entry_text));
    present_edited_picture();
}

// The text never outgrows its buffer, whatever the limit says.
size_t entry_limit() {
    return editor.entry_max_length < ENTRY_TEXT_SIZE - 1 ? editor.entry_max_length
                                                         : ENTRY_TEXT_SIZE - 1;
}

// Straight onto the visible surface, over the presented frame.
void draw_prompt() {
    const layout::Rect& area = layout::PROMPT_AREA;
    copy_rect(screen.picture_surface, area.x, area.y, area.width, area.height, screen.front_surface,
              area.x, area.y);
    DeviceContext dc = begin_text(screen.front_surface);
    if (dc == nullptr) return;
    const char* text = prompt_text(editor.prompt_mode);
    if (text[0] != '\0')
        draw_text(dc, screen.font_fixed, rgb(200, 100, 100), layout::PROMPT_TEXT_AT, text);
    char shown[ENTRY_TEXT_SIZE + 1];
    std::strcpy(shown, editor.entry_text);
    std::strcat(shown, "_");
    draw_text(dc, screen.font_large, rgb(255, 255, 255), layout::PROMPT_ENTRY_AT, shown);
    end_text(screen.front_surface, dc);
}

}  // namespace

int32_t entry_text_value(const char* text) {
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    int64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > int64_t{INT32_MAX} + 1) break;  // already beyond the range
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void number_entry_key(uint8_t key) {
    size_t length = std::strlen(editor.entry_text);
    bool add = false;
    switch (key) {
        case CHAR_RETURN:
            if (length == 0) {
                cancel_prompt();
            } else {
                accept_prompt();
            }
            return;
        case CHAR_ESCAPE:
            cancel_prompt();
            return;
        case CHAR_BACKSPACE:
            if (length > 0) editor.entry_text[--length] = '\0';
            break;
        case CHAR_TAB:
            editor.entry_text[0] = '\0';
            length = 0;
            break;
        case CHAR_SPACE:
            add = length >= 2;
            break;
        default:
            add = takes_character(key);
            break;
    }
    if (length >= entry_limit()) return;
    if (add) {
        editor.entry_text[length] = static_cast<char>(key);
        editor.entry_text[length + 1] = '\0';
    }
    draw_prompt();
}
