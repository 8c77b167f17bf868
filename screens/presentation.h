// One entry of the picture table on the screen: screenshot, boxes, level strip,
// navigation panel, mark, editor bar and text lines, then its one-time sound.
#pragma once

#include <cstdint>

// picture: the entry (every caller passes current_picture); status 1 draws the two
// status lines; transition 0 flips, any other number runs that transition effect.
void present_picture(int32_t picture, int32_t status, int32_t transition);

// Kind 0 draws the panel at (x, y) on the back surface and records its rectangle for
// the hit test; other kinds do nothing.
void draw_nav_panel(uint8_t kind, int32_t x, int32_t y);

// The text lines, as they are drawn (Windows-1252), into a buffer of LINE_SIZE.
constexpr int LINE_SIZE = 160;
void format_status_line_1(char* line, int32_t picture);
void format_status_line_2(char* line);
void format_edit_mode_line(char* line);
