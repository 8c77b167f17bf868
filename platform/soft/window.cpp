// The window, the thread's message queue, the wait for input and the pauses.
#include "platform/window.h"
#include "platform/common/cp1252.h"
#include "platform/soft/machine.h"

namespace {

// A pause that starts this soon after the end the previous one aimed at continues its
// timetable; a later one starts afresh.
constexpr int64_t PAUSES_FOLLOW_WITHIN_US = 16000;

intptr_t send_message(PlatformWindow* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == nullptr || !window->alive || window->procedure == nullptr) return 0;
    return window->procedure(window, message, wparam, lparam);
}

void queue_message(uint32_t message, uintptr_t wparam) {
    PlatformWindow* window = live_window();
    if (window != nullptr) machine().queue.push_back(WindowMessage{window, message, wparam, 0});
}

}  // namespace

PlatformWindow* live_window() {
    PlatformWindow* window = machine().window;
    return window != nullptr && window->alive ? window : nullptr;
}

void soft_key(uintptr_t virtual_key) {
    queue_message(MESSAGE_KEYDOWN, virtual_key);
}

void soft_char(uint8_t character) {
    queue_message(MESSAGE_CHAR, character);
}

void soft_text_utf8(const std::string& text) {
    for (unsigned char byte : utf8_to_cp1252(text))
        soft_char(byte);
}

void soft_close() {
    queue_message(MESSAGE_CLOSE, 0);
}

// Activation reaches the procedure at once, inside the wait, as the system sends it.
void soft_focus(bool gained) {
    PlatformWindow* window = live_window();
    if (window == nullptr || window->active == gained) return;
    window->active = gained;
    // Like a foreground DirectInput device, the mouse stops the moment the focus goes.
    if (!gained) stop_mouse();
    send_message(window, MESSAGE_ACTIVATE, gained ? ACTIVATE_ACTIVE : ACTIVATE_INACTIVE, 0);
}

void window_register_class(InstanceHandle, const char* class_name, const char*,
                           WindowProcedure procedure) {
    machine().classes[class_name] = procedure;
}

WindowHandle window_create_topmost_popup(InstanceHandle, const char* class_name, const char* title,
                                         int x, int y, int width, int height) {
    SoftMachine& m = machine();
    auto found = m.classes.find(class_name);
    if (found == m.classes.end() || should_fail("window") ||
        !soft_device().create_window(title, x, y, width, height))
        return nullptr;
    PlatformWindow* window = adopt(new PlatformWindow, "window");
    window->procedure = found->second;
    m.window = window;
    send_message(window, MESSAGE_CREATE, 0, 0);
    return window;
}

// Showing activates the window, and the procedure hears of it before this returns.
void window_show(WindowHandle window, int) {
    if (window == nullptr || !window->alive) return;
    if (window == machine().window) soft_device().show_window();
    if (window->active) return;
    window->active = true;
    send_message(window, MESSAGE_ACTIVATE, ACTIVATE_ACTIVE, 0);
}

void window_update(WindowHandle) {
    present_front();
}

void window_destroy(WindowHandle window) {
    if (window == nullptr || !window->alive) return;
    send_message(window, MESSAGE_DESTROY, 0, 0);
    window->alive = false;
    window->active = false;
    auto& queue = machine().queue;
    for (auto it = queue.begin(); it != queue.end();)
        it = it->window == window ? queue.erase(it) : it + 1;
    if (window == machine().window) {
        stop_mouse();
        soft_device().destroy_window();
    }
    // The handle stays valid memory until the reset, so late calls with it find it dead.
    machine().objects[window].kind = "destroyed-window";
}

int screen_width() {
    int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
    soft_device().screen_size(&width, &height);
    return width;
}

int screen_height() {
    int width = SCREEN_WIDTH, height = SCREEN_HEIGHT;
    soft_device().screen_size(&width, &height);
    return height;
}

void message_box(WindowHandle, const char* text, const char* caption) {
    soft_device().message_box(text, caption);
}

namespace {

// The signalled event comes first, then queued messages; only then is the device asked
// for more input, until `deadline_us` where there is one. When it has none left, the
// window goes, and the program is handed the quit request rather than left waiting for
// ever.
int wait_until(EventHandle event, const int64_t* deadline_us) {
    SoftMachine& m = machine();
    ++m.counters.waits;
    // Pauses on either side of a wait for input belong to different effects.
    m.pauses_follow = false;
    for (;;) {
        // Whatever the program drew on the front must be seen before it sleeps.
        present_front();
        if (event != nullptr && event->signalled) {
            event->signalled = false;
            return WAIT_EVENT_SIGNALLED;
        }
        if (!m.queue.empty()) return WAIT_MESSAGE_QUEUED;
        const SoftWait woke =
            deadline_us == nullptr
                ? (soft_device().wait_for_input() ? SoftWait::input : SoftWait::ended)
                : soft_device().wait_for_input_until(*deadline_us);
        if (woke == SoftWait::input) continue;
        if (woke == SoftWait::timed_out) return WAIT_TIMED_OUT;
        // The window's procedure may release the event: it is not looked at again.
        if (PlatformWindow* window = live_window()) window_destroy(window);
        if (m.queue.empty()) post_quit_message(0);
        return WAIT_MESSAGE_QUEUED;
    }
}

}  // namespace

int wait_for_event_or_message(EventHandle event) {
    return wait_until(event, nullptr);
}

int wait_for_event_or_message_timeout(EventHandle event, uint32_t milliseconds) {
    const int64_t deadline_us = soft_device().now_us() + int64_t{milliseconds} * 1000;
    return wait_until(event, &deadline_us);
}

int peek_message(WindowMessage* message) {
    auto& queue = machine().queue;
    if (queue.empty()) return 0;
    *message = queue.front();
    queue.pop_front();
    return 1;
}

// Key presses are queued already as the characters they make.
void translate_message(const WindowMessage*) {}

intptr_t dispatch_message(const WindowMessage* message) {
    ++machine().counters.messages_dispatched;
    return send_message(message->window, message->message, message->wparam, message->lparam);
}

intptr_t default_window_procedure(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == MESSAGE_CLOSE) window_destroy(window);
    return 0;
}

void post_quit_message(int exit_code) {
    machine().queue.push_back(
        WindowMessage{nullptr, MESSAGE_QUIT, static_cast<uintptr_t>(exit_code), 0});
}

int post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == nullptr || !window->alive) return 0;
    machine().queue.push_back(WindowMessage{window, message, wparam, lparam});
    return 1;
}

void debug_output(const char* text) {
    soft_device().debug_output(text);
}

// The transition pauses 1 ms after every eight steps. A real sleep of 1 ms lasts
// longer, which with the presents between would stretch its 64 pauses by a third; so
// pauses that follow each other closely keep to one timetable: each ends its length
// after the end the previous one aimed at, and what one pause or the work after it
// overran is taken off the next.
void pause_milliseconds(int milliseconds) {
    SoftMachine& m = machine();
    ++m.counters.pauses;
    m.counters.paused_ms += milliseconds;
    present_front();
    if (milliseconds <= 0) return;
    SoftDevice& device = soft_device();
    const int64_t now = device.now_us();
    const bool follows = m.pauses_follow && now - m.pause_ends_at <= PAUSES_FOLLOW_WITHIN_US;
    m.pause_ends_at = (follows ? m.pause_ends_at : now) + int64_t{milliseconds} * 1000;
    m.pauses_follow = true;
    device.sleep_until_us(m.pause_ends_at);
}
