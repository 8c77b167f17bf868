// The full-screen display device with its five surfaces and three fonts. The start-up
// (app/startup) takes the steps in order and reports the first that fails; the
// shutdown (app/shutdown) releases what they made.
#pragma once

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
