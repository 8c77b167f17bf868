#include "screens/menu.h"

#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/mouse.h"
#include "input/wait.h"
#include "show/picture_table.h"

namespace {

// The choice of a small button or a choice row at (x, y); 0 outside all of them.
int32_t menu_choice_at(int x, int y) {
    for (int button = 0; button < layout::MENU_BUTTONS; ++button)
        if (layout::menu_button(button).contains_strictly(x, y))
            return MENU_FIRST_BUTTON_CHOICE + button;
    if (layout::MENU_CHOICES.contains_strictly(x, y))
        return (y - layout::MENU_CHOICES.y) / layout::MENU_ROW_HEIGHT + 1;
    return 0;
}

void draw_menu() {
    load_picture(PictureSlot::picture, picture_table.pic_file[picture_table.current_picture]);
    copy_picture_to_back_surface();
    copy_sheet_region(layout::SHEET_MENU_PANEL, layout::MENU_PANEL_AT);
    present_frame();
}

}  // namespace

int32_t menu_screen(bool* editor_switch) {
    draw_menu();
    for (;;) {
        wait_for_click();
        if (screen.quit_requested != 0) return 0;
        // Of the show's keys, Escape goes back and Q quits; the others do nothing here.
        if (show_input.key == ShowKey::escape) return MENU_BACK;
        if (show_input.key == ShowKey::quit) return MENU_QUIT;
        if (pointer.mouse_click == 0) continue;
        if (pointer.mouse_click == 2) return MENU_BACK;
        if (layout::MENU_EDITOR_SWITCH.contains_strictly(pointer.pointer_x, pointer.pointer_y)) {
            *editor_switch = true;
            return MENU_BACK;
        }
        const int32_t choice = menu_choice_at(pointer.pointer_x, pointer.pointer_y);
        if (choice != 0) return choice;
    }
}
