#include "tools/demo/show_script.h"

#include <algorithm>

#include "app/program.h"
#include "show/picture_table.h"
#include "show/show_file.h"

namespace demo {

namespace {

constexpr BoxPlacement NO_BOX = {0, 0, 0};

// Box sizes: 1 160x180, 2 240x180, 3 160x140, 4 200x120, 5 200x150, 6 220x140. Box 1
// sits in the top right corner, 24 pixels in from the edge; the others stay clear of
// the navigation panel at the bottom right and of the status lines at the top left.
const std::vector<ShowEntry> entries = {
    {100, {1, 840, 64}, NO_BOX, NO_BOX, 0, 1, false},
    {101, NO_BOX, {4, 60, 430}, NO_BOX, 0, 2, false},
    {102, {3, 840, 64}, NO_BOX, NO_BOX, 0, 3, true},
    {103, {2, 760, 64}, NO_BOX, NO_BOX, 0, 4, false},
    {109, {6, 780, 64}, NO_BOX, NO_BOX, 202, 5, false},
    {104, {1, 840, 64}, {6, 40, 420}, NO_BOX, 0, 6, false},
    {105, {3, 840, 64}, NO_BOX, NO_BOX, 0, 7, false},
    {106, {2, 760, 64}, NO_BOX, NO_BOX, 0, 0, true},
    {107, {5, 800, 64}, NO_BOX, NO_BOX, 0, 12, false},
    {108, {5, 800, 64}, NO_BOX, NO_BOX, 0, 13, false},
    {113, {6, 780, 64}, NO_BOX, NO_BOX, 0, 50, false},
    {110, {4, 800, 64}, NO_BOX, NO_BOX, 201, 20, false},
    {111, NO_BOX, NO_BOX, {3, 60, 420}, 0, 30, false},
    {112, NO_BOX, {2, 776, 176}, NO_BOX, 0, 48, false},
    {100, {6, 780, 64}, {2, 40, 440}, {3, 600, 470}, 0, 0, false},
};

void place_box(int32_t* number, int32_t* x, int32_t* y, const BoxPlacement& box) {
    if (box.number <= 0) return;
    *number = box.number;
    *x = box.x;
    *y = box.y;
}

}  // namespace

const std::vector<ShowEntry>& demo_show_entries() {
    return entries;
}

std::vector<uint8_t> make_show_file(const std::vector<ShowEntry>& show) {
    reset_global_state();
    picture_table.default_box1_x = 100;
    picture_table.default_box1_y = 100;
    init_picture_table();
    for (size_t i = 0; i < show.size() && i < static_cast<size_t>(MAX_PICTURES); ++i) {
        const size_t slot = i + 1;
        const ShowEntry& entry = show[i];
        picture_table.pic_file[slot] = entry.file;
        place_box(&picture_table.pic_box1[slot], &picture_table.pic_box1_x[slot],
                  &picture_table.pic_box1_y[slot], entry.box1);
        place_box(&picture_table.pic_box2[slot], &picture_table.pic_box2_x[slot],
                  &picture_table.pic_box2_y[slot], entry.box2);
        place_box(&picture_table.pic_box3[slot], &picture_table.pic_box3_x[slot],
                  &picture_table.pic_box3_y[slot], entry.box3);
        picture_table.pic_wave[slot] = entry.wave;
        picture_table.pic_level[slot] = entry.level;
        picture_table.pic_marked[slot] = entry.marked ? 1 : 0;
    }
    picture_table.first_picture = 1;
    picture_table.picture_count =
        static_cast<int32_t>(std::min(show.size(), static_cast<size_t>(MAX_PICTURES)));
    std::vector<uint8_t> image(SHOW_FILE_SIZE);
    encode_show_file(image.data());
    return image;
}

}  // namespace demo
