// SDL's video: the window, the screen that shows the front surface, the clock and the
// message box.
//
// The front is shown through the window's own surface, the cheapest way SDL has: a
// present of the transition's two new strips costs ~0.2 ms. An SDL renderer sends the
// whole picture every time, 3 to 20 ms a present when we measured it under X, which
// would stretch the transition's 64 presents to seconds. So on a screen that is not
// 1024x768 the show is scaled into a letterbox here, again only where it changed.
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "platform/common/cp1252.h"
#include "platform/sdl/sdl_device.h"
#include "platform/sdl/x11_fullscreen.h"

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

// Without a Wayland compositor named, SDL's attempt at one only ends in its library's
// complaint about XDG_RUNTIME_DIR on standard error; X11 and the console are tried.
void skip_absent_wayland() {
    if (std::getenv("WAYLAND_DISPLAY") != nullptr || std::getenv("SDL_VIDEODRIVER") != nullptr)
        return;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11,kmsdrm");
}

// On X11, SDL opens Xlib's input method as it opens the display, and the input method
// parses the locale's compose table: 5,700 lines for UTF-8 locales, 7 ms of the start.
// The show's prompts take digits and editing keys only, nothing composed, so unless the
// user names a table of their own, SDL opens the display with an empty one.
class EmptyComposeTable {
  public:
    EmptyComposeTable() : set_(std::getenv("XCOMPOSEFILE") == nullptr) {
        if (set_) setenv("XCOMPOSEFILE", "/dev/null", 1);
    }
    ~EmptyComposeTable() {
        if (set_) unsetenv("XCOMPOSEFILE");
    }
    EmptyComposeTable(const EmptyComposeTable&) = delete;
    EmptyComposeTable& operator=(const EmptyComposeTable&) = delete;

  private:
    bool set_;
};

// The front's pixels as an SDL surface, without a copy.
SDL_Surface* wrap(const SoftFrame& frame) {
    const Uint32 format = frame.bits == 16 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(frame.pixels), frame.width,
                                              frame.height, frame.bits,
                                              frame.width * (frame.bits / 8), format);
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

}  // namespace

SoftDevice& soft_device() {
    return sdl_device();
}

SdlDevice& sdl_device() {
    static SdlDevice device;
    return device;
}

// There is no display mode to switch on this platform; QZVIEW_DEPTH=16 lets a run see
// how the show copes when 32 bits per pixel are refused. Nothing else fails on demand.
bool SdlDevice::refuses(const char* operation) {
    static const bool sixteen_bits = [] {
        const char* depth = std::getenv("QZVIEW_DEPTH");
        return depth != nullptr && std::strcmp(depth, "16") == 0;
    }();
    return sixteen_bits && std::strcmp(operation, "mode32") == 0;
}

bool SdlDevice::open_display() {
    if (video_tried_) return video_ready_;
    video_tried_ = true;
    skip_absent_session_bus();
    skip_absent_wayland();
    const EmptyComposeTable no_compose_parsing;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        display_failure_ = SDL_GetError();
        return false;
    }
    if (only_off_screen()) {
        display_failure_ = "no display is reachable";
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    prefer_plain_framebuffer();
    video_ready_ = true;
    return true;
}

void SdlDevice::screen_size(int* width, int* height) {
    SDL_DisplayMode mode;
    if (!open_display() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return;
    *width = mode.w;
    *height = mode.h;
}

void SdlDevice::set_window_size(int width, int height) {
    window_width_ = width;
    window_height_ = height;
}

// Full screen over the desktop, or a resizable window in the middle of it where one
// was asked for; the show is scaled into either.
bool SdlDevice::create_window(const char* title, int x, int y, int width, int height) {
    if (!open_display()) return false;
    destroy_window();
    const bool windowed = window_width_ > 0;
    const Uint32 flags = windowed
                             ? SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE
                             : SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP;
    if (windowed) {
        x = y = SDL_WINDOWPOS_CENTERED;
        width = window_width_;
        height = window_height_;
    }
    window_ = SDL_CreateWindow(cp1252_to_utf8(title).c_str(), x, y, width, height, flags);
    if (window_ == nullptr) {
        display_failure_ = SDL_GetError();
        return false;
    }
    if (!windowed && !x11_ask_for_fullscreen_before_mapping(window_))
        SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP);
    // The show draws its own pointer.
    SDL_ShowCursor(SDL_DISABLE);
    SDL_StartTextInput();
    return true;
}

