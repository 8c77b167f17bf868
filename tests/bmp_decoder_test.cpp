#include "platform/common/bmp_decoder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "platform/common/bmp_writer.h"
#include "platform/common/le_bytes.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Colors = std::vector<uint32_t>;  // 0x00RRGGBB, top row first

void patch32(Bytes& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// Builds a bitmap file field by field, so each test can get any part of it wrong.
struct BmpBuilder {
    uint32_t header_size = 40;
    int32_t width = 1;
    int32_t height = 1;
    uint16_t bits = 24;
    uint32_t compression = 0;
    uint32_t colors_used = 0;
    Colors palette;
    std::optional<std::array<uint32_t, 4>> masks;  // red, green, blue, alpha
    uint32_t gap = 0;                              // bytes between headers and pixels
    std::optional<uint32_t> pixel_offset;          // instead of the true one
    Bytes pixels;                                  // as stored in the file

    Bytes build() const {
        Bytes out = {'B', 'M'};
        append_le32(out, 0);
        append_le32(out, 0);
        append_le32(out, 0);
        const Bytes header = header_size == 12 ? core_header() : info_header();
        out.insert(out.end(), header.begin(), header.end());
        if (masks && header_size == 40) {
            for (int i = 0; i < (compression == 6 ? 4 : 3); ++i)
                append_le32(out, (*masks)[i]);
        }
        for (uint32_t color : palette) {
            out.push_back(static_cast<uint8_t>(color));
            out.push_back(static_cast<uint8_t>(color >> 8));
            out.push_back(static_cast<uint8_t>(color >> 16));
            if (header_size != 12) out.push_back(0);
        }
        out.resize(out.size() + gap, 0xEE);
        patch32(out, 10, pixel_offset.value_or(static_cast<uint32_t>(out.size())));
        out.insert(out.end(), pixels.begin(), pixels.end());
        patch32(out, 2, static_cast<uint32_t>(out.size()));
        return out;
    }

    Bytes core_header() const {
        Bytes h;
        append_le32(h, 12);
        append_le16(h, static_cast<uint16_t>(width));
        append_le16(h, static_cast<uint16_t>(height));
        append_le16(h, 1);
        append_le16(h, bits);
        return h;
    }

    // The V5 layout, cut to header_size: shorter Windows and OS/2 2.x headers are
    // prefixes of it as far as the decoder is concerned.
    Bytes info_header() const {
        Bytes h;
        append_le32(h, header_size);
        append_le32(h, static_cast<uint32_t>(width));
        append_le32(h, static_cast<uint32_t>(height));
        append_le16(h, 1);
        append_le16(h, bits);
        append_le32(h, compression);
        append_le32(h, static_cast<uint32_t>(pixels.size()));
        append_le32(h, 2835);
        append_le32(h, 2835);
        append_le32(h, colors_used);
        append_le32(h, 0);
        const std::array<uint32_t, 4> m = masks.value_or(std::array<uint32_t, 4>{});
        for (uint32_t mask : m)
            append_le32(h, mask);
        h.resize(124, 0);
        h.resize(header_size, 0);
        return h;
    }
};

// Stores rows bottom-up (or top-down), each padded to four bytes.
Bytes stack_rows(const std::vector<Bytes>& rows_top_first, bool top_down = false) {
    Bytes out;
    for (size_t i = 0; i < rows_top_first.size(); ++i) {
        const Bytes& row = rows_top_first[top_down ? i : rows_top_first.size() - 1 - i];
        out.insert(out.end(), row.begin(), row.end());
        out.resize((out.size() + 3) & ~size_t{3}, 0xAA);
    }
    return out;
}

Bytes pack_indexes(int bits, const std::vector<int>& indexes) {
    Bytes row((indexes.size() * bits + 7) / 8, 0);
    for (size_t x = 0; x < indexes.size(); ++x) {
        const size_t bit = x * bits;
        row[bit / 8] |= static_cast<uint8_t>(indexes[x] << (8 - bits - bit % 8));
    }
    return row;
}

Bytes pack_bgr(const Colors& colors) {
    Bytes row;
    for (uint32_t c : colors) {
        row.push_back(static_cast<uint8_t>(c));
        row.push_back(static_cast<uint8_t>(c >> 8));
        row.push_back(static_cast<uint8_t>(c >> 16));
    }
    return row;
}

Bytes pack_words(int bytes_each, const std::vector<uint32_t>& values) {
    Bytes row;
    for (uint32_t v : values) {
        if (bytes_each == 2) append_le16(row, v);
        if (bytes_each == 4) append_le32(row, v);
    }
    return row;
}

uint32_t pixel_xrgb(const DecodedImage& image, size_t i) {
    const uint8_t* p = image.pixels.data() + i * 4;
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16 | p[3] << 24);
}

