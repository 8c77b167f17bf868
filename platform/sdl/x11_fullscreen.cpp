// SDL's own switch to full screen on X11, made as the window is shown, polls every
// 10 ms for up to 100 ms until the window manager has moved and resized the window,
// and waits the whole time where none runs or where the window is in place already.
// Asked for in the window's state before it is mapped, a window manager makes the
// window full screen as it maps it; without one, the popup covers the screen as made.
// (Xlib is kept out of the backend's other files: its Screen clashes with ours.)
#include "platform/sdl/x11_fullscreen.h"

#include <SDL_syswm.h>

#include <cstring>

#if defined(SDL_VIDEO_DRIVER_X11)
bool x11_ask_for_fullscreen_before_mapping(SDL_Window* window) {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "x11") != 0) return false;
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) != SDL_TRUE || info.subsystem != SDL_SYSWM_X11)
        return false;
    Display* display = info.info.x11.display;
    const Atom states[] = {XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False),
                           XInternAtom(display, "_NET_WM_STATE_ABOVE", False)};
    XChangeProperty(display, info.info.x11.window, XInternAtom(display, "_NET_WM_STATE", False),
                    XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(states),
                    2);
    return true;
}
#else
bool x11_ask_for_fullscreen_before_mapping(SDL_Window*) {
    return false;
}
#endif
