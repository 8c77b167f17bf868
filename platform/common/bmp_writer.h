// Writes pixels as an uncompressed 24-bit bottom-up Windows bitmap.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels: width * height values 0x00RRGGBB, top row first.
std::vector<uint8_t> bmp_encode_24(int width, int height, const uint32_t* pixels);
bool bmp_write_24(const std::string& path, int width, int height, const uint32_t* pixels);