uint16_t pixel_565(const DecodedImage& image, size_t i) {
    const uint8_t* p = image.pixels.data() + i * 2;
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint16_t to_565(uint32_t rgb) {
    return static_cast<uint16_t>(((rgb >> 19) & 0x1F) << 11 | ((rgb >> 10) & 0x3F) << 5 |
                                 ((rgb >> 3) & 0x1F));
}

// Decodes in both formats and compares every pixel with the colors it was built from.
void expect_pixels(const Bytes& file, int width, int height, const Colors& expected) {
    ASSERT_EQ(expected.size(), static_cast<size_t>(width) * height);
    DecodedImage xrgb;
    ASSERT_TRUE(bmp_decode(file.data(), file.size(), PixelFormat::xrgb8888, &xrgb));
    ASSERT_EQ(xrgb.width, width);
    ASSERT_EQ(xrgb.height, height);
    EXPECT_EQ(xrgb.format, PixelFormat::xrgb8888);
    ASSERT_EQ(xrgb.pixels.size(), expected.size() * 4);
    DecodedImage rgb565;
    ASSERT_TRUE(bmp_decode(file.data(), file.size(), PixelFormat::rgb565, &rgb565));
    EXPECT_EQ(rgb565.format, PixelFormat::rgb565);
    ASSERT_EQ(rgb565.pixels.size(), expected.size() * 2);
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(pixel_xrgb(xrgb, i), expected[i]) << "pixel " << i;
        EXPECT_EQ(pixel_565(rgb565, i), to_565(expected[i])) << "pixel " << i;
    }
}

// A refused file must leave the destination exactly as it was.
void expect_refused(const Bytes& file, std::initializer_list<PixelFormat> formats = {
                                           PixelFormat::xrgb8888, PixelFormat::rgb565}) {
    for (PixelFormat format : formats) {
        DecodedImage image;
        image.width = 7;
        image.height = 9;
        image.format = PixelFormat::rgb565;
        image.pixels = {1, 2, 3};
        EXPECT_FALSE(bmp_decode(file.data(), file.size(), format, &image));
        EXPECT_EQ(image.width, 7);
        EXPECT_EQ(image.height, 9);
        EXPECT_EQ(image.format, PixelFormat::rgb565);
        EXPECT_EQ(Bytes(image.pixels.begin(), image.pixels.end()), (Bytes{1, 2, 3}));
    }
}

bool decodes(const Bytes& file, PixelFormat format = PixelFormat::xrgb8888) {
    DecodedImage image;
    return bmp_decode(file.data(), file.size(), format, &image);
}

// Distinct, irregular palette colors; index i of an RLE or indexed test reads color_of(i).
uint32_t color_of(int index) {
    return static_cast<uint32_t>(((index * 37 + 11) & 0xFF) << 16 | ((index * 91 + 7) & 0xFF) << 8 |
                                 ((255 - index * 13) & 0xFF));
}

Colors palette_of(int count) {
    Colors colors;
    for (int i = 0; i < count; ++i)
        colors.push_back(color_of(i));
    return colors;
}

Colors colors_of(const std::vector<int>& indexes, int palette_size) {
    Colors colors;
    for (int i : indexes)
        colors.push_back(i < palette_size ? color_of(i) : 0);
    return colors;
}

// A 5 x 3 8-bit picture using all of a short palette.
BmpBuilder small_8bit(uint32_t header_size) {
    BmpBuilder b;
    b.header_size = header_size;
    b.width = 5;
    b.height = 3;
    b.bits = 8;
    b.palette = palette_of(header_size == 12 ? 256 : 6);
    b.colors_used = header_size == 12 ? 0 : 6;
    b.pixels = stack_rows({{0, 1, 2, 3, 4}, {5, 4, 3, 2, 1}, {1, 1, 5, 0, 0}});
    return b;
}

const std::vector<int> kSmall8bitIndexes = {0, 1, 2, 3, 4, 5, 4, 3, 2, 1, 1, 1, 5, 0, 0};

