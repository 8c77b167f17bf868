#include "tools/show/picture_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
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

// One row of the source, three bytes a pixel, scaled across to the target width.
void scale_row(const uint8_t* source, const std::vector<Footprint>& across, float* target) {
    for (size_t x = 0; x < across.size(); ++x) {
        const Footprint& f = across[x];
        const uint8_t* pixel = source + static_cast<size_t>(f.first) * 3;
        float r = 0, g = 0, b = 0;
        for (float weight : f.weights) {
            r += weight * pixel[0];
            g += weight * pixel[1];
            b += weight * pixel[2];
            pixel += 3;
        }
        target[3 * x] = r;
        target[3 * x + 1] = g;
        target[3 * x + 2] = b;
    }
}

// Sums of weights that add up to 1 stay within 0..255 but for rounding.
uint32_t level(float value) {
    return static_cast<uint32_t>(std::clamp(value + 0.5f, 0.0f, 255.0f));
}

void add_weighted(float* __restrict sum, const float* __restrict row, float weight, size_t size) {
    for (size_t k = 0; k < size; ++k)
        sum[k] += weight * row[k];
}

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

demo::Canvas scale_rows_by_area(int source_width, int source_height, const RowReader& read_row,
                                int width, int height) {
    const std::vector<Footprint> across = footprints(source_width, width);
    const std::vector<Footprint> down = footprints(source_height, height);
    const size_t target_floats = static_cast<size_t>(width) * 3;
    std::vector<float> scaled(target_floats), sum(target_floats);
    int scaled_row = -1;  // the source row in `scaled`; neighbouring target rows share rows
    demo::Canvas result(width, height);
    for (int y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        const Footprint& f = down[static_cast<size_t>(y)];
        for (size_t i = 0; i < f.weights.size(); ++i) {
            const int row = f.first + static_cast<int>(i);
            if (row != scaled_row) {
                scale_row(read_row(row), across, scaled.data());
                scaled_row = row;
            }
            add_weighted(sum.data(), scaled.data(), f.weights[i], target_floats);
        }
        uint32_t* out = result.pixels.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x)
            out[x] = level(sum[3 * x]) << 16 | level(sum[3 * x + 1]) << 8 | level(sum[3 * x + 2]);
    }
    return result;
}

demo::Canvas scale_by_area(const demo::Canvas& source, int width, int height) {
    if (width == source.width && height == source.height) return source;
    std::vector<uint8_t> bytes(static_cast<size_t>(source.width) * 3);
    const auto read_row = [&source, &bytes](int y) {
        const uint32_t* pixel = source.pixels.data() + static_cast<size_t>(y) * source.width;
        for (size_t x = 0; x < static_cast<size_t>(source.width); ++x) {
            bytes[3 * x] = uint8_t(pixel[x] >> 16);
            bytes[3 * x + 1] = uint8_t(pixel[x] >> 8);
            bytes[3 * x + 2] = uint8_t(pixel[x]);
        }
        return static_cast<const uint8_t*>(bytes.data());
    };
    return scale_rows_by_area(source.width, source.height, read_row, width, height);
}

void paste(demo::Canvas& target, const demo::Canvas& picture, int x, int y) {
    for (int row = 0; row < picture.height; ++row)
        std::copy_n(picture.pixels.begin() + std::ptrdiff_t{row} * picture.width, picture.width,
                    target.pixels.begin() + std::ptrdiff_t{y + row} * target.width + x);
}

}  // namespace show_tool
