// Window, message queue, mouse device and the input script of the scripted backend.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/common/cp1252.h"
#include "platform/headless/world.h"
#include "platform/mouse.h"
#include "platform/window.h"

namespace {

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

intptr_t send_message(PlatformWindow* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == nullptr || !window->alive || window->procedure == nullptr) return 0;
    return window->procedure(window, message, wparam, lparam);
}

void queue_message(uint32_t message, uintptr_t wparam) {
    HeadlessWorld& w = world();
    if (w.window == nullptr || !w.window->alive) return;
    w.queue.push_back(WindowMessage{w.window, message, wparam, 0});
}

// DirectInput keeps input only while the device is acquired, and signals the event
// when something new is buffered.
void buffer_mouse_input(std::initializer_list<MouseRecord> records) {
    PlatformMouse* mouse = world().mouse;
    if (mouse == nullptr || !mouse->acquired || mouse->buffer_size == 0) return;
    for (const MouseRecord& record : records) {
        if (mouse->buffer.size() >= mouse->buffer_size) mouse->buffer.pop_front();
        mouse->buffer.push_back(record);
    }
    if (mouse->event != nullptr) mouse->event->signalled = true;
}

uint32_t button_offset(const std::string& word) {
    return word == "right" ? MOUSE_OFFSET_BUTTON1 : MOUSE_OFFSET_BUTTON0;
}

uintptr_t arrow_key(const std::string& word) {
    if (word == "left") return KEY_LEFT;
    if (word == "up") return KEY_UP;
    if (word == "right") return KEY_RIGHT;
    return KEY_DOWN;
}

bool is_integer(const std::string& word) {
    if (word.empty()) return false;
    char* end = nullptr;
    std::strtol(word.c_str(), &end, 10);
    return *end == '\0';
}

bool valid_step(const ScriptStep& step, std::string* error) {
    const std::string& c = step.command;
    const size_t n = step.words.size();
    auto fail = [&](const char* why) {
        if (error != nullptr) *error = why;
        return false;
    };
    if (c == "move")
        return n == 2 && is_integer(step.words[0]) && is_integer(step.words[1])
                   ? true
                   : fail("move needs two whole numbers: move DX DY");
    if (c == "click" || c == "press" || c == "release")
        return n == 1 && (step.words[0] == "left" || step.words[0] == "right")
                   ? true
                   : fail("a button is left or right");
    if (c == "key")
        return n == 1 && (step.words[0] == "left" || step.words[0] == "up" ||
                          step.words[0] == "right" || step.words[0] == "down")
                   ? true
                   : fail("key takes left, up, right or down");
    if (c == "type") return true;
    if (c == "char") {
        if (n != 1 || !is_integer(step.words[0])) return fail("char takes a byte value 0..255");
        const long value = std::strtol(step.words[0].c_str(), nullptr, 10);
        return value >= 0 && value <= 255 ? true : fail("char takes a byte value 0..255");
    }
    if (c == "activate")
        return n == 1 && (step.words[0] == "0" || step.words[0] == "1")
                   ? true
                   : fail("activate takes 1 or 0");
    if (c == "wait")
        return n == 1 && is_integer(step.words[0]) ? true : fail("wait takes milliseconds");
    if (c == "shot") return n == 1 ? true : fail("shot takes a file name");
    if (c == "close" || c == "lose") return n == 0 ? true : fail("takes no arguments");
    return fail("unknown command");
}

}  // namespace

// --- the script ---

bool headless_add_script_line(const std::string& line, std::string* error) {
    size_t start = line.find_first_not_of(" \t\r");
    if (start == std::string::npos || line[start] == '#') return true;
    std::string text = line.substr(start);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
        text.pop_back();
    ScriptStep step;
    const size_t space = text.find(' ');
    step.command = text.substr(0, space);
    if (space != std::string::npos) step.rest = text.substr(space + 1);
    std::istringstream words(step.rest);
    for (std::string word; words >> word;)
        step.words.push_back(word);
    if (!valid_step(step, error)) return false;
    world().script.push_back(step);
    return true;
}

bool headless_load_script(const std::string& path, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        if (error != nullptr) *error = "cannot read the script " + path;
        return false;
    }
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        std::string why;
        if (!headless_add_script_line(line, &why)) {
            if (error != nullptr) *error = path + ":" + std::to_string(number) + ": " + why;
            return false;
        }
    }
    return true;
}

