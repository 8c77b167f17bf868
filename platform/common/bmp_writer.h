// Writes Windows bitmap files: headers, and pixels as an uncompressed 24-bit
// bottom-up bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The file header and a BITMAPINFOHEADER (BMP_HEADERS_SIZE bytes), for pixel data of
// data_size bytes after a palette of palette_size 4-byte entries. A negative height
// marks rows stored top-down.
constexpr uint32_t BMP_HEADERS_SIZE = 14 + 40;
std::vector<uint8_t> bmp_file_headers(int width, int height, uint16_t bits, uint32_t compression,
                                      uint32_t palette_size, uint32_t data_size);

// pixels: width * height values 0x00RRGGBB, top row first.
std::vector<uint8_t> bmp_encode_24(int width, int height, const uint32_t* pixels);
bool bmp_write_24(const std::string& path, int width, int height, const uint32_t* pixels);
