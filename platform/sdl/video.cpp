// SDL's video, and the screen that shows the front surface.
//
// The front is shown through the window's own surface, the cheapest way SDL has: a
// present of the transition's two new strips costs ~0.2 ms. An SDL renderer sends the
// whole picture every time, 3 to 20 ms a present when we measured it under X, which
// would stretch the transition's 64 presents to seconds. So on a screen that is not
// 1024x768 the show is scaled into a letterbox here, again only where it changed.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/sdl/machine.h"

SdlMachine& machine() {
    static SdlMachine the_machine;
    return the_machine;
}

namespace {

// With no display reachable and no driver named, SDL quietly falls back to drawing
// off screen: the show would run where nobody can see it.
bool only_off_screen() {
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    return driver != nullptr && std::strcmp(driver, "offscreen") == 0 &&
           (asked == nullptr || std::strstr(asked, "offscreen") == nullptr);
}

// On X11 the window surface otherwise goes through OpenGL: ~4 ms a present even for
// two columns, against well under 1 ms for the plain shared-memory framebuffer.
// Other drivers may have no framebuffer of their own and need SDL's default.
void prefer_plain_framebuffer() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "x11") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

// SDL connects to the session bus at start. Where there is none, the bus library forks
// dbus-launch to start one, a daemon that outlives the show, only for SDL to find no
// screensaver or input method on it. Naming no bus makes that a quick refusal.
void skip_absent_session_bus() {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) return;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat bus {};
    if (runtime != nullptr && stat((std::string(runtime) + "/bus").c_str(), &bus) == 0) return;
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 0);
}

SDL_Rect to_sdl(const DirtyRect& r) {
    return SDL_Rect{r.x, r.y, r.width, r.height};
}

bool shown_unscaled(const Screen& screen) {
    return screen.scaled == nullptr;
}

void free_scaled(Screen* screen) {
    if (screen->scaled != nullptr) SDL_FreeSurface(screen->scaled);
    screen->scaled = nullptr;
}

// Works out the letterbox for the window surface's size, paints the bars black and
// has the whole front sent again.
bool fit_to(Screen* screen, SDL_Surface* target, const SDL_Surface* front) {
    free_scaled(screen);
    screen->target_width = target->w;
    screen->target_height = target->h;
    screen->box = letterbox_for(target->w, target->h, front->w, front->h);
    if (screen->box.width != front->w || screen->box.height != front->h) {
        screen->scaled =
            SDL_CreateRGBSurfaceWithFormat(0, screen->box.width, screen->box.height,
                                           front->format->BitsPerPixel, front->format->format);
        if (screen->scaled == nullptr) return false;
    }
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    note_front_replaced();
    return true;
}

template <class Pixel>
void scale_rows(const SDL_Surface* front, SDL_Surface* scaled, const SDL_Rect& span) {
    for (int by = span.y; by < span.y + span.h; ++by) {
        const int sy = show_index_of(by, scaled->h, front->h);
        const auto* from = reinterpret_cast<const Pixel*>(
            static_cast<const uint8_t*>(front->pixels) + static_cast<size_t>(sy) * front->pitch);
        auto* to = reinterpret_cast<Pixel*>(static_cast<uint8_t*>(scaled->pixels) +
                                            static_cast<size_t>(by) * scaled->pitch);
        for (int bx = span.x; bx < span.x + span.w; ++bx)
            to[bx] = from[show_index_of(bx, scaled->w, front->w)];
    }
}

// The part of the letterbox that shows the front's rectangle r, brought up to date.
SDL_Rect scale_part(const SDL_Surface* front, SDL_Surface* scaled, const DirtyRect& r) {
    int left, right, top, bottom;
    box_span(r.x, r.x + r.width, front->w, scaled->w, &left, &right);
    box_span(r.y, r.y + r.height, front->h, scaled->h, &top, &bottom);
    const SDL_Rect span{left, top, right - left, bottom - top};
    if (front->format->BytesPerPixel == 4) {
        scale_rows<uint32_t>(front, scaled, span);
    } else {
        scale_rows<uint16_t>(front, scaled, span);
    }
    return span;
}

void present_to(Screen* screen, SDL_Surface* target, SDL_Surface* front, bool whole_target) {
    SDL_Rect rects[DIRTY_RECTS_MAX];
    int count = 0;
    for (const DirtyRect& r : screen->dirty.rects) {
        SDL_Rect from = shown_unscaled(*screen) ? to_sdl(r) : scale_part(front, screen->scaled, r);
        SDL_Surface* source = shown_unscaled(*screen) ? front : screen->scaled;
        SDL_Rect to{screen->box.x + from.x, screen->box.y + from.y, from.w, from.h};
        if (from.w > 0 && from.h > 0 && SDL_BlitSurface(source, &from, target, &to) == 0 &&
            to.w > 0 && to.h > 0)
            rects[count++] = to;
    }
    if (whole_target) {
        SDL_UpdateWindowSurface(screen->window);
    } else if (count > 0) {
        SDL_UpdateWindowSurfaceRects(screen->window, rects, count);
    }
}

}  // namespace

bool video_open() {
    SdlMachine& m = machine();
    if (m.video_tried) return m.video_ready;
    m.video_tried = true;
    skip_absent_session_bus();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        m.display_failure = SDL_GetError();
        return false;
    }
    if (only_off_screen()) {
        m.display_failure = "no display is reachable";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    prefer_plain_framebuffer();
    m.video_ready = true;
    return true;
}

bool screen_attach(SDL_Window* window, PlatformSurface* front) {
    screen_detach();
    Screen& screen = machine().screen;
    if (SDL_GetWindowSurface(window) == nullptr) return false;
    screen.window = window;
    machine().front = front;
    note_front_replaced();
    return true;
}

void screen_detach() {
    Screen& screen = machine().screen;
    free_scaled(&screen);
    screen = Screen{};
    machine().front = nullptr;
}

void screen_refit() {
    machine().screen.target_width = 0;
}

void note_drawn(const PlatformSurface* surface, int x, int y, int width, int height) {
    if (surface == nullptr || surface != machine().front) return;
    dirty_add(&machine().screen.dirty, DirtyRect{x, y, width, height}, surface->pixels->w,
              surface->pixels->h);
}

void note_front_replaced() {
    const PlatformSurface* front = machine().front;
    if (front != nullptr) note_drawn(front, 0, 0, front->pixels->w, front->pixels->h);
}

void screen_present() {
    SdlMachine& m = machine();
    Screen& screen = m.screen;
    if (screen.window != nullptr && m.front != nullptr) {
        // The window surface is made anew after a resize: fetch it every time.
        SDL_Surface* target = SDL_GetWindowSurface(screen.window);
        if (target == nullptr) return;
        const bool refit = target->w != screen.target_width || target->h != screen.target_height;
        if (refit && !fit_to(&screen, target, m.front->pixels)) {
            screen_refit();
            return;
        }
        if (dirty_empty(screen.dirty)) return;
        present_to(&screen, target, m.front->pixels, refit);
    }
    dirty_clear(&screen.dirty);
}

void sdl_backend_shutdown() {
    SdlMachine& m = machine();
    screen_detach();
    for (PlatformWindow* window : m.windows) {
        if (window->sdl != nullptr) SDL_DestroyWindow(window->sdl);
        delete window;
    }
    fonts_close();
    // The program releases its mouse before it ends; a test may not have.
    delete m.mouse;
    m = SdlMachine{};
    SDL_Quit();
}
