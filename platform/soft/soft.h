// The Windows objects behind the platform headers, kept in memory once for every
// backend but the Windows one: the window with its message queue, surfaces, device
// contexts, bitmaps, the buffered mouse and the sound buffers with their mixer.
//
// Below it each backend is a thin device: a screen to show the front surface on,
// input to wait for, a clock, a glyph source and an audio output. The device feeds
// its input in through the soft_* input functions; tests and tools look at the
// objects through the inspection functions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/soft/dirty_region.h"
#include "platform/types.h"

// The show's screen: the one display mode the platform offers, and the size of its
// front and back surfaces.
constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// The front surface's pixels: rows of width pixels, XRGB8888 (bits 32) or RGB565 (16).
struct SoftFrame {
    const uint8_t* pixels;
    int width;
    int height;
    int bits;
};

// One text drawn on a surface's device context.
struct SoftText {
    const char* surface;  // the surface's role: front, back, sheet, picture, spare
    int x;
    int y;
    ColorRef color;
    int font_height;   // the font's cell height in pixels
    bool stock_font;   // the system's fixed-pitch font rather than a created one
    std::string text;  // Windows-1252 bytes
};

// How much a text covers each pixel of the box it is drawn in, from (x, y) on.
struct CoverageMask {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;  // row by row: 0 not at all, 255 fully
};

// How a device's wait for input ended.
enum class SoftWait { input, timed_out, ended };

class SoftDevice {
  public:
    virtual ~SoftDevice() = default;

    // Whether the named operation ("ddraw", "mode32", "sound-lock", ...) is to fail;
    // the names are those of the scripted runner's --fail. None, unless a device says.
    virtual bool refuses(const char* operation);

    // The display, false when none can be reached; the size of its screen.
    virtual bool open_display() = 0;
    // The show's own size unless a device has a screen of its own.
    virtual void screen_size(int* width, int* height);
    // The one window; false when it cannot be made.
    virtual bool create_window(const char* title, int x, int y, int width, int height) = 0;
    virtual void show_window() {}
    virtual void destroy_window() {}
    // The window is to show the front surface from now on; false when it cannot.
    virtual bool open_screen() = 0;
    // Brings the changed rectangles of the front to the screen.
    virtual void present(const SoftFrame& front, const std::vector<DirtyRect>& changed) = 0;

    // Blocks until the device has fed some input in through the soft_* input functions
    // (a scripted device runs its next step instead); false when no more will come.
    virtual bool wait_for_input() = 0;
    // As wait_for_input, but only until the clock (now_us) reaches `deadline_us`. A
    // device without a timer of its own waits as wait_for_input does.
    virtual SoftWait wait_for_input_until(int64_t deadline_us);
    // Relative motion, the system pointer held and hidden, while the mouse is acquired.
    virtual void set_relative_mouse(bool) {}

    // The clock in microseconds, and sleeping on it: the system's monotonic clock unless
    // a device keeps its own.
    virtual int64_t now_us();
    virtual void sleep_until_us(int64_t when);

    // Returns once the user has answered the box. Texts are Windows-1252.
    virtual void message_box(const char* text, const char* caption) = 0;
    // Standard error unless a device shows it elsewhere.
    virtual void debug_output(const char* text);
    // A file of the show that could not be opened or read, and why; most devices say
    // nothing of it.
    virtual void file_trouble(const char* /*file_name*/, const char* /*why*/) {}
    virtual void sound_trace(const char* line) = 0;

    // The glyph source: the text's coverage in a bold fixed-pitch font of the given
    // cell height; false when nothing is to be drawn.
    virtual bool render_text(const SoftText& text, CoverageMask* mask) = 0;

    // Audio output of 16-bit frames at the given rate, in 1 or 2 channels; the device's
    // audio side fills it with soft_mix_audio. Changes the audio side could see are
    // made between lock_audio and unlock_audio.
    virtual bool open_audio(int rate) = 0;
    virtual void lock_audio() {}
    virtual void unlock_audio() {}
    virtual void close_audio() = 0;
};

// The device of the backend this program is linked with.
SoftDevice& soft_device();

