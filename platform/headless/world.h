// The scripted backend's machine: every object the program can hold, kept in memory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/headless/headless.h"
#include "platform/sound.h"
#include "platform/window.h"

struct PlatformSurface {
    int width = 0;
    int height = 0;
    int bits = 32;
    std::vector<uint32_t> pixels;  // one value per pixel: XRGB or RGB565 in the low bits
    bool color_key = false;
    bool primary = false;
    PlatformSurface* attached = nullptr;  // the primary's back buffer
    std::string name;
    int dcs_out = 0;
};

struct PlatformDisplay {
    int bits = 0;
    bool exclusive = false;
};

struct PlatformFont {
    int height = 0;
    std::string name;
    bool stock = false;
};

struct PlatformBitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // XRGB, top row first
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

struct MouseRecord {
    uint32_t offset;
    uint32_t data;
};

struct PlatformInput {};

struct PlatformMouse {
    bool format_set = false;
    bool cooperative = false;
    bool acquired = false;
    PlatformEvent* event = nullptr;
    size_t buffer_size = 0;
    std::deque<MouseRecord> buffer;
    bool input_lost = false;
};

struct PlatformWindow {
    WindowProcedure procedure = nullptr;
    bool alive = true;
    bool active = false;
};

struct PlatformSoundDevice {
    bool exclusive = false;
};

struct PlatformSoundBuffer {
    WaveFormat format{};
    std::vector<uint8_t> bytes;
    uint32_t position = 0;
    uint32_t frequency = 0;
    int32_t volume = 0;
    bool playing = false;
    bool looping = false;
    int64_t clock_at_position = 0;  // when position was last brought up to date
    bool locked = false;
};

// One scripted step.
struct ScriptStep {
    std::string command;
    std::vector<std::string> words;
    std::string rest;  // the text after the command, for "type"
};

struct HeadlessWorld {
    std::set<std::string> faults;
    struct Owned {
        std::string kind;
        void (*destroy)(void*);
    };
    std::map<void*, Owned> objects;
    std::map<std::string, WindowProcedure> classes;
    PlatformWindow* window = nullptr;  // the latest window created
    std::deque<WindowMessage> queue;
    std::deque<ScriptStep> script;
    bool script_ended = false;
    PlatformMouse* mouse = nullptr;
    int offscreen_created = 0;
    PlatformSurface* front = nullptr;
    std::vector<PlatformSurface*> surfaces;
    int64_t clock_ms = 0;
    HeadlessCounters counters;
    std::vector<HeadlessText> texts;
    std::vector<HeadlessMessageBox> message_boxes;
    std::vector<std::string> debug_lines;
    std::vector<std::string> sound_lines;
    std::vector<PlatformSoundBuffer*> sound_buffers;
    int sound_buffers_created = 0;
    FILE* text_log = nullptr;
    FILE* sound_log = nullptr;
};

HeadlessWorld& world();

// Every object handed to the program is registered with a kind, so that live objects
// can be counted and a reset frees what the program left behind.
void register_object(void* object, const char* kind, void (*destroy)(void*));
// Deletes a registered object; false when it is not (or no longer) registered.
bool dispose_object(void* object);

template <class T>
T* adopt(T* object, const char* kind) {
    register_object(object, kind, [](void* p) { delete static_cast<T*>(p); });
    return object;
}

bool should_fail(const char* operation);

// Script steps that need the window and mouse machinery (input.cpp).
bool run_script_step(const ScriptStep& step);
void deliver_end_of_script();
// Brings a buffer's play position up to the simulated clock (sound.cpp).
void advance_sound_buffer(PlatformSoundBuffer* buffer);
