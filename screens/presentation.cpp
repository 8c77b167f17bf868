#include "screens/presentation.h"

#include <algorithm>
#include <cstdio>

#include "app/state.h"
#include "display/bitmap_loader.h"
#include "display/drawing.h"
#include "platform/display.h"
#include "screens/menu.h"
#include "sound/sound.h"

namespace {

constexpr int NAV_PANEL_X = 782;
constexpr int NAV_PANEL_Y = 702;
constexpr int NAV_PANEL_WIDTH = 232;
constexpr int NAV_PANEL_HEIGHT = 58;
constexpr int NAV_BUTTON_WIDTH = 58;
constexpr int HIGHEST_LEVEL_STRIP = 48;

// The edit-mode line for each mode; %d first takes edit_mode itself (mode 0 has none).
const char* const edit_mode_formats[17] = {
    "EDITMODUS W\xC4HLEN !",
    "EDITMODE %d NEUE BILDNUMMER %d ( F\xDCR ANH\xC4NGEN EINGEBEN )",
    "EDITMODE %d BILDNUMMER %d ANH\xC4NGEN !",
    "EDITMODE %d BILDNUMMER %d ( AUSTAUSCHEN ) EINGEBEN",
    "EDITMODE %d BILD %d GEGNEN BILD NUMMER %d AUSTAUSCHEN",
    "EDITMODE %d INSERT PLATZ SCHAFFEN",
    "EDITMODE %d",
    "EDITMODE %d MARKIEREN",
    "EDITMODE %d SPEICHERN %s",
    "EDITMODE %d WAVENUMMER EINGEBEN ( %d )",
    "EDITMODE %d BOXNUMMER EINGEBEN ( %d )",
    "EDITMODE %d LEVELNR. EINGEBEN ( %d )",
    "EDITMODE %d 2.BOXNUMMER EINGEBEN ( %d )",
    "EDITMODE %d BOX 1 POS",
    "EDITMODE %d BOX 2 POS",
    "EDITMODE %d BOX 3 POS",
    "EDITMODE %d 3.BOXNUMMER EINGEBEN ( %d )",
};

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
    const int level = std::min<int32_t>(picture_table.pic_level[p], HIGHEST_LEVEL_STRIP);
    copy_rect(screen.sheet_surface, 600, 16 * (level - 1), 200, 16, screen.back_surface, 80, 50);
}

void draw_editor_bar() {
    copy_rect(screen.sheet_surface, 0, 600, 400, 50, screen.back_surface, 0, 700);
    copy_rect(screen.sheet_surface, 0, 650, 400, 50, screen.back_surface, 400, 700);
}

void draw_text_lines(int p, int32_t status) {
    DeviceContext dc = begin_text(screen.back_surface);
    if (dc == nullptr) return;
    dc_select_font(dc, screen.font_fixed);
    dc_set_text_color(dc, rgb(255, 255, 255));
    char line[LINE_SIZE];
    if (status == 1) {
        dc_select_font(dc, screen.font_medium);
        format_status_line_1(line, p);
        draw_text_with_shadow(dc, 10, 6, line);
        format_status_line_2(line);
        draw_text_with_shadow(dc, 10, 24, line);
    }
    if (editor.editor_active == 1) {
        dc_select_font(dc, screen.font_medium);
        format_edit_mode_line(line);
        draw_text_with_shadow(dc, 10, 660, line);
    }
    end_text(screen.back_surface, dc);
}

void play_one_time_sound() {
    if (picture_table.one_time_sound_started == 1) {
        sound_command(4, 2);
        picture_table.one_time_sound_started = 0;
    }
    const int c = picture_table.current_picture;
    if (picture_table.pic_wave[c] > 0 && picture_table.pic_wave_played[c] == 0)
        play_picture_sound(picture_table.pic_wave[c]);
}

}  // namespace

void format_status_line_1(char* line, int32_t picture) {
    std::snprintf(line, LINE_SIZE, "FILENR. %4d BILD %4d VON %4d BOX %4d * %4d * %4d",
                  picture_table.pic_file[picture], picture_table.current_picture,
                  picture_table.picture_count, picture_table.shown_box1, picture_table.shown_box2,
                  picture_table.shown_box3);
}

void format_status_line_2(char* line) {
    const int c = picture_table.current_picture;
    std::snprintf(line, LINE_SIZE, "X%4d Y%4d X%4d Y%4d X%4d Y%4d", picture_table.pic_box1_x[c],
                  picture_table.pic_box1_y[c], picture_table.pic_box2_x[c],
                  picture_table.pic_box2_y[c], picture_table.pic_box3_x[c],
                  picture_table.pic_box3_y[c]);
}

void format_edit_mode_line(char* line) {
    const int mode = std::clamp<int32_t>(editor.edit_mode, 0, 16);
    const char* format = edit_mode_formats[mode];
    const int c = picture_table.current_picture;
    switch (mode) {
        case 0:
            std::snprintf(line, LINE_SIZE, "%s", format);
            break;
        case 1:
        case 2:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.new_file_number);
            break;
        case 3:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.exchange_file_number);
            break;
        case 4:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_file[c],
                          picture_table.exchange_file_number);
            break;
        case 8:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.show_file_name);
            break;
        case 9:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_wave[c]);
            break;
        case 10:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_box1[c]);
            break;
        case 11:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_level[c]);
            break;
        case 12:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_box2[c]);
            break;
        case 16:
            std::snprintf(line, LINE_SIZE, format, mode, picture_table.pic_box3[c]);
            break;
        default:
            std::snprintf(line, LINE_SIZE, format, mode);
            break;
    }
}

void draw_nav_panel(uint8_t kind, int32_t x, int32_t y) {
    if (kind != 0) return;
    screen.nav_panel_left = x;
    screen.nav_panel_top = y;
    screen.nav_panel_right = x + NAV_PANEL_WIDTH;
    screen.nav_panel_bottom = y + NAV_PANEL_HEIGHT;
    // Button 1, the first 58 pixels, is left undrawn.
    copy_rect_keyed(screen.sheet_surface, 40, 0, 174, 58, screen.back_surface, x + NAV_BUTTON_WIDTH,
                    y);
}

void present_picture(int32_t picture, int32_t status, int32_t transition) {
    const int p = picture;
    picture_table.shown_box1 = picture_table.pic_box1[p];
    picture_table.shown_box2 = picture_table.pic_box2[p];
    picture_table.shown_box3 = picture_table.pic_box3[p];
    load_picture(1, picture_table.pic_file[p], "-");
    copy_rect(screen.picture_surface, 0, 0, 1024, 768, screen.back_surface, 0, 0);
    draw_boxes(p);
    draw_level_strip(p);
    draw_nav_panel(0, NAV_PANEL_X, NAV_PANEL_Y);
    if (picture_table.pic_marked[p] != 0)
        copy_rect_keyed(screen.sheet_surface, 224, 50, 40, 18, screen.back_surface, 870, 690);
    if (editor.editor_active == 1) draw_editor_bar();
    draw_text_lines(p, status);
    if (transition == 0) {
        present_frame();
    } else {
        run_transition(transition);
    }
    pointer.pointer_saved = 0;
    play_one_time_sound();
}
