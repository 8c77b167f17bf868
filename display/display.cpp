#include "display/display.h"

#include "app/message_pump.h"
#include "app/state.h"
#include "input/mouse.h"
#include "platform/display.h"
#include "platform/mouse.h"
#include "platform/window.h"
#include "sound/sound.h"

const char* const startup_messages[9] = {
    "0 Kein Fehler aufgetreten",
    "1 Kann kein Windows-Fenster \366ffnen",
    "2 DIREKTX-OBJEKT kann nicht erstellt werden",
    "3 FULLSCREENMODE kann nicht erstellt werden",
    "4 VIDEOMODUS 1024 x 768 kann nicht eingestellt werden",
    "5 Zuwenig Ram-Speicher auf der VGA-KARTE (min. 16 MB)",
    "6 Backbuffer kann nicht initalisiert werden",
    "7 Zuwenig freier Hauptspeicher (min. 128 MB)",
    "MAUSINIT FEHLER",
};

namespace {

const char* const window_class_name = "QZ";
const char* const window_title = "QZVIEW";

// Releases what was created, shows the numbered message and destroys the window.
int fail_startup(uint8_t code) {
    state.startup_error = code;
    // Releasing the display device first gives the desktop its mode back, so the
    // message appears on the user's normal screen.
    shutdown_all();
    message_box(state.main_window, startup_messages[code], window_title);
    window_destroy(state.main_window);
    return 0;
}

int32_t create_keyed_offscreen(Surface* surface) {
    const int32_t result =
        display_create_offscreen(state.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, surface);
    if (result == RESULT_OK) surface_set_black_color_key(*surface);
    return result;
}

int32_t set_display_mode() {
    if (display_set_mode(state.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, 32) == RESULT_OK)
        return RESULT_OK;
    state.startup_error = 4;
    return display_set_mode(state.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, 16);
}

void create_fonts() {
    if (state.font_fixed != nullptr) font_delete(state.font_fixed);
    state.font_fixed = font_stock_fixed();
    if (state.font_medium != nullptr) font_delete(state.font_medium);
    state.font_medium = font_create(24);
    if (state.font_large != nullptr) font_delete(state.font_large);
    state.font_large = font_create(32);
}

void release_surface(Surface& surface) {
    if (surface != nullptr) surface_release(surface);
    surface = nullptr;
}

void release_font(FontHandle& font) {
    if (font != nullptr) font_delete(font);
    font = nullptr;
}

}  // namespace

int init_display(InstanceHandle instance, int show_command) {
    state.startup_error = 0;
    window_register_class(instance, window_class_name, window_class_name, window_procedure);
    WindowHandle window = window_create_topmost_popup(instance, window_class_name, window_title, 0,
                                                      0, screen_width(), screen_height());
    if (window == nullptr) {
        state.startup_error = 1;
        return 0;
    }
    state.main_window = window;

    // The mouse comes before the window is shown: showing activates the window, and
    // activation acquires the mouse.
    if (init_mouse(state.main_window) == 0) return fail_startup(8);
    window_show(state.main_window, show_command);
    window_update(state.main_window);

    if (display_create(&state.display_device) != RESULT_OK) return fail_startup(2);
    if (display_set_exclusive_fullscreen(state.display_device, state.main_window) != RESULT_OK)
        return fail_startup(3);
    if (set_display_mode() != RESULT_OK) return fail_startup(4);
    if (display_create_primary(state.display_device, &state.front_surface) != RESULT_OK)
        return fail_startup(5);
    if (display_get_back_buffer(state.front_surface, &state.back_surface) != RESULT_OK)
        return fail_startup(6);
    if (create_keyed_offscreen(&state.sheet_surface) != RESULT_OK ||
        create_keyed_offscreen(&state.picture_surface) != RESULT_OK ||
        create_keyed_offscreen(&state.spare_surface) != RESULT_OK)
        return fail_startup(7);
    create_fonts();
    return 1;
}

void shutdown_all() {
    release_sound();

    if (state.input_object != nullptr) input_release(state.input_object);
    state.input_object = nullptr;
    if (state.mouse_device != nullptr) mouse_release(state.mouse_device);
    state.mouse_device = nullptr;
    if (state.mouse_event != nullptr) event_close(state.mouse_event);
    state.mouse_event = nullptr;

    if (state.display_device != nullptr) {
        // The back buffer is attached to the front surface and goes with it.
        release_surface(state.front_surface);
        state.back_surface = nullptr;
        release_surface(state.sheet_surface);
        release_surface(state.picture_surface);
        release_surface(state.spare_surface);
        display_release(state.display_device);
        state.display_device = nullptr;
    }

    release_font(state.font_fixed);
    release_font(state.font_medium);
    release_font(state.font_large);
}
