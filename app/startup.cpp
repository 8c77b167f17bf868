#include "app/startup.h"

#include "app/shutdown.h"
#include "app/window_procedure.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/layout.h"
#include "editor/editor.h"
#include "input/mouse.h"
#include "platform/window.h"
#include "screens/title.h"
#include "show/picture_table.h"
#include "show/show_file.h"
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

// The steps of init_display that can fail, by the number of their message.
enum StartupError : uint8_t {
    NO_WINDOW = 1,
    NO_DISPLAY_DEVICE = 2,
    NO_FULL_SCREEN = 3,
    NO_DISPLAY_MODE = 4,
    NO_PRIMARY_SURFACE = 5,
    NO_BACK_BUFFER = 6,
    NO_OFFSCREEN_SURFACE = 7,
    NO_MOUSE = 8,
};

const char* const window_class_name = "QZ";
const char* const window_title = "QZVIEW";

constexpr int32_t SHEET_PICTURE = 1;
constexpr int32_t FALLBACK_PICTURE_FILE = 100;

// Releases what was created, shows the numbered message and destroys the window.
bool fail_startup(StartupError code) {
    screen.startup_error = code;
    // Releasing the display device first gives the desktop its mode back, so the
    // message appears on the user's normal screen.
    shutdown_all();
    message_box(screen.main_window, startup_messages[code], window_title);
    window_destroy(screen.main_window);
    return false;
}

bool create_main_window(InstanceHandle instance) {
    window_register_class(instance, window_class_name, window_class_name, window_procedure);
    screen.main_window = window_create_topmost_popup(instance, window_class_name, window_title, 0,
                                                     0, screen_width(), screen_height());
    return screen.main_window != nullptr;
}

// 32 bits per pixel, or 16 when 32 are refused.
bool set_a_display_mode() {
    if (set_display_mode(32)) return true;
    screen.startup_error = NO_DISPLAY_MODE;
    return set_display_mode(16);
}

void set_up_pointer() {
    pointer.pointer_width = layout::SHEET_POINTER.width;
    pointer.pointer_height = layout::SHEET_POINTER.height;
    pointer.pointer_image_x = layout::SHEET_POINTER.x;
    pointer.pointer_image_y = layout::SHEET_POINTER.y;
    // The whole pointer image stays on the screen.
    pointer.pointer_limit_x = layout::SCREEN_WIDTH - pointer.pointer_width;
    pointer.pointer_limit_y = layout::SCREEN_HEIGHT - pointer.pointer_height;
    pointer.pointer_saved = 0;
    pointer.pointer_visible = 1;
    pointer.pointer_x = 0;
    pointer.pointer_y = 0;
}

void load_graphics_sheet() {
    screen.loaded_number[0] = screen.loaded_number[1] = 0;
    load_picture(PictureSlot::sheet, SHEET_PICTURE);
}

void set_up_editor() {
    editor.transition_on = 1;
    editor.status_lines_on = 0;
    editor.editor_active = 0;
    editor.selected_edit_mode = 0;
    picture_table.new_file_number = 0;
    picture_table.exchange_file_number = 0;
    picture_table.default_box1_x = 100;
    picture_table.default_box1_y = 100;
}

// The show a fresh machine runs when no show file can be read: one picture, file 100.
void set_up_picture_table() {
    init_picture_table();
    picture_table.first_picture = 1;
    picture_table.picture_count = 1;
    picture_table.current_picture = 1;
    picture_table.shown_box1 = picture_table.shown_box2 = picture_table.shown_box3 = 0;
    picture_table.pic_file[1] = FALLBACK_PICTURE_FILE;
}

void load_the_show() {
    picture_table.show_file_number = 1;
    build_show_file_name();
    load_show();  // a show that cannot be read leaves the fallback show
}

}  // namespace

bool init_display(InstanceHandle instance, int show_command) {
    screen.startup_error = 0;
    if (!create_main_window(instance)) {
        screen.startup_error = NO_WINDOW;
        return false;
    }
    // The mouse comes before the window is shown: showing activates the window, and
    // activation acquires the mouse.
    if (!init_mouse()) return fail_startup(NO_MOUSE);
    window_show(screen.main_window, show_command);
    window_update(screen.main_window);

    if (!create_display_device()) return fail_startup(NO_DISPLAY_DEVICE);
    if (!set_exclusive_full_screen()) return fail_startup(NO_FULL_SCREEN);
    if (!set_a_display_mode()) return fail_startup(NO_DISPLAY_MODE);
    if (!create_primary_surface()) return fail_startup(NO_PRIMARY_SURFACE);
    if (!attach_back_buffer()) return fail_startup(NO_BACK_BUFFER);
    if (!create_offscreen_surfaces()) return fail_startup(NO_OFFSCREEN_SURFACE);
    create_fonts();
    return true;
}

bool start_up(InstanceHandle instance, int show_command) {
    pointer.instance_handle = instance;
    if (!init_display(instance, show_command)) return false;
    screen.display_ready = 1;
    sound_init();
    set_up_pointer();
    editor.entry_text[0] = '\0';
    editor.prompt_mode = 0;
    load_graphics_sheet();
    reset_prompt_state();
    set_up_editor();
    set_up_picture_table();
    load_the_show();
    start_background_sound();
    show_title_screen();
    return true;
}
