// The buffered mouse, DirectInput-style, and the event it signals.
#include <limits>

#include "platform/mouse.h"
#include "platform/soft/machine.h"

namespace {

constexpr uint32_t FIRST_INPUT_VERSION = 0x0500;

bool window_active() {
    const PlatformWindow* window = live_window();
    return window != nullptr && window->active;
}

void follow_acquisition() {
    const PlatformMouse* mouse = machine().mouse;
    soft_device().set_relative_mouse(mouse != nullptr && mouse->acquired);
}

}  // namespace

// The device keeps input only while it is acquired, and signals the event when
// something new is buffered; a full buffer drops its oldest record.
void soft_mouse_record(uint32_t offset, uint32_t data) {
    PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr || !mouse->acquired || mouse->buffer_size == 0) return;
    if (mouse->buffer.size() >= mouse->buffer_size) mouse->buffer.pop_front();
    mouse->buffer.push_back(MouseRecord{offset, data});
    if (mouse->event != nullptr) mouse->event->signalled = true;
}

void soft_mouse_motion(int dx, int dy) {
    if (dx != 0) soft_mouse_record(MOUSE_OFFSET_X, static_cast<uint32_t>(dx));
    if (dy != 0) soft_mouse_record(MOUSE_OFFSET_Y, static_cast<uint32_t>(dy));
}

// Windows reports a wheel notch as 120.
void soft_mouse_wheel(int notches) {
    constexpr int WHEEL_DELTA = 120;
    soft_mouse_record(MOUSE_OFFSET_WHEEL, static_cast<uint32_t>(notches * WHEEL_DELTA));
}

void soft_mouse_button(int button, bool pressed) {
    soft_mouse_record(MOUSE_OFFSET_BUTTON0 + static_cast<uint32_t>(button),
                      pressed ? MOUSE_BUTTON_PRESSED : 0u);
}

size_t soft_mouse_room() {
    const PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr || !mouse->acquired) return std::numeric_limits<size_t>::max();
    return mouse->buffer.size() >= mouse->buffer_size ? 0
                                                      : mouse->buffer_size - mouse->buffer.size();
}

void soft_mouse_input_lost() {
    PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr || !mouse->acquired) return;
    mouse->acquired = false;
    mouse->input_lost = true;
    if (mouse->event != nullptr) mouse->event->signalled = true;
    follow_acquisition();
}

void stop_mouse() {
    if (machine().mouse != nullptr) mouse_unacquire(machine().mouse);
}

int32_t input_create(InstanceHandle, uint32_t version, InputObject* input) {
    *input = nullptr;
    if (should_fail("mouse-input") || version < FIRST_INPUT_VERSION) return RESULT_FAIL;
    *input = adopt(new PlatformInput, "input");
    return RESULT_OK;
}

int32_t input_create_system_mouse(InputObject, MouseDevice* mouse) {
    *mouse = nullptr;
    if (should_fail("mouse-device")) return RESULT_FAIL;
    PlatformMouse* device = adopt(new PlatformMouse, "mouse");
    machine().mouse = device;
    *mouse = device;
    return RESULT_OK;
}

int32_t mouse_set_standard_format(MouseDevice mouse) {
    if (should_fail("mouse-format")) return RESULT_FAIL;
    mouse->format_set = true;
    return RESULT_OK;
}

int32_t mouse_set_exclusive_foreground(MouseDevice, WindowHandle window) {
    return should_fail("mouse-coop") || window == nullptr || !window->alive ? RESULT_FAIL
                                                                            : RESULT_OK;
}

int32_t mouse_set_event_notification(MouseDevice mouse, EventHandle event) {
    if (should_fail("mouse-notify")) return RESULT_FAIL;
    mouse->event = event;
    return RESULT_OK;
}

int32_t mouse_set_buffer_size(MouseDevice mouse, uint32_t events) {
    if (should_fail("mouse-buffer")) return RESULT_FAIL;
    mouse->buffer_size = events;
    return RESULT_OK;
}

// A foreground device can be acquired only while its window is the active one.
int32_t mouse_acquire(MouseDevice mouse) {
    if (should_fail("mouse-acquire") || !mouse->format_set || !window_active()) return RESULT_FAIL;
    mouse->acquired = true;
    mouse->input_lost = false;
    follow_acquisition();
    return RESULT_OK;
}

int32_t mouse_unacquire(MouseDevice mouse) {
    mouse->acquired = false;
    mouse->buffer.clear();
    follow_acquisition();
    return RESULT_OK;
}

int mouse_take_event(MouseDevice mouse, uint32_t* offset, uint32_t* data) {
    if (mouse->input_lost) {
        mouse->input_lost = false;
        return MOUSE_INPUT_LOST;
    }
    if (!mouse->acquired || should_fail("mouse-read")) return MOUSE_READ_FAILED;
    if (mouse->buffer.empty()) return MOUSE_BUFFER_EMPTY;
    *offset = mouse->buffer.front().offset;
    *data = mouse->buffer.front().data;
    mouse->buffer.pop_front();
    return MOUSE_TOOK_EVENT;
}

void mouse_release(MouseDevice mouse) {
    if (machine().mouse == mouse) {
        machine().mouse = nullptr;
        follow_acquisition();
    }
    dispose_object(mouse);
}

void input_release(InputObject input) {
    dispose_object(input);
}

EventHandle event_create() {
    if (should_fail("mouse-event")) return nullptr;
    return adopt(new PlatformEvent, "event");
}

void event_close(EventHandle event) {
    PlatformMouse* mouse = machine().mouse;
    if (mouse != nullptr && mouse->event == event) mouse->event = nullptr;
    dispose_object(event);
}