void SdlDevice::show_window() {
    SDL_ShowWindow(window_);
    SDL_RaiseWindow(window_);
}

void SdlDevice::destroy_window() {
    free_screen();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
    window_ = nullptr;
}

bool SdlDevice::open_screen() {
    free_screen();
    return window_ != nullptr && SDL_GetWindowSurface(window_) != nullptr;
}

void SdlDevice::refit_screen() {
    screen_.target_width = 0;
    soft_repaint();
}

void SdlDevice::free_screen() {
    if (screen_.scaled != nullptr) SDL_FreeSurface(screen_.scaled);
    screen_ = Screen{};
}

// Works out the letterbox for the window surface's size and paints the bars black.
bool SdlDevice::fit_to(SDL_Surface* target, const SDL_Surface* front) {
    free_screen();
    screen_.target_width = target->w;
    screen_.target_height = target->h;
    screen_.box = letterbox_for(target->w, target->h, front->w, front->h);
    if (screen_.box.width != front->w || screen_.box.height != front->h) {
        screen_.scaled =
            SDL_CreateRGBSurfaceWithFormat(0, screen_.box.width, screen_.box.height,
                                           front->format->BitsPerPixel, front->format->format);
        if (screen_.scaled == nullptr) return false;
    }
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    return true;
}

void SdlDevice::present_rects(SDL_Surface* target, SDL_Surface* front,
                              const std::vector<DirtyRect>& rects, bool whole_target) {
    std::vector<SDL_Rect> shown;
    for (const DirtyRect& r : rects) {
        const bool unscaled = screen_.scaled == nullptr;
        SDL_Rect from =
            unscaled ? SDL_Rect{r.x, r.y, r.width, r.height} : scale_part(front, screen_.scaled, r);
        SDL_Rect to{screen_.box.x + from.x, screen_.box.y + from.y, from.w, from.h};
        if (from.w > 0 && from.h > 0 &&
            SDL_BlitSurface(unscaled ? front : screen_.scaled, &from, target, &to) == 0 &&
            to.w > 0 && to.h > 0)
            shown.push_back(to);
    }
    if (whole_target) {
        SDL_UpdateWindowSurface(window_);
    } else if (!shown.empty()) {
        SDL_UpdateWindowSurfaceRects(window_, shown.data(), static_cast<int>(shown.size()));
    }
}

void SdlDevice::present(const SoftFrame& frame, const std::vector<DirtyRect>& changed) {
    if (window_ == nullptr) return;
    // The window surface is made anew after a resize: fetch it every time.
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    SDL_Surface* front = target != nullptr ? wrap(frame) : nullptr;
    if (front == nullptr) return;
    const bool refit = target->w != screen_.target_width || target->h != screen_.target_height;
    if (!refit) {
        present_rects(target, front, changed, false);
    } else if (fit_to(target, front)) {
        present_rects(target, front, {DirtyRect{0, 0, frame.width, frame.height}}, true);
    } else {
        screen_.target_width = 0;
    }
    SDL_FreeSurface(front);
}

// Without a window manager (a bare X server) SDL cannot show a box, so the text
// always goes to standard error as well.
void SdlDevice::message_box(const char* text, const char* caption) {
    const std::string utf8_caption = cp1252_to_utf8(caption);
    const std::string utf8_text = cp1252_to_utf8(text);
    std::fprintf(stderr, "MESSAGE %s: %s\n", utf8_caption.c_str(), utf8_text.c_str());
    std::fflush(stderr);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8_caption.c_str(),
                                 utf8_text.c_str(), window_) != 0)
        std::fprintf(stderr, "qzview: cannot show a message box: %s\n", SDL_GetError());
}

void SdlDevice::debug_output(const char* text) {
    if (verbose_) SoftDevice::debug_output(text);
}

void SdlDevice::file_trouble(const char* file_name, const char* why) {
    if (verbose_) std::fprintf(stderr, "qzview: %s: %s\n", file_name, why);
}

void SdlDevice::shutdown() {
    close_audio();
    for (auto& font : fonts_)
        if (font.second != nullptr) TTF_CloseFont(font.second);
    if (ttf_ready_) TTF_Quit();
    destroy_window();
    soft_reset();
    *this = SdlDevice{};
    SDL_Quit();
}
