// The editor: its dispatch of clicks (app/dispatch.h), its sixteen edit modes on the
// picture table, and the arrow keys that move the box being placed.
#pragma once

#include <cstdint>

// No prompt open; prompts take up to 17 characters.
void reset_prompt_state();

// While a box is being placed, an arrow key moves it one pixel and shows the result;
// otherwise, and for every other key, nothing happens.
void editor_arrow_key(uintptr_t key);
