// Helpers shared by the tests: a scratch working directory and a clean machine.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/common/le_bytes.h"

// Runs each test in an empty directory of its own, on a fresh scripted machine with
// the program's state at its start values.
class ScratchTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::string directory;

  private:
    std::string previous_directory;
};

std::vector<uint8_t> read_file_bytes(const std::string& path);
void write_file_bytes(const std::string& path, const std::vector<uint8_t>& bytes);
bool file_exists(const std::string& path);
// Open descriptors of this process, to see that a refused file was closed again.
int open_descriptor_count();

// A 24-bit bitmap file whose pixel (x, y) is colour(x, y) as 0xRRGGBB.
void write_test_bitmap(const std::string& path, int width, int height,
                       uint32_t (*colour)(int, int));
void write_solid_bitmap(const std::string& path, int width, int height, uint32_t rgb);

// Colours of the test graphics sheet: each region the screens copy from has its own.
namespace sheet_colour {
constexpr uint32_t pointer = 0xFFFFFF;  // with a black column at its right edge
constexpr uint32_t panel = 0x00C000;    // black in its last column
constexpr uint32_t mark = 0xFF00FF;
constexpr uint32_t menu = 0x404080;
constexpr uint32_t bar_left = 0x808000;
constexpr uint32_t bar_right = 0x008080;
uint32_t level(int level);  // the strip of each level
}  // namespace sheet_colour
void write_test_sheet(const std::string& path);

// A pixel, as 0xRRGGBB, of a 1024 x 768 screenshot taken by the script's "shot".
uint32_t shot_pixel(const std::string& path, int x, int y);

// Runs the whole program on the scripted machine with these script lines, in the
// working directory; returns its exit status.
int run_program(const std::vector<std::string>& script, ShowOptions options = {});

// An 8-bit mono PCM WAVE file at 11025 Hz with the given number of samples.
void write_test_wave(const std::string& path, size_t samples);
