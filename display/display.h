// The full-screen display device with its five surfaces and three fonts. The start-up
// (app/startup) takes the steps in order and reports the first that fails; the
// shutdown (app/shutdown) releases what they made.
#pragma once

#include <cstdint>

#include "platform/types.h"

// The window, the display with its surfaces and fonts, what the surfaces hold, and the
// screen's places that clicks are tested against.
struct ScreenState {
    WindowHandle main_window = nullptr;
    DisplayDevice display_device = nullptr;
    Surface front_surface = nullptr;
    Surface back_surface = nullptr;
    Surface sheet_surface = nullptr;
    Surface picture_surface = nullptr;
    Surface spare_surface = nullptr;
    FontHandle font_fixed = nullptr;
    FontHandle font_medium = nullptr;
    FontHandle font_large = nullptr;
    uint8_t startup_error = 0;
    // 1 once init_display has succeeded: tells a normal end from a failed start.
    uint8_t display_ready = 0;

    // Number last loaded into slot 0 (sheet) and slot 1 (picture) by the picture loader.
    int32_t loaded_number[2] = {0, 0};

    // The navigation panel as last drawn, and the last choice clicked on the panel
    // or in the menu.
    int32_t nav_panel_left = 0;
    int32_t nav_panel_top = 0;
    int32_t nav_panel_right = 0;
    int32_t nav_panel_bottom = 0;
    int32_t last_choice = 0;

    // Set when the pump has taken the window's quit request: the shutdown has already
    // run and nothing may wait on the mouse again.
    uint8_t quit_requested = 0;
    int32_t quit_exit_code = 0;
};

extern ScreenState screen;

bool create_display_device();
// Exclusive, full-screen cooperation for the main window.
bool set_exclusive_full_screen();
// 1024 x 768 at the given bits per pixel.
bool set_display_mode(int bits_per_pixel);
// The front surface, with the back surface attached to flip with.
bool create_primary_surface();
bool attach_back_buffer();
// The sheet, picture and spare surfaces, each with black as its colour key.
bool create_offscreen_surfaces();
// The stock fixed font and the 24- and 32-pixel bold fonts, replacing any held.
void create_fonts();

// The surfaces, then the display device; nothing when there is no device.
void release_display();
void release_fonts();
