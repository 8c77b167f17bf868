// A fresh machine per test, with the program's window, display, surfaces and mouse
// opened the way start-up opens them, on whichever device the test program links.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"
#include "platform/mouse.h"
#include "platform/soft/soft.h"
#include "platform/window.h"

// The device's fresh start: each test program defines it for the device it links.
void reset_device();

struct TakenRecord {
    uint32_t offset;
    uint32_t data;
};

class MachineTest : public ::testing::Test {
  public:
    // Every message the window's procedure saw, in order.
    std::vector<WindowMessage> received;

  protected:
    void SetUp() override;
    void TearDown() override;

    void open_window();
    // The window shown, the display at 1024x768 with the given bits, front, back and a
    // sheet with the black colour key.
    void open_display(int bits);
    // The mouse with a buffer of 16 records and its event, acquired.
    void open_mouse();

    std::vector<TakenRecord> take_records();
    std::vector<WindowMessage> take_messages();

    WindowHandle window = nullptr;
    DisplayDevice device = nullptr;
    Surface front = nullptr, back = nullptr, sheet = nullptr;
    InputObject input = nullptr;
    MouseDevice mouse = nullptr;
    EventHandle event = nullptr;
};
