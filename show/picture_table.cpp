#include "show/picture_table.h"

#include <algorithm>

PictureTable picture_table;

namespace {

void set_moved_columns_to_defaults(int i) {
    picture_table.pic_file[i] = 0;
    picture_table.pic_box1[i] = 0;
    picture_table.pic_box1_x[i] = picture_table.default_box1_x;
    picture_table.pic_box1_y[i] = picture_table.default_box1_y;
    picture_table.pic_box2[i] = 0;
    picture_table.pic_box2_x[i] = 750;
    picture_table.pic_box2_y[i] = 180;
    picture_table.pic_box3[i] = 0;
    picture_table.pic_box3_x[i] = 50;
    picture_table.pic_box3_y[i] = 50;
    picture_table.pic_wave[i] = 0;
    picture_table.pic_level[i] = 0;
}

// The twelve columns that insert and delete move; marks and played flags stay put.
void copy_moved_columns(int from, int to) {
    picture_table.pic_file[to] = picture_table.pic_file[from];
    picture_table.pic_box1[to] = picture_table.pic_box1[from];
    picture_table.pic_box1_x[to] = picture_table.pic_box1_x[from];
    picture_table.pic_box1_y[to] = picture_table.pic_box1_y[from];
    picture_table.pic_box2[to] = picture_table.pic_box2[from];
    picture_table.pic_box2_x[to] = picture_table.pic_box2_x[from];
    picture_table.pic_box2_y[to] = picture_table.pic_box2_y[from];
    picture_table.pic_box3[to] = picture_table.pic_box3[from];
    picture_table.pic_box3_x[to] = picture_table.pic_box3_x[from];
    picture_table.pic_box3_y[to] = picture_table.pic_box3_y[from];
    picture_table.pic_wave[to] = picture_table.pic_wave[from];
    picture_table.pic_level[to] = picture_table.pic_level[from];
}

}  // namespace

void init_picture_table() {
    for (int i = 0; i < TABLE_SIZE; ++i) {
        set_moved_columns_to_defaults(i);
        picture_table.pic_marked[i] = 0;
        picture_table.pic_wave_played[i] = 0;
    }
    picture_table.one_time_sound_started = 0;
}

void insert_picture_slot() {
    picture_table.picture_count += 1;
    if (picture_table.picture_count >= TABLE_SIZE) {
        picture_table.picture_count -= 1;
    } else {
        // The whole tail moves up to index 499, not only the entries in use.
        const int lowest = std::max(picture_table.current_picture + 1, 1);
        for (int i = TABLE_SIZE - 1; i >= lowest; --i)
            copy_moved_columns(i - 1, i);
    }
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
}

void delete_picture_slot() {
    const int highest = std::min(picture_table.picture_count, TABLE_SIZE - 1);
    for (int i = std::max(picture_table.current_picture, 0); i <= highest; ++i) {
        // The slot behind index 499 does not exist: the last index gets the defaults.
        if (i + 1 < TABLE_SIZE) {
            copy_moved_columns(i + 1, i);
        } else {
            set_moved_columns_to_defaults(i);
        }
    }
    picture_table.picture_count -= 1;
    if (picture_table.picture_count < 1) {
        picture_table.picture_count = 1;
        picture_table.new_file_number = 0;
        picture_table.exchange_file_number = 0;
    }
}

int32_t* box_x_column(int box) {
    return box == 1   ? picture_table.pic_box1_x
           : box == 2 ? picture_table.pic_box2_x
                      : picture_table.pic_box3_x;
}

int32_t* box_y_column(int box) {
    return box == 1   ? picture_table.pic_box1_y
           : box == 2 ? picture_table.pic_box2_y
                      : picture_table.pic_box3_y;
}
