// The scripted backend's own rules, which the program's tests rely on.
#include <gtest/gtest.h>

#include "platform/display.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

namespace {

class HeadlessDisplayTest : public ScratchTest {
  protected:
    void open_display(int bits) {
        ASSERT_EQ(display_create(&device), RESULT_OK);
        window = reinterpret_cast<WindowHandle>(&device);  // any non-null owner
        ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
        ASSERT_EQ(display_set_mode(device, 1024, 768, bits), RESULT_OK);
        ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
        ASSERT_EQ(display_get_back_buffer(front, &back), RESULT_OK);
        ASSERT_EQ(display_create_offscreen(device, 1024, 768, &sheet), RESULT_OK);
        ASSERT_EQ(surface_set_black_color_key(sheet), RESULT_OK);
    }
    DisplayDevice device = nullptr;
    WindowHandle window = nullptr;
    Surface front = nullptr, back = nullptr, sheet = nullptr;
};

TEST_F(HeadlessDisplayTest, CopyIsAllOrNothing) {
    open_display(32);
    headless_set_pixel(sheet, 1023, 767, 0x123456);
    EXPECT_EQ(surface_fast_copy(back, 1000, 700, sheet, 1000, 700, 24, 68, false), RESULT_OK);
    EXPECT_EQ(headless_pixel(back, 1023, 767), 0x123456u);

    headless_set_pixel(sheet, 0, 0, 0xABCDEF);
    // One pixel past the source's edge, then one past the destination's.
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 1001, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 1001, 0, sheet, 0, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, -1, sheet, 0, 0, 4, 4, false), RESULT_OK);
    EXPECT_EQ(headless_pixel(back, 1001, 0), 0u);
    EXPECT_EQ(headless_counters().refused_copies, 3);
}

TEST_F(HeadlessDisplayTest, KeyedCopyLeavesOutBlackByColourBitsOnly) {
    open_display(32);
    headless_set_pixel(back, 0, 0, 0x111111);
    headless_set_pixel(back, 1, 0, 0x222222);
    headless_set_pixel(sheet, 1, 0, 0x00FF00);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 2, 1, true), RESULT_OK);
    EXPECT_EQ(headless_pixel(back, 0, 0), 0x111111u);  // black source: left out
    EXPECT_EQ(headless_pixel(back, 1, 0), 0x00FF00u);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 2, 1, false), RESULT_OK);
    EXPECT_EQ(headless_pixel(back, 0, 0), 0u);  // opaque copy takes black too
}

TEST_F(HeadlessDisplayTest, SixteenBitSurfacesKeepBlackTransparent) {
    open_display(16);
    EXPECT_EQ(headless_surface_bits(sheet), 16);
    headless_set_pixel(back, 0, 0, 0xFFFFFF);
    headless_set_pixel(sheet, 1, 0, 0xFF0000);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 2, 1, true), RESULT_OK);
    EXPECT_EQ(headless_pixel(back, 0, 0), 0xFFFFFFu);
    EXPECT_EQ(headless_pixel(back, 1, 0), 0xFF0000u);
    EXPECT_EQ(headless_raw_pixel(back, 1, 0), 0xF800u);
}

TEST_F(HeadlessDisplayTest, FlipExchangesFrontAndBack) {
    open_display(32);
    headless_set_pixel(back, 5, 5, 0x0000FF);
    headless_set_pixel(front, 5, 5, 0xFF0000);
    EXPECT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_EQ(headless_pixel(front, 5, 5), 0x0000FFu);
    EXPECT_EQ(headless_pixel(back, 5, 5), 0xFF0000u);
}

TEST_F(HeadlessDisplayTest, SurfaceWithItsDeviceContextOutRefusesCopiesAndRecordsText) {
    open_display(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    FontHandle font = font_create(24);
    dc_select_font(dc, font);
    dc_set_text_color(dc, rgb(255, 255, 0));
    dc_text_out(dc, 10, 684, "KLICK\xC4", 6);
    surface_release_dc(back, dc);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    ASSERT_EQ(headless_texts().size(), 1u);
    EXPECT_EQ(headless_texts()[0].surface, "back");
    EXPECT_EQ(headless_texts()[0].font, "medium");
    EXPECT_EQ(headless_texts()[0].color, 0x00FFFFu);
    EXPECT_EQ(headless_texts()[0].text, "KLICK\xC4");
    font_delete(font);
}

TEST_F(HeadlessDisplayTest, FaultsRefuseTheNamedStep) {
    ASSERT_TRUE(headless_fail("mode32"));
    ASSERT_TRUE(headless_fail("offscreen2"));
    EXPECT_FALSE(headless_fail("no-such-step"));
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, reinterpret_cast<WindowHandle>(&device)),
              RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 32), RESULT_OK);
    EXPECT_EQ(display_set_mode(device, 1024, 768, 16), RESULT_OK);
    Surface first = nullptr, second = nullptr;
    EXPECT_EQ(display_create_offscreen(device, 1024, 768, &first), RESULT_OK);
    EXPECT_NE(display_create_offscreen(device, 1024, 768, &second), RESULT_OK);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(headless_live("surface"), 1);
    surface_release(first);
    display_release(device);
    EXPECT_EQ(headless_live_total(), 0);
}

}  // namespace
