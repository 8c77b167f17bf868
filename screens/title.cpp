#include "screens/title.h"

#include "app/state.h"
#include "display/bitmap_loader.h"
#include "display/drawing.h"

namespace {

const char* const credit_line = "EINE KLEINE BILDERSCHAU MIT EIGENEM EDITOR";
const char* const title_line = "KLEINE SCREENSHOW ZUM SPIEL > ZAVERON < ";
const char* const click_line = "KLICK";

}  // namespace

void show_title_screen(int32_t title_picture) {
    load_picture(1, title_picture, "-");
    copy_rect(screen.picture_surface, 0, 0, 1024, 768, screen.back_surface, 0, 0);
    if (DeviceContext dc = begin_text(screen.back_surface)) {
        draw_text(dc, screen.font_fixed, rgb(255, 255, 255), 10, 670, credit_line);
        draw_text(dc, screen.font_large, rgb(255, 255, 0), 10, 684, title_line);
        draw_text(dc, screen.font_large, rgb(255, 255, 255), 10, 710, click_line);
        end_text(screen.back_surface, dc);
    }
    present_frame();
    pointer.pointer_saved = 0;
}
