#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/bitmap.h"
#include "platform/common/bmp_writer.h"
#include "platform/sdl/tests/sdl_test_support.h"

namespace {

using DisplayTest = SdlBackendTest;

bool close_colours(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int difference =
            static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
        if (difference < -2 || difference > 2) return false;
    }
    return true;
}

TEST_F(DisplayTest, SurfacesAreThirtyTwoBitsUnlessThatIsRefused) {
    open_display(32);
    EXPECT_EQ(front->pixels->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB888));
    EXPECT_EQ(sheet->pixels->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB888));
    EXPECT_NE(display_set_mode(device, 800, 600, 32), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 24), RESULT_OK);
}

TEST_F(DisplayTest, ARefusedThirtyTwoBitModeLeavesSixteen) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_window();
    window_show(window, 1);
    ASSERT_EQ(display_create(&device), RESULT_OK);
    ASSERT_EQ(display_set_exclusive_fullscreen(device, window), RESULT_OK);
    EXPECT_NE(display_set_mode(device, 1024, 768, 32), RESULT_OK);
    ASSERT_EQ(display_set_mode(device, 1024, 768, 16), RESULT_OK);
    ASSERT_EQ(display_create_primary(device, &front), RESULT_OK);
    EXPECT_EQ(front->pixels->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_RGB565));
}

TEST_F(DisplayTest, CopyIsAllOrNothing) {
    open_display(32);
    set_pixel(sheet, 1023, 767, 0x123456);
    EXPECT_EQ(surface_fast_copy(back, 1000, 700, sheet, 1000, 700, 24, 68, false), RESULT_OK);
    EXPECT_EQ(pixel(back, 1023, 767), 0x123456u);

    set_pixel(sheet, 1000, 0, 0xABCDEF);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 1001, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 1001, 0, sheet, 1000, 0, 24, 1, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, -1, sheet, 1000, 0, 4, 4, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, -1, 0, 4, 4, false), RESULT_OK);
    EXPECT_EQ(pixel(back, 1001, 0), 0u);
    EXPECT_EQ(pixel(back, 0, 0), 0u);
    EXPECT_EQ(pixel(back, 1, 0), 0u);
}

TEST_F(DisplayTest, CopiesWithAnAbsentSurfaceDoNothing) {
    open_display(32);
    EXPECT_NE(surface_fast_copy(nullptr, 0, 0, sheet, 0, 0, 4, 4, false), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, nullptr, 0, 0, 4, 4, false), RESULT_OK);
}

TEST_F(DisplayTest, KeyedCopyLeavesOutBlackWhateverTheTopByteHolds) {
    open_display(32);
    set_pixel(back, 0, 0, 0x111111);
    set_pixel(back, 1, 0, 0x222222);
    set_pixel(back, 2, 0, 0x333333);
    set_pixel(sheet, 0, 0, 0x00000000);
    set_pixel(sheet, 1, 0, 0xFF000000);
    set_pixel(sheet, 2, 0, 0x00010000);
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 3, 1, true), RESULT_OK);
    EXPECT_EQ(pixel(back, 0, 0), 0x111111u);
    EXPECT_EQ(pixel(back, 1, 0), 0x222222u);
    EXPECT_EQ(pixel(back, 2, 0), 0x010000u);
    // The same copy without the key copies black too.
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 3, 1, false), RESULT_OK);
    EXPECT_EQ(pixel(back, 0, 0), 0u);
}

TEST_F(DisplayTest, KeyedCopyWorksOnSixteenBitSurfaces) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_display(16);
    set_pixel(back, 0, 0, 0x1234);
    set_pixel(back, 1, 0, 0x1234);
    set_pixel(sheet, 0, 0, 0x0000);
    set_pixel(sheet, 1, 0, 0x0001);
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 2, 1, true), RESULT_OK);
    EXPECT_EQ(pixel(back, 0, 0), 0x1234u);
    EXPECT_EQ(pixel(back, 1, 0), 0x0001u);
}

TEST_F(DisplayTest, AKeyOnlyCountsWhenTheSourceHasOne) {
    open_display(32);
    set_pixel(sheet, 0, 0, 0);
    set_pixel(front, 5, 5, 0x777777);
    set_pixel(back, 5, 5, 0x666666);
    // back has no colour key: its black is copied even by a keyed copy.
    ASSERT_EQ(surface_fast_copy(front, 5, 5, back, 0, 0, 1, 1, true), RESULT_OK);
    EXPECT_EQ(pixel(front, 5, 5), 0u);
}

