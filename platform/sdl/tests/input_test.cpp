#include <string>
#include <vector>

#include "platform/sdl/tests/sdl_test_support.h"

namespace {

class InputTest : public SdlBackendTest {
  protected:
    void SetUp() override {
        SdlBackendTest::SetUp();
        open_window();
        open_mouse();
        window_show(window, 1);
        ASSERT_EQ(mouse_acquire(mouse), RESULT_OK);
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
    static void push_text(const std::string& utf8) {
        SDL_Event e{};
        e.type = SDL_TEXTINPUT;
        utf8.copy(e.text.text, sizeof e.text.text - 1);
        push(e);
    }
    static void push_window_event(Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        push(e);
    }

    std::vector<MouseRecord> take_all() {
        std::vector<MouseRecord> records;
        MouseRecord r{};
        while (mouse_take_event(mouse, &r.offset, &r.data) == MOUSE_TOOK_EVENT)
            records.push_back(r);
        return records;
    }

    std::vector<WindowMessage> take_messages() {
        std::vector<WindowMessage> messages;
        WindowMessage m{};
        while (peek_message(&m) != 0)
            messages.push_back(m);
        return messages;
    }
};

TEST_F(InputTest, ShowingTheWindowActivatesItBeforeReturning) {
    const auto& seen = received_messages();
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[0].message, MESSAGE_CREATE);
    EXPECT_EQ(seen[1].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(seen[1].wparam, ACTIVATE_ACTIVE);
}

TEST_F(InputTest, MotionAndButtonsBecomeBufferedRecordsAndSignalTheEvent) {
    push_motion(-3, 5);
    push_motion(7, 0);
    push_button(SDL_BUTTON_RIGHT, true);
    push_button(SDL_BUTTON_RIGHT, false);
    push_button(SDL_BUTTON_LEFT, true);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
    const auto records = take_all();
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].offset, MOUSE_OFFSET_X);
    EXPECT_EQ(records[0].data, 0xFFFFFFFDu);
    EXPECT_EQ(records[1].offset, MOUSE_OFFSET_Y);
    EXPECT_EQ(records[1].data, 5u);
    EXPECT_EQ(records[2].offset, MOUSE_OFFSET_X);
    EXPECT_EQ(records[2].data, 7u);
    EXPECT_EQ(records[3].offset, MOUSE_OFFSET_BUTTON1);
    EXPECT_EQ(records[3].data, MOUSE_BUTTON_PRESSED);
    EXPECT_EQ(records[4].offset, MOUSE_OFFSET_BUTTON1);
    EXPECT_EQ(records[4].data, 0u);
    EXPECT_EQ(records[5].offset, MOUSE_OFFSET_BUTTON0);
    EXPECT_EQ(records[5].data, MOUSE_BUTTON_PRESSED);
    EXPECT_FALSE(event->signalled) << "the event resets itself when the wait takes it";
}

TEST_F(InputTest, NothingIsBufferedWhileTheMouseIsNotAcquired) {
    ASSERT_EQ(mouse_unacquire(mouse), RESULT_OK);
    SDL_Event e{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    translate_sdl_event(e);
    EXPECT_FALSE(event->signalled);
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED);
    ASSERT_EQ(mouse_acquire(mouse), RESULT_OK);
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_BUFFER_EMPTY);
}

TEST_F(InputTest, AFullBufferKeepsTheNewestSixteen) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    for (int i = 1; i <= 20; ++i) {
        e.motion.xrel = i;
        translate_sdl_event(e);
    }
    const auto records = take_all();
    ASSERT_EQ(records.size(), 16u);
    EXPECT_EQ(records.front().data, 5u);
    EXPECT_EQ(records.back().data, 20u);
}

