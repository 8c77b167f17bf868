// The browser's input events, queued by the page, as the mouse records, key presses,
// characters and window messages the program knows from Windows.
#include <emscripten.h>

#include "platform/common/cp1252.h"
#include "platform/web/web_device.h"
#include "platform/window.h"

namespace {

// What the page queues; the numbers are page.js's.
enum EventKind {
    EVENT_NONE = 0,
    EVENT_MOTION = 1,  // dx, dy in mouse counts
    EVENT_BUTTON = 2,  // button (0 left, 1 right, 2 middle, 3 fourth), pressed
    EVENT_WHEEL = 3,   // notches, away from the user positive
    EVENT_KEY = 4,     // an arrow key's virtual key code
    EVENT_CHAR = 5,    // a Windows-1252 byte (Enter, Esc, Backspace, Tab)
    EVENT_TEXT = 6,    // a typed character's Unicode code point
    EVENT_FOCUS = 7,   // gained
};

// clang-format off
EM_JS(int, page_next_event, (int* values), {
    const event = qz.events.shift();
    if (event === undefined) return 0;
    HEAP32[values >> 2] = event[1];
    HEAP32[(values >> 2) + 1] = event[2];
    return event[0];
});
EM_ASYNC_JS(void, page_wait_for_event, (), { await qz.nextEvent(); });
EM_JS(int, page_has_event, (), { return qz.events.length > 0; });
EM_JS(void, page_set_relative_mouse, (int on), { qz.setRelativeMouse(on !== 0); });
// clang-format on

void translate(int kind, int a, int b) {
    switch (kind) {
        case EVENT_MOTION:
            return soft_mouse_motion(a, b);
        case EVENT_BUTTON:
            return soft_mouse_button(a, b != 0);
        case EVENT_WHEEL:
            return soft_mouse_wheel(a);
        case EVENT_KEY:
            return soft_key(static_cast<uintptr_t>(a));
        case EVENT_CHAR:
            return soft_char(static_cast<uint8_t>(a));
        case EVENT_TEXT:
            if (const int byte = cp1252_byte_of(static_cast<uint32_t>(a)); byte >= 0)
                soft_char(static_cast<uint8_t>(byte));
            return;
        case EVENT_FOCUS:
            return soft_focus(a != 0);
        default:
            return;
    }
}

}  // namespace

// Waits for the page's next event without polling: the program sleeps until the page
// wakes it. The program's mouse reads follow each signal, so taking more events stops
// while the buffer could overflow, so that no press is pushed out by the motion
// behind it.
bool WebDevice::wait_for_input() {
    if (!window_open_) return false;
    keep_show_file_when_saved();
    if (page_has_event() == 0) page_wait_for_event();
    int values[2];
    do {
        const int kind = page_next_event(values);
        if (kind == EVENT_NONE) break;
        translate(kind, values[0], values[1]);
    } while (soft_mouse_room() >= SOFT_MOUSE_RECORDS_PER_INPUT);
    return true;
}

// While the show has the mouse the page asks for the pointer lock, which the browser
// grants at the next click; until then motion comes from the pointer's positions.
void WebDevice::set_relative_mouse(bool on) {
    page_set_relative_mouse(on ? 1 : 0);
}
