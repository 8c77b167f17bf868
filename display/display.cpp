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
    screen.startup_error = code;
    // Releasing the display device first gives the desktop its mode back, so the
    // message appears on the user's normal screen.
    shutdown_all();
    message_box(screen.main_window, startup_messages[code], window_title);
    window_destroy(screen.main_window);
    return 0;
}

int32_t create_keyed_offscreen(Surface* surface) {
    const int32_t result =
        display_create_offscreen(screen.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, surface);
    if (result == RESULT_OK) surface_set_black_color_key(*surface);
    return result;
}

int32_t set_display_mode() {
    if (display_set_mode(screen.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, 32) == RESULT_OK)
        return RESULT_OK;
    screen.startup_error = 4;
    return display_set_mode(screen.display_device, SCREEN_WIDTH, SCREEN_HEIGHT, 16);
}

void create_fonts() {
    if (screen.font_fixed != nullptr) font_delete(screen.font_fixed);
    screen.font_fixed = font_stock_fixed();
    if (screen.font_medium != nullptr) font_delete(screen.font_medium);
    screen.font_medium = font_create(24);
    if (screen.font_large != nullptr) font_delete(screen.font_large);
    screen.font_large = font_create(32);
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
    screen.startup_error = 0;
    window_register_class(instance, window_class_name, window_class_name, window_procedure);
    WindowHandle window = window_create_topmost_popup(instance, window_class_name, window_title, 0,
                                                      0, screen_width(), screen_height());
    if (window == nullptr) {
        screen.startup_error = 1;
        return 0;
    }
    screen.main_window = window;

    // The mouse comes before the window is shown: showing activates the window, and
    // activation acquires the mouse.
    if (init_mouse(screen.main_window) == 0) return fail_startup(8);
    window_show(screen.main_window, show_command);
    window_update(screen.main_window);

    if (display_create(&screen.display_device) != RESULT_OK) return fail_startup(2);
    if (display_set_exclusive_fullscreen(screen.display_device, screen.main_window) != RESULT_OK)
        return fail_startup(3);
    if (set_display_mode() != RESULT_OK) return fail_startup(4);
    if (display_create_primary(screen.display_device, &screen.front_surface) != RESULT_OK)
        return fail_startup(5);
    if (display_get_back_buffer(screen.front_surface, &screen.back_surface) != RESULT_OK)
        return fail_startup(6);
    if (create_keyed_offscreen(&screen.sheet_surface) != RESULT_OK ||
        create_keyed_offscreen(&screen.picture_surface) != RESULT_OK ||
        create_keyed_offscreen(&screen.spare_surface) != RESULT_OK)
        return fail_startup(7);
    create_fonts();
    return 1;
}

void shutdown_all() {
    release_sound();

    if (pointer.input_object != nullptr) input_release(pointer.input_object);
    pointer.input_object = nullptr;
    if (pointer.mouse_device != nullptr) mouse_release(pointer.mouse_device);
    pointer.mouse_device = nullptr;
    if (pointer.mouse_event != nullptr) event_close(pointer.mouse_event);
    pointer.mouse_event = nullptr;

    if (screen.display_device != nullptr) {
        // The back buffer is attached to the front surface and goes with it.
        release_surface(screen.front_surface);
        screen.back_surface = nullptr;
        release_surface(screen.sheet_surface);
        release_surface(screen.picture_surface);
        release_surface(screen.spare_surface);
        display_release(screen.display_device);
        screen.display_device = nullptr;
    }

    release_font(screen.font_fixed);
    release_font(screen.font_medium);
    release_font(screen.font_large);
}
