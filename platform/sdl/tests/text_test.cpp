#include <algorithm>
#include <string>

#include "platform/bitmap.h"
#include "platform/sdl/tests/sdl_test_support.h"

namespace {

using TextTest = SdlBackendTest;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int count = 0;
};

// Where pixels differ from the fill value, inside the given area.
Box changed_pixels(uint32_t (*read)(Surface, int, int), Surface surface, uint32_t fill, int width,
                   int height) {
    Box box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (read(surface, x, y) != fill) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
}

TEST_F(TextTest, FontsHaveTheCellHeightsAskedFor) {
    FontHandle fixed = font_stock_fixed();
    FontHandle medium = font_create(24);
    FontHandle large = font_create(32);
    ASSERT_NE(fixed->ttf, nullptr) << "the font file is missing";
    ASSERT_NE(medium->ttf, nullptr);
    ASSERT_NE(large->ttf, nullptr);
    EXPECT_EQ(TTF_FontHeight(fixed->ttf), 16);
    EXPECT_EQ(TTF_FontHeight(medium->ttf), 24);
    EXPECT_EQ(TTF_FontHeight(large->ttf), 32);
    // Fixed pitch: every character advances the same.
    int advance_m = 0, advance_i = 0;
    TTF_GlyphMetrics(large->ttf, 'M', nullptr, nullptr, nullptr, nullptr, &advance_m);
    TTF_GlyphMetrics(large->ttf, 'I', nullptr, nullptr, nullptr, nullptr, &advance_i);
    EXPECT_EQ(advance_m, advance_i);
    font_delete(medium);
    font_delete(large);
    font_delete(fixed);  // the stock font stays
    EXPECT_NE(font_stock_fixed()->ttf, nullptr);
}

TEST_F(TextTest, TextLiesInItsCellInItsColourOverATransparentBackground) {
    open_display(32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            set_pixel(back, x, y, 0x203040);
    FontHandle large = font_create(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_set_transparent_background(dc);
    dc_select_font(dc, large);
    dc_set_text_color(dc, rgb(255, 255, 0));
    const std::string text = "MENÜ";
    dc_text_out(dc, 100, 50, text.c_str(), 4);
    surface_release_dc(back, dc);
    font_delete(large);

    const Box box = changed_pixels(pixel, back, 0x203040, 400, 200);
    ASSERT_GT(box.count, 100);
    EXPECT_GE(box.left, 100);
    EXPECT_GE(box.top, 50);
    EXPECT_LT(box.bottom, 50 + 32);
    EXPECT_LT(box.right, 100 + 4 * 16 + 2);
    // The Ü's dots stand above the capital letters' tops.
    int solid = 0;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x)
            solid += pixel(back, x, y) == 0xFFFF00u;
    EXPECT_GT(solid, 50) << "the glyphs' insides carry the text colour";
    EXPECT_EQ(pixel(back, 99, 60), 0x203040u);
}

TEST_F(TextTest, TextInWindows1252ReachesTheScreen) {
    open_display(32);
    pause_milliseconds(0);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(front, &dc), RESULT_OK);
    dc_set_transparent_background(dc);
    dc_set_text_color(dc, rgb(255, 255, 255));
    const char text[] = "\xC4\xD6\xDC\x80";  // ÄÖÜ€
    dc_text_out(dc, 0, 0, text, 4);
    surface_release_dc(front, dc);
    const Box drawn = changed_pixels(pixel, front, 0, 64, 16);
    EXPECT_GT(drawn.count, 40);
    EXPECT_GT(drawn.right, 3 * 8) << "four characters, eight pixels apart";
    pause_milliseconds(0);
    int shown = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            shown += screen_pixel(x, y) != 0;
    EXPECT_EQ(shown, drawn.count);
}

TEST_F(TextTest, SixteenBitSurfacesGetTextToo) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_display(16);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_set_transparent_background(dc);
    dc_select_font(dc, font_stock_fixed());
    dc_set_text_color(dc, rgb(255, 0, 0));
    dc_text_out(dc, 10, 10, "TITEL", 5);
    surface_release_dc(back, dc);
    int red = 0;
    for (int y = 10; y < 26; ++y)
        for (int x = 10; x < 50; ++x)
            red += pixel(back, x, y) == 0xF800u;
    EXPECT_GT(red, 20);
}

TEST_F(TextTest, NothingIsDrawnForEmptyTextOrAMemoryContext) {
    open_display(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_set_text_color(dc, rgb(255, 255, 255));
    dc_text_out(dc, 0, 0, "X", 0);
    surface_release_dc(back, dc);
    EXPECT_EQ(changed_pixels(pixel, back, 0, 32, 32).count, 0);
    DeviceContext memory = memory_dc_create();
    dc_text_out(memory, 0, 0, "X", 1);
    memory_dc_delete(memory);
}

}  // namespace
