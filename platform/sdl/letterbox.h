// Where the 1024x768 show lands on a screen of another size: as large as fits with its
// own proportions, centred, black bars round it; pixels picked nearest-neighbour.
#pragma once

struct Letterbox {
    int x;
    int y;
    int width;
    int height;
};

Letterbox letterbox_for(int screen_width, int screen_height, int show_width, int show_height);

// The show pixel that box pixel `box_index` shows, along one axis.
inline int show_index_of(int box_index, int box_size, int show_size) {
    return static_cast<int>(static_cast<long long>(box_index) * show_size / box_size);
}

// The box pixels [*first, *end) that show the show pixels [from, to), along one axis.
void box_span(int from, int to, int show_size, int box_size, int* first, int* end);
