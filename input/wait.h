// The program's one wait: for a mouse button, with the window's messages dispatched
// to its window procedure on the way. With the show's keys on, a key or a wheel notch
// for the show ends it too; with a slideshow delay, so can the delay passing.
#pragma once

#include "input/show_keys.h"

// Waits until a mouse button goes down: mouse_click is then 1 (left) or 2 (right)
// and pointer_x, pointer_y tell where. Mouse motion moves the pointer on the way;
// queued messages go to the window procedure. A show key ends the wait as well, with
// mouse_click 0 and show_input.key set. Returns at once, with quit_requested set, when
// the quit request has been taken from the queue.
void wait_for_click();
// As wait_for_click; when the slideshow delay passes without any input, it ends with
// show_input.key = next.
void wait_for_click_or_delay();
