#include "screens/menu.h"

#include "app/message_pump.h"
#include "app/state.h"
#include "display/bitmap_loader.h"
#include "display/drawing.h"
#include "input/mouse.h"
#include "platform/window.h"

namespace {

constexpr int MENU_X = 100;
constexpr int MENU_Y = 100;
constexpr int COLUMN_STEPS = 512;

// Strictly between the bounds, as every hit area of the menu is.
bool inside(int value, int low, int high) {
    return low < value && value < high;
}

bool in_editor_switch(int x, int y) {
    return inside(x, 131, 151) && inside(y, 117, 125);
}

// No transitions while editing: every edit shows its result at once.
void switch_editor_on() {
    state.editor_active = 1;
    state.transition_on = 0;
    state.status_lines_on = 1;
}

// The choice of a button or a row at (x, y); 0 outside all of them.
int32_t menu_choice_at(int x, int y) {
    if (inside(y, 320, 370)) {
        if (inside(x, 120, 170)) return 100;
        if (inside(x, 170, 220)) return 101;
        if (inside(x, 220, 270)) return 102;
    }
    if (inside(x, 350, 680) && inside(y, 120, 370)) return (y - 120) / 50 + 1;
    return 0;
}

}  // namespace

int32_t menu_screen() {
    load_picture(1, state.pic_file[state.current_picture], "-");
    copy_rect(state.picture_surface, 0, 0, 1024, 768, state.back_surface, 0, 0);
    copy_rect(state.sheet_surface, 0, 80, 600, 450, state.back_surface, MENU_X, MENU_Y);
    present_frame();
    for (;;) {
        wait_for_click();
        if (state.quit_requested != 0) return 0;
        if (state.mouse_click == 2) return MENU_BACK;
        if (in_editor_switch(state.pointer_x, state.pointer_y)) {
            switch_editor_on();
            return MENU_BACK;
        }
        const int32_t choice = menu_choice_at(state.pointer_x, state.pointer_y);
        if (choice != 0) return choice;
    }
}

void run_transition(int32_t) {
    state.pointer_visible = 0;
    erase_pointer();
    int left = 511;
    int right = 512;
    for (int step = 1; step <= COLUMN_STEPS; ++step) {
        copy_rect(state.back_surface, left, 0, 1, 768, state.front_surface, left, 0);
        --left;
        copy_rect(state.back_surface, right, 0, 1, 768, state.front_surface, right, 0);
        ++right;
        if (step % 8 == 0) pause_milliseconds(1);
    }
    state.pointer_visible = 1;
    state.pointer_saved = 0;
}
