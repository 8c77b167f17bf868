// Numbered bitmap files onto surfaces: the picture loader fills a whole surface and
// remembers what each slot holds; the box loader draws at a position every time.
#pragma once

#include <cstdint>

#include "platform/types.h"

constexpr int FILE_NAME_SIZE = 80;
// What the picture loader reads for a picture number of 0 or below: no show has it.
constexpr const char* NO_PICTURE_FILE = "-.BMP";

// "scs"/"scb" + zero padding + number + ".BMP" into a buffer of FILE_NAME_SIZE.
void build_picture_file_name(char* name, int32_t number);
void build_box_file_name(char* name, int32_t number);

// The surfaces the picture loader fills, each remembering its picture number.
enum class PictureSlot : uint8_t { sheet = 0, picture = 1 };
enum class PictureLoad { loaded, failed, already_there };

// Loads picture number into the slot's surface, unless the slot already holds it.
// Number 0 (no picture) loads NO_PICTURE_FILE.
PictureLoad load_picture(PictureSlot slot, int32_t number);
// Draws box bitmap number unscaled onto the back surface at (x, y); false when the
// file does not load.
bool load_box(int32_t number, int x, int y);

// A bitmap file onto a surface: the whole surface (larger files scaled to it), or
// unscaled at (x, y). false when the file does not load or the surface takes no copy.
bool load_bitmap_file(Surface surface, const char* file_name);
bool load_bitmap_at(Surface surface, const char* file_name, int x, int y);
bool copy_bitmap(Surface surface, BitmapHandle bitmap);
bool copy_bitmap_at(Surface surface, BitmapHandle bitmap, int x, int y);