TEST_F(DisplayTest, OverlappingCopiesWithinOneSurfaceKeepTheSource) {
    open_display(32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            set_pixel(sheet, 100 + x, 100 + y, 0x010000 * (y * 4 + x + 1));
    ASSERT_EQ(surface_fast_copy(sheet, 101, 101, sheet, 100, 100, 4, 4, false), RESULT_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixel(sheet, 101 + x, 101 + y), 0x010000u * (y * 4 + x + 1)) << x << "," << y;
    ASSERT_EQ(surface_fast_copy(sheet, 100, 100, sheet, 101, 101, 4, 4, false), RESULT_OK);
    EXPECT_EQ(pixel(sheet, 100, 100), 0x010000u);
    EXPECT_EQ(pixel(sheet, 103, 103), 0x010000u * 16);
}

TEST_F(DisplayTest, CopiesWaitForALentDeviceContext) {
    open_display(32);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(back, &dc), RESULT_OK);
    EXPECT_NE(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
    EXPECT_NE(surface_flip(front), RESULT_OK);
    surface_release_dc(back, dc);
    EXPECT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 1, 1, false), RESULT_OK);
}

TEST_F(DisplayTest, FlipExchangesFrontAndBackAndShowsTheNewFront) {
    open_display(32);
    set_pixel(back, 10, 10, 0x00FF00);
    set_pixel(front, 10, 10, 0x0000FF);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    EXPECT_EQ(pixel(front, 10, 10), 0x00FF00u);
    EXPECT_EQ(pixel(back, 10, 10), 0x0000FFu);
    EXPECT_EQ(screen_pixel(10, 10), 0x00FF00u);
}

TEST_F(DisplayTest, WritesToTheFrontReachTheScreenAtTheNextPause) {
    open_display(32);
    pause_milliseconds(0);
    set_pixel(sheet, 0, 0, 0xFF8000);
    set_pixel(sheet, 0, 767, 0x0080FF);
    // The transition's way: one-pixel columns straight onto the front.
    ASSERT_EQ(surface_fast_copy(front, 511, 0, sheet, 0, 0, 1, 768, false), RESULT_OK);
    ASSERT_EQ(surface_fast_copy(front, 512, 0, sheet, 0, 0, 1, 768, false), RESULT_OK);
    EXPECT_EQ(screen_pixel(511, 0), 0u) << "shown before the pause";
    pause_milliseconds(1);
    EXPECT_EQ(screen_pixel(511, 0), 0xFF8000u);
    EXPECT_EQ(screen_pixel(512, 767), 0x0080FFu);
    EXPECT_TRUE(dirty_empty(machine().screen.dirty));
}

TEST_F(DisplayTest, WritesToOtherSurfacesAreNotSentToTheScreen) {
    open_display(32);
    pause_milliseconds(0);
    set_pixel(sheet, 0, 0, 0xFF8000);
    ASSERT_EQ(surface_fast_copy(back, 0, 0, sheet, 0, 0, 16, 16, false), RESULT_OK);
    EXPECT_TRUE(dirty_empty(machine().screen.dirty));
}

TEST_F(DisplayTest, SixteenBitFramesAreShownInTheirColours) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_display(16);
    set_pixel(back, 3, 4, 0xF800);
    set_pixel(back, 4, 4, 0x07E0);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    // SDL widens 5 and 6 bits to 8 by its own tables: allow a level or two.
    EXPECT_TRUE(close_colours(screen_pixel(3, 4), 0xFF0000)) << std::hex << screen_pixel(3, 4);
    EXPECT_TRUE(close_colours(screen_pixel(4, 4), 0x00FF00)) << std::hex << screen_pixel(4, 4);
    EXPECT_TRUE(close_colours(screen_pixel(5, 4), 0x000000)) << std::hex << screen_pixel(5, 4);
}

