// Further Windows bitmap forms for the demo pictures, so that the show's files
// exercise more than one way the loader must read: 8-bit paletted (plain and RLE8)
// and 32-bit top-down. The plain 24-bit form comes from platform/common/bmp_writer.h.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/demo/canvas.h"

namespace demo {

struct IndexedImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> palette;  // at most 256 colours, 0x00RRGGBB
    std::vector<uint8_t> indices;   // top row first
};

// Exact when the canvas has at most 256 colours; otherwise a median-cut palette with
// every pixel mapped to its nearest entry. Deterministic for a given canvas.
IndexedImage quantize_to_palette(const Canvas& canvas);

// Uncompressed 8 bits per pixel, bottom-up.
std::vector<uint8_t> bmp_encode_8(const IndexedImage& image);
// Run-length encoded 8 bits per pixel (BI_RLE8), bottom-up as that form requires.
std::vector<uint8_t> bmp_encode_rle8(const IndexedImage& image);
// 32 bits per pixel (B, G, R, unused), rows stored top row first (negative height).
std::vector<uint8_t> bmp_encode_32_top_down(const Canvas& canvas);

}  // namespace demo
