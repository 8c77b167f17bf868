// The window, the message queue and the wait, with SDL's events translated into
// the messages and mouse records the program knows from Windows.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "platform/common/cp1252.h"
#include "platform/mouse.h"
#include "platform/sdl/machine.h"
#include "platform/sdl/x11_fullscreen.h"
#include "platform/window.h"

namespace {

constexpr uintptr_t CHAR_BACKSPACE = 8;
constexpr uintptr_t CHAR_TAB = 9;
constexpr uintptr_t CHAR_RETURN = 13;
constexpr uintptr_t CHAR_ESCAPE = 27;
// SDL buttons beyond the four of the standard mouse format give no record.
constexpr uint32_t NO_BUTTON = 0xFFFFFFFF;
// Windows reports a wheel notch as 120.
constexpr int WHEEL_DELTA = 120;
// A motion that moves both ways becomes two records: keep room for them.
constexpr size_t LARGEST_RECORD_GROUP = 2;
// A pause that starts this soon after the end the previous one aimed at continues its
// timetable; a later one starts afresh.
constexpr std::chrono::milliseconds PAUSES_FOLLOW_WITHIN{16};
constexpr int SETTLE_AFTER_MS = 250;

intptr_t send_message(PlatformWindow* window, uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (window == nullptr || !window->alive || window->procedure == nullptr) return 0;
    return window->procedure(window, message, wparam, lparam);
}

PlatformWindow* live_window() {
    PlatformWindow* window = machine().window;
    return window != nullptr && window->alive ? window : nullptr;
}

uint32_t button_offset(Uint8 sdl_button) {
    switch (sdl_button) {
        case SDL_BUTTON_LEFT:
            return MOUSE_OFFSET_BUTTON0;
        case SDL_BUTTON_RIGHT:
            return MOUSE_OFFSET_BUTTON1;
        case SDL_BUTTON_MIDDLE:
            return MOUSE_OFFSET_BUTTON2;
        case SDL_BUTTON_X1:
            return MOUSE_OFFSET_BUTTON3;
        default:
            return NO_BUTTON;
    }
}

void translate_motion(const SDL_MouseMotionEvent& motion) {
    if (motion.which == SDL_TOUCH_MOUSEID) return;
    const auto dx = static_cast<uint32_t>(motion.xrel);
    const auto dy = static_cast<uint32_t>(motion.yrel);
    if (motion.xrel != 0 && motion.yrel != 0) {
        mouse_buffer_input({{MOUSE_OFFSET_X, dx}, {MOUSE_OFFSET_Y, dy}});
    } else if (motion.xrel != 0) {
        mouse_buffer_input({{MOUSE_OFFSET_X, dx}});
    } else if (motion.yrel != 0) {
        mouse_buffer_input({{MOUSE_OFFSET_Y, dy}});
    }
}

void translate_button(const SDL_MouseButtonEvent& button) {
    const uint32_t offset = button_offset(button.button);
    if (button.which == SDL_TOUCH_MOUSEID || offset == NO_BUTTON) return;
    mouse_buffer_input({{offset, button.state == SDL_PRESSED ? MOUSE_BUTTON_PRESSED : 0u}});
}

void translate_wheel(const SDL_MouseWheelEvent& wheel) {
    if (wheel.y == 0) return;
    int notches = wheel.y;
    if (wheel.direction == SDL_MOUSEWHEEL_FLIPPED) notches = -notches;
    mouse_buffer_input({{MOUSE_OFFSET_WHEEL, static_cast<uint32_t>(notches * WHEEL_DELTA)}});
}

// The keys the program listens to: arrows as key presses, the editing keys as the
// characters Windows makes of them. Printable characters come as text input.
void translate_key(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
        case SDLK_LEFT:
            queue_window_message(MESSAGE_KEYDOWN, KEY_LEFT);
            break;
        case SDLK_UP:
            queue_window_message(MESSAGE_KEYDOWN, KEY_UP);
            break;
        case SDLK_RIGHT:
            queue_window_message(MESSAGE_KEYDOWN, KEY_RIGHT);
            break;
        case SDLK_DOWN:
            queue_window_message(MESSAGE_KEYDOWN, KEY_DOWN);
            break;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            queue_window_message(MESSAGE_CHAR, CHAR_RETURN);
            break;
        case SDLK_BACKSPACE:
            queue_window_message(MESSAGE_CHAR, CHAR_BACKSPACE);
            break;
        case SDLK_ESCAPE:
            queue_window_message(MESSAGE_CHAR, CHAR_ESCAPE);
            break;
        case SDLK_TAB:
            queue_window_message(MESSAGE_CHAR, CHAR_TAB);
            break;
        default:
            break;
    }
}