TEST_F(DisplayTest, AScreenOfAnotherSizeShowsTheFrameScaledBetweenBlackBars) {
    open_display(32);
    SDL_SetWindowFullscreen(window->sdl, 0);
    SDL_SetWindowSize(window->sdl, 1280, 1024);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            set_pixel(back, x, y, 0x404040);
    set_pixel(back, 0, 0, 0xFF0000);
    set_pixel(back, 1023, 767, 0x00FF00);
    ASSERT_EQ(surface_flip(front), RESULT_OK);
    SDL_Surface* shown = SDL_GetWindowSurface(window->sdl);
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
    set_pixel(sheet, 0, 0, 0x0000FF);
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

TEST_F(DisplayTest, ReleasingTheFrontStopsPresenting) {
    open_display(32);
    surface_release(front);
    front = nullptr;
    back = nullptr;
    EXPECT_EQ(machine().front, nullptr);
    pause_milliseconds(0);
}

class BitmapTest : public SdlBackendTest {
  protected:
    void SetUp() override {
        SdlBackendTest::SetUp();
        path = testing::TempDir() + "qzview-sdl-bitmap-" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".bmp";
    }
    void TearDown() override {
        std::remove(path.c_str());
        SdlBackendTest::TearDown();
    }
    std::string path;
};

TEST_F(BitmapTest, AMissingFileGivesNoBitmap) {
    EXPECT_EQ(bitmap_load_file("/nonexistent/scs00001.BMP"), nullptr);
}

TEST_F(BitmapTest, CopiedPixelsAreConvertedToTheSurfaceFormat) {
    setenv("QZVIEW_DEPTH", "16", 1);
    open_display(16);
    const uint32_t pixels[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    ASSERT_TRUE(bmp_write_24(path, 2, 2, pixels));
    BitmapHandle bitmap = bitmap_load_file(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    int width = 0, height = 0;
    bitmap_get_size(bitmap, &width, &height);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 2);
    DeviceContext memory = memory_dc_create();
    memory_dc_select_bitmap(memory, bitmap);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(sheet, &dc), RESULT_OK);
    dc_copy_pixels(dc, 10, 20, 2, 2, memory, 0, 0);
    surface_release_dc(sheet, dc);
    memory_dc_delete(memory);
    bitmap_delete(bitmap);
    EXPECT_EQ(pixel(sheet, 10, 20), 0xF800u);
    EXPECT_EQ(pixel(sheet, 11, 20), 0x07E0u);
    EXPECT_EQ(pixel(sheet, 10, 21), 0x001Fu);
    EXPECT_EQ(pixel(sheet, 11, 21), 0xFFFFu);
}

TEST_F(BitmapTest, StretchingPicksTheNearestPixelAndCopiesClipAtEveryEdge) {
    open_display(32);
    const uint32_t pixels[] = {0x110000, 0x220000, 0x330000, 0x440000};
    ASSERT_TRUE(bmp_write_24(path, 2, 2, pixels));
    BitmapHandle bitmap = bitmap_load_file(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    DeviceContext memory = memory_dc_create();
    memory_dc_select_bitmap(memory, bitmap);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(sheet, &dc), RESULT_OK);
    dc_stretch_pixels(dc, 0, 0, 4, 4, memory, 0, 0, 2, 2);
    dc_copy_pixels(dc, 1023, 767, 2, 2, memory, 0, 0);  // only one pixel lands
    dc_copy_pixels(dc, -1, 100, 2, 2, memory, 0, 0);    // only the right column
    dc_copy_pixels(dc, 500, -1, 2, 2, memory, 0, 0);    // only the bottom row
    surface_release_dc(sheet, dc);
    memory_dc_delete(memory);
    bitmap_delete(bitmap);
    EXPECT_EQ(pixel(sheet, 0, 0), 0x110000u);
    EXPECT_EQ(pixel(sheet, 1, 1), 0x110000u);
    EXPECT_EQ(pixel(sheet, 2, 1), 0x220000u);
    EXPECT_EQ(pixel(sheet, 1, 2), 0x330000u);
    EXPECT_EQ(pixel(sheet, 3, 3), 0x440000u);
    EXPECT_EQ(pixel(sheet, 4, 0), 0u);
    EXPECT_EQ(pixel(sheet, 1023, 767), 0x110000u);
    EXPECT_EQ(pixel(sheet, 0, 100), 0x220000u);
    EXPECT_EQ(pixel(sheet, 0, 101), 0x440000u);
    EXPECT_EQ(pixel(sheet, 1023, 99), 0u);  // nothing spilled into the row above
    EXPECT_EQ(pixel(sheet, 500, 0), 0x330000u);
    EXPECT_EQ(pixel(sheet, 501, 0), 0x440000u);
    EXPECT_EQ(pixel(sheet, 502, 0), 0u);
}

TEST_F(BitmapTest, BitmapsDrawnOnTheFrontAreShownAtTheNextPause) {
    open_display(32);
    pause_milliseconds(0);
    const uint32_t pixels[] = {0x123456};
    ASSERT_TRUE(bmp_write_24(path, 1, 1, pixels));
    BitmapHandle bitmap = bitmap_load_file(path.c_str());
    ASSERT_NE(bitmap, nullptr);
    DeviceContext memory = memory_dc_create();
    memory_dc_select_bitmap(memory, bitmap);
    DeviceContext dc = nullptr;
    ASSERT_EQ(surface_get_dc(front, &dc), RESULT_OK);
    dc_copy_pixels(dc, 600, 400, 1, 1, memory, 0, 0);
    surface_release_dc(front, dc);
    memory_dc_delete(memory);
    bitmap_delete(bitmap);
    pause_milliseconds(0);
    EXPECT_EQ(screen_pixel(600, 400), 0x123456u);
}

}  // namespace
