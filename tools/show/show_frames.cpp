#include "tools/show/show_frames.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "app/program.h"
#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/layout.h"
#include "editor/editor.h"
#include "platform/common/cp1252.h"
#include "platform/headless/headless.h"
#include "screens/presentation.h"
#include "screens/title.h"
#include "show/picture_table.h"
#include "show/show_file.h"
#include "tools/show/canvas_text.h"
#include "tools/show/show_check.h"
#include "tools/show/show_image.h"

namespace show_tool {

namespace {

constexpr int32_t GRAPHICS_SHEET_PICTURE = 1;
constexpr int32_t TITLE_PICTURE = 2;

demo::Canvas read_surface(Surface surface) {
    demo::Canvas canvas(layout::SCREEN_WIDTH, layout::SCREEN_HEIGHT);
    for (int y = 0; y < layout::SCREEN_HEIGHT; ++y)
        for (int x = 0; x < layout::SCREEN_WIDTH; ++x)
            canvas.pixels[static_cast<size_t>(y) * layout::SCREEN_WIDTH + x] =
                headless_pixel(surface, x, y);
    return canvas;
}

// The scripted backend keeps the program's text lines as records; they are drawn here
// the way the Linux program draws them.
void draw_recorded_texts(demo::Canvas& frame) {
    for (const HeadlessText& text : headless_texts()) {
        const int cell_height = text.font == "large" ? 32 : text.font == "medium" ? 24 : 16;
        const CanvasFont font =
            CanvasFont::of_cell_height(CanvasFont::program_font_file(), cell_height);
        const uint32_t rgb =
            (text.color & 0xFF) << 16 | (text.color & 0xFF00) | (text.color >> 16 & 0xFF);
        font.draw(frame, text.x, text.y, cp1252_to_utf8(text.text), rgb);
    }
}

void clear_picture_surface() {
    for (int y = 0; y < layout::SCREEN_HEIGHT; ++y)
        for (int x = 0; x < layout::SCREEN_WIDTH; ++x)
            headless_set_pixel(screen.picture_surface, x, y, 0);
    screen.loaded_number[static_cast<int>(PictureSlot::picture)] = 0;
}

// Loads the screenshot the way the presentation will, so that a failure is known; a
// picture that does not load leaves black, not the previous one.
void load_screenshot(int32_t number) {
    if (load_picture(PictureSlot::picture, number) == PictureLoad::failed) clear_picture_surface();
}

const char* problem_in_brief(FileState file_state) {
    if (file_state == FileState::missing) return "missing";
    return "does not load";
}

void add_problems(const std::vector<NeededFile>& files, ShowFrame* frame) {
    for (const NeededFile& file : files) {
        const FileState file_state = check_needed_file(file);
        if (file_state != FileState::present)
            frame->problems.push_back(file.name + ": " + problem_in_brief(file_state));
    }
}

NeededFile picture_file(int32_t number) {
    char name[FILE_NAME_SIZE];
    build_picture_file_name(name, number);
    return NeededFile{name, false, {}};
}

}  // namespace

ShowFrames::ShowFrames() {
    headless_reset();
    reset_global_state();
    std::fflush(stderr);
    saved_standard_error = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nowhere >= 0) {
        dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
}

ShowFrames::~ShowFrames() {
    shutdown_all();
    headless_reset();
    reset_global_state();
    std::fflush(stderr);
    if (saved_standard_error >= 0) {
        dup2(saved_standard_error, STDERR_FILENO);
        close(saved_standard_error);
    }
}

bool ShowFrames::start(std::string* reason) {
    build_show_file_name();
    ShowFileContents contents;
    if (!read_show_file_contents(picture_table.show_file_name, &contents, reason)) return false;
    if (!init_display(nullptr, 1)) {
        *reason = "the scripted display did not start";
        return false;
    }
    load_picture(PictureSlot::sheet, GRAPHICS_SHEET_PICTURE);
    set_up_startup_table();
    build_show_file_name();
    load_show_file();
    return true;
}

int32_t ShowFrames::entries() const {
    return picture_table.picture_count;
}

ShowFrame ShowFrames::title() {
    ShowFrame frame;
    add_problems({picture_file(TITLE_PICTURE)}, &frame);
    load_screenshot(TITLE_PICTURE);
    headless_clear_texts();
    show_title_screen();
    frame.picture = read_surface(screen.front_surface);
    draw_recorded_texts(frame.picture);
    return frame;
}

ShowFrame ShowFrames::graphics_sheet() {
    ShowFrame frame;
    add_problems({picture_file(GRAPHICS_SHEET_PICTURE)}, &frame);
    frame.picture = read_surface(screen.sheet_surface);
    return frame;
}

ShowFrame ShowFrames::entry(int32_t entry) {
    ShowFrame frame;
    add_problems(files_of_entry(entry), &frame);
    picture_table.current_picture = entry;
    editor.editor_active = 0;
    editor.status_lines_on = 0;
    load_screenshot(picture_table.pic_file[entry]);
    headless_clear_texts();
    present_picture(false, false);
    frame.picture = read_surface(screen.front_surface);
    draw_recorded_texts(frame.picture);
    return frame;
}

}  // namespace show_tool
