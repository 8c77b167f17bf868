#include "screens/title.h"

#include <algorithm>
#include <string>

#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/mouse.h"
#include "platform/files.h"

namespace {

const char* const credit_line = "EINE KLEINE BILDERSCHAU MIT EIGENEM EDITOR";
const char* const title_line = "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < ";
const char* const click_line = "KLICK";
constexpr int32_t TITLE_PICTURE = 2;
constexpr const char* SHOW_TITLE_FILE = "TITLE.TXT";
constexpr size_t SHOW_TITLE_LONGEST = 60;

// The show's own title from TITLE.TXT beside its pictures: the file's first line, in
// Windows-1252, when it has 1 to 60 characters and no control characters; "" when the
// file is not there or its line is not such a title.
std::string show_title_from_file() {
    FileHandle file = file_open_read(SHOW_TITLE_FILE);
    if (file == nullptr) return "";
    char bytes[SHOW_TITLE_LONGEST + 2];
    const size_t got = file_read(file, bytes, sizeof bytes);
    file_close(file);
    std::string line(bytes, got);
    line = line.substr(0, line.find_first_of("\r\n"));
    const bool plain = std::none_of(line.begin(), line.end(),
                                    [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    return plain && line.size() <= SHOW_TITLE_LONGEST ? line : "";
}

}  // namespace

void show_title_screen() {
    load_picture(PictureSlot::picture, TITLE_PICTURE);
    copy_picture_to_back_surface();
    const std::string show_title = show_title_from_file();
    if (DeviceContext dc = begin_text(screen.back_surface)) {
        draw_text(dc, screen.font_fixed, rgb(255, 255, 255), layout::TITLE_CREDIT_AT, credit_line);
        draw_text(dc, screen.font_large, rgb(255, 255, 0), layout::TITLE_LINE_AT,
                  show_title.empty() ? title_line : show_title.c_str());
        draw_text(dc, screen.font_large, rgb(255, 255, 255), layout::TITLE_CLICK_AT, click_line);
        end_text(screen.back_surface, dc);
    }
    present_frame();
    pointer.pointer_saved = 0;
}
