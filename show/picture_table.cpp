#include "show/picture_table.h"

#include <algorithm>

#include "app/state.h"

namespace {

void set_moved_columns_to_defaults(int i) {
    state.pic_file[i] = 0;
    state.pic_box1[i] = 0;
    state.pic_box1_x[i] = state.default_box1_x;
    state.pic_box1_y[i] = state.default_box1_y;
    state.pic_box2[i] = 0;
    state.pic_box2_x[i] = 750;
    state.pic_box2_y[i] = 180;
    state.pic_box3[i] = 0;
    state.pic_box3_x[i] = 50;
    state.pic_box3_y[i] = 50;
    state.pic_wave[i] = 0;
    state.pic_level[i] = 0;
}

// The twelve columns that insert and delete move; marks and played flags stay put.
void copy_moved_columns(int from, int to) {
    state.pic_file[to] = state.pic_file[from];
    state.pic_box1[to] = state.pic_box1[from];
    state.pic_box1_x[to] = state.pic_box1_x[from];
    state.pic_box1_y[to] = state.pic_box1_y[from];
    state.pic_box2[to] = state.pic_box2[from];
    state.pic_box2_x[to] = state.pic_box2_x[from];
    state.pic_box2_y[to] = state.pic_box2_y[from];
    state.pic_box3[to] = state.pic_box3[from];
    state.pic_box3_x[to] = state.pic_box3_x[from];
    state.pic_box3_y[to] = state.pic_box3_y[from];
    state.pic_wave[to] = state.pic_wave[from];
    state.pic_level[to] = state.pic_level[from];
}

}  // namespace

void init_picture_table() {
    for (int i = 0; i < TABLE_SIZE; ++i) {
        set_moved_columns_to_defaults(i);
        state.pic_marked[i] = 0;
        state.pic_wave_played[i] = 0;
    }
    state.one_time_sound_started = 0;
}

void insert_picture_slot() {
    state.picture_count += 1;
    if (state.picture_count >= TABLE_SIZE) {
        state.picture_count -= 1;
    } else {
        // The whole tail moves up to index 499, not only the entries in use.
        const int lowest = std::max(state.current_picture + 1, 1);
        for (int i = TABLE_SIZE - 1; i >= lowest; --i)
            copy_moved_columns(i - 1, i);
    }
    state.new_file_number = 0;
    state.exchange_file_number = 0;
}

void delete_picture_slot() {
    const int highest = std::min(state.picture_count, TABLE_SIZE - 1);
    for (int i = std::max(state.current_picture, 0); i <= highest; ++i) {
        // The slot behind index 499 does not exist: the last index gets the defaults.
        if (i + 1 < TABLE_SIZE) {
            copy_moved_columns(i + 1, i);
        } else {
            set_moved_columns_to_defaults(i);
        }
    }
    state.picture_count -= 1;
    if (state.picture_count < 1) {
        state.picture_count = 1;
        state.new_file_number = 0;
        state.exchange_file_number = 0;
    }
}

int32_t* box_x_column(int box) {
    return box == 1 ? state.pic_box1_x : box == 2 ? state.pic_box2_x : state.pic_box3_x;
}

int32_t* box_y_column(int box) {
    return box == 1 ? state.pic_box1_y : box == 2 ? state.pic_box2_y : state.pic_box3_y;
}
