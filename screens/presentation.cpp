#include "screens/presentation.h"

#include <algorithm>
#include <cstdio>

#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/mouse.h"
#include "platform/display.h"
#include "screens/transition.h"
#include "show/picture_table.h"
#include "sound/sound.h"

namespace {

void draw_boxes(int p) {
    if (picture_table.shown_box1 > 0)
        load_box(picture_table.shown_box1, picture_table.pic_box1_x[p],
                 picture_table.pic_box1_y[p]);
    if (picture_table.shown_box2 > 0)
        load_box(picture_table.shown_box2, picture_table.pic_box2_x[p],
                 picture_table.pic_box2_y[p]);
    if (picture_table.shown_box3 > 0)
        load_box(picture_table.shown_box3, picture_table.pic_box3_x[p],
                 picture_table.pic_box3_y[p]);
}

void draw_level_strip(int p) {
    if (picture_table.pic_level[p] <= 0) return;
    const int level = std::min<int32_t>(picture_table.pic_level[p], layout::LEVEL_STRIPS);
    copy_sheet_region(layout::sheet_level_strip(level), layout::LEVEL_STRIP_AT);
}

void draw_editor_bar() {
    copy_sheet_region(layout::SHEET_BAR_LEFT, layout::BAR_LEFT_AT);
    copy_sheet_region(layout::SHEET_BAR_RIGHT, layout::BAR_RIGHT_AT);
}

void draw_text_lines(bool status_lines, const char* edit_line) {
    DeviceContext dc = begin_text(screen.back_surface);
    if (dc == nullptr) return;
    dc_select_font(dc, screen.font_fixed);
    dc_set_text_color(dc, rgb(255, 255, 255));
    char line[LINE_SIZE];
    if (status_lines) {
        dc_select_font(dc, screen.font_medium);
        format_status_line_1(line);
        draw_text_with_shadow(dc, layout::STATUS_LINE_1_AT, line);
        format_status_line_2(line);
        draw_text_with_shadow(dc, layout::STATUS_LINE_2_AT, line);
    }
    if (edit_line != nullptr) {
        dc_select_font(dc, screen.font_medium);
        draw_text_with_shadow(dc, layout::EDIT_MODE_LINE_AT, edit_line);
    }
    end_text(screen.back_surface, dc);
}

void play_one_time_sound() {
    if (picture_table.one_time_sound_started == 1) {
        sound_command(PICTURE_SOUND_CHANNEL, SOUND_COMMAND_STOP);
        picture_table.one_time_sound_started = 0;
    }
    const int c = picture_table.current_picture;
    if (picture_table.pic_wave[c] > 0 && picture_table.pic_wave_played[c] == 0)
        play_picture_sound(picture_table.pic_wave[c]);
}

}  // namespace

void format_status_line_1(char* line) {
    std::snprintf(line, LINE_SIZE, "FILENR. %4d BILD %4d VON %4d BOX %4d * %4d * %4d",
                  picture_table.pic_file[picture_table.current_picture],
                  picture_table.current_picture, picture_table.picture_count,
                  picture_table.shown_box1, picture_table.shown_box2, picture_table.shown_box3);
}

void format_status_line_2(char* line) {
    const int c = picture_table.current_picture;
    std::snprintf(line, LINE_SIZE, "X%4d Y%4d X%4d Y%4d X%4d Y%4d", picture_table.pic_box1_x[c],
                  picture_table.pic_box1_y[c], picture_table.pic_box2_x[c],
                  picture_table.pic_box2_y[c], picture_table.pic_box3_x[c],
                  picture_table.pic_box3_y[c]);
}

void draw_nav_panel() {
    const layout::Rect& panel = layout::NAV_PANEL;
    screen.nav_panel_left = panel.x;
    screen.nav_panel_top = panel.y;
    screen.nav_panel_right = panel.x + panel.width;
    screen.nav_panel_bottom = panel.y + panel.height;
    // Button 1, the first 58 pixels, is left undrawn.
    copy_sheet_region_keyed(layout::SHEET_NAV_BUTTONS, layout::NAV_BUTTONS_AT);
}

void present_picture(bool status_lines, bool transition, const char* edit_line) {
    const int p = picture_table.current_picture;
    picture_table.shown_box1 = picture_table.pic_box1[p];
    picture_table.shown_box2 = picture_table.pic_box2[p];
    picture_table.shown_box3 = picture_table.pic_box3[p];
    load_picture(PictureSlot::picture, picture_table.pic_file[p]);
    copy_picture_to_back_surface();
    draw_boxes(p);
    draw_level_strip(p);
    draw_nav_panel();
    if (picture_table.pic_marked[p] != 0)
        copy_sheet_region_keyed(layout::SHEET_MARK, layout::MARK_AT);
    if (edit_line != nullptr) draw_editor_bar();
    draw_text_lines(status_lines, edit_line);
    if (transition) {
        run_transition();
    } else {
        present_frame();
    }
    pointer.pointer_saved = 0;
    play_one_time_sound();
}
