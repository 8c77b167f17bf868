// The buffered mouse, the pointer on the screen, and the message pump around them.
#include <gtest/gtest.h>

#include "app/shutdown.h"
#include "app/startup.h"
#include "app/window_procedure.h"
#include "display/bitmap_loader.h"
#include "display/display.h"
#include "display/drawing.h"
#include "editor/editor.h"
#include "input/mouse.h"
#include "input/wait.h"
#include "platform/headless/headless.h"
#include "platform/mouse.h"
#include "platform/window.h"
#include "tests/test_support.h"

namespace {

class MouseTest : public ScratchTest {
  protected:
    void SetUp() override {
        ScratchTest::SetUp();
        write_test_sheet("scs00001.BMP");
        ASSERT_TRUE(init_display(nullptr, 1));
    }
    void TearDown() override {
        shutdown_all();
        ScratchTest::TearDown();
    }
    void script(std::initializer_list<const char*> lines) {
        for (const char* line : lines)
            ASSERT_TRUE(headless_add_script_line(line, nullptr)) << line;
    }
};

TEST_F(MouseTest, MotionsBeforeAPressAreAppliedAndWhatFollowsWaits) {
    soft_mouse_record(MOUSE_OFFSET_X, 3);
    soft_mouse_record(MOUSE_OFFSET_Y, static_cast<uint32_t>(-2));
    soft_mouse_record(MOUSE_OFFSET_BUTTON0, MOUSE_BUTTON_PRESSED);
    soft_mouse_record(MOUSE_OFFSET_X, 10);
    soft_mouse_record(MOUSE_OFFSET_BUTTON0, 0);
    read_mouse();
    EXPECT_EQ(pointer.mouse_click, 1);
    EXPECT_EQ(pointer.pointer_x, 497 + 6);  // two pixels per count
    EXPECT_EQ(pointer.pointer_y, 369 - 4);
    read_mouse();  // the rest of the batch: a motion and a release
    EXPECT_EQ(pointer.mouse_click, 0);
    EXPECT_EQ(pointer.pointer_x, 497 + 6 + 20);
}

TEST_F(MouseTest, RightButtonWheelAndOtherButtons) {
    soft_mouse_record(MOUSE_OFFSET_WHEEL, 120);
    soft_mouse_record(MOUSE_OFFSET_BUTTON2, MOUSE_BUTTON_PRESSED);
    soft_mouse_record(MOUSE_OFFSET_BUTTON3, MOUSE_BUTTON_PRESSED);
    soft_mouse_record(MOUSE_OFFSET_BUTTON1, 0);  // a release alone
    read_mouse();
    EXPECT_EQ(pointer.mouse_click, 0);
    EXPECT_EQ(pointer.pointer_x, 0);  // untouched until the first motion
    EXPECT_EQ(pointer.mouse_x, 497);
    soft_mouse_record(MOUSE_OFFSET_BUTTON1, MOUSE_BUTTON_PRESSED);
    read_mouse();
    EXPECT_EQ(pointer.mouse_click, 2);
}

TEST_F(MouseTest, PointerStaysWhollyOnTheScreen) {
    move_pointer(-1000, -1000);
    EXPECT_EQ(pointer.pointer_x, 0);
    EXPECT_EQ(pointer.pointer_y, 0);
    move_pointer(5000, 5000);
    EXPECT_EQ(pointer.pointer_x, 1007);
    EXPECT_EQ(pointer.pointer_y, 751);
    move_pointer(INT32_MAX, INT32_MIN);  // a device gone mad overflows nothing
    EXPECT_EQ(pointer.pointer_x, 1007);
    EXPECT_EQ(pointer.pointer_y, 0);
}

TEST_F(MouseTest, PointerIsDrawnOverTheFrameAndItsBackgroundRestored) {
    headless_set_pixel(screen.front_surface, 100, 100, 0x336699);
    headless_set_pixel(screen.front_surface, 115, 100, 0x996633);
    ASSERT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::loaded);
    pointer.pointer_x = 100;
    pointer.pointer_y = 100;
    draw_pointer();
    EXPECT_EQ(headless_pixel(screen.front_surface, 100, 100), 0xFFFFFFu);  // the image
    EXPECT_EQ(headless_pixel(screen.front_surface, 115, 100), 0x996633u);  // black: see-through
    EXPECT_EQ(pointer.pointer_saved, 1);
    pointer.pointer_x = 300;
    draw_pointer();
    EXPECT_EQ(headless_pixel(screen.front_surface, 100, 100), 0x336699u);  // restored
    EXPECT_EQ(pointer.pointer_drawn_x, 300);
}

