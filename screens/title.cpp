#include "screens/title.h"

#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/mouse.h"

namespace {

const char* const credit_line = "EINE KLEINE BILDERSCHAU MIT EIGENEM EDITOR";
const char* const title_line = "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < ";
const char* const click_line = "KLICK";
constexpr int32_t TITLE_PICTURE = 2;

}  // namespace

void show_title_screen() {
    load_picture(PictureSlot::picture, TITLE_PICTURE);
    copy_picture_to_back_surface();
    if (DeviceContext dc = begin_text(screen.back_surface)) {
        draw_text(dc, screen.font_fixed, rgb(255, 255, 255), layout::TITLE_CREDIT_AT, credit_line);
        draw_text(dc, screen.font_large, rgb(255, 255, 0), layout::TITLE_LINE_AT, title_line);
        draw_text(dc, screen.font_large, rgb(255, 255, 255), layout::TITLE_CLICK_AT, click_line);
        end_text(screen.back_surface, dc);
    }
    present_frame();
    pointer.pointer_saved = 0;
}
