// The wait for SDL's events, and their translation into the mouse records, key
// presses, characters and window messages the program knows from Windows.
#include <algorithm>
#include <cstdio>

#include "platform/sdl/sdl_device.h"
#include "platform/window.h"

namespace {

// How long the program is to be left alone before a quiet sound output is closed.
constexpr int SETTLE_AFTER_MS = 250;

// The four buttons of the standard mouse format; others give no record.
int button_number(Uint8 sdl_button) {
    switch (sdl_button) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        case SDL_BUTTON_X1:
            return 3;
        default:
            return -1;
    }
}

void translate_button(const SDL_MouseButtonEvent& button) {
    const int number = button_number(button.button);
    if (button.which != SDL_TOUCH_MOUSEID && number >= 0)
        soft_mouse_button(number, button.state == SDL_PRESSED);
}

void translate_wheel(const SDL_MouseWheelEvent& wheel) {
    if (wheel.y == 0) return;
    const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    soft_mouse_wheel(notches);
}

// A key press, as Windows gives it: the key's virtual-key code, and for the editing
// keys the character Windows makes of it as well. Printable characters come as text
// input; the keys that only work the show (--keys) give a key press alone.
void translate_key(const SDL_KeyboardEvent& key) {
    switch (key.keysym.sym) {
        case SDLK_LEFT:
            return soft_key(KEY_LEFT);
        case SDLK_UP:
            return soft_key(KEY_UP);
        case SDLK_RIGHT:
            return soft_key(KEY_RIGHT);
        case SDLK_DOWN:
            return soft_key(KEY_DOWN);
        case SDLK_PAGEUP:
            return soft_key(KEY_PAGE_UP);
        case SDLK_PAGEDOWN:
            return soft_key(KEY_PAGE_DOWN);
        case SDLK_HOME:
            return soft_key(KEY_HOME);
        case SDLK_END:
            return soft_key(KEY_END);
        case SDLK_SPACE:
            return soft_key(KEY_SPACE);
        case SDLK_q:
            return soft_key(KEY_Q);
        case SDLK_m:
            return soft_key(KEY_M);
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
            return soft_char(CHAR_RETURN);
        case SDLK_BACKSPACE:
            soft_key(KEY_BACK);
            return soft_char(CHAR_BACKSPACE);
        case SDLK_ESCAPE:
            soft_key(KEY_ESCAPE);
            return soft_char(CHAR_ESCAPE);
        case SDLK_TAB:
            return soft_char(CHAR_TAB);
        default:
            return;
    }
}

void translate_window_event(const SDL_WindowEvent& event) {
    switch (event.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            return soft_focus(true);
        case SDL_WINDOWEVENT_FOCUS_LOST:
            return soft_focus(false);
        case SDL_WINDOWEVENT_CLOSE:
            return soft_close();
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
        case SDL_WINDOWEVENT_RESTORED:
            return sdl_device().refit_screen();
        default:
            return;
    }
}

}  // namespace

void translate_sdl_event(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION:
            if (event.motion.which == SDL_TOUCH_MOUSEID) return;
            if (sdl_device().windowed())
                return sdl_device().pointer_over_show(event.motion.x, event.motion.y);
            return soft_mouse_motion(event.motion.xrel, event.motion.yrel);
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            return translate_button(event.button);
        case SDL_MOUSEWHEEL:
            return translate_wheel(event.wheel);
        case SDL_KEYDOWN:
            return translate_key(event.key);
        case SDL_TEXTINPUT:
            return soft_text_utf8(event.text.text);
        case SDL_WINDOWEVENT:
            return translate_window_event(event.window);
        case SDL_QUIT:
            return soft_close();
        default:
            return;
    }
}

namespace {

// The event, and those queued behind it. The program's mouse reads follow each signal,
// so taking more events stops while the buffer could overflow, so that no press is
// pushed out by the motion behind it.
void take_events(SDL_Event& event) {
    translate_sdl_event(event);
    while (soft_mouse_room() >= SOFT_MOUSE_RECORDS_PER_INPUT && SDL_PollEvent(&event) != 0)
        translate_sdl_event(event);
}

}  // namespace

// Blocks in SDL's wait: no polling, and a time-out only while the sound's tidying up is
// due, which waits until the program has been left alone for a moment so that it holds
// up neither input nor what was just put on screen.
bool SdlDevice::wait_for_input() {
    if (window_ == nullptr) return false;
    SDL_Event event;
    if (audio_settling_due()) {
        if (SDL_WaitEventTimeout(&event, SETTLE_AFTER_MS) == 0) {
            settle_audio();
            return true;
        }
    } else if (SDL_WaitEvent(&event) == 0) {
        std::fprintf(stderr, "qzview: waiting for input failed: %s\n", SDL_GetError());
        return false;
    }
    take_events(event);
    return true;
}

// As wait_for_input, with the deadline's time-out as well.
SoftWait SdlDevice::wait_for_input_until(int64_t deadline_us) {
    if (window_ == nullptr) return SoftWait::ended;
    const int64_t left_ms = (deadline_us - now_us() + 999) / 1000;
    if (left_ms <= 0) return SoftWait::timed_out;
    const bool settling = audio_settling_due() && left_ms > SETTLE_AFTER_MS;
    const int timeout_ms = settling ? SETTLE_AFTER_MS : static_cast<int>(left_ms);
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeout_ms) == 0) {
        if (settling) settle_audio();
        return now_us() >= deadline_us ? SoftWait::timed_out : SoftWait::input;
    }
    take_events(event);
    return SoftWait::input;
}

// While the show has the mouse, the system pointer is hidden and held in the window,
// and only relative motion counts; otherwise it is the desktop's again.
void SdlDevice::set_relative_mouse(bool on) {
    if (windowed()) {
        show_pointer_.placed = false;
        return;
    }
    if ((SDL_GetRelativeMouseMode() == SDL_TRUE) != on)
        SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

// Counts for the way from the show pixel the pointer was sent to last to (x, y): half
// the pixels, the odd one carried. The first motion sends it to the corner first.
void SdlDevice::pointer_over_show(int x, int y) {
    const Letterbox& box = screen_.box;
    if (box.width <= 0 || box.height <= 0) return;
    const int show_x =
        std::clamp(show_index_of(x - box.x, box.width, SCREEN_WIDTH), 0, SCREEN_WIDTH - 1);
    const int show_y =
        std::clamp(show_index_of(y - box.y, box.height, SCREEN_HEIGHT), 0, SCREEN_HEIGHT - 1);
    ShowPointer& p = show_pointer_;
    if (!p.placed) {
        soft_mouse_motion(-SCREEN_WIDTH, -SCREEN_HEIGHT);
        p = ShowPointer{true, 0, 0, 0, 0};
    }
    const int dx = show_x - p.x + p.carry_x, dy = show_y - p.y + p.carry_y;
    p.x = show_x;
    p.y = show_y;
    p.carry_x = dx % 2;
    p.carry_y = dy % 2;
    if (dx / 2 != 0 || dy / 2 != 0) soft_mouse_motion(dx / 2, dy / 2);
}
