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
    if (state.shown_box1 > 0) load_box(state.shown_box1, state.pic_box1_x[p], state.pic_box1_y[p]);
    if (state.shown_box2 > 0) load_box(state.shown_box2, state.pic_box2_x[p], state.pic_box2_y[p]);
    if (state.shown_box3 > 0) load_box(state.shown_box3, state.pic_box3_x[p], state.pic_box3_y[p]);
}

void draw_level_strip(int p) {
    if (state.pic_level[p] <= 0) return;
    const int level = std::min<int32_t>(state.pic_level[p], HIGHEST_LEVEL_STRIP);
    copy_rect(state.sheet_surface, 600, 16 * (level - 1), 200, 16, state.back_surface, 80, 50);
}

void draw_editor_bar() {
    copy_rect(state.sheet_surface, 0, 600, 400, 50, state.back_surface, 0, 700);
    copy_rect(state.sheet_surface, 0, 650, 400, 50, state.back_surface, 400, 700);
}

void draw_text_lines(int p, int32_t status) {
    DeviceContext dc = begin_text(state.back_surface);
    if (dc == nullptr) return;
    dc_select_font(dc, state.font_fixed);
    dc_set_text_color(dc, rgb(255, 255, 255));
    char line[LINE_SIZE];
    if (status == 1) {
        dc_select_font(dc, state.font_medium);
        format_status_line_1(line, p);
        draw_text_with_shadow(dc, 10, 6, line);
        format_status_line_2(line);
        draw_text_with_shadow(dc, 10, 24, line);
    }
    if (state.editor_active == 1) {
        dc_select_font(dc, state.font_medium);
        format_edit_mode_line(line);
        draw_text_with_shadow(dc, 10, 660, line);
    }
    end_text(state.back_surface, dc);
}

void play_one_time_sound() {
    if (state.one_time_sound_started == 1) {
        sound_command(4, 2);
        state.one_time_sound_started = 0;
    }
    const int c = state.current_picture;
    if (state.pic_wave[c] > 0 && state.pic_wave_played[c] == 0)
        play_picture_sound(state.pic_wave[c]);
}

}  // namespace

void format_status_line_1(char* line, int32_t picture) {
    std::snprintf(line, LINE_SIZE, "FILENR. %4d BILD %4d VON %4d BOX %4d * %4d * %4d",
                  state.pic_file[picture], state.current_picture, state.picture_count,
                  state.shown_box1, state.shown_box2, state.shown_box3);
}

void format_status_line_2(char* line) {
    const int c = state.current_picture;
    std::snprintf(line, LINE_SIZE, "X%4d Y%4d X%4d Y%4d X%4d Y%4d", state.pic_box1_x[c],
                  state.pic_box1_y[c], state.pic_box2_x[c], state.pic_box2_y[c],
                  state.pic_box3_x[c], state.pic_box3_y[c]);
}

void format_edit_mode_line(char* line) {
    const int mode = std::clamp<int32_t>(state.edit_mode, 0, 16);
    const char* format = edit_mode_formats[mode];
    const int c = state.current_picture;
    switch (mode) {
        case 0:
            std::snprintf(line, LINE_SIZE, "%s", format);
            break;
        case 1:
        case 2:
            std::snprintf(line, LINE_SIZE, format, mode, state.new_file_number);
            break;
        case 3:
            std::snprintf(line, LINE_SIZE, format, mode, state.exchange_file_number);
            break;
        case 4:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_file[c],
                          state.exchange_file_number);
            break;
        case 8:
            std::snprintf(line, LINE_SIZE, format, mode, state.show_file_name);
            break;
        case 9:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_wave[c]);
            break;
        case 10:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_box1[c]);
            break;
        case 11:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_level[c]);
            break;
        case 12:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_box2[c]);
            break;
        case 16:
            std::snprintf(line, LINE_SIZE, format, mode, state.pic_box3[c]);
            break;
        default:
            std::snprintf(line, LINE_SIZE, format, mode);
            break;
    }
}

void draw_nav_panel(uint8_t kind, int32_t x, int32_t y) {
    if (kind != 0) return;
    state.nav_panel_left = x;
    state.nav_panel_top = y;
    state.nav_panel_right = x + NAV_PANEL_WIDTH;
    state.nav_panel_bottom = y + NAV_PANEL_HEIGHT;
    // Button 1, the first 58 pixels, is left undrawn.
    copy_rect_keyed(state.sheet_surface, 40, 0, 174, 58, state.back_surface, x + NAV_BUTTON_WIDTH,
                    y);
}

void present_picture(int32_t picture, int32_t status, int32_t transition) {
    const int p = picture;
    state.shown_box1 = state.pic_box1[p];
    state.shown_box2 = state.pic_box2[p];
    state.shown_box3 = state.pic_box3[p];
    load_picture(1, state.pic_file[p], "-");
    copy_rect(state.picture_surface, 0, 0, 1024, 768, state.back_surface, 0, 0);
    draw_boxes(p);
    draw_level_strip(p);
    draw_nav_panel(0, NAV_PANEL_X, NAV_PANEL_Y);
    if (state.pic_marked[p] != 0)
        copy_rect_keyed(state.sheet_surface, 224, 50, 40, 18, state.back_surface, 870, 690);
    if (state.editor_active == 1) draw_editor_bar();
    draw_text_lines(p, status);
    if (transition == 0) {
        present_frame();
    } else {
        run_transition(transition);
    }
    state.pointer_saved = 0;
    play_one_time_sound();
}
