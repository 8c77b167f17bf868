// The scripted backend's own interface, for tests and for the qzview-headless runner:
// faults on demand, the input script, and a look at what the program drew and played.
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
// Buffers one mouse event now, as the device would (only while acquired), and
// signals the mouse event: several calls make one batch for the next read.
inline constexpr auto& headless_mouse_input = soft_mouse_record;

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

// What the screen shows at (x, y), as 0xRRGGBB: the front as it was last presented.
uint32_t headless_screen_pixel(int x, int y);

// Surfaces by the role the program created them in; nullptr when absent.
inline constexpr auto& headless_surface = soft_surface;
inline constexpr auto& headless_surface_name = soft_surface_role;  // "none" for nullptr
inline constexpr auto& headless_surface_bits = soft_surface_bits;
// A pixel as 0xRRGGBB (16-bit surfaces widened by bit replication); 0 outside.
uint32_t headless_pixel(Surface surface, int x, int y);
void headless_set_pixel(Surface surface, int x, int y, uint32_t rgb);
// The raw stored value (XRGB or RGB565).
inline constexpr auto& headless_raw_pixel = soft_pixel;
// What the screen shows, as a 24-bit BMP; false while there is no front surface.
bool headless_write_screenshot(const std::string& path);

// Objects created and not yet released, by kind ("surface", "display", "font",
// "input", "mouse", "event", "sound-device", "sound-buffer", "bitmap", "dc", "window").
inline constexpr auto& headless_live = soft_live;
inline constexpr auto& headless_live_total = soft_live_total;

// Copies, keyed and refused copies, flips, pauses, waits, bitmap file reads,
// messages dispatched and sound buffers made.
using HeadlessCounters = SoftCounters;
inline constexpr auto& headless_counters = soft_counters;

int64_t headless_clock_ms();
void headless_advance_clock(int64_t milliseconds);

// A sound buffer's size, play position in bytes, frequency, volume, play state and bytes.
using HeadlessSoundState = SoftSoundState;
inline constexpr auto& headless_sound_state = soft_sound_state;
int headless_sound_buffers_created();
