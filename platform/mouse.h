// The buffered system mouse (DirectInput 0x0500 on Windows) and the event object it
// signals. Results follow DirectInput: negative is failure, zero or positive success.
#pragma once

#include <cstdint>

#include "platform/types.h"

// Offsets of the standard mouse data format.
constexpr uint32_t MOUSE_OFFSET_X = 0;
constexpr uint32_t MOUSE_OFFSET_Y = 4;
constexpr uint32_t MOUSE_OFFSET_WHEEL = 8;
constexpr uint32_t MOUSE_OFFSET_BUTTON0 = 12;
constexpr uint32_t MOUSE_OFFSET_BUTTON1 = 13;
constexpr uint32_t MOUSE_OFFSET_BUTTON2 = 14;
constexpr uint32_t MOUSE_OFFSET_BUTTON3 = 15;
constexpr uint32_t MOUSE_BUTTON_PRESSED = 0x80;

int32_t input_create(InstanceHandle instance, uint32_t version, InputObject* input);
int32_t input_create_system_mouse(InputObject input, MouseDevice* mouse);
// The standard mouse format: relative X, Y, Z and buttons 0 to 3.
int32_t mouse_set_standard_format(MouseDevice mouse);
int32_t mouse_set_exclusive_foreground(MouseDevice mouse, WindowHandle window);
int32_t mouse_set_event_notification(MouseDevice mouse, EventHandle event);
int32_t mouse_set_buffer_size(MouseDevice mouse, uint32_t events);
int32_t mouse_acquire(MouseDevice mouse);
int32_t mouse_unacquire(MouseDevice mouse);

// Outcomes of mouse_take_event.
constexpr int MOUSE_TOOK_EVENT = 0;
constexpr int MOUSE_BUFFER_EMPTY = 1;
constexpr int MOUSE_INPUT_LOST = 2;
constexpr int MOUSE_READ_FAILED = 3;

// Removes the oldest buffered event.
int mouse_take_event(MouseDevice mouse, uint32_t* offset, uint32_t* data);

void mouse_release(MouseDevice mouse);
void input_release(InputObject input);

// An auto-reset event, initially not signalled; nullptr on failure.
EventHandle event_create();
void event_close(EventHandle event);
