// The scripted backend's own interface, for tests and for the qzview-headless runner:
// faults on demand, the input script, and a look at what the program drew and played.
// The machine's objects, counters and sound buffers are looked at through soft.h.
// The program itself never includes this header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/soft/soft.h"
#include "platform/types.h"

// Forgets every object, fault, script line and record: a new machine.
void headless_reset();

// Makes the named operation fail from now on; false for an unknown name.
bool headless_fail(const std::string& operation);
// Every name headless_fail accepts, each with a line saying what it makes fail.
struct HeadlessFaultName {
    const char* name;
    const char* meaning;
};
const std::vector<HeadlessFaultName>& headless_fault_names();

// Appends one script line (see the runner's --help); false and a reason when it is
// not a valid line. Lines take effect when the program next waits for input.
bool headless_add_script_line(const std::string& line, std::string* error);
bool headless_load_script(const std::string& path, std::string* error);
size_t headless_script_lines_left();
void headless_clear_script();

// Logs written while the program runs; empty path: none.
void headless_set_text_log(const std::string& path);
void headless_set_sound_log(const std::string& path);

struct HeadlessText {
    std::string surface;  // front, back, sheet, picture, spare
    int x;
    int y;
    ColorRef color;
    std::string font;  // fixed, medium, large
    std::string text;  // Windows-1252 bytes, as drawn
};
const std::vector<HeadlessText>& headless_texts();
void headless_clear_texts();

struct HeadlessMessageBox {
    std::string caption;
    std::string text;
    int live_objects;  // objects not yet released while the box was shown (windows aside)
};
const std::vector<HeadlessMessageBox>& headless_message_boxes();
const std::vector<std::string>& headless_debug_lines();
const std::vector<std::string>& headless_sound_lines();

// Whether a present copies the front into the screen model that screenshots and
// headless_screen_pixel read (yes until told otherwise; a benchmark of the program's
// own work says no, for a present that costs nothing).
void headless_keep_screen_model(bool kept);
// What the screen shows at (x, y), as 0xRRGGBB: the front as it was last presented.
uint32_t headless_screen_pixel(int x, int y);

// A pixel as 0xRRGGBB (16-bit surfaces widened by bit replication); 0 outside.
uint32_t headless_pixel(Surface surface, int x, int y);
void headless_set_pixel(Surface surface, int x, int y, uint32_t rgb);
// What the screen shows, as a 24-bit BMP; false while there is no front surface.
bool headless_write_screenshot(const std::string& path);

int64_t headless_clock_ms();
void headless_advance_clock(int64_t milliseconds);