size_t headless_script_lines_left() {
    return world().script.size();
}

void headless_clear_script() {
    world().script.clear();
}

void headless_mouse_input(uint32_t offset, uint32_t data) {
    buffer_mouse_input({{offset, data}});
}

bool run_script_step(const ScriptStep& step) {
    HeadlessWorld& w = world();
    const std::string& c = step.command;
    if (c == "move") {
        const auto dx = static_cast<int32_t>(std::strtol(step.words[0].c_str(), nullptr, 10));
        const auto dy = static_cast<int32_t>(std::strtol(step.words[1].c_str(), nullptr, 10));
        if (dx != 0 && dy != 0) {
            buffer_mouse_input({{MOUSE_OFFSET_X, static_cast<uint32_t>(dx)},
                                {MOUSE_OFFSET_Y, static_cast<uint32_t>(dy)}});
        } else if (dx != 0) {
            buffer_mouse_input({{MOUSE_OFFSET_X, static_cast<uint32_t>(dx)}});
        } else if (dy != 0) {
            buffer_mouse_input({{MOUSE_OFFSET_Y, static_cast<uint32_t>(dy)}});
        }
    } else if (c == "click") {
        const uint32_t offset = button_offset(step.words[0]);
        buffer_mouse_input({{offset, MOUSE_BUTTON_PRESSED}, {offset, 0}});
    } else if (c == "press") {
        buffer_mouse_input({{button_offset(step.words[0]), MOUSE_BUTTON_PRESSED}});
    } else if (c == "release") {
        buffer_mouse_input({{button_offset(step.words[0]), 0}});
    } else if (c == "key") {
        queue_message(MESSAGE_KEYDOWN, arrow_key(step.words[0]));
    } else if (c == "type") {
        for (unsigned char byte : utf8_to_cp1252(step.rest))
            queue_message(MESSAGE_CHAR, byte);
    } else if (c == "char") {
        queue_message(MESSAGE_CHAR,
                      static_cast<uintptr_t>(std::strtol(step.words[0].c_str(), nullptr, 10)));
    } else if (c == "activate") {
        // Activation is sent straight to the window, as the system does.
        if (w.window != nullptr) {
            w.window->active = step.words[0] == "1";
            send_message(w.window, MESSAGE_ACTIVATE,
                         w.window->active ? ACTIVATE_ACTIVE : ACTIVATE_INACTIVE, 0);
        }
    } else if (c == "wait") {
        headless_advance_clock(std::strtol(step.words[0].c_str(), nullptr, 10));
    } else if (c == "shot") {
        if (!headless_write_screenshot(step.words[0]))
            std::fprintf(stderr, "qzview-headless: cannot write %s\n", step.words[0].c_str());
    } else if (c == "close") {
        queue_message(MESSAGE_CLOSE, 0);
    } else if (c == "lose") {
        if (w.mouse != nullptr && w.mouse->acquired) {
            w.mouse->acquired = false;
            w.mouse->input_lost = true;
            if (w.mouse->event != nullptr) w.mouse->event->signalled = true;
        }
    }
    return true;
}

void deliver_end_of_script() {
    HeadlessWorld& w = world();
    w.script_ended = true;
    if (w.window != nullptr && w.window->alive) {
        window_destroy(w.window);
    } else {
        // The program waits although its window is gone: hand it the quit request so
        // that it cannot wait for ever.
        post_quit_message(0);
    }
}

// --- window and messages ---

void window_register_class(InstanceHandle, const char* class_name, const char*,
                           WindowProcedure procedure) {
    world().classes[class_name] = procedure;
}

WindowHandle window_create_topmost_popup(InstanceHandle, const char* class_name, const char*, int,
                                         int, int, int) {
    HeadlessWorld& w = world();
    auto found = w.classes.find(class_name);
    if (should_fail("window") || found == w.classes.end()) return nullptr;
    PlatformWindow* window = adopt(new PlatformWindow, "window");
    window->procedure = found->second;
    w.window = window;
    send_message(window, MESSAGE_CREATE, 0, 0);
    return window;
}

void window_show(WindowHandle window, int) {
    if (window->active) return;
    window->active = true;
    send_message(window, MESSAGE_ACTIVATE, ACTIVATE_ACTIVE, 0);
}

