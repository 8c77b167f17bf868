// The show file SCR1.BIL as bytes, the way the show tool sees it: read whole, with
// the program's start-up table behind a file that is too short, and single values
// picked out by block and entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "show/show_file.h"

namespace show_tool {

using ShowImage = std::array<uint8_t, SHOW_FILE_SIZE>;

struct ShowFileContents {
    ShowImage image{};       // the file's bytes; the start-up table's where the file ends early
    uint64_t file_size = 0;  // what the file holds, which may be more than SHOW_FILE_SIZE
};

// The table the program holds before it reads a show file: every column at its
// default and a single picture, file 100. Written into the global state record.
void set_up_startup_table();
// That table as a show file image.
ShowImage startup_image();

// Reads the named file whole; false with a reason when it cannot be opened or read.
// Uses (and overwrites) the state record's table for the start-up bytes.
bool read_show_file_contents(const char* name, ShowFileContents* contents, std::string* error);

// Blocks that hold one value for each of the TABLE_SIZE entries; the others are the
// two counters, one value each.
bool is_entry_column(const ShowFileBlock& block);
// The block with this name; the program's show file has one of each.
const ShowFileBlock& block_named(const char* name);
// Bytes a value takes: 4 for the int32 columns and counters, 1 for the marks.
size_t value_width(const ShowFileBlock& block);
int64_t lowest_value(const ShowFileBlock& block);
int64_t highest_value(const ShowFileBlock& block);
// A value of the block: entry 0..499 of a column, entry 0 of a counter.
int64_t value_at(const ShowImage& image, const ShowFileBlock& block, int entry);
// The value must lie in lowest_value..highest_value of the block.
void set_value_at(ShowImage* image, const ShowFileBlock& block, int entry, int64_t value);

}  // namespace show_tool

namespace show_tool {

// Why a show file of this size deserves a warning, or "" for the right size.
std::string describe_unusual_size(uint64_t file_size);

}  // namespace show_tool
