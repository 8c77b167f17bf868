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
    editor.editor_active = 1;
    editor.transition_on = 0;
    editor.status_lines_on = 1;
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
    load_picture(1, picture_table.pic_file[picture_table.current_picture], "-");
    copy_rect(screen.picture_surface, 0, 0, 1024, 768, screen.back_surface, 0, 0);
    copy_rect(screen.sheet_surface, 0, 80, 600, 450, screen.back_surface, MENU_X, MENU_Y);
    present_frame();
    for (;;) {
        wait_for_click();
        if (screen.quit_requested != 0) return 0;
        if (pointer.mouse_click == 2) return MENU_BACK;
        if (in_editor_switch(pointer.pointer_x, pointer.pointer_y)) {
            switch_editor_on();
            return MENU_BACK;
        }
        const int32_t choice = menu_choice_at(pointer.pointer_x, pointer.pointer_y);
        if (choice != 0) return choice;
    }
}

void run_transition(int32_t) {
    pointer.pointer_visible = 0;
    erase_pointer();
    int left = 511;
    int right = 512;
    for (int step = 1; step <= COLUMN_STEPS; ++step) {
        copy_rect(screen.back_surface, left, 0, 1, 768, screen.front_surface, left, 0);
        --left;
        copy_rect(screen.back_surface, right, 0, 1, 768, screen.front_surface, right, 0);
        ++right;
        if (step % 8 == 0) pause_milliseconds(1);
    }
    pointer.pointer_visible = 1;
    pointer.pointer_saved = 0;
}
