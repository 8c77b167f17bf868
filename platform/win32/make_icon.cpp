// Draws the program's 32 x 32 icon, a picture frame around a small landscape, and
// writes it as a Windows .ico file (one 32-bit image with alpha and its AND mask).
// Built and run on the build machine while qzview.exe is cross-built:
//   make_icon OUTPUT.ico
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/common/program_icon.h"

namespace {

constexpr int SIZE = PROGRAM_ICON_SIZE;

const IconColour& at(const ProgramIcon& image, int x, int y) {
    return image[static_cast<size_t>(y) * SIZE + x];
}

void put_u8(std::vector<uint8_t>& out, unsigned value) {
    out.push_back(static_cast<uint8_t>(value));
}
void put_u16(std::vector<uint8_t>& out, unsigned value) {
    put_u8(out, value & 0xFF);
    put_u8(out, (value >> 8) & 0xFF);
}
void put_u32(std::vector<uint8_t>& out, uint32_t value) {
    put_u16(out, value & 0xFFFF);
    put_u16(out, value >> 16);
}

// The icon image: a BITMAPINFOHEADER of twice the height (colour rows, then the mask),
// rows bottom-up, colours as B, G, R, A; in the mask a set bit means transparent.
std::vector<uint8_t> encode_image(const ProgramIcon& image) {
    constexpr uint32_t colour_bytes = SIZE * SIZE * 4;
    constexpr uint32_t mask_bytes = SIZE * (SIZE / 8);  // 32 bits a row, no padding needed
    std::vector<uint8_t> out;
    put_u32(out, 40);
    put_u32(out, SIZE);
    put_u32(out, SIZE * 2);
    put_u16(out, 1);   // planes
    put_u16(out, 32);  // bits per pixel
    put_u32(out, 0);   // BI_RGB
    put_u32(out, colour_bytes + mask_bytes);
    for (int i = 0; i < 4; ++i)
        put_u32(out, 0);  // resolution and palette: unused
    for (int y = SIZE - 1; y >= 0; --y) {
        for (int x = 0; x < SIZE; ++x) {
            const IconColour& c = at(image, x, y);
            put_u8(out, c.blue);
            put_u8(out, c.green);
            put_u8(out, c.red);
            put_u8(out, c.alpha);
        }
    }
    for (int y = SIZE - 1; y >= 0; --y) {
        for (int byte = 0; byte < SIZE / 8; ++byte) {
            unsigned bits = 0;
            for (int bit = 0; bit < 8; ++bit)
                if (at(image, byte * 8 + bit, y).alpha == 0) bits |= 0x80u >> bit;
            put_u8(out, bits);
        }
    }
    return out;
}

std::vector<uint8_t> encode_icon_file(const ProgramIcon& image) {
    const std::vector<uint8_t> encoded = encode_image(image);
    std::vector<uint8_t> out;
    put_u16(out, 0);  // reserved
    put_u16(out, 1);  // an icon, not a cursor
    put_u16(out, 1);  // one image
    put_u8(out, SIZE);
    put_u8(out, SIZE);
    put_u8(out, 0);   // no palette
    put_u8(out, 0);   // reserved
    put_u16(out, 1);  // planes
    put_u16(out, 32);
    put_u32(out, static_cast<uint32_t>(encoded.size()));
    put_u32(out, 6 + 16);  // the image follows the directory and its one entry
    out.insert(out.end(), encoded.begin(), encoded.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: make_icon OUTPUT.ico\n", stderr);
        return 2;
    }
    const std::vector<uint8_t> icon = encode_icon_file(draw_program_icon());
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const bool written = std::fwrite(icon.data(), 1, icon.size(), out) == icon.size();
    if (std::fclose(out) != 0 || !written) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
