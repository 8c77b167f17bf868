// Full screen on X11 without SDL's wait for the window manager.
#pragma once

#include <SDL.h>

// True when SDL draws through X11 and the window's state asks for full screen before
// it is mapped; false leaves full screen to SDL.
bool x11_ask_for_fullscreen_before_mapping(SDL_Window* window);
