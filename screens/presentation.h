// The current entry of the picture table on the screen: screenshot, boxes, level
// strip, navigation panel, mark, editor bar and text lines, then its one-time sound.
#pragma once

#include <cstdint>

// Shows current_picture, with the two status lines when asked, through the transition
// or by a plain flip; with the editor bar and edit_line above it unless edit_line is
// nullptr.
void present_picture(bool status_lines, bool transition, const char* edit_line = nullptr);

// Draws the panel on the back surface and records its rectangle for the hit test.
void draw_nav_panel();

// The text lines, as they are drawn (Windows-1252), into a buffer of LINE_SIZE.
constexpr int LINE_SIZE = 160;
void format_status_line_1(char* line);
void format_status_line_2(char* line);
