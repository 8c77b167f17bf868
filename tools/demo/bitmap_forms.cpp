#include "tools/demo/bitmap_forms.h"

#include <algorithm>
#include <array>
#include <limits>
#include <unordered_map>

#include "platform/common/bmp_writer.h"
#include "platform/common/le_bytes.h"

namespace demo {

namespace {

constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
void append_palette(std::vector<uint8_t>& out, const std::vector<uint32_t>& palette) {
    for (uint32_t colour : palette)
        append_le32(out, colour & 0xFFFFFF);  // B, G, R, 0
}

struct ColourCount {
    uint32_t colour;
    uint32_t count;
};

int channel(uint32_t colour, int which) {
    return static_cast<int>(colour >> (16 - 8 * which)) & 0xFF;
}

// One box of the median cut: a range of the colour list.
struct ColourBox {
    size_t begin;
    size_t end;
};

int widest_channel(const std::vector<ColourCount>& colours, const ColourBox& box, int* range) {
    std::array<int, 3> low = {255, 255, 255}, high = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channel(colours[i].colour, c));
            high[c] = std::max(high[c], channel(colours[i].colour, c));
        }
    }
    int best = 0;
    for (int c = 1; c < 3; ++c)
        if (high[c] - low[c] > high[best] - low[best]) best = c;
    *range = high[best] - low[best];
    return best;
}

// Splits the box at the pixel-weighted median of its widest channel.
void split_box(std::vector<ColourCount>& colours, std::vector<ColourBox>& boxes, size_t which,
               int along) {
    ColourBox box = boxes[which];
    std::sort(colours.begin() + static_cast<long>(box.begin),
              colours.begin() + static_cast<long>(box.end),
              [along](const ColourCount& a, const ColourCount& b) {
                  const int ca = channel(a.colour, along), cb = channel(b.colour, along);
                  return ca != cb ? ca < cb : a.colour < b.colour;
              });
    uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i)
        total += colours[i].count;
    uint64_t seen = 0;
    size_t middle = box.begin + 1;
    for (size_t i = box.begin; i < box.end - 1; ++i) {
        seen += colours[i].count;
        middle = i + 1;
        if (2 * seen >= total) break;
    }
    boxes[which] = {box.begin, middle};
    boxes.push_back({middle, box.end});
}

uint32_t box_average(const std::vector<ColourCount>& colours, const ColourBox& box) {
    std::array<uint64_t, 3> sum = {0, 0, 0};
    uint64_t total = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c)
            sum[c] += uint64_t(channel(colours[i].colour, c)) * colours[i].count;
        total += colours[i].count;
    }
    return rgb(static_cast<int>((sum[0] + total / 2) / total),
               static_cast<int>((sum[1] + total / 2) / total),
               static_cast<int>((sum[2] + total / 2) / total));
}

std::vector<uint32_t> median_cut(std::vector<ColourCount> colours, size_t wanted) {
    std::vector<ColourBox> boxes = {{0, colours.size()}};
    while (boxes.size() < wanted) {
        size_t chosen = boxes.size();
        int chosen_range = 0, chosen_channel = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2) continue;
            int range = 0;
            const int along = widest_channel(colours, boxes[i], &range);
            if (range > chosen_range) {
                chosen = i;
                chosen_range = range;
                chosen_channel = along;
            }
        }
        if (chosen == boxes.size()) break;
        split_box(colours, boxes, chosen, chosen_channel);
    }
    std::vector<uint32_t> palette;
    for (const ColourBox& box : boxes)
        palette.push_back(box_average(colours, box));
    return palette;
}

uint8_t nearest_entry(const std::vector<uint32_t>& palette, uint32_t colour) {
    int best = 0;
    int best_distance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette.size(); ++i) {
        int distance = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = channel(palette[i], c) - channel(colour, c);
            distance += d * d;
        }
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return static_cast<uint8_t>(best);
}

// Distinct colours sorted by value, so the palette never depends on hash order.
std::vector<ColourCount> colour_histogram(const Canvas& canvas) {
    std::unordered_map<uint32_t, uint32_t> counts;
    for (uint32_t pixel : canvas.pixels)
        ++counts[pixel & 0xFFFFFF];
    std::vector<ColourCount> colours;
    colours.reserve(counts.size());
    for (const auto& [colour, count] : counts)
        colours.push_back({colour, count});
    std::sort(colours.begin(), colours.end(),
              [](const ColourCount& a, const ColourCount& b) { return a.colour < b.colour; });
    return colours;
}

