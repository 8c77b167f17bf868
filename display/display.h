// The window, the full-screen display with its five surfaces and three fonts, the
// numbered start-up failures, and the one routine that releases everything.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int SCREEN_WIDTH = 1024;
constexpr int SCREEN_HEIGHT = 768;

// Texts of the start-up failures, indexed by startup_error (0..8), Windows-1252.
extern const char* const startup_messages[9];

// 1 when window, mouse, display, surfaces and fonts are ready; 0 when the program
// must end (the failure has then been shown, where it has a message, and everything
// created so far released).
int init_display(InstanceHandle instance, int show_command);

// Releases sound, mouse, surfaces, display device and fonts, emptying every
// reference; safe at any stage and any number of times.
void shutdown_all();