void translate_text(const char* utf8) {
    for (unsigned char byte : utf8_to_cp1252(utf8))
        queue_window_message(MESSAGE_CHAR, byte);
}

void focus_changed(bool gained) {
    PlatformWindow* window = live_window();
    if (window == nullptr || window->active == gained) return;
    window->active = gained;
    // Like a foreground DirectInput device, the mouse stops at once when the focus
    // goes; the program hears of it through the activation message.
    if (!gained) mouse_focus_lost();
    queue_window_message(MESSAGE_ACTIVATE, gained ? ACTIVATE_ACTIVE : ACTIVATE_INACTIVE);
}

void translate_window_event(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            focus_changed(true);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            focus_changed(false);
            break;
        case SDL_WINDOWEVENT_CLOSE:
            queue_window_message(MESSAGE_CLOSE, 0);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
            screen_refit();
            break;
        default:
            break;
    }
}

// The program's mouse reads follow each signal; stop taking SDL's events while the
// buffer could overflow, so that no press is pushed out by motion behind it.
bool room_for_more_mouse_input() {
    const PlatformMouse* mouse = machine().mouse;
    return mouse == nullptr || !mouse->acquired || mouse_buffer_room() >= LARGEST_RECORD_GROUP;
}

// Nothing is left to wait for once the window is gone: hand the program the quit
// request rather than let it sleep for ever.
int end_of_window() {
    post_quit_message(0);
    return WAIT_MESSAGE_QUEUED;
}

}  // namespace

void queue_window_message(uint32_t message, uintptr_t wparam) {
    PlatformWindow* window = live_window();
    if (window != nullptr) machine().queue.push_back(WindowMessage{window, message, wparam, 0});
}

void translate_sdl_event(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
            translate_motion(event.motion);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            translate_button(event.button);
            break;
        case SDL_MOUSEWHEEL:
            translate_wheel(event.wheel);
            break;
        case SDL_KEYDOWN:
            translate_key(event.key);
            break;
        case SDL_TEXTINPUT:
            translate_text(event.text.text);
            break;
        case SDL_WINDOWEVENT:
            translate_window_event(event.window);
            break;
        case SDL_QUIT:
            queue_window_message(MESSAGE_CLOSE, 0);
            break;
        default:
            break;
    }
}

void window_register_class(InstanceHandle, const char* class_name, const char*,
                           WindowProcedure procedure) {
    machine().classes[class_name] = procedure;
}