size_t run_length_at(const uint8_t* row, int width, int x) {
    int end = x + 1;
    while (end < width && end - x < 255 && row[end] == row[x])
        ++end;
    return static_cast<size_t>(end - x);
}

// One row: runs of three or more as encoded runs, the stretches between them in
// absolute mode (which needs at least three bytes and an even length in the file).
void encode_rle8_row(std::vector<uint8_t>& out, const uint8_t* row, int width) {
    int x = 0;
    while (x < width) {
        const size_t run = run_length_at(row, width, x);
        if (run >= 3) {
            out.push_back(static_cast<uint8_t>(run));
            out.push_back(row[x]);
            x += static_cast<int>(run);
            continue;
        }
        int end = x;
        while (end < width && end - x < 255 && run_length_at(row, width, end) < 3)
            ++end;
        const int count = end - x;
        if (count >= 3) {
            out.push_back(0);
            out.push_back(static_cast<uint8_t>(count));
            out.insert(out.end(), row + x, row + end);
            if (count % 2 != 0) out.push_back(0);
        } else {
            for (int i = x; i < end; ++i) {
                out.push_back(1);
                out.push_back(row[i]);
            }
        }
        x = end;
    }
}

}  // namespace

IndexedImage quantize_to_palette(const Canvas& canvas) {
    const std::vector<ColourCount> colours = colour_histogram(canvas);
    IndexedImage image;
    image.width = canvas.width;
    image.height = canvas.height;
    if (colours.size() <= 256) {
        for (const ColourCount& entry : colours)
            image.palette.push_back(entry.colour);
    } else {
        image.palette = median_cut(colours, 256);
    }
    std::unordered_map<uint32_t, uint8_t> index_of;
    for (const ColourCount& entry : colours)
        index_of[entry.colour] = nearest_entry(image.palette, entry.colour);
    image.indices.reserve(canvas.pixels.size());
    for (uint32_t pixel : canvas.pixels)
        image.indices.push_back(index_of[pixel & 0xFFFFFF]);
    return image;
}

std::vector<uint8_t> bmp_encode_8(const IndexedImage& image) {
    const uint32_t row_size = (static_cast<uint32_t>(image.width) + 3) & ~3u;
    const uint32_t data_size = row_size * static_cast<uint32_t>(image.height);
    const auto palette_size = static_cast<uint32_t>(image.palette.size());
    std::vector<uint8_t> out =
        bmp_file_headers(image.width, image.height, 8, BI_RGB, palette_size, data_size);
    append_palette(out, image.palette);
    for (int y = image.height - 1; y >= 0; --y) {
        const uint8_t* row =
            &image.indices[static_cast<size_t>(y) * static_cast<size_t>(image.width)];
        out.insert(out.end(), row, row + image.width);
        out.resize(out.size() + (row_size - static_cast<uint32_t>(image.width)), 0);
    }
    return out;
}

std::vector<uint8_t> bmp_encode_rle8(const IndexedImage& image) {
    std::vector<uint8_t> data;
    for (int y = image.height - 1; y >= 0; --y) {
        encode_rle8_row(data,
                        &image.indices[static_cast<size_t>(y) * static_cast<size_t>(image.width)],
                        image.width);
        data.push_back(0);
        data.push_back(y == 0 ? 1 : 0);  // end of the bitmap after the top row, else of the line
    }
    const auto palette_size = static_cast<uint32_t>(image.palette.size());
    std::vector<uint8_t> out = bmp_file_headers(image.width, image.height, 8, BI_RLE8, palette_size,
                                                static_cast<uint32_t>(data.size()));
    append_palette(out, image.palette);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::vector<uint8_t> bmp_encode_32_top_down(const Canvas& canvas) {
    const uint32_t data_size = 4 * static_cast<uint32_t>(canvas.width * canvas.height);
    std::vector<uint8_t> out =
        bmp_file_headers(canvas.width, -canvas.height, 32, BI_RGB, 0, data_size);
    for (uint32_t pixel : canvas.pixels)
        append_le32(out, pixel & 0xFFFFFF);
    return out;
}

}  // namespace demo
