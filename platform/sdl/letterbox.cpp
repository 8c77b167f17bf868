#include "platform/sdl/letterbox.h"

namespace {

// The smallest box index whose show index is at least show_index.
int first_box_index_at(int show_index, int show_size, int box_size) {
    const long long scaled = static_cast<long long>(show_index) * box_size;
    return static_cast<int>((scaled + show_size - 1) / show_size);
}

}  // namespace

Letterbox letterbox_for(int screen_width, int screen_height, int show_width, int show_height) {
    // Compare width / show_width with height / show_height without rounding.
    const bool width_limits = static_cast<long long>(screen_width) * show_height <=
                              static_cast<long long>(screen_height) * show_width;
    int width = screen_width, height = screen_height;
    if (width_limits) {
        height = static_cast<int>(static_cast<long long>(screen_width) * show_height / show_width);
    } else {
        width = static_cast<int>(static_cast<long long>(screen_height) * show_width / show_height);
    }
    return Letterbox{(screen_width - width) / 2, (screen_height - height) / 2, width, height};
}

void box_span(int from, int to, int show_size, int box_size, int* first, int* end) {
    *first = first_box_index_at(from, show_size, box_size);
    *end = first_box_index_at(to, show_size, box_size);
}
