// Numbered bitmap files onto surfaces: names, the per-slot cache, placement.
#include <gtest/gtest.h>

#include "app/shutdown.h"
#include "app/startup.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "platform/headless/headless.h"
#include "tests/test_support.h"

namespace {

class BitmapLoaderTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        ASSERT_TRUE(init_display(nullptr, 1));
    }
    void TearDown() override {
        shutdown_all();
        ScratchTest::TearDown();
    }
    int file_reads() { return soft_counters().bitmap_file_reads; }
};

TEST_F(BitmapLoaderTest, FileNamesArePaddedToFiveDigitsUpTo9999) {
    const struct {
        int32_t number;
        const char* picture;
        const char* box;
    } cases[] = {{1, "scs00001.BMP", "scb00001.BMP"},
                 {42, "scs00042.BMP", "scb00042.BMP"},
                 {123, "scs00123.BMP", "scb00123.BMP"},
                 {1000, "scs01000.BMP", "scb01000.BMP"},
                 {9999, "scs09999.BMP", "scb09999.BMP"},
                 {12345, "scs012345.BMP", "scb012345.BMP"},
                 {INT32_MAX, "scs02147483647.BMP", "scb02147483647.BMP"}};
    for (const auto& c : cases) {
        char name[FILE_NAME_SIZE];
        build_picture_file_name(name, c.number);
        EXPECT_STREQ(name, c.picture);
        build_box_file_name(name, c.number);
        EXPECT_STREQ(name, c.box);
    }
}

TEST_F(BitmapLoaderTest, EachSlotRemembersWhatItHolds) {
    write_solid_bitmap("scs00001.BMP", 1024, 768, 0x112233);
    EXPECT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::loaded);
    EXPECT_EQ(headless_pixel(screen.sheet_surface, 500, 500), 0x112233u);
    EXPECT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::already_there);
    EXPECT_EQ(file_reads(), 1);
    // The other slot has its own entry: the file is read again.
    EXPECT_EQ(load_picture(PictureSlot::picture, 1), PictureLoad::loaded);
    EXPECT_EQ(file_reads(), 2);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 0), 0x112233u);
}

TEST_F(BitmapLoaderTest, FailedLoadKeepsTheSurfaceAndIsTriedAgain) {
    write_solid_bitmap("scs00005.BMP", 1024, 768, 0x0000FF);
    ASSERT_EQ(load_picture(PictureSlot::picture, 5), PictureLoad::loaded);
    EXPECT_EQ(load_picture(PictureSlot::picture, 6), PictureLoad::failed);  // no such file
    EXPECT_EQ(headless_pixel(screen.picture_surface, 10, 10), 0x0000FFu);
    EXPECT_EQ(screen.loaded_number[1], 5);
    ASSERT_EQ(headless_debug_lines().size(), 1u);
    EXPECT_EQ(headless_debug_lines()[0], "handle is null\n");
    write_solid_bitmap("scs00006.BMP", 1024, 768, 0x00FF00);
    EXPECT_EQ(load_picture(PictureSlot::picture, 6), PictureLoad::loaded);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 10, 10), 0x00FF00u);
}

TEST_F(BitmapLoaderTest, NumberZeroLoadsTheNamedFile) {
    EXPECT_EQ(load_picture(PictureSlot::picture, 0), PictureLoad::failed);
    write_solid_bitmap("-.BMP", 4, 4, 0xABCDEF);
    EXPECT_EQ(load_picture(PictureSlot::picture, 0), PictureLoad::loaded);
    EXPECT_EQ(load_picture(PictureSlot::picture, 0),
              PictureLoad::loaded);  // number 0 is never cached
    EXPECT_EQ(screen.loaded_number[1], 0);
}

TEST_F(BitmapLoaderTest, NumbersBeyondSixteenBitsNeverMatchAnother) {
    write_solid_bitmap("scs065537.BMP", 8, 8, 0x010203);
    write_solid_bitmap("scs00001.BMP", 8, 8, 0x040506);
    ASSERT_EQ(load_picture(PictureSlot::picture, 65537), PictureLoad::loaded);
    EXPECT_EQ(load_picture(PictureSlot::picture, 1), PictureLoad::loaded);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 0), 0x040506u);
}

