// SDL's events as the records, key presses, characters and window messages of Windows.
#include <string>
#include <utility>

#include "platform/sdl/tests/sdl_test_support.h"

namespace {

class EventsTest : public MachineTest {
  protected:
    void SetUp() override {
        MachineTest::SetUp();
        open_mouse();
    }

    static void push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }
    static void push_motion(int dx, int dy) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.xrel = dx;
        e.motion.yrel = dy;
        push(e);
    }
    static void push_button(Uint8 button, bool pressed) {
        SDL_Event e{};
        e.type = pressed ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
        e.button.button = button;
        e.button.state = pressed ? SDL_PRESSED : SDL_RELEASED;
        push(e);
    }
    static void push_key(SDL_Keycode key) {
        SDL_Event e{};
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        e.key.keysym.sym = key;
        push(e);
    }
    static void push_window_event(Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        push(e);
    }
};

TEST_F(EventsTest, MotionButtonsAndTheWheelBecomeBufferedRecords) {
    push_motion(-3, 5);
    push_button(SDL_BUTTON_RIGHT, true);
    push_button(SDL_BUTTON_X2, true);  // beyond the four buttons of the format
    push_button(SDL_BUTTON_MIDDLE, false);
    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = -2;
    push(wheel);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    const std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {MOUSE_OFFSET_X, 0xFFFFFFFDu},
        {MOUSE_OFFSET_Y, 5},
        {MOUSE_OFFSET_BUTTON1, MOUSE_BUTTON_PRESSED},
        {MOUSE_OFFSET_BUTTON2, 0},
        {MOUSE_OFFSET_WHEEL, static_cast<uint32_t>(-240)}};
    const auto records = take_records();
    ASSERT_EQ(records.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(records[i].offset, expected[i].first) << i;
        EXPECT_EQ(records[i].data, expected[i].second) << i;
    }
}

TEST_F(EventsTest, APressIsNotPushedOutByTheMotionBehindIt) {
    push_button(SDL_BUTTON_LEFT, true);
    push_button(SDL_BUTTON_LEFT, false);
    for (int i = 0; i < 30; ++i)
        push_motion(1, 1);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    uint32_t offset = 0, data = 0;
    ASSERT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_TOOK_EVENT);
    EXPECT_EQ(offset, MOUSE_OFFSET_BUTTON0);
    EXPECT_EQ(data, MOUSE_BUTTON_PRESSED);
    // The rest of the motion is still there for the following waits.
    int motions = static_cast<int>(take_records().size()) - 1;
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
        motions += static_cast<int>(take_records().size());
    }
    EXPECT_EQ(motions, 60);
}

TEST_F(EventsTest, KeysBecomeKeyPressesAndWindows1252Characters) {
    for (SDL_Keycode key : {SDLK_LEFT, SDLK_DOWN, SDLK_RETURN, SDLK_BACKSPACE, SDLK_ESCAPE,
                            SDLK_TAB, SDLK_F1, SDLK_PAGEUP, SDLK_HOME, SDLK_q})
        push_key(key);
    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    // 7 ü ß € and a character Windows-1252 lacks.
    std::string("7\xC3\xBC\xC3\x9F\xE2\x82\xAC\xE6\xBC\xA2").copy(text.text.text, 31);
    push(text);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    const auto messages = take_messages();
    const std::vector<std::pair<uint32_t, uintptr_t>> expected = {
        {MESSAGE_KEYDOWN, KEY_LEFT}, {MESSAGE_KEYDOWN, KEY_DOWN}, {MESSAGE_CHAR, 13},
        {MESSAGE_KEYDOWN, KEY_BACK}, {MESSAGE_CHAR, 8},           {MESSAGE_KEYDOWN, KEY_ESCAPE},
        {MESSAGE_CHAR, 27},          {MESSAGE_CHAR, 9},           {MESSAGE_KEYDOWN, KEY_PAGE_UP},
        {MESSAGE_KEYDOWN, KEY_HOME}, {MESSAGE_KEYDOWN, KEY_Q},    {MESSAGE_CHAR, '7'},
        {MESSAGE_CHAR, 0xFC},        {MESSAGE_CHAR, 0xDF},        {MESSAGE_CHAR, 0x80}};
    ASSERT_EQ(messages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(messages[i].window, window);
        EXPECT_EQ(messages[i].message, expected[i].first) << i;
        EXPECT_EQ(messages[i].wparam, expected[i].second) << i;
    }
}

TEST_F(EventsTest, TheFocusActivatesAndDeactivatesAndTheMouseFollows) {
    EXPECT_TRUE(SDL_GetRelativeMouseMode());
    received.clear();
    push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    push(SDL_Event{SDL_QUIT});
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    ASSERT_EQ(received.size(), 1u) << "a focus lost twice deactivates once";
    EXPECT_EQ(received[0].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(received[0].wparam, ACTIVATE_INACTIVE);
    EXPECT_FALSE(SDL_GetRelativeMouseMode()) << "the desktop has its pointer back";
    EXPECT_NE(mouse_acquire(mouse), RESULT_OK) << "a foreground device needs the focus";
    EXPECT_EQ(take_messages().at(0).message, MESSAGE_CLOSE);

    push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    push_window_event(SDL_WINDOWEVENT_CLOSE);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(received.back().wparam, ACTIVATE_ACTIVE);
    EXPECT_EQ(mouse_acquire(mouse), RESULT_OK);
    EXPECT_TRUE(SDL_GetRelativeMouseMode());
    EXPECT_EQ(take_messages().at(0).message, MESSAGE_CLOSE);
}

TEST_F(EventsTest, WithTheWindowGoneTheWaitHandsOutTheQuitRequest) {
    window_destroy(window);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    EXPECT_EQ(take_messages().at(0).message, MESSAGE_QUIT);
    EXPECT_EQ(sdl_device().window(), nullptr);
}

}  // namespace
