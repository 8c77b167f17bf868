#include "platform/common/bmp_writer.h"

#include <cstdio>

#include "platform/common/le_bytes.h"
std::vector<uint8_t> bmp_file_headers(int width, int height, uint16_t bits, uint32_t compression,
                                      uint32_t palette_size, uint32_t data_size) {
    const uint32_t data_offset = BMP_HEADERS_SIZE + 4 * palette_size;
    std::vector<uint8_t> out;
    out.reserve(data_offset + data_size);
    out.push_back('B');
    out.push_back('M');
    append_le32(out, data_offset + data_size);
    append_le32(out, 0);
    append_le32(out, data_offset);
    append_le32(out, 40);
    append_le32(out, static_cast<uint32_t>(width));
    append_le32(out, static_cast<uint32_t>(height));  // negative for top-down, as two's complement
    append_le16(out, 1);
    append_le16(out, bits);
    append_le32(out, compression);
    append_le32(out, data_size);
    append_le32(out, 2835);
    append_le32(out, 2835);
    append_le32(out, palette_size);
    append_le32(out, 0);
    return out;
}

std::vector<uint8_t> bmp_encode_24(int width, int height, const uint32_t* pixels) {
    const uint32_t row_size = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint32_t image_size = row_size * static_cast<uint32_t>(height);
    std::vector<uint8_t> out = bmp_file_headers(width, height, 24, 0, 0, image_size);
    for (int y = height - 1; y >= 0; --y) {
        const uint32_t* row = pixels + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x) {
            out.push_back(static_cast<uint8_t>(row[x]));
            out.push_back(static_cast<uint8_t>(row[x] >> 8));
            out.push_back(static_cast<uint8_t>(row[x] >> 16));
        }
        for (uint32_t pad = static_cast<uint32_t>(width) * 3; pad < row_size; ++pad)
            out.push_back(0);
    }
    return out;
}

bool bmp_write_24(const std::string& path, int width, int height, const uint32_t* pixels) {
    const std::vector<uint8_t> bytes = bmp_encode_24(width, height, pixels);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
