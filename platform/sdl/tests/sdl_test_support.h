// A fresh SDL backend per test, on SDL's dummy video and audio drivers, with the
// program's window, display and surfaces opened the way start-up opens them.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/display.h"
#include "platform/mouse.h"
#include "platform/sdl/machine.h"
#include "platform/window.h"

// Every message the test window's procedure saw, in order.
std::vector<WindowMessage>& received_messages();

class SdlBackendTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    void open_window();
    void open_display(int bits);
    void open_mouse();

    // What the screen shows at (x, y), as 0xRRGGBB.
    uint32_t screen_pixel(int x, int y);
    static uint32_t pixel(Surface surface, int x, int y);  // the raw stored value
    static void set_pixel(Surface surface, int x, int y, uint32_t value);

    WindowHandle window = nullptr;
    DisplayDevice device = nullptr;
    Surface front = nullptr, back = nullptr, sheet = nullptr;
    InputObject input = nullptr;
    MouseDevice mouse = nullptr;
    EventHandle event = nullptr;
};