TEST_F(BitmapLoaderTest, ScreenSizedBitmapIsCopiedOneToOne) {
    write_test_bitmap("scs00010.BMP", 1024, 768,
                      [](int x, int y) { return static_cast<uint32_t>((x << 12) ^ y); });
    ASSERT_EQ(load_picture(PictureSlot::picture, 10), PictureLoad::loaded);
    for (auto [x, y] : {std::pair{0, 0}, {1023, 767}, {517, 300}})
        EXPECT_EQ(headless_pixel(screen.picture_surface, x, y),
                  static_cast<uint32_t>((x << 12) ^ y) & 0xFFFFFF);
}

TEST_F(BitmapLoaderTest, LargerBitmapIsStretchedOverTheWholeSurface) {
    // 1025 x 600: left half red, right half blue; both axes are scaled.
    write_test_bitmap("scs00011.BMP", 1025, 600, [](int x, int y) {
        return y < 300 ? (x < 512 ? 0xFF0000u : 0x0000FFu) : 0x00FF00u;
    });
    ASSERT_EQ(load_picture(PictureSlot::picture, 11), PictureLoad::loaded);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 0), 0xFF0000u);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 1023, 0), 0x0000FFu);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 767), 0x00FF00u);
    // Source row 300, where green starts, lands on row 384 of 768.
    EXPECT_EQ(headless_pixel(screen.picture_surface, 500, 380), 0xFF0000u);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 500, 390), 0x00FF00u);
}

TEST_F(BitmapLoaderTest, SmallerBitmapGoesTopLeftAndTheRestStays) {
    write_solid_bitmap("scs00012.BMP", 1024, 768, 0x202020);
    write_solid_bitmap("scs00013.BMP", 800, 600, 0xE0E0E0);
    ASSERT_EQ(load_picture(PictureSlot::picture, 12), PictureLoad::loaded);
    ASSERT_EQ(load_picture(PictureSlot::picture, 13), PictureLoad::loaded);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 799, 599), 0xE0E0E0u);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 800, 599), 0x202020u);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 799, 600), 0x202020u);
}

TEST_F(BitmapLoaderTest, BoxesAreDrawnOpaqueAndClippedAtTheEdges) {
    write_test_bitmap("scb00007.BMP", 100, 50, [](int x, int) { return x < 10 ? 0u : 0x123456u; });
    EXPECT_TRUE(load_box(7, 974, 740));
    EXPECT_EQ(headless_pixel(screen.back_surface, 1023, 767), 0x123456u);
    headless_set_pixel(screen.back_surface, 980, 745, 0xFFFFFF);
    EXPECT_TRUE(load_box(7, 974, 740));
    EXPECT_EQ(headless_pixel(screen.back_surface, 980, 745), 0u);  // black copied too
    EXPECT_TRUE(load_box(7, -60, -10));                            // half off the top left
    EXPECT_EQ(headless_pixel(screen.back_surface, 0, 0), 0x123456u);
    EXPECT_EQ(file_reads(), 3);  // boxes are read every time
}

TEST_F(BitmapLoaderTest, NoDeviceContextMeansNothingCopied) {
    write_solid_bitmap("scs00020.BMP", 1024, 768, 0x777777);
    headless_fail("dc");
    EXPECT_EQ(load_picture(PictureSlot::picture, 20), PictureLoad::failed);
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 0), 0u);
    EXPECT_EQ(headless_debug_lines().back(), "ddcopybitmap failed\n");
    EXPECT_EQ(screen.loaded_number[1], 0);
}

TEST_F(BitmapLoaderTest, NoMemoryContextIsReportedAndDrawsNothing) {
    write_solid_bitmap("scs00021.BMP", 1024, 768, 0x777777);
    headless_fail("memory-dc");
    EXPECT_EQ(load_picture(PictureSlot::picture, 21),
              PictureLoad::loaded);  // the result is the surface's context
    EXPECT_EQ(headless_debug_lines().front(), "createcompatible dc failed\n");
    EXPECT_EQ(headless_pixel(screen.picture_surface, 0, 0), 0u);
}

}  // namespace
