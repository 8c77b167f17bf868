// The program's one wait: for a mouse button, with the window's messages dispatched
// to its window procedure on the way.
#pragma once

// Waits until a mouse button goes down: mouse_click is then 1 (left) or 2 (right)
// and pointer_x, pointer_y tell where. Mouse motion moves the pointer on the way;
// queued messages go to the window procedure. Returns at once, with quit_requested
// set, when the quit request has been taken from the queue.
void wait_for_click();
