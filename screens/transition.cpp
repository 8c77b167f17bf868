#include "screens/transition.h"

#include "display/display.h"
#include "display/drawing.h"
#include "display/layout.h"
#include "input/mouse.h"
#include "platform/window.h"

namespace {

// Each step copies one column on either side of the centre line.
constexpr int COLUMN_STEPS = layout::SCREEN_WIDTH / 2;
// A millisecond's pause after every eighth step paces the effect.
constexpr int STEPS_PER_PAUSE = 8;

void copy_column(int x) {
    copy_rect(screen.back_surface, x, 0, 1, layout::SCREEN_HEIGHT, screen.front_surface, x, 0);
}

}  // namespace

void run_transition() {
    pointer.pointer_visible = 0;
    erase_pointer();
    int left = COLUMN_STEPS - 1;
    int right = COLUMN_STEPS;
    for (int step = 1; step <= COLUMN_STEPS; ++step) {
        copy_column(left--);
        copy_column(right++);
        if (step % STEPS_PER_PAUSE == 0) pause_milliseconds(1);
    }
    pointer.pointer_visible = 1;
    pointer.pointer_saved = 0;
}
