// The program's one wait and its window procedure.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Waits until a mouse button goes down: mouse_click is then 1 (left) or 2 (right)
// and pointer_x, pointer_y tell where. Mouse motion moves the pointer on the way;
// queued messages go to window_procedure. Returns at once, with quit_requested set,
// when the quit request has been taken from the queue.
void wait_for_click();

intptr_t window_procedure(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
