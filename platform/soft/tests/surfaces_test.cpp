// Surfaces: the display modes, all-or-nothing copies with the black key, the flip, and
// when the front reaches the screen.
#include <string>

#include "platform/bitmap.h"
#include "platform/common/bmp_writer.h"
#include "platform/headless/headless.h"
#include "platform/soft/tests/machine_fixture.h"

namespace {

using SurfaceTest = MachineTest;

TEST_F(SurfaceTest, OnlyTheShowsModeIsSetAndARefused32BitsLeaves16) {
    ASSERT_TRUE(headless_fail("mode32"));
    open_window();
    ASSERT_EQ(display_create(&device), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 16), RESULT_OK) << "before cooperation";
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 800, 600, 16), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 24), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 32), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, 16), RESULT_OK);
    ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
    EXPECT_EQ(soft_surface_bits(front), 16);
    EXPECT_EQ(soft_surface_role(front), "front");
}

TEST_F(SurfaceTest, OffScreenSurfacesTakeTheirRolesAndFaultsInOrder) {
    ASSERT_TRUE(headless_fail("offscreen2"));
    open_window();
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, 32), RESULT_OK);
    Surface second = nullptr;
    ASSERT_EQ(display_create_offscreen(device, 1024, 768, &sheet), RESULT_OK);
    EXPECT_NE(display_create_offscreen(device, 1024, 768, &second), RESULT_OK);
    EXPECT_EQ(second, nullptr);
    EXPECT_NE(display_create_offscreen(device, 0, 768, &second), RESULT_OK);
    EXPECT_EQ(soft_surface("sheet"), sheet);
    EXPECT_EQ(soft_surface("picture"), nullptr);
    EXPECT_EQ(soft_live("surface"), 1);
}

TEST_F(SurfaceTest, CopyIsAllOrNothing) {
    open_display(32);
    soft_set_pixel(sheet, 1023, 767, 0x123456);
    EXPECT_EQ(surface_fast_copy(back, 1000, 700, sheet, 1000, 700, 24, 68, false), RESULT_OK);
    EXPECT_EQ(soft_pixel(back, 1023, 767), 0x123456u);

    soft_set_pixel(sheet, 1000, 0, 0xABCDEF);
    // One pixel past the source's edge, then past the destination's, then before both.
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 1001, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 1001, 0, sheet, 1000, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, -1, sheet, 1000, 0, 4, 4, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, -1, 0, 4, 4, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(nullptr, 0, 0, sheet, 0, 0, 4, 4, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, nullptr, 0, 0, 4, 4, false), RESULT_OK);
    EXPECT_EQ(soft_pixel(back, 1001, 0), 0u);
    EXPECT_EQ(soft_pixel(back, 0, 0), 0u);
    EXPECT_EQ(soft_counters().refused_copies, 6);
    EXPECT_EQ(soft_counters().copies, 1);
}

class KeyedCopyTest : public MachineTest, public testing::WithParamInterface<int> {};

// Black is left out whatever the unused top byte of a 32-bit pixel holds.
TEST_P(KeyedCopyTest, LeavesOutBlackByItsColourBitsOnly) {
    const int bits = GetParam();
    open_display(bits);
    const uint32_t sheet_pixels[] = {0, bits == 32 ? 0xFF000000u : 0u, 1};
    for (int x = 0; x < 4; ++x)
        soft_set_pixel(back, x, 0, 0x1234);
    for (int x = 0; x < 3; ++x)
        soft_set_pixel(sheet, x, 0, sheet_pixels[x]);
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 3, 1, true), RESULT_OK);
    EXPECT_EQ(soft_pixel(back, 0, 0), 0x1234u);
    EXPECT_EQ(soft_pixel(back, 1, 0), 0x1234u);
    EXPECT_EQ(soft_pixel(back, 2, 0), 1u);
    EXPECT_EQ(soft_pixel(back, 3, 0), 0x1234u) << "nothing beyond the rectangle";
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 3, 1, false), RESULT_OK);
    EXPECT_EQ(soft_pixel(back, 0, 0), 0u) << "without the key black is copied too";
    EXPECT_EQ(soft_counters().keyed_copies, 1);
}

INSTANTIATE_TEST_SUITE_P(Depths, KeyedCopyTest, testing::Values(32, 16));

TEST_F(SurfaceTest, AKeyOnlyCountsWhenTheSourceHasOne) {
    open_display(32);
    soft_set_pixel(front, 5, 5, 0x777777);
    ASSERT_EQ(surface_fast_copy(front, 5, 5, back, 0, 0, 1, 1, true), RESULT_OK);
    EXPECT_EQ(soft_pixel(front, 5, 5), 0u);
}

