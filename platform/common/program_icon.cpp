#include "platform/common/program_icon.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr IconColour TRANSPARENT = {0, 0, 0, 0};
constexpr IconColour FRAME_DARK = {92, 52, 20, 255};
constexpr IconColour FRAME_GOLD = {214, 164, 58, 255};
constexpr IconColour FRAME_LIGHT = {250, 220, 130, 255};
constexpr IconColour SUN = {255, 226, 64, 255};
constexpr IconColour ROCK = {120, 118, 130, 255};
constexpr IconColour SNOW = {244, 246, 252, 255};
constexpr IconColour HILL_FAR = {70, 150, 70, 255};
constexpr IconColour HILL_NEAR = {34, 110, 40, 255};

// The frame's outer edge; the picture sits three pixels further in.
constexpr int FRAME_LEFT = 1, FRAME_TOP = 3, FRAME_RIGHT = 30, FRAME_BOTTOM = 28;
constexpr int FRAME_WIDTH = 3;

IconColour& at(ProgramIcon& image, int x, int y) {
    return image[static_cast<size_t>(y) * PROGRAM_ICON_SIZE + x];
}

uint8_t blend(int from, int to, int step, int steps) {
    return static_cast<uint8_t>(from + (to - from) * step / steps);
}

IconColour sky_at(int y) {
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

IconColour landscape_at(int x, int y) {
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

IconColour frame_at(int ring) {
    if (ring == 0) return FRAME_DARK;
    if (ring == 1) return FRAME_LIGHT;
    return FRAME_GOLD;
}

}  // namespace

ProgramIcon draw_program_icon() {
    ProgramIcon image(PROGRAM_ICON_SIZE * PROGRAM_ICON_SIZE, TRANSPARENT);
    for (int y = FRAME_TOP; y <= FRAME_BOTTOM; ++y) {
        for (int x = FRAME_LEFT; x <= FRAME_RIGHT; ++x) {
            const int ring = ring_of(x, y);
            at(image, x, y) = ring < FRAME_WIDTH ? frame_at(ring) : landscape_at(x, y);
        }
    }
    return image;
}
