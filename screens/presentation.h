// The current entry of the picture table on the screen: screenshot, boxes, level
// strip, navigation panel, mark, editor bar and text lines, then its one-time sound.
#pragma once

#include <cstdint>

// Shows current_picture, with the two status lines when asked, through the transition
// or by a plain flip.
void present_picture(bool status_lines, bool transition);
// As each step in the editor shows its result: status lines, plain flip.
void present_edited_picture();

// Draws the panel on the back surface and records its rectangle for the hit test.
void draw_nav_panel();

// The text lines, as they are drawn (Windows-1252), into a buffer of LINE_SIZE.
constexpr int LINE_SIZE = 160;
void format_status_line_1(char* line);
void format_status_line_2(char* line);
void format_edit_mode_line(char* line);
