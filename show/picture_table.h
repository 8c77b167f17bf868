// The picture table: the show script held in fourteen parallel columns of 500 entries,
// what is shown of it, and the two operations that open and close slots. Signed 32-bit
// unless noted; flags are 0 or 1.
#pragma once

#include <cstdint>

constexpr int TABLE_SIZE = 500;    // entries 0..499 of every picture-table column
constexpr int MAX_PICTURES = 499;  // entries 1..499 form the show
constexpr int SHOW_FILE_NAME_SIZE = 16;

// The show script and what is shown of it: fourteen parallel columns, the counters,
// and the numbers the editor's prompts collect for the table.
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

extern PictureTable picture_table;

// Every column of all 500 entries to its default; one_time_sound_started cleared.
void init_picture_table();
// Opens a slot after current_picture (refused when the table is full).
void insert_picture_slot();
// Removes the entry at current_picture; picture_count never falls below 1.
void delete_picture_slot();

// The position columns of box 1, 2 or 3.
int32_t* box_x_column(int box);
int32_t* box_y_column(int box);
