// The front on the SDL window's surface: 1:1 or letterboxed, in 32 or 16 bits, and the
// pauses on the real clock.
#include <chrono>
#include <cstdlib>

#include "platform/sdl/tests/sdl_test_support.h"

namespace {

using DisplayTest = MachineTest;

bool close_colours(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference < -2 || difference > 2) return false;
    }
    return true;
}

TEST_F(DisplayTest, DepthSixteenRefusesThirtyTwoBitsAndShowsSixteenBitColours) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_window();
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 32), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, 16), RESULT_OK);
    ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
    ASSERT_EQ(display_get_back_buffer(front, &back), RESULT_OK);
    soft_set_pixel(back, 3, 4, 0xF800);
    soft_set_pixel(back, 4, 4, 0x07E0);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    // SDL widens 5 and 6 bits to 8 by its own tables: allow a level or two.
    EXPECT_TRUE(close_colours(screen_pixel(3, 4), 0xFF0000)) << std::hex << screen_pixel(3, 4);
    EXPECT_TRUE(close_colours(screen_pixel(4, 4), 0x00FF00)) << std::hex << screen_pixel(4, 4);
    EXPECT_TRUE(close_colours(screen_pixel(5, 4), 0x000000)) << std::hex << screen_pixel(5, 4);
}

TEST_F(DisplayTest, WritesToTheFrontReachTheWindowAtTheNextPause) {
    open_display(32);
    pause_milliseconds(0);
    soft_set_pixel(sheet, 0, 0, 0xFF8000);
    ASSERT_EQ(surface_fast_copy(front, 511, 0, sheet, 0, 0, 1, 768, false), RESULT_OK);
    EXPECT_EQ(screen_pixel(511, 0), 0u) << "shown before the pause";
    pause_milliseconds(1);
    EXPECT_EQ(screen_pixel(511, 0), 0xFF8000u);
    soft_set_pixel(back, 10, 10, 0x00FF00);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_EQ(screen_pixel(10, 10), 0x00FF00u);
}

TEST_F(DisplayTest, AScreenOfAnotherSizeShowsTheFrameScaledBetweenBlackBars) {
    open_display(32);
    SDL_SetWindowFullscreen(sdl_device().window(), 0);
    SDL_SetWindowSize(sdl_device().window(), 1280, 1024);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            soft_set_pixel(back, x, y, 0x404040);
    soft_set_pixel(back, 0, 0, 0xFF0000);
    soft_set_pixel(back, 1023, 767, 0x00FF00);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    SDL_Surface* shown = SDL_GetWindowSurface(sdl_device().window());
    ASSERT_EQ(shown->w, 1280);
    ASSERT_EQ(shown->h, 1024);
    // 1280x960 at y = 32: each show pixel covers 1.25 screen pixels.
    EXPECT_EQ(screen_pixel(0, 31), 0u);
    EXPECT_EQ(screen_pixel(0, 32), 0xFF0000u);
    EXPECT_EQ(screen_pixel(1, 33), 0xFF0000u);
    EXPECT_EQ(screen_pixel(2, 34), 0x404040u);
    EXPECT_EQ(screen_pixel(1279, 991), 0x00FF00u);
    EXPECT_EQ(screen_pixel(1279, 992), 0u);

    // A column written to the front shows at its scaled place after the next pause.
    soft_set_pixel(sheet, 0, 0, 0x0000FF);
    ASSERT_EQ(surface_fast_copy(front, 512, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    pause_milliseconds(0);
    EXPECT_EQ(screen_pixel(640, 32), 0x0000FFu);
    EXPECT_EQ(screen_pixel(639, 32), 0x404040u);
    EXPECT_EQ(screen_pixel(641, 32), 0x0000FFu);
    EXPECT_EQ(screen_pixel(642, 32), 0x404040u);
}

TEST_F(DisplayTest, PausesInARowNeverEndBeforeTheirLengthsAddUp) {
    open_display(32);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 64; ++i)
        pause_milliseconds(1);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(64));
    // A longer pause that follows keeps to the same timetable: what the series overran
    // may be taken off it, but together they never end early.
    pause_milliseconds(20);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(84));
}

}  // namespace