WindowHandle window_create_topmost_popup(InstanceHandle, const char* class_name, const char* title,
                                         int x, int y, int width, int height) {
    SdlMachine& m = machine();
    auto found = m.classes.find(class_name);
    if (found == m.classes.end() || !video_open()) return nullptr;
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    SDL_Window* sdl = SDL_CreateWindow(cp1252_to_utf8(title).c_str(), x, y, width, height, flags);
    if (sdl == nullptr) {
        m.display_failure = SDL_GetError();
        return nullptr;
    }
    if (!x11_ask_for_fullscreen_before_mapping(sdl))
        SDL_SetWindowFullscreen(sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    // The show draws its own pointer.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StartTextInput();
    auto* window = new PlatformWindow;
    window->sdl = sdl;
    window->procedure = found->second;
    m.windows.push_back(window);
    m.window = window;
    send_message(window, MESSAGE_CREATE, 0, 0);
    return window;
}

// Showing activates the window, and Windows tells the procedure so before this returns.
void window_show(WindowHandle window, int) {
    if (window == nullptr || !window->alive) return;
    SDL_ShowWindow(window->sdl);
    SDL_RaiseWindow(window->sdl);
    if (window->active) return;
    window->active = true;
    send_message(window, MESSAGE_ACTIVATE, ACTIVATE_ACTIVE, 0);
}

void window_update(WindowHandle) {
    screen_present();
}

void window_destroy(WindowHandle window) {
    if (window == nullptr || !window->alive) return;
    send_message(window, MESSAGE_DESTROY, 0, 0);
    window->alive = false;
    window->active = false;
    auto& queue = machine().queue;
    for (auto it = queue.begin(); it != queue.end();)
        it = it->window == window ? queue.erase(it) : it + 1;
    if (machine().screen.window == window->sdl) screen_detach();
    if (machine().mouse != nullptr) mouse_focus_lost();
    SDL_DestroyWindow(window->sdl);
    window->sdl = nullptr;
}

int screen_width() {
    SDL_DisplayMode mode;
    if (!video_open() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return SCREEN_WIDTH;
    return mode.w;
}

int screen_height() {
    SDL_DisplayMode mode;
    if (!video_open() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return SCREEN_HEIGHT;
    return mode.h;
}

// Without a window manager (a bare X server) SDL cannot show a box, so the text
// always goes to standard error as well.
void message_box(WindowHandle owner, const char* text, const char* caption) {
    const std::string utf8_caption = cp1252_to_utf8(caption);
    const std::string utf8_text = cp1252_to_utf8(text);
    std::fprintf(stderr, "MESSAGE %s: %s\n", utf8_caption.c_str(), utf8_text.c_str());
    std::fflush(stderr);
    SDL_Window* parent = owner != nullptr && owner->alive ? owner->sdl : nullptr;
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8_caption.c_str(),
                                 utf8_text.c_str(), parent) != 0)
        std::fprintf(stderr, "qzview: cannot show a message box: %s\n", SDL_GetError());
}

int wait_for_event_or_message(EventHandle event) {
    SdlMachine& m = machine();
    // Pauses on either side of a wait for input belong to different effects.
    m.pause_ends_at = {};
    for (;;) {
        // Whatever the program drew on the front must be seen before it sleeps.
        screen_present();
        if (event != nullptr && event->signalled) {
            event->signalled = false;
            return WAIT_EVENT_SIGNALLED;
        }
        if (!m.queue.empty()) return WAIT_MESSAGE_QUEUED;
        if (live_window() == nullptr) return end_of_window();
        SDL_Event sdl_event;
        // The sound's tidying up waits until the program has been left alone for a
        // moment, so that it holds up neither input nor what was just put on screen.
        if (sound_settling_due()) {
            if (SDL_WaitEventTimeout(&sdl_event, SETTLE_AFTER_MS) == 0) {
                sound_settle();
                continue;
            }
        } else if (SDL_WaitEvent(&sdl_event) == 0) {
            std::fprintf(stderr, "qzview: waiting for input failed: %s\n", SDL_GetError());
            window_destroy(live_window());
            continue;
        }
        translate_sdl_event(sdl_event);
        while (room_for_more_mouse_input() && SDL_PollEvent(&sdl_event) != 0)
            translate_sdl_event(sdl_event);
    }
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
    std::fputs(text, stderr);
    std::fflush(stderr);
}

// The transition pauses 1 ms after every eight steps. A sleep of 1 ms lasts 1.2 ms
// here, which with the presents between would stretch its 64 pauses by a third; so
// pauses that follow each other closely keep to one timetable: each ends its length
// after the end the previous one aimed at, and what one pause or the work after it
// overran is taken off the next.
void pause_milliseconds(int milliseconds) {
    screen_present();
    if (milliseconds <= 0) return;
    using Clock = std::chrono::steady_clock;
    const auto length = std::chrono::milliseconds(milliseconds);
    const Clock::time_point now = Clock::now();
    Clock::time_point& aimed_at = machine().pause_ends_at;
    const Clock::time_point from = now - aimed_at > PAUSES_FOLLOW_WITHIN ? now : aimed_at;
    aimed_at = from + length;
    std::this_thread::sleep_until(aimed_at);
}
