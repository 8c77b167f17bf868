#include "tools/show/show_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "show/picture_table.h"

namespace show_tool {

namespace {

// What a fresh machine shows when no show file can be read (the start-up sequence
// sets these before it calls the show file loader).
constexpr int32_t STARTUP_BOX1_POSITION = 100;
constexpr int32_t STARTUP_PICTURE_FILE = 100;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Bytes after the image are only counted, for the warning about a long file.
bool count_remaining_bytes(std::FILE* file, uint64_t* count) {
    char buffer[4096];
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file);
        *count += got;
        if (got < sizeof buffer) return std::ferror(file) == 0;
    }
}

}  // namespace

void set_up_startup_table() {
    picture_table.default_box1_x = STARTUP_BOX1_POSITION;
    picture_table.default_box1_y = STARTUP_BOX1_POSITION;
    init_picture_table();
    picture_table.first_picture = 1;
    picture_table.picture_count = 1;
    picture_table.current_picture = 1;
    picture_table.pic_file[1] = STARTUP_PICTURE_FILE;
}

ShowImage startup_image() {
    set_up_startup_table();
    ShowImage image{};
    encode_show_file(image.data());
    return image;
}

bool read_show_file_contents(const char* name, ShowFileContents* contents, std::string* error) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(name, "rb"));
    if (!file) {
        *error = std::strerror(errno);
        return false;
    }
    ShowImage bytes{};
    const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
    uint64_t size = got;
    // A directory opens on some systems and fails only at the read.
    const bool read_ok = got == bytes.size() ? count_remaining_bytes(file.get(), &size)
                                             : std::ferror(file.get()) == 0;
    if (!read_ok) {
        *error = std::strerror(errno != 0 ? errno : EIO);
        return false;
    }
    contents->image = startup_image();
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(got),
              contents->image.begin());
    contents->file_size = size;
    return true;
}

const ShowFileBlock& block_named(const char* name) {
    for (const ShowFileBlock& block : show_file_blocks)
        if (std::strcmp(block.name, name) == 0) return block;
    std::fprintf(stderr, "show file block %s unknown\n", name);
    std::abort();
}

bool is_entry_column(const ShowFileBlock& block) {
    return block.length % TABLE_SIZE == 0;
}

size_t value_width(const ShowFileBlock& block) {
    return is_entry_column(block) ? block.length / TABLE_SIZE : block.length;
}

int64_t lowest_value(const ShowFileBlock& block) {
    return value_width(block) == 1 ? 0 : int64_t{INT32_MIN};
}

int64_t highest_value(const ShowFileBlock& block) {
    return value_width(block) == 1 ? int64_t{UINT8_MAX} : int64_t{INT32_MAX};
}

int64_t value_at(const ShowImage& image, const ShowFileBlock& block, int entry) {
    const uint8_t* at =
        image.data() + block.offset + static_cast<size_t>(entry) * value_width(block);
    if (value_width(block) == 1) return at[0];
    const uint32_t bits =
        uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
    return static_cast<int32_t>(bits);
}

void set_value_at(ShowImage* image, const ShowFileBlock& block, int entry, int64_t value) {
    uint8_t* at = image->data() + block.offset + static_cast<size_t>(entry) * value_width(block);
    const auto bits = static_cast<uint32_t>(value);
    for (size_t i = 0; i < value_width(block); ++i)
        at[i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace show_tool

namespace show_tool {

std::string describe_unusual_size(uint64_t file_size) {
    const std::string holds = "the show file holds " + std::to_string(file_size) + " bytes, not " +
                              std::to_string(SHOW_FILE_SIZE);
    if (file_size < SHOW_FILE_SIZE)
        return holds + ": the program reads those and keeps its start-up table for the rest";
    if (file_size > SHOW_FILE_SIZE)
        return holds + ": the program ignores the last " +
               std::to_string(file_size - SHOW_FILE_SIZE);
    return "";
}

}  // namespace show_tool
