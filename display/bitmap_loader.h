// Numbered bitmap files onto surfaces: the picture loader fills a whole surface and
// remembers what each slot holds; the box loader draws at a position every time.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int LOAD_DONE = 0;
constexpr int LOAD_FAILED = 1;
constexpr int LOAD_ALREADY_THERE = 255;
constexpr int FILE_NAME_SIZE = 80;

// "scs"/"scb" + zero padding + number + ".BMP" into a buffer of FILE_NAME_SIZE.
void build_picture_file_name(char* name, int32_t number);
void build_box_file_name(char* name, int32_t number);

// Slot 0 is the sheet surface, slot 1 the picture surface. Number 0 loads
// name_for_zero + ".BMP". Returns LOAD_DONE, LOAD_FAILED or LOAD_ALREADY_THERE.
int load_picture(uint8_t slot, int32_t number, const char* name_for_zero);
// Draws box bitmap number unscaled onto the back surface at (x, y).
int32_t load_box(int32_t number, int x, int y);

int32_t load_bitmap_file(Surface surface, const char* file_name);
int32_t load_bitmap_at(Surface surface, const char* file_name, int x, int y);
int32_t copy_bitmap(Surface surface, BitmapHandle bitmap);
int32_t copy_bitmap_at(Surface surface, BitmapHandle bitmap, int x, int y);
