// Bitmap files and the GDI copies that put them onto a surface's device context.
#pragma once

#include "platform/types.h"

// Reads a .BMP file into a bitmap of its own size; nullptr when the file is missing or invalid.
BitmapHandle bitmap_load_file(const char* file_name);
void bitmap_get_size(BitmapHandle bitmap, int* width, int* height);
void bitmap_delete(BitmapHandle bitmap);

// A memory device context to select a loaded bitmap into; nullptr on failure.
DeviceContext memory_dc_create();
void memory_dc_select_bitmap(DeviceContext memory_dc, BitmapHandle bitmap);
void memory_dc_delete(DeviceContext memory_dc);

// Pixel copies between device contexts, converting to the destination's format
// (SRCCOPY). The destination clips what falls outside it.
void dc_copy_pixels(DeviceContext dest, int dest_x, int dest_y, int width, int height,
                    DeviceContext source, int source_x, int source_y);
void dc_stretch_pixels(DeviceContext dest, int dest_x, int dest_y, int dest_width, int dest_height,
                       DeviceContext source, int source_x, int source_y, int source_width,
                       int source_height);
