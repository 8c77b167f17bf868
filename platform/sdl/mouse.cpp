// The buffered mouse: SDL's relative motion and buttons as DirectInput-style records.
#include "platform/mouse.h"
#include "platform/sdl/machine.h"

namespace {

constexpr uint32_t FIRST_INPUT_VERSION = 0x0500;

bool window_active() {
    const PlatformWindow* window = machine().window;
    return window != nullptr && window->alive && window->active;
}

}  // namespace

void mouse_buffer_input(std::initializer_list<MouseRecord> records) {
    PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr || !mouse->acquired || mouse->buffer_size == 0) return;
    for (const MouseRecord& record : records) {
        if (mouse->buffer.size() >= mouse->buffer_size) mouse->buffer.pop_front();
        mouse->buffer.push_back(record);
    }
    if (mouse->event != nullptr) mouse->event->signalled = true;
}

size_t mouse_buffer_room() {
    const PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr || !mouse->acquired || mouse->buffer.size() >= mouse->buffer_size)
        return 0;
    return mouse->buffer_size - mouse->buffer.size();
}

void mouse_focus_lost() {
    PlatformMouse* mouse = machine().mouse;
    if (mouse == nullptr) return;
    mouse->acquired = false;
    mouse->buffer.clear();
    mouse_apply_relative_mode();
}

// While the show has the mouse, the system pointer is hidden and held in the window,
// and only relative motion counts; otherwise it is the desktop's again.
void mouse_apply_relative_mode() {
    const PlatformMouse* mouse = machine().mouse;
    const bool wanted = mouse != nullptr && mouse->acquired;
    if ((SDL_GetRelativeMouseMode() == SDL_TRUE) != wanted)
        SDL_SetRelativeMouseMode(wanted ? SDL_TRUE : SDL_FALSE);
}

int32_t input_create(InstanceHandle, uint32_t version, InputObject* input) {
    *input = nullptr;
    if (version < FIRST_INPUT_VERSION) return RESULT_FAIL;
    *input = new PlatformInput;
    return RESULT_OK;
}

int32_t input_create_system_mouse(InputObject, MouseDevice* mouse) {
    auto* device = new PlatformMouse;
    machine().mouse = device;
    *mouse = device;
    return RESULT_OK;
}

int32_t mouse_set_standard_format(MouseDevice mouse) {
    mouse->format_set = true;
    return RESULT_OK;
}

int32_t mouse_set_exclusive_foreground(MouseDevice, WindowHandle window) {
    return window != nullptr && window->alive ? RESULT_OK : RESULT_FAIL;
}

int32_t mouse_set_event_notification(MouseDevice mouse, EventHandle event) {
    mouse->event = event;
    return RESULT_OK;
}

int32_t mouse_set_buffer_size(MouseDevice mouse, uint32_t events) {
    mouse->buffer_size = events;
    return RESULT_OK;
}

int32_t mouse_acquire(MouseDevice mouse) {
    // A foreground device can be had only while its window is the active one.
    if (!mouse->format_set || !window_active()) return RESULT_FAIL;
    mouse->acquired = true;
    mouse_apply_relative_mode();
    return RESULT_OK;
}

int32_t mouse_unacquire(MouseDevice mouse) {
    mouse->acquired = false;
    mouse->buffer.clear();
    mouse_apply_relative_mode();
    return RESULT_OK;
}

int mouse_take_event(MouseDevice mouse, uint32_t* offset, uint32_t* data) {
    if (!mouse->acquired) return MOUSE_READ_FAILED;
    if (mouse->buffer.empty()) return MOUSE_BUFFER_EMPTY;
    *offset = mouse->buffer.front().offset;
    *data = mouse->buffer.front().data;
    mouse->buffer.pop_front();
    return MOUSE_TOOK_EVENT;
}

void mouse_release(MouseDevice mouse) {
    if (machine().mouse == mouse) {
        machine().mouse = nullptr;
        mouse_apply_relative_mode();
    }
    delete mouse;
}

void input_release(InputObject input) {
    delete input;
}

EventHandle event_create() {
    return new PlatformEvent;
}

void event_close(EventHandle event) {
    PlatformMouse* mouse = machine().mouse;
    if (mouse != nullptr && mouse->event == event) mouse->event = nullptr;
    delete event;
}
