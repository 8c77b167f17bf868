// The window, the thread's message queue and the system odds and ends that go with
// them (message box, debugger output, pause). USER32 and KERNEL32 on Windows.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Message numbers, as Windows numbers them.
constexpr uint32_t MESSAGE_CREATE = 0x0001;
constexpr uint32_t MESSAGE_DESTROY = 0x0002;
constexpr uint32_t MESSAGE_ACTIVATE = 0x0006;
constexpr uint32_t MESSAGE_CLOSE = 0x0010;
constexpr uint32_t MESSAGE_QUIT = 0x0012;
constexpr uint32_t MESSAGE_KEYDOWN = 0x0100;
constexpr uint32_t MESSAGE_CHAR = 0x0102;
constexpr uint32_t MESSAGE_USER = 0x0400;

// wParam of MESSAGE_ACTIVATE.
constexpr uintptr_t ACTIVATE_INACTIVE = 0;
constexpr uintptr_t ACTIVATE_ACTIVE = 1;
constexpr uintptr_t ACTIVATE_CLICK_ACTIVE = 2;

// Virtual-key codes of the arrow keys, and of the other keys the show listens to.
constexpr uintptr_t KEY_LEFT = 0x25;
constexpr uintptr_t KEY_UP = 0x26;
constexpr uintptr_t KEY_RIGHT = 0x27;
constexpr uintptr_t KEY_DOWN = 0x28;
constexpr uintptr_t KEY_BACK = 0x08;
constexpr uintptr_t KEY_ESCAPE = 0x1B;
constexpr uintptr_t KEY_SPACE = 0x20;
constexpr uintptr_t KEY_PAGE_UP = 0x21;    // VK_PRIOR
constexpr uintptr_t KEY_PAGE_DOWN = 0x22;  // VK_NEXT
constexpr uintptr_t KEY_END = 0x23;
constexpr uintptr_t KEY_HOME = 0x24;
constexpr uintptr_t KEY_M = 'M';  // letters by their capital
constexpr uintptr_t KEY_Q = 'Q';

// The characters (MESSAGE_CHAR) that Windows makes of the editing keys.
constexpr uint8_t CHAR_BACKSPACE = 8;
constexpr uint8_t CHAR_TAB = 9;
constexpr uint8_t CHAR_RETURN = 13;
constexpr uint8_t CHAR_ESCAPE = 27;

using WindowProcedure = intptr_t (*)(WindowHandle window, uint32_t message, uintptr_t wparam,
                                     intptr_t lparam);

struct WindowMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wparam;
    intptr_t lparam;
};

// Registers the program's window class: the given procedure, the arrow cursor, no
// background brush, horizontal and vertical redraw, the icon looked up under 32512.
void window_register_class(InstanceHandle instance, const char* class_name, const char* menu_name,
                           WindowProcedure procedure);

// Creates a topmost popup window. Messages reach the class's procedure already while
// this runs. Returns nullptr on failure.
WindowHandle window_create_topmost_popup(InstanceHandle instance, const char* class_name,
                                         const char* title, int x, int y, int width, int height);
void window_show(WindowHandle window, int show_command);
void window_update(WindowHandle window);
void window_destroy(WindowHandle window);

int screen_width();
int screen_height();

// A modal box with one OK button; returns once the user has answered it.
void message_box(WindowHandle owner, const char* text, const char* caption);

// Outcomes of wait_for_event_or_message.
constexpr int WAIT_EVENT_SIGNALLED = 0;  // WAIT_OBJECT_0
constexpr int WAIT_MESSAGE_QUEUED = 1;   // WAIT_OBJECT_0 + 1
constexpr int WAIT_TIMED_OUT = 258;      // WAIT_TIMEOUT

// Blocks, without a time-out, until the event is signalled or any input or message
// arrives for this thread.
int wait_for_event_or_message(EventHandle event);
// As wait_for_event_or_message, but for at most `milliseconds`: WAIT_TIMED_OUT then.
int wait_for_event_or_message_timeout(EventHandle event, uint32_t milliseconds);

// Removes the next message of the thread's queue into *message; 0 when the queue is empty.
int peek_message(WindowMessage* message);
void translate_message(const WindowMessage* message);
intptr_t dispatch_message(const WindowMessage* message);
intptr_t default_window_procedure(WindowHandle window, uint32_t message, uintptr_t wparam,
                                  intptr_t lparam);
void post_quit_message(int exit_code);
int post_message(WindowHandle window, uint32_t message, uintptr_t wparam, intptr_t lparam);

// One line to the debugger (standard error where there is no debugger channel).
void debug_output(const char* text);

void pause_milliseconds(int milliseconds);
