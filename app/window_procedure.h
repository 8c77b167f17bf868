// The main window's procedure: the window's end, its activation, and the keys, which
// reach the editor through it while the program waits for a click.
#pragma once

#include <cstdint>

#include "platform/types.h"

intptr_t window_procedure(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);
