// The scripted device: faults on demand, a simulated clock, a screen in memory, and
// records of the text, message boxes, debugger lines and sound operations.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>

#include "platform/common/bmp_writer.h"
#include "platform/common/cp1252.h"
#include "platform/headless/headless.h"
#include "platform/soft/soft.h"

// The script's next step (script.cpp); false when the script has ended.
bool run_next_script_step();
int64_t cut_wait_at_deadline(int64_t left_ms);

namespace {

const std::vector<HeadlessFaultName> fault_names = {
    {"window", "creating the window"},
    {"mouse-input", "creating the DirectInput object"},
    {"mouse-device", "creating the system mouse device"},
    {"mouse-format", "setting the mouse data format"},
    {"mouse-coop", "setting the mouse cooperative level"},
    {"mouse-event", "creating the mouse event"},
    {"mouse-notify", "setting the mouse event notification"},
    {"mouse-buffer", "setting the mouse buffer size"},
    {"mouse-acquire", "acquiring the mouse"},
    {"mouse-read", "reading buffered mouse input"},
    {"ddraw", "creating the DirectDraw object"},
    {"coop", "exclusive full-screen cooperation"},
    {"mode32", "the 1024x768 display mode at 32 bits"},
    {"mode16", "the 1024x768 display mode at 16 bits"},
    {"primary", "creating the primary surface"},
    {"backbuffer", "getting the attached back buffer"},
    {"offscreen1", "creating the first off-screen surface"},
    {"offscreen2", "creating the second off-screen surface"},
    {"offscreen3", "creating the third off-screen surface"},
    {"color-key", "setting a colour key"},
    {"dc", "lending a surface's device context"},
    {"memory-dc", "creating a memory device context"},
    {"bitmap", "loading any bitmap file"},
    {"sound-device", "creating the sound device"},
    {"sound-coop", "exclusive sound cooperation"},
    {"sound-buffer", "creating a sound buffer"},
    {"sound-lock", "locking a sound buffer"},
    {"sound-status", "querying a sound buffer's status"},
    {"file-open", "opening a file for reading"},
    {"file-create", "creating a file for writing"},
    {"file-write", "writing to a file"},
    {"file-flush", "flushing a file to disk"},
    {"file-close", "closing a file"},
    {"file-rename", "renaming a file over another"},
};

constexpr int MIX_CHUNK_FRAMES = 1024;

struct HeadlessWorld {
    std::set<std::string> faults;
    int64_t clock_ms = 0;
    std::vector<HeadlessText> texts;
    std::vector<HeadlessMessageBox> message_boxes;
    std::vector<std::string> debug_lines;
    std::vector<std::string> sound_lines;
    FILE* text_log = nullptr;
    FILE* sound_log = nullptr;
    // What the screen shows, as 0xRRGGBB: the front's pixels as last presented.
    std::vector<uint32_t> screen = std::vector<uint32_t>(size_t{SCREEN_WIDTH} * SCREEN_HEIGHT);
    bool screen_model_kept = true;
    bool audio_open = false;
    int audio_rate = 0;
    int64_t audio_opened_ms = 0;
    int64_t frames_mixed = 0;  // since the audio was opened
};

HeadlessWorld& world() {
    static HeadlessWorld the_world;
    return the_world;
}

void close_log(FILE*& log) {
    if (log != nullptr) std::fclose(log);
    log = nullptr;
}

void open_log(FILE*& log, const std::string& path) {
    close_log(log);
    if (!path.empty()) log = std::fopen(path.c_str(), "w");
}

const char* font_name(const SoftText& text) {
    if (text.stock_font) return "fixed";
    if (text.font_height == 24) return "medium";
    return text.font_height == 32 ? "large" : "other";
}

void log_text(const HeadlessText& text) {
    FILE* log = world().text_log;
    if (log == nullptr) return;
    const unsigned r = text.color & 0xFF, g = (text.color >> 8) & 0xFF,
                   b = (text.color >> 16) & 0xFF;
    std::fprintf(log, "%s %d %d %02X%02X%02X %s %s\n", text.surface.c_str(), text.x, text.y, r, g,
                 b, text.font.c_str(), cp1252_to_utf8(text.text).c_str());
    std::fflush(log);
}

// Part of one row of the front onto the screen model, as 0xRRGGBB.
void copy_row(const SoftFrame& front, int y, int x, int width) {
    const size_t at = static_cast<size_t>(y) * SCREEN_WIDTH + x;
    uint32_t* to = world().screen.data() + at;
    if (front.bits == 32) {
        // XRGB8888: the colour is the pixel's low 24 bits.
        std::memcpy(to, front.pixels + at * 4, static_cast<size_t>(width) * 4);
        for (int i = 0; i < width; ++i)
            to[i] &= 0xFFFFFF;
        return;
    }
    for (int i = 0; i < width; ++i) {
        uint16_t pixel = 0;
        std::memcpy(&pixel, front.pixels + (at + i) * 2, 2);
        to[i] = rgb_from_pixel(pixel, 16);
    }
}

class HeadlessDevice final : public SoftDevice {
  public:
    bool refuses(const char* operation) override { return world().faults.count(operation) != 0; }

    bool open_display() override { return true; }
    bool create_window(const char*, int, int, int, int) override { return true; }
    bool open_screen() override { return true; }

