// The demo's show script SCR1.BIL: which screenshot each entry shows, with its boxes,
// one-time sound, level strip and mark. The file is made by the program's own
// show-file code from the global state record, so it is exactly what the editor saves.
#pragma once

#include <cstdint>
#include <vector>

namespace demo {

struct BoxPlacement {
    int number;  // 0: no box
    int x;
    int y;
};

struct ShowEntry {
    int file;  // screenshot number
    BoxPlacement box1;
    BoxPlacement box2;
    BoxPlacement box3;
    int wave;   // one-time sound number, 0: none
    int level;  // level strip, 0: none
    bool marked;
};

const std::vector<ShowEntry>& demo_show_entries();

// Resets the global state record, fills its picture table from the entries (a box
// without a number keeps the table's default position) and encodes it.
std::vector<uint8_t> make_show_file(const std::vector<ShowEntry>& entries);

}  // namespace demo
