// The show file SCR1.BIL: a headerless, little-endian image of the picture table,
// 24,508 bytes in fifteen blocks.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t SHOW_FILE_SIZE = 24508;
constexpr int SHOW_FILE_BLOCKS = 15;

struct ShowFileBlock {
    const char* name;  // the column's name, as the program calls it
    size_t offset;
    size_t length;
};

// The blocks in file order.
extern const ShowFileBlock show_file_blocks[SHOW_FILE_BLOCKS];

// show_file_name = "SCR" + show_file_number + ".BIL".
void build_show_file_name();

// false when the file cannot be read, or cannot
// be written completely (the previous file then stays as it was).
bool save_show_file();
bool load_show_file();

// The table and its two counters as the file's bytes, and back. Decoding a short
// image fills what it holds and leaves the rest of the fields as they were; the
// picture count is then clamped into 1..499.
void encode_show_file(uint8_t image[SHOW_FILE_SIZE]);
void decode_show_file(const uint8_t* image, size_t size);
