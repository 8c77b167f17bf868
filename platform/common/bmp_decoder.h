// Decodes Windows bitmap files (every header version, 1 to 32 bits, RLE4/RLE8,
// bit fields, top-down and bottom-up) straight into a display pixel format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class PixelFormat { xrgb8888, rgb565 };

struct DecodedImage {
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::xrgb8888;
    // Rows top to bottom, width * bytes_per_pixel(format) bytes each, no padding.
    std::vector<uint8_t> pixels;
};

constexpr int bytes_per_pixel(PixelFormat format) {
    return format == PixelFormat::xrgb8888 ? 4 : 2;
}

constexpr int BMP_MAX_SIDE = 16384;
constexpr size_t BMP_MAX_PIXEL_BYTES = size_t{256} << 20;

// false, with *image untouched, for anything that is not a valid bitmap.
bool bmp_decode(const uint8_t* data, size_t size, PixelFormat format, DecodedImage* image);
// Reads the file whole with one read, then decodes it.
bool bmp_decode_file(const char* path, PixelFormat format, DecodedImage* image);
