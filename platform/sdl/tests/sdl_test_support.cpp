#include "platform/sdl/tests/sdl_test_support.h"

#include <cstdlib>

std::vector<WindowMessage>& received_messages() {
    static std::vector<WindowMessage> messages;
    return messages;
}

namespace {

intptr_t recording_procedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                             intptr_t lparam) {
    received_messages().push_back(WindowMessage{window, message, wparam, lparam});
    return default_window_procedure(window, message, wparam, lparam);
}

}  // namespace

void SdlBackendTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    unsetenv("QZVIEW_DEPTH");
    received_messages().clear();
}

void SdlBackendTest::TearDown() {
    if (mouse != nullptr) mouse_release(mouse);
    if (input != nullptr) input_release(input);
    if (event != nullptr) event_close(event);
    if (sheet != nullptr) surface_release(sheet);
    if (front != nullptr) surface_release(front);
    if (device != nullptr) display_release(device);
    sdl_backend_shutdown();
}

void SdlBackendTest::open_window() {
    window_register_class(nullptr, "QZ", "QZ", recording_procedure);
    window =
        window_create_topmost_popup(nullptr, "QZ", "QZVIEW", 0, 0, screen_width(), screen_height());
    ASSERT_NE(window, nullptr) << machine().display_failure;
}

void SdlBackendTest::open_display(int bits) {
    if (window == nullptr) open_window();
    window_show(window, 1);
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, bits), RESULT_OK);
    ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
    ASSERT_EQ(display_get_back_buffer(front, &back), RESULT_OK);
    ASSERT_EQ(display_create_offscreen(device, 1024, 768, &sheet), RESULT_OK);
    ASSERT_EQ(surface_set_black_color_key(sheet), RESULT_OK);
}

void SdlBackendTest::open_mouse() {
    ASSERT_EQ(input_create(nullptr, 0x0500, &input), RESULT_OK);
    ASSERT_EQ(input_create_system_mouse(input, &mouse), RESULT_OK);
    ASSERT_EQ(mouse_set_standard_format(mouse), RESULT_OK);
    ASSERT_EQ(mouse_set_exclusive_foreground(mouse, window), RESULT_OK);
    event = event_create();
    ASSERT_NE(event, nullptr);
    ASSERT_EQ(mouse_set_event_notification(mouse, event), RESULT_OK);
    ASSERT_EQ(mouse_set_buffer_size(mouse, 16), RESULT_OK);
}

uint32_t SdlBackendTest::screen_pixel(int x, int y) {
    SDL_Surface* shown = SDL_GetWindowSurface(window->sdl);
    if (shown == nullptr) return 0xDEADBEEF;
    const uint8_t* row = static_cast<const uint8_t*>(shown->pixels) + y * shown->pitch;
    uint32_t value = 0;
    if (shown->format->BytesPerPixel == 4) value = reinterpret_cast<const uint32_t*>(row)[x];
    if (shown->format->BytesPerPixel == 2) value = reinterpret_cast<const uint16_t*>(row)[x];
    Uint8 r, g, b;
    SDL_GetRGB(value, shown->format, &r, &g, &b);
    return (uint32_t{r} << 16) | (uint32_t{g} << 8) | b;
}

uint32_t SdlBackendTest::pixel(Surface surface, int x, int y) {
    const SDL_Surface* s = surface->pixels;
    const uint8_t* row = static_cast<const uint8_t*>(s->pixels) + y * s->pitch;
    if (s->format->BytesPerPixel == 4) return reinterpret_cast<const uint32_t*>(row)[x];
    return reinterpret_cast<const uint16_t*>(row)[x];
}

void SdlBackendTest::set_pixel(Surface surface, int x, int y, uint32_t value) {
    SDL_Surface* s = surface->pixels;
    uint8_t* row = static_cast<uint8_t*>(s->pixels) + y * s->pitch;
    if (s->format->BytesPerPixel == 4) {
        reinterpret_cast<uint32_t*>(row)[x] = value;
    } else {
        reinterpret_cast<uint16_t*>(row)[x] = static_cast<uint16_t>(value);
    }
}
