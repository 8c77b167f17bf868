// Draws the program's 32 x 32 icon, a picture frame around a small landscape, and
// writes it as a Windows .ico file (one 32-bit image with alpha and its AND mask).
// Built and run on the build machine while qzview.exe is cross-built:
//   make_icon OUTPUT.ico
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int SIZE = 32;

struct Colour {
    uint8_t red, green, blue, alpha;
};

constexpr Colour TRANSPARENT = {0, 0, 0, 0};
constexpr Colour FRAME_DARK = {92, 52, 20, 255};
constexpr Colour FRAME_GOLD = {214, 164, 58, 255};
constexpr Colour FRAME_LIGHT = {250, 220, 130, 255};
constexpr Colour SUN = {255, 226, 64, 255};
constexpr Colour ROCK = {120, 118, 130, 255};
constexpr Colour SNOW = {244, 246, 252, 255};
constexpr Colour HILL_FAR = {70, 150, 70, 255};
constexpr Colour HILL_NEAR = {34, 110, 40, 255};

// The frame's outer edge; the picture sits three pixels further in.
constexpr int FRAME_LEFT = 1, FRAME_TOP = 3, FRAME_RIGHT = 30, FRAME_BOTTOM = 28;
constexpr int FRAME_WIDTH = 3;

using Image = std::vector<Colour>;  // row 0 at the top

Colour& at(Image& image, int x, int y) {
    return image[static_cast<size_t>(y) * SIZE + x];
}
const Colour& at(const Image& image, int x, int y) {
    return image[static_cast<size_t>(y) * SIZE + x];
}

uint8_t blend(int from, int to, int step, int steps) {
    return static_cast<uint8_t>(from + (to - from) * step / steps);
}

Colour sky_at(int y) {
    const int top = FRAME_TOP + FRAME_WIDTH, bottom = FRAME_BOTTOM - FRAME_WIDTH;
    return {blend(40, 170, y - top, bottom - top), blend(90, 210, y - top, bottom - top),
            blend(200, 250, y - top, bottom - top), 255};
}

bool in_sun(int x, int y) {
    const int dx = x - 22, dy = y - 10;
    return dx * dx + dy * dy <= 9;
}

// The mountain: a triangle whose peak is at (13, 9), white above row 13.
bool in_mountain(int x, int y) {
    return y >= 9 && std::abs(x - 13) <= (y - 9);
}

int far_hill_top(int x) {
    return 20 + static_cast<int>(std::lround(2.0 * std::sin(x * 0.45)));
}
int near_hill_top(int x) {
    return 23 + static_cast<int>(std::lround(1.5 * std::cos(x * 0.35 + 1.0)));
}

Colour landscape_at(int x, int y) {
    if (y >= near_hill_top(x)) return HILL_NEAR;
    if (y >= far_hill_top(x)) return HILL_FAR;
    if (in_mountain(x, y)) return y <= 12 ? SNOW : ROCK;
    if (in_sun(x, y)) return SUN;
    return sky_at(y);
}

// Distance of a pixel inside the frame from the frame's outer edge (0 = outermost ring).
int ring_of(int x, int y) {
    const int from_side = std::min(x - FRAME_LEFT, FRAME_RIGHT - x);
    const int from_edge = std::min(y - FRAME_TOP, FRAME_BOTTOM - y);
    return std::min(from_side, from_edge);
}

Colour frame_at(int ring) {
    if (ring == 0) return FRAME_DARK;
    if (ring == 1) return FRAME_LIGHT;
    return FRAME_GOLD;
}

Image draw_icon() {
    Image image(SIZE * SIZE, TRANSPARENT);
    for (int y = FRAME_TOP; y <= FRAME_BOTTOM; ++y) {
        for (int x = FRAME_LEFT; x <= FRAME_RIGHT; ++x) {
            const int ring = ring_of(x, y);
            at(image, x, y) = ring < FRAME_WIDTH ? frame_at(ring) : landscape_at(x, y);
        }
    }
    return image;
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
std::vector<uint8_t> encode_image(const Image& image) {
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
            const Colour& c = at(image, x, y);
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

std::vector<uint8_t> encode_icon_file(const Image& image) {
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
    const std::vector<uint8_t> icon = encode_icon_file(draw_icon());
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
