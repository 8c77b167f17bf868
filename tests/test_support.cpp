#include "tests/test_support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/program.h"
#include "platform/headless/headless.h"

void ScratchTest::SetUp() {
    char cwd[PATH_MAX];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previous_directory = cwd;
    std::string pattern = std::filesystem::temp_directory_path().string() + "/qzview-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory = pattern;
    ASSERT_EQ(chdir(directory.c_str()), 0);
    headless_reset();
    reset_global_state();
}

void ScratchTest::TearDown() {
    headless_reset();
    reset_global_state();
    ASSERT_EQ(chdir(previous_directory.c_str()), 0);
    std::filesystem::remove_all(directory);
}

std::vector<uint8_t> read_file_bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

void write_file_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

int open_descriptor_count() {
    DIR* directory = opendir("/proc/self/fd");
    if (directory == nullptr) return -1;
    int count = 0;
    while (readdir(directory) != nullptr)
        ++count;
    closedir(directory);
    return count;
}

#include "app/program.h"
#include "display/layout.h"
#include "platform/common/bmp_writer.h"

void write_test_bitmap(const std::string& path, int width, int height,
                       uint32_t (*colour)(int, int)) {
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<size_t>(y) * width + x] = colour(x, y);
    ASSERT_TRUE(bmp_write_24(path, width, height, pixels.data()));
}

namespace {
uint32_t solid_colour = 0;
uint32_t solid(int, int) {
    return solid_colour;
}

uint32_t sheet_pixel(int x, int y) {
    using namespace layout;
    const Rect& buttons = SHEET_NAV_BUTTONS;
    const Rect first_strip = sheet_level_strip(1);
    if (SHEET_POINTER.contains(x, y))
        return x == SHEET_POINTER.width - 1 ? 0 : sheet_colour::pointer;
    if (SHEET_POINTER_SAVE.contains(x, y)) return 0;
    if (buttons.contains(x, y)) return x == buttons.x + buttons.width - 1 ? 0 : sheet_colour::panel;
    if (SHEET_MARK.contains(x, y)) return sheet_colour::mark;
    if (SHEET_MENU_PANEL.contains(x, y)) return sheet_colour::menu;
    if (x >= first_strip.x && x < first_strip.x + first_strip.width)
        return sheet_colour::level(y / first_strip.height + 1);
    if (SHEET_BAR_LEFT.contains(x, y)) return sheet_colour::bar_left;
    if (SHEET_BAR_RIGHT.contains(x, y)) return sheet_colour::bar_right;
    return 0;
}
}  // namespace

uint32_t sheet_colour::level(int level) {
    return (static_cast<uint32_t>(level) * 5) << 16 | 0x20;
}

void write_solid_bitmap(const std::string& path, int width, int height, uint32_t rgb) {
    solid_colour = rgb;
    write_test_bitmap(path, width, height, solid);
}

void write_test_sheet(const std::string& path) {
    write_test_bitmap(path, layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT, sheet_pixel);
}

int run_program(const std::vector<std::string>& script, ShowOptions options) {
    for (const std::string& line : script) {
        std::string error;
        EXPECT_TRUE(headless_add_script_line(line, &error)) << line << ": " << error;
    }
    return program_exit_status(program_main(nullptr, 1, options));
}

uint32_t shot_pixel(const std::string& path, int x, int y) {
    const std::vector<uint8_t> bytes = read_file_bytes(path);
    const size_t at = 54 + (static_cast<size_t>(767 - y) * 1024 + static_cast<size_t>(x)) * 3;
    if (bytes.size() < at + 3) return 0xFFFFFFFFu;
    return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16;
}

void write_test_wave(const std::string& path, size_t samples) {
    std::vector<uint8_t> bytes = {'R', 'I', 'F', 'F'};
    append_le32(bytes, static_cast<int32_t>(36 + samples));
    for (char c : std::string("WAVEfmt "))
        bytes.push_back(static_cast<uint8_t>(c));
    append_le32(bytes, 16);
    append_le16(bytes, 1);      // PCM
    append_le16(bytes, 1);      // mono
    append_le32(bytes, 11025);  // samples a second
    append_le32(bytes, 11025);  // bytes a second
    append_le16(bytes, 1);      // block alignment
    append_le16(bytes, 8);      // bits
    for (char c : std::string("data"))
        bytes.push_back(static_cast<uint8_t>(c));
    append_le32(bytes, static_cast<int32_t>(samples));
    for (size_t i = 0; i < samples; ++i)
        bytes.push_back(static_cast<uint8_t>(128 + (i % 16)));
    write_file_bytes(path, bytes);
}