TEST_F(MouseTest, AfterAFlipThePointerIsDrawnWithoutRestoringTheOldFrame) {
    ASSERT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::loaded);
    pointer.pointer_x = 200;
    pointer.pointer_y = 200;
    draw_pointer();
    headless_set_pixel(screen.back_surface, 200, 200, 0x0000AA);
    headless_set_pixel(screen.back_surface, 600, 600, 0x00AA00);
    present_frame();
    EXPECT_EQ(pointer.pointer_saved, 0);
    pointer.pointer_x = 600;
    pointer.pointer_y = 600;
    draw_pointer();
    EXPECT_EQ(headless_pixel(screen.front_surface, 200, 200), 0x0000AAu);  // the new frame's pixel
    EXPECT_EQ(headless_pixel(screen.sheet_surface, 0, 40), 0x00AA00u);  // saved under the pointer
}

TEST_F(MouseTest, HiddenPointerIsNotDrawnButItsPlaceIsKept) {
    ASSERT_EQ(load_picture(PictureSlot::sheet, 1), PictureLoad::loaded);
    pointer.pointer_visible = 0;
    pointer.pointer_x = 50;
    draw_pointer();
    EXPECT_EQ(headless_pixel(screen.front_surface, 50, 0), 0u);
    EXPECT_EQ(pointer.pointer_drawn_x, 50);
}

TEST_F(MouseTest, WaitEndsOnlyAtAPressAndThePointerFollowsTheMotions) {
    script({"move 10 0", "move 10 0", "type 12", "move 0 10", "click right"});
    wait_for_click();
    EXPECT_EQ(pointer.mouse_click, 2);
    EXPECT_EQ(pointer.pointer_x, 497 + 40);
    EXPECT_EQ(pointer.pointer_y, 369 + 20);
    EXPECT_EQ(pointer.pointer_drawn_x, 497 + 40);
    EXPECT_EQ(editor.prompt_mode, 0);  // typing with no prompt open changed nothing
    EXPECT_EQ(editor.entry_text[0], '\0');
    EXPECT_EQ(headless_script_lines_left(), 0u);
}

TEST_F(MouseTest, LostInputIsAcquiredAgainWhileActive) {
    script({"lose", "move 5 0", "click left"});
    wait_for_click();
    EXPECT_EQ(pointer.mouse_click, 1);
    EXPECT_EQ(pointer.pointer_x, 497 + 10);  // input after the loss arrives again
}

TEST_F(MouseTest, InactiveWindowGetsNoInputUntilActivatedAgain) {
    script({"activate 0", "move 50 0", "activate 1", "move 1 0", "click left"});
    wait_for_click();
    EXPECT_EQ(pointer.app_active, 1);
    EXPECT_EQ(pointer.pointer_x, 497 + 2);  // the motion while inactive never arrived
}

TEST_F(MouseTest, MinimisedActivationCountsAsInactive) {
    window_procedure(screen.main_window, MESSAGE_ACTIVATE, 0x00010001, 0);
    EXPECT_EQ(pointer.app_active, 0);
    window_procedure(screen.main_window, MESSAGE_ACTIVATE, ACTIVATE_CLICK_ACTIVE, 0);
    EXPECT_EQ(pointer.app_active, 1);
}

TEST_F(MouseTest, FailedReadEndsTheBatchSilently) {
    soft_mouse_record(MOUSE_OFFSET_X, 5);
    headless_fail("mouse-read");
    read_mouse();
    EXPECT_EQ(pointer.mouse_click, 0);
    EXPECT_EQ(pointer.mouse_x, 497);
}

}  // namespace