TEST_F(SurfaceTest, OverlappingCopiesWithinOneSurfaceKeepTheSource) {
    open_display(32);
    auto value = [](int x, int y) { return 0x010000u * static_cast<uint32_t>(y * 4 + x + 1); };
    for (bool keyed : {false, true}) {
        SCOPED_TRACE(keyed);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                soft_set_pixel(sheet, 100 + x, 100 + y, value(x, y));
        ASSERT_EQ(surface_fast_copy(sheet, 101, 101, sheet, 100, 100, 4, 4, keyed), RESULT_OK);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(soft_pixel(sheet, 101 + x, 101 + y), value(x, y)) << x << "," << y;
        ASSERT_EQ(surface_fast_copy(sheet, 100, 100, sheet, 101, 101, 4, 4, keyed), RESULT_OK);
        EXPECT_EQ(soft_pixel(sheet, 100, 100), value(0, 0));
        EXPECT_EQ(soft_pixel(sheet, 103, 103), value(3, 3));
        // Along one row, both ways.
        ASSERT_EQ(surface_fast_copy(sheet, 101, 100, sheet, 100, 100, 4, 1, keyed), RESULT_OK);
        EXPECT_EQ(soft_pixel(sheet, 104, 100), value(3, 0));
        ASSERT_EQ(surface_fast_copy(sheet, 100, 100, sheet, 101, 100, 4, 1, keyed), RESULT_OK);
        EXPECT_EQ(soft_pixel(sheet, 100, 100), value(0, 0));
    }
}

TEST_F(SurfaceTest, ALentDeviceContextHoldsBackCopiesAndTheFlip) {
    open_display(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(sheet, 0, 0, back, 0, 0, 1, 1, false), RESULT_OK);
    EXPECT_NE(surface_flip(front), RESULT_OK);
    surface_release_dc(back, dc);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    EXPECT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_NE(surface_flip(back), RESULT_OK) << "only the primary flips";
}

TEST_F(SurfaceTest, FlipExchangesFrontAndBackAndShowsTheNewFrontAtOnce) {
    open_display(32);
    soft_set_pixel(back, 10, 10, 0x00FF00);
    soft_set_pixel(front, 10, 10, 0x0000FF);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_EQ(soft_pixel(front, 10, 10), 0x00FF00u);
    EXPECT_EQ(soft_pixel(back, 10, 10), 0x0000FFu);
    EXPECT_EQ(headless_screen_pixel(10, 10), 0x00FF00u);
}

TEST_F(SurfaceTest, WritesToTheFrontReachTheScreenAtTheNextPauseOrWait) {
    open_display(32);
    pause_milliseconds(0);
    soft_set_pixel(sheet, 0, 0, 0xFF8000);
    soft_set_pixel(sheet, 0, 767, 0x0080FF);
    // The transition's way: one-pixel columns straight onto the front.
    ASSERT_EQ(surface_fast_copy(front, 511, 0, sheet, 0, 0, 1, 768, false), RESULT_OK);
    ASSERT_EQ(surface_fast_copy(front, 512, 0, sheet, 0, 0, 1, 768, false), RESULT_OK);
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 16, 16, false), RESULT_OK);
    EXPECT_EQ(headless_screen_pixel(511, 0), 0u) << "shown before the pause";
    pause_milliseconds(1);
    EXPECT_EQ(headless_screen_pixel(511, 0), 0xFF8000u);
    EXPECT_EQ(headless_screen_pixel(512, 767), 0x0080FFu);
    EXPECT_EQ(headless_screen_pixel(0, 0), 0u) << "the back buffer is not shown";

    ASSERT_EQ(surface_fast_copy(front, 600, 400, sheet, 0, 0, 1, 1, false), RESULT_OK);
    post_message(window, MESSAGE_USER, 0, 0);
    EXPECT_EQ(wait_for_event_or_message(nullptr), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(headless_screen_pixel(600, 400), 0xFF8000u);
}

TEST_F(SurfaceTest, SixteenBitFramesAreShownInTheirColours) {
    open_display(16);
    soft_set_pixel(back, 3, 4, 0xF800);
    soft_set_pixel(back, 4, 4, 0x07E0);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_EQ(headless_screen_pixel(3, 4), 0xFF0000u);
    EXPECT_EQ(headless_screen_pixel(4, 4), 0x00FF00u);
}

TEST_F(SurfaceTest, ReleasingTheFrontStopsPresenting) {
    open_display(32);
    surface_release(front);
    front = nullptr;
    back = nullptr;
    EXPECT_EQ(soft_front(), nullptr);
    EXPECT_EQ(soft_live("surface"), 1);
    pause_milliseconds(0);
    EXPECT_FALSE(headless_write_screenshot(testing::TempDir() + "no-front.bmp"));
}

class BitmapTest : public MachineTest {
  protected:
    void TearDown() override {
        std::remove(path.c_str());
        MachineTest::TearDown();
    }

