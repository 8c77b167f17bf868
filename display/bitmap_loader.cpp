#include "display/bitmap_loader.h"

#include <cstdio>

#include "display/display.h"
#include "display/layout.h"
#include "platform/bitmap.h"
#include "platform/display.h"
#include "platform/window.h"

namespace {

// Numbers up to 9999 make five digits; larger ones get a single leading zero.
const char* zero_padding(int32_t number) {
    if (number < 10) return "0000";
    if (number < 100) return "000";
    if (number < 1000) return "00";
    return "0";
}

void build_numbered_name(char* name, const char* prefix, int32_t number) {
    std::snprintf(name, FILE_NAME_SIZE, "%s%s%d.BMP", prefix, zero_padding(number),
                  static_cast<int>(number));
}

Surface slot_surface(PictureSlot slot) {
    return slot == PictureSlot::sheet ? screen.sheet_surface : screen.picture_surface;
}

int32_t& slot_number(PictureSlot slot) {
    return screen.loaded_number[static_cast<int>(slot)];
}

// Borrows a memory device context with the bitmap selected; a failure is reported
// and the copy goes on (it then draws nothing).
DeviceContext select_into_memory_dc(BitmapHandle bitmap) {
    DeviceContext memory_dc = memory_dc_create();
    if (memory_dc == nullptr) debug_output("createcompatible dc failed\n");
    memory_dc_select_bitmap(memory_dc, bitmap);
    return memory_dc;
}

using CopyStep = bool (*)(Surface, BitmapHandle, int, int);

bool load_and_copy(Surface surface, const char* file_name, int x, int y, CopyStep copy) {
    BitmapHandle bitmap = bitmap_load_file(file_name);
    if (bitmap == nullptr) {
        debug_output("handle is null\n");
        return false;
    }
    const bool copied = copy(surface, bitmap, x, y);
    if (!copied) debug_output("ddcopybitmap failed\n");
    bitmap_delete(bitmap);
    return copied;
}

bool copy_whole_bitmap(Surface surface, BitmapHandle bitmap, int, int) {
    return copy_bitmap(surface, bitmap);
}

}  // namespace

void build_picture_file_name(char* name, int32_t number) {
    build_numbered_name(name, "scs", number);
}

void build_box_file_name(char* name, int32_t number) {
    build_numbered_name(name, "scb", number);
}

PictureLoad load_picture(PictureSlot slot, int32_t number) {
    char name[FILE_NAME_SIZE];
    if (number > 0) {
        if (slot_number(slot) == number) return PictureLoad::already_there;
        build_picture_file_name(name, number);
    } else {
        std::snprintf(name, sizeof name, "%s", NO_PICTURE_FILE);
    }
    if (!load_bitmap_file(slot_surface(slot), name)) return PictureLoad::failed;
    if (number > 0) slot_number(slot) = number;
    return PictureLoad::loaded;
}

bool load_box(int32_t number, int x, int y) {
    char name[FILE_NAME_SIZE];
    build_box_file_name(name, number);
    return load_bitmap_at(screen.back_surface, name, x, y);
}

bool load_bitmap_file(Surface surface, const char* file_name) {
    return load_and_copy(surface, file_name, 0, 0, copy_whole_bitmap);
}

bool load_bitmap_at(Surface surface, const char* file_name, int x, int y) {
    return load_and_copy(surface, file_name, x, y, copy_bitmap_at);
}

bool copy_bitmap(Surface surface, BitmapHandle bitmap) {
    if (bitmap == nullptr || surface == nullptr) return false;
    surface_restore(surface);
    DeviceContext memory_dc = select_into_memory_dc(bitmap);
    int width = 0, height = 0;
    bitmap_get_size(bitmap, &width, &height);
    // Larger than the screen: scaled to the whole surface. Otherwise copied 1:1 to
    // the top-left corner, and the rest of the surface keeps its pixels.
    const bool scaled = width > layout::SCREEN_WIDTH || height > layout::SCREEN_HEIGHT;
    int surface_width = 0, surface_height = 0;
    surface_get_size(surface, &surface_width, &surface_height);
    DeviceContext dc = nullptr;
    const int32_t result = surface_get_dc(surface, &dc);
    if (result == RESULT_OK) {
        if (scaled) {
            dc_stretch_pixels(dc, 0, 0, surface_width, surface_height, memory_dc, 0, 0, width,
                              height);
        } else {
            dc_copy_pixels(dc, 0, 0, width, height, memory_dc, 0, 0);
        }
        surface_release_dc(surface, dc);
    }
    memory_dc_delete(memory_dc);
    return result == RESULT_OK;
}

bool copy_bitmap_at(Surface surface, BitmapHandle bitmap, int x, int y) {
    if (bitmap == nullptr || surface == nullptr) return false;
    surface_restore(surface);
    DeviceContext memory_dc = select_into_memory_dc(bitmap);
    int width = 0, height = 0;
    bitmap_get_size(bitmap, &width, &height);
    DeviceContext dc = nullptr;
    const int32_t result = surface_get_dc(surface, &dc);
    if (result == RESULT_OK) {
        // Opaque and never scaled; the device context clips what lies off the surface.
        dc_copy_pixels(dc, x, y, width, height, memory_dc, 0, 0);
        surface_release_dc(surface, dc);
    }
    memory_dc_delete(memory_dc);
    return result == RESULT_OK;
}
