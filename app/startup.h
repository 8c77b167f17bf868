// Bringing the program up, step by step: the window, the mouse and the display, then
// the sound, the pointer, the graphics sheet, the editor, the show and its background
// sound, and the title screen.
#pragma once

#include "platform/types.h"

// The texts of the start-up failures (Windows-1252), indexed by startup_error 0..8.
extern const char* const startup_messages[9];

// The window class and window, the mouse device, the window shown, the display device
// with its mode, surfaces and fonts. false when the program must end: the failure
// has then been shown, where it has a message, and everything created so far released.
bool init_display(InstanceHandle instance, int show_command);

// The whole start-up up to the title screen on the display; false, with nothing else
// started, when the display could not be.
bool start_up(InstanceHandle instance, int show_command);
