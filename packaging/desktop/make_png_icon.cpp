// Draws the program's icon at one of the desktop's icon sizes and writes it as a PNG
// with alpha. Run at build time for each size of the icon theme:
//   make_png_icon SIZE OUTPUT.png
// Each pixel is the mean of the 32 x 32 drawing's area under it, so whole multiples
// keep the drawing's pixels crisp and 16 or 48 pixels blend only where they must.
// Colours are weighted by their alpha, so transparent pixels add no dark fringe.
#include <SDL.h>
#include <SDL_image.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/common/program_icon.h"

namespace {

constexpr int SMALLEST = 8, LARGEST = 1024;

// How much of source pixel `source` lies under target pixel `target` (0 to 1), one axis.
double overlap(int source, int target, double scale) {
    const double first = std::max<double>(source, target / scale);
    const double last = std::min<double>(source + 1, (target + 1) / scale);
    return std::max(0.0, last - first);
}

IconColour area_mean(const ProgramIcon& icon, int x, int y, double scale) {
    std::array<double, 4> sum{};  // red, green and blue times alpha, then alpha
    double area = 0;
    for (int sy = 0; sy < PROGRAM_ICON_SIZE; ++sy) {
        const double height = overlap(sy, y, scale);
        for (int sx = 0; height > 0 && sx < PROGRAM_ICON_SIZE; ++sx) {
            const double weight = height * overlap(sx, x, scale);
            if (weight == 0) continue;
            const IconColour& c = icon[static_cast<size_t>(sy) * PROGRAM_ICON_SIZE + sx];
            sum[0] += weight * c.red * c.alpha;
            sum[1] += weight * c.green * c.alpha;
            sum[2] += weight * c.blue * c.alpha;
            sum[3] += weight * c.alpha;
            area += weight;
        }
    }
    if (sum[3] == 0) return {0, 0, 0, 0};
    const auto channel = [&](double value) {
        return static_cast<uint8_t>(std::min(255.0, value / sum[3] + 0.5));
    };
    return {channel(sum[0]), channel(sum[1]), channel(sum[2]),
            static_cast<uint8_t>(std::min(255.0, sum[3] / area + 0.5))};
}

bool write_icon(int size, const char* file) {
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormat(0, size, size, 32, SDL_PIXELFORMAT_RGBA32);
    if (surface == nullptr) return false;
    const ProgramIcon icon = draw_program_icon();
    const double scale = static_cast<double>(size) / PROGRAM_ICON_SIZE;
    for (int y = 0; y < size; ++y) {
        auto* row =
            static_cast<uint8_t*>(surface->pixels) + static_cast<size_t>(y) * surface->pitch;
        for (int x = 0; x < size; ++x) {
            const IconColour c = area_mean(icon, x, y, scale);
            const std::array<uint8_t, 4> bytes = {c.red, c.green, c.blue, c.alpha};
            std::copy(bytes.begin(), bytes.end(), row + x * 4);
        }
    }
    const bool written = IMG_SavePNG(surface, file) == 0;
    SDL_FreeSurface(surface);
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < SMALLEST || size > LARGEST) {
        std::fputs("usage: make_png_icon SIZE OUTPUT.png (SIZE 8 to 1024)\n", stderr);
        return 2;
    }
    if (!write_icon(size, argv[2])) {
        std::fprintf(stderr, "make_png_icon: %s: %s\n", argv[2], SDL_GetError());
        return 1;
    }
    return 0;
}
