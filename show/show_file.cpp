#include "show/show_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/files.h"
#include "show/picture_table.h"

const ShowFileBlock show_file_blocks[SHOW_FILE_BLOCKS] = {
    {"first_picture", 0, 4},   {"picture_count", 4, 4},     {"pic_file", 8, 2000},
    {"pic_box1", 2008, 2000},  {"pic_wave", 4008, 2000},    {"pic_level", 6008, 2000},
    {"pic_marked", 8008, 500}, {"pic_box1_x", 8508, 2000},  {"pic_box1_y", 10508, 2000},
    {"pic_box2", 12508, 2000}, {"pic_box2_x", 14508, 2000}, {"pic_box2_y", 16508, 2000},
    {"pic_box3", 18508, 2000}, {"pic_box3_x", 20508, 2000}, {"pic_box3_y", 22508, 2000},
};

namespace {

// The int32 fields behind each block (nullptr for the byte column of marks).
int32_t* block_ints(int block) {
    switch (block) {
        case 0:
            return &picture_table.first_picture;
        case 1:
            return &picture_table.picture_count;
        case 2:
            return picture_table.pic_file;
        case 3:
            return picture_table.pic_box1;
        case 4:
            return picture_table.pic_wave;
        case 5:
            return picture_table.pic_level;
        case 7:
            return picture_table.pic_box1_x;
        case 8:
            return picture_table.pic_box1_y;
        case 9:
            return picture_table.pic_box2;
        case 10:
            return picture_table.pic_box2_x;
        case 11:
            return picture_table.pic_box2_y;
        case 12:
            return picture_table.pic_box3;
        case 13:
            return picture_table.pic_box3_x;
        case 14:
            return picture_table.pic_box3_y;
        default:
            return nullptr;
    }
}

void encode_block(int block, uint8_t* out) {
    const size_t length = show_file_blocks[block].length;
    const int32_t* ints = block_ints(block);
    if (ints == nullptr) {
        std::memcpy(out, picture_table.pic_marked, length);
        return;
    }
    for (size_t i = 0; i < length / 4; ++i) {
        const uint32_t v = static_cast<uint32_t>(ints[i]);
        out[4 * i] = static_cast<uint8_t>(v);
        out[4 * i + 1] = static_cast<uint8_t>(v >> 8);
        out[4 * i + 2] = static_cast<uint8_t>(v >> 16);
        out[4 * i + 3] = static_cast<uint8_t>(v >> 24);
    }
}

void decode_block(int block, const uint8_t* in) {
    const size_t length = show_file_blocks[block].length;
    int32_t* ints = block_ints(block);
    if (ints == nullptr) {
        std::memcpy(picture_table.pic_marked, in, length);
        return;
    }
    for (size_t i = 0; i < length / 4; ++i) {
        const uint32_t v = uint32_t{in[4 * i]} | uint32_t{in[4 * i + 1]} << 8 |
                           uint32_t{in[4 * i + 2]} << 16 | uint32_t{in[4 * i + 3]} << 24;
        ints[i] = static_cast<int32_t>(v);
    }
}

// Writes every block, flushes and closes; false at the first step that fails.
bool write_show_image(FileHandle file, const uint8_t* image) {
    bool complete = true;
    for (const ShowFileBlock& block : show_file_blocks) {
        if (file_write(file, image + block.offset, block.length) != block.length) {
            complete = false;
            break;
        }
    }
    if (complete && file_flush_to_disk(file) != 0) complete = false;
    if (file_close(file) != 0) complete = false;
    return complete;
}

}  // namespace

void build_show_file_name() {
    std::snprintf(picture_table.show_file_name, sizeof picture_table.show_file_name, "SCR%u.BIL",
                  static_cast<unsigned>(picture_table.show_file_number));
}

void encode_show_file(uint8_t image[SHOW_FILE_SIZE]) {
    for (int block = 0; block < SHOW_FILE_BLOCKS; ++block)
        encode_block(block, image + show_file_blocks[block].offset);
}

void decode_show_file(const uint8_t* image, size_t size) {
    // Start from the fields' own bytes, so a block the image covers only in part
    // keeps the rest of its previous contents, byte for byte.
    uint8_t merged[SHOW_FILE_SIZE];
    encode_show_file(merged);
    std::memcpy(merged, image, std::min(size, SHOW_FILE_SIZE));
    for (int block = 0; block < SHOW_FILE_BLOCKS; ++block)
        decode_block(block, merged + show_file_blocks[block].offset);
    picture_table.picture_count = std::clamp(picture_table.picture_count, 1, MAX_PICTURES);
}

bool save_show_file() {
    uint8_t image[SHOW_FILE_SIZE];
    encode_show_file(image);

    // The new show goes to a file beside the old one and replaces it only when it is
    // complete on disk, so a failed save never costs the user the show they had.
    char temporary_name[SHOW_FILE_NAME_SIZE + 8];
    std::snprintf(temporary_name, sizeof temporary_name, "%s.tmp", picture_table.show_file_name);
    FileHandle file = file_open_write(temporary_name);
    if (file == nullptr) return false;
    if (!write_show_image(file, image) ||
        file_rename_over(temporary_name, picture_table.show_file_name) != 0) {
        file_remove(temporary_name);
        return false;
    }
    return true;
}

bool load_show_file() {
    FileHandle file = file_open_read(picture_table.show_file_name);
    if (file == nullptr) return false;
    // One read a block, as the file was written; a short file fills what it holds.
    uint8_t image[SHOW_FILE_SIZE];
    size_t size = 0;
    for (const ShowFileBlock& block : show_file_blocks) {
        const size_t got = file_read(file, image + block.offset, block.length);
        size += got;
        if (got < block.length) break;
    }
    file_close(file);
    decode_show_file(image, size);
    picture_table.first_picture = 1;
    picture_table.current_picture = 1;
    picture_table.shown_box1 = picture_table.pic_box1[1];
    return true;
}
