// The picture table: the show script held in fourteen parallel columns of 500 entries
// (in the global state record), and the two operations that open and close slots.
#pragma once

#include <cstdint>

// Every column of all 500 entries to its default; one_time_sound_started cleared.
void init_picture_table();
// Opens a slot after current_picture (refused when the table is full).
void insert_picture_slot();
// Removes the entry at current_picture; picture_count never falls below 1.
void delete_picture_slot();

// The position columns of box 1, 2 or 3.
int32_t* box_x_column(int box);
int32_t* box_y_column(int box);