TEST_F(InputTest, APressIsNotPushedOutByTheMotionBehindIt) {
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
    int motions = static_cast<int>(take_all().size()) - 1;
    while (SDL_PeepEvents(nullptr, 0, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        ASSERT_EQ(wait_for_event_or_message(event), WAIT_EVENT_SIGNALLED);
        motions += static_cast<int>(take_all().size());
    }
    EXPECT_EQ(motions, 60);
}

TEST_F(InputTest, KeysBecomeKeyPressesAndCharacters) {
    push_key(SDLK_LEFT);
    push_key(SDLK_DOWN);
    push_key(SDLK_RETURN);
    push_key(SDLK_BACKSPACE);
    push_key(SDLK_ESCAPE);
    push_key(SDLK_TAB);
    push_key(SDLK_F1);
    push_text(
        "7\xC3\xBC\xC3\x9F\xE2\x82\xAC\xE6\xBC\xA2");  // 7 ü ß € and a character Windows-1252 lacks
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    const auto messages = take_messages();
    const std::vector<std::pair<uint32_t, uintptr_t>> expected = {
        {MESSAGE_KEYDOWN, KEY_LEFT}, {MESSAGE_KEYDOWN, KEY_DOWN}, {MESSAGE_CHAR, 13},
        {MESSAGE_CHAR, 8},           {MESSAGE_CHAR, 27},          {MESSAGE_CHAR, 9},
        {MESSAGE_CHAR, '7'},         {MESSAGE_CHAR, 0xFC},        {MESSAGE_CHAR, 0xDF},
        {MESSAGE_CHAR, 0x80}};
    ASSERT_EQ(messages.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(messages[i].window, window);
        EXPECT_EQ(messages[i].message, expected[i].first) << i;
        EXPECT_EQ(messages[i].wparam, expected[i].second) << i;
    }
}

TEST_F(InputTest, LosingTheFocusDeactivatesAndStopsTheMouse) {
    push_window_event(SDL_WINDOWEVENT_FOCUS_LOST);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    auto messages = take_messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(messages[0].wparam, ACTIVATE_INACTIVE);
    EXPECT_NE(mouse_acquire(mouse), RESULT_OK) << "a foreground device needs the focus";
    uint32_t offset = 0, data = 0;
    EXPECT_EQ(mouse_take_event(mouse, &offset, &data), MOUSE_READ_FAILED);

    push_window_event(SDL_WINDOWEVENT_FOCUS_GAINED);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    messages = take_messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, MESSAGE_ACTIVATE);
    EXPECT_EQ(messages[0].wparam, ACTIVATE_ACTIVE);
    EXPECT_EQ(mouse_acquire(mouse), RESULT_OK);
}

TEST_F(InputTest, ClosingTheWindowDestroysItThroughTheDefaultProcedure) {
    push_window_event(SDL_WINDOWEVENT_CLOSE);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    WindowMessage message{};
    ASSERT_EQ(peek_message(&message), 1);
    EXPECT_EQ(message.message, MESSAGE_CLOSE);
    received_messages().clear();
    dispatch_message(&message);
    ASSERT_EQ(received_messages().size(), 2u);
    EXPECT_EQ(received_messages()[0].message, MESSAGE_CLOSE);
    EXPECT_EQ(received_messages()[1].message, MESSAGE_DESTROY);
    EXPECT_FALSE(window->alive);
    EXPECT_EQ(post_message(window, MESSAGE_USER, 0, 0), 0);
    // With the window gone, a wait cannot block for ever: it hands out the quit request.
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    ASSERT_EQ(peek_message(&message), 1);
    EXPECT_EQ(message.message, MESSAGE_QUIT);
}

TEST_F(InputTest, PostedMessagesComeBackInOrder) {
    post_message(window, MESSAGE_USER, 1, 2);
    post_quit_message(3);
    ASSERT_EQ(wait_for_event_or_message(event), WAIT_MESSAGE_QUEUED);
    const auto messages = take_messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, MESSAGE_USER);
    EXPECT_EQ(messages[0].lparam, 2);
    EXPECT_EQ(messages[1].message, MESSAGE_QUIT);
    EXPECT_EQ(messages[1].wparam, 3u);
    EXPECT_EQ(messages[1].window, nullptr);
}

}  // namespace
