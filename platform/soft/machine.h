// The objects behind the program's handles and the one machine that holds them.
// Only the software platform's own files include this header.
#pragma once

#include <cstdint>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/common/bmp_decoder.h"
#include "platform/soft/mixer.h"
#include "platform/soft/pixel_memory.h"
#include "platform/soft/soft.h"
#include "platform/window.h"

struct PlatformWindow {
    WindowProcedure procedure = nullptr;
    bool alive = true;
    bool active = false;
};

struct PlatformDisplay {
    PlatformWindow* window = nullptr;  // set by exclusive cooperation
    int bits = 0;                      // 0 until a display mode is set
};

struct PlatformSurface {
    int width = 0;
    int height = 0;
    int bits = 32;
    PixelMemory pixels;      // rows of width pixels of bits / 8 bytes
    bool color_key = false;  // black is left out by keyed copies from here
    bool primary = false;
    PlatformSurface* attached = nullptr;  // the primary's back buffer
    std::string role;
    int dcs_out = 0;

    int bytes_per_pixel() const { return bits / 8; }
    uint8_t* at(int x, int y) {
        return pixels.data() + (static_cast<size_t>(y) * width + x) * bytes_per_pixel();
    }
};

// Pixel values in a surface's memory: 4 bytes of XRGB8888 or 2 of RGB565.
inline uint32_t load_pixel(const uint8_t* at, int bytes_per_pixel) {
    if (bytes_per_pixel == 4) {
        uint32_t value;
        std::memcpy(&value, at, 4);
        return value;
    }
    uint16_t value;
    std::memcpy(&value, at, 2);
    return value;
}

inline void store_pixel(uint8_t* at, uint32_t value, int bytes_per_pixel) {
    if (bytes_per_pixel == 4) {
        std::memcpy(at, &value, 4);
    } else {
        const auto narrow = static_cast<uint16_t>(value);
        std::memcpy(at, &narrow, 2);
    }
}

struct PlatformFont {
    int height = 0;
    bool stock = false;
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
    bool input_lost = false;
    PlatformEvent* event = nullptr;
    size_t buffer_size = 0;
    std::deque<MouseRecord> buffer;
};

struct PlatformSoundBuffer;

struct PlatformSoundDevice {
    // Read by the audio side: change only with the audio locked.
    std::vector<PlatformSoundBuffer*> buffers;
    std::vector<Voice*> voices;
};

struct PlatformSoundBuffer {
    PlatformSoundDevice* device = nullptr;  // nullptr once the device is gone
    std::vector<uint8_t> bytes;
    uint32_t block_align = 1;
    int32_t volume = 0;
    Voice voice;
    bool locked = false;
};

struct SoftMachine {
    struct Owned {
        std::string kind;
        void (*destroy)(void*);
    };
    std::map<void*, Owned> objects;
    std::map<std::string, WindowProcedure> classes;
    PlatformWindow* window = nullptr;  // the latest window made
    std::deque<WindowMessage> queue;
    PlatformMouse* mouse = nullptr;
    std::vector<PlatformSurface*> surfaces;  // in the order they were made
    int offscreen_created = 0;
    PlatformSurface* front = nullptr;      // what the screen shows
    DirtyRegion dirty;                     // of the front, since the last present
    PlatformSoundDevice* audio = nullptr;  // what the audio side mixes
    bool pauses_follow = false;            // no wait for input since the last pause
    int64_t pause_ends_at = 0;             // where the last pause aimed, in microseconds
    SoftCounters counters;
};

SoftMachine& machine();

// Every object handed to the program is registered with its kind, so that live objects
// can be counted and a reset frees what the program left behind.
void register_object(void* object, const char* kind, void (*destroy)(void*));
// Deletes a registered object; false when it is not (or no longer) registered.
bool dispose_object(void* object);
bool is_live(const void* object, const char* kind);

template <class T>
T* adopt(T* object, const char* kind) {
    register_object(object, kind, [](void* p) { delete static_cast<T*>(p); });
    return object;
}

inline bool should_fail(const char* operation) {
    return soft_device().refuses(operation);
}

// window.cpp
PlatformWindow* live_window();
// surfaces.cpp: records that a rectangle of the surface was written; brings the
// front's changes to the screen.
void note_drawn(const PlatformSurface* surface, int x, int y, int width, int height);
void present_front();
// mouse.cpp: the mouse stops delivering and the system pointer is the desktop's again.
void stop_mouse();