    // Writes the pixels as a bitmap file, loads it into a memory device context and
    // draws from there onto the target's device context; everything is released again.
    template <class Draw>
    void draw_bitmap(Surface target, int width, int height, const uint32_t* pixels, Draw draw) {
        ASSERT_TRUE(bmp_write_24(path, width, height, pixels));
        BitmapHandle bitmap = bitmap_load_file(path.c_str());
        ASSERT_NE(bitmap, nullptr);
        int loaded_width = 0, loaded_height = 0;
        bitmap_get_size(bitmap, &loaded_width, &loaded_height);
        EXPECT_EQ(loaded_width, width);
        EXPECT_EQ(loaded_height, height);
        DeviceContext memory = memory_dc_create();
        memory_dc_select_bitmap(memory, bitmap);
        DeviceContext dc = nullptr;
        ASSERT_EQ(surface_get_dc(target, &dc), RESULT_OK);
        draw(dc, memory);
        surface_release_dc(target, dc);
        memory_dc_delete(memory);
        bitmap_delete(bitmap);
        EXPECT_EQ(soft_live("bitmap") + soft_live("dc"), 0);
    }

    std::string path = testing::TempDir() + "qzview-soft-bitmap.bmp";
};

TEST_F(BitmapTest, AMissingFileGivesNoBitmap) {
    EXPECT_EQ(bitmap_load_file("/nonexistent/scs00001.BMP"), nullptr);
    EXPECT_EQ(soft_live("bitmap"), 0);
}

TEST_F(BitmapTest, CopiedPixelsAreConvertedToTheSurfaceFormat) {
    open_display(16);
    const uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    draw_bitmap(sheet, 2, 2, pixels, [](DeviceContext dc, DeviceContext memory) {
        dc_copy_pixels(dc, 10, 20, 2, 2, memory, 0, 0);
    });
    EXPECT_EQ(soft_pixel(sheet, 10, 20), 0xF800u);
    EXPECT_EQ(soft_pixel(sheet, 11, 20), 0x07E0u);
    EXPECT_EQ(soft_pixel(sheet, 10, 21), 0x001Fu);
    EXPECT_EQ(soft_pixel(sheet, 11, 21), 0xFFFFu);
}

TEST_F(BitmapTest, StretchingPicksTheNearestPixelAndCopiesClipAtEveryEdge) {
    open_display(32);
    pause_milliseconds(0);
    const uint32_t pixels[] = {0x110000, 0x220000, 0x330000, 0x440000};
    draw_bitmap(front, 2, 2, pixels, [](DeviceContext dc, DeviceContext memory) {
        dc_stretch_pixels(dc, 0, 0, 4, 4, memory, 0, 0, 2, 2);
        dc_copy_pixels(dc, 1023, 767, 2, 2, memory, 0, 0);  // only one pixel lands
        dc_copy_pixels(dc, -1, 100, 2, 2, memory, 0, 0);    // only the right column lands
        dc_copy_pixels(dc, 500, -1, 2, 2, memory, 0, 0);    // only the bottom row lands
    });
    EXPECT_EQ(soft_pixel(front, 0, 0), 0x110000u);
    EXPECT_EQ(soft_pixel(front, 1, 1), 0x110000u);
    EXPECT_EQ(soft_pixel(front, 2, 1), 0x220000u);
    EXPECT_EQ(soft_pixel(front, 1, 2), 0x330000u);
    EXPECT_EQ(soft_pixel(front, 3, 3), 0x440000u);
    EXPECT_EQ(soft_pixel(front, 4, 0), 0u);
    EXPECT_EQ(soft_pixel(front, 1023, 767), 0x110000u);
    EXPECT_EQ(soft_pixel(front, 0, 100), 0x220000u);
    EXPECT_EQ(soft_pixel(front, 0, 101), 0x440000u);
    EXPECT_EQ(soft_pixel(front, 1023, 99), 0u) << "nothing spilled into the row above";
    EXPECT_EQ(soft_pixel(front, 500, 0), 0x330000u);
    EXPECT_EQ(soft_pixel(front, 501, 0), 0x440000u);
    EXPECT_EQ(soft_pixel(front, 502, 0), 0u);
    pause_milliseconds(0);
    EXPECT_EQ(headless_screen_pixel(1023, 767), 0x110000u) << "drawn on the front, then shown";
}

TEST_F(MachineTest, TextIsHandedToTheGlyphSourceWithItsSurfaceFontAndColour) {
    open_display(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    dc_text_out(dc, 0, 0, "A", 1);
    FontHandle font = font_create(24);
    dc_select_font(dc, font);
    dc_set_text_color(dc, rgb(255, 255, 0));
    dc_text_out(dc, 10, 684, "KLICK\xC4", 6);
    surface_release_dc(back, dc);
    font_delete(font);
    font_delete(font_stock_fixed());  // the stock font stays
    ASSERT_EQ(headless_texts().size(), 2u);
    EXPECT_EQ(headless_texts()[0].font, "fixed");
    EXPECT_EQ(headless_texts()[1].surface, "back");
    EXPECT_EQ(headless_texts()[1].font, "medium");
    EXPECT_EQ(headless_texts()[1].color, 0x00FFFFu);
    EXPECT_EQ(headless_texts()[1].text, "KLICK\xC4");
    EXPECT_EQ(soft_live("font") + soft_live("dc"), 0);
}

}  // namespace