void window_update(WindowHandle) {}

void window_destroy(WindowHandle window) {
    if (window == nullptr || !window->alive) return;
    send_message(window, MESSAGE_DESTROY, 0, 0);
    window->alive = false;
    window->active = false;
    HeadlessWorld& w = world();
    for (auto it = w.queue.begin(); it != w.queue.end();)
        it = it->window == window ? w.queue.erase(it) : it + 1;
    // The handle stays valid memory until reset, so late calls with it find it dead.
    world().objects[window].kind = "destroyed-window";
}

int screen_width() {
    return SCREEN_WIDTH;
}
int screen_height() {
    return SCREEN_HEIGHT;
}

void message_box(WindowHandle, const char* text, const char* caption) {
    const int windows = headless_live("window") + headless_live("destroyed-window");
    world().message_boxes.push_back({caption, text, headless_live_total() - windows});
    std::printf("MESSAGE %s: %s\n", cp1252_to_utf8(caption).c_str(), cp1252_to_utf8(text).c_str());
    std::fflush(stdout);
}

int wait_for_event_or_message(EventHandle event) {
    HeadlessWorld& w = world();
    ++w.counters.waits;
    for (;;) {
        if (event != nullptr && event->signalled) {
            event->signalled = false;
            return WAIT_EVENT_SIGNALLED;
        }
        if (!w.queue.empty()) return WAIT_MESSAGE_QUEUED;
        if (w.script.empty()) {
            deliver_end_of_script();
            if (w.queue.empty()) post_quit_message(0);
            return WAIT_MESSAGE_QUEUED;
        }
        const ScriptStep step = w.script.front();
        w.script.pop_front();
        run_script_step(step);
    }
}

int peek_message(WindowMessage* message) {
    HeadlessWorld& w = world();
    if (w.queue.empty()) return 0;
    *message = w.queue.front();
    w.queue.pop_front();
    return 1;
}

void translate_message(const WindowMessage*) {}

intptr_t dispatch_message(const WindowMessage* message) {
    ++world().counters.messages_dispatched;
    return send_message(message->window, message->message, message->wparam, message->lparam);
}

intptr_t default_window_procedure(WindowHandle window, uint32_t message, uintptr_t, intptr_t) {
    if (message == MESSAGE_CLOSE) window_destroy(window);
    return 0;
}

void post_quit_message(int exit_code) {
    world().queue.push_back(
        WindowMessage{nullptr, MESSAGE_QUIT, static_cast<uintptr_t>(exit_code), 0});
}

int post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == nullptr || !window->alive) return 0;
    world().queue.push_back(WindowMessage{window, message, wparam, lparam});
    return 1;
}

// --- mouse ---

int32_t input_create(InstanceHandle, uint32_t version, InputObject* input) {
    *input = nullptr;
    if (should_fail("mouse-input") || version < 0x0500) return RESULT_FAIL;
    *input = adopt(new PlatformInput, "input");
    return RESULT_OK;
}

int32_t input_create_system_mouse(InputObject, MouseDevice* mouse) {
    *mouse = nullptr;
    if (should_fail("mouse-device")) return RESULT_FAIL;
    PlatformMouse* device = adopt(new PlatformMouse, "mouse");
    world().mouse = device;
    *mouse = device;
    return RESULT_OK;
}

int32_t mouse_set_standard_format(MouseDevice mouse) {
    if (should_fail("mouse-format")) return RESULT_FAIL;
    mouse->format_set = true;
    return RESULT_OK;
}

int32_t mouse_set_exclusive_foreground(MouseDevice mouse, WindowHandle window) {
    if (should_fail("mouse-coop") || window == nullptr) return RESULT_FAIL;
    mouse->cooperative = true;
    return RESULT_OK;
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

int32_t mouse_acquire(MouseDevice mouse) {
    // A foreground device can be acquired only while its window is the active one.
    const PlatformWindow* window = world().window;
    if (should_fail("mouse-acquire") || !mouse->format_set || window == nullptr || !window->active)
        return RESULT_FAIL;
    mouse->acquired = true;
    mouse->input_lost = false;
    return RESULT_OK;
}

int32_t mouse_unacquire(MouseDevice mouse) {
    mouse->acquired = false;
    mouse->buffer.clear();
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
    if (world().mouse == mouse) world().mouse = nullptr;
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
    dispose_object(event);
}
