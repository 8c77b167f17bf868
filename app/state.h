// The program's run-time state: five records, each named for the part of the program
// that owns it, every field alive for the whole run. Signed 32-bit unless noted; flags
// are 0 or 1.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int TABLE_SIZE = 500;      // entries 0..499 of every picture-table column
constexpr int MAX_PICTURES = 499;    // entries 1..499 form the show
constexpr int ENTRY_TEXT_SIZE = 32;  // room for entry_max_length characters and the NUL
constexpr int SHOW_FILE_NAME_SIZE = 16;
constexpr int SOUND_CHANNELS = 4;  // channels 1..4; index 0 unused

// The show script and what is shown of it (show/): fourteen parallel columns, the
// counters, and the numbers the editor's prompts collect for the table.
struct PictureTable {
    int32_t pic_file[TABLE_SIZE] = {};
    int32_t pic_box1[TABLE_SIZE] = {};
    int32_t pic_box1_x[TABLE_SIZE] = {};
    int32_t pic_box1_y[TABLE_SIZE] = {};
    int32_t pic_box2[TABLE_SIZE] = {};
    int32_t pic_box2_x[TABLE_SIZE] = {};
    int32_t pic_box2_y[TABLE_SIZE] = {};
    int32_t pic_box3[TABLE_SIZE] = {};
    int32_t pic_box3_x[TABLE_SIZE] = {};
    int32_t pic_box3_y[TABLE_SIZE] = {};
    int32_t pic_wave[TABLE_SIZE] = {};
    int32_t pic_level[TABLE_SIZE] = {};
    uint8_t pic_marked[TABLE_SIZE] = {};
    int32_t pic_wave_played[TABLE_SIZE] = {};

    int32_t first_picture = 1;
    int32_t picture_count = 1;
    int32_t current_picture = 1;
    int32_t shown_box1 = 0;
    int32_t shown_box2 = 0;
    int32_t shown_box3 = 0;
    int32_t default_box1_x = 100;
    int32_t default_box1_y = 100;
    int32_t one_time_sound_started = 0;
    int32_t new_file_number = 0;
    int32_t exchange_file_number = 0;
    uint8_t show_file_number = 1;
    char show_file_name[SHOW_FILE_NAME_SIZE] = {};
};

// The editor and its number prompt (app/editor, screens/prompt), and how the main
// loop presents pictures while it is on or off.
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

// The mouse device and the software pointer (input/).
struct PointerState {
    InstanceHandle instance_handle = nullptr;
    InputObject input_object = nullptr;
    MouseDevice mouse_device = nullptr;
    EventHandle mouse_event = nullptr;
    int32_t app_active = 0;
    int32_t mouse_x = 497;
    int32_t mouse_y = 369;
    int32_t pointer_x = 0;
    int32_t pointer_y = 0;
    int32_t pointer_limit_x = 1008;
    int32_t pointer_limit_y = 752;
    int32_t pointer_width = 16;
    int32_t pointer_height = 16;
    int32_t pointer_image_x = 0;
    int32_t pointer_image_y = 0;
    int32_t pointer_drawn_x = 0;
    int32_t pointer_drawn_y = 0;
    uint8_t pointer_saved = 0;
    uint8_t pointer_visible = 1;
    int32_t mouse_click = 0;
};

// The window, the display with its surfaces and fonts (display/), what the surfaces
// hold, and the screen's places that clicks are tested against.
struct ScreenState {
    WindowHandle main_window = nullptr;
    DisplayDevice display_device = nullptr;
    Surface front_surface = nullptr;
    Surface back_surface = nullptr;
    Surface sheet_surface = nullptr;
    Surface picture_surface = nullptr;
    Surface spare_surface = nullptr;
    FontHandle font_fixed = nullptr;
    FontHandle font_medium = nullptr;
    FontHandle font_large = nullptr;
    uint8_t startup_error = 0;
    // 1 once init_display has succeeded: tells a normal end from a failed start.
    uint8_t display_ready = 0;

    // Number last loaded into slot 0 (sheet) and slot 1 (picture) by the picture loader.
    int32_t loaded_number[2] = {0, 0};

    // The navigation panel as last drawn, and the last choice clicked on the panel
    // or in the menu.
    int32_t nav_panel_left = 0;
    int32_t nav_panel_top = 0;
    int32_t nav_panel_right = 0;
    int32_t nav_panel_bottom = 0;
    int32_t last_choice = 0;

    // Set when the pump has taken the window's quit request: the shutdown has already
    // run and nothing may wait on the mouse again.
    uint8_t quit_requested = 0;
    int32_t quit_exit_code = 0;
};

// The sound device, its four channels (sound/) and the background loop.
struct SoundState {
    int32_t sound_available = 0;
    SoundDevice sound_device = nullptr;
    SoundBuffer channel_buffer[SOUND_CHANNELS + 1] = {};
    int32_t channel_sound_number[SOUND_CHANNELS + 1] = {};
    int32_t music_number = 101;
    int32_t music_on = 1;
};

extern PictureTable picture_table;
extern EditorState editor;
extern PointerState pointer;
extern ScreenState screen;
extern SoundState sound;

// Puts every record back to its start values (a new run, or a test's clean slate).
void reset_global_state();
