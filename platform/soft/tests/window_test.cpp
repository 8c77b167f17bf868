// The window and its message queue: messages sent during creation, showing and
// destruction, the queue's order, the wait's order of wake-ups and the pauses.
#include "platform/headless/headless.h"
#include "platform/soft/tests/machine_fixture.h"

namespace {

using WindowTest = MachineTest;

std::vector<uint32_t> numbers(const std::vector<WindowMessage>& messages) {
    std::vector<uint32_t> result;
    for (const WindowMessage& m : messages)
        result.push_back(m.message);
    return result;
}

void script(std::initializer_list<const char*> lines) {
    for (const char* line : lines)
        ASSERT_TRUE(headless_add_script_line(line, nullptr)) << line;
}

TEST_F(WindowTest, CreatingAndShowingReachTheProcedureBeforeTheyReturn) {
    open_window();
    EXPECT_EQ(numbers(received), std::vector<uint32_t>{MESSAGE_CREATE});
    window_show(window, 1);
    window_show(window, 1);
    ASSERT_EQ(received.size(), 2u) << "a second show activates nothing";
    EXPECT_EQ(received[1].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(received[1].wparam, ACTIVATE_ACTIVE);
    EXPECT_EQ(window_create_topmost_popup(nullptr, "NO-SUCH-CLASS", "", 0, 0, 1, 1), nullptr);
}

TEST_F(WindowTest, PostedMessagesComeBackInOrderAndTheQuitRequestHasNoWindow) {
    open_window();
    post_message(window, MESSAGE_USER, 1, 2);
    post_quit_message(3);
    post_message(window, MESSAGE_USER, 4, 5);
    ASSERT_EQ(wait_for_event_or_message(nullptr), WAIT_MESSAGE_QUEUED);
    const auto messages = take_messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].lparam, 2);
    EXPECT_EQ(messages[1].message, MESSAGE_QUIT);
    EXPECT_EQ(messages[1].wparam, 3u);
    EXPECT_EQ(messages[1].window, nullptr);
    EXPECT_EQ(messages[2].wparam, 4u);
    EXPECT_EQ(peek_message(nullptr), 0);
}

TEST_F(WindowTest, ClosingDestroysTheWindowAndDropsWhatWasPostedToIt) {
    open_window();
    script({"close"});
    ASSERT_EQ(wait_for_event_or_message(nullptr), WAIT_MESSAGE_QUEUED);
    post_message(window, MESSAGE_USER, 0, 0);
    post_quit_message(7);
    WindowMessage message{};
    ASSERT_EQ(peek_message(&message), 1);
    received.clear();
    dispatch_message(&message);
    EXPECT_EQ(numbers(received), (std::vector<uint32_t>{MESSAGE_CLOSE, MESSAGE_DESTROY}));
    EXPECT_EQ(numbers(take_messages()), std::vector<uint32_t>{MESSAGE_QUIT});
    EXPECT_EQ(post_message(window, MESSAGE_USER, 0, 0), 0);
    EXPECT_EQ(soft_live("destroyed-window"), 1);
    // With the window gone, a wait cannot block for ever: it hands out the quit request.
    ASSERT_EQ(wait_for_event_or_message(nullptr), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(numbers(take_messages()), std::vector<uint32_t>{MESSAGE_QUIT});
    EXPECT_EQ(soft_counters().messages_dispatched, 1);
}

TEST_F(WindowTest, TheSignalledEventComesFirstThenTheQueueThenNewInput) {
    open_mouse();
    script({"move 1 0", "key left"});
    post_message(window, MESSAGE_USER, 0, 0);
    soft_mouse_motion(0, 1);
    EXPECT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    EXPECT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED) << "the event reset itself";
    take_messages();
    EXPECT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    EXPECT_EQ(headless_script_lines_left(), 1u) << "one step a wake-up";
    EXPECT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(take_records().size(), 2u);
    EXPECT_EQ(soft_counters().waits, 4);
}

TEST_F(WindowTest, WhenInputEndsTheWindowIsDestroyedAndTheQuitRequestFollows) {
    open_window();
    received.clear();
    ASSERT_EQ(wait_for_event_or_message(nullptr), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(numbers(received), std::vector<uint32_t>{MESSAGE_DESTROY});
    EXPECT_EQ(numbers(take_messages()), std::vector<uint32_t>{MESSAGE_QUIT});
}

TEST_F(WindowTest, LosingTheFocusReachesTheProcedureInsideTheWaitAndStopsTheMouse) {
    open_mouse();
    script({"activate 0", "move 5 5", "activate 1"});
    received.clear();
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);  // the script runs out
    ASSERT_GE(received.size(), 3u);
    EXPECT_EQ(received[0].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(received[0].wparam, ACTIVATE_INACTIVE);
    EXPECT_EQ(received[1].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(received[1].wparam, ACTIVATE_ACTIVE);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED)
        << "the motion while inactive was never buffered, and nothing acquired it again";
}

// The simulated clock makes the timetable exact: each pause of a series ends its
// length after the end the previous one aimed at, whatever ran between.
TEST_F(WindowTest, PausesInARowKeepOneTimetableUntilTheNextWaitForInput) {
    open_window();
    const int64_t start = headless_clock_ms();
    pause_milliseconds(1);
    headless_advance_clock(3);  // work that overran the next pause's length
    pause_milliseconds(5);
    EXPECT_EQ(headless_clock_ms() - start, 6);
    headless_advance_clock(17);  // too late to follow: a fresh start
    pause_milliseconds(2);
    EXPECT_EQ(headless_clock_ms() - start, 25);
    headless_advance_clock(3);
    post_message(window, MESSAGE_USER, 0, 0);
    wait_for_event_or_message(nullptr);
    pause_milliseconds(5);
    EXPECT_EQ(headless_clock_ms() - start, 33) << "a wait for input ends the series";
    EXPECT_EQ(soft_counters().pauses, 4);
    EXPECT_EQ(soft_counters().paused_ms, 13);
}

}  // namespace
