#include "tools/show/picture_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace show_tool {

namespace {

// The source pixels under one target pixel along an axis, with their weights.
struct Footprint {
    int first = 0;
    std::vector<float> weights;  // sum to 1
};

std::vector<Footprint> footprints(int source_size, int target_size) {
    const double step = double(source_size) / target_size;
    std::vector<Footprint> result(static_cast<size_t>(target_size));
    for (int t = 0; t < target_size; ++t) {
        const double start = t * step;
        const double end = std::min(double(source_size), (t + 1) * step);
        Footprint& footprint = result[static_cast<size_t>(t)];
        footprint.first = std::min(source_size - 1, static_cast<int>(start));
        for (int s = footprint.first; s < source_size && s < end; ++s) {
            const double covered = std::min(end, s + 1.0) - std::max(start, double(s));
            footprint.weights.push_back(static_cast<float>(covered / step));
        }
    }
    return result;
}

struct Channels {
    float r = 0, g = 0, b = 0;
    void add(uint32_t colour, float weight) {
        r += weight * float(colour >> 16 & 0xFF);
        g += weight * float(colour >> 8 & 0xFF);
        b += weight * float(colour & 0xFF);
    }
    void add(const Channels& other, float weight) {
        r += weight * other.r;
        g += weight * other.g;
        b += weight * other.b;
    }
    uint32_t colour() const {
        auto level = [](float v) {
            return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L));
        };
        return level(r) << 16 | level(g) << 8 | level(b);
    }
};

}  // namespace

Placement fit_inside(int width, int height, int box_width, int box_height) {
    const int64_t w = std::max(width, 1), h = std::max(height, 1);
    Placement fit{0, 0, box_width, box_height};
    if (w * box_height >= h * box_width) {
        fit.height = static_cast<int>((2 * h * box_width + w) / (2 * w));
    } else {
        fit.width = static_cast<int>((2 * w * box_height + h) / (2 * h));
    }
    fit.width = std::clamp(fit.width, 1, box_width);
    fit.height = std::clamp(fit.height, 1, box_height);
    fit.x = (box_width - fit.width) / 2;
    fit.y = (box_height - fit.height) / 2;
    return fit;
}

demo::Canvas scale_by_area(const demo::Canvas& source, int width, int height) {
    if (width == source.width && height == source.height) return source;
    const std::vector<Footprint> across = footprints(source.width, width);
    const std::vector<Footprint> down = footprints(source.height, height);

    // Rows first, into a buffer of source.height x width, then the columns.
    std::vector<Channels> rows(static_cast<size_t>(source.height) * static_cast<size_t>(width));
    for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Footprint& f = across[static_cast<size_t>(x)];
            Channels& sum = rows[static_cast<size_t>(y) * width + x];
            for (size_t i = 0; i < f.weights.size(); ++i)
                sum.add(source.at(f.first + static_cast<int>(i), y), f.weights[i]);
        }
    }
    demo::Canvas result(width, height);
    for (int y = 0; y < height; ++y) {
        const Footprint& f = down[static_cast<size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Channels sum;
            for (size_t i = 0; i < f.weights.size(); ++i)
                sum.add(rows[static_cast<size_t>(f.first + static_cast<int>(i)) * width + x],
                        f.weights[i]);
            result.set(x, y, sum.colour());
        }
    }
    return result;
}

void paste(demo::Canvas& target, const demo::Canvas& picture, int x, int y) {
    for (int row = 0; row < picture.height; ++row)
        std::copy_n(picture.pixels.begin() + std::ptrdiff_t{row} * picture.width, picture.width,
                    target.pixels.begin() + std::ptrdiff_t{y + row} * target.width + x);
}

}  // namespace show_tool
