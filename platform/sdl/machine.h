// The SDL backend's own state: the objects behind the program's handles, the one
// window with its message queue, and the screen the front surface is shown on.
// Only the backend's files and its tests include this header.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "platform/common/bmp_decoder.h"
#include "platform/sdl/dirty_region.h"
#include "platform/sdl/letterbox.h"
#include "platform/sdl/mixer.h"
#include "platform/window.h"

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

struct PlatformWindow {
    SDL_Window* sdl = nullptr;
    WindowProcedure procedure = nullptr;
    bool alive = true;
    bool active = false;
};

struct PlatformDisplay {
    WindowHandle window = nullptr;  // set by exclusive cooperation
    int bits = 0;                   // 0 until a display mode is set
};

struct PlatformSurface {
    SDL_Surface* pixels = nullptr;        // XRGB8888 or RGB565, no colour key of SDL's own
    bool color_key = false;               // black is left out by keyed copies from here
    bool primary = false;                 // what the screen shows
    PlatformSurface* attached = nullptr;  // the primary's back buffer
    int dcs_out = 0;
};

struct PlatformFont {
    TTF_Font* ttf = nullptr;  // nullptr when the font file could not be opened
    int height = 0;
};

struct PlatformBitmap {
    DecodedImage image;  // XRGB8888
};

struct PlatformDC {
    PlatformSurface* surface = nullptr;  // nullptr: a memory device context
    PlatformBitmap* bitmap = nullptr;    // selected into a memory device context
    PlatformFont* font = nullptr;
    ColorRef color = 0;
    bool transparent = false;
};

struct PlatformEvent {
    bool signalled = false;
};

struct PlatformInput {};

struct MouseRecord {
    uint32_t offset;
    uint32_t data;
};

struct PlatformMouse {
    bool format_set = false;
    bool acquired = false;
    PlatformEvent* event = nullptr;
    size_t buffer_size = 0;
    std::deque<MouseRecord> buffer;
};

struct PlatformSoundBuffer;

struct PlatformSoundDevice {
    SDL_AudioDeviceID id = 0;  // 0 while the output is closed, as nothing sounds
    SDL_AudioSpec wanted{};    // to open the output again
    int channels = 2;
    int rate = 11025;
    std::atomic<bool> quiet_told{false};  // the audio thread has told the main thread all is quiet
    // Read by the audio thread: change only with the device locked.
    std::vector<PlatformSoundBuffer*> buffers;
    std::vector<Voice*> voices;
};

struct PlatformSoundBuffer {
    PlatformSoundDevice* device = nullptr;  // nullptr once the device is gone
    std::vector<uint8_t> bytes;
    uint32_t block_align = 1;
    Voice voice;
    bool locked = false;
};

// How the front surface reaches the screen: copied into the window's own surface,
// scaled into a letterbox when that is not 1024x768.
struct Screen {
    SDL_Window* window = nullptr;   // nullptr: nothing is shown
    SDL_Surface* scaled = nullptr;  // the front at the letterbox's size; nullptr: unscaled
    Letterbox box{};                // where the front lands on the window surface
    int target_width = 0;           // the window surface size the letterbox fits
    int target_height = 0;
    DirtyRegion dirty;
};

struct SdlMachine {
    bool video_tried = false;
    bool video_ready = false;
    std::string display_failure;  // why no display could be opened; empty when one was
    bool ttf_ready = false;
    std::map<std::string, WindowProcedure> classes;
    std::vector<PlatformWindow*> windows;  // kept to the end, so late calls find them dead
    PlatformWindow* window = nullptr;      // the latest window created
    std::deque<WindowMessage> queue;
    PlatformMouse* mouse = nullptr;
    PlatformSurface* front = nullptr;
    Screen screen;
    std::chrono::steady_clock::time_point pause_ends_at{};  // where the last pause aimed
    int audio_quits_due = 0;  // SDL audio set up for a device that did not open
    PlatformSoundDevice* sound = nullptr;
};

SdlMachine& machine();

// --- video.cpp ---
// Starts SDL's video once; false when no display can be reached.
bool video_open();
// Shows front on the window from now on; false when the window has no surface.
bool screen_attach(SDL_Window* window, PlatformSurface* front);
void screen_detach();
// The window's contents were lost or its size changed: paint it all anew.
void screen_refit();
// Records that the rectangle of surface was written, when surface is what the screen shows.
void note_drawn(const PlatformSurface* surface, int x, int y, int width, int height);
void note_front_replaced();
// Brings everything written to the front since the last time to the screen.
void screen_present();

// --- window.cpp ---
void queue_window_message(uint32_t message, uintptr_t wparam);
void translate_sdl_event(const SDL_Event& event);

// --- mouse.cpp ---
// Buffers records, only while the mouse is acquired, and signals its event.
void mouse_buffer_input(std::initializer_list<MouseRecord> records);
// How many more records the buffer takes before it drops old ones.
size_t mouse_buffer_room();
// The window lost the focus: a foreground device stops delivering at once.
void mouse_focus_lost();
// The relative mouse follows acquisition: on while acquired, off otherwise.
void mouse_apply_relative_mode();

// --- sound.cpp ---
// Gives up SDL's audio where a device did not open, and closes the output while
// nothing sounds; the wait for input calls it when it is due and nothing happens.
bool sound_settling_due();
void sound_settle();

// --- text.cpp ---
void fonts_close();

// The end of the run, or a test's fresh start: frees every object and closes SDL.
void sdl_backend_shutdown();
