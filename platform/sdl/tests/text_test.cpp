// Text through SDL2_ttf: the glyph source's cells, and the text laid over surfaces.
#include <algorithm>
#include <string>

#include "platform/sdl/tests/sdl_test_support.h"

namespace {

using TextTest = MachineTest;

struct Box {
    int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1;
    int count = 0;
};

// Where pixels differ from the fill value, inside the given area.
Box changed_pixels(Surface surface, uint32_t fill, int width, int height) {
    Box box;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (soft_pixel(surface, x, y) != fill) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
                ++box.count;
            }
    return box;
}

CoverageMask glyphs(int height, const std::string& text) {
    CoverageMask mask;
    EXPECT_TRUE(sdl_device().render_text(SoftText{"back", 0, 0, 0, height, false, text}, &mask))
        << "the font file is missing";
    return mask;
}

TEST_F(TextTest, CellsHaveTheHeightsAskedForAndAFixedPitch) {
    EXPECT_EQ(glyphs(16, "M").height, 16);
    EXPECT_EQ(glyphs(24, "M").height, 24);
    EXPECT_EQ(glyphs(32, "MMMM").height, 32);
    EXPECT_EQ(glyphs(32, "MMMM").width, glyphs(32, "IIII").width);
    EXPECT_EQ(glyphs(16, "MMMM").width, 4 * 8);
    CoverageMask none;
    EXPECT_FALSE(sdl_device().render_text(SoftText{"back", 0, 0, 0, 16, true, ""}, &none));
}

TEST_F(TextTest, TextLiesInItsCellInItsColourOverATransparentBackground) {
    open_display(32);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x)
            soft_set_pixel(back, x, y, 0x203040);
    FontHandle large = font_create(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_set_transparent_background(dc);
    dc_select_font(dc, large);
    dc_set_text_color(dc, rgb(255, 255, 0));
    dc_text_out(dc, 100, 50, "MEN\xDC", 4);
    surface_release_dc(back, dc);
    font_delete(large);

    const Box box = changed_pixels(back, 0x203040, 400, 200);
    ASSERT_GT(box.count, 100);
    EXPECT_GE(box.left, 100);
    EXPECT_GE(box.top, 50);
    EXPECT_LT(box.bottom, 50 + 32);
    EXPECT_LT(box.right, 100 + 4 * 16 + 2);
    int solid = 0;
    for (int y = box.top; y <= box.bottom; ++y)
        for (int x = box.left; x <= box.right; ++x)
            solid += soft_pixel(back, x, y) == 0xFFFF00u;
    EXPECT_GT(solid, 50) << "the glyphs' insides carry the text colour";
    EXPECT_EQ(soft_pixel(back, 99, 60), 0x203040u);
}

TEST_F(TextTest, AnOpaqueBackgroundIsWhiteAndTheEdgesOfTheSurfaceClip) {
    open_display(16);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_set_text_color(dc, rgb(255, 0, 0));
    dc_text_out(dc, 1020, 760, "TITEL", 5);
    dc_text_out(dc, -4, -4, "TITEL", 5);
    surface_release_dc(back, dc);
    int red = 0, white = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 36; ++x) {
            red += soft_pixel(back, x, y) == 0xF800u;
            white += soft_pixel(back, x, y) == 0xFFFFu;
        }
    EXPECT_GT(red, 10);
    EXPECT_GT(white, 100);
    EXPECT_EQ(soft_pixel(back, 1020, 760), 0xFFFFu) << "above the capitals: background";
}

TEST_F(TextTest, TextOnTheFrontReachesTheScreen) {
    open_display(32);
    pause_milliseconds(0);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(front, &dc), RESULT_OK);
    dc_set_transparent_background(dc);
    dc_set_text_color(dc, rgb(255, 255, 255));
    dc_text_out(dc, 0, 0, "\xC4\xD6\xDC\x80", 4);  // ÄÖÜ€
    surface_release_dc(front, dc);
    const Box drawn = changed_pixels(front, 0, 64, 16);
    EXPECT_GT(drawn.count, 40);
    EXPECT_GT(drawn.right, 3 * 8) << "four characters, eight pixels apart";
    pause_milliseconds(0);
    int shown = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            shown += screen_pixel(x, y) != 0;
    EXPECT_EQ(shown, drawn.count);
}

}  // namespace
