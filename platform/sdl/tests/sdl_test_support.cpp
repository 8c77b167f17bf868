#include "platform/sdl/tests/sdl_test_support.h"

#include <cstdlib>

void reset_device() {
    sdl_device().shutdown();
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("QZVIEW_DEPTH");
}

uint32_t screen_pixel(int x, int y) {
    SDL_Surface* shown = SDL_GetWindowSurface(sdl_device().window());
    if (shown == nullptr) return 0xDEADBEEF;
    const uint8_t* row = static_cast<const uint8_t*>(shown->pixels) + y * shown->pitch;
    uint32_t value = 0;
    if (shown->format->BytesPerPixel == 4) value = reinterpret_cast<const uint32_t*>(row)[x];
    if (shown->format->BytesPerPixel == 2) value = reinterpret_cast<const uint16_t*>(row)[x];
    Uint8 r, g, b;
    SDL_GetRGB(value, shown->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}