// --- input, fed in by the device as the system would deliver it ---

// Buffered as mouse records while the mouse is acquired, signalling its event.
void soft_mouse_motion(int dx, int dy);
void soft_mouse_button(int button, bool pressed);  // 0 left, 1 right, 2 middle, 3 fourth
void soft_mouse_record(uint32_t offset, uint32_t data);
void soft_mouse_wheel(int notches);  // away from the user positive
// Records the buffer takes before it drops old ones; unlimited while nothing is buffered.
size_t soft_mouse_room();
// The most records one input makes (a motion both ways). A device takes no more input
// while the room is less, so that no press is pushed out by the motion behind it.
constexpr size_t SOFT_MOUSE_RECORDS_PER_INPUT = 2;
// Another program took the mouse: it is no longer acquired, and its next read says so.
void soft_mouse_input_lost();
// Queued to the window: an arrow key, typed characters (Windows-1252 or UTF-8), a close request.
void soft_key(uintptr_t virtual_key);
void soft_char(uint8_t character);
void soft_text_utf8(const std::string& text);
void soft_close();
// The window gains or loses the focus; losing it stops the mouse at once.
void soft_focus(bool gained);
// The screen lost what it showed: send the whole front again at the next present.
void soft_repaint();

// --- the audio side ---

// Fills frames of the audio output (interleaved 16-bit samples, 1 or 2 channels) with
// the playing sound buffers, and moves them on.
void soft_mix_audio(int16_t* out, int frames, int channels);
// Whether any sound buffer is playing, so that a device may close its output while
// nothing is. Asked on the audio side, or with the audio locked.
bool soft_sounding();

// --- inspection, for the devices, tests and tools ---

// Frees every object: a new machine.
void soft_reset();

struct SoftCounters {
    int copies = 0;          // fast copies carried out
    int keyed_copies = 0;    // of which with the colour key
    int refused_copies = 0;  // refused: outside a surface, or a device context still out
    int flips = 0;
    int pauses = 0;
    int64_t paused_ms = 0;
    int waits = 0;  // calls of the blocking wait
    int bitmap_file_reads = 0;
    int messages_dispatched = 0;
    int sound_buffers_created = 0;
};
SoftCounters& soft_counters();

// Objects created and not yet released, by kind ("surface", "display", "font", "input",
// "mouse", "event", "sound-device", "sound-buffer", "bitmap", "dc", "window",
// "destroyed-window").
int soft_live(const std::string& kind);
int soft_live_total();

// Pixel values: XRGB8888 on 32-bit surfaces, RGB565 on 16-bit ones; 0xRRGGBB colours.
inline uint32_t pixel_from_rgb(uint32_t rgb, int bits) {
    if (bits != 16) return rgb & 0xFFFFFF;
    return ((rgb >> 8) & 0xF800) | ((rgb >> 5) & 0x07E0) | ((rgb >> 3) & 0x001F);
}
// 16 bits are widened by bit replication.
inline uint32_t rgb_from_pixel(uint32_t pixel, int bits) {
    if (bits != 16) return pixel & 0xFFFFFF;
    const uint32_t r = (pixel >> 11) & 0x1F, g = (pixel >> 5) & 0x3F, b = pixel & 0x1F;
    return ((r << 3 | r >> 2) << 16) | ((g << 2 | g >> 4) << 8) | (b << 3 | b >> 2);
}

// Surfaces by the role the program made them in (front, back, sheet, picture, spare);
// nullptr when absent.
Surface soft_surface(const std::string& role);
Surface soft_front();
std::string soft_surface_role(Surface surface);
int soft_surface_bits(Surface surface);
// The raw stored value; 0 outside the surface.
uint32_t soft_pixel(Surface surface, int x, int y);
void soft_set_pixel(Surface surface, int x, int y, uint32_t value);

struct SoftSoundState {
    bool exists = false;
    uint32_t size = 0;
    uint32_t position = 0;  // in bytes
    uint32_t frequency = 0;
    int32_t volume = 0;
    bool playing = false;
    bool looping = false;
    std::vector<uint8_t> bytes;
};
SoftSoundState soft_sound_state(SoundBuffer buffer);