    // The front has the screen's size; 32-bit rows are copied whole.
    void present(const SoftFrame& front, const std::vector<DirtyRect>& changed) override {
        if (!world().screen_model_kept) return;
        for (const DirtyRect& r : changed)
            for (int y = r.y; y < r.y + r.height; ++y)
                copy_row(front, y, r.x, r.width);
    }

    bool wait_for_input() override { return run_next_script_step(); }
    // On the simulated clock: a script's wait that runs past the deadline ends there.
    SoftWait wait_for_input_until(int64_t deadline_us) override {
        const int64_t left_ms = deadline_us / 1000 - world().clock_ms;
        if (left_ms <= 0) return SoftWait::timed_out;
        if (const int64_t waited = cut_wait_at_deadline(left_ms); waited > 0) {
            headless_advance_clock(waited);
            return SoftWait::timed_out;
        }
        return run_next_script_step() ? SoftWait::input : SoftWait::ended;
    }

    int64_t now_us() override { return world().clock_ms * 1000; }
    void sleep_until_us(int64_t when) override {
        headless_advance_clock(when / 1000 - world().clock_ms);
    }

    void message_box(const char* text, const char* caption) override {
        const int windows = soft_live("window") + soft_live("destroyed-window");
        world().message_boxes.push_back({caption, text, soft_live_total() - windows});
        std::printf("MESSAGE %s: %s\n", cp1252_to_utf8(caption).c_str(),
                    cp1252_to_utf8(text).c_str());
        std::fflush(stdout);
    }

    void debug_output(const char* text) override {
        world().debug_lines.push_back(text);
        std::fputs(text, stderr);
    }

    void sound_trace(const char* line) override {
        HeadlessWorld& w = world();
        w.sound_lines.push_back(line);
        if (w.sound_log == nullptr) return;
        std::fprintf(w.sound_log, "%s\n", line);
        std::fflush(w.sound_log);
    }

    // Text is recorded, not drawn: screenshots hold no font's pixels.
    bool render_text(const SoftText& text, CoverageMask*) override {
        HeadlessText record{text.surface, text.x, text.y, text.color, font_name(text), text.text};
        log_text(record);
        world().texts.push_back(std::move(record));
        return false;
    }

    // The buffers play against the simulated clock: before anything looks at them or
    // changes them, the mixer is run for the time that has passed.
    bool open_audio(int rate) override {
        HeadlessWorld& w = world();
        w.audio_open = true;
        w.audio_rate = rate;
        w.audio_opened_ms = w.clock_ms;
        w.frames_mixed = 0;
        return true;
    }
    void lock_audio() override {
        HeadlessWorld& w = world();
        if (!w.audio_open) return;
        const int64_t due = (w.clock_ms - w.audio_opened_ms) * w.audio_rate / 1000;
        int16_t discarded[MIX_CHUNK_FRAMES];
        while (w.frames_mixed < due) {
            const int frames =
                static_cast<int>(std::min<int64_t>(due - w.frames_mixed, MIX_CHUNK_FRAMES));
            soft_mix_audio(discarded, frames, 1);
            w.frames_mixed += frames;
        }
    }
    void close_audio() override { world().audio_open = false; }
};

}  // namespace

SoftDevice& soft_device() {
    static HeadlessDevice device;
    return device;
}

void headless_reset() {
    soft_reset();
    headless_clear_script();
    HeadlessWorld& w = world();
    close_log(w.text_log);
    close_log(w.sound_log);
    w = HeadlessWorld{};
}

bool headless_fail(const std::string& operation) {
    for (const HeadlessFaultName& fault : fault_names) {
        if (operation == fault.name) {
            world().faults.insert(operation);
            return true;
        }
    }
    return false;
}

const std::vector<HeadlessFaultName>& headless_fault_names() {
    return fault_names;
}

void headless_set_text_log(const std::string& path) {
    open_log(world().text_log, path);
}
void headless_set_sound_log(const std::string& path) {
    open_log(world().sound_log, path);
}

const std::vector<HeadlessText>& headless_texts() {
    return world().texts;
}
void headless_clear_texts() {
    world().texts.clear();
}
const std::vector<HeadlessMessageBox>& headless_message_boxes() {
    return world().message_boxes;
}
const std::vector<std::string>& headless_debug_lines() {
    return world().debug_lines;
}
const std::vector<std::string>& headless_sound_lines() {
    return world().sound_lines;
}

uint32_t headless_screen_pixel(int x, int y) {
    if (x < 0 || y < 0 || x >= SCREEN_WIDTH || y >= SCREEN_HEIGHT) return 0;
    return world().screen[static_cast<size_t>(y) * SCREEN_WIDTH + x];
}

bool headless_write_screenshot(const std::string& path) {
    if (soft_front() == nullptr) return false;
    return bmp_write_24(path, SCREEN_WIDTH, SCREEN_HEIGHT, world().screen.data());
}

uint32_t headless_pixel(Surface surface, int x, int y) {
    return rgb_from_pixel(soft_pixel(surface, x, y), soft_surface_bits(surface));
}

void headless_set_pixel(Surface surface, int x, int y, uint32_t rgb) {
    soft_set_pixel(surface, x, y, pixel_from_rgb(rgb, soft_surface_bits(surface)));
}

int64_t headless_clock_ms() {
    return world().clock_ms;
}

void headless_advance_clock(int64_t milliseconds) {
    if (milliseconds > 0) world().clock_ms += milliseconds;
}

void headless_keep_screen_model(bool kept) {
    world().screen_model_kept = kept;
}