// Runs the checks with the processor's vector instructions (where it has them) and
// with the portable code alone: both must give the same pixels.
template <class Checks>
void for_both_row_paths(Checks checks) {
    struct Restore {
        ~Restore() { bmp_use_processor_extensions(true); }
    } restore;
    for (bool extensions : {true, false}) {
        SCOPED_TRACE(extensions ? "processor extensions" : "portable code");
        bmp_use_processor_extensions(extensions);
        checks();
    }
}

// ---------------------------------------------------------------------------

TEST(BmpHeaders, EveryHeaderVersionReadsTheSamePicture) {
    for (uint32_t size : {12u, 16u, 20u, 36u, 40u, 52u, 56u, 64u, 108u, 124u}) {
        SCOPED_TRACE(size);
        expect_pixels(small_8bit(size).build(), 5, 3, colors_of(kSmall8bitIndexes, 6));
        BmpBuilder b;
        b.header_size = size;
        b.width = 2;
        b.height = 2;
        b.pixels = stack_rows({pack_bgr({0x102030, 0xFFFFFF}), pack_bgr({0x000000, 0xA0B0C0})});
        expect_pixels(b.build(), 2, 2, {0x102030, 0xFFFFFF, 0x000000, 0xA0B0C0});
    }
}

TEST(BmpHeaders, UnknownHeaderSizesAreRefused) {
    for (uint32_t size : {0u, 4u, 11u, 13u, 15u, 65u, 100u, 107u, 123u, 125u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(size);
        BmpBuilder b = small_8bit(40);
        Bytes file = b.build();
        patch32(file, 14, size);
        expect_refused(file);
    }
}

TEST(BmpIndexed, PackedDepthsWithOddWidths) {
    struct Case {
        int bits;
        std::vector<int> top;
        std::vector<int> bottom;
    };
    const Case cases[] = {
        {1, {1, 0, 1, 1, 0, 0, 1, 0, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 1}},
        {2, {3, 2, 1, 0, 3}, {0, 1, 2, 3, 1}},
        {4, {15, 0, 7, 8, 1}, {2, 14, 3, 12, 9}},
        {8, {255, 0, 128}, {17, 200, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        const int full = 1 << c.bits;
        BmpBuilder b;
        b.width = static_cast<int32_t>(c.top.size());
        b.height = 2;
        b.bits = static_cast<uint16_t>(c.bits);
        b.palette = palette_of(full);
        b.pixels = stack_rows({pack_indexes(c.bits, c.top), pack_indexes(c.bits, c.bottom)});
        std::vector<int> all = c.top;
        all.insert(all.end(), c.bottom.begin(), c.bottom.end());
        expect_pixels(b.build(), b.width, 2, colors_of(all, full));
    }
}

// 8-bit rows go sixty-four pixels at a time, in pairs, or four at a time, by the
// processor and the picture's size: every width around those steps, palettes of every
// length, and pictures too small and large enough for the table of pairs.
TEST(BmpIndexed, EightBitsAtEveryWidthAndPaletteLength) {
    auto check = [](int width, int height, int palette_size) {
        SCOPED_TRACE(testing::Message()
                     << width << " x " << height << ", " << palette_size << " colors");
        BmpBuilder b;
        b.width = width;
        b.height = height;
        b.bits = 8;
        b.palette = palette_of(palette_size);
        b.colors_used = static_cast<uint32_t>(palette_size);
        std::vector<Bytes> rows;
        std::vector<int> all;
        for (int y = 0; y < height; ++y) {
            Bytes row;
            for (int x = 0; x < width; ++x) {
                const int index = (x * 37 + y * 101 + palette_size) & 0xFF;
                row.push_back(static_cast<uint8_t>(index));
                all.push_back(index);
            }
            rows.push_back(row);
        }
        b.pixels = stack_rows(rows);
        expect_pixels(b.build(), width, height, colors_of(all, palette_size));
    };
    for_both_row_paths([&] {
        for (int palette_size : {1, 2, 16, 127, 128, 129, 255, 256})
            for (int width : {1, 2, 3, 7, 8, 9, 63, 64, 65, 127, 128, 129, 191, 300})
                check(width, 2, palette_size);
        for (int palette_size : {3, 256})
            check(1025, 129, palette_size);
    });
}

TEST(BmpIndexed, ShortPalettesLeaveTheOtherIndexesBlack) {
    // Declared short: the pixel bytes right after the palette must not be read as colors.
    BmpBuilder declared = small_8bit(40);
    declared.palette = palette_of(3);
    declared.colors_used = 3;
    expect_pixels(declared.build(), 5, 3, colors_of(kSmall8bitIndexes, 3));

    // Declared full (0 means 2^bits) but cut short by the pixel offset.
    BmpBuilder cut = small_8bit(40);
    cut.palette = palette_of(4);
    cut.colors_used = 0;
    expect_pixels(cut.build(), 5, 3, colors_of(kSmall8bitIndexes, 4));

    // More colors declared than the depth can index: only 2^bits are read.
    BmpBuilder over;
    over.bits = 1;
    over.width = 3;
    over.palette = {0x112233, 0x445566};
    over.colors_used = 300;
    over.pixels = stack_rows({pack_indexes(1, {1, 0, 1})});
    expect_pixels(over.build(), 3, 1, {0x445566, 0x112233, 0x445566});
}

TEST(BmpDirect, SixteenBitsDefaultTo555AndWidenByReplication) {
    BmpBuilder b;
    b.bits = 16;
    b.width = 6;
    // The top bit is unused in 5-5-5 and must not leak into red.
    b.pixels = stack_rows({pack_words(2, {0x7FFF, 0xFFFF, 0x0000, 0x4000, 0x0200, 0x0001})});
    expect_pixels(b.build(), 6, 1, {0xFFFFFF, 0xFFFFFF, 0x000000, 0x840000, 0x008400, 0x000008});
}

TEST(BmpDirect, SixteenBitFieldsInEveryPlaceTheyCanBe) {
    const std::vector<uint32_t> values = {0xFFFF, 0xF800, 0x07E0, 0x001F, 0x8410};
    const Colors expected = {0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x848284};
    for (uint32_t size : {40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(size);
        BmpBuilder b;
        b.header_size = size;
        b.bits = 16;
        b.width = 5;
        b.compression = 3;
        b.masks = std::array<uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0};
        b.pixels = stack_rows({pack_words(2, values)});
        expect_pixels(b.build(), 5, 1, expected);
    }
    BmpBuilder with_alpha;  // BI_ALPHABITFIELDS: four masks after a 40-byte header
    with_alpha.bits = 16;
    with_alpha.width = 2;
    with_alpha.compression = 6;
    with_alpha.masks = std::array<uint32_t, 4>{0x0F00, 0x00F0, 0x000F, 0xF000};
    with_alpha.pixels = stack_rows({pack_words(2, {0xFA50, 0x0FFF})});
    expect_pixels(with_alpha.build(), 2, 1, {0xAA5500, 0xFFFFFF});
}

TEST(BmpDirect, UnusualMasks) {
    struct Case {
        const char* what;
        int bits;
        std::array<uint32_t, 4> masks;
        uint32_t pixel;
        uint32_t expected;
    };
    const Case cases[] = {
        {"zero mask gives 0", 16, {0xF800, 0, 0x001F, 0}, 0xFFFF, 0xFF00FF},
        {"one-bit channels", 16, {0x4, 0x2, 0x1, 0}, 0x5, 0xFF00FF},
        {"bits above 16 do not exist", 16, {0x1F0000, 0x07E0, 0x001F, 0}, 0xFFFF, 0x00FFFF},
        {"a mask past bit 15 is cut to it", 16, {0x1F800, 0x07E0, 0x001F, 0}, 0xFFFF, 0xFFFFFF},
        {"10-bit channels keep their top 8",
         32,
         {0x3FF00000, 0xFFC00, 0x3FF, 0},
         0x2007FDFF,
         0x807F7F},
        {"holes read as zero bits", 16, {0xB, 0, 0, 0}, 0xF, 0xBB0000},
        {"rgbx order", 32, {0xFF, 0xFF00, 0xFF0000, 0}, 0x99332211, 0x112233},
        {"xrgb order", 32, {0xFF00, 0xFF0000, 0xFF000000, 0}, 0x332211AA, 0x112233},
        {"standard order", 32, {0xFF0000, 0xFF00, 0xFF, 0}, 0xEE112233, 0x112233},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BmpBuilder b;
        b.header_size = 56;
        b.bits = static_cast<uint16_t>(c.bits);
        b.compression = 3;
        b.masks = c.masks;
        b.pixels = stack_rows({pack_words(c.bits / 8, {c.pixel})});
        expect_pixels(b.build(), 1, 1, {c.expected});
    }
}

// Every width up to 19, so that each pixel position within the unrolled loops and
// each leftover count is met, with every byte of every pixel different.
TEST(BmpDirect, TwentyFourAndThirtyTwoBitsAtEveryAlignment) {
    // Wide rows go through the loops of sixteen and of eight pixels, then the tail.
    std::vector<int> widths;
    for (int width = 1; width <= 19; ++width)
        widths.push_back(width);
    for (int width : {31, 32, 33, 40, 47, 57, 100})
        widths.push_back(width);
    for_both_row_paths([&] {
        for (int width : widths) {
            SCOPED_TRACE(width);
            Colors top, bottom;
            for (int x = 0; x < width; ++x) {
                top.push_back(color_of(x));
                bottom.push_back(color_of(x + 100) ^ 0x808080);
            }
            Colors all = top;
            all.insert(all.end(), bottom.begin(), bottom.end());

            BmpBuilder b24;
            b24.width = width;
            b24.height = 2;
            b24.pixels = stack_rows({pack_bgr(top), pack_bgr(bottom)});
            expect_pixels(b24.build(), width, 2, all);

            // The fourth byte of BI_RGB 32-bit pixels is unused, whatever it holds.
            BmpBuilder b32 = b24;
            b32.bits = 32;
            std::vector<uint32_t> top32, bottom32;
            for (uint32_t c : top)
                top32.push_back(c | 0xFF000000u);
            for (uint32_t c : bottom)
                bottom32.push_back(c | 0x5A000000u);
            b32.pixels = stack_rows({pack_words(4, top32), pack_words(4, bottom32)});
            expect_pixels(b32.build(), width, 2, all);
        }
    });
}

TEST(BmpDirect, AgreesWithTheProgramsOwnWriter) {
    Colors colors;
    for (int i = 0; i < 7 * 5; ++i)
        colors.push_back(color_of(i) ^ (static_cast<uint32_t>(i) << 20));
    for (uint32_t& c : colors)
        c &= 0xFFFFFF;
    expect_pixels(bmp_encode_24(7, 5, colors.data()), 7, 5, colors);
}

TEST(BmpLayout, TopDownRowsGapsAndAMissingLastPadding) {
    BmpBuilder b = small_8bit(40);
    b.height = -3;
    b.pixels = stack_rows({{0, 1, 2, 3, 4}, {5, 4, 3, 2, 1}, {1, 1, 5, 0, 0}}, true);
    expect_pixels(b.build(), 5, 3, colors_of(kSmall8bitIndexes, 6));

    BmpBuilder gap = small_8bit(124);
    gap.gap = 37;
    expect_pixels(gap.build(), 5, 3, colors_of(kSmall8bitIndexes, 6));

    // Writers that drop the padding of the last row still get their picture shown,
    // but not if a real pixel is missing.
    Bytes file = small_8bit(40).build();
    file.resize(file.size() - 3);
    expect_pixels(file, 5, 3, colors_of(kSmall8bitIndexes, 6));
    file.pop_back();
    expect_refused(file);
}

// ---------------------------------------------------------------------------

BmpBuilder rle_image(int bits, int width, int height, const Bytes& stream) {
    BmpBuilder b;
    b.bits = static_cast<uint16_t>(bits);
    b.compression = bits == 8 ? 1 : 2;
    b.width = width;
    b.height = height;
    b.palette = palette_of(1 << bits);
    b.pixels = stream;
    return b;
}

// Rows of indexes (-1 for a pixel the stream never writes), top row first.
Colors rle_colors(const std::vector<std::vector<int>>& rows) {
    Colors colors;
    for (const auto& row : rows)
        for (int i : row)
            colors.push_back(i < 0 ? 0 : color_of(i));
    return colors;
}

TEST(BmpRle, Rle8EncodedAbsoluteDeltaAndEndCodes) {
    // The example from the format's documentation.
    const Bytes stream = {0x03, 0x04, 0x05, 0x06, 0x00, 0x03, 0x45, 0x56, 0x67, 0x00, 0x02, 0x78,
                          0x00, 0x02, 0x05, 0x01, 0x02, 0x78, 0x00, 0x00, 0x09, 0x1E, 0x00, 0x01};
    std::vector<int> bottom = {4, 4, 4, 6, 6, 6, 6, 6, 0x45, 0x56, 0x67, 0x78, 0x78};
    bottom.resize(20, -1);
    std::vector<int> middle(18, -1);
    middle.insert(middle.end(), {0x78, 0x78});
    std::vector<int> top(9, 0x1E);
    top.resize(20, -1);
    expect_pixels(rle_image(8, 20, 3, stream).build(), 20, 3, rle_colors({top, middle, bottom}));
}

TEST(BmpRle, Rle4AlternatesNibblesAndPadsAbsoluteRuns) {
    // 13 pixels alternating; an absolute run of 5 (3 bytes + 1 pad); one of 6 (3 bytes +
    // 1 pad); one of 3 (2 bytes, no pad); runs after each, to check nothing was misread.
    const Bytes stream = {0x0D, 0x1A, 0x00, 0x00, 0x00, 0x05, 0x23, 0x45, 0x60, 0x00,
                          0x00, 0x06, 0x78, 0x9A, 0xBC, 0x00, 0x02, 0xFF, 0x00, 0x00,
                          0x00, 0x03, 0xDE, 0xF0, 0x02, 0x31, 0x00, 0x01};
    const std::vector<int> bottom = {1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1, 10, 1};
    const std::vector<int> middle = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 15};
    const std::vector<int> top = {13, 14, 15, 3, 1};
    auto padded = [](std::vector<int> row) {
        row.resize(13, -1);
        return row;
    };
    expect_pixels(rle_image(4, 13, 3, stream).build(), 13, 3,
                  rle_colors({padded(top), padded(middle), padded(bottom)}));
}

TEST(BmpRle, OverrunsAreClippedAndNeverWrap) {
    // Row 0: a run far past the edge, then an absolute run past the edge; row 1: a delta
    // past the edge then pixels that must not appear; then runs above the top row.
    const Bytes stream = {0xFF, 0x01, 0x00, 0x04, 0x02, 0x02, 0x02, 0x02, 0x00, 0x00,
                          0x00, 0x02, 0x09, 0x00, 0x03, 0x05, 0x00, 0x00, 0x02, 0x03,
                          0x00, 0x02, 0x00, 0x05, 0x04, 0x07, 0x00, 0x01};
    const std::vector<int> bottom(4, 1);
    const std::vector<int> middle(4, -1);
    const std::vector<int> top = {3, 3, -1, -1};
    expect_pixels(rle_image(8, 4, 3, stream).build(), 4, 3, rle_colors({top, middle, bottom}));
}

TEST(BmpRle, StreamsCutShortOrRunningPastTheTop) {
    // An absolute run cut by the end of the file, with no end-of-bitmap.
    const Bytes cut = {0x02, 0x07, 0x00, 0x05, 0x01, 0x02};
    expect_pixels(rle_image(8, 6, 1, cut).build(), 6, 1, rle_colors({{7, 7, 1, 2, -1, -1}}));
    const Bytes cut4 = {0x00, 0x07, 0x12};
    expect_pixels(rle_image(4, 4, 1, cut4).build(), 4, 1, rle_colors({{1, 2, -1, -1}}));
    // A delta missing its two bytes.
    expect_pixels(rle_image(8, 2, 1, {0x01, 0x03, 0x00, 0x02}).build(), 2, 1,
                  rle_colors({{3, -1}}));

    // More end-of-lines than rows, and deltas far above the top.
    Bytes many_lines = {0x01, 0x05};
    for (int i = 0; i < 600; ++i)
        many_lines.insert(many_lines.end(), {0x00, 0x00, 0x01, 0x06});
    expect_pixels(rle_image(8, 1, 2, many_lines).build(), 1, 2, rle_colors({{6}, {5}}));
    expect_pixels(rle_image(8, 1, 2, {0x00, 0x02, 0x00, 0xFF, 0x01, 0x04}).build(), 1, 2,
                  rle_colors({{-1}, {-1}}));
}

TEST(BmpRle, ShortPaletteAndTopDownRefusal) {
    BmpBuilder short_palette = rle_image(8, 3, 1, {0x01, 0x01, 0x02, 0x09, 0x00, 0x01});
    short_palette.palette = palette_of(2);
    short_palette.colors_used = 2;
    expect_pixels(short_palette.build(), 3, 1, {color_of(1), 0, 0});

    // Windows refuses top-down RLE; so do we, so every backend shows the same.
    expect_refused(rle_image(8, 2, -2, {0x02, 0x01, 0x00, 0x01}).build());
    expect_refused(rle_image(4, 2, -2, {0x02, 0x11, 0x00, 0x01}).build());
}

// ---------------------------------------------------------------------------

std::vector<Bytes> valid_files_of_every_kind() {
    BmpBuilder b24;
    b24.header_size = 124;
    b24.width = 4;
    b24.height = 2;
    b24.pixels = stack_rows({pack_bgr({1, 2, 3, 4}), pack_bgr({5, 6, 7, 8})});
    BmpBuilder fields;
    fields.bits = 16;
    fields.width = 2;
    fields.height = 2;
    fields.compression = 3;
    fields.masks = std::array<uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0};
    fields.pixels = stack_rows({pack_words(2, {1, 2}), pack_words(2, {3, 4})});
    BmpBuilder core = small_8bit(12);
    core.width = 4;
    core.pixels = stack_rows({{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}});
    BmpBuilder four = small_8bit(64);
    four.bits = 4;
    four.width = 8;
    four.pixels = stack_rows({{0x12, 0x34, 0x50, 0x01}, {0, 0, 0, 0}, {1, 2, 3, 4}});
    return {b24.build(), fields.build(), core.build(), four.build()};
}

TEST(BmpMalformed, EveryTruncationIsRefused) {
    for (const Bytes& file : valid_files_of_every_kind()) {
        ASSERT_TRUE(decodes(file));
        for (size_t length = 0; length < file.size(); ++length) {
            SCOPED_TRACE(length);
            expect_refused(Bytes(file.begin(), file.begin() + length));
        }
    }
    // An RLE stream has no fixed length: once it has begun, a cut only loses pixels.
    const Bytes rle = rle_image(8, 2, 2, {0x02, 0x01, 0x00, 0x00, 0x02, 0x03, 0x00, 0x01}).build();
    const size_t stream_start = rle.size() - 8;
    for (size_t length = 0; length < rle.size(); ++length) {
        SCOPED_TRACE(length);
        const Bytes cut(rle.begin(), rle.begin() + length);
        if (length < stream_start + 2) {
            expect_refused(cut);
        } else {
            EXPECT_TRUE(decodes(cut));
        }
    }
}

// A 1-bit picture with enough pixel data for any allowed size, so that only the
// dimensions can make it fail.
Bytes one_bit(int32_t width, int32_t height) {
    BmpBuilder b;
    b.bits = 1;
    b.width = width;
    b.height = height;
    b.palette = {0x000000, 0xFFFFFF};
    b.pixels.resize((BMP_MAX_SIDE + 1) * 4, 0xFF);
    return b.build();
}

TEST(BmpMalformed, BadDimensions) {
    EXPECT_TRUE(decodes(one_bit(BMP_MAX_SIDE, 1)));
    EXPECT_TRUE(decodes(one_bit(1, BMP_MAX_SIDE)));
    EXPECT_TRUE(decodes(one_bit(1, -BMP_MAX_SIDE)));
    for (int32_t width : {0, -1, -5, INT32_MIN, BMP_MAX_SIDE + 1, INT32_MAX}) {
        SCOPED_TRACE(width);
        expect_refused(one_bit(width, 1));
    }
    for (int32_t height : {0, INT32_MIN, BMP_MAX_SIDE + 1, -BMP_MAX_SIDE - 1, INT32_MAX}) {
        SCOPED_TRACE(height);
        expect_refused(one_bit(1, height));
    }
    BmpBuilder core = small_8bit(12);
    core.width = 0;
    expect_refused(core.build());
    core.width = 0xFFFF;  // unsigned in the core header: too wide, not negative
    core.pixels.resize(0x10000 * 3, 0);
    expect_refused(core.build());
}

TEST(BmpMalformed, ByteLimitDependsOnTheDestinationFormat) {
    // A full-width RLE picture that fits in 16-bit pixels but not in 32-bit ones.
    const Bytes file = rle_image(8, BMP_MAX_SIDE, 4097, {0x00, 0x01}).build();
    expect_refused(file, {PixelFormat::xrgb8888});
    DecodedImage image;
    ASSERT_TRUE(bmp_decode(file.data(), file.size(), PixelFormat::rgb565, &image));
    EXPECT_EQ(image.width, BMP_MAX_SIDE);
    EXPECT_EQ(image.pixels.size(), size_t{BMP_MAX_SIDE} * 4097 * 2);
    EXPECT_FALSE(
        decodes(rle_image(8, BMP_MAX_SIDE, 8193, {0x00, 0x01}).build(), PixelFormat::rgb565));
}

TEST(BmpMalformed, UnknownOrMismatchedDepthAndCompression) {
    struct Case {
        uint32_t header_size;
        uint16_t bits;
        uint32_t compression;
    };
    const Case cases[] = {
        {40, 0, 0},  {40, 3, 0},  {40, 7, 0},  {40, 15, 0}, {40, 48, 0}, {40, 64, 0}, {40, 8, 2},
        {40, 4, 1},  {40, 24, 1}, {40, 8, 3},  {40, 24, 3}, {40, 8, 4},  {40, 8, 5},  {40, 8, 7},
        {40, 8, 99}, {64, 16, 3}, {64, 24, 4}, {20, 32, 3}, {12, 3, 0},  {12, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.header_size << "/" << c.bits << "/" << c.compression);
        BmpBuilder b = small_8bit(c.header_size);
        b.bits = c.bits;
        b.compression = c.compression;
        b.masks = std::array<uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0};
        b.pixels.resize(4096, 0);
        expect_refused(b.build());
    }
}

