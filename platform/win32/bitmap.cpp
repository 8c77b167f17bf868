// Bitmap files and the pixel copies between device contexts, on GDI.
#include "platform/bitmap.h"

#include "platform/win32/win32.h"

BitmapHandle bitmap_load_file(const char* file_name) {
    return as_bitmap(
        LoadImageA(nullptr, file_name, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

void bitmap_get_size(BitmapHandle bitmap, int* width, int* height) {
    BITMAP description = {};
    if (GetObjectA(as_hbitmap(bitmap), sizeof(description), &description) == 0) {
        *width = 0;
        *height = 0;
        return;
    }
    *width = description.bmWidth;
    *height = description.bmHeight;
}

void bitmap_delete(BitmapHandle bitmap) {
    DeleteObject(as_hbitmap(bitmap));
}

DeviceContext memory_dc_create() {
    return as_dc(CreateCompatibleDC(nullptr));
}

void memory_dc_select_bitmap(DeviceContext memory_dc, BitmapHandle bitmap) {
    SelectObject(as_hdc(memory_dc), as_hbitmap(bitmap));
}

void memory_dc_delete(DeviceContext memory_dc) {
    DeleteDC(as_hdc(memory_dc));
}

void dc_copy_pixels(DeviceContext dest, int dest_x, int dest_y, int width, int height,
                    DeviceContext source, int source_x, int source_y) {
    BitBlt(as_hdc(dest), dest_x, dest_y, width, height, as_hdc(source), source_x, source_y,
           SRCCOPY);
}

void dc_stretch_pixels(DeviceContext dest, int dest_x, int dest_y, int dest_width, int dest_height,
                       DeviceContext source, int source_x, int source_y, int source_width,
                       int source_height) {
    // The context's own stretch mode is kept: the show has always scaled with it.
    StretchBlt(as_hdc(dest), dest_x, dest_y, dest_width, dest_height, as_hdc(source), source_x,
               source_y, source_width, source_height, SRCCOPY);
}
