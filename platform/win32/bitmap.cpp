// Bitmap files and the pixel copies between device contexts, on GDI.
#include "platform/bitmap.h"

#include <cstdio>
#include <cstring>

#include "platform/common/bmp_decoder.h"
#include "platform/win32/win32.h"

namespace {

bool running_on_wine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}

// A negative height in a BITMAPINFOHEADER or later header: rows stored top to bottom.
// The OS/2 core header's height is unsigned.
bool is_top_down_file(const char* file_name) {
    unsigned char header[26] = {};
    FILE* file = std::fopen(file_name, "rb");
    if (file == nullptr) return false;
    const size_t got = std::fread(header, 1, sizeof header, file);
    std::fclose(file);
    if (got < sizeof header || header[0] != 'B' || header[1] != 'M') return false;
    uint32_t header_size = 0;
    int32_t height = 0;
    std::memcpy(&header_size, header + 14, 4);
    std::memcpy(&height, header + 22, 4);
    return header_size >= 40 && height < 0;
}

// The same kind of bitmap LoadImageA makes: a bottom-up 32-bit DIB section.
HBITMAP decode_into_dib_section(const char* file_name) {
    DecodedImage image;
    if (!bmp_decode_file(file_name, PixelFormat::xrgb8888, &image)) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return bitmap;
    const size_t row_bytes = static_cast<size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        std::memcpy(
            static_cast<uint8_t*>(bits) + static_cast<size_t>(image.height - 1 - y) * row_bytes,
            image.pixels.data() + static_cast<size_t>(y) * row_bytes, row_bytes);
    }
    return bitmap;
}

}  // namespace

BitmapHandle bitmap_load_file(const char* file_name) {
    // Wine's LoadImageA reports success on top-down files but leaves every pixel
    // black; Windows reads them. Under Wine our own decoder stands in for those.
    if (running_on_wine() && is_top_down_file(file_name))
        return as_bitmap(decode_into_dib_section(file_name));
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
