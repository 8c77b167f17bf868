// The buffered mouse: records only while acquired, the event, a full buffer, lost input.
#include "platform/headless/headless.h"
#include "platform/soft/tests/machine_fixture.h"

namespace {

using MouseTest = MachineTest;

TEST_F(MouseTest, InputBecomesRecordsInOrderAndSignalsTheEvent) {
    open_mouse();
    soft_mouse_motion(-3, 5);
    soft_mouse_motion(7, 0);
    soft_mouse_button(1, true);
    soft_mouse_button(3, false);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    const auto records = take_records();
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0].offset, MOUSE_OFFSET_X);
    EXPECT_EQ(records[0].data, 0xFFFFFFFDu);
    EXPECT_EQ(records[1].offset, MOUSE_OFFSET_Y);
    EXPECT_EQ(records[1].data, 5u);
    EXPECT_EQ(records[2].offset, MOUSE_OFFSET_X);
    EXPECT_EQ(records[3].offset, MOUSE_OFFSET_BUTTON1);
    EXPECT_EQ(records[3].data, MOUSE_BUTTON_PRESSED);
    EXPECT_EQ(records[4].offset, MOUSE_OFFSET_BUTTON3);
    EXPECT_EQ(records[4].data, 0u);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_BUFFER_EMPTY);
}

TEST_F(MouseTest, NothingIsBufferedWhileTheMouseIsNotAcquired) {
    open_mouse();
    ASSERT_EQ(mouse_unacquire(mouse), RESULT_OK);
    soft_mouse_button(0, true);
    EXPECT_EQ(soft_mouse_room(), SIZE_MAX);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED);
    ASSERT_EQ(mouse_acquire(mouse), RESULT_OK);
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_BUFFER_EMPTY);
    post_message(window, MESSAGE_USER, 0, 0);
    EXPECT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED) << "the event stayed quiet";
}

TEST_F(MouseTest, AFullBufferKeepsTheNewestRecords) {
    open_mouse();
    for (int i = 1; i <= 14; ++i)
        soft_mouse_motion(i, 0);
    EXPECT_EQ(soft_mouse_room(), 2u);
    for (int i = 15; i <= 20; ++i)
        soft_mouse_motion(i, 0);
    EXPECT_EQ(soft_mouse_room(), 0u);
    const auto records = take_records();
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(records.front().data, 5u);
    EXPECT_EQ(records.back().data, 20u);
}

TEST_F(MouseTest, LostInputIsReportedOnceAndTheMouseCanBeAcquiredAgain) {
    open_mouse();
    soft_mouse_motion(1, 0);
    soft_mouse_input_lost();
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_INPUT_LOST);
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED);
    soft_mouse_motion(2, 0);
    ASSERT_EQ(mouse_acquire(mouse), RESULT_OK);
    soft_mouse_motion(3, 0);
    const auto records = take_records();
    ASSERT_EQ(records.size(), 2u) << "what came while the mouse was lost is not there";
    EXPECT_EQ(records[0].data, 1u);
    EXPECT_EQ(records[1].data, 3u);
}

TEST_F(MouseTest, AForegroundMouseNeedsTheActiveWindow) {
    open_mouse();
    soft_focus(false);
    EXPECT_NE(mouse_acquire(mouse), RESULT_OK);
    soft_focus(true);
    EXPECT_EQ(mouse_acquire(mouse), RESULT_OK);
    window_destroy(window);
    EXPECT_NE(mouse_acquire(mouse), RESULT_OK);
}

TEST_F(MouseTest, FaultsRefuseTheNamedStepOnly) {
    ASSERT_TRUE(headless_fail("mouse-read"));
    EXPECT_FALSE(headless_fail("no-such-step"));
    open_mouse();
    soft_mouse_motion(1, 0);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED);
    EXPECT_EQ(soft_live("mouse") + soft_live("event") + soft_live("input"), 3);
}

}  // namespace