TEST(BmpMalformed, BadSignaturesAndOffsets) {
    const Bytes good = small_8bit(40).build();
    expect_refused({});
    DecodedImage image;
    EXPECT_FALSE(bmp_decode(nullptr, 0, PixelFormat::xrgb8888, &image));
    for (const char* signature : {"BA", "MB", "bm", "\0\0"}) {
        Bytes file = good;
        file[0] = static_cast<uint8_t>(signature[0]);
        file[1] = static_cast<uint8_t>(signature[1]);
        expect_refused(file);
    }
    const uint32_t size = static_cast<uint32_t>(good.size());
    for (uint32_t offset : {0u, 14u, 53u, size, size + 1, 0xFFFFFFFFu}) {
        SCOPED_TRACE(offset);
        BmpBuilder b = small_8bit(40);
        b.pixel_offset = offset;
        expect_refused(b.build());
    }
    BmpBuilder masks_cut;  // bit fields after a 40-byte header, but the file ends first
    masks_cut.bits = 16;
    masks_cut.compression = 3;
    masks_cut.masks = std::array<uint32_t, 4>{0xF800, 0x07E0, 0x001F, 0};
    Bytes cut = masks_cut.build();
    cut.resize(54 + 8);
    expect_refused(cut);
}

// ---------------------------------------------------------------------------

class BmpFile : public ::testing::Test {
  protected:
    void SetUp() override {
        directory_ = std::filesystem::temp_directory_path() /
                     ("qzview-bmp-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(directory_);
    }
    void TearDown() override { std::filesystem::remove_all(directory_); }

    std::string path(const char* name) const { return (directory_ / name).string(); }

    void write(const char* name, const Bytes& bytes) const {
        std::FILE* file = std::fopen(path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        const size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
        ASSERT_EQ(written, bytes.size());
        ASSERT_EQ(std::fclose(file), 0);
    }

  private:
    std::filesystem::path directory_;
};

TEST_F(BmpFile, ReadsWhatTheWriterWrote) {
    const uint32_t colors[] = {0x123456, 0xABCDEF, 0x000000, 0xFFFFFF, 0x808080, 0x010203};
    ASSERT_TRUE(bmp_write_24(path("shot.bmp"), 3, 2, colors));
    for (PixelFormat format : {PixelFormat::xrgb8888, PixelFormat::rgb565}) {
        DecodedImage image;
        ASSERT_TRUE(bmp_decode_file(path("shot.bmp").c_str(), format, &image));
        ASSERT_EQ(image.width, 3);
        ASSERT_EQ(image.height, 2);
        for (size_t i = 0; i < 6; ++i) {
            const uint32_t got =
                format == PixelFormat::xrgb8888 ? pixel_xrgb(image, i) : pixel_565(image, i);
            EXPECT_EQ(got, format == PixelFormat::xrgb8888 ? colors[i] : to_565(colors[i]));
        }
    }
}

TEST_F(BmpFile, MissingEmptyAndBrokenFilesAreRefused) {
    write("empty.bmp", {});
    Bytes broken = small_8bit(40).build();
    broken.resize(broken.size() - 8);
    write("broken.bmp", broken);
    for (const char* name : {"missing.bmp", "empty.bmp", "broken.bmp", "."}) {
        SCOPED_TRACE(name);
        DecodedImage image;
        image.width = 3;
        EXPECT_FALSE(bmp_decode_file(path(name).c_str(), PixelFormat::xrgb8888, &image));
        EXPECT_EQ(image.width, 3);
    }
}

}  // namespace
